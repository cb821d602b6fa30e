#include "gui/mainwindow/main_window_view.h"

#include "watch/host_state.h"

#include <QDialog>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStringList>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

#include "gui/diagram/diagram_area.h"
#include "gui/diagram/diagram_pictures.h"
#include "gui/hostlist/host_list_view.h"
#include "gui/hostview/connect_progress.h"
#include "gui/hostview/status_list.h"
#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"
#include "session/rebuild_figures.h"
#include "session/reconnect_backoff.h"
#include "texts/strings.h"
#include "watch/device_table_model.h"
#include "watch/event_history.h"
#include "watch/raid_set_table_model.h"

namespace veltrix {

namespace {

using namespace control_id;
using platform::SetControlId;

constexpr int kDefaultWidth = 860;
constexpr int kDefaultHeight = 600;

// The longest wait before an automatic connect, in whole seconds: the last delay with
// its jitter added.
constexpr int kLongestCountdownS =
    ReconnectBackoff::kMaxDelayMs / 1000 * (100 + ReconnectBackoff::kJitterPercent) / 100;
// The widest rebuild figures the window makes room for: 10 GB/s, and a rebuild left to
// run for almost two years.
constexpr float kWidestSpeed = 9999.99f;
constexpr std::uint64_t kWidestDurationMinutes = 999999;

// A label that holds the room of the widest text it will show from the start, so that
// its neighbours keep their place and size whatever it shows (or, when it keeps its
// room while hidden, whether it shows at all). The room follows the label's font.
class RoomyLabel : public QLabel {
  public:
    // `widest`: the longest text the label will show; each of its digits may be any.
    RoomyLabel(QWidget* parent, const QString& widest) : QLabel(parent) {
        for (char digit = '0'; digit <= '9'; ++digit) {
            QString sample = widest;
            for (QChar& c : sample) {
                if (c.isDigit()) {
                    c = QLatin1Char(digit);
                }
            }
            samples_ << sample;
        }
    }

    QSize sizeHint() const override { return WithRoom(QLabel::sizeHint()); }
    QSize minimumSizeHint() const override { return WithRoom(QLabel::minimumSizeHint()); }

