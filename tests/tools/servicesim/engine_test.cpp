#include "servicesim/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "raw_client.h"
#include "servicesim/records.h"
#include "servicesim/scenario_builders.h"

namespace veltrix::sim {
namespace {

using testing::Frame;
using testing::Login;
using testing::U32s;

constexpr char kScenario[] = R"({
    "password": "pw",
    "version": { "major": 3, "minor": 4, "build": 0, "revision": 7 },
    "configReserved": 4660,
    "configFlags": 1,
    "logFileName": "service.log",
    "controllers": [
        { "name": "PM", "channelCount": 2, "portMultiplier": true,
          "drives": [ { "channel": 0, "serial": "S0", "capacity": 1000 },
                      { "channel": 1, "pmPort": 3, "serial": "S1", "capacity": 1000 } ],
          "raidSets": [ { "channel": 0, "type": 1, "capacity": 10000, "priority": 1,
                          "stateFlags": 24, "members": [0, 1] } ],
          "rebuild": { "active": true, "setPort": 0, "startPosition": 1000,
                       "sectorsPerSecond": 100,
                       "completionEvent": { "controller": 0, "setIndex": 0, "code": "0xA02" },
                       "completedStateFlags": 0 },
          "flash": { "chipId": "0xBFB4", "chipName": "TESTCHIP", "biosVersion": "0x0360",
                     "size": 1300 } },
        { "name": "Plain", "channelCount": 1, "deviceCount": 25 }
    ],
    "timeline": [
        { "at": 5000, "event": { "controller": 1, "port": 0, "code": 15 },
          "effects": [ { "kind": "removeDrive", "controller": 0, "channel": 1, "pmPort": 3 } ] },
        { "at": 1000, "after": "login", "event": { "controller": 0, "code": 88 },
          "changeFlag": false },
        { "at": 10000, "every": 1000, "event": { "controller": 0, "code": 4660 },
          "changeFlag": false }
    ],
    "errorLog": [ { "at": 2000, "controller": 0, "port": 1, "lba": 77 } ],
    "mailFailures": [ { "at": 3000, "errorCode": 421, "text": "refused" } ],
    "mailSettings": { "senderName": "n", "senderAddress": "a@b", "server": "s", "recipient": "r",
                      "flags": 1, "level": 20, "level2": 40, "authMethod": 2, "port": 587,
                      "legacySsl": 1, "connectionType": 2, "tlsProtocol": 3 }
})";

class EngineTest : public ::testing::Test {
  protected:
    EngineTest() : engine_(ParseScenario(kScenario)) {
        engine_.BeginSession();
        const auto login = Login("pw");
        const auto out = engine_.Login(ByteView(login), 0);
        EXPECT_EQ(out.replies.size(), 1u);
    }

    Outcome send(const std::vector<std::uint8_t>& frame, std::uint64_t now = 0) {
        return engine_.Message(ByteView(frame), now);
    }
    // The data part of the only reply to a request.
    std::vector<std::uint8_t> ask(std::uint32_t code, std::vector<std::uint8_t> data = {},
                                  std::uint64_t now = 0) {
        const Outcome out = send(Frame(code, std::move(data)), now);
        EXPECT_EQ(out.replies.size(), 1u) << "code " << code;
        if (out.replies.empty()) {
            return {};
        }
        const ByteView v(out.replies[0]);
        EXPECT_EQ(v.U16(4), out.replies[0].size() - 6) << "code " << code;
        return {out.replies[0].begin() + 6, out.replies[0].end()};
    }

    // Event codes queued up to `now`, oldest first, until the end marker.
    std::vector<std::uint32_t> drainEvents(std::uint64_t now) {
        std::vector<std::uint32_t> codes;
        for (int guard = 0; guard < 100; ++guard) {
            const auto e = ask(GET_EVENT, {}, now);
            if (e.size() != 65 || e[16] == 0xFF) {
                break;
            }
            codes.push_back(ByteView(e).U32(21));
        }
        return codes;
    }

