// The channel against real sockets: a bare peer plays the service end.

#include "protocol/named_pipe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "test_peer.h"

namespace veltrix {
namespace {

using testing::TempPipeDir;
using testing::TestPeer;
using testing::Transport;
using Clock = std::chrono::steady_clock;

long long ElapsedMs(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::uint32_t ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const CNamedPipeException& e) {
        return e.errorCode;
    }
    return 0;
}

class ChannelTest : public ::testing::TestWithParam<Transport> {
  protected:
    void SetUp() override { peer_.emplace(GetParam()); }

    // Opens the client end the way the program does: wait for the pipe, then open.
    void connect() {
        auto accepted = std::async(std::launch::async, [this] { peer_->accept(); });
        CNamedPipe::ServerAvailable(peer_->host(), peer_->pipeName(), 1000);
        pipe_.Open(peer_->host(), peer_->pipeName());
        accepted.get();
    }

    std::optional<TestPeer> peer_;
    CNamedPipe pipe_;
};

INSTANTIATE_TEST_SUITE_P(Transports, ChannelTest,
                         ::testing::Values(Transport::Local, Transport::Tcp),
                         [](const ::testing::TestParamInfo<Transport>& param) {
                             return param.param == Transport::Local ? "Local" : "Tcp";
                         });

TEST_P(ChannelTest, EachReadReturnsExactlyOneMessage) {
    connect();
    peer_->send({1, 2, 3});
    peer_->send(std::vector<std::uint8_t>(1054, 0xAB));
    peer_->send({9});
    // Let all three arrive before the first read, so boundaries cannot come from timing.
    ASSERT_TRUE(pipe_.WaitForResponse(1000));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

    std::array<std::uint8_t, 1054> buffer{};
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 3u);
    EXPECT_EQ(buffer[2], 3);
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 1054u);
    EXPECT_EQ(buffer[1053], 0xAB);
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 1u);
    EXPECT_EQ(buffer[0], 9);
}

TEST_P(ChannelTest, WriteSendsOneWholeMessage) {
    connect();
    std::vector<std::uint8_t> request(267);
    for (std::size_t i = 0; i < request.size(); ++i) {
        request[i] = static_cast<std::uint8_t>(i);
    }
    EXPECT_EQ(pipe_.Write(request.data(), request.size()), request.size());
    EXPECT_EQ(peer_->receive(), request);
}

TEST_P(ChannelTest, PeekReportsWithoutTaking) {
    connect();
    peer_->send({5, 6, 7, 8});
    ASSERT_TRUE(pipe_.WaitForResponse(1000));
    std::array<std::uint8_t, 2> head{};
    std::size_t total = 0;
    std::size_t left = 0;
    EXPECT_EQ(pipe_.Peek(head.data(), head.size(), &total, &left), 2u);
    EXPECT_EQ(head[0], 5);
    EXPECT_EQ(total, 4u);
    EXPECT_EQ(left, 4u);
    std::array<std::uint8_t, 8> buffer{};
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 4u);
    EXPECT_EQ(pipe_.Peek(nullptr, 0, &total, &left), 0u);
    EXPECT_EQ(total, 0u);
}

TEST_P(ChannelTest, WaitForResponseReturnsAtOnceWhenAReplyIsWaiting) {
    connect();
    peer_->send({1});
    ASSERT_TRUE(pipe_.WaitForResponse(1000));
    const auto start = Clock::now();
    EXPECT_TRUE(pipe_.WaitForResponse(10000));
    EXPECT_LT(ElapsedMs(start), 5);
}

TEST_P(ChannelTest, WaitForResponseWakesWhenTheReplyArrives) {
    connect();
    auto sender = std::async(std::launch::async, [this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        peer_->send({1, 2});
    });
    const auto start = Clock::now();
    EXPECT_TRUE(pipe_.WaitForResponse(5000));
    EXPECT_LT(ElapsedMs(start), 1000);
    sender.get();
}

