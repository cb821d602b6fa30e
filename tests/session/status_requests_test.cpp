// The request functions against the simulated service, asserting on what the
// service received and on what the model and the user were given.

#include "session/status_requests.h"

#include <gtest/gtest.h>

#include "protocol/bytes.h"
#include "support/recording_ui.h"
#include "support/sim_session.h"

namespace veltrix {
namespace {

using testing::RecordingUi;
using testing::SimSession;
using testing::Transport;

sim::DriveSpec Drive(std::uint8_t channel, std::uint8_t pmPort, const std::string& serial) {
    sim::DriveSpec d;
    d.channel = channel;
    d.pmPort = pmPort;
    d.serial = serial;
    d.model = "Model " + serial;
    d.capacity = 488397168;
    return d;
}

// One controller with 4 channels, no port multipliers, drives at channels 0, 2 and 3
// and a mirror of the first two.
sim::Scenario FourChannelScenario() {
    sim::Scenario s;
    sim::ControllerSpec c;
    c.vendorId = 0x1095;
    c.deviceId = 0x3124;
    c.name = "Test Controller";
    c.biosVersion = 0x0360;
    c.channelCount = 4;
    c.raid5 = true;
    c.drives = {Drive(0, 0, "S0"), Drive(2, 0, "S2"), Drive(3, 0, "S3")};
    sim::RaidSetSpec mirror;
    mirror.channel = 1;
    mirror.raidType = 1;
    mirror.capacity = 488397168;
    mirror.driveCount = 2;
    mirror.members = {0, 2, 0xFF, 0xFF};
    c.sets = {mirror};
    s.controllers = {c};
    return s;
}

struct Address {
    std::uint32_t code, controller, channel, port;
    bool operator==(const Address&) const = default;
};

std::vector<Address> AddressesAsked(const std::vector<sim::TranscriptEntry>& transcript) {
    std::vector<Address> asked;
    for (const auto& e : transcript) {
        if (e.code == GET_DEVICE || e.code == GET_RAID_SET) {
            const ByteView data(e.data);
            asked.push_back({e.code, data.U32(0), data.U32(4), data.U32(8)});
            EXPECT_EQ(e.length, 16);
            EXPECT_EQ(data.U32(12), 0u);  // reserved word
        }
    }
    return asked;
}

class RequestsTest : public ::testing::TestWithParam<Transport> {
  protected:
    explicit RequestsTest(sim::Scenario scenario = FourChannelScenario())
        : session_(std::move(scenario), GetParam()) {}

    void SetUp() override {
        ASSERT_TRUE(session_.login(link_));
        session_.sim().ClearTranscript();
    }

    std::vector<sim::TranscriptEntry> received() {
        // Every request of these functions is answered, so by the time a function
        // returns the service has logged all it received.
        return session_.sim().Transcript();
    }

    SimSession session_;
    ServiceLink link_;
    ObjectTable table_;
    RecordingUi ui_;
    StatusRequests requests_{link_, table_, ui_};
};

INSTANTIATE_TEST_SUITE_P(Transports, RequestsTest,
                         ::testing::Values(Transport::Local, Transport::Tcp),
                         [](const ::testing::TestParamInfo<Transport>& param) {
                             return param.param == Transport::Local ? "Local" : "Tcp";
                         });

TEST_P(RequestsTest, ReadingAFourChannelControllerAsksEachAddressInOrder) {
    ASSERT_TRUE(requests_.ReadController(0));
    const auto transcript = received();
    ASSERT_GE(transcript.size(), 2u);
    EXPECT_EQ(transcript[0].code, GET_CONTROLLER_INFO);
    EXPECT_EQ(transcript[0].size, 10u);
    EXPECT_EQ(transcript[1].code, GET_CONTROLLER_FLAG);
    EXPECT_EQ(transcript[1].size, 7u);

    // Every index scans from the first address: drive 0 is at (0,0), drive 1 at (2,0),
    // drive 2 at (3,0); the one set answers at (1,0).
    const std::vector<Address> expected = {
        {3, 0, 0, 0},                                            // drive 0
        {3, 0, 0, 0}, {3, 0, 1, 0}, {3, 0, 2, 0},                // drive 1
        {3, 0, 0, 0}, {3, 0, 1, 0}, {3, 0, 2, 0}, {3, 0, 3, 0},  // drive 2
        {4, 0, 0, 0}, {4, 0, 1, 0},                              // set 0
    };
    EXPECT_EQ(AddressesAsked(transcript), expected);
    EXPECT_TRUE(ui_.messages.empty());

    const Device* last = table_.GetDevice(0, 2);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->Position(), 3);
    // The drive at channel 3 sets bit 48 of the presence bits.
    EXPECT_NE(table_.GetController(0)->DevicePresence() & (std::uint64_t{1} << 48), 0u);
    EXPECT_EQ(table_.GetRaidSet(0, 0)->MembersText(), "0, 2");
    EXPECT_EQ(table_.GetController(0)->Name(), "Test Controller");
}

TEST_P(RequestsTest, MissingDriveScansEveryAddressAndStoresNothing) {
    table_.CreateController(0);
    ASSERT_TRUE(requests_.RequestControllerInfo(0));
    table_.CreateDevice(0, 3);
    session_.sim().ClearTranscript();

    EXPECT_FALSE(requests_.RequestDevice(0, 3));
    EXPECT_EQ(AddressesAsked(received()).size(), 4u);
    EXPECT_EQ(table_.GetDevice(0, 3)->Position(), Device::kNoPosition);
}

TEST_P(RequestsTest, IndicesOutsideTheTableAskNothing) {
    EXPECT_FALSE(requests_.ReadController(8));
    EXPECT_FALSE(requests_.RequestControllerInfo(-1));
    EXPECT_FALSE(requests_.RequestDevice(9, 0));
    EXPECT_TRUE(received().empty());
    EXPECT_EQ(table_.ObjectCount(), 0u);
}

TEST_P(RequestsTest, PasswordMessageAndTheNextLogin) {
    ASSERT_TRUE(requests_.SendServicePassword("twelve-chars"));
    const auto sent = session_.sim().WaitForCode(SET_SERVICE_PASSWORD, std::chrono::seconds(5));
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->size, 18u);
    EXPECT_EQ(std::string(sent->data.begin(), sent->data.end()), "twelve-chars");
    EXPECT_FALSE(link_.pipeBusy);

