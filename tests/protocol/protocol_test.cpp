#include "protocol/protocol.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace veltrix {
namespace {

TEST(Login, ReplyCheck) {
    struct Case {
        std::vector<std::uint8_t> reply;
        bool accepted;
    };
    const Case cases[] = {
        {{1, 2, 3, 4}, true},  {{1, 2, 3, 4, 9, 9, 9}, true},  // anything may follow
        {{1, 2, 3, 5}, false}, {{1, 2, 3}, false},             // a short reply is not an acceptance
        {{}, false},           {{0, 0, 0, 0}, false},
        {{4, 3, 2, 1}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsLoginAccepted(c.reply), c.accepted) << ::testing::PrintToString(c.reply);
    }
}

TEST(Login, BlockHoldsTheNulTerminatedPasswordCutTo99) {
    const auto block = BuildLoginBlock("secret");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data())), "secret");
    EXPECT_TRUE(std::all_of(block.begin() + 6, block.end(), [](auto b) { return b == 0; }));

    const auto longBlock = BuildLoginBlock(std::string(150, 'p'));
    EXPECT_EQ(std::count(longBlock.begin(), longBlock.end(), 'p'), 99);
    EXPECT_EQ(longBlock[99], 0);
}

TEST(ServiceVersion, Number) {
    struct Case {
        std::uint16_t major, minor, build, revision;
        std::uint32_t number;
    };
    const Case cases[] = {
        {3, 3, 1, 5, 3030105},  // from 3030100 on the revision counts
        {3, 3, 0, 9, 3030000},  // below it, it does not
        {3, 2, 1, 0, 3020100}, {3, 4, 0, 0, 3040000}, {0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ServiceVersionNumber(c.major, c.minor, c.build, c.revision), c.number)
            << c.major << "." << c.minor << "." << c.build << "." << c.revision;
    }
}

std::vector<std::uint8_t> ConfigReply(std::uint16_t major, std::uint16_t minor,
                                      std::uint16_t build) {
    ServiceConfig sent;
    sent.versionMajor = major;
    sent.versionMinor = minor;
    sent.versionBuild = build;
    sent.versionRevision = 7;
    sent.reserved = 0xBEEF;
    sent.configFlags = 1;
    sent.SetLogFileName("/var/log/raid.log");
    const auto bytes = sent.Encode();
    return {bytes.begin(), bytes.end()};
}

TEST(ServiceConfigRecord, OldServicesOnlyGiveTheVersionPart) {
    struct Case {
        std::uint16_t major, minor, build;
        bool full;
    };
    for (const Case c : {Case{3, 0, 2, false}, Case{3, 0, 3, true}, Case{3, 1, 0, true},
                         Case{2, 9, 9, false}, Case{4, 0, 0, true}}) {
        ServiceConfig config;
        config.SetLogFileName("kept");
        config.ApplyReply(ConfigReply(c.major, c.minor, c.build));
        EXPECT_EQ(config.versionRevision, 7);
        EXPECT_EQ(config.reserved, 0xBEEF);
        EXPECT_EQ(config.configFlags, 1);
        EXPECT_EQ(config.LogFileNameText(), c.full ? "/var/log/raid.log" : "kept")
            << c.major << "." << c.minor << "." << c.build;
    }
}

TEST(ServiceConfigRecord, RoundTripSendsEverythingBackUnchanged) {
    const auto reply = ConfigReply(3, 4, 0);
    ServiceConfig config;
    config.ApplyReply(reply);
    const auto sent = config.Encode();
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), reply.begin()));
}

TEST(ServiceConfigRecord, LongFileNameStaysTerminated) {
    ServiceConfig config;
    config.SetLogFileName(std::string(400, 'x'));
    EXPECT_EQ(config.LogFileNameText().size(), 249u);
    EXPECT_EQ(config.Encode()[260], 0);
}

