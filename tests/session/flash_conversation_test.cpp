// The BIOS update's conversations against the simulated service, as the requests the
// service received and the bytes that ended up in its flash ROM and in the files.

#include "session/flash_conversation.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <thread>

#include "model/bios_image.h"
#include "support/flash_test_support.h"
#include "support/session_fixture.h"
#include "support/test_peer.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

using Lines = std::vector<std::string>;
constexpr FlashMode kModeBackupAndUpdate = FlashMode::BackupAndUpdate;
constexpr FlashMode kModeUpdateOnly = FlashMode::UpdateOnly;
constexpr FlashMode kModeBackupOnly = FlashMode::BackupOnly;

// Questions answered from the script; `onAsk` sees each first, on the session's thread.
class HookedQuestions : public RecordingUi {
  public:
    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override {
        if (onAsk) {
            onAsk(text);
        }
        return RecordingUi::ShowMessage(text, icon, buttons);
    }
    std::function<void(const std::string&)> onAsk;
};

class RecordingObserver : public FlashObserver {
  public:
    void ShowText(FlashLine line, const std::string& text) override {
        lines[line] = text;
        if (line == FlashLine::Status) {
            statuses.push_back(text);
        }
    }
    void ShowProgress(int percent) override { progress.push_back(percent); }
    void EnableControls(FlashControls controls, bool enable) override {
        enabled = enable ? (enabled | controls) : (enabled & ~controls);
    }
    void ParametersRead(const FlashParameters& p) override { parameters.push_back(p); }

    std::map<FlashLine, std::string> lines;
    Lines statuses;
    std::vector<int> progress;
    // As the dialog has them when Start was pressed.
    FlashControls enabled = kFlashFilesAndModes;
    std::vector<FlashParameters> parameters;
};

const FlashControls kReadyAndClose = FlashControl::Ready | FlashControl::Close;
const FlashControls kCloseOnly = FlashControl::Close;

class FlashRunTest : public SessionFixture<::testing::Test, HookedQuestions> {
  protected:
    void Start(sim::Scenario scenario) {
        StartSession(std::move(scenario));
        session_->Connect(service_->host(), "kavo");
        session_->Sync();
        ASSERT_TRUE(questions_.messages.empty()) << questions_.messageTexts().front();
        service_->sim().ClearTranscript();
    }
    sim::ServiceSim& sim() { return service_->sim(); }
    Lines Transcript() const { return FlashTranscript(service_->sim().Transcript()); }
    // Compares the transcript with `expected` once the service has taken in as many
    // messages as it lists: the client's last message (an acknowledgement, FLASH_END)
    // gets no reply, so the run can end before the service has read it.
    void ExpectTranscript(const Lines& expected) {
        std::size_t count = 0;
        for (const std::string& line : expected) {
            std::size_t first = 0;
            std::size_t last = 0;
            if (std::sscanf(line.c_str(), "ACK x%zu", &last) == 1) {
                count += last;
            } else if (std::sscanf(line.c_str(), "BLOCK %zu-%zu", &first, &last) == 2) {
                count += last - first + 1;
            } else {
                ++count;
            }
        }
        service_->sim().WaitForEntries(count, std::chrono::seconds(10));
        EXPECT_EQ(Transcript(), expected);
    }
    std::vector<std::uint8_t> Rom() { return sim().FlashContents(0); }

    FlashParameters ReadParameters(FlashWaits waits = {}) {
        FlashParameters p;
        session_->Converse([&](ServiceLink& link, StatusRequests&) {
            p = FlashConversation(link, session_->Questions(), observer_, waits)
                    .Start(0, "RX-Oak 4P", ".", {});
        });
        session_->Sync();
        return p;
    }
    // The plan of a run: the parameters as the dialog read them first.
    FlashPlan Plan(FlashMode mode) {
        FlashPlan plan;
        plan.mode = mode;
        plan.backupPath = folder_.file("bios.bak");
        plan.biosPath = folder_.file("new.bin");
        plan.parameters = ReadParameters();
        plan.controllerName = "RX-Oak 4P";
        plan.hostName = ".";
        observer_ = RecordingObserver();
        sim().ClearTranscript();
        return plan;
    }
    FlashRunResult Run(const FlashPlan& plan) {
        FlashRunResult result;
        session_->Converse([&](ServiceLink& link, StatusRequests&) {
            result = FlashConversation(link, session_->Questions(), observer_).Run(plan);
            flashBusyAfter_ = link.flashBusy || link.pipeBusy;
        });
        session_->Sync();
        EXPECT_FALSE(flashBusyAfter_);
        return result;
    }
    // A new image of `size` bytes for the controller, version 3.60.
    std::vector<std::uint8_t> NewImage(std::size_t size) {
        auto image = sim::MakeBiosImage(size, 0x1095, 0x3124, 0x0360);
        WriteFile(folder_.file("new.bin"), image);
        return image;
    }

