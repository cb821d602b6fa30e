#pragma once
// The controls that show one host: the controller tabs and area, the drive and RAID
// set lists, the information group, the rebuild controls and the controller picture.
// The window builds and lays them out; HostBody fills them.

#include <array>

class QGroupBox;
class QLabel;
class QListView;
class QProgressBar;
class QSlider;
class QTabBar;
class QWidget;

namespace veltrix {

class ConnectProgress;
class DiagramArea;
class StatusList;

struct HostBodyView {
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

    // The ten rebuild controls in their order.
    std::array<QWidget*, 10> RebuildControls() const;
};

}  // namespace veltrix
