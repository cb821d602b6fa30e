// SIGTERM while the program updates a BIOS: the Exit path waits for the run's end, so
// the flash ROM is never left erased or half written by the program's end, and the
// run's questions stay open for the user instead of being answered for them. (An Exit
// during the erase's wait: the main window tests.)

#include <signal.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

#include "servicesim/service_sim.h"
#include "support/flash_test_support.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;

// The driver program against the simulated service (its clock moved by the test),
// connecting at its start.
class FlashProgram {
  public:
    explicit FlashProgram(sim::Scenario scenario) : service_(std::move(scenario)) {
        QDir(dir_.path()).mkpath(QStringLiteral("config/KavotronikVeltrix"));
        std::ofstream(file("config/KavotronikVeltrix/Veltrix.conf"))
            << "[SettingsGUI]\nDPPW=kavo\nServerHostname=.\nAutoconnect=1\n";
        image_ = sim::MakeBiosImage(0x20000, 0x1095, 0x3124, 0x0360);
        WriteFile(file("new.bin"), image_);
        sim::ServiceSimOptions options;
        options.pipeDir = dir_.path().toStdString();
        options.manualClock = true;
        service_.Start(options);
    }

    std::string file(const char* name) const {
        return dir_.filePath(QString::fromLatin1(name)).toStdString();
    }
    void Start(QStringList args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(file("config")));
        env.insert(QStringLiteral("VELTRIX_PIPE_DIR"), dir_.path());
        program_.setProcessEnvironment(env);
        program_.setProcessChannelMode(QProcess::MergedChannels);
        args.prepend(QString::fromStdString(file("new.bin")));
        program_.start(QStringLiteral(VELTRIX_FLASH_RUN_DRIVER), args);
    }
    // Waits until the program has printed `line`.
    bool WaitForLine(const std::string& line) {
        while (output_.find(line + "\n") == std::string::npos) {
            if (!program_.waitForReadyRead(20000)) {
                return false;
            }
            output_ += program_.readAll().toStdString();
        }
        return true;
    }
    void Terminate() { ::kill(static_cast<pid_t>(program_.processId()), SIGTERM); }
    std::string Output() {
        output_ += program_.readAll().toStdString();
        return output_;
    }

    QProcess& program() { return program_; }
    sim::ServiceSim& service() { return service_; }
    const std::vector<std::uint8_t>& image() const { return image_; }

  private:
    QTemporaryDir dir_;
    sim::ServiceSim service_;
    std::vector<std::uint8_t> image_;
    QProcess program_;
    std::string output_;
};

void ExpectLoggedOffAfterTheWrite(FlashProgram& run) {
    // The logoff ends the connection without a reply: wait until the service read it.
    run.service().WaitForCode(LOGOFF, std::chrono::seconds(10));
    const auto transcript = FlashTranscript(run.service().Transcript());
    const auto end = std::find(transcript.begin(), transcript.end(), "END");
    ASSERT_NE(end, transcript.end()) << ::testing::PrintToString(transcript);
    EXPECT_NE(std::find(transcript.begin(), end, "BLOCK 0-255"), end);
    EXPECT_EQ(transcript.back(), std::to_string(LOGOFF));
    EXPECT_EQ(run.service().FlashContents(0), run.image());
    EXPECT_EQ(run.program().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.program().exitCode(), 0);
}

// The signal comes while the run asks whether to save a ROM without BIOS: the question
// stays open (its default No would write without a backup) until the user answers.
TEST(FlashSignalTest, SigtermLeavesTheRunsQuestionToTheUser) {
    FlashProgram run(FlashScenario(
        [](sim::ControllerSpec& c) { c.flash.content = sim::FlashSpec::Content::Fill; }));
    const std::string answer = run.file("answer");
    run.Start({QString::fromStdString(run.file("bios.bak")), QString::fromStdString(answer)});
    ASSERT_TRUE(run.WaitForLine("question")) << run.Output();
    run.Terminate();
    EXPECT_FALSE(run.program().waitForFinished(1500)) << run.Output();
    std::ofstream(answer) << "yes\n";
    ASSERT_TRUE(run.program().waitForFinished(20000)) << run.Output();
    ExpectLoggedOffAfterTheWrite(run);
    const auto transcript = FlashTranscript(run.service().Transcript());
    const auto erase = std::find(transcript.begin(), transcript.end(), "ERASE");
    EXPECT_NE(std::find(transcript.begin(), erase, "READ_START"), erase);
    EXPECT_EQ(ReadFile(run.file("bios.bak")), std::vector<std::uint8_t>(0x20000, 0xFF));
}

}  // namespace
}  // namespace veltrix::testing
