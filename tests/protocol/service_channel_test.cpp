// The channel against real sockets: a bare peer plays the service end.

#include "protocol/service_channel.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "support/test_peer.h"

namespace veltrix {
namespace {

using testing::TempPipeDir;
using testing::TestPeer;
using testing::Transport;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

long long ElapsedMs(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::uint32_t ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ChannelError& e) {
        return e.errorCode;
    }
    return 0;
}

// Cancels a canceller from another thread after `delay`, unless the test finished
// first. Should the wait under test miss the cancellation, `rescue` runs 2 s later
// (it ends the wait another way), so that the test fails instead of hanging.
class CancelLater {
  public:
    CancelLater(WaitCanceller& canceller, std::function<void()> rescue,
                std::chrono::milliseconds delay = 50ms)
        : thread_([this, &canceller, rescue = std::move(rescue), delay] {
              std::unique_lock lock(mutex_);
              if (finished_.wait_for(lock, delay, [this] { return done_; })) {
                  return;
              }
              canceller.Cancel();
              if (!finished_.wait_for(lock, 2s, [this] { return done_; })) {
                  rescue();
              }
          }) {}
    ~CancelLater() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        finished_.notify_all();
        thread_.join();
    }
    CancelLater(const CancelLater&) = delete;
    CancelLater& operator=(const CancelLater&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::thread thread_;
};

class ChannelTest : public ::testing::TestWithParam<Transport> {
  protected:
    void SetUp() override { peer_.emplace(GetParam()); }

    // Opens the client end the way the program does: wait for the pipe, then open.
    void connect() {
        auto accepted = std::async(std::launch::async, [this] { peer_->accept(); });
        ServiceChannel::ServerAvailable(peer_->host(), peer_->pipeName(), 1000);
        pipe_.Open(peer_->host(), peer_->pipeName());
        accepted.get();
    }

    std::optional<TestPeer> peer_;
    ServiceChannel pipe_;
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
        EXPECT_EQ(pipe_.Mode(), c.word);
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
        ErrorOf([&] { ServiceChannel::ServerAvailable(peer_->host(), "TESTPIPE", 200); });
    if (GetParam() == Transport::Local) {
        EXPECT_EQ(error, win32::ERROR_SEM_TIMEOUT);
        EXPECT_GE(ElapsedMs(start), 195);
    } else {
        EXPECT_EQ(error, win32::ERROR_FILE_NOT_FOUND);
        EXPECT_LT(ElapsedMs(start), 150);
    }
}

TEST_P(ChannelTest, WaitsEndWhenCancelledFromAnotherThread) {
    WaitCanceller canceller;
    pipe_.SetCanceller(&canceller);
    std::array<std::uint8_t, 16> buffer{};
    // Large enough that the socket fills after a few writes the peer never reads.
    const std::vector<std::uint8_t> big(60000, 0x11);
    struct Case {
        const char* name;
        std::function<void()> wait;
    };
    const Case cases[] = {
        {"WaitForResponse", [&] { pipe_.WaitForResponse(10000); }},
        {"Read", [&] { pipe_.Read(buffer.data(), buffer.size()); }},
        {"ReadWithATimeout",
         [&] {
             pipe_.SetReadTimeout(10000);
             pipe_.Read(buffer.data(), buffer.size());
         }},
        // Last: it leaves the socket full.
        {"WriteWithoutRoom",
         [&] {
             for (int i = 0; i < 100000; ++i) {
                 pipe_.Write(big.data(), big.size());
             }
         }},
    };
    for (const auto& c : cases) {
        // A cancel shuts the channel's receiving for good: each case connects anew.
        canceller.Reset();
        pipe_.Close();
        peer_->closeClient();
        connect();
        const auto start = Clock::now();
        std::uint32_t error = 0;
        {
            CancelLater cancel(canceller, [this] { peer_->closeClient(); });
            error = ErrorOf(c.wait);
        }
        EXPECT_EQ(error, win32::ERROR_OPERATION_ABORTED) << c.name;
        EXPECT_GE(ElapsedMs(start), 40) << c.name << ": returned before the cancellation";
        EXPECT_LT(ElapsedMs(start), 2000) << c.name;
        EXPECT_TRUE(pipe_.IsOpen()) << c.name;
    }
    pipe_.SetCanceller(nullptr);  // the canceller ends before the fixture's channel
}

TEST_P(ChannelTest, AlreadyCancelledWaitsDoNotStart) {
    connect();
    peer_->send({1, 2, 3});
    ASSERT_TRUE(pipe_.WaitForResponse(1000));
    WaitCanceller canceller;
    canceller.Cancel();
    EXPECT_TRUE(canceller.IsCancelled());
    pipe_.SetCanceller(&canceller);
    std::array<std::uint8_t, 16> buffer{};
    ServiceChannel other;
    other.SetCanceller(&canceller);
    struct Case {
        const char* name;
        std::function<void()> action;
    };
    // Cancellation wins even where no wait would be needed: a reply is waiting.
    const Case cases[] = {
        {"WaitForResponse", [&] { pipe_.WaitForResponse(5000); }},
        {"Read", [&] { pipe_.Read(buffer.data(), buffer.size()); }},
        {"ServerAvailable",
         [&] {
             ServiceChannel::ServerAvailable(peer_->host(), peer_->pipeName(), 5000, &canceller);
         }},
        {"Open", [&] { other.Open(peer_->host(), peer_->pipeName()); }},
    };
    for (const auto& c : cases) {
        const auto start = Clock::now();
        try {
            c.action();
            ADD_FAILURE() << c.name << ": no exception";
        } catch (const ChannelError& e) {
            EXPECT_EQ(e.errorCode, win32::ERROR_OPERATION_ABORTED) << c.name;
            EXPECT_EQ(e.GetErrorMessage(), SystemErrorText(win32::ERROR_OPERATION_ABORTED));
        }
        EXPECT_LT(ElapsedMs(start), 2000) << c.name;
    }
    EXPECT_FALSE(other.IsOpen());

    // A write that fits does not wait, so it goes out despite the cancellation.
    EXPECT_EQ(pipe_.Write(buffer.data(), 4), 4u);
    EXPECT_EQ(peer_->receive()->size(), 4u);

    // Reset makes waits possible again; the waiting reply is still there.
    canceller.Reset();
    EXPECT_FALSE(canceller.IsCancelled());
    EXPECT_TRUE(pipe_.WaitForResponse(1000));
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 3u);
    pipe_.SetCanceller(nullptr);
}