    ServiceEngine engine_;
};

// The password the service was installed with logs in beside its own, until the
// password is changed; then only the new one does.
TEST(EngineLoginTest, FactoryPasswordUntilThePasswordIsChanged) {
    ServiceEngine engine(ParseScenario(R"({"password": "pw", "factoryPassword": "first"})"));
    const auto logsIn = [&engine](const char* password) {
        engine.BeginSession();
        return engine.Login(ByteView(Login(password)), 0).replies.at(0)[0] == 1;
    };
    EXPECT_TRUE(logsIn("pw"));
    EXPECT_FALSE(logsIn("pW"));
    ASSERT_TRUE(logsIn("first"));
    engine.Message(ByteView(Frame(SET_SERVICE_PASSWORD, {'n', 'e', 'w'})), 0);
    EXPECT_FALSE(logsIn("first"));
    EXPECT_FALSE(logsIn("pw"));
    EXPECT_TRUE(logsIn("new"));
}

TEST(EngineLoginTest, AcceptsOnlyTheExactNulTerminatedPassword) {
    struct Case {
        std::vector<std::uint8_t> block;
        bool accepted;
    };
    auto withTail = Login("pw");
    withTail[50] = 'x';  // bytes after the NUL mean nothing
    const std::vector<Case> cases = {
        {Login("pw"), true},  {withTail, true},
        {Login("pW"), false}, {Login("pw2"), false},
        {Login(""), false},   {std::vector<std::uint8_t>(100, 'p'), false},  // no NUL at all
        {{'p', 'w'}, true},  // short block: the rest reads as zeros
        {{}, false},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        ServiceEngine engine(ParseScenario(kScenario));
        engine.BeginSession();
        const Outcome out = engine.Login(ByteView(cases[i].block), 0);
        ASSERT_EQ(out.replies.size(), 1u) << i;
        if (cases[i].accepted) {
            EXPECT_EQ(out.replies[0], (std::vector<std::uint8_t>{1, 2, 3, 4})) << i;
            EXPECT_FALSE(out.close) << i;
            EXPECT_TRUE(engine.LoggedIn()) << i;
        } else {
            EXPECT_EQ(out.replies[0], (std::vector<std::uint8_t>{0, 0, 0, 0})) << i;
            EXPECT_TRUE(out.close) << i;
            EXPECT_FALSE(engine.LoggedIn()) << i;
        }
    }
}

