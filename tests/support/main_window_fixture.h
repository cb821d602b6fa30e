#pragma once
// The main window against the simulated service: window timers on a manual clock,
// message boxes answered by a script, a notification area and a controller picture
// that record what they are given.

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "gui/mainwindow/main_window.h"
#include "gui/shell/tray_host.h"
#include "servicesim/scenario.h"
#include "servicesim/scenario_builders.h"
#include "session/manual_time_source.h"
#include "support/scripted_ui.h"
#include "support/sim_session.h"
#include "support/window_driver.h"

namespace veltrix::testing {

class RecordingTrayHost : public shell::TrayHost {
  public:
    struct Call {
        shell::NotifyOp op;
        shell::NotifyRecord record;
    };

    void Notify(shell::NotifyOp op, const shell::NotifyRecord& record) override {
        calls.push_back({op, record});
    }
    bool IsAvailable() const override { return available; }

    // The calls that carried a balloon.
    std::vector<shell::NotifyRecord> balloons() const {
        std::vector<shell::NotifyRecord> out;
        for (const Call& call : calls) {
            if (call.record.flags.testFlag(shell::NotifyPart::Balloon)) {
                out.push_back(call.record);
            }
        }
        return out;
    }

    bool available = false;
    std::vector<Call> calls;
};

class RecordingDiagram : public DiagramView {
  public:
    void Draw(const DiagramState& state) override {
        drawn.push_back(state);
        if (forward != nullptr) {
            forward->Draw(state);
        }
    }
    std::vector<DiagramState> drawn;
    // Draws the records as well, when set (the program's own view, for its pictures).
    DiagramView* forward = nullptr;
};

class MainWindowTest : public ::testing::Test {
  protected:
    void TearDown() override;

    // Starts the service and builds and initialises the window (hidden; tests show it
    // when they need to).
    void Start(sim::Scenario scenario, Transport transport = Transport::Local,
               ClientSettings settings = QuietSettings());
    // Settings of a user who connects by hand with the right password.
    static ClientSettings QuietSettings();

    // Presses Connect and expects the login to succeed.
    void Connect();
    // Connected to the two-controller service with a popup for every event, past the
    // first tick and its popups.
    void StartConnectedWithEveryPopup();
    // The first poll tick after connect, then the following ones.
    void FirstTick() {
        clock.Advance(500);
        Settle();
    }
    void Tick() {
        clock.Advance(5000);
        Settle();
    }
    // The popups queued so far (taken out of the queue).
    std::vector<PopupEntry> TakePopups();
    // Tooltips and balloons given to the notification area since the last call.
    std::vector<shell::NotifyRecord> TakeTrayRecords();

    // The window and its session, after everything they sent each other so far has
    // been handled: requests run on the session's thread, reports reached the window.
    MainWindow& window() {
        Settle();
        return *window_;
    }
    // The user's hands on the window: controls found by their ids.
    WindowDriver& driver() {
        Settle();
        return *driver_;
    }
    ServiceSession& session() {
        Settle();
        return window_->Session();
    }
    void Settle();
    // Watches the fixture's service as "Here" and one more service for each of
    // `further` as "Host 2", "Host 3"..., over TCP; the sessions stay not connected.
    void WatchFurtherHosts(std::vector<sim::Scenario> further);
    sim::ServiceSim& furtherSim(std::size_t i) { return further_[i]->sim(); }
    // The window as it is, while the session may still be busy.
    MainWindow& unsettledWindow() { return *window_; }
    // Clicks a control of the window and lets what it started run.
    bool Click(int id) {
        const bool clicked = driver().ClickItem(id);
        Settle();
        return clicked;
    }
    sim::ServiceSim& sim() { return session_->sim(); }
    std::string host() const { return session_->host(); }
    // The codes the service received, in order.
    std::vector<std::uint32_t> receivedCodes() const;

    ManualTimeSource clock;
    ScriptedUi ui;
    RecordingTrayHost tray;
    RecordingDiagram diagram;

  private:
    std::unique_ptr<SimSession> session_;
    std::vector<std::unique_ptr<SimSession>> further_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<WindowDriver> driver_;
};

}  // namespace veltrix::testing
