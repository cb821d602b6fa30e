#pragma once
// What the BIOS update tests share: a one-controller machine whose flash ROM the test
// shapes, a private folder for backup and image files, and the flash requests the
// service received written as a short transcript.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "protocol/protocol.h"
#include "servicesim/scenario.h"
#include "servicesim/scenario_builders.h"
#include "servicesim/service_sim.h"
#include "support/temp_folder.h"

namespace veltrix::testing {

// "RX-Oak 4P" (1095:3124, driver 3.57, BIOS 3.50) with a 128 KiB flash ROM (chip
// 0xBFB5, "KT-F010A") holding its BIOS image; `adjust` changes the ROM.
inline sim::Scenario FlashScenario(const std::function<void(sim::ControllerSpec&)>& adjust = {}) {
    sim::ControllerSpec c;
    c.vendorId = 0x1095;
    c.deviceId = 0x3124;
    c.name = "RX-Oak 4P";
    c.driverVersion = "3.57";
    c.biosVersion = 0x0350;
    c.channelCount = 4;
    c.drives = {sim::MakeDrive(0, 0, "KV-500 Enterprise 250")};
    if (adjust) {
        adjust(c);
    }
    sim::Scenario scenario;
    scenario.controllers = {c};
    return scenario;
}

// The flash requests in order: one word per request ("TYPE_ID", "ERASE", "END", ...),
// runs of acknowledgements as "ACK x257" and consecutive write blocks as "BLOCK 0-255".
// Other requests (the poll's) appear by their code. A flash request with other data
// than controller 0 (none for END and ACK, 512 bytes for a block) is marked "BAD".
inline std::vector<std::string> FlashTranscript(const std::vector<sim::TranscriptEntry>& entries) {
    static const std::map<std::uint32_t, std::string> kNames = {{FLASH_GET_TYPE_ID, "TYPE_ID"},
                                                                {FLASH_GET_TYPE_NAME, "TYPE_NAME"},
                                                                {FLASH_GET_BIOS_VERSION, "VERSION"},
                                                                {FLASH_READ_START, "READ_START"},
                                                                {FLASH_ERASE, "ERASE"},
                                                                {FLASH_WRITE_START, "WRITE_START"},
                                                                {FLASH_END, "END"},
                                                                {FLASH_READ_ACK, "ACK"}};
    std::vector<std::string> out;
    std::uint32_t acks = 0;
    std::int64_t firstBlock = -1;
    std::int64_t lastBlock = -1;
    const auto flush = [&] {
        if (acks != 0) {
            out.push_back("ACK x" + std::to_string(acks));
        }
        if (firstBlock >= 0) {
            out.push_back("BLOCK " + std::to_string(firstBlock) + "-" + std::to_string(lastBlock));
        }
        acks = 0;
        firstBlock = lastBlock = -1;
    };
    for (const sim::TranscriptEntry& e : entries) {
        if (e.login) {
            continue;
        }
        const bool block = e.code >= FLASH_WRITE_BLOCK && e.code < FLASH_WRITE_BLOCK + 0x1000;
        const auto name = kNames.find(e.code);
        const bool noData = e.code == FLASH_END || e.code == FLASH_READ_ACK;
        const bool bad =
            block ? e.length != 512
                  : name != kNames.end() &&
                        (noData ? e.length != 0
                                : e.length != 1 || e.data != std::vector<std::uint8_t>{0});
        if (e.code == FLASH_READ_ACK && !bad) {
            if (firstBlock >= 0) {
                flush();
            }
            ++acks;
        } else if (block && !bad) {
            if (acks != 0 || (firstBlock >= 0 && e.code - FLASH_WRITE_BLOCK != lastBlock + 1)) {
                flush();
            }
            firstBlock = firstBlock < 0 ? e.code - FLASH_WRITE_BLOCK : firstBlock;
            lastBlock = e.code - FLASH_WRITE_BLOCK;
        } else {
            flush();
            out.push_back((name != kNames.end() ? name->second : std::to_string(e.code)) +
                          (bad ? " BAD" : ""));
        }
    }
    flush();
    return out;
}

}  // namespace veltrix::testing
