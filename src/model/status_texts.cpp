#include "model/status_texts.h"

#include <cstdio>

#include "model/records.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

std::string Hex(const char* format, unsigned a, unsigned b) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, a, b);
    return buf;
}

std::string ChipsetTextUncut(std::uint16_t vendorId, std::uint16_t deviceId) {
    switch (vendorId) {
        case 0x1000:
            return "   LSI Logic ";
        case 0x1022:
            return deviceId == 0x2020 ? "      AMD  Am53C974 " : LoadString(ids::kUnknown);
        case 0x1095: {
            char buf[16];
            std::snprintf(buf, sizeof buf, " SiI%x", static_cast<unsigned>(deviceId));
            return buf;
        }
        case 0x1103:
            return "  HighPoint ";
        case 0x11AB:
            return deviceId == 0x7042 ? "88SX7042" : LoadString(ids::kUnknown);
        case 0x1B4B:
            switch (deviceId) {
                case 0x9123:  // shown under the name of its sibling chip
                    return "88SE9128";
                case 0x9170:
                    return "88SE9170";
                case 0x9172:
                    return "88SE9172";
                case 0x9182:
                    return "88SE9182";
                case 0x9230:
                    return "88SE9230";
                default:
                    return LoadString(ids::kUnknown);
            }
        default:
            return Hex("%X_%X", vendorId, deviceId);
    }
}

}  // namespace

std::string ChipsetText(std::uint16_t vendorId, std::uint16_t deviceId) {
    std::string text = ChipsetTextUncut(vendorId, deviceId);
    if (text.size() > kMaxChipNameLength) {
        text.resize(kMaxChipNameLength);
    }
    return text;
}

std::string BiosVersionText(std::uint16_t biosVersion) {
    return Hex("%x.%02x", biosVersion >> 8u, biosVersion & 0xFFu);
}

std::string InterfaceText(std::uint8_t linkFlags, std::uint8_t sataGeneration) {
    if ((linkFlags & 0x40) == 0) {
        return "DMA";
    }
    switch (sataGeneration) {
        case 1:
            return "SATA Gen. 1 (1,5 Gb/s)";
        case 2:
            return "SATA Gen. 2 (3,0 Gb/s)";
        case 3:
            return "SATA Gen. 3 (6,0 Gb/s)";
        default:
            return LoadString(ids::kSataModeUnknown);
    }
}

std::string CapacityText(std::uint64_t sectors) {
    // 2^21 sectors of 512 bytes are 2^30 bytes. The count is kept to 32 bits and
    // shown without sign, so an absurd capacity from the wire never shows negative.
    const auto gigabytes = static_cast<std::uint32_t>(sectors >> 21);
    return std::to_string(gigabytes) + " GB";
}

std::string PortStateText(std::uint32_t portState) {
    if ((portState & 0x0001) == 0) {
        return " ";
    }
    if ((portState & 0x8000) != 0) {
        return "Orphaned";
    }
    const std::uint32_t r = portState & 0x1F00;
    if (r >= 0x1000)
        return "Removed";
    if (r >= 0x0800)
        return "Dropped";
    if (r >= 0x0400)
        return "Striping";
    if (r >= 0x0200)
        return "Rebuild";
    if (r == 0x0100)
        return "Current";
    return "None";
}

std::string SmartStatusText(std::uint8_t smartFlags) {
    std::string text = " - ";
    if ((smartFlags & 0x08) != 0) {
        text = LoadString(ids::kSmartCritical);
    }
    if ((smartFlags & 0x04) != 0) {
        text = LoadString(ids::kSmartOk);
    }
    return text;
}

std::string RaidTypeText(const RaidSetRecord& record) {
    if (!record.IsRaid()) {
        return "non Raid";
    }
    switch (record.raidType) {
        case 0:
            return "Stripe";
        case 1:
            return record.chunkSize == 0xFFFF && record.BackupMarker() ? "Backup" : "Mirror";
        case 2:
            return "Mirror-Stripe";
        case 3:
            return "Spare Drive";
        case 4:
            return "JBOD";
        case 16:
            return "RAID 5";
        case 253:
            return "not supported";
        case 255:
            return "Contiguous";
        default:
            return "unbekannt";
    }
}

std::string RaidStatusText(std::uint8_t stateFlags) {
    // Applied in order; each rule that holds replaces the text.
    static constexpr struct {
        std::uint8_t bit;
        const char* text;
    } kRules[] = {
        {0x80, "Hidden"},  {0x02, "Invalid"}, {0x04, "Incomplete"}, {0x08, "Rebuild"},
        {0x10, "Reduced"}, {0x20, "Broken"},  {0x40, "Complete"},
    };
    std::string text;
    if (stateFlags == 0) {
        text = "Ready";
    }
    for (const auto& rule : kRules) {
        if ((stateFlags & rule.bit) != 0) {
            text = rule.text;
        }
    }
    return text;
}

std::string ChunkSizePanelText(std::uint16_t chunkSize) {
    const unsigned kb = chunkSize / 2u;
    return kb == 0 ? "- " : std::to_string(kb) + " KB";
}

std::string ChunkSizeListText(std::uint16_t chunkSize) {
    const unsigned kb = chunkSize / 2u;
    return kb == 0 ? " " : std::to_string(kb) + " KB";
}

std::string MembersText(const std::array<std::uint8_t, 4>& members) {
    std::string text;
    for (const std::uint8_t m : members) {
        if (m == 0xFF) {
            continue;
        }
        if (!text.empty()) {
            text += ", ";
        }
        text += std::to_string(m);
    }
    return text;
}

}  // namespace veltrix