TEST_P(ChannelTest, WaitForResponseTimesOut) {
    connect();
    struct Case {
        std::uint32_t timeoutMs;
        long long atLeastMs;
    };
    // Below 10 ms the wait still lasts about 10 ms once.
    for (const Case c : {Case{100, 95}, Case{0, 9}, Case{3, 9}}) {
        const auto start = Clock::now();
        EXPECT_FALSE(pipe_.WaitForResponse(c.timeoutMs));
        const auto elapsed = ElapsedMs(start);
        EXPECT_GE(elapsed, c.atLeastMs) << "time-out " << c.timeoutMs;
        EXPECT_LT(elapsed, c.atLeastMs + 500) << "time-out " << c.timeoutMs;
    }
}

TEST_P(ChannelTest, ClosedServiceEndIsABrokenPipe) {
    connect();
    peer_->closeClient();
    std::array<std::uint8_t, 16> buffer{};
    EXPECT_EQ(ErrorOf([&] { pipe_.Flush(); }), win32::ERROR_BROKEN_PIPE);
    EXPECT_EQ(ErrorOf([&] { pipe_.Read(buffer.data(), buffer.size()); }), win32::ERROR_BROKEN_PIPE);
    EXPECT_EQ(ErrorOf([&] { pipe_.WaitForResponse(100); }), win32::ERROR_BROKEN_PIPE);
    // The first write after a close may still be taken by the kernel; a second cannot.
    const auto write = [&] { pipe_.Write(buffer.data(), buffer.size()); };
    const bool refused =
        ErrorOf(write) == win32::ERROR_BROKEN_PIPE || ErrorOf(write) == win32::ERROR_BROKEN_PIPE;
    EXPECT_TRUE(refused);
    // A failed read or write leaves the handle open; closing is the caller's choice.
    EXPECT_TRUE(pipe_.IsOpen());
}

TEST_P(ChannelTest, MessageSentBeforeTheServiceClosedCanStillBeRead) {
    connect();
    peer_->send({4, 2});
    peer_->closeClient();
    ASSERT_TRUE(pipe_.WaitForResponse(1000));
    std::array<std::uint8_t, 16> buffer{};
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 2u);
}

TEST_P(ChannelTest, FlushOnALiveChannelSucceeds) {
    connect();
    EXPECT_NO_THROW(pipe_.Flush());
}

TEST_P(ChannelTest, ModesKeepMessageBoundaries) {
    connect();
    struct Case {
        bool byteMode, blocking;
        std::uint32_t word;
    };
    for (const Case c :
         {Case{true, true, 0}, Case{true, false, 1}, Case{false, true, 2}, Case{false, false, 3}}) {
        pipe_.SetMode(c.byteMode, c.blocking);
        EXPECT_EQ(pipe_.mode(), c.word);
    }
    // Non-blocking: nothing waiting is an error, not a wait.
    std::array<std::uint8_t, 16> buffer{};
    EXPECT_EQ(ErrorOf([&] { pipe_.Read(buffer.data(), buffer.size()); }), win32::ERROR_NO_DATA);
    pipe_.SetMode(false, true);
    peer_->send({1, 1});
    peer_->send({2, 2, 2});
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 2u);
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 3u);
}

TEST_P(ChannelTest, ReadOfASmallerBufferTakesTheWholeMessage) {
    connect();
    peer_->send({1, 2, 3, 4, 5, 6});
    peer_->send({7});
    std::array<std::uint8_t, 4> buffer{};
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 4u);
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 1u);
    EXPECT_EQ(buffer[0], 7);
}

TEST_P(ChannelTest, ServiceBusyWithAnotherClientTimesOutOrIsRefused) {
    // A service serving one client stops listening: the pipe exists but takes no one.
    peer_->closeListener();
    const auto start = Clock::now();
    const auto error =
        ErrorOf([&] { CNamedPipe::ServerAvailable(peer_->host(), "TESTPIPE", 200); });
    if (GetParam() == Transport::Local) {
        EXPECT_EQ(error, win32::ERROR_SEM_TIMEOUT);
        EXPECT_GE(ElapsedMs(start), 195);
    } else {
        EXPECT_EQ(error, win32::ERROR_FILE_NOT_FOUND);
        EXPECT_LT(ElapsedMs(start), 150);
    }
}

