#include "servicesim/service_sim.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "protocol/service_channel.h"
#include "raw_client.h"
#include "servicesim/scenario_builders.h"

namespace veltrix::sim {
namespace {

using namespace std::chrono_literals;
using testing::Frame;
using testing::Login;
using testing::RawClient;
using testing::U32s;

// Long enough for a reply on a loaded machine; used only where nothing must arrive.
constexpr auto kQuiet = 150ms;

constexpr char kScenario[] = R"({
    "password": "kavo",
    "controllers": [
        { "name": "C0", "channelCount": 2,
          "drives": [ { "channel": 0, "capacity": 1000 } ],
          "raidSets": [ { "channel": 0, "type": 1, "capacity": 1000 } ] }
    ]
})";

class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/servicesim-test-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

class ServiceSimTest : public ::testing::Test {
  protected:
    ServiceSimTest() : sim_(ParseScenario(kScenario)) {}

    void start(bool tcp = false) {
        ServiceSimOptions options;
        options.pipeDir = dir_.path() + "/pipes";
        options.listenTcp = tcp;
        options.manualClock = true;
        sim_.Start(options);
    }
    RawClient connect() { return RawClient::Local(sim_.SocketPath()); }
    RawClient loggedIn() {
        RawClient c = connect();
        EXPECT_TRUE(c.connected());
        const auto reply = c.ask(Login("kavo"));
        EXPECT_TRUE(reply && IsLoginAccepted(*reply));
        return c;
    }

    TempDir dir_;
    ServiceSim sim_;
};

TEST_F(ServiceSimTest, LoginAcceptedAndRequestsAnswered) {
    start();
    RawClient c = loggedIn();
    const auto count = c.ask(Frame(GET_CONTROLLER_COUNT));
    ASSERT_TRUE(count);
    EXPECT_EQ(count->size(), 10u);
    EXPECT_EQ(ByteView(*count).U32(6), 1u);
    const auto device = c.ask(Frame(GET_DEVICE, U32s({0, 0, 0, 0})));
    ASSERT_TRUE(device);
    EXPECT_EQ(device->size(), 856u);
}