  private:
    QSize WithRoom(QSize size) const {
        const QFontMetrics metrics = fontMetrics();
        const QMargins margins = contentsMargins();
        int room = 0;
        // Measured as QLabel measures its own text, so that the room and the text round alike.
        const QRect area(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        for (const QString& sample : samples_) {
            room = std::max(
                room, metrics.boundingRect(area, static_cast<int>(alignment()), sample).width());
        }
        room += margins.left() + margins.right() + 2 * margin();
        size.setWidth(std::max(size.width(), room));
        return size;
    }

    QStringList samples_;
};

// A RoomyLabel with a control id.
QLabel* RoomyLabelWithId(QWidget* parent, int id, const QString& widest, const QString& text) {
    auto* label = new RoomyLabel(parent, widest);
    label->setText(text);
    SetControlId(label, id);
    return label;
}

template <typename W>
W* WithId(W* widget, int id) {
    SetControlId(widget, id);
    return widget;
}

QLabel* Label(QWidget* parent, int id, const QString& text) {
    auto* label = new QLabel(text, parent);
    if (id != 0) {
        SetControlId(label, id);
    }
    return label;
}

// A list of `rows`, or of an empty model of its own.
template <typename EmptyModel>
StatusList* List(QWidget* parent, int id, QAbstractItemModel* rows) {
    auto* list = WithId(new StatusList(parent), id);
    list->setModel(rows != nullptr ? rows : new EmptyModel(list));
    return list;
}

// Host and password, the connect buttons, and the hidden Exit button and event log.
QHBoxLayout* BuildConnectionRow(QWidget* w, MainWindowView& v, QAbstractItemModel* events) {
    v.host = WithId(new QLineEdit(w), kHost);
    v.host->setMaxLength(63);
    v.password = WithId(new QLineEdit(w), kPassword);
    v.password->setEchoMode(QLineEdit::Password);
    v.connect = WithId(new QPushButton(
                           //% "Connect"
                           qtTrId("main.connect"), w),
                       kConnect);
    v.connect->setDefault(true);
    v.disconnect = WithId(new QPushButton(
                              //% "Disconnect"
                              qtTrId("main.disconnect"), w),
                          kDisconnect);
    v.disconnect->setEnabled(false);
    v.ende = WithId(new QPushButton(QStringLiteral("ENDE"), w), kEnde);
    v.ende->hide();
    // The countdown keeps its room while hidden: it comes and goes without moving the row.
    v.reconnectStatus = RoomyLabelWithId(w, kReconnectStatus,
                                         ReconnectCountdownText(kLongestCountdownS), QString());
    QSizePolicy countdownPolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    countdownPolicy.setRetainSizeWhenHidden(true);
    v.reconnectStatus->setSizePolicy(countdownPolicy);
    v.reconnectStatus->hide();
    v.eventLog = WithId(new QListView(w), kEventLog);
    v.eventLog->setModel(events != nullptr ? events : new EventHistory(v.eventLog));
    v.eventLog->setUniformItemSizes(true);
    v.eventLog->hide();

    // The captions name their fields for a screen reader.
    auto* hostLabel = new QLabel(
        //% "Host:"
        qtTrId("main.host"), w);
    hostLabel->setBuddy(v.host);
    auto* passwordLabel = new QLabel(
        //% "Password:"
        qtTrId("main.password"), w);
    passwordLabel->setBuddy(v.password);

    auto* connection = new QHBoxLayout;
    connection->addWidget(hostLabel);
    connection->addWidget(v.host, 3);
    connection->addSpacing(8);
    connection->addWidget(passwordLabel);
    connection->addWidget(v.password, 3);
    connection->addSpacing(8);
    connection->addWidget(v.connect);
    connection->addWidget(v.disconnect);
    // The countdown stands where the row's free room begins, and takes that room.
    connection->addWidget(v.reconnectStatus, 1);
    connection->addWidget(v.eventLog);
    connection->addWidget(v.ende);
    return connection;
}

// The logo at the top right, the badge beside it; magenta in them is transparent. The
// badge gets its picture when it is first shown (most versions never show it).
QHBoxLayout* BuildLogoAndBadge(QWidget* w, MainWindowView& v) {
    v.betaBadge = Label(w, picture_id::kBetaBadge, QString());
    v.betaBadge->hide();
    v.logo = Label(w, picture_id::kLogo, QString());
    v.logo->setPixmap(KeyedPicture(picture_id::kLogo));
    auto* pictures = new QHBoxLayout;
    pictures->setSpacing(3);
    pictures->addWidget(v.betaBadge, 0, Qt::AlignTop);
    pictures->addWidget(v.logo, 0, Qt::AlignTop);
    return pictures;
}

// Controller tabs above the controller page.
void BuildControllerTabs(QWidget* w, MainWindowView& v) {
    v.tabs = WithId(new QTabBar(w), kControllerTabs);
    v.tabs->setExpanding(false);
    v.tabs->setDrawBase(true);
    v.tabs->addTab(QStringLiteral("---"));
    v.tabs->setAccessibleName(
        //% "Controllers"
        qtTrId("main.controllers"));
}

// Controller area: caption and value per row; the port-multiplier row only for
// controllers that have one.
QFormLayout* BuildControllerArea(QWidget* w, MainWindowView& v) {
    auto* controller = new QFormLayout;
    controller->setLabelAlignment(Qt::AlignLeft);
    const auto value = [w](int id) { return Label(w, id, QStringLiteral("-")); };
    v.controllerNumber = value(kControllerNumber);
    v.driverVersion = value(kDriverVersion);
    v.biosVersion = value(kBiosVersion);
    v.chipset = value(kChipset);
    v.raid5Support = value(kRaid5Support);
    v.jbodSupport = value(kJbodSupport);
    v.pmSupport = value(kPmSupport);
    v.pmSupportLabel = Label(w, kPmSupportLabel,
                             //% "PM support:"
                             qtTrId("main.pm-support"));
    controller->addRow(
        //% "Controller Number:"
        qtTrId("main.controller-number"), v.controllerNumber);
    controller->addRow(
        //% "Driver Version:"
        qtTrId("main.driver-version"), v.driverVersion);
    controller->addRow(
        //% "BIOS Version:"
        qtTrId("main.bios-version"), v.biosVersion);
    controller->addRow(
        //% "Chipset:"
        qtTrId("main.chipset"), v.chipset);
    controller->addRow(
        //% "RAID 5 support:"
        qtTrId("main.raid-5-support"), v.raid5Support);
    controller->addRow(
        //% "JBOD support:"
        qtTrId("main.jbod-support"), v.jbodSupport);
    controller->addRow(v.pmSupportLabel, v.pmSupport);
    v.pmSupportLabel->hide();
    v.pmSupport->hide();
    return controller;
}

// The drive and RAID set lists, one above the other; they take the room the window gains.
QVBoxLayout* BuildLists(QWidget* w, MainWindowView& v, const MainWindowModels& models) {
    v.devices = List<DeviceTableModel>(w, kDeviceList, models.devices);
    v.sets = List<RaidSetTableModel>(w, kSetList, models.sets);
    // Lists take no name from a caption: they are named for a screen reader.
    v.devices->setAccessibleName(
        //% "Drives"
        qtTrId("main.drives"));
    v.sets->setAccessibleName(
        //% "RAID sets"
        qtTrId("main.raid-sets"));
    auto* lists = new QVBoxLayout;
    lists->addWidget(v.devices, 1);
    lists->addWidget(v.sets, 1);
    return lists;
}

// Information on the selected drive or set; the program renames the captions.
void BuildInfoGroup(QWidget* w, MainWindowView& v) {
    v.info = WithId(new QGroupBox(
                        //% "RAID Info"
                        qtTrId("main.raid-info"), w),
                    kInfoGroup);
    auto* info = new QFormLayout(v.info);
    constexpr std::array<int, 7> kLabelIds = {kRow1Label, kRow2Label, kRow3Label, kRow4Label,
                                              kRow5Label, kRow6Label, kRow7Label};
    constexpr std::array<int, 7> kValueIds = {kRow1Value, kRow2Value, kRow3Value, kRow4Value,
                                              kRow5Value, kRow6Value, kRow7Value};
    const std::array<QString, 7> captions = {//% "RAID Set Number:"
                                             qtTrId("main.raid-set-number"),

                                             //% "Port:"
                                             qtTrId("main.port-2"),

                                             //% "RAID Type:"
                                             qtTrId("main.raid-type"),

                                             //% "Capacity:"
                                             qtTrId("main.capacity-2"),

                                             //% "Chunksize:"
                                             qtTrId("main.chunksize-2"),

                                             //% "Interfacemode:"
                                             qtTrId("main.interfacemode"),

                                             //% "RAID Status:"
                                             qtTrId("main.raid-status")};
    for (std::size_t row = 0; row < kLabelIds.size(); ++row) {
        v.infoLabels[row] = Label(v.info, kLabelIds[row], captions[row]);
        v.infoValues[row] = Label(v.info, kValueIds[row], QStringLiteral("-"));
        v.infoValues[row]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        info->addRow(v.infoLabels[row], v.infoValues[row]);
    }
    // Rows 1 and 6 belong to drives and sets only when they are shown.
    for (const std::size_t row : {std::size_t{0}, std::size_t{5}}) {
        v.infoLabels[row]->hide();
        v.infoValues[row]->hide();
    }
}

// Rebuild: progress with its percentage, speed, duration and the priority; hidden
// until a rebuild runs.
QGridLayout* BuildRebuildControls(QWidget* w, MainWindowView& v) {
    v.progress = WithId(new QProgressBar(w), kProgress);
    v.progress->setTextVisible(false);
    v.percent = Label(w, kPercent, QStringLiteral("0%"));
    v.percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    v.speedCaption = Label(w, kSpeedCaption,
                           //% "Rebuild Speed:"
                           qtTrId("main.rebuild-speed"));
    // Speed and duration have their widest figures' room from the start: the progress
    // bar beside them keeps its size while a rebuild runs.
    v.speed = RoomyLabelWithId(w, kSpeed, QString::fromStdString(SpeedText(kWidestSpeed)),
                               QStringLiteral("-"));
    v.durationCaption = Label(w, kDurationCaption,
                              //% "Estimated Duration:"
                              qtTrId("main.estimated-duration"));
    v.duration =
        RoomyLabelWithId(w, kDuration, QString::fromStdString(DurationText(kWidestDurationMinutes)),
                         QStringLiteral("-"));
    v.priority = WithId(new QSlider(Qt::Horizontal, w), kPriority);
    v.priority->setTickPosition(QSlider::TicksBelow);
    v.priorityLow = Label(w, kPriorityLow,
                          //% "Low"
                          qtTrId("main.low"));
    v.priorityCaption = Label(w, kPriorityCaption,
                              //% "Priority"
                              qtTrId("main.priority"));
    v.priorityCaption->setAlignment(Qt::AlignCenter);
    v.priorityHigh = Label(w, kPriorityHigh,
                           //% "High"
                           qtTrId("main.high"));
    v.priorityHigh->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    v.priority->setAccessibleName(
        //% "Rebuild priority"
        qtTrId("main.rebuild-priority"));
    v.progress->setAccessibleName(
        //% "Rebuild progress"
        qtTrId("main.rebuild-progress"));
    for (QWidget* control : v.RebuildControls()) {
        control->hide();
        control->setEnabled(control == v.progress);
    }

    auto* rebuild = new QGridLayout;
    rebuild->addWidget(v.progress, 0, 0, 1, 2);
    rebuild->addWidget(v.percent, 0, 2);
    rebuild->addWidget(v.speedCaption, 1, 0, 1, 2);
    rebuild->addWidget(v.speed, 1, 2);
    rebuild->addWidget(v.durationCaption, 2, 0, 1, 2);
    rebuild->addWidget(v.duration, 2, 2);
    rebuild->setRowMinimumHeight(3, 12);
    rebuild->addWidget(v.priority, 4, 0, 1, 3);
    rebuild->addWidget(v.priorityLow, 5, 0);
    rebuild->addWidget(v.priorityCaption, 5, 1);
    rebuild->addWidget(v.priorityHigh, 5, 2);
    rebuild->setRowStretch(6, 1);
    rebuild->setColumnStretch(1, 1);
    return rebuild;
}

// Tab order as the controls read: connection row, tabs, lists, slider.
void SetTabOrder(const MainWindowView& v) {
    QWidget::setTabOrder(v.host, v.password);
    QWidget::setTabOrder(v.password, v.connect);
    QWidget::setTabOrder(v.connect, v.disconnect);
    QWidget::setTabOrder(v.disconnect, v.hostList);
    QWidget::setTabOrder(v.hostList, v.tabs);
    QWidget::setTabOrder(v.tabs, v.devices);
    QWidget::setTabOrder(v.devices, v.sets);
    QWidget::setTabOrder(v.sets, v.priority);
}

}  // namespace

QString ReconnectCountdownText(int seconds) {
    // The host list's line of a waiting host says the same.
    return StateLineOf(HostState::Reconnecting, 0, seconds);
}

QString StaleHostText(const QString& time) {
    //% "Not connected — as read at %1"
    return qtTrId("main.not-connected-as-read-at-1").arg(time);
}

// The groups are built in the order their controls were always created, so the
// window's children keep their order.
MainWindowView BuildMainWindowView(QDialog& window, MainWindowModels models) {
    MainWindowView v;
    QWidget* w = &window;

    QHBoxLayout* connection = BuildConnectionRow(w, v, models.events);
    connection->addLayout(BuildLogoAndBadge(w, v));
    BuildControllerTabs(w, v);

    QFormLayout* controller = BuildControllerArea(w, v);
    QVBoxLayout* lists = BuildLists(w, v, models);
    auto* page = new QHBoxLayout;
    page->addLayout(controller);
    page->addSpacing(16);
    page->addLayout(lists, 1);

    BuildInfoGroup(w, v);
    QGridLayout* rebuild = BuildRebuildControls(w, v);
    // The controller picture keeps its size in logical pixels.
    v.diagram = WithId(new DiagramArea(w), kDiagram);
    v.diagram->setAccessibleName(
        //% "Controller picture"
        qtTrId("main.controller-picture"));

    auto* lower = new QHBoxLayout;
    lower->addWidget(v.diagram, 0, Qt::AlignTop);
    lower->addWidget(v.info, 1);
    lower->addLayout(rebuild, 1);

    // The body beside the host list, which takes no room while it is hidden.
    auto* body = new QVBoxLayout;
    body->addWidget(v.tabs);
    body->addLayout(page, 1);
    body->addLayout(lower);
    auto* hostsAndBody = new QHBoxLayout;
    hostsAndBody->addLayout(body, 1);

    auto* layout = new QVBoxLayout(w);
    layout->addLayout(connection);
    layout->addLayout(hostsAndBody, 1);
    // Made last, so that the children made before keep their order.
    v.connectProgress = new ConnectProgress(w);
    layout->insertWidget(1, v.connectProgress);
    v.hostList = WithId(new HostListView(w), kHostList);
    v.hostList->setAccessibleName(
        //% "Hosts"
        qtTrId("main.host-list"));
    v.hostList->hide();
    hostsAndBody->insertWidget(0, v.hostList);
    SetTabOrder(v);

    // Room for the usual four drives and two sets without scrolling; more on request.
    window.resize(window.sizeHint().expandedTo(QSize(kDefaultWidth, kDefaultHeight)));
    return v;
}

}  // namespace veltrix
