// The service's SMTP commands by its version: an older service does not know them and
// answers nothing, as it does for any unknown code.

#include <gtest/gtest.h>

#include "raw_client.h"
#include "servicesim/engine.h"

namespace veltrix::sim {
namespace {

using testing::Frame;
using testing::Login;
using testing::U32s;

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
        scenario.mail.tlsProtocol = 4;
        ServiceEngine engine(scenario);
        engine.beginSession();
        ASSERT_FALSE(engine.login(ByteView(Login("kavo")), 0).close);
        const auto send = [&](std::uint32_t code, std::vector<std::uint8_t> data = {}) {
            return engine.message(ByteView(Frame(code, std::move(data))), 0);
        };
        const Outcome auth = send(SMTP_GET_AUTH);
        EXPECT_EQ(auth.replies.size(), 3 * c.authReplies);
        EXPECT_EQ(send(SMTP_GET_TLS).replies.size(), 2 * c.tlsReplies);
        EXPECT_EQ(send(SMTP_SET_AUTH).replies.size(), c.authReplies);
        EXPECT_EQ(send(SMTP_SET_TLS).replies.size(), 0u) << "data of 1013 come first";
        if (c.authReplies != 0) {
            EXPECT_EQ(ByteView(auth.replies[1]).u32(6), 465u);
            for (std::uint32_t v : {1u, 25u}) {
                EXPECT_EQ(send(SMTP_SET_AUTH, U32s({v})).kind, Outcome::Kind::Data);
            }
        }
        // An unknown command has no acknowledgement, so no data follow it: the next
        // message is a request again.
        const Outcome next = send(SMTP_SET_TLS);
        EXPECT_EQ(next.kind, Outcome::Kind::Request);
        EXPECT_EQ(next.replies.size(), c.tlsReplies);
    }
}

}  // namespace
}  // namespace veltrix::sim