    RecordingObserver observer_;
    TempFolder folder_;
    bool flashBusyAfter_ = false;
};

const Lines kParameterRead = {"TYPE_ID", "TYPE_NAME", "VERSION"};

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TEST_F(FlashRunTest, ParametersFillTheLines) {
    struct Row {
        const char* name;
        std::function<void(sim::ControllerSpec&)> adjust;
        std::string flashLine;
        std::int32_t version;
        FlashControls enabled;
    };
    const Row rows[] = {
        {"BIOS 3.50", {}, "Flashtype: KT-F010A    BIOS Version: 3.50", 0x0350, kFlashFilesAndModes},
        {"no BIOS", [](sim::ControllerSpec& c) { c.flash.content = sim::FlashSpec::Content::Fill; },
         "Flashtype: KT-F010A    BIOS not found", 1, kFlashFilesAndModes},
        {"I/O error", [](sim::ControllerSpec& c) { c.flash.faults.versionIoError = true; },
         "Flashtype: KT-F010A    I/O-Error", -1, kFlashFilesAndModes},
        {"no flash ROM",
         [](sim::ControllerSpec& c) { c.flash.chipId = 0xFFFF; },
         "FlashROM not found or access error.",
         0,
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Start(FlashScenario(row.adjust));
        observer_ = RecordingObserver();
        const FlashParameters p = ReadParameters();
        EXPECT_EQ(observer_.lines[FlashLine::ControllerName], "RX-Oak 4P");
        EXPECT_EQ(observer_.lines[FlashLine::FlashRom], row.flashLine);
        EXPECT_EQ(observer_.lines[FlashLine::Computer], "in Computer: . (localhost)");
        EXPECT_EQ(p.biosVersion, row.version);
        EXPECT_EQ(observer_.enabled, row.enabled);
        ExpectTranscript(row.enabled == 0 ? Lines{"TYPE_ID"} : kParameterRead);
        EXPECT_EQ(observer_.parameters.size(), 1u);
        EXPECT_TRUE(questions_.messages.empty());
        session_.reset();
        service_.reset();
    }
}

TEST_F(FlashRunTest, VersionWithoutAnswer) {
    Start(FlashScenario());
    sim().SetFault({.code = FLASH_GET_BIOS_VERSION, .kind = sim::FaultSpec::Kind::Silent});
    const FlashParameters p = ReadParameters({.parameterMs = 1000, .versionMs = 50});
    EXPECT_EQ(questions_.messageTexts(), Lines{"keine Antwort auf BIOSversion"});
    EXPECT_EQ(observer_.lines[FlashLine::FlashRom], "Flashtype: KT-F010A");
    EXPECT_EQ(p.biosVersion, 0);
}

// Mode 2: the backup file holds the ROM, nothing is erased or written.
TEST_F(FlashRunTest, BackupOnly) {
    Start(FlashScenario());
    const FlashRunResult result = Run(Plan(kModeBackupOnly));
    EXPECT_EQ(result.end, FlashRunResult::End::Completed);
    ExpectTranscript((Lines{"TYPE_ID", "TYPE_NAME", "READ_START", "ACK x257"}));
    EXPECT_EQ(ReadFile(folder_.file("bios.bak")), Rom());
    EXPECT_EQ(Rom().size(), 0x20000u);
    EXPECT_EQ(folder_.names(), Lines{"bios.bak"});
    EXPECT_EQ(observer_.statuses, (Lines{"determining FlashROM parameters", "saving old BIOS...",
                                         "BIOS Backup complete."}));
    EXPECT_EQ(observer_.progress.back(), 100);
    EXPECT_EQ(observer_.enabled, kReadyAndClose | FlashControl::BackupFile | FlashControl::Modes);
}

// Mode 0 with a 64 KiB image on a 128 KiB ROM: the ROM holds the image twice, the
// read-back agrees, and the parameters are read again.
TEST_F(FlashRunTest, BackupAndUpdate) {
    Start(FlashScenario());
    const auto old = Rom();
    const auto image = NewImage(0x10000);
    const FlashRunResult result = Run(Plan(kModeBackupAndUpdate));
    EXPECT_EQ(result.end, FlashRunResult::End::Completed);
    ExpectTranscript(Join({{"TYPE_ID", "TYPE_NAME", "READ_START", "ACK x257", "ERASE",
                            "WRITE_START", "BLOCK 0-255", "END", "READ_START", "ACK x257"},
                           kParameterRead}));
    EXPECT_EQ(ReadFile(folder_.file("bios.bak")), old);
    const auto rom = Rom();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rom.begin()));
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rom.begin() + 0x10000));
    EXPECT_EQ(result.verification, FlashVerification::Verified);
    EXPECT_EQ(observer_.statuses,
              (Lines{"determining FlashROM parameters", "saving old BIOS...",
                     "BIOS Backup complete.", "erasing FlashROM...", "writing new BIOS...",
                     "verifying FlashROM...", "BIOS Update complete. FlashROM verified."}));
    EXPECT_EQ(observer_.lines[FlashLine::FlashRom], "Flashtype: KT-F010A    BIOS Version: 3.60");
    EXPECT_EQ(observer_.enabled, kReadyAndClose | kFlashFilesAndModes);
    EXPECT_TRUE(questions_.messages.empty());
}

