// The service's SMTP commands by its version: an older service does not know them and
// answers nothing, as it does for any unknown code.

#include <gtest/gtest.h>

#include "raw_client.h"
#include "servicesim/engine.h"

namespace veltrix::sim {
namespace {

using testing::Frame;
using testing::Login;

TEST(MailEngineTest, SmtpCommandsExistFromTheVersionsThatBroughtThem) {
    struct Case {
        std::uint16_t minor, build;
        std::size_t authReplies, tlsReplies;  // to 1012 / 1013 and 1014 / 1015
    };
    for (const Case& c : std::vector<Case>{{3, 0, 0, 0}, {3, 1, 1, 0}, {4, 0, 1, 1}}) {
        SCOPED_TRACE(c.minor * 100 + c.build);
        Scenario scenario;
        scenario.versionMajor = 3;
        scenario.versionMinor = c.minor;
        scenario.versionBuild = c.build;
        scenario.mail.port = 465;
        ServiceEngine engine(scenario);
        engine.BeginSession();
        ASSERT_FALSE(engine.Login(ByteView(Login("kavo")), 0).close);
        const auto send = [&](std::uint32_t code, std::vector<std::uint8_t> data = {}) {
            return engine.Message(ByteView(Frame(code, std::move(data))), 0);
        };
        const Outcome auth = send(SMTP_GET_AUTH);
        EXPECT_EQ(auth.replies.size(), 3 * c.authReplies);
        if (c.authReplies != 0) {
            EXPECT_EQ(ByteView(auth.replies[1]).U32(6), 465u);
        }
        EXPECT_EQ(send(SMTP_GET_TLS).replies.size(), 2 * c.tlsReplies);
        EXPECT_EQ(send(SMTP_SET_TLS).replies.size(), c.tlsReplies);
        if (c.tlsReplies == 0) {
            // No acknowledgement came, so no data are awaited: 1013 is a request.
            EXPECT_EQ(send(SMTP_SET_AUTH).replies.size(), c.authReplies);
        }
    }
}

}  // namespace
}  // namespace veltrix::sim