TEST_F(EngineTest, EveryCommandGetsExactlyTheRepliesTheClientReads) {
    struct Case {
        std::uint32_t code;
        std::vector<std::uint8_t> data;
        std::vector<std::size_t> replyLengths;  // data length of each reply
    };
    const std::vector<Case> cases = {
        {FLASH_END, {}, {}},
        {GET_CONTROLLER_COUNT, {}, {4}},
        {GET_CONTROLLER_INFO, U32s({0}), {40}},
        {GET_DEVICE, U32s({0, 0, 0, 0}), {850}},
        {GET_RAID_SET, U32s({0, 0, 0, 0}), {26}},
        {GET_CHANGE_FLAG, {}, {1}},
        {GET_CONTROLLER_FLAG, {0}, {1}},
        {GET_REBUILD_STATUS, {0}, {21}},
        {SET_REBUILD_PRIORITY, {0, 0, 3, 0}, {}},
        {GET_EVENT, {}, {65}},
        {GET_LOG_ENTRY, {}, {33}},
        {MAIL_GET_SETTINGS, {}, {1, 3, 0, 0, 1, 1, 1}},
        {MAIL_SET_LEVEL, U32s({40}), {}},
        {MAIL_GET_LEVEL, {}, {4}},
        {MAIL_SET_LEVEL2, U32s({0}), {}},
        {MAIL_GET_LEVEL2, {}, {4}},
        {GET_MAIL_STATUS, {}, {319}},
        {SMTP_GET_AUTH, {}, {4, 4, 4}},
        {SMTP_GET_TLS, {}, {4, 4}},
        {SET_SERVICE_PASSWORD, {'n', 'e', 'w'}, {}},
        {SET_HOST_LOGFILE, std::vector<std::uint8_t>(261, 0), {}},
        {GET_SERVICE_CONFIG, {}, {261}},
        {FLASH_GET_TYPE_ID, {0}, {4}},
        {FLASH_GET_TYPE_NAME, {0}, {8}},
        {FLASH_GET_BIOS_VERSION, {0}, {4}},
        {FLASH_WRITE_START, {0}, {4}},
        {FLASH_ERASE, {0}, {4}},
        {FLASH_READ_ACK, {}, {}},  // outside a read-out stream
        {77, {}, {}},              // unknown to the service
    };
    for (const Case& c : cases) {
        const Outcome out = send(Frame(c.code, c.data));
        EXPECT_EQ(out.kind, Outcome::Kind::Request) << c.code;
        ASSERT_EQ(out.replies.size(), c.replyLengths.size()) << "code " << c.code;
        for (std::size_t i = 0; i < out.replies.size(); ++i) {
            const ByteView v(out.replies[i]);
            EXPECT_LE(out.replies[i].size(), ServiceMessage::kSize);
            EXPECT_EQ(v.U32(0), c.code) << c.code;
            EXPECT_EQ(v.U16(4), c.replyLengths[i]) << "code " << c.code << " reply " << i;
            EXPECT_EQ(out.replies[i].size(), 6 + c.replyLengths[i]);
        }
        EXPECT_FALSE(out.close) << c.code;
    }
    const Outcome logoff = send(Frame(LOGOFF));
    EXPECT_TRUE(logoff.replies.empty());
    EXPECT_TRUE(logoff.close);
}

TEST_F(EngineTest, ScanAnswersEveryAddressPresentOrNot) {
    // Controller 0 has port multipliers: drives at (0,0) and (1,3), a set at (0,0).
    int drives = 0;
    int sets = 0;
    for (std::uint32_t ch = 0; ch < 2; ++ch) {
        for (std::uint32_t pm = 0; pm < 16; ++pm) {
            const auto d = ask(GET_DEVICE, U32s({0, ch, pm, 0}));
            ASSERT_EQ(d.size(), 850u);
            if (d[0] != 0) {
                ++drives;
                EXPECT_EQ(d[1], (ch | (pm << 4)));
            } else {
                EXPECT_EQ(d, std::vector<std::uint8_t>(850, 0));
            }
            const auto s = ask(GET_RAID_SET, U32s({0, ch, pm, 0}));
            ASSERT_EQ(s.size(), 26u);
            sets += s[0] != 0 ? 1 : 0;
        }
    }
    EXPECT_EQ(drives, 2);
    EXPECT_EQ(sets, 1);
    // Out of range: absent, not an error.
    for (const auto& address : {U32s({9, 0, 0, 0}), U32s({0, 99, 0, 0}), U32s({0, 0, 16, 0}),
                                U32s({0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0})}) {
        EXPECT_EQ(ask(GET_DEVICE, address), std::vector<std::uint8_t>(850, 0));
        EXPECT_EQ(ask(GET_RAID_SET, address), std::vector<std::uint8_t>(26, 0));
    }
}

TEST_F(EngineTest, ControllerCountsAreDerivedUnlessOverridden) {
    EXPECT_EQ(ByteView(ask(GET_CONTROLLER_COUNT)).U32(0), 2u);
    const auto c0 = ask(GET_CONTROLLER_INFO, U32s({0}));
    EXPECT_EQ(c0[36], 2);  // drives present
    EXPECT_EQ(c0[37], 1);  // sets
    EXPECT_EQ(c0[34], 1);
    const auto c1 = ask(GET_CONTROLLER_INFO, U32s({1}));
    EXPECT_EQ(c1[36], 25);  // overridden above the client's table limit
    EXPECT_EQ(ask(GET_CONTROLLER_INFO, U32s({7})), std::vector<std::uint8_t>(40, 0));
}