ServiceMessage Received(std::vector<std::uint8_t> bytes) {
    ServiceMessage m;
    m.Clear();
    std::copy(bytes.begin(), bytes.end(), m.raw.begin());
    m.received = bytes.size();
    return m;
}

TEST(Message, TextReplies) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::size_t capacity;
        std::string text;
    };
    const Case cases[] = {
        {"length 0 is empty", {0, 0, 0, 0, 0, 0, 'a', 'b'}, 104, ""},
        {"length counts", {0, 0, 0, 0, 2, 0, 'a', 'b', 'c'}, 104, "ab"},
        {"length beyond received", {0, 0, 0, 0, 200, 0, 'a', 'b'}, 104, "ab"},
        {"length beyond buffer", {0, 0, 0, 0, 6, 0, 'a', 'b', 'c', 'd', 'e', 'f'}, 4, "abc"},
        {"embedded NUL ends", {0, 0, 0, 0, 4, 0, 'a', 0, 'c', 'd'}, 104, "a"},
        {"header only", {0, 0, 0, 0, 5, 0}, 104, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Received(c.bytes).Text(c.capacity), c.text) << c.name;
    }
}

TEST(Message, NumberReplies) {
    EXPECT_EQ(Received({0, 0, 0, 0, 4, 0, 40, 0, 0, 0}).Number(), 40u);
    EXPECT_EQ(Received({0, 0, 0, 0, 1, 0, 20, 9, 9, 9}).Number(), 20u);  // only `length` bytes
    EXPECT_EQ(Received({0, 0, 0, 0, 9, 0, 1, 1, 0, 0, 7}).Number(), 257u);
    EXPECT_EQ(Received({0, 0, 0, 0, 0, 0, 1}).Number(), 0u);
}

TEST(Message, RequestsAndDataMessages) {
    ServiceMessage m;
    const std::uint8_t controller[] = {2, 0, 0, 0};
    m.SetRequest(GET_CONTROLLER_INFO, controller);
    EXPECT_EQ(m.Code(), 2u);
    EXPECT_EQ(m.Length(), 4);
    EXPECT_EQ(m.WireSize(), 10u);
    EXPECT_EQ(m.raw[6], 2);

    // After an acknowledgement the data messages keep the acknowledgement's code.
    m.SetCode(0xABCD);
    const std::uint8_t text[] = {'x', 'y'};
    m.SetData(text);
    EXPECT_EQ(m.Code(), 0xABCDu);
    EXPECT_EQ(m.WireSize(), 8u);

    std::vector<std::uint8_t> huge(5000, 1);
    m.SetRequest(SET_SERVICE_PASSWORD, huge);
    EXPECT_EQ(m.Length(), ServiceMessage::kMaxData);
    EXPECT_EQ(m.WireSize(), ServiceMessage::kSize);
}

TEST(MailStatusRecord, DecodesAndSurvivesEveryPrefix) {
    MailStatus status;
    status.time.year = 2026;
    status.time.month = 12;
    status.errorCode = 421;
    status.text = "SMTP server refused";
    const auto bytes = status.Encode();
    const auto decoded = MailStatus::Decode(bytes);
    EXPECT_EQ(decoded.time, status.time);
    EXPECT_EQ(decoded.errorCode, 421);
    EXPECT_EQ(decoded.text, status.text);
    EXPECT_TRUE(decoded.HasValidTime());

    for (std::size_t n = 0; n <= bytes.size(); ++n) {
        const auto part = MailStatus::Decode(std::span(bytes).first(n));
        EXPECT_LE(part.text.size(), status.text.size());
        if (n < 2) {
            EXPECT_FALSE(part.HasValidTime());
        }
    }
}

TEST(MailStatusRecord, RandomBytesGiveABoundedText) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> bytes(random() % 400);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        EXPECT_LE(MailStatus::Decode(bytes).text.size(), MailStatus::kTextSize);
    }
}

}  // namespace
}  // namespace veltrix
