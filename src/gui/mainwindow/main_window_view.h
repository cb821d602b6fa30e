#pragma once
// The main window's controls in their layouts, in the program's language. Each
// control carries its resource id (platform/control_id.h); the window reaches them
// through these typed members, the host's body among them (HostBodyView).

#include "gui/hostview/host_body_view.h"

class QAbstractItemModel;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QString;

namespace veltrix {

class HostListView;

struct MainWindowView : HostBodyView {
    // Connection row; `ende` is the hidden button of the Exit path.
    QLineEdit* host = nullptr;
    QLineEdit* password = nullptr;
    QPushButton* connect = nullptr;
    QPushButton* disconnect = nullptr;
    QPushButton* ende = nullptr;
    QLabel* reconnectStatus = nullptr;

    // The maker's logo at the top right and the BETA badge beside it (hidden unless
    // the program's version has a revision).
    QLabel* logo = nullptr;
    QLabel* betaBadge = nullptr;

    // The watched hosts beside the body, shown only with two or more.
    HostListView* hostList = nullptr;
};

// What the lists show: the drive and RAID set lists' table models and the event
// history. Each one left null is an empty one of the window's own.
struct MainWindowModels {
    QAbstractItemModel* devices = nullptr;
    QAbstractItemModel* sets = nullptr;
    QAbstractItemModel* events = nullptr;
};

// The reconnect countdown's text: the next automatic connect in `seconds`.
QString ReconnectCountdownText(int seconds);
// The line of a host whose connection was lost, whose lists are as read at `time`.
QString StaleHostText(const QString& time);

// Builds the controls into `window` (which owns them) and returns them.
MainWindowView BuildMainWindowView(QDialog& window, MainWindowModels models = {});

}  // namespace veltrix