TEST_F(ServiceSimTest, WrongPasswordIsRefusedAndTheConnectionClosed) {
    start();
    RawClient c = connect();
    const auto reply = c.ask(Login("wrong"));
    ASSERT_TRUE(reply);
    EXPECT_FALSE(IsLoginAccepted(*reply));
    EXPECT_EQ(*reply, (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_TRUE(c.closedByPeer());
    // The service listens again.
    ASSERT_TRUE(sim_.WaitForConnectionsClosed(1, 3s));
    RawClient again = loggedIn();
    EXPECT_TRUE(again.connected());
}

TEST_F(ServiceSimTest, CommandsWithoutReplySendNothing) {
    start();
    RawClient c = loggedIn();
    const std::vector<std::vector<std::uint8_t>> requests = {
        Frame(FLASH_END),
        Frame(SET_REBUILD_PRIORITY, {0, 0, 2, 0}),
        Frame(MAIL_SET_LEVEL, U32s({20})),
        Frame(MAIL_SET_LEVEL2, U32s({0})),
        Frame(SET_SERVICE_PASSWORD, {'k', 'a', 'v', 'o'}),
        Frame(SET_HOST_LOGFILE, std::vector<std::uint8_t>(261, 0)),
        Frame(FLASH_READ_ACK),
        Frame(9000),  // unknown
    };
    for (const auto& request : requests) {
        ASSERT_TRUE(c.send(request));
        EXPECT_FALSE(c.receive(kQuiet)) << "code " << ByteView(request).U32(0);
    }
    // The acknowledged exchanges: one reply, then silence for the data messages.
    ASSERT_TRUE(c.ask(Frame(SMTP_SET_TLS)));
    ASSERT_TRUE(c.send(Frame(SMTP_SET_TLS, U32s({1}))));
    ASSERT_TRUE(c.send(Frame(SMTP_SET_TLS, U32s({2}))));
    EXPECT_FALSE(c.receive(kQuiet));
    // Nothing stray was queued: the next reply belongs to the next request.
    const auto count = c.ask(Frame(GET_CONTROLLER_COUNT));
    ASSERT_TRUE(count);
    EXPECT_EQ(ByteView(*count).U32(0), GET_CONTROLLER_COUNT);
    // LOGOFF: no reply, the service closes.
    ASSERT_TRUE(c.send(Frame(LOGOFF)));
    EXPECT_FALSE(c.receive(kQuiet));
    EXPECT_TRUE(c.closedByPeer());
}

TEST_F(ServiceSimTest, FaultsFromTheScenarioAndAtRunTime) {
    start();
    RawClient c = loggedIn();
    struct Case {
        FaultSpec::Kind kind;
        std::uint32_t delayMs;
        std::uint32_t bytes;
    };
    // silent: no reply once, then normal again.
    sim_.SetFault({GET_CHANGE_FLAG, FaultSpec::Kind::Silent, 1, 0, 0});
    ASSERT_TRUE(c.send(Frame(GET_CHANGE_FLAG)));
    EXPECT_FALSE(c.receive(kQuiet));
    EXPECT_TRUE(c.ask(Frame(GET_CHANGE_FLAG)));

    // short: cut to 10 bytes, twice.
    sim_.SetFault({GET_EVENT, FaultSpec::Kind::Short, 2, 0, 10});
    EXPECT_EQ(c.ask(Frame(GET_EVENT))->size(), 10u);
    EXPECT_EQ(c.ask(Frame(GET_EVENT))->size(), 10u);
    EXPECT_EQ(c.ask(Frame(GET_EVENT))->size(), 71u);

    // oversized: longer than any reply the client can read.
    sim_.SetFault({GET_LOG_ENTRY, FaultSpec::Kind::Oversized, -1, 0, 1500});
    for (int i = 0; i < 2; ++i) {
        const auto reply = c.ask(Frame(GET_LOG_ENTRY));
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->size(), 1500u);
        EXPECT_GT(reply->size(), ServiceMessage::kSize);
        EXPECT_EQ(ByteView(*reply).U16(4), 1494);
    }
    sim_.ClearFaults();
    EXPECT_EQ(c.ask(Frame(GET_LOG_ENTRY))->size(), 39u);

    // length, code, patch: the header or bytes rewritten, the size kept (patch grows it).
    sim_.SetFault({.code = GET_EVENT, .kind = FaultSpec::Kind::Length, .count = 1, .value = 900});
    auto shaped = c.ask(Frame(GET_EVENT));
    ASSERT_TRUE(shaped);
    EXPECT_EQ(shaped->size(), 71u);
    EXPECT_EQ(ByteView(*shaped).U16(4), 900);
    sim_.SetFault({.code = GET_EVENT, .kind = FaultSpec::Kind::Code, .count = 1, .value = 77});
    shaped = c.ask(Frame(GET_EVENT));
    EXPECT_EQ(ByteView(*shaped).U32(0), 77u);
    EXPECT_EQ(ByteView(*shaped).U16(4), 65);
    const auto plain = c.ask(Frame(GET_EVENT));
    sim_.SetFault({.code = GET_EVENT,
                   .kind = FaultSpec::Kind::Patch,
                   .count = 1,
                   .offset = 70,
                   .data = {0xAB, 0xCD}});
    shaped = c.ask(Frame(GET_EVENT));
    ASSERT_EQ(shaped->size(), 72u);
    EXPECT_TRUE(std::equal(plain->begin(), plain->begin() + 70, shaped->begin()));
    EXPECT_EQ((*shaped)[71], 0xCD);

    // late: the reply comes after the delay; the loop keeps serving meanwhile.
    sim_.SetFault({GET_REBUILD_STATUS, FaultSpec::Kind::Late, 1, 300, 0});
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_TRUE(c.send(Frame(GET_REBUILD_STATUS, {0})));
    EXPECT_FALSE(c.receive(100ms));
    ASSERT_TRUE(c.send(Frame(GET_CONTROLLER_COUNT)));  // queued behind the late one
    const auto late = c.receive(3s);
    ASSERT_TRUE(late);
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 290ms);
    EXPECT_EQ(ByteView(*late).U32(0), GET_REBUILD_STATUS);
    const auto next = c.receive(3s);
    ASSERT_TRUE(next);
    EXPECT_EQ(ByteView(*next).U32(0), GET_CONTROLLER_COUNT);

    // close: the connection ends instead of a reply.
    sim_.SetFault({GET_MAIL_STATUS, FaultSpec::Kind::Close, 1, 0, 0});
    ASSERT_TRUE(c.send(Frame(GET_MAIL_STATUS)));
    EXPECT_TRUE(c.closedByPeer());
    ASSERT_TRUE(sim_.WaitForConnectionsClosed(1, 3s));
    RawClient again = loggedIn();
    EXPECT_EQ(again.ask(Frame(GET_MAIL_STATUS))->size(), 325u);
}

