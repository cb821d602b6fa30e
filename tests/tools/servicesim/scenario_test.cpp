#include "servicesim/scenario.h"

#include <fstream>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "model/bios_image.h"
#include "servicesim/flash_rom.h"
#include "servicesim/scenario_builders.h"

namespace veltrix::sim {
namespace {

TEST(ScenarioTest, ShippedDefaultScenarioDescribesALivingSystem) {
    const Scenario s = LoadScenario(SERVICESIM_DEFAULT_SCENARIO);
    EXPECT_EQ(s.password, "kavo");
    ASSERT_EQ(s.controllers.size(), 2u);
    const ControllerSpec& pm = s.controllers[0];
    EXPECT_TRUE(pm.portMultiplier);
    EXPECT_EQ(pm.driverVersion, "3.57");
    EXPECT_TRUE(std::any_of(pm.drives.begin(), pm.drives.end(),
                            [](const DriveSpec& d) { return d.pmPort > 0; }));
    EXPECT_TRUE(pm.rebuild.active);
    ASSERT_TRUE(pm.rebuild.completionEvent.has_value());
    EXPECT_EQ(pm.rebuild.completionEvent->code, 0xA02u);
    EXPECT_TRUE(std::any_of(pm.sets.begin(), pm.sets.end(),
                            [](const RaidSetSpec& r) { return r.raidType == 3; }));
    EXPECT_TRUE(std::any_of(s.controllers[1].sets.begin(), s.controllers[1].sets.end(),
                            [](const RaidSetSpec& r) { return r.raidType == 16; }));
    EXPECT_TRUE(std::any_of(s.timeline.begin(), s.timeline.end(), [](const TimelineEntry& e) {
        return e.event && e.event->code == 0xB02;
    }));
    EXPECT_FALSE(s.logEntries.empty());
    EXPECT_EQ(s.mailFailures.size(), 1u);
    // Each flash ROM is a chip of the table holding the controller's own BIOS.
    for (const ControllerSpec& c : s.controllers) {
        const FlashRom rom(c);
        EXPECT_NE(FlashSizeOfChip(c.flash.chipId), 0) << c.name;
        EXPECT_EQ(rom.Contents(), MakeBiosImage(rom.Size(), c.vendorId, c.deviceId, c.biosVersion))
            << c.name;
        EXPECT_EQ(rom.BiosVersionReply(), c.biosVersion) << c.name;
    }
}

TEST(ScenarioTest, FlashKeysAreRead) {
    const std::string file = ::testing::TempDir() + "/flash_image.bin";
    std::ofstream(file, std::ios::binary) << "\x55\xAA\x01";
    const Scenario s = ParseScenario(R"({"controllers": [
        { "flash": { "chipId": "0x1240", "chipName": "KT-F020", "content": "biosImage",
                     "biosVersion": "0x0412", "imageVendorId": "0x1B4B", "imageDeviceId": 9,
                     "imageSize": 32768, "fill": 0, "readEndCode": 200, "readBlockSize": 64,
                     "writeErrorAt": 511, "writeErrorCode": "0x1FF", "writesIgnored": true,
                     "versionIoError": 1, "eraseMs": 2500 } },
        { "flash": { "chipId": 7, "size": 1024, "content": "pattern" } },
        { "flash": { "imageFile": "flash_image.bin" } },
        { "flash": { "imageHex": "55 AA 0f" } }
    ],
    "faults": [{ "command": "FLASH_WRITE_BLOCK", "kind": "drop", "after": 20 }]})",
                                     ::testing::TempDir());
    EXPECT_EQ(s.controllers[2].flash.content, FlashSpec::Content::Bytes);
    EXPECT_EQ(s.controllers[2].flash.image, (std::vector<std::uint8_t>{0x55, 0xAA, 0x01}));
    EXPECT_EQ(s.controllers[3].flash.image, (std::vector<std::uint8_t>{0x55, 0xAA, 0x0F}));
    EXPECT_EQ(s.faults[0].code, kFlashWriteBlockFaultCode);
    // The generated image: its ids and version, then the fill.
    const FlashRom rom(s.controllers[0]);
    EXPECT_EQ(std::vector<std::uint8_t>(rom.Contents().begin(), rom.Contents().begin() + 32768),
              MakeBiosImage(32768, 0x1B4B, 9, 0x0412));
    EXPECT_EQ(rom.Contents()[32768], 0);
    EXPECT_EQ(rom.Size(), 0x40000u);
    EXPECT_EQ(FlashRom(s.controllers[1]).Contents(), FlashPattern(1024));
}