    link_.pipe.Close();
    ASSERT_TRUE(session_.sim().WaitForConnectionsClosed(1, std::chrono::seconds(5)));
    ServiceLink again;
    EXPECT_FALSE(session_.login(again, "kavo"));
    ServiceLink third;
    ASSERT_TRUE(session_.sim().WaitForConnectionsClosed(2, std::chrono::seconds(5)));
    EXPECT_TRUE(session_.login(third, "twelve-chars"));
}

TEST_P(RequestsTest, HostLogFileGoesBackWithTheVersionWordsUnchanged) {
    ServiceConfig config;
    ASSERT_TRUE(requests_.RequestServiceConfig(config));
    EXPECT_EQ(ServiceVersionNumber(config), 3040000u);
    config.configFlags = 1;
    config.SetLogFileName("/var/log/veltrix-host.log");
    ASSERT_TRUE(requests_.SendHostLogFile(config));

    ServiceConfig reread;
    ASSERT_TRUE(requests_.RequestServiceConfig(reread));
    EXPECT_EQ(reread.Encode(), config.Encode());
    const auto sent = session_.sim().WaitForCode(SET_HOST_LOGFILE, std::chrono::seconds(5));
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->size, 267u);
    EXPECT_FALSE(link_.pipeBusy);
}

TEST_P(RequestsTest, SilentLogServiceCountsAndReportsFromTheFifthFailure) {
    sim::FaultSpec silent;
    silent.code = GET_LOG_ENTRY;
    silent.kind = sim::FaultSpec::Kind::Silent;
    session_.sim().SetFault(silent);
    link_.replyTimeoutMs = 20;
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(requests_.RequestLogEntry().controller, LogEntry::kNoResponse);
        EXPECT_EQ(link_.failureCounter, i);
        EXPECT_EQ(ui_.errors.size(), i >= 5 ? static_cast<std::size_t>(i - 4) : 0u) << i;
    }
    EXPECT_EQ(ui_.errors.back(), "NO RESPONSE");
}

TEST_P(RequestsTest, LogEntriesDrainToTheEndMarker) {
    sim::LogEntrySpec entry;
    entry.controller = 0;
    entry.port = 2;
    entry.lba = 0x123456789ABC;
    entry.sectorCount = 8;
    session_.sim().PushLogEntry(entry);
    const LogEntry first = requests_.RequestLogEntry();
    EXPECT_EQ(first.controller, 0);
    EXPECT_EQ(first.port, 2);
    EXPECT_EQ(first.lba, 0x123456789ABCu);
    EXPECT_EQ(requests_.RequestLogEntry().controller, kNoFurtherRecord);
    EXPECT_EQ(link_.failureCounter, 0);
}