TEST(ServiceSimScenarioFaultTest, ScenarioFaultOnTheLoginReply) {
    TempDir dir;
    ServiceSim sim(ParseScenario(R"({"faults": [{"command": "login", "kind": "short",
                                                  "bytes": 2, "count": 1}]})"));
    ServiceSimOptions options;
    options.pipeDir = dir.path();
    sim.Start(options);
    RawClient c = RawClient::Local(sim.SocketPath());
    const auto reply = c.ask(Login("kavo"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, (std::vector<std::uint8_t>{1, 2}));
}

// One request of a fault script and what must come of it.
struct FaultStep {
    std::vector<std::uint8_t> request;
    std::size_t replies = 0;                  // replies that arrive
    bool closed = false;                      // then the service closes
    std::size_t firstSize = 0;                // size of the first reply, when not 0
    std::chrono::milliseconds atLeast = 0ms;  // real time until the last reply
    bool progress = false;                    // flash streams: reply codes are progress
};

struct FaultScript {
    const char* name;
    std::vector<FaultSpec> faults;  // set after the login
    std::vector<FaultStep> steps;
};

class ServiceSimFaultTest : public ServiceSimTest,
                            public ::testing::WithParamInterface<FaultScript> {};

TEST_P(ServiceSimFaultTest, RequestsMeetTheFaults) {
    start();  // manual clock: delays must still be real time
    RawClient c = loggedIn();
    for (const FaultSpec& fault : GetParam().faults) {
        sim_.SetFault(fault);
    }
    for (const FaultStep& step : GetParam().steps) {
        const std::uint32_t code = ByteView(step.request).U32(0);
        const auto sent = std::chrono::steady_clock::now();
        ASSERT_TRUE(c.send(step.request)) << code;
        for (std::size_t i = 0; i < step.replies; ++i) {
            const auto reply = c.receive(3s);
            ASSERT_TRUE(reply) << "code " << code << ": reply " << i;
            if (step.progress) {
                EXPECT_LE(ByteView(*reply).U32(0), 100u) << code;
            } else {
                EXPECT_EQ(ByteView(*reply).U32(0), code);
            }
            if (i == 0 && step.firstSize != 0) {
                EXPECT_EQ(reply->size(), step.firstSize) << code;
            }
        }
        EXPECT_GE(std::chrono::steady_clock::now() - sent, step.atLeast) << code;
        if (step.closed) {
            EXPECT_FALSE(c.receive(3s)) << "code " << code << ": a reply beyond the count";
            EXPECT_TRUE(c.closedByPeer(0ms)) << code;
            return;
        }
        EXPECT_FALSE(c.receive(kQuiet)) << "code " << code << ": an unexpected reply";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ServiceSimFaultTest,
    ::testing::Values(
        FaultScript{"AnyLateDelaysEveryReplyInRealTime",
                    {{.code = kAnyCommandFaultCode, .kind = FaultSpec::Kind::Late, .delayMs = 250}},
                    {{.request = Frame(GET_CONTROLLER_COUNT), .replies = 1, .atLeast = 240ms},
                     {.request = Frame(GET_EVENT), .replies = 1, .atLeast = 240ms},
                     {.request = Frame(MAIL_GET_SETTINGS), .replies = 7, .atLeast = 240ms}}},
        FaultScript{"AnySilentAnswersNothing",
                    {{.code = kAnyCommandFaultCode, .kind = FaultSpec::Kind::Silent}},
                    {{.request = Frame(GET_CONTROLLER_COUNT)},
                     {.request = Frame(GET_EVENT)},
                     {.request = Frame(MAIL_GET_SETTINGS)}}},
        FaultScript{"CommandsOwnFaultComesBeforeAny",
                    {{.code = kAnyCommandFaultCode, .kind = FaultSpec::Kind::Silent},
                     {.code = GET_EVENT, .kind = FaultSpec::Kind::Short, .bytes = 10}},
                    {{.request = Frame(GET_CONTROLLER_COUNT)},
                     {.request = Frame(GET_EVENT), .replies = 1, .firstSize = 10}}},
        FaultScript{"AnyCloseEndsAtTheFirstRequest",
                    {{.code = kAnyCommandFaultCode, .kind = FaultSpec::Kind::Close}},
                    {{.request = Frame(GET_CONTROLLER_COUNT), .closed = true}}},
        FaultScript{"DropInTheMiddleOfAnExchange",
                    {{.code = kAnyCommandFaultCode, .kind = FaultSpec::Kind::Drop, .after = 3}},
                    {{.request = Frame(MAIL_GET_SETTINGS), .replies = 3, .closed = true}}},
        FaultScript{"DropCountsRepliesAcrossRequests",
                    {{.code = kAnyCommandFaultCode, .kind = FaultSpec::Kind::Drop, .after = 2}},
                    {{.request = Frame(GET_CONTROLLER_COUNT), .replies = 1},
                     {.request = Frame(SET_REBUILD_PRIORITY, {0, 0, 2, 0})},
                     {.request = Frame(GET_CONTROLLER_COUNT), .replies = 1, .closed = true}}},
        FaultScript{"DropAfterNoneClosesInsteadOfReplying",
                    {{.code = kAnyCommandFaultCode, .kind = FaultSpec::Kind::Drop}},
                    {{.request = Frame(GET_CONTROLLER_COUNT), .closed = true}}},
        FaultScript{"DropCountsOnlyTheRepliesOfItsCommand",
                    {{.code = GET_EVENT, .kind = FaultSpec::Kind::Drop, .after = 1}},
                    {{.request = Frame(GET_CONTROLLER_COUNT), .replies = 1},
                     {.request = Frame(GET_CONTROLLER_COUNT), .replies = 1},
                     {.request = Frame(GET_EVENT), .replies = 1, .closed = true}}},
        FaultScript{"DropWaitsForALateReply",
                    {{.code = kAnyCommandFaultCode, .kind = FaultSpec::Kind::Late, .delayMs = 100},
                     {.code = kAnyCommandFaultCode, .kind = FaultSpec::Kind::Drop, .after = 1}},
                    {{.request = Frame(GET_CONTROLLER_COUNT),
                      .replies = 1,
                      .closed = true,
                      .atLeast = 90ms}}},
        FaultScript{"FlashVersionUnanswered",
                    {{.code = FLASH_GET_BIOS_VERSION, .kind = FaultSpec::Kind::Silent}},
                    {{.request = Frame(FLASH_GET_BIOS_VERSION, {0})},
                     {.request = Frame(FLASH_GET_TYPE_ID, {0}), .replies = 1}}},
        FaultScript{"FlashEraseUnanswered",
                    {{.code = FLASH_ERASE, .kind = FaultSpec::Kind::Silent}},
                    {{.request = Frame(FLASH_ERASE, {0})},
                     {.request = Frame(FLASH_WRITE_START, {0}), .replies = 1}}},
        FaultScript{
            "FlashReadOutLostMidStream",
            {{.code = FLASH_READ_ACK, .kind = FaultSpec::Kind::Drop, .after = 2}},
            {{.request = Frame(FLASH_READ_START, {0}), .replies = 1, .progress = true},
             {.request = Frame(FLASH_READ_ACK), .replies = 1, .progress = true},
             {.request = Frame(FLASH_READ_ACK), .replies = 1, .closed = true, .progress = true}}},
        FaultScript{
            "FlashWriteLostMidWrite",
            {{.code = kFlashWriteBlockFaultCode, .kind = FaultSpec::Kind::Drop, .after = 2}},
            {{.request = Frame(FLASH_WRITE_START, {0}), .replies = 1},
             {.request = Frame(FLASH_WRITE_BLOCK, std::vector<std::uint8_t>(512)),
              .replies = 1,
              .progress = true},
             {.request = Frame(FLASH_WRITE_BLOCK + 1, std::vector<std::uint8_t>(512)),
              .replies = 1,
              .closed = true,
              .progress = true}}},
        FaultScript{
            "FlashBlocksOwnFaultBeforeTheFaultOfAllBlocks",
            {{.code = FLASH_WRITE_BLOCK + 1, .kind = FaultSpec::Kind::Silent},
             {.code = kFlashWriteBlockFaultCode, .kind = FaultSpec::Kind::Late, .delayMs = 100}},
            {{.request = Frame(FLASH_WRITE_START, {0}), .replies = 1},
             {.request = Frame(FLASH_WRITE_BLOCK, std::vector<std::uint8_t>(512)),
              .replies = 1,
              .atLeast = 90ms,
              .progress = true},
             {.request = Frame(FLASH_WRITE_BLOCK + 1, std::vector<std::uint8_t>(512))}}}),
    [](const ::testing::TestParamInfo<FaultScript>& p) { return std::string(p.param.name); });

TEST_F(ServiceSimTest, SlowEraseAnswersOnceSimulatedTimeHasPassed) {
    start();
    RawClient c = loggedIn();
    // Controller C0: the default ROM, a BIOS image with the controller's ids and version.
    EXPECT_EQ(sim_.FlashContents(0), MakeBiosImage(0x20000, 0, 0, 0));
    EXPECT_TRUE(sim_.FlashContents(9).empty());
    sim_.SetFlashFaults(0, {.eraseMs = 5000});
    ASSERT_TRUE(c.send(Frame(FLASH_ERASE, {0})));
    ASSERT_TRUE(c.send(Frame(FLASH_GET_TYPE_ID, {0})));  // its reply waits behind the erase
    EXPECT_FALSE(c.receive(kQuiet));
    EXPECT_EQ(sim_.FlashContents(0), std::vector<std::uint8_t>(0x20000, 0xFF));
    EXPECT_EQ(sim_.FlashCountersOf(0).erases, 1u);
    sim_.AdvanceClock(4999ms);
    EXPECT_FALSE(c.receive(kQuiet));
    sim_.AdvanceClock(1ms);
    const auto erase = c.receive();
    ASSERT_TRUE(erase);
    EXPECT_EQ(ByteView(*erase).U32(0), FLASH_ERASE);
    const auto type = c.receive();
    ASSERT_TRUE(type);
    EXPECT_EQ(ByteView(*type).U32(0), FLASH_GET_TYPE_ID);
    // Contents put in by a test are what the service reads its version from.
    sim_.SetFlashContents(0, MakeBiosImage(4096, 0, 0, 0x0412));
    const auto version = c.ask(Frame(FLASH_GET_BIOS_VERSION, {0}));
    ASSERT_TRUE(version);
    EXPECT_EQ(ByteView(*version).U32(6), 0x0412u);
}

TEST(ServiceSimScenarioFaultTest, SlowEraseOnTheRealClockAnswersByItself) {
    TempDir dir;
    ServiceSim sim(ParseScenario(R"({"controllers": [{"flash": {"eraseMs": 100}}]})"));
    ServiceSimOptions options;
    options.pipeDir = dir.path();
    sim.Start(options);
    RawClient c = RawClient::Local(sim.SocketPath());
    ASSERT_TRUE(c.ask(Login("kavo")));
    const auto sent = std::chrono::steady_clock::now();
    const auto erase = c.ask(Frame(FLASH_ERASE, {0}));
    ASSERT_TRUE(erase);
    EXPECT_EQ(ByteView(*erase).U32(0), FLASH_ERASE);
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 90ms);
}