TEST(ScenarioTest, EmptyObjectGivesDefaults) {
    const Scenario s = ParseScenario("{}");
    EXPECT_EQ(s.password, "kavo");
    EXPECT_EQ(s.versionMajor, 3);
    EXPECT_EQ(s.versionMinor, 4);
    EXPECT_TRUE(s.controllers.empty());
    EXPECT_FALSE(s.controllerCount.has_value());
}

TEST(ScenarioTest, NumbersMayBeHexTextAndCommandsNames) {
    const Scenario s = ParseScenario(R"({
        "controllerCount": 12,
        "controllers": [{ "vendorId": "0x1B4B", "biosVersion": "0x0360", "deviceCount": 25,
                          "drives": [{ "channel": 2, "pmPort": 5, "capacity": "488397168" }],
                          "raidSets": [{ "channel": 1, "members": [0, "0x01"] }] }],
        "timeline": [{ "at": 100, "after": "login", "every": 50,
                       "event": { "controller": 0, "code": "0xA02" } }],
        "faults": [{ "command": "GET_EVENT", "kind": "late", "delayMs": 20, "count": 2 },
                   { "command": 11, "kind": "oversized" },
                   { "command": "login", "kind": "silent" },
                   { "command": "any", "kind": "drop", "after": "3" },
                   { "command": 4003, "kind": "patch", "offset": 6, "hex": "ff00" },
                   { "command": 1001, "kind": "code", "value": "0x3E8" }]
    })");
    EXPECT_EQ(s.controllerCount, 12u);
    EXPECT_EQ(s.controllers[0].vendorId, 0x1B4B);
    EXPECT_EQ(s.controllers[0].biosVersion, 0x0360);
    EXPECT_EQ(s.controllers[0].deviceCount, 25);
    EXPECT_EQ(s.controllers[0].drives[0].pmPort, 5);
    EXPECT_EQ(s.controllers[0].drives[0].capacity, 488397168u);
    EXPECT_EQ(s.controllers[0].sets[0].PortByte(), 0x01);
    EXPECT_EQ(s.controllers[0].sets[0].members[1], 1);
    EXPECT_EQ(s.controllers[0].sets[0].members[2], 0xFF);
    EXPECT_EQ(s.timeline[0].timing.anchor, Anchor::Login);
    EXPECT_EQ(s.timeline[0].event->code, 0xA02u);
    ASSERT_EQ(s.faults.size(), 6u);
    EXPECT_EQ(s.faults[0].code, GET_EVENT);
    EXPECT_EQ(s.faults[0].kind, FaultSpec::Kind::Late);
    EXPECT_EQ(s.faults[0].count, 2);
    EXPECT_EQ(s.faults[1].code, GET_REBUILD_STATUS);
    EXPECT_EQ(s.faults[1].count, -1);
    EXPECT_GT(s.faults[1].bytes, ServiceMessage::kSize);
    EXPECT_EQ(s.faults[2].code, kLoginFaultCode);
    EXPECT_EQ(s.faults[3].code, kAnyCommandFaultCode);
    EXPECT_EQ(s.faults[3].kind, FaultSpec::Kind::Drop);
    EXPECT_EQ(s.faults[3].after, 3u);
    EXPECT_EQ(s.faults[4].offset, 6u);
    EXPECT_EQ(s.faults[4].data, (std::vector<std::uint8_t>{0xFF, 0x00}));
    EXPECT_EQ(s.faults[5].value, 1000u);
}

struct BadScenario {
    const char* name;
    const char* json;
    const char* message;  // part of the error text
};

class ScenarioErrorTest : public ::testing::TestWithParam<BadScenario> {};

