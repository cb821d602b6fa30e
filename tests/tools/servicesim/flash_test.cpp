// The simulated service's flash ROM: the BIOS image builder, the version found in a
// ROM, the read-out stream, erase and write with the ROM's hardware faults.

#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "raw_client.h"
#include "servicesim/engine.h"
#include "servicesim/flash_rom.h"
#include "servicesim/scenario_builders.h"

namespace veltrix::sim {
namespace {

using testing::Frame;
using testing::Login;

constexpr std::uint16_t kVendor = 0x1095;
constexpr std::uint16_t kDevice = 0x3124;

// A logged-in engine with one controller (kVendor:kDevice, BIOS 3.60) whose flash ROM
// is described by `flash` (the scenario's JSON object).
class FlashService {
  public:
    explicit FlashService(const std::string& flash)
        : engine_(ParseScenario(R"({"controllers": [{"vendorId": "0x1095", "deviceId": "0x3124",
                                   "biosVersion": "0x0360", "flash": )" +
                                flash + "}]}")) {
        engine_.BeginSession();
        engine_.Login(ByteView(Login("kavo")), 0);
    }

    Outcome send(std::uint32_t code, std::vector<std::uint8_t> data = {}, std::uint64_t now = 0) {
        return engine_.Message(ByteView(Frame(code, std::move(data))), now);
    }
    // The 32-bit value of the only reply to a request for controller 0.
    std::uint32_t value(std::uint32_t code) {
        const Outcome out = send(code, {0});
        EXPECT_EQ(out.replies.size(), 1u) << code;
        return out.replies.empty() ? 0 : ByteView(out.replies[0]).U32(6);
    }
    // The code of the only reply to a write block.
    std::uint32_t writeBlock(std::uint32_t index, const std::vector<std::uint8_t>& image) {
        const auto first = image.begin() + static_cast<std::ptrdiff_t>(index * 512);
        const Outcome out = send(FLASH_WRITE_BLOCK + index, {first, first + 512});
        EXPECT_EQ(out.replies.size(), 1u) << index;
        return out.replies.empty() ? 0 : ByteView(out.replies[0]).U32(0);
    }