TEST(ServiceSimScenarioFaultTest, DropFaultStrikesEveryConnectionUntilItsCountIsUsed) {
    // Every connection counts afresh; the first two connections are dropped.
    TempDir dir;
    ServiceSim sim(ParseScenario(
        R"({"faults": [{"command": "any", "kind": "drop", "after": 1, "count": 2}]})"));
    ServiceSimOptions options;
    options.pipeDir = dir.path();
    options.manualClock = true;
    sim.Start(options);
    for (std::size_t connection = 1; connection <= 3; ++connection) {
        RawClient c = RawClient::Local(sim.SocketPath());
        const auto login = c.ask(Login("kavo"));
        ASSERT_TRUE(login && IsLoginAccepted(*login)) << connection;
        EXPECT_TRUE(c.ask(Frame(GET_CONTROLLER_COUNT))) << connection;
        if (connection <= 2) {
            EXPECT_TRUE(c.closedByPeer()) << connection;
            ASSERT_TRUE(sim.WaitForConnectionsClosed(connection, 3s));
        } else {
            EXPECT_TRUE(c.ask(Frame(GET_CONTROLLER_COUNT)));
        }
    }
}

TEST_F(ServiceSimTest, LoginFaultsActOnceTheConnectionIsAccepted) {
    struct Case {
        const char* name;
        FaultSpec fault;
        bool loginReply;
        bool closed;
    };
    const Case cases[] = {
        // Accepts and never answers the login, without closing.
        {"StaysSilent", {.code = kLoginFaultCode, .kind = FaultSpec::Kind::Silent}, false, false},
        {"DropsInsteadOfAnswering",
         {.code = kLoginFaultCode, .kind = FaultSpec::Kind::Drop},
         false,
         true},
        {"DropsAfterAnswering",
         {.code = kLoginFaultCode, .kind = FaultSpec::Kind::Drop, .after = 1},
         true,
         true},
    };
    start();
    std::size_t closed = 0;
    for (const Case& c : cases) {
        sim_.ClearFaults();
        sim_.SetFault(c.fault);
        RawClient client = connect();
        ASSERT_TRUE(client.connected()) << c.name;
        ASSERT_TRUE(client.send(Login("kavo"))) << c.name;
        const auto reply = client.receive(c.loginReply ? 3000ms : kQuiet);
        EXPECT_EQ(reply.has_value(), c.loginReply) << c.name;
        if (c.closed) {
            EXPECT_TRUE(client.closedByPeer()) << c.name;
        } else {
            EXPECT_FALSE(client.closedByPeer(kQuiet)) << c.name;
        }
        client.close();
        ASSERT_TRUE(sim_.WaitForConnectionsClosed(++closed, 3s)) << c.name;
    }
}