TEST_F(EngineTest, RebuildAdvancesWithSimulatedTimeAndCompletes) {
    auto position = [&](std::uint64_t now) {
        const auto r = ask(GET_REBUILD_STATUS, {0}, now);
        return std::make_pair(ByteView(r).U32(1) != 0, ByteView(r).U64(13));
    };
    EXPECT_EQ(position(0), std::make_pair(true, std::uint64_t{1000}));
    EXPECT_EQ(position(10000), std::make_pair(true, std::uint64_t{2000}));
    EXPECT_EQ(position(10500), std::make_pair(true, std::uint64_t{2050}));
    EXPECT_EQ(ask(GET_REBUILD_STATUS, {0}, 10500)[5], 0);  // set port
    // 9000 sectors at 100 per second: done at 90 s.
    EXPECT_EQ(position(89000), std::make_pair(true, std::uint64_t{9900}));
    const auto before = drainEvents(89000);
    EXPECT_EQ(std::count(before.begin(), before.end(), 0xA02u), 0);
    EXPECT_EQ(ask(GET_CHANGE_FLAG, {}, 89000)[0], 1);  // the drive lost at 5 s
    EXPECT_EQ(ask(GET_CHANGE_FLAG, {}, 89000)[0], 0);
    EXPECT_EQ(position(95000), std::make_pair(false, std::uint64_t{10000}));
    EXPECT_EQ(engine_.RaidSetStateFlags(0, 0), 0);
    // The completion event is queued and the change flag set.
    const auto after = drainEvents(95000);
    EXPECT_EQ(std::count(after.begin(), after.end(), 0xA02u), 1);
    EXPECT_EQ(ask(GET_CHANGE_FLAG, {}, 95000)[0], 1);
    EXPECT_EQ(position(200000), std::make_pair(false, std::uint64_t{10000}));
    // Out-of-range controller: no rebuild.
    EXPECT_EQ(ByteView(ask(GET_REBUILD_STATUS, {200}, 95000)).U32(1), 0u);
}

TEST_F(EngineTest, PriorityIsStoredIntoTheSet) {
    EXPECT_TRUE(send(Frame(SET_REBUILD_PRIORITY, {0, 0, 3, 0})).replies.empty());
    EXPECT_EQ(ask(GET_RAID_SET, U32s({0, 0, 0, 0}))[12], 3);
    // Unknown controller or port: ignored.
    EXPECT_TRUE(send(Frame(SET_REBUILD_PRIORITY, {5, 0, 9, 0})).replies.empty());
    EXPECT_TRUE(send(Frame(SET_REBUILD_PRIORITY, {0, 0x77, 9, 0})).replies.empty());
    EXPECT_TRUE(send(Frame(SET_REBUILD_PRIORITY, {})).replies.empty());
    EXPECT_EQ(engine_.RaidSetPriority(0, 0), 3);
}

TEST_F(EngineTest, TimelineQueuesEventsAppliesEffectsAndRaisesTheChangeFlag) {
    EXPECT_EQ(ask(GET_CHANGE_FLAG, {}, 0)[0], 0);
    EXPECT_EQ(drainEvents(4999), (std::vector<std::uint32_t>{88}));  // the login-anchored one
    EXPECT_EQ(ask(GET_CHANGE_FLAG, {}, 4999)[0], 0);
    EXPECT_TRUE(engine_.DrivePresent(0, 1, 3));
    // At 5 s: drive lost, the drive is gone from the scan and the counts.
    const auto lost = ask(GET_EVENT, {}, 5000);
    EXPECT_EQ(lost[16], 1);
    EXPECT_EQ(ByteView(lost).U32(21), 15u);
    EXPECT_FALSE(engine_.DrivePresent(0, 1, 3));
    EXPECT_EQ(ask(GET_DEVICE, U32s({0, 1, 3, 0}), 5000)[0], 0);
    EXPECT_EQ(ask(GET_CONTROLLER_INFO, U32s({0}), 5000)[36], 1);
    EXPECT_EQ(ask(GET_CHANGE_FLAG, {}, 5000)[0], 1);
    EXPECT_EQ(ask(GET_CHANGE_FLAG, {}, 5000)[0], 0);  // cleared when asked
    EXPECT_EQ(ask(GET_EVENT, {}, 5000)[16], 0xFF);
}

