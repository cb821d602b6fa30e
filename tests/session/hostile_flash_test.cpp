// The BIOS update against a hostile service: every request of the run (parameters,
// read-out, erase, write, read-back) meets silence, a late or cut reply, one longer
// than its record, a `length` beyond the frame, an unexpected code, or a connection
// dropped in the middle of a stream. The run always ends with the channel free, the
// backup file is complete or absent, and a healthy service is served again afterwards.

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "servicesim/scenario_builders.h"
#include "session/flash_conversation.h"
#include "support/flash_test_support.h"
#include "support/reply_faults.h"
#include "support/session_fixture.h"

namespace veltrix::testing {
namespace {

using Kind = sim::FaultSpec::Kind;

constexpr std::size_t kRomSize = 0x20000;
constexpr std::uint32_t kReplyBoundMs = 100;
constexpr std::uint32_t kLateMs = 300;
constexpr std::uint32_t kBlocks = kRomSize / 512;
const std::string kStreamReadError = "Kavotronik Service Read Error!\nError #KFD-546";

class NullObserver : public FlashObserver {
  public:
    void ShowText(FlashLine, const std::string&) override {}
    void ShowProgress(int) override {}
    void EnableControls(FlashControls, bool) override {}
    void ParametersRead(const FlashParameters&) override {}
};

struct Row {
    std::string name;
    sim::FaultSpec fault;
    // A channel fault ends the run as failed, unless the step has a wait of its own
    // that the fault stays within, or its failure only leaves the write unverified.
    bool completes = false;
    // The run's only message, when the row knows it.
    std::string message = {};
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class HostileFlashTest : public SessionFixture<::testing::TestWithParam<Row>> {
  protected:
    void Connect() {
        session_->Connect(service_->host(), "kavo");
        session_->Sync();
    }
    FlashParameters ReadParameters() {
        FlashParameters p;
        session_->Converse([&](ServiceLink& link, StatusRequests&) {
            p = FlashConversation(link, session_->Questions(), observer_)
                    .Start(0, "RX-Oak 4P", ".", {});
        });
        session_->Sync();
        return p;
    }
    FlashRunResult Run(const FlashPlan& plan) {
        FlashRunResult result;
        bool busyAfter = true;
        session_->Converse([&](ServiceLink& link, StatusRequests&) {
            result = FlashConversation(link, session_->Questions(), observer_).Run(plan);
            busyAfter = link.flashBusy || link.pipeBusy;
        });
        session_->Sync();
        EXPECT_FALSE(busyAfter);
        return result;
    }

    NullObserver observer_;
    TempFolder folder_;
};

TEST_P(HostileFlashTest, RunEndsFreeAndKeepsTheBackupWholeOrAbsent) {
    const Row& row = GetParam();
    StartSession(FlashScenario());
    session_->SetReplyBound(kReplyBoundMs);
    Connect();
    const auto rom = service_->sim().FlashContents(0);
    ASSERT_EQ(rom.size(), kRomSize);
    WriteFile(folder_.file("new.bin"), sim::MakeBiosImage(kRomSize, 0x1095, 0x3124, 0x0360));

    service_->sim().SetFault(row.fault);
    FlashPlan plan;
    plan.mode = FlashMode::BackupAndUpdate;
    plan.backupPath = folder_.file("bios.bak");
    plan.biosPath = folder_.file("new.bin");
    plan.controllerName = "RX-Oak 4P";
    plan.hostName = ".";
    plan.parameters = ReadParameters();
    const FlashRunResult result = Run(plan);

    const bool channelFault = row.fault.kind == Kind::Silent || row.fault.kind == Kind::Late ||
                              row.fault.kind == Kind::Close || row.fault.kind == Kind::Drop;
    if (row.completes) {
        EXPECT_EQ(result.end, FlashRunResult::End::Completed);
        EXPECT_NE(result.verification, FlashVerification::Differs);
    } else if (channelFault) {
        EXPECT_EQ(result.end, FlashRunResult::End::Failed);
        EXPECT_FALSE(questions_.messages.empty());
    }
    if (!row.message.empty()) {
        EXPECT_EQ(result.end, FlashRunResult::End::Failed);
        EXPECT_EQ(questions_.messageTexts(), std::vector<std::string>{row.message});
        EXPECT_EQ(service_->sim().FlashCountersOf(0).erases, 0u);
    }
    if (result.verification == FlashVerification::Verified) {
        EXPECT_EQ(service_->sim().FlashContents(0),
                  sim::MakeBiosImage(kRomSize, 0x1095, 0x3124, 0x0360));
    }
    for (const std::string& name : folder_.names()) {
        EXPECT_TRUE(name == "new.bin" || name == "bios.bak") << name;
    }
    if (const auto backup = ReadFile(folder_.file("bios.bak")); !backup.empty()) {
        EXPECT_EQ(backup, rom) << "a backup under its name is the whole ROM";
    }

    // The service behaves again: after a new login its flash ROM is read as before.
    if (row.fault.kind == Kind::Late) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kLateMs + 100));
    }
    service_->sim().ClearFaults();
    session_->Disconnect();
    Connect();
    const FlashParameters again = ReadParameters();
    EXPECT_EQ(again.flashId, 0xBFB5u);
    EXPECT_EQ(again.flashSize, static_cast<std::int32_t>(kRomSize));
    EXPECT_EQ(again.typeName, "KT-F010A");
}