TEST_P(ChannelTest, ReadTimeoutBoundsTheWaitForAWholeMessage) {
    connect();
    pipe_.SetReadTimeout(200);
    std::array<std::uint8_t, 16> buffer{};
    struct Case {
        const char* name;
        bool tcpOnly;
        std::vector<std::uint8_t> sent;  // raw bytes the peer sends first
        std::uint32_t error;
    };
    const Case cases[] = {
        {"SilentPeer", false, {}, win32::ERROR_SEM_TIMEOUT},
        // A length prefix of 10 followed by 3 bytes: the message never becomes whole.
        {"MessageCutShort", true, {10, 0, 0, 0, 1, 2, 3}, win32::ERROR_SEM_TIMEOUT},
    };
    for (const auto& c : cases) {
        if (c.tcpOnly && GetParam() != Transport::Tcp) {
            continue;
        }
        if (!c.sent.empty()) {
            peer_->sendRaw(c.sent);
        }
        const auto start = Clock::now();
        EXPECT_EQ(ErrorOf([&] { pipe_.Read(buffer.data(), buffer.size()); }), c.error) << c.name;
        EXPECT_GE(ElapsedMs(start), 190) << c.name;
        EXPECT_LT(ElapsedMs(start), 2000) << c.name;
    }
    if (GetParam() == Transport::Tcp) {
        // The rest of the cut message completes it; the bound does not disturb reading.
        peer_->sendRaw({4, 5, 6, 7, 8, 9, 10});
        EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 10u);
        EXPECT_EQ(buffer[9], 10);
    }
    auto sender = std::async(std::launch::async, [this] {
        std::this_thread::sleep_for(50ms);
        peer_->send({7, 7});
    });
    EXPECT_EQ(pipe_.Read(buffer.data(), buffer.size()), 2u);
    sender.get();
}

TEST_P(ChannelTest, BusyPipeRetryEndsWhenCancelled) {
    peer_->closeListener();
    WaitCanceller canceller;
    const auto start = Clock::now();
    std::uint32_t error = 0;
    {
        CancelLater cancel(canceller, [] {});
        error = ErrorOf([&] {
            ServiceChannel::ServerAvailable(peer_->host(), peer_->pipeName(), 3000, &canceller);
        });
    }
    if (GetParam() == Transport::Local) {
        EXPECT_EQ(error, win32::ERROR_OPERATION_ABORTED);
        EXPECT_LT(ElapsedMs(start), 2000);
    } else {
        EXPECT_EQ(error, win32::ERROR_FILE_NOT_FOUND);  // refused at once, nothing to retry
    }
}