TEST_F(EngineTest, LoginAnchoredEntriesCountFromTheLatestLogin) {
    // The fixture logged in at 0: the general event comes at 1 s.
    EXPECT_EQ(ask(GET_EVENT, {}, 999)[16], 0xFF);
    EXPECT_EQ(ByteView(ask(GET_EVENT, {}, 1000)).U32(21), 88u);
    EXPECT_EQ(ask(GET_CHANGE_FLAG, {}, 1000)[0], 0);  // this entry leaves the flag alone
    // A new login at 4.5 s arms it again for 5.5 s.
    engine_.EndSession();
    engine_.BeginSession();
    const auto login = Login("pw");
    engine_.Login(ByteView(login), 4500);
    EXPECT_EQ(ask(GET_EVENT, {}, 5000)[16], 1);  // the start-anchored drive lost
    EXPECT_EQ(ask(GET_EVENT, {}, 5400)[16], 0xFF);
    EXPECT_EQ(ByteView(ask(GET_EVENT, {}, 5500)).U32(21), 88u);
}

TEST_F(EngineTest, RepeatingEntriesCollapseMissedRepetitions) {
    engine_.AdvanceTo(9999);
    while (engine_.QueuedEvents() > 0) {
        ask(GET_EVENT, {}, 9999);
    }
    engine_.AdvanceTo(10000);
    EXPECT_EQ(engine_.QueuedEvents(), 1u);
    engine_.AdvanceTo(15500);  // five periods missed: one event
    EXPECT_EQ(engine_.QueuedEvents(), 2u);
    engine_.AdvanceTo(15999);
    EXPECT_EQ(engine_.QueuedEvents(), 2u);
    engine_.AdvanceTo(16000);
    EXPECT_EQ(engine_.QueuedEvents(), 3u);
}

TEST_F(EngineTest, LogEntriesQueueAndDrain) {
    EXPECT_EQ(ask(GET_LOG_ENTRY, {}, 1999)[16], 0xFF);
    const auto entry = ask(GET_LOG_ENTRY, {}, 2000);
    EXPECT_EQ(entry[16], 0);
    EXPECT_EQ(entry[17], 1);
    EXPECT_EQ(ByteView(entry).U16(21), 77);
    EXPECT_EQ(ask(GET_LOG_ENTRY, {}, 2000)[16], 0xFF);
    engine_.PushLogEntry(LogEntrySpec{1, 2, 3, 4, 5, 6, 7}, 2100);
    EXPECT_EQ(ask(GET_LOG_ENTRY, {}, 2100)[16], 1);
}

TEST_F(EngineTest, MailFailureShowsOnceThenNothingNew) {
    EXPECT_EQ(MailStatus::Decode(ask(GET_MAIL_STATUS, {}, 2999)).nothingNew, 1);
    const MailStatus failure = MailStatus::Decode(ask(GET_MAIL_STATUS, {}, 3000));
    EXPECT_EQ(failure.nothingNew, 0);
    EXPECT_EQ(failure.errorCode, 421);
    EXPECT_EQ(failure.text, "refused");
    EXPECT_GE(failure.time.year, 2010);
    EXPECT_EQ(MailStatus::Decode(ask(GET_MAIL_STATUS, {}, 3001)).nothingNew, 1);
    // An invalid time stamp can be scheduled too.
    MailFailureSpec old;
    old.time = SystemTime{2005, 1, 0, 1, 0, 0, 0, 0};
    engine_.PushMailFailure(old, 4000);
    const MailStatus invalid = MailStatus::Decode(ask(GET_MAIL_STATUS, {}, 4000));
    EXPECT_EQ(invalid.nothingNew, 0);
    EXPECT_EQ(invalid.time.year, 2005);
}

