#include "main_window_fixture.h"

#include "model/raid_set.h"
#include "resources/strings.h"

namespace veltrix::testing {

sim::DriveSpec SimDrive(std::uint8_t channel, std::uint8_t pmPort, std::string model,
                        std::uint64_t capacity) {
    sim::DriveSpec drive;
    drive.channel = channel;
    drive.pmPort = pmPort;
    drive.model = std::move(model);
    drive.serial = "SN" + std::to_string(channel) + "-" + std::to_string(pmPort);
    drive.capacity = capacity;
    return drive;
}

sim::RaidSetSpec SimSet(std::uint8_t channel, std::uint8_t raidType, std::uint8_t deviceNumber,
                        std::vector<std::uint8_t> members, std::uint16_t chunkSize) {
    sim::RaidSetSpec set;
    set.channel = channel;
    set.raidType = raidType;
    set.deviceNumber = deviceNumber;
    set.chunkSize = chunkSize;
    set.driveCount = static_cast<std::uint8_t>(members.size());
    set.capacity = 488397168;
    for (std::size_t i = 0; i < members.size() && i < set.members.size(); ++i) {
        set.members[i] = members[i];
    }
    return set;
}

sim::Scenario TwoControllers() {
    sim::Scenario s;
    sim::ControllerSpec pm;
    pm.vendorId = 0x1095;
    pm.deviceId = 0x3124;
    pm.name = "RX-Oak 4P";
    pm.biosVersion = 0x0360;
    pm.channelCount = 4;
    pm.jbod = true;
    pm.raid5 = true;
    pm.portMultiplier = true;
    pm.drives = {SimDrive(0, 0, "KV-500 Enterprise 250"), SimDrive(1, 0, "KV-500 Enterprise 250"),
                 SimDrive(3, 0, "KV-300 Desktop 160", 312581808)};
    pm.sets = {SimSet(0, 1, 0, {0, 1}), SimSet(3, 3, 1, {3}, 0)};
    pm.sets[0].priority = 40;

    sim::ControllerSpec plain;
    plain.vendorId = 0x1B4B;
    plain.deviceId = 0x9230;
    plain.name = "RX-Pine 9230";
    plain.biosVersion = 0x0215;
    plain.channelCount = 4;
    plain.raid5 = true;
    plain.drives = {SimDrive(0, 0, "Strata 2000 NAS", 3907029168),
                    SimDrive(1, 0, "Strata 2000 NAS", 3907029168),
                    SimDrive(2, 0, "Strata 2000 NAS", 3907029168)};
    plain.sets = {SimSet(0, 16, 0, {0, 1, 2})};
    s.controllers = {pm, plain};
    return s;
}

ClientSettings MainWindowTest::QuietSettings() {
    ClientSettings settings;
    settings.password = "kavo";
    settings.autoConnect = false;
    return settings;
}

void MainWindowTest::Start(sim::Scenario scenario, Transport transport, ClientSettings settings) {
    ResetMemberCursor();
    session_ = std::make_unique<SimSession>(std::move(scenario), transport);
    if (settings.hostName == ".") {
        settings.hostName = session_->host();
    }
    window_ = std::make_unique<CKavoGUIDlg>(settings, ui, tray, &clock, &diagram);
    window_->SetPopupWindows(false);
    window_->Initialize();
}

void MainWindowTest::TearDown() {
    window_.reset();
    session_.reset();
    SetUiLanguage(Language::English);
}

void MainWindowTest::Connect() {
    ASSERT_TRUE(window_->ClickItem(control_id::kConnect));
    ASSERT_TRUE(window_->State().isConnected) << ::testing::PrintToString(ui.messageTexts());
}

std::vector<PopupEntry> MainWindowTest::TakePopups() {
    std::vector<PopupEntry> popups;
    while (auto entry = window_->Popups().Pop()) {
        popups.push_back(*entry);
    }
    return popups;
}

std::vector<app::NotifyRecord> MainWindowTest::TakeTrayRecords() {
    std::vector<app::NotifyRecord> records;
    for (const auto& call : tray.calls) {
        if (call.op != app::NotifyOp::Delete) {
            records.push_back(call.record);
        }
    }
    tray.calls.clear();
    return records;
}

std::vector<std::uint32_t> MainWindowTest::receivedCodes() const {
    std::vector<std::uint32_t> codes;
    for (const auto& entry : session_->sim().transcript()) {
        codes.push_back(entry.code);
    }
    return codes;
}

}  // namespace veltrix::testing