std::vector<Row> Rows() {
    std::vector<Row> rows;
    const std::pair<const char*, std::uint32_t> steps[] = {
        {"TypeId", FLASH_GET_TYPE_ID},
        {"TypeName", FLASH_GET_TYPE_NAME},
        {"BiosVersion", FLASH_GET_BIOS_VERSION},
        {"ReadStart", FLASH_READ_START},
        {"ReadAck", FLASH_READ_ACK},
        {"Erase", FLASH_ERASE},
        {"WriteStart", FLASH_WRITE_START},
        {"WriteBlock", sim::kFlashWriteBlockFaultCode},
    };
    for (const auto& [step, code] : steps) {
        for (const auto& [name, fault] : ReplyFaults(code, kLateMs)) {
            const std::string rowName = step + name;
            // Without its version the run goes on (the wait for it is long: not repeated
            // here); the erase has a longer wait than the late reply takes.
            if (rowName == "BiosVersionSilent") {
                continue;
            }
            // A read-out reply cut short of its length, longer than a block or ending
            // the stream early is a read failure, not bytes of the backup.
            const bool badStream = (code == FLASH_READ_START || code == FLASH_READ_ACK) &&
                                   fault.kind != Kind::Silent && fault.kind != Kind::Late &&
                                   fault.kind != Kind::Close &&
                                   !(code == FLASH_READ_START && fault.kind == Kind::Code);
            rows.push_back({rowName, fault, rowName == "BiosVersionLate" || rowName == "EraseLate",
                            badStream ? kStreamReadError : std::string()});
        }
    }
    // Connections lost in the middle of a stream: the backup read-out, the write and
    // the read-back after it.
    rows.push_back({"ReadOutDroppedMidStream",
                    {.code = FLASH_READ_ACK, .kind = Kind::Drop, .count = 1, .after = 100}});
    rows.push_back(
        {"WriteDroppedMidStream",
         {.code = sim::kFlashWriteBlockFaultCode, .kind = Kind::Drop, .count = 1, .after = 100}});
    rows.push_back({"ReadBackDroppedMidStream",
                    {.code = FLASH_READ_ACK, .kind = Kind::Drop, .count = 1, .after = kBlocks + 50},
                    true});
    rows.push_back({"ChipNameWithoutTerminator",
                    {.code = FLASH_GET_TYPE_NAME,
                     .kind = Kind::Patch,
                     .offset = 6,
                     .data = std::vector<std::uint8_t>(1042, 'N')}});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Steps, HostileFlashTest, ::testing::ValuesIn(Rows()),
                         [](const auto& p) { return p.param.name; });

}  // namespace
}  // namespace veltrix::testing