TEST_F(EngineTest, ServiceConfigKeepsTheServicesVersionWords) {
    const ServiceConfig before = [&] {
        ServiceConfig c;
        c.ApplyReply(ask(GET_SERVICE_CONFIG));
        return c;
    }();
    EXPECT_EQ(before.versionRevision, 7);
    EXPECT_EQ(before.reserved, 4660);
    EXPECT_EQ(before.LogFileNameText(), "service.log");
    ServiceConfig changed = before;
    changed.versionMajor = 9;
    changed.reserved = 1;
    changed.configFlags = 0;
    changed.SetLogFileName("/var/log/other.log");
    const auto bytes = changed.Encode();
    EXPECT_TRUE(send(Frame(SET_HOST_LOGFILE, {bytes.begin(), bytes.end()})).replies.empty());
    ServiceConfig after;
    after.ApplyReply(ask(GET_SERVICE_CONFIG));
    EXPECT_EQ(after.versionMajor, 3);
    EXPECT_EQ(after.reserved, 4660);
    EXPECT_EQ(after.configFlags, 0);
    EXPECT_EQ(after.LogFileNameText(), "/var/log/other.log");
    // A record too short to hold the flags is ignored.
    EXPECT_TRUE(send(Frame(SET_HOST_LOGFILE, {1, 2, 3})).replies.empty());
    EXPECT_EQ(engine_.Config().LogFileNameText(), "/var/log/other.log");
}

TEST_F(EngineTest, NewPasswordHoldsFromTheNextLogin) {
    EXPECT_TRUE(send(Frame(SET_SERVICE_PASSWORD, {'s', 'e', 'c', 'r', 'e', 't'})).replies.empty());
    EXPECT_TRUE(engine_.LoggedIn());
    EXPECT_EQ(engine_.Password(), "secret");
    engine_.EndSession();
    engine_.BeginSession();
    auto old = Login("pw");
    EXPECT_TRUE(engine_.Login(ByteView(old), 0).close);
    engine_.BeginSession();
    auto fresh = Login("secret");
    EXPECT_FALSE(engine_.Login(ByteView(fresh), 0).close);
}