// Mode 1 makes no backup: its only read-out is the read-back after the write. An image
// that ends inside a block has 0xFF after its end in that block.
TEST_F(FlashRunTest, UpdateOnly) {
    Start(FlashScenario());
    const auto image = NewImage(1000);
    const FlashRunResult result = Run(Plan(kModeUpdateOnly));
    ExpectTranscript(Join({{"TYPE_ID", "TYPE_NAME", "ERASE", "WRITE_START", "BLOCK 0-255", "END",
                            "READ_START", "ACK x257"},
                           kParameterRead}));
    EXPECT_EQ(Rom(), FlashRomContents(image, 0x20000));
    EXPECT_EQ(Rom()[1000], 0xFF);
    EXPECT_EQ(Rom()[1024], image[0]);
    EXPECT_EQ(result.verification, FlashVerification::Verified);
    EXPECT_EQ(folder_.names(), Lines{"new.bin"});
    EXPECT_EQ(observer_.enabled, kReadyAndClose | FlashControl::BiosFile | FlashControl::Modes);
}

// A ROM without BIOS asks string 182 first; No skips the read-out but mode 0 still
// writes. Meanwhile the poll timer falls due: flashBusy keeps it away.
TEST_F(FlashRunTest, DeclinedBackupStillWritesAndThePollStaysAway) {
    Start(FlashScenario(
        [](sim::ControllerSpec& c) { c.flash.content = sim::FlashSpec::Content::Fill; }));
    const auto image = NewImage(0x20000);
    FlashPlan plan = Plan(kModeBackupAndUpdate);
    ASSERT_EQ(plan.parameters.biosVersion, 1);
    questions_.answers = {MessageAnswer::No};
    questions_.onAsk = [this](const std::string&) { clock_.Advance(10000); };
    const FlashRunResult result = Run(plan);
    EXPECT_EQ(questions_.messageTexts(), Lines{"FlashROM content isn't a BIOS.\nsave?"});
    EXPECT_EQ(questions_.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(result.backupAnswer, kAnswerNo);
    ExpectTranscript(Join({{"TYPE_ID", "TYPE_NAME", "ERASE", "WRITE_START", "BLOCK 0-255", "END",
                            "READ_START", "ACK x257"},
                           kParameterRead}));
    EXPECT_EQ(Rom(), image);
    EXPECT_EQ(folder_.names(), Lines{"new.bin"});
    // After the run the poll goes on.
    sim().ClearTranscript();
    clock_.Advance(5000);
    session_->Sync();
    EXPECT_FALSE(Transcript().empty());
}

// flashAnswer not 6: no erase and no write, FLASH_END all the same.
TEST_F(FlashRunTest, RefusedImageSendsOnlyTheEnd) {
    Start(FlashScenario());
    NewImage(0x10000);
    FlashPlan plan = Plan(kModeUpdateOnly);
    plan.flashAnswer = kAnswerNo;
    const auto old = Rom();
    Run(plan);
    ExpectTranscript(Join({{"TYPE_ID", "TYPE_NAME", "END"}, kParameterRead}));
    EXPECT_EQ(Rom(), old);
    EXPECT_EQ(observer_.statuses.back(), "BIOS Update complete.");
}

// A write error (101) shows string 168 and stops the blocks; FLASH_END still goes out,
// and the read-back tells where the ROM differs.
TEST_F(FlashRunTest, WriteErrorStillEnds) {
    Start(FlashScenario([](sim::ControllerSpec& c) { c.flash.faults.writeErrorAt = 5; }));
    NewImage(0x20000);
    const FlashRunResult result = Run(Plan(kModeBackupAndUpdate));
    ExpectTranscript(Join({{"TYPE_ID", "TYPE_NAME", "READ_START", "ACK x257", "ERASE",
                            "WRITE_START", "BLOCK 0-5", "END", "READ_START", "ACK x257"},
                           kParameterRead}));
    ASSERT_EQ(questions_.messages.size(), 2u);
    EXPECT_EQ(questions_.messages[0].text, "Flash Write-Error (Offset)");
    EXPECT_EQ(result.verification, FlashVerification::Differs);
    EXPECT_EQ(result.firstDifference, 5u * 512);
    EXPECT_EQ(questions_.messages[1].text,
              "The FlashROM does not hold the BIOS that was written.\n"
              "First difference at offset 0xA00 (2560).\nThe old BIOS is saved in:\n" +
                  folder_.file("bios.bak"));
    EXPECT_EQ(observer_.statuses.back(),
              "BIOS Update complete. FlashROM differs from the new BIOS!");
    EXPECT_EQ(result.end, FlashRunResult::End::Completed);
}

// A ROM that ignores the write: the read-back finds the first byte that differs.
TEST_F(FlashRunTest, VerificationFindsARomThatIgnoredTheWrite) {
    Start(FlashScenario([](sim::ControllerSpec& c) { c.flash.faults.writesIgnored = true; }));
    const auto old = Rom();
    auto image = old;
    image[0x1234] ^= 0xFF;
    WriteFile(folder_.file("new.bin"), image);
    const FlashRunResult result = Run(Plan(kModeUpdateOnly));
    EXPECT_EQ(result.verification, FlashVerification::Differs);
    EXPECT_EQ(result.firstDifference, 0x1234u);
    ASSERT_EQ(questions_.messages.size(), 1u);
    EXPECT_EQ(questions_.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(questions_.messages[0].text.find("0x1234 (4660)"), std::string::npos);
    EXPECT_NE(questions_.messages[0].text.find("No backup of the old BIOS was made in this run."),
              std::string::npos);
}

// No answer to the read-back: "not verified", never "verified".
TEST_F(FlashRunTest, ReadBackWithoutAnswerIsNotVerified) {
    Start(FlashScenario());
    NewImage(0x20000);
    session_->SetReplyBound(200);
    const FlashPlan plan = Plan(kModeUpdateOnly);
    sim().SetFault({.code = FLASH_READ_START, .kind = sim::FaultSpec::Kind::Silent, .count = 1});
    const FlashRunResult result = Run(plan);
    EXPECT_EQ(result.verification, FlashVerification::NoAnswer);
    EXPECT_EQ(observer_.lines[FlashLine::Status],
              "BIOS Update complete. FlashROM not verified (no answer).");
}

// The end of the read-out (code above 100) is acknowledged and its bytes are not
// written: a scripted service sends an end reply that carries data.
TEST(FlashReadOut, EndReplyIsAcknowledgedAndNotWritten) {
    TestPeer peer(Transport::Local, kServicePipeName);
    TempFolder folder;
    ServiceLink link;
    link.pipe.SetReadTimeout(5000);
    std::vector<std::vector<std::uint8_t>> received;
    std::thread service([&] {
        peer.accept();
        const auto reply = [&](std::uint32_t code, std::vector<std::uint8_t> data) {
            std::vector<std::uint8_t> m(6 + data.size());
            PutU32(m, 0, code);
            m[4] = static_cast<std::uint8_t>(data.size());
            m[5] = static_cast<std::uint8_t>(data.size() >> 8);
            std::copy(data.begin(), data.end(), m.begin() + 6);
            peer.send(m);
        };
        received.push_back(*peer.receive());
        reply(FLASH_GET_TYPE_ID, {0xB5, 0xBF, 0, 0});
        received.push_back(*peer.receive());
        reply(FLASH_GET_TYPE_NAME, {'K', 'T'});
        received.push_back(*peer.receive());
        const std::pair<std::uint32_t, std::uint8_t> stream[] = {
            {50, 0x11}, {100, 0x22}, {101, 0x99}};
        for (const auto& [progress, fill] : stream) {
            reply(progress, std::vector<std::uint8_t>(512, fill));
            received.push_back(*peer.receive());  // the acknowledgement
        }
    });
    link.pipe.Open(".", kServicePipeName);
    HookedQuestions questions;
    RecordingObserver observer;
    FlashPlan plan;
    plan.mode = kModeBackupOnly;
    plan.backupPath = folder.file("bios.bak");
    plan.parameters.biosVersion = 0x0350;
    const FlashRunResult result = FlashConversation(link, questions, observer).Run(plan);
    service.join();
    EXPECT_EQ(result.end, FlashRunResult::End::Completed);
    std::vector<std::uint8_t> expected(1024, 0x11);
    std::fill(expected.begin() + 512, expected.end(), std::uint8_t{0x22});
    EXPECT_EQ(ReadFile(folder.file("bios.bak")), expected);
    const std::vector<std::vector<std::uint8_t>> requests = {
        {0xA9, 0x0F, 0, 0, 1, 0, 0}, {0xAA, 0x0F, 0, 0, 1, 0, 0}, {0xAB, 0x0F, 0, 0, 1, 0, 0},
        {0xB0, 0x0F, 0, 0, 0, 0},    {0xB0, 0x0F, 0, 0, 0, 0},    {0xB0, 0x0F, 0, 0, 0, 0}};
    EXPECT_EQ(received, requests);
    EXPECT_EQ(observer.progress, (std::vector<int>{50, 100}));
}

// Failures of the channel: the message names the step, only Close is enabled, the
// backup's temporary file is gone and flashBusy is clear.
TEST_F(FlashRunTest, ChannelFailures) {
    struct Row {
        const char* name;
        sim::FaultSpec fault;
        FlashMode mode;
        std::string message;
        Lines transcript;
    };
    using Kind = sim::FaultSpec::Kind;
    const Row rows[] = {
        {"type id read",
         {.code = FLASH_GET_TYPE_ID, .kind = Kind::Silent},
         kModeBackupAndUpdate,
         "Kavotronik Service Read Error!\nError #KFD-436",
         {"TYPE_ID"}},
        {"stream read",
         {.code = FLASH_READ_ACK, .kind = Kind::Close},
         kModeBackupAndUpdate,
         "Kavotronik Service Read Error!\nError #KFD-546",
         {"TYPE_ID", "TYPE_NAME", "READ_START", "ACK x1"}},
        {"erase read",
         {.code = FLASH_ERASE, .kind = Kind::Silent},
         kModeUpdateOnly,
         "Kavotronik Service Read Error!\nError #KFD-644",
         {"TYPE_ID", "TYPE_NAME", "ERASE"}},
        {"block read",
         {.code = FLASH_WRITE_BLOCK + 7, .kind = Kind::Close},
         kModeUpdateOnly,
         "Kavotronik Service Read Error!\nError #KFD-735",
         {"TYPE_ID", "TYPE_NAME", "ERASE", "WRITE_START", "BLOCK 0-7"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        questions_.clear();
        Start(FlashScenario());
        NewImage(0x20000);
        session_->SetReplyBound(100);
        const FlashPlan plan = Plan(row.mode);
        sim().SetFault(row.fault);
        const FlashRunResult result = Run(plan);
        EXPECT_EQ(result.end, FlashRunResult::End::Failed);
        EXPECT_EQ(questions_.messageTexts(), Lines{row.message});
        ExpectTranscript(row.transcript);
        EXPECT_EQ(observer_.enabled & (kReadyAndClose | kFlashFilesAndModes),
                  row.transcript.size() == 1 ? kCloseOnly | kFlashFilesAndModes : kCloseOnly);
        EXPECT_EQ(folder_.names(), Lines{"new.bin"});
        session_.reset();
        service_.reset();
    }
}

// Limits the size of files this process writes, for one scope.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
};

// A disk that fills during the backup: the stream is taken to its end, the ROM is not
// touched, and no file looks like a backup.
TEST_F(FlashRunTest, FullDiskDuringTheBackupLeavesTheRom) {
    Start(FlashScenario());
    NewImage(0x10000);
    const auto old = Rom();
    const FlashPlan plan = Plan(kModeBackupAndUpdate);
    FlashRunResult result;
    {
        const FileSizeLimit limit(0x8000 + 100);
        result = Run(plan);
    }
    EXPECT_EQ(result.end, FlashRunResult::End::Failed);
    ExpectTranscript((Lines{"TYPE_ID", "TYPE_NAME", "READ_START", "ACK x257"}));
    EXPECT_EQ(Rom(), old);
    EXPECT_EQ(sim().FlashCountersOf(0).erases, 0u);
    EXPECT_EQ(folder_.names(), Lines{"new.bin"});
    ASSERT_EQ(questions_.messages.size(), 1u);
    EXPECT_EQ(
        questions_.messages[0].text.rfind("The backup file could not be written completely:\n" +
                                              folder_.file("bios.bak") + ": File too large\n",
                                          0),
        0u);
    EXPECT_EQ(observer_.enabled & (kReadyAndClose | kFlashFilesAndModes), kCloseOnly);
}

// A backup that is not the ROM's size (as its chip id gives it) stops before the erase.
TEST_F(FlashRunTest, BackupOfAnotherSizeStopsBeforeTheErase) {
    Start(FlashScenario([](sim::ControllerSpec& c) { c.flash.size = 0x10000; }));
    NewImage(0x10000);
    const auto old = Rom();
    const FlashRunResult result = Run(Plan(kModeBackupAndUpdate));
    EXPECT_EQ(result.end, FlashRunResult::End::Failed);
    ExpectTranscript((Lines{"TYPE_ID", "TYPE_NAME", "READ_START", "ACK x129"}));
    EXPECT_EQ(questions_.messageTexts(),
              Lines{"The backup holds 65536 bytes, the FlashROM 131072 bytes.\n"
                    "The FlashROM was left as it is."});
    EXPECT_EQ(Rom(), old);
    // The complete read-out is kept.
    EXPECT_EQ(ReadFile(folder_.file("bios.bak")), old);
}

TEST_F(FlashRunTest, BackupFileThatCannotBeCreated) {
    Start(FlashScenario());
    FlashPlan plan = Plan(kModeBackupOnly);
    plan.backupPath = folder_.file("missing/bios.bak");
    const FlashRunResult result = Run(plan);
    EXPECT_EQ(result.end, FlashRunResult::End::Failed);
    EXPECT_EQ(questions_.messageTexts(),
              Lines{folder_.file("missing/bios.bak") + ": No such file or directory"});
    ExpectTranscript((Lines{"TYPE_ID", "TYPE_NAME"}));
}

TEST_F(FlashRunTest, NotConnected) {
    Start(FlashScenario());
    session_->Disconnect();
    session_->Sync();
    // The log-off reaches the service after the client has moved on.
    EXPECT_TRUE(sim().WaitForConnectionsClosed(1, std::chrono::seconds(5)));
    sim().ClearTranscript();
    const FlashRunResult result = Run(FlashPlan{});
    EXPECT_EQ(result.end, FlashRunResult::End::NotConnected);
    EXPECT_EQ(questions_.messageTexts(), Lines{"Hostsystem not connected."});
    EXPECT_EQ(observer_.enabled & kReadyAndClose, kReadyAndClose);
    EXPECT_TRUE(Transcript().empty());
}

}  // namespace
}  // namespace veltrix::testing