TEST(ChannelErrors, MissingLocalPipeFailsAtOnce) {
    TempPipeDir dir;
    const auto start = Clock::now();
    EXPECT_EQ(ErrorOf([] { CNamedPipe::ServerAvailable(".", "NOSUCHPIPE", 1000); }),
              win32::ERROR_FILE_NOT_FOUND);
    EXPECT_LT(ElapsedMs(start), 100);
    CNamedPipe pipe;
    EXPECT_EQ(ErrorOf([&] { pipe.Open(".", "NOSUCHPIPE"); }), win32::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(pipe.IsOpen());
}

TEST(ChannelErrors, UnknownHostFailsWithTheResolversText) {
    CNamedPipe pipe;
    try {
        CNamedPipe::ServerAvailable("no-such-host.invalid", "KAVOPIPE", 1000);
        FAIL() << "no exception";
    } catch (const CNamedPipeException& e) {
        EXPECT_EQ(e.errorCode, win32::ERROR_BAD_NETPATH);
        EXPECT_FALSE(e.GetErrorMessage().empty());
    }
    EXPECT_FALSE(pipe.IsOpen());
}

TEST(ChannelErrors, OperationsOnAClosedChannel) {
    CNamedPipe pipe;
    EXPECT_EQ(pipe.handle(), -1);
    pipe.Close();
    pipe.Close();
    EXPECT_EQ(pipe.handle(), -1);
    std::array<std::uint8_t, 4> buffer{};
    EXPECT_EQ(ErrorOf([&] { pipe.Read(buffer.data(), buffer.size()); }),
              win32::ERROR_INVALID_HANDLE);
    EXPECT_EQ(ErrorOf([&] { pipe.Write(buffer.data(), buffer.size()); }),
              win32::ERROR_INVALID_HANDLE);
}

TEST(ChannelErrors, MalformedPipeNamesAreRejected) {
    for (const char* name : {"", "a/b", "..", "x\\y"}) {
        EXPECT_EQ(ErrorOf([&] { CNamedPipe::ServerAvailable(".", name, 10); }),
                  win32::ERROR_INVALID_NAME)
            << name;
    }
}

TEST(PipeException, MessageTexts) {
    // A code the system has no text for gives an empty text and "no text" as result.
    const CNamedPipeException unknown(0x12345, SystemErrorText(0x12345));
    std::array<char, 32> buffer{};
    buffer[0] = 'x';
    unsigned help = 7;
    EXPECT_FALSE(unknown.GetErrorMessage(buffer.data(), buffer.size(), &help));
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(help, 0u);
    EXPECT_EQ(unknown.GetErrorMessage(), "");

    // A known code carries the system's text, cut to the caller's buffer.
    const CNamedPipeException broken(win32::ERROR_BROKEN_PIPE,
                                     SystemErrorText(win32::ERROR_BROKEN_PIPE));
    EXPECT_EQ(broken.GetErrorMessage(), "Broken pipe");
    std::array<char, 7> small{};
    EXPECT_TRUE(broken.GetErrorMessage(small.data(), small.size()));
    EXPECT_STREQ(small.data(), "Broken");
}

TEST(PipeException, ThrowTakesTheLastErrorWhenGivenZero) {
    errno = ECONNRESET;
    EXPECT_EQ(ErrorOf([] { ThrowNamedPipeException(0); }), win32::ERROR_BROKEN_PIPE);
    EXPECT_EQ(ErrorOf([] { ThrowNamedPipeException(win32::ERROR_SEM_TIMEOUT); }),
              win32::ERROR_SEM_TIMEOUT);
}

TEST(PipeException, ErrnoMapping) {
    struct Case {
        int error;
        std::uint32_t code;
    };
    for (const Case c :
         {Case{ENOENT, 2}, Case{EACCES, 5}, Case{EPIPE, 109}, Case{ECONNRESET, 109},
          Case{ETIMEDOUT, 121}, Case{EAGAIN, 232}, Case{EROFS, win32::kErrnoFlag | EROFS}}) {
        EXPECT_EQ(Win32ErrorFromErrno(c.error), c.code) << c.error;
        EXPECT_FALSE(SystemErrorText(c.code).empty()) << c.code;
    }
}

}  // namespace
}  // namespace veltrix