TEST_F(EngineTest, MailSettingsExchangeTakesDataMessagesByPosition) {
    const auto texts = send(Frame(MAIL_GET_SETTINGS)).replies;
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(std::string(texts[1].begin() + 6, texts[1].end()), "a@b");
    EXPECT_EQ(texts[6][6], 1);
    EXPECT_EQ(ByteView(ask(MAIL_GET_LEVEL)).U32(0), 20u);
    EXPECT_EQ(ByteView(ask(MAIL_GET_LEVEL2)).U32(0), 40u);

    // 1001: one acknowledgement, then seven data messages that carry its code (or any
    // code at all) and get no reply.
    ASSERT_EQ(send(Frame(MAIL_SET_SETTINGS)).replies.size(), 1u);
    const std::vector<std::string> values = {"Sender", "s@x", "user", "pass", "smtp", "r@x"};
    for (const auto& v : values) {
        const Outcome out = send(Frame(MAIL_SET_SETTINGS, {v.begin(), v.end()}));
        EXPECT_EQ(out.kind, Outcome::Kind::Data);
        EXPECT_TRUE(out.replies.empty());
    }
    const Outcome flags = send(Frame(GET_EVENT, {0x07}));  // a code that is not the ack's
    EXPECT_EQ(flags.kind, Outcome::Kind::Data);
    EXPECT_TRUE(flags.replies.empty());
    EXPECT_EQ(engine_.TestMailsRequested(), 1u);
    EXPECT_EQ(engine_.Mail().flags, 0x05);  // the test-mail bit is not kept
    EXPECT_EQ(engine_.Mail().recipient, "r@x");

    EXPECT_TRUE(send(Frame(MAIL_SET_LEVEL, U32s({40}))).replies.empty());
    EXPECT_TRUE(send(Frame(MAIL_SET_LEVEL2, U32s({0}))).replies.empty());

    ASSERT_EQ(send(Frame(SMTP_SET_AUTH)).replies.size(), 1u);
    for (std::uint32_t v : {5u, 465u, 0u}) {
        EXPECT_TRUE(send(Frame(SMTP_SET_AUTH, U32s({v}))).replies.empty());
    }
    ASSERT_EQ(send(Frame(SMTP_SET_TLS)).replies.size(), 1u);
    for (std::uint32_t v : {1u, 4u}) {
        EXPECT_TRUE(send(Frame(SMTP_SET_TLS, U32s({v}))).replies.empty());
    }
    // Back to requests: the next 1001-coded message is a request again.
    const auto read = send(Frame(MAIL_GET_SETTINGS)).replies;
    ASSERT_EQ(read.size(), 7u);
    EXPECT_EQ(std::string(read[0].begin() + 6, read[0].end()), "Sender");
    EXPECT_EQ(read[6][6], 0x05);
    EXPECT_EQ(ByteView(ask(MAIL_GET_LEVEL)).U32(0), 40u);
    EXPECT_EQ(ByteView(ask(MAIL_GET_LEVEL2)).U32(0), 0u);
    const auto auth = send(Frame(SMTP_GET_AUTH)).replies;
    ASSERT_EQ(auth.size(), 3u);
    EXPECT_EQ(ByteView(auth[1]).U32(6), 465u);
    const auto tls = send(Frame(SMTP_GET_TLS)).replies;
    ASSERT_EQ(tls.size(), 2u);
    EXPECT_EQ(ByteView(tls[0]).U32(6), 1u);
    EXPECT_EQ(ByteView(tls[1]).U32(6), 4u);
}

TEST_F(EngineTest, LongMailTextsAreCutToWhatTheClientCanTake) {
    send(Frame(MAIL_SET_SETTINGS));
    const std::string longText(500, 'x');
    send(Frame(MAIL_SET_SETTINGS, {longText.begin(), longText.end()}));
    for (int i = 0; i < 6; ++i) {
        send(Frame(MAIL_SET_SETTINGS, {}));
    }
    const auto read = send(Frame(MAIL_GET_SETTINGS)).replies;
    ASSERT_EQ(read.size(), 7u);
    EXPECT_EQ(ByteView(read[0]).U16(4), 103);
    EXPECT_EQ(ByteView(read[1]).U16(4), 0);
    EXPECT_EQ(read[6][6], 0);
}

TEST_F(EngineTest, FlashReadOutStreamIsPacedByAcknowledgements) {
    EXPECT_EQ(ByteView(ask(FLASH_GET_TYPE_ID, {0})).U32(0), 0xBFB4u);
    EXPECT_EQ(ByteView(ask(FLASH_GET_BIOS_VERSION, {0})).U32(0), 0x0360u);
    const auto name = ask(FLASH_GET_TYPE_NAME, {0});
    EXPECT_EQ(std::string(name.begin(), name.end()), "TESTCHIP");

    std::vector<std::uint8_t> image;
    std::vector<std::uint32_t> progress;
    Outcome out = send(Frame(FLASH_READ_START, {0}));
    for (int guard = 0; guard < 10; ++guard) {
        ASSERT_EQ(out.replies.size(), 1u);
        const ByteView v(out.replies[0]);
        progress.push_back(v.U32(0));
        if (v.U32(0) > 100) {
            EXPECT_EQ(v.U16(4), 0);
            break;
        }
        EXPECT_LE(v.U16(4), 512);
        image.insert(image.end(), out.replies[0].begin() + 6, out.replies[0].end());
        out = send(Frame(FLASH_READ_ACK));
    }
    // 1300 bytes: 512 + 512 + 276, then the end marker.
    EXPECT_EQ(progress, (std::vector<std::uint32_t>{39, 78, 100, 101}));
    ASSERT_EQ(image.size(), 1300u);
    EXPECT_EQ(image, MakeBiosImage(1300, 0, 0, 0x0360));
    // The end marker's acknowledgement gets nothing, and so does a stray one.
    EXPECT_TRUE(send(Frame(FLASH_READ_ACK)).replies.empty());
    EXPECT_TRUE(send(Frame(FLASH_READ_ACK)).replies.empty());
}