TEST(ChannelTcp, ConnectedSocketKeepsTheConnectionUnderWatch) {
    TestPeer peer(Transport::Tcp);
    auto accepted = std::async(std::launch::async, [&] { peer.accept(); });
    ServiceChannel pipe;
    pipe.Open(peer.host(), peer.pipeName());
    accepted.get();
    struct Case {
        const char* name;
        int level;
        int option;
        int expected;
    };
    const Case cases[] = {
        {"SO_KEEPALIVE", SOL_SOCKET, SO_KEEPALIVE, 1},
        {"TCP_KEEPIDLE", IPPROTO_TCP, TCP_KEEPIDLE, 20},
        {"TCP_KEEPINTVL", IPPROTO_TCP, TCP_KEEPINTVL, 5},
        {"TCP_KEEPCNT", IPPROTO_TCP, TCP_KEEPCNT, 4},
        {"TCP_USER_TIMEOUT", IPPROTO_TCP, TCP_USER_TIMEOUT, 45000},
        {"TCP_NODELAY", IPPROTO_TCP, TCP_NODELAY, 1},
    };
    for (const auto& c : cases) {
        int value = -1;
        socklen_t size = sizeof(value);
        ASSERT_EQ(::getsockopt(pipe.Handle(), c.level, c.option, &value, &size), 0) << c.name;
        EXPECT_EQ(value, c.expected) << c.name;
    }
}

// A name look-up that answers only when released (or after 2 s), to stand for a
// resolver that does not answer. Its late answer is a real address list, which the
// abandoned look-up must free.
struct StalledLookup {
    static inline std::mutex mutex;
    static inline std::condition_variable changed;
    static inline bool released = false;
    static inline int running = 0;

    static int Lookup(const char*, const char* service, const addrinfo* hints, addrinfo** result) {
        std::unique_lock lock(mutex);
        ++running;
        changed.notify_all();
        changed.wait_for(lock, 2s, [] { return released; });
        const int status = ::getaddrinfo("127.0.0.1", service, hints, result);
        --running;
        changed.notify_all();
        return status;
    }
    static void release() {
        {
            std::lock_guard lock(mutex);
            released = true;
        }
        changed.notify_all();
    }
    // Whether every look-up has returned within `timeout`.
    static bool allReturned(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [] { return running == 0; });
    }
};

TEST(ChannelLookup, StalledNameLookupIsAbandoned) {
    const auto previous = SetHostLookupForTesting(&StalledLookup::Lookup);
    struct Case {
        const char* name;
        bool cancel;
        std::function<void(const WaitCanceller&)> action;
        std::uint32_t error;
    };
    const Case cases[] = {
        {"ServerAvailableCancelled", true,
         [](const WaitCanceller& c) {
             ServiceChannel::ServerAvailable("stalled-host", "P", 10000, &c);
         },
         win32::ERROR_OPERATION_ABORTED},
        {"OpenCancelled", true,
         [](const WaitCanceller& c) {
             ServiceChannel pipe;
             pipe.SetCanceller(&c);
             pipe.Open("stalled-host", "P");
         },
         win32::ERROR_OPERATION_ABORTED},
        {"ServerAvailableTimedOut", false,
         [](const WaitCanceller& c) {
             ServiceChannel::ServerAvailable("stalled-host", "P", 200, &c);
         },
         win32::ERROR_SEM_TIMEOUT},
    };
    for (const auto& c : cases) {
        {
            std::lock_guard lock(StalledLookup::mutex);
            StalledLookup::released = false;
        }
        WaitCanceller canceller;
        const auto start = Clock::now();
        std::uint32_t error = 0;
        {
            CancelLater cancel(canceller, &StalledLookup::release, c.cancel ? 50ms : 10000ms);
            error = ErrorOf([&] { c.action(canceller); });
        }
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_LT(ElapsedMs(start), 1500) << c.name;
        // The abandoned look-up finishes on its own once the resolver answers.
        StalledLookup::release();
        EXPECT_TRUE(StalledLookup::allReturned(2s)) << c.name;
    }
    SetHostLookupForTesting(previous);
}