TEST_F(ServiceSimTest, OneClientAtATimeOnTheLocalSocket) {
    start();
    RawClient first = loggedIn();
    ASSERT_TRUE(sim_.SocketPath().size() > 0);
    struct stat st {};
    EXPECT_EQ(::lstat(sim_.SocketPath().c_str(), &st), 0);  // the file stays
    RawClient second = connect();
    EXPECT_FALSE(second.connected());
    EXPECT_EQ(second.error(), ECONNREFUSED);
    first.close();
    ASSERT_TRUE(sim_.WaitForConnectionsClosed(1, 3s));
    RawClient third = loggedIn();
    EXPECT_TRUE(third.connected());
}

TEST_F(ServiceSimTest, OneClientAtATimeAcrossLocalAndTcp) {
    start(true);
    ASSERT_NE(sim_.TcpPort(), 0);
    RawClient tcp = RawClient::Tcp(sim_.TcpPort());
    ASSERT_TRUE(tcp.connected());
    const auto reply = tcp.ask(Login("kavo"));
    ASSERT_TRUE(reply && IsLoginAccepted(*reply));
    EXPECT_FALSE(RawClient::Tcp(sim_.TcpPort()).connected());
    EXPECT_FALSE(connect().connected());
    const auto config = tcp.ask(Frame(GET_SERVICE_CONFIG));
    ASSERT_TRUE(config);
    EXPECT_EQ(config->size(), 267u);
    tcp.close();
    ASSERT_TRUE(sim_.WaitForConnectionsClosed(1, 3s));
    RawClient local = loggedIn();
    EXPECT_TRUE(local.connected());
    local.close();
    ASSERT_TRUE(sim_.WaitForConnectionsClosed(2, 3s));
    EXPECT_TRUE(RawClient::Tcp(sim_.TcpPort()).connected());  // same port again
}

