#pragma once
// A sample dialog and menu for the platform tests, with a dialog class that records
// every notification it gets.

#include <functional>
#include <string>
#include <vector>

#include "ui/platform/dialog.h"

namespace veltrix::platform::testing {

// Control ids of the sample template.
enum SampleId : int {
    kConnect = 1001,
    kDisconnect = 1003,
    kHost = 1004,
    kPassword = 1058,
    kNumber = 1005,
    kNotes = 1008,
    kControllerNumber = 1018,
    kPmLabel = 1094,
    kAutoconnect = 1020,
    kLow = 1021,
    kHigh = 1022,
    kOther = 1023,
    kDevices = 1065,
    kSorted = 1068,
    kTabs = 1066,
    kPriority = 1056,
    kProgress = 1050,
    kChoice = 1030,
    kSortedChoice = 1031,
    kInfoGroup = 1080,
    kPicture = 1090,
    kEnde = 1,
};

// Menu ids of the sample menu.
enum SampleMenuId : int {
    kShowLog = 32795,
    kExit = 32781,
    kAutoconnectItem = 32799,
    kStartMinimized = 32800,
    kAbout = 32778,
    kHelp = 32779,
};

DialogTemplate SampleTemplate();
MenuTemplate SampleMenu();

struct Notification {
    std::string kind;  // "command", "selchange", "scroll", "timer", "key", "init", "close"
    int id;
    bool operator==(const Notification&) const = default;
};

class SampleDialog : public Dialog {
  public:
    explicit SampleDialog(TimeSource* time = nullptr, const DialogTemplate& t = SampleTemplate())
        : Dialog(t, nullptr, time) {}

    std::vector<Notification> log;
    std::vector<int> consumedKeys;          // keys OnKey consumes
    std::function<void(int id)> onTimer;    // extra work inside OnTimer
    std::function<void(int id)> onCommand;  // replaces the default command handling

    int Count(const std::string& kind) const {
        int n = 0;
        for (const auto& entry : log) {
            n += entry.kind == kind ? 1 : 0;
        }
        return n;
    }

  protected:
    void OnInitDialog() override { log.push_back({"init", 0}); }
    void OnCommand(int id) override {
        log.push_back({"command", id});
        if (onCommand) {
            onCommand(id);
        } else {
            Dialog::OnCommand(id);
        }
    }
    void OnSelChange(int id) override { log.push_back({"selchange", id}); }
    void OnScroll(int id) override { log.push_back({"scroll", id}); }
    void OnTimer(int id) override {
        log.push_back({"timer", id});
        if (onTimer) {
            onTimer(id);
        }
    }
    bool OnKey(int key) override {
        log.push_back({"key", key});
        for (const int consumed : consumedKeys) {
            if (consumed == key) {
                return true;
            }
        }
        return false;
    }
    void OnClose() override {
        log.push_back({"close", 0});
        Dialog::OnClose();
    }
};

}  // namespace veltrix::platform::testing