TEST(ChannelErrors, MissingLocalPipeFailsAtOnce) {
    TempPipeDir dir;
    const auto start = Clock::now();
    EXPECT_EQ(ErrorOf([] { ServiceChannel::ServerAvailable(".", "NOSUCHPIPE", 1000); }),
              win32::ERROR_FILE_NOT_FOUND);
    EXPECT_LT(ElapsedMs(start), 100);
    ServiceChannel pipe;
    EXPECT_EQ(ErrorOf([&] { pipe.Open(".", "NOSUCHPIPE"); }), win32::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(pipe.IsOpen());
}

TEST(ChannelErrors, UnknownHostFailsWithTheResolversText) {
    ServiceChannel pipe;
    try {
        ServiceChannel::ServerAvailable("no-such-host.invalid", "KAVOPIPE", 1000);
        FAIL() << "no exception";
    } catch (const ChannelError& e) {
        EXPECT_EQ(e.errorCode, win32::ERROR_BAD_NETPATH);
        EXPECT_FALSE(e.GetErrorMessage().empty());
    }
    EXPECT_FALSE(pipe.IsOpen());
}

TEST(ChannelErrors, OperationsOnAClosedChannel) {
    ServiceChannel pipe;
    EXPECT_EQ(pipe.Handle(), -1);
    pipe.Close();
    pipe.Close();
    EXPECT_EQ(pipe.Handle(), -1);
    std::array<std::uint8_t, 4> buffer{};
    EXPECT_EQ(ErrorOf([&] { pipe.Read(buffer.data(), buffer.size()); }),
              win32::ERROR_INVALID_HANDLE);
    EXPECT_EQ(ErrorOf([&] { pipe.Write(buffer.data(), buffer.size()); }),
              win32::ERROR_INVALID_HANDLE);
}

TEST(ChannelErrors, MalformedPipeNamesAreRejected) {
    for (const char* name : {"", "a/b", "..", "x\\y"}) {
        EXPECT_EQ(ErrorOf([&] { ServiceChannel::ServerAvailable(".", name, 10); }),
                  win32::ERROR_INVALID_NAME)
            << name;
    }
}

TEST(PipeException, MessageTexts) {
    // A code the system has no text for gives an empty text and "no text" as result.
    const ChannelError unknown(0x12345, SystemErrorText(0x12345));
    std::array<char, 32> buffer{};
    buffer[0] = 'x';
    unsigned help = 7;
    EXPECT_FALSE(unknown.GetErrorMessage(buffer.data(), buffer.size(), &help));
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(help, 0u);
    EXPECT_EQ(unknown.GetErrorMessage(), "");

    // A known code carries the system's text, cut to the caller's buffer.
    const ChannelError broken(win32::ERROR_BROKEN_PIPE, SystemErrorText(win32::ERROR_BROKEN_PIPE));
    EXPECT_EQ(broken.GetErrorMessage(), "Broken pipe");
    EXPECT_EQ(SystemErrorText(win32::ERROR_OPERATION_ABORTED),
              "The I/O operation has been aborted because of either a thread exit or an "
              "application request.");
    std::array<char, 7> small{};
    EXPECT_TRUE(broken.GetErrorMessage(small.data(), small.size()));
    EXPECT_STREQ(small.data(), "Broken");
}

TEST(PipeException, ThrowTakesTheLastErrorWhenGivenZero) {
    errno = ECONNRESET;
    EXPECT_EQ(ErrorOf([] { ThrowChannelError(0); }), win32::ERROR_BROKEN_PIPE);
    EXPECT_EQ(ErrorOf([] { ThrowChannelError(win32::ERROR_SEM_TIMEOUT); }),
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
// Sessions with several hosts probe and open at once: each open takes the connection its
// own probe reserved, not a new one while the service still counts the first.
TEST(ChannelTcp, EachHostKeepsTheConnectionItsProbeReserved) {
    // Each peer names its port in the environment; the client names it in the host.
    const auto portOf = [] { return std::string(std::getenv(transport::kPipePortVariable)); };
    TestPeer first(Transport::Tcp);
    const std::string firstHost = "127.0.0.1:" + portOf();
    TestPeer second(Transport::Tcp);
    const std::string secondHost = "127.0.0.1:" + portOf();
    auto accepted = std::async(std::launch::async, [&] {
        first.accept();
        second.accept();
    });
    ServiceChannel::ServerAvailable(firstHost, first.pipeName(), 1000);
    ServiceChannel::ServerAvailable(secondHost, second.pipeName(), 1000);
    ServiceChannel firstPipe;
    ServiceChannel secondPipe;
    firstPipe.Open(firstHost, first.pipeName());
    secondPipe.Open(secondHost, second.pipeName());
    accepted.get();
    for (auto [peer, pipe] : {std::pair{&first, &firstPipe}, std::pair{&second, &secondPipe}}) {
        peer->send({0x42});
        std::array<std::uint8_t, 4> buffer{};
        pipe->SetReadTimeout(1000);
        EXPECT_EQ(pipe->Read(buffer.data(), buffer.size()), 1u);
    }
}

}  // namespace veltrix