TEST_F(ServiceSimTest, ChannelSeesABusyPipeAndARefusedTcpConnect) {
    start(true);
    ::setenv(transport::kPipeDirVariable, (dir_.path() + "/pipes").c_str(), 1);
    ::setenv(transport::kPipePortVariable, std::to_string(sim_.TcpPort()).c_str(), 1);
    RawClient first = loggedIn();
    try {
        ServiceChannel::ServerAvailable(".", kServicePipeName, 300);
        FAIL() << "busy pipe reported available";
    } catch (const ChannelError& e) {
        EXPECT_EQ(e.errorCode, win32::ERROR_SEM_TIMEOUT);
    }
    try {
        ServiceChannel::ServerAvailable("127.0.0.1", kServicePipeName, 300);
        FAIL() << "refused TCP connect reported available";
    } catch (const ChannelError& e) {
        EXPECT_EQ(e.errorCode, win32::ERROR_FILE_NOT_FOUND);
    }
    first.close();
    ASSERT_TRUE(sim_.WaitForConnectionsClosed(1, 3s));

    // The product's channel: login and an e-mail exchange in message mode.
    ServiceChannel pipe;
    ServiceChannel::ServerAvailable(".", kServicePipeName, 1000);
    pipe.Open(".", kServicePipeName);
    const auto block = BuildLoginBlock("kavo");
    pipe.Write(block.data(), block.size());
    std::array<std::uint8_t, ServiceMessage::kSize> reply{};
    const std::size_t n = pipe.Read(reply.data(), reply.size());
    EXPECT_TRUE(IsLoginAccepted(std::span(reply.data(), n)));
    ServiceMessage m;
    m.SetRequest(MAIL_GET_SETTINGS);
    pipe.Write(m.raw.data(), m.WireSize());
    pipe.SetMode(false, false);
    pipe.SetMode(false, true);
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(pipe.WaitForResponse(3000)) << i;
        m.Clear();
        m.received = pipe.Read(m.raw.data(), m.raw.size());
        EXPECT_EQ(m.Code(), MAIL_GET_SETTINGS);
    }
    EXPECT_FALSE(pipe.WaitForResponse(50));
    m.SetRequest(LOGOFF);
    pipe.Write(m.raw.data(), m.WireSize());
    pipe.Close();
    ::unsetenv(transport::kPipeDirVariable);
    ::unsetenv(transport::kPipePortVariable);
}