TEST_P(ScenarioErrorTest, IsRefusedWithAClearMessage) {
    try {
        ParseScenario(GetParam().json);
        FAIL() << "accepted";
    } catch (const ScenarioError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Invalid, ScenarioErrorTest,
    ::testing::Values(
        BadScenario{"BrokenJson", R"({"password": )", "invalid JSON"},
        BadScenario{"NotAnObject", R"([1, 2])", "scenario: expected an object"},
        BadScenario{"MisspeltKey", R"({"pasword": "x"})", "unknown key \"pasword\""},
        BadScenario{"Negative", R"({"controllers": [{"channelCount": -1}]})",
                    "controllers[0].channelCount: must not be negative"},
        BadScenario{"TooLarge", R"({"controllers": [{"channelCount": 300}]})",
                    "above the limit 255"},
        BadScenario{"WrongType", R"({"controllers": [{"name": 5}]})", "expected a text"},
        BadScenario{"ChannelOutOfRange", R"({"controllers": [{"drives": [{"channel": 8}]}]})",
                    "drives[0].channel"},
        BadScenario{"MissingChannel", R"({"controllers": [{"drives": [{}]}]})",
                    "missing \"channel\""},
        BadScenario{
            "SerialTooLong",
            R"({"controllers": [{"drives": [{"channel": 0, "serial": "123456789012345678901"}]}]})",
            "longer than 20"},
        BadScenario{"DuplicateDrive",
                    R"({"controllers": [{"drives": [{"channel": 1}, {"channel": 1}]}]})",
                    "same address"},
        BadScenario{"FiveMembers",
                    R"({"controllers": [{"raidSets": [{"channel": 0, "members": [0,1,2,3,4]}]}]})",
                    "at most four"},
        BadScenario{"BadHexText", R"({"timeline": [{"at": 1, "event": {"code": "0xZZ"}}]})",
                    "is not a number"},
        BadScenario{"BadAnchor", R"({"timeline": [{"at": 1, "after": "lunch"}]})",
                    "\"start\" or \"login\""},
        BadScenario{"EffectOnMissingDrive",
                    R"({"controllers": [{}], "timeline": [{"at": 1, "effects": [
                        {"kind": "removeDrive", "controller": 0, "channel": 2}]}]})",
                    "no drive at that address"},
        BadScenario{
            "EffectOnMissingController",
            R"({"timeline": [{"at": 1, "effects": [{"kind": "stopRebuild", "controller": 3}]}]})",
            "no controller 3"},
        BadScenario{"RebuildWithoutSet",
                    R"({"controllers": [{"rebuild": {"active": true, "setPort": 4}}]})",
                    "no RAID set with that setPort"},
        BadScenario{"UnknownFault", R"({"faults": [{"command": 1, "kind": "slow"}]})",
                    "unknown fault \"slow\""},
        BadScenario{"AfterOnAFaultThatDoesNotDrop",
                    R"({"faults": [{"command": "any", "kind": "silent", "after": 2}]})",
                    "faults[0].after: only a \"drop\" fault counts replies"},
        BadScenario{"UnknownCommandName",
                    R"({"faults": [{"command": "GET_NOTHING", "kind": "close"}]})",
                    "is not a number"},
        BadScenario{"BadImageHex", R"({"controllers": [{"flash": {"imageHex": "abc"}}]})",
                    "odd number"},
        BadScenario{"FlashTooLarge", R"({"controllers": [{"flash": {"size": 2097153}}]})",
                    "flash.size: value 2097153 is above the limit 2097152"},
        BadScenario{"UnknownContent", R"({"controllers": [{"flash": {"content": "zeros"}}]})",
                    "flash.content: expected \"biosImage\", \"pattern\" or \"fill\""},
        BadScenario{"ContentAndImage",
                    R"({"controllers": [{"flash": {"content": "fill", "imageHex": "00"}}]})",
                    "give one of"},
        BadScenario{"ImageLargerThanRom",
                    R"({"controllers": [{"flash": {"size": 1, "imageHex": "55aa"}}]})",
                    "image of 2 bytes does not fit the 1-byte flash ROM"},
        BadScenario{"VersionWithoutGeneratedImage",
                    R"({"controllers": [{"flash": {"content": "pattern", "biosVersion": 1}}]})",
                    "flash.biosVersion: only for the generated BIOS image"},
        BadScenario{"ImageSizeAboveRom",
                    R"({"controllers": [{"flash": {"size": 4096, "imageSize": 4097}}]})",
                    "flash.imageSize: value 4097 is above the limit 4096"},
        BadScenario{"EndCodeIsProgress", R"({"controllers": [{"flash": {"readEndCode": 100}}]})",
                    "flash.readEndCode: must be above 100"},
        BadScenario{"WriteErrorBeyondRom",
                    R"({"controllers": [{"flash": {"size": 1024, "writeErrorAt": 2}}]})",
                    "flash.writeErrorAt: value 2 is above the limit 1"},
        BadScenario{"WriteErrorWithoutRom",
                    R"({"controllers": [{"flash": {"chipId": 0, "writeErrorAt": 0}}]})",
                    "no whole block"},
        BadScenario{"ReadBlockEmpty", R"({"controllers": [{"flash": {"readBlockSize": 0}}]})",
                    "must be at least 1"}),
    [](const ::testing::TestParamInfo<BadScenario>& p) { return std::string(p.param.name); });

TEST(ScenarioTest, MissingFileIsNamed) {
    try {
        LoadScenario("/nonexistent/scenario.json");
        FAIL() << "accepted";
    } catch (const ScenarioError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/scenario.json"), std::string::npos);
    }
}

}  // namespace
}  // namespace veltrix::sim
