#include "support/main_window_fixture.h"

#include <cstdlib>

#include "model/raid_set.h"
#include "texts/strings.h"

namespace veltrix::testing {

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
    // The session asks the scripted user directly on its own thread.
    window_ = std::make_unique<MainWindow>(settings, ui, tray, &clock, &diagram, nullptr, &ui);
    window_->SetPopupWindows(false);
    window_->Initialize();
    driver_ = std::make_unique<WindowDriver>(*window_);
}

void MainWindowTest::Settle() {
    if (!window_) {
        return;
    }
    // A report may make the window ask the session again (a reconnect), whose reports
    // come back in turn: a few rounds settle every chain the window has.
    for (int round = 0; round < 4; ++round) {
        HostList& hosts = window_->WatchedHosts();
        for (int row = 0; row < hosts.Count(); ++row) {
            hosts.At(row)->Session().Sync();
        }
        window_->Session().Sync();
        QCoreApplication::sendPostedEvents();
    }
}

void MainWindowTest::WatchFurtherHosts(std::vector<sim::Scenario> further) {
    std::vector<HostEntry> hosts = {{.name = QStringLiteral("Here"),
                                     .address = window_->Settings().hostName,
                                     .password = window_->Settings().password,
                                     .autoConnect = false}};
    // Host "." stays the fixture's service: each further one's pipe folder is its own.
    const std::string pipeDir = std::getenv(transport::kPipeDirVariable);
    for (sim::Scenario& scenario : further) {
        further_.push_back(std::make_unique<SimSession>(std::move(scenario), Transport::Tcp));
        ::setenv(transport::kPipeDirVariable, pipeDir.c_str(), 1);
        hosts.push_back({.name = QStringLiteral("Host %1").arg(further_.size() + 1),
                         .address = "127.0.0.1:" + std::to_string(further_.back()->sim().TcpPort()),
                         .password = "kavo",
                         .autoConnect = false});
    }
    window_->SetHosts(hosts);
    Settle();
}

void MainWindowTest::TearDown() {
    driver_.reset();
    window_.reset();
    further_.clear();
    session_.reset();
    SetUiLanguage(Language::English);
}

void MainWindowTest::StartConnectedWithEveryPopup() {
    ClientSettings settings = QuietSettings();
    settings.popupEnabled = true;
    settings.popupLevel = 0;
    Start(sim::TwoControllerScenario(), Transport::Local, settings);
    Connect();
    FirstTick();
    TakePopups();
}

void MainWindowTest::Connect() {
    ASSERT_TRUE(Click(control_id::kConnect));
    ASSERT_TRUE(window().Monitor().IsConnected()) << ::testing::PrintToString(ui.messageTexts());
}

std::vector<PopupEntry> MainWindowTest::TakePopups() {
    std::vector<PopupEntry> popups;
    while (auto entry = window().Popups().Pop()) {
        popups.push_back(*entry);
    }
    return popups;
}

std::vector<shell::NotifyRecord> MainWindowTest::TakeTrayRecords() {
    Settle();
    std::vector<shell::NotifyRecord> records;
    for (const auto& call : tray.calls) {
        if (call.op != shell::NotifyOp::Delete) {
            records.push_back(call.record);
        }
    }
    tray.calls.clear();
    return records;
}

std::vector<std::uint32_t> MainWindowTest::receivedCodes() const {
    std::vector<std::uint32_t> codes;
    for (const auto& entry : session_->sim().Transcript()) {
        codes.push_back(entry.code);
    }
    return codes;
}

}  // namespace veltrix::testing