TEST_F(ServiceSimTest, ProbeThatSaysNothingIsHandled) {
    start(true);
    for (int i = 0; i < 3; ++i) {
        RawClient probe = connect();
        ASSERT_TRUE(probe.connected());
        probe.close();
        ASSERT_TRUE(sim_.WaitForConnectionsClosed(static_cast<std::size_t>(2 * i + 1), 3s));
        RawClient tcpProbe = RawClient::Tcp(sim_.TcpPort());
        ASSERT_TRUE(tcpProbe.connected());
        tcpProbe.close();
        ASSERT_TRUE(sim_.WaitForConnectionsClosed(static_cast<std::size_t>(2 * i + 2), 3s));
    }
    EXPECT_TRUE(sim_.Transcript().empty());
    RawClient c = loggedIn();
    EXPECT_TRUE(c.ask(Frame(GET_CONTROLLER_COUNT)));
}

TEST_F(ServiceSimTest, HostileInputNeverStopsTheService) {
    start(true);
    {
        // Garbage instead of a login block: refused.
        RawClient c = connect();
        const auto reply = c.ask(std::vector<std::uint8_t>(3000, 0xA5));
        ASSERT_TRUE(reply);
        EXPECT_FALSE(IsLoginAccepted(*reply));
        EXPECT_TRUE(c.closedByPeer());
    }
    ASSERT_TRUE(sim_.WaitForConnectionsClosed(1, 3s));
    {
        RawClient c = loggedIn();
        const std::vector<std::vector<std::uint8_t>> junk = {
            {},
            {1},
            {1, 0, 0, 0, 4},
            Frame(GET_DEVICE, {}, 1049),
            Frame(GET_DEVICE, {}, 0xFFFF),
            Frame(GET_DEVICE, {1, 2}, 16),
            std::vector<std::uint8_t>(70000, 0xFF),  // longer than any frame
            Frame(0xFFFFFFFF),
            Frame(FLASH_WRITE_BLOCK + 4000, std::vector<std::uint8_t>(512, 0)),
        };
        for (const auto& message : junk) {
            ASSERT_TRUE(c.send(message)) << message.size();
        }
        // Only the two frames that are requests answer (GET_DEVICE with short data, and
        // the write block beyond the ROM); nothing else.
        const auto device = c.receive();
        ASSERT_TRUE(device);
        EXPECT_EQ(device->size(), 856u);
        const auto block = c.receive();
        ASSERT_TRUE(block);
        EXPECT_GT(ByteView(*block).U32(0), 100u);
        EXPECT_FALSE(c.receive(kQuiet));
        EXPECT_TRUE(c.ask(Frame(GET_CONTROLLER_COUNT)));
        // Abrupt disconnect with a late reply pending.
        sim_.SetFault({GET_EVENT, FaultSpec::Kind::Late, 1, 200, 0});
        ASSERT_TRUE(c.send(Frame(GET_EVENT)));
    }
    ASSERT_TRUE(sim_.WaitForConnectionsClosed(2, 3s));
    {
        // TCP: a length prefix no message can have breaks the stream; the service
        // drops the connection and goes on.
        RawClient c = RawClient::Tcp(sim_.TcpPort());
        ASSERT_TRUE(c.connected());
        ASSERT_TRUE(c.sendRaw({0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3}));
        EXPECT_TRUE(c.closedByPeer());
    }
    ASSERT_TRUE(sim_.WaitForConnectionsClosed(3, 3s));
    {
        // TCP: a login that arrives byte by byte.
        RawClient c = RawClient::Tcp(sim_.TcpPort());
        const auto framed = transport::FrameTcpMessage(Login("kavo"));
        for (std::uint8_t b : framed) {
            ASSERT_TRUE(c.sendRaw({b}));
        }
        const auto reply = c.receive();
        ASSERT_TRUE(reply);
        EXPECT_TRUE(IsLoginAccepted(*reply));
    }
    ASSERT_TRUE(sim_.WaitForConnectionsClosed(4, 3s));
    RawClient c = loggedIn();
    EXPECT_TRUE(c.ask(Frame(GET_CONTROLLER_COUNT)));
}