TEST_P(RequestsTest, FailuresShowTheirErrorNumbers) {
    struct Case {
        const char* name;
        std::uint32_t faultCode;  // the reply that closes the connection; 0: pipe closed
        std::function<bool(StatusRequests&, ObjectTable&)> call;
        std::vector<std::string> messages;
    };
    const auto controllerInfo = [](StatusRequests& r, ObjectTable& t) {
        t.CreateController(0);
        return r.RequestControllerInfo(0);
    };
    const auto config = [](StatusRequests& r, ObjectTable&) {
        ServiceConfig c;
        return r.RequestServiceConfig(c);
    };
    const Case cases[] = {
        {"controller info read",
         GET_CONTROLLER_INFO,
         controllerInfo,
         {"Kavotronik Service Read Error!\nError #KGD-3577"}},
        {"controller flag read",
         GET_CONTROLLER_FLAG,
         controllerInfo,
         {"Kavotronik Service Read Error!\nError #KGD-3647"}},
        {"controller info write",
         0,
         controllerInfo,
         {"Kavotronik Service Write Error!\nError #KGD-3562"}},
        {"service config read",
         GET_SERVICE_CONFIG,
         config,
         {"Kavotronik Service Read Error!\nError #KGD-3457"}},
        {"service config write",
         0,
         config,
         {SystemErrorText(win32::ERROR_INVALID_HANDLE),
          "Kavotronik Service Write Error!\nError #KGD-3443"}},
    };
    // One client at a time: give the fixture's connection back first.
    link_.pipe.Close();
    std::size_t closed = 1;
    ASSERT_TRUE(session_.sim().WaitForConnectionsClosed(closed, std::chrono::seconds(5)));
    for (const auto& c : cases) {
        ServiceLink link;
        ObjectTable table;
        RecordingUi ui;
        StatusRequests requests(link, table, ui);
        session_.sim().ClearFaults();
        if (c.faultCode != 0) {
            ASSERT_TRUE(session_.login(link)) << c.name;
            sim::FaultSpec close;
            close.code = c.faultCode;
            close.kind = sim::FaultSpec::Kind::Close;
            session_.sim().SetFault(close);
        }
        EXPECT_FALSE(c.call(requests, table)) << c.name;
        EXPECT_EQ(ui.messageTexts(), c.messages) << c.name;
        EXPECT_FALSE(link.pipeBusy) << c.name;
        if (c.faultCode != 0) {
            link.pipe.Close();
            ASSERT_TRUE(session_.sim().WaitForConnectionsClosed(++closed, std::chrono::seconds(5)));
        }
    }
}

TEST(PipeBusy, HeldFlagIsWaitedForThenLeftToItsOwner) {
    ServiceLink link;
    ObjectTable table;
    RecordingUi ui;
    StatusRequests requests(link, table, ui);
    int steps = 0;
    link.waitStep = [&](std::chrono::milliseconds step) {
        EXPECT_EQ(step.count(), 100);
        ++steps;
    };
    link.busyWaitSteps = 3;
    link.pipeBusy = true;
    ServiceConfig config;
    EXPECT_FALSE(requests.RequestServiceConfig(config));
    EXPECT_EQ(steps, 3);
    EXPECT_TRUE(link.pipeBusy);  // still the owner's

    // Released by the owner during the wait: taken, and released again afterwards.
    steps = 0;
    link.waitStep = [&](std::chrono::milliseconds) { link.pipeBusy = ++steps < 2; };
    EXPECT_FALSE(requests.SendServicePassword("x"));  // not connected: a write error
    EXPECT_EQ(steps, 2);
    EXPECT_FALSE(link.pipeBusy);
}

// A controller that reports more drives and sets than the table holds.
sim::Scenario OversizedScenario() {
    sim::Scenario s = FourChannelScenario();
    s.controllers[0].deviceCount = 60;
    s.controllers[0].raidSetCount = 255;
    return s;
}

class OversizedCountsTest : public RequestsTest {
  protected:
    OversizedCountsTest() : RequestsTest(OversizedScenario()) {}
};

INSTANTIATE_TEST_SUITE_P(Transports, OversizedCountsTest, ::testing::Values(Transport::Local));

TEST_P(OversizedCountsTest, CountsAreClampedToTheTable) {
    ASSERT_TRUE(requests_.ReadController(0));
    EXPECT_NE(table_.GetDevice(0, 19), nullptr);
    EXPECT_NE(table_.GetRaidSet(0, 19), nullptr);
    EXPECT_EQ(table_.ObjectCount(), 41u);
    // Drives that were not found stay defined and empty.
    EXPECT_EQ(table_.GetDevice(0, 19)->Position(), Device::kNoPosition);
}

}  // namespace
}  // namespace veltrix
