#pragma once
// The main window's controls in their layouts, in the program's language. Each
// control carries its resource id (platform/control_id.h); the window reaches them
// through these typed members.

#include <array>

class QAbstractItemModel;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QSlider;
class QTabBar;
class QWidget;

namespace veltrix {

class ConnectProgress;
class DiagramArea;
class StatusList;

struct MainWindowView {
    // Connection row; `ende` is the hidden button of the Exit path.
    QLineEdit* host = nullptr;
    QLineEdit* password = nullptr;
    QPushButton* connect = nullptr;
    QPushButton* disconnect = nullptr;
    QPushButton* ende = nullptr;
    QLabel* reconnectStatus = nullptr;

    // Below the connection row while the controllers are read after the login.
    ConnectProgress* connectProgress = nullptr;

    QTabBar* tabs = nullptr;

    // Controller area: the values, and the port-multiplier caption shown with its value.
    QLabel* controllerNumber = nullptr;
    QLabel* driverVersion = nullptr;
    QLabel* biosVersion = nullptr;
    QLabel* chipset = nullptr;
    QLabel* raid5Support = nullptr;
    QLabel* jbodSupport = nullptr;
    QLabel* pmSupport = nullptr;
    QLabel* pmSupportLabel = nullptr;

    // Drive and RAID set lists with header columns; the event log is never shown.
    StatusList* devices = nullptr;
    StatusList* sets = nullptr;
    QListView* eventLog = nullptr;

    // Information group: seven caption / value rows.
    QGroupBox* info = nullptr;
    std::array<QLabel*, 7> infoLabels{};
    std::array<QLabel*, 7> infoValues{};

    // Rebuild controls.
    QSlider* priority = nullptr;
    QLabel* priorityLow = nullptr;
    QLabel* priorityHigh = nullptr;
    QLabel* priorityCaption = nullptr;
    QLabel* speedCaption = nullptr;
    QLabel* speed = nullptr;
    QLabel* durationCaption = nullptr;
    QLabel* duration = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* percent = nullptr;

    // The controller picture, 188 x 171 logical pixels.
    DiagramArea* diagram = nullptr;
    // The maker's logo at the top right and the BETA badge beside it (hidden unless
    // the program's version has a revision).
    QLabel* logo = nullptr;
    QLabel* betaBadge = nullptr;

    // The ten rebuild controls in their order.
    std::array<QWidget*, 10> RebuildControls() const;
};

// What the lists show: the drive and RAID set lists' table models and the event
// history. Each one left null is an empty one of the window's own.
struct MainWindowModels {
    QAbstractItemModel* devices = nullptr;
    QAbstractItemModel* sets = nullptr;
    QAbstractItemModel* events = nullptr;
};

// Builds the controls into `window` (which owns them) and returns them.
MainWindowView BuildMainWindowView(QDialog& window, MainWindowModels models = {});

}  // namespace veltrix
