// The e-mail settings conversations against the simulated service: what travels for
// each service version, byte for byte, what the service stores, and the message and
// the free busy flag after a failure at every single step.

#include "session/mail_exchange.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "support/mail_scenario.h"
#include "support/sim_session.h"
#include "texts/strings.h"

namespace veltrix {
namespace {

using testing::SimSession;
using testing::Transport;
using namespace std::chrono_literals;

using Version = testing::ServiceVersionWords;
using testing::StoredMailSettings;

sim::Scenario MailScenario(Version v, sim::MailSettings settings = StoredMailSettings()) {
    return testing::WithMail(sim::Scenario{}, v, std::move(settings));
}

// A channel that records its operations and fails the one numbered `failAt`.
class FailingChannel : public MailChannel {
  public:
    FailingChannel(ServiceLink& link, int failAt, std::uint32_t error = win32::ERROR_BROKEN_PIPE)
        : MailChannel(link), failAt_(failAt), error_(error) {}

    void Send() override {
        Step('W');
        MailChannel::Send();
    }
    void Receive() override {
        Step('R');
        MailChannel::Receive();
    }
    void SetMode(bool byteMode, bool blocking) override {
        Step('M');
        MailChannel::SetMode(byteMode, blocking);
    }
    bool WaitForResponse(std::uint32_t timeoutMs) override {
        Step('A');
        return MailChannel::WaitForResponse(timeoutMs);
    }

    // W write, R read, M mode switch, A wait for a reply.
    std::string ops;

  private:
    void Step(char kind) {
        ops += kind;
        if (static_cast<int>(ops.size()) - 1 == failAt_) {
            throw ChannelError(error_, "The pipe has been ended.");
        }
    }
    int failAt_;
    std::uint32_t error_;
};

class MailExchangeTest : public ::testing::Test {
  protected:
    void Start(sim::Scenario scenario) {
        link_.reset();
        service_.reset();
        link_ = std::make_unique<ServiceLink>();
        service_ = std::make_unique<SimSession>(std::move(scenario), Transport::Local);
        ASSERT_TRUE(service_->login(*link_));
        link_->pause = [this](std::chrono::milliseconds d) { pauses_.push_back(d); };
        service_->sim().ClearTranscript();
    }
    // The messages the service received, whole (header and data), once `count` are in.
    std::vector<std::vector<std::uint8_t>> Received(std::size_t count) {
        EXPECT_TRUE(service_->sim().WaitForEntries(count, 2s));
        std::vector<std::vector<std::uint8_t>> messages;
        for (const auto& e : service_->sim().Transcript()) {
            ByteWriter w;
            w.U32(e.code).U16(e.length).Bytes(e.data);
            messages.push_back(w.Take());
        }
        return messages;
    }
    sim::MailSettings Stored() {
        return service_->sim().Inspect([](const sim::ServiceEngine& e) { return e.Mail(); });
    }