TEST_F(EngineTest, FlashWriteStoresBlocksAndReportsProgress) {
    EXPECT_EQ(send(Frame(FLASH_ERASE, {0})).replies.size(), 1u);
    EXPECT_EQ(engine_.FlashContents(0)[0], 0xFF);
    const std::uint32_t size = ByteView(ask(FLASH_WRITE_START, {0})).U32(0);
    ASSERT_EQ(size, 1300u);
    const std::uint32_t blocks = size >> 9;  // the client writes whole blocks only
    std::vector<std::uint32_t> progress;
    for (std::uint32_t i = 0; i < blocks; ++i) {
        const Outcome out =
            send(Frame(FLASH_WRITE_BLOCK + i, std::vector<std::uint8_t>(512, std::uint8_t(i + 1))));
        ASSERT_EQ(out.replies.size(), 1u);
        progress.push_back(ByteView(out.replies[0]).U32(0));
    }
    EXPECT_EQ(progress, (std::vector<std::uint32_t>{50, 100}));
    EXPECT_EQ(engine_.FlashContents(0)[0], 1);
    EXPECT_EQ(engine_.FlashContents(0)[1023], 2);
    EXPECT_EQ(engine_.FlashContents(0)[1024], 0xFF);
    // A block beyond the ROM is a write error (code above 100).
    const Outcome beyond = send(Frame(FLASH_WRITE_BLOCK + 7, std::vector<std::uint8_t>(512, 0)));
    ASSERT_EQ(beyond.replies.size(), 1u);
    EXPECT_GT(ByteView(beyond.replies[0]).U32(0), 100u);
    EXPECT_TRUE(send(Frame(FLASH_END)).replies.empty());
}

TEST_F(EngineTest, MalformedFramesAreDroppedAndShortDataReadsAsZeros) {
    for (const auto& frame :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{1, 0, 0},
          Frame(GET_CONTROLLER_COUNT, {}, 1049), Frame(GET_CONTROLLER_COUNT, {}, 0xFFFF)}) {
        const Outcome out = send(frame);
        EXPECT_EQ(out.kind, Outcome::Kind::Malformed);
        EXPECT_TRUE(out.replies.empty());
        EXPECT_FALSE(out.close);
    }
    // Length 16 announced, 4 bytes sent: the missing address reads as (0, 0, 0).
    const Outcome device = send(Frame(GET_DEVICE, {0, 0, 0, 0}, 16));
    ASSERT_EQ(device.replies.size(), 1u);
    EXPECT_EQ(device.replies[0][6], 1);
    // No data at all for commands that take some.
    EXPECT_EQ(ask(GET_CONTROLLER_INFO).size(), 40u);
    EXPECT_EQ(ask(GET_REBUILD_STATUS).size(), 21u);
    EXPECT_EQ(ask(FLASH_GET_TYPE_ID).size(), 4u);
    // A malformed frame inside a settings exchange does not count as a data message.
    send(Frame(SMTP_SET_TLS));
    EXPECT_EQ(send({1, 2}).kind, Outcome::Kind::Malformed);
    EXPECT_EQ(send(Frame(SMTP_SET_TLS, U32s({2}))).kind, Outcome::Kind::Data);
    EXPECT_EQ(send(Frame(SMTP_SET_TLS, U32s({2}))).kind, Outcome::Kind::Data);
    EXPECT_EQ(send(Frame(SMTP_SET_TLS)).kind, Outcome::Kind::Request);
}

}  // namespace
}  // namespace veltrix::sim