TEST_F(ServiceSimTest, TranscriptRecordsEveryMessageAndCanBeAwaited) {
    start();
    RawClient c = loggedIn();
    ASSERT_TRUE(c.send(Frame(SET_REBUILD_PRIORITY, {0, 0, 5, 0})));
    const auto entry = sim_.WaitForCode(SET_REBUILD_PRIORITY, 3s);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->length, 4);
    EXPECT_EQ(entry->data, (std::vector<std::uint8_t>{0, 0, 5, 0}));
    EXPECT_EQ(entry->connection, 1u);
    EXPECT_EQ(entry->kind, Outcome::Kind::Request);
    EXPECT_EQ(sim_.Inspect([](const ServiceEngine& e) { return e.RaidSetPriority(0, 0); }), 5);

    const auto all = sim_.Transcript();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_TRUE(all[0].login);
    EXPECT_EQ(all[0].size, 100u);
    EXPECT_EQ(all[0].data[0], 'k');

    ASSERT_TRUE(c.ask(Frame(MAIL_SET_SETTINGS)));
    ASSERT_TRUE(c.send(Frame(MAIL_SET_SETTINGS, {'x'})));
    ASSERT_TRUE(sim_.WaitForEntries(4, 3s));
    EXPECT_EQ(sim_.Transcript()[3].kind, Outcome::Kind::Data);

    sim_.ClearTranscript();
    EXPECT_TRUE(sim_.Transcript().empty());
    EXPECT_FALSE(sim_.WaitForCode(GET_EVENT, 50ms));
    EXPECT_FALSE(sim_.WaitForEntries(1, 50ms));
}

TEST_F(ServiceSimTest, HooksAndTheInjectableClock) {
    start();
    RawClient c = loggedIn();
    sim_.PushEvent({0, 1, 2, 3, 4, 0xB02});
    sim_.PushLogEntry({0, 1, 0x51, 0x25, 0x08, 99, 8});
    sim_.PushMailFailure({421, "no route", std::nullopt});
    EXPECT_EQ(ByteView(*c.ask(Frame(GET_EVENT))).U32(6 + 21), 0xB02u);
    EXPECT_EQ((*c.ask(Frame(GET_LOG_ENTRY)))[6 + 18], 0x51);
    const auto mail = c.ask(Frame(GET_MAIL_STATUS));
    ASSERT_TRUE(mail);
    EXPECT_EQ(MailStatus::Decode(std::span(*mail).subspan(6)).errorCode, 421);
    EXPECT_EQ((*c.ask(Frame(GET_CHANGE_FLAG)))[6], 1);
    sim_.SetChangeFlag(true);
    EXPECT_EQ((*c.ask(Frame(GET_CHANGE_FLAG)))[6], 1);
    EXPECT_EQ((*c.ask(Frame(GET_CHANGE_FLAG)))[6], 0);
    const auto t0 = sim_.SimTimeMs();
    sim_.AdvanceClock(90s);
    EXPECT_EQ(sim_.SimTimeMs(), t0 + 90000);
}

TEST(ServiceSimLifecycleTest, StaleSocketIsReplacedAndStopRemovesTheFile) {
    TempDir dir;
    const std::string path = dir.path() + "/KAVOPIPE";
    {
        // A socket file left behind by a service that died.
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd);
    }
    ServiceSim sim(ParseScenario("{}"));
    ServiceSimOptions options;
    options.pipeDir = dir.path();
    sim.Start(options);
    EXPECT_EQ(sim.SocketPath(), path);
    EXPECT_TRUE(RawClient::Local(path).connected());
    ASSERT_TRUE(sim.WaitForConnectionsClosed(1, 3s));

    // A second service on the same live socket is refused.
    ServiceSim other(ParseScenario("{}"));
    EXPECT_THROW(other.Start(options), std::runtime_error);
    EXPECT_TRUE(std::filesystem::exists(path));

    sim.Stop();
    EXPECT_FALSE(std::filesystem::exists(path));
    sim.Stop();  // twice is harmless
}

TEST(ServiceSimLifecycleTest, CreatesTheDirectoryAndRefusesAFileInTheWay) {
    TempDir dir;
    ServiceSimOptions options;
    options.pipeDir = dir.path() + "/a/b/c";
    options.pipeName = "OTHERPIPE";
    {
        ServiceSim sim(ParseScenario("{}"));
        sim.Start(options);
        EXPECT_TRUE(std::filesystem::is_socket(options.pipeDir + "/OTHERPIPE"));
    }
    EXPECT_FALSE(std::filesystem::exists(options.pipeDir + "/OTHERPIPE"));
    { std::ofstream(options.pipeDir + "/OTHERPIPE") << "not a socket"; }
    ServiceSim sim(ParseScenario("{}"));
    EXPECT_THROW(sim.Start(options), std::runtime_error);
    EXPECT_TRUE(std::filesystem::is_regular_file(options.pipeDir + "/OTHERPIPE"));
}

}  // namespace
}  // namespace veltrix::sim