    std::unique_ptr<ServiceLink> link_;
    std::unique_ptr<SimSession> service_;
    std::vector<std::chrono::milliseconds> pauses_;
};

std::vector<std::uint8_t> Msg(std::uint32_t code, const std::vector<std::uint8_t>& data = {}) {
    ByteWriter w;
    w.U32(code).U16(static_cast<std::uint16_t>(data.size())).Bytes(data);
    return w.Take();
}
std::vector<std::uint8_t> Text(const std::string& s) {
    return {s.begin(), s.end()};
}
std::vector<std::uint8_t> U32(std::uint32_t v) {
    return ByteWriter().U32(v).Take();
}

// The read phase of a 3.4 service, and what the client made of it.
TEST_F(MailExchangeTest, ReadPhaseBytesAndValues) {
    Start(MailScenario({3, 4, 0, 0}));
    MailChannel channel(*link_);
    MailSettingsValues read;
    ASSERT_EQ(ReadMailSettings(channel, 3040000, read).status, MailExchangeResult::Status::Done);
    const std::vector<std::vector<std::uint8_t>> expected = {Msg(1000), Msg(1006), Msg(1010),
                                                             Msg(1012), Msg(1014)};
    EXPECT_EQ(Received(expected.size()), expected);
    EXPECT_EQ(pauses_, std::vector<std::chrono::milliseconds>(3, kMailReplyPause));

    MailSettingsValues want;
    want.senderName = "Server room";
    want.senderAddress = "raid@example.org";
    want.userName = "raid";
    want.password = "s3cret";
    want.server = "smtp.example.org";
    want.recipient = "admin@example.org";
    want.mailActive = true;
    want.mailLevel = 1;
    want.level2 = 33;
    want.smtp = {2, 587, 1, 2, 3};
    want.hasSmtpOptions = true;
    want.hasTlsOptions = true;
    EXPECT_EQ(read, want);
    EXPECT_EQ(link_->pipe.Mode(), 2u) << "message read mode, waiting";
}

// The write phase: every data message keeps the code of the acknowledgement before it;
// the second level goes back as it was read; the test mail is asked for once.
TEST_F(MailExchangeTest, WritePhaseBytesAndWhatTheServiceStores) {
    Start(MailScenario({3, 4, 0, 0}));
    MailSettingsValues values;
    values.senderName = "Rack 7";
    values.senderAddress = "rack7@example.org";
    values.userName = "";
    values.password = "pw";
    values.server = "mail.example.org";
    values.recipient = "ops@example.org";
    values.mailActive = true;
    values.sendTestMail = true;
    values.mailLevel = 2;
    values.level2 = 33;
    values.smtp = {5, 465, 0, 1, 4};
    values.hasSmtpOptions = true;
    values.hasTlsOptions = true;
    MailChannel channel(*link_);
    ASSERT_EQ(WriteMailSettings(channel, values).status, MailExchangeResult::Status::Done);

    const std::vector<std::vector<std::uint8_t>> expected = {
        Msg(1001),
        Msg(1001, Text("Rack 7")),
        Msg(1001, Text("rack7@example.org")),
        Msg(1001),
        Msg(1001, Text("pw")),
        Msg(1001, Text("mail.example.org")),
        Msg(1001, Text("ops@example.org")),
        Msg(1001, {0x03}),
        Msg(1005, U32(40)),
        Msg(1009, U32(33)),
        Msg(1013),
        Msg(1013, U32(5)),
        Msg(1013, U32(465)),
        Msg(1013, U32(0)),
        Msg(1015),
        Msg(1015, U32(1)),
        Msg(1015, U32(4)),
    };
    EXPECT_EQ(Received(expected.size()), expected);

    const sim::MailSettings stored = Stored();
    EXPECT_EQ(stored.recipient, "ops@example.org");
    EXPECT_EQ(stored.flags, mail_flag::kActive) << "the test-mail bit is not kept";
    EXPECT_EQ(stored.level, 40u);
    EXPECT_EQ(stored.tlsProtocol, 4u);
    EXPECT_EQ(
        service_->sim().Inspect([](const sim::ServiceEngine& e) { return e.TestMailsRequested(); }),
        1u);
}

// Each step's failure ends the conversation with that step's message and number;
// nothing after it is done, and the busy flag is free again.
TEST_F(MailExchangeTest, AFailureAtEveryStepShowsItsNumber) {
    const std::string read = LoadString(104) + "\nError #KGD-";
    const std::string write = LoadString(105) + "\nError #KGD-";
    const std::string own = "The pipe has been ended.\nError #KGD-";
    struct Step {
        char op;
        std::string text;
    };
    const auto steps = [](std::initializer_list<std::pair<std::string, std::string>> groups) {
        std::vector<Step> out;
        for (const auto& [ops, text] : groups) {
            for (char op : ops) {
                out.push_back({op, text});
            }
        }
        return out;
    };
    const std::vector<Step> readSteps = steps({
        {"W", write + "1069"},
        {"M", own + "1083"},
        {"M", own + "1096"},
        {"RRRRRRR", read + "1155"},
        {"W", write + "1172"},
        {"R", read + "1186"},
        {"W", write + "1212"},
        {"R", read + "1226"},
        {"W", write + "1254"},
        {"AM", own + "1269"},
        {"AM", own + "1283"},
        {"RRR", read + "1304"},
        {"W", write + "1326"},
        {"AM", own + "1341"},
        {"AM", own + "1355"},
        {"RR", read + "1376"},
    });
    const std::vector<Step> writeSteps = steps({
        {"WRWWWWWWW", write + "1398"},
        {"W", write + "1423"},
        {"W", write + "1448"},
        {"WRWWWWRWW", write + "1480"},
    });
    MailSettingsValues values;
    values.hasSmtpOptions = values.hasTlsOptions = true;

    for (bool reading : {true, false}) {
        const std::vector<Step>& table = reading ? readSteps : writeSteps;
        const auto run = [&](MailChannel& channel) {
            MailSettingsValues out;
            return reading ? ReadMailSettings(channel, 3040000, out)
                           : WriteMailSettings(channel, values);
        };
        // Without a failure, the operations come in the table's order.
        Start(MailScenario({3, 4, 0, 0}));
        FailingChannel clean(*link_, -1);
        ASSERT_EQ(run(clean).status, MailExchangeResult::Status::Done);
        std::string ops;
        for (const Step& s : table) {
            ops += s.op;
        }
        ASSERT_EQ(clean.ops, ops);

        for (std::size_t k = 0; k < table.size(); ++k) {
            SCOPED_TRACE((reading ? "read step " : "write step ") + std::to_string(k));
            Start(MailScenario({3, 4, 0, 0}));
            FailingChannel channel(*link_, static_cast<int>(k));
            const MailExchangeResult result = run(channel);
            EXPECT_EQ(result.status, MailExchangeResult::Status::Failed);
            EXPECT_EQ(result.message, table[k].text);
            EXPECT_EQ(channel.ops.size(), k + 1);
            EXPECT_FALSE(link_->pipeBusy);
        }
    }
}

TEST_F(MailExchangeTest, ACancelledWaitShowsNothingAndABusyChannelSendsNothing) {
    Start(MailScenario({3, 4, 0, 0}));
    FailingChannel cancelled(*link_, 3, win32::ERROR_OPERATION_ABORTED);
    MailSettingsValues out;
    const MailExchangeResult result = ReadMailSettings(cancelled, 3040000, out);
    EXPECT_EQ(result.status, MailExchangeResult::Status::Cancelled);
    EXPECT_TRUE(result.message.empty());
    EXPECT_FALSE(link_->pipeBusy);

    Start(MailScenario({3, 4, 0, 0}));
    link_->pipeBusy = true;
    FailingChannel busy(*link_, -1);
    EXPECT_EQ(ReadMailSettings(busy, 3040000, out).status, MailExchangeResult::Status::Busy);
    EXPECT_EQ(WriteMailSettings(busy, out).status, MailExchangeResult::Status::Busy);
    EXPECT_TRUE(busy.ops.empty());
    EXPECT_TRUE(link_->pipeBusy) << "the flag stays with its owner";
}

// The pause before the replies are read ends when the program ends, also one that
// has already begun.
TEST(ServiceLinkPauseTest, ACancelledChannelEndsThePause) {
    ServiceLink link;
    WaitCanceller canceller;
    link.pipe.SetCanceller(&canceller);
    std::thread cancel([&canceller] {
        std::this_thread::sleep_for(20ms);
        canceller.Cancel();
    });
    link.Pause(std::chrono::hours(1));
    cancel.join();
    link.Pause(std::chrono::hours(1));
}

}  // namespace
}  // namespace veltrix