    ServiceEngine engine_;
};

TEST(FlashImageTest, MakeBiosImageLaysOutTheHeaderAClientParses) {
    const auto image = MakeBiosImage(2048, kVendor, kDevice, 0x0360);
    ASSERT_EQ(image.size(), 2048u);
    const std::vector<std::pair<std::size_t, std::uint8_t>> bytes = {
        {0x00, 0x55}, {0x01, 0xAA}, {0x02, 4},   {0x18, 0x1C}, {0x19, 0x00}, {0x1C, 'P'},
        {0x1D, 'C'},  {0x1E, 'I'},  {0x1F, 'R'}, {0x20, 0x95}, {0x21, 0x10}, {0x22, 0x24},
        {0x23, 0x31}, {0x26, 0x18}, {0x2C, 4},   {0x2E, 0x60}, {0x2F, 0x03}, {0x31, 0x80},
    };
    for (const auto& [offset, value] : bytes) {
        EXPECT_EQ(image[offset], value) << "offset " << offset;
    }
    EXPECT_EQ(std::accumulate(image.begin(), image.end(), 0u) % 256, 0u);
    EXPECT_EQ(FindBiosVersion(image), 0x0360);
    EXPECT_NE(image, MakeBiosImage(2048, kVendor, kDevice, 0x0361));
    // Too short for a header: its first bytes.
    const auto block = MakeBiosImage(512, kVendor, kDevice, 0x0360);
    EXPECT_EQ(MakeBiosImage(10, kVendor, kDevice, 0x0360),
              std::vector<std::uint8_t>(block.begin(), block.begin() + 10));
}

TEST(FlashImageTest, VersionIsFoundOnlyInACompleteImageAtABlockStart) {
    const auto image = MakeBiosImage(1024, kVendor, kDevice, 0x0215);
    const auto at = [&](std::size_t offset, std::vector<std::uint8_t> bytes) {
        bytes.insert(bytes.begin(), offset, std::uint8_t{0xFF});
        return bytes;
    };
    auto noPcir = image;
    noPcir[0x1F] = 'X';
    auto pointerOut = image;
    pointerOut[0x19] = 0x04;  // 0x041C: beyond the 1024 bytes
    struct Case {
        const char* name;
        std::vector<std::uint8_t> rom;
        std::optional<std::uint16_t> version;
    } cases[] = {
        {"AtZero", image, 0x0215},
        {"AtSecondBlock", at(512, image), 0x0215},
        {"NotAtABlockStart", at(100, image), std::nullopt},
        {"HeaderOnly", MakeBiosImage(52, kVendor, kDevice, 0x0215), 0x0215},
        {"CutInTheStructure", MakeBiosImage(47, kVendor, kDevice, 0x0215), std::nullopt},
        {"NoPcir", noPcir, std::nullopt},
        {"PointerOutside", pointerOut, std::nullopt},
        {"Erased", std::vector<std::uint8_t>(4096, 0xFF), std::nullopt},
        {"Pattern", FlashPattern(0x20000), std::nullopt},
        {"Empty", {}, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindBiosVersion(c.rom), c.version) << c.name;
    }
}

TEST(FlashServiceTest, ParametersFollowTheScenario) {
    struct Case {
        const char* flash;
        std::uint32_t chipId;
        std::uint32_t size;
        std::uint32_t version;
    } cases[] = {
        {"{}", 0xBFB5, 0x20000, 0x0360},
        {R"({"chipId": "0xBFD7", "biosVersion": "0x0412"})", 0xBFD7, 0x80000, 0x0412},
        {R"({"chipId": "0x4242"})", 0x4242, 0x10000, 0x0360},
        {R"({"chipId": "0x4242", "size": 4096, "content": "pattern"})", 0x4242, 4096, 1},
        {R"({"content": "fill"})", 0xBFB5, 0x20000, 1},
        {R"({"imageHex": "55aa"})", 0xBFB5, 0x20000, 1},
        {R"({"versionIoError": true})", 0xBFB5, 0x20000, 0xFFFFFFFF},
        {R"({"chipId": "0xFFFF"})", 0xFFFF, 0, 1},
    };
    for (const Case& c : cases) {
        FlashService service(c.flash);
        EXPECT_EQ(service.value(FLASH_GET_TYPE_ID), c.chipId) << c.flash;
        EXPECT_EQ(service.value(FLASH_WRITE_START), c.size) << c.flash;
        EXPECT_EQ(service.value(FLASH_GET_BIOS_VERSION), c.version) << c.flash;
    }
}

TEST(FlashServiceTest, ReadOutIsPacedByAcknowledgementsAndEndsAboveHundred) {
    struct Case {
        const char* flash;
        std::vector<std::size_t> lengths;
        std::vector<std::uint32_t> progress;
        std::uint32_t endCode;
    } cases[] = {
        {R"({"size": 1024})", {512, 512}, {50, 100}, 101},
        {R"({"size": 1300, "readBlockSize": 500, "readEndCode": 250})",
         {500, 500, 300},
         {38, 76, 100},
         250},
        {R"({"chipId": "0xFFFF"})", {}, {}, 101},
    };
    for (const Case& c : cases) {
        FlashService service(c.flash);
        std::vector<std::size_t> lengths;
        std::vector<std::uint32_t> progress;
        std::vector<std::uint8_t> image;
        Outcome out = service.send(FLASH_READ_START, {0});
        for (int guard = 0; guard < 10 && out.replies.size() == 1; ++guard) {
            const ByteView reply(out.replies[0]);
            if (reply.U32(0) > 100) {
                EXPECT_EQ(reply.U32(0), c.endCode) << c.flash;
                EXPECT_EQ(reply.U16(4), 0) << c.flash;
                break;
            }
            lengths.push_back(reply.U16(4));
            progress.push_back(reply.U32(0));
            image.insert(image.end(), out.replies[0].begin() + 6, out.replies[0].end());
            // Another request in the middle is answered and leaves the stream alone.
            service.value(FLASH_GET_TYPE_ID);
            out = service.send(FLASH_READ_ACK);
        }
        ASSERT_EQ(out.replies.size(), 1u) << c.flash;
        EXPECT_EQ(lengths, c.lengths) << c.flash;
        EXPECT_EQ(progress, c.progress) << c.flash;
        EXPECT_EQ(image, service.engine_.FlashContents(0)) << c.flash;
        // The end reply is acknowledged too, and that acknowledgement gets nothing.
        EXPECT_TRUE(service.send(FLASH_READ_ACK).replies.empty()) << c.flash;
        EXPECT_EQ(service.engine_.FlashCountersOf(0).readOuts, 1u);
        EXPECT_EQ(service.engine_.FlashCountersOf(0).blocksRead, c.lengths.size());
    }
}

TEST(FlashServiceTest, EraseAndWriteWithTheRomsFaults) {
    const auto oldImage = MakeBiosImage(2048, kVendor, kDevice, 0x0360);
    const auto newImage = MakeBiosImage(2048, kVendor, kDevice, 0x0400);
    std::vector<std::uint8_t> programmedOver(2048);  // written without an erase
    for (std::size_t i = 0; i < 2048; ++i) {
        programmedOver[i] = oldImage[i] & newImage[i];
    }
    auto failedBlock2 = newImage;
    std::fill(failedBlock2.begin() + 1024, failedBlock2.begin() + 1536, std::uint8_t{0xFF});
    struct Case {
        const char* name;
        const char* flash;
        bool erase;
        std::vector<std::uint32_t> codes;
        const std::vector<std::uint8_t>& rom;
        std::uint32_t version;
    } cases[] = {
        {"Update", R"({"size": 2048})", true, {25, 50, 75, 100}, newImage, 0x0400},
        {"WithoutErase", R"({"size": 2048})", false, {25, 50, 75, 100}, programmedOver, 0},
        {"WritesIgnored",
         R"({"size": 2048, "writesIgnored": true})",
         true,
         {25, 50, 75, 100},
         oldImage,
         0x0360},
        {"WriteError",
         R"({"size": 2048, "writeErrorAt": 2, "writeErrorCode": 180})",
         true,
         {25, 50, 180, 100},
         failedBlock2,
         0x0400},
    };
    for (const Case& c : cases) {
        FlashService service(c.flash);
        ASSERT_EQ(service.engine_.FlashContents(0), oldImage) << c.name;
        if (c.erase) {
            EXPECT_EQ(service.send(FLASH_ERASE, {0}).replies.size(), 1u) << c.name;
        }
        EXPECT_EQ(service.value(FLASH_WRITE_START), 2048u) << c.name;
        std::vector<std::uint32_t> codes;
        for (std::uint32_t i = 0; i < 4; ++i) {
            codes.push_back(service.writeBlock(i, newImage));
        }
        EXPECT_EQ(codes, c.codes) << c.name;
        EXPECT_TRUE(service.send(FLASH_END).replies.empty()) << c.name;
        EXPECT_EQ(service.engine_.FlashContents(0), c.rom) << c.name;
        EXPECT_EQ(service.value(FLASH_GET_BIOS_VERSION), c.version) << c.name;
        const FlashCounters counters = service.engine_.FlashCountersOf(0);
        EXPECT_EQ(counters.erases, c.erase ? 1u : 0u) << c.name;
        EXPECT_EQ(counters.writeStarts, 1u) << c.name;
        EXPECT_EQ(counters.blocksWritten + counters.writeErrors, 4u) << c.name;
    }
}

TEST(FlashServiceTest, BlocksWithoutAWriteStartOnTheConnectionFail) {
    FlashService service(R"({"size": 1024})");
    const auto before = service.engine_.FlashContents(0);
    const std::vector<std::uint8_t> zeros(1024, 0);
    EXPECT_EQ(service.writeBlock(0, zeros), 101u);
    service.value(FLASH_WRITE_START);
    EXPECT_EQ(service.writeBlock(2, std::vector<std::uint8_t>(1536, 0)), 101u);  // beyond
    service.send(FLASH_END);
    EXPECT_EQ(service.writeBlock(0, zeros), 101u);
    // A new connection forgets the write start.
    service.engine_.EndSession();
    service.engine_.BeginSession();
    service.engine_.Login(ByteView(Login("kavo")), 0);
    EXPECT_EQ(service.writeBlock(1, zeros), 101u);
    EXPECT_EQ(service.engine_.FlashContents(0), before);
    // Only the block beyond the ROM reached a ROM.
    EXPECT_EQ(service.engine_.FlashCountersOf(0).writeErrors, 1u);
}

TEST(FlashServiceTest, SlowEraseHoldsItsReplyInSimulatedTime) {
    FlashService service(R"({"eraseMs": 4000})");
    const Outcome out = service.send(FLASH_ERASE, {0}, 1000);
    EXPECT_EQ(out.notBeforeMs, 5000u);
    EXPECT_EQ(out.replies.size(), 1u);
    EXPECT_EQ(service.engine_.FlashContents(0), std::vector<std::uint8_t>(0x20000, 0xFF));
    service.engine_.SetFlashFaults(0, {});
    EXPECT_EQ(service.send(FLASH_ERASE, {0}, 2000).notBeforeMs, 2000u);
}

}  // namespace
}  // namespace veltrix::sim
