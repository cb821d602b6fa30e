#include "ui/platform/dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "session/qt_time_source.h"
#include "session/timers.h"
#include "ui/platform/control_factory.h"
#include "ui/platform/list_box.h"
#include "ui/platform/menu.h"

namespace veltrix::platform {
namespace {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

std::string FromQt(const QString& text) {
    return text.toStdString();
}

// The position in a sorted combo box where `text` goes (after equal rows).
int SortedComboIndex(const QComboBox& combo, const QString& text) {
    int index = 0;
    while (index < combo.count() &&
           QString::compare(combo.itemText(index), text, Qt::CaseInsensitive) <= 0) {
        ++index;
    }
    return index;
}

}  // namespace

Dialog::Dialog(const DialogTemplate& dialogTemplate, QWidget* parent, TimeSource* time)
    : QDialog(parent),
      templateId_(dialogTemplate.id),
      layout_(new QVBoxLayout(this)),
      client_(new QWidget(this)) {
    const Language language = UiLanguage();
    setWindowTitle(ToQt(LocalText(dialogTemplate.titleEn, dialogTemplate.titleDe, language)));
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->setSizeConstraint(QLayout::SetFixedSize);
    layout_->addWidget(client_);
    client_->setFixedSize(dialogTemplate.width, dialogTemplate.height);

    items_.reserve(dialogTemplate.controls.size());
    for (const ControlTemplate& control : dialogTemplate.controls) {
        AddControl(control, language);
    }

    if (time == nullptr) {
        ownTime_ = std::make_unique<QtTimeSource>();
        time = ownTime_.get();
    }
    timers_ = std::make_unique<WindowTimers>(*time, [this](int id) { OnTimer(id); });

    // Keys reach OnKey before any control of this window sees them.
    qApp->installEventFilter(this);
}

Dialog::~Dialog() {
    qApp->removeEventFilter(this);
    timers_.reset();
}

void Dialog::AddControl(const ControlTemplate& control, Language language) {
    QWidget* widget = CreateControl(control, client_, language);
    if (control.kind == ControlKind::RadioButton) {
        if (radioGroup_ == nullptr || control.style.group) {
            radioGroup_ = new QButtonGroup(this);
            radioGroup_->setExclusive(true);
        }
        radioGroup_->addButton(static_cast<QAbstractButton*>(widget));
    } else {
        radioGroup_ = nullptr;
    }
    items_.push_back({control, widget});
    byId_.emplace(control.id, items_.size() - 1);
    Connect(control, widget);
}

void Dialog::Connect(const ControlTemplate& control, QWidget* widget) {
    const int id = control.id;
    switch (control.kind) {
        case ControlKind::PushButton:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
                    [this, id] { OnCommand(id); });
            break;
        case ControlKind::ListBox:
            connect(static_cast<ListBox*>(widget), &ListBox::userSelChange, this,
                    [this, id] { OnSelChange(id); });
            break;
        case ControlKind::ComboBox:
            // activated: chosen by the user only.
            connect(static_cast<QComboBox*>(widget), &QComboBox::activated, this,
                    [this, id] { OnSelChange(id); });
            break;
        case ControlKind::TabControl:
            // Programmatic changes run with the bar's signals blocked.
            connect(static_cast<QTabBar*>(widget), &QTabBar::currentChanged, this,
                    [this, id] { OnSelChange(id); });
            break;
        case ControlKind::Trackbar:
            connect(static_cast<QSlider*>(widget), &QSlider::valueChanged, this,
                    [this, id] { OnScroll(id); });
            break;
        default:
            break;
    }
}

void Dialog::Initialize() {
    if (!initialized_) {
        initialized_ = true;
        OnInitDialog();
    }
}

void Dialog::EndDialog(int result) {
    ending_ = true;
    done(result);
    ending_ = false;
}

const Dialog::Item* Dialog::Find(int id) const {
    const auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : &items_[it->second];
}

template <typename W>
W* Dialog::Widget(int id, ControlKind kind) const {
    const Item* found = Find(id);
    return found != nullptr && found->control.kind == kind ? qobject_cast<W*>(found->widget)
                                                           : nullptr;
}

template <typename W>
W* Dialog::Widget(int id, ControlKind kind1, ControlKind kind2) const {
    W* widget = Widget<W>(id, kind1);
    return widget != nullptr ? widget : Widget<W>(id, kind2);
}

QWidget* Dialog::item(int id) const {
    const Item* found = Find(id);
    return found != nullptr ? found->widget : nullptr;
}

ControlKind Dialog::ItemKind(int id) const {
    const Item* found = Find(id);
    return found != nullptr ? found->control.kind : ControlKind::Static;
}

void Dialog::SetItemText(int id, const std::string& text) {
    QWidget* widget = item(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(ToQt(text));
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(ToQt(text));
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        plain->setPlainText(ToQt(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(ToQt(text));
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(ToQt(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->isEditable()) {
            combo->setEditText(ToQt(text));
        }
    }
}

std::string Dialog::ItemText(int id) const {
    QWidget* widget = item(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return FromQt(label->text());
    }
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        return FromQt(line->text());
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        return FromQt(plain->toPlainText());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return FromQt(button->text());
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        return FromQt(group->title());
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        return FromQt(combo->currentText());
    }
    return {};
}

void Dialog::ShowItem(int id, bool show) {
    if (QWidget* widget = item(id)) {
        widget->setVisible(show);
    }
}

bool Dialog::IsItemShown(int id) const {
    const QWidget* widget = item(id);
    return widget != nullptr && !widget->isHidden();
}

void Dialog::EnableItem(int id, bool enable) {
    if (QWidget* widget = item(id)) {
        widget->setEnabled(enable);
    }
}

bool Dialog::IsItemEnabled(int id) const {
    const QWidget* widget = item(id);
    return widget != nullptr && !widget->testAttribute(Qt::WA_ForceDisabled);
}

void Dialog::SetFocusItem(int id) {
    if (QWidget* widget = item(id)) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

void Dialog::SetCheck(int id, bool checked) {
    auto* button = Widget<QAbstractButton>(id, ControlKind::CheckBox, ControlKind::RadioButton);
    if (button == nullptr) {
        return;
    }
    QButtonGroup* group = button->group();
    if (!checked && group != nullptr && group->exclusive()) {
        // An exclusive group refuses to clear its checked button; the program may.
        group->setExclusive(false);
        button->setChecked(false);
        group->setExclusive(true);
        return;
    }
    button->setChecked(checked);
}

bool Dialog::GetCheck(int id) const {
    const auto* button =
        Widget<QAbstractButton>(id, ControlKind::CheckBox, ControlKind::RadioButton);
    return button != nullptr && button->isChecked();
}

int Dialog::AddRow(int id, const std::string& text) {
    if (auto* list = Widget<ListBox>(id, ControlKind::ListBox)) {
        return list->AddRow(ToQt(text));
    }
    if (auto* combo = Widget<QComboBox>(id, ControlKind::ComboBox)) {
        const int index =
            Find(id)->control.style.sorted ? SortedComboIndex(*combo, ToQt(text)) : combo->count();
        return InsertRow(id, index, text);
    }
    return -1;
}

int Dialog::InsertRow(int id, int index, const std::string& text) {
    if (auto* list = Widget<ListBox>(id, ControlKind::ListBox)) {
        return list->InsertRow(index, ToQt(text));
    }
    if (auto* combo = Widget<QComboBox>(id, ControlKind::ComboBox)) {
        if (index < 0 || index > combo->count()) {
            index = combo->count();
        }
        const QSignalBlocker blocker(combo);
        const int selected = combo->currentIndex();
        combo->insertItem(index, ToQt(text));
        // A combo box selects its first row by itself; a list shows no selection.
        combo->setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
        return index;
    }
    return -1;
}

int Dialog::DeleteRow(int id, int index) {
    if (auto* list = Widget<ListBox>(id, ControlKind::ListBox)) {
        if (index < 0 || index >= list->count()) {
            return -1;
        }
        delete list->takeItem(index);
        return list->count();
    }
    if (auto* combo = Widget<QComboBox>(id, ControlKind::ComboBox)) {
        if (index < 0 || index >= combo->count()) {
            return -1;
        }
        const QSignalBlocker blocker(combo);
        combo->removeItem(index);
        return combo->count();
    }
    return -1;
}

void Dialog::ClearRows(int id) {
    if (auto* list = Widget<ListBox>(id, ControlKind::ListBox)) {
        list->clear();
    } else if (auto* combo = Widget<QComboBox>(id, ControlKind::ComboBox)) {
        const QSignalBlocker blocker(combo);
        combo->clear();
    }
}

std::vector<std::string> Dialog::Rows(int id) const {
    std::vector<std::string> rows;
    const int count = RowCount(id);
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        rows.push_back(Row(id, i));
    }
    return rows;
}

std::string Dialog::Row(int id, int index) const {
    if (const auto* list = Widget<ListBox>(id, ControlKind::ListBox)) {
        const QListWidgetItem* row = list->item(index);
        return row != nullptr ? FromQt(row->text()) : std::string();
    }
    if (const auto* combo = Widget<QComboBox>(id, ControlKind::ComboBox)) {
        return index >= 0 && index < combo->count() ? FromQt(combo->itemText(index))
                                                    : std::string();
    }
    return {};
}

int Dialog::RowCount(int id) const {
    if (const auto* list = Widget<ListBox>(id, ControlKind::ListBox)) {
        return list->count();
    }
    if (const auto* combo = Widget<QComboBox>(id, ControlKind::ComboBox)) {
        return combo->count();
    }
    return 0;
}

void Dialog::SetSelectedRow(int id, int row) {
    if (auto* list = Widget<ListBox>(id, ControlKind::ListBox)) {
        list->SetSelectedRow(row);
    } else if (auto* combo = Widget<QComboBox>(id, ControlKind::ComboBox)) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(row >= 0 && row < combo->count() ? row : -1);
    }
}

int Dialog::SelectedRow(int id) const {
    if (const auto* list = Widget<ListBox>(id, ControlKind::ListBox)) {
        return list->SelectedRow();
    }
    if (const auto* combo = Widget<QComboBox>(id, ControlKind::ComboBox)) {
        return combo->currentIndex();
    }
    return -1;
}

int Dialog::InsertTab(int id, int index, const std::string& text) {
    auto* tabs = Widget<QTabBar>(id, ControlKind::TabControl);
    if (tabs == nullptr) {
        return -1;
    }
    const QSignalBlocker blocker(tabs);
    return tabs->insertTab(index, ToQt(text));
}

bool Dialog::DeleteTab(int id, int index) {
    auto* tabs = Widget<QTabBar>(id, ControlKind::TabControl);
    if (tabs == nullptr || index < 0 || index >= tabs->count()) {
        return false;
    }
    const QSignalBlocker blocker(tabs);
    tabs->removeTab(index);
    return true;
}

void Dialog::DeleteAllTabs(int id) {
    if (auto* tabs = Widget<QTabBar>(id, ControlKind::TabControl)) {
        const QSignalBlocker blocker(tabs);
        while (tabs->count() > 0) {
            tabs->removeTab(tabs->count() - 1);
        }
    }
}

bool Dialog::SetTabText(int id, int index, const std::string& text) {
    auto* tabs = Widget<QTabBar>(id, ControlKind::TabControl);
    if (tabs == nullptr || index < 0 || index >= tabs->count()) {
        return false;
    }
    tabs->setTabText(index, ToQt(text));
    return true;
}

std::string Dialog::TabText(int id, int index) const {
    const auto* tabs = Widget<QTabBar>(id, ControlKind::TabControl);
    return tabs != nullptr ? FromQt(tabs->tabText(index)) : std::string();
}

int Dialog::TabCount(int id) const {
    const auto* tabs = Widget<QTabBar>(id, ControlKind::TabControl);
    return tabs != nullptr ? tabs->count() : 0;
}

int Dialog::SelectedTab(int id) const {
    const auto* tabs = Widget<QTabBar>(id, ControlKind::TabControl);
    return tabs != nullptr ? tabs->currentIndex() : -1;
}

void Dialog::SelectTab(int id, int index) {
    if (auto* tabs = Widget<QTabBar>(id, ControlKind::TabControl)) {
        const QSignalBlocker blocker(tabs);
        tabs->setCurrentIndex(index);
    }
}

void Dialog::SetRange(int id, int min, int max) {
    if (auto* slider = Widget<QSlider>(id, ControlKind::Trackbar)) {
        const QSignalBlocker blocker(slider);
        slider->setRange(min, max);
    } else if (auto* bar = Widget<QProgressBar>(id, ControlKind::ProgressBar)) {
        bar->setRange(min, max);
    }
}

void Dialog::SetTickFrequency(int id, int frequency) {
    if (auto* slider = Widget<QSlider>(id, ControlKind::Trackbar)) {
        slider->setTickInterval(frequency);
    }
}

void Dialog::SetPos(int id, int pos) {
    if (auto* slider = Widget<QSlider>(id, ControlKind::Trackbar)) {
        const QSignalBlocker blocker(slider);
        slider->setValue(pos);
    } else if (auto* bar = Widget<QProgressBar>(id, ControlKind::ProgressBar)) {
        bar->setValue(std::clamp(pos, bar->minimum(), bar->maximum()));
    }
}

int Dialog::Pos(int id) const {
    if (const auto* slider = Widget<QSlider>(id, ControlKind::Trackbar)) {
        return slider->value();
    }
    if (const auto* bar = Widget<QProgressBar>(id, ControlKind::ProgressBar)) {
        return bar->value();
    }
    return 0;
}

void Dialog::SetPicture(int id, const QImage& image) {
    if (auto* label = Widget<QLabel>(id, ControlKind::Picture)) {
        label->setPixmap(QPixmap::fromImage(image));
    }
}

void Dialog::SetMenu(const MenuTemplate& menu) {
    QMenuBar* old = menu_ != nullptr ? menu_->Bar() : nullptr;
    menu_ = Menu::CreateBar(menu, this, [this](int id) { OnCommand(id); });
    layout_->setMenuBar(menu_->Bar());
    delete old;
}

void Dialog::CheckMenuItem(int id, bool checked) {
    if (menu_ != nullptr) {
        menu_->CheckItem(id, checked);
    }
}

bool Dialog::IsMenuItemChecked(int id) const {
    return menu_ != nullptr && menu_->IsItemChecked(id);
}

void Dialog::EnableMenuItem(int id, bool enabled) {
    if (menu_ != nullptr) {
        menu_->EnableItem(id, enabled);
    }
}

bool Dialog::IsMenuItemEnabled(int id) const {
    return menu_ != nullptr && menu_->IsItemEnabled(id);
}

void Dialog::SetTimer(int id, int ms) {
    timers_->Set(id, ms);
}

bool Dialog::KillTimer(int id) {
    return timers_->Kill(id);
}

bool Dialog::IsTimerSet(int id) const {
    return timers_->IsSet(id);
}

bool Dialog::Usable(const QWidget* widget) {
    return widget != nullptr && widget->isEnabled();
}

bool Dialog::ClickItem(int id) {
    auto* button = qobject_cast<QAbstractButton*>(item(id));
    if (!Usable(button)) {
        return false;
    }
    button->click();
    return true;
}

bool Dialog::UserSelectRow(int id, int row) {
    if (!Usable(item(id)) || row < 0 || row >= RowCount(id)) {
        return false;
    }
    SetSelectedRow(id, row);
    OnSelChange(id);
    return true;
}

bool Dialog::UserSelectTab(int id, int index) {
    auto* tabs = Widget<QTabBar>(id, ControlKind::TabControl);
    if (!Usable(tabs) || index < 0 || index >= tabs->count() || !tabs->isTabEnabled(index)) {
        return false;
    }
    tabs->setCurrentIndex(index);  // notifies when the tab really changes
    return true;
}

bool Dialog::UserMoveTrackbar(int id, int pos) {
    auto* slider = Widget<QSlider>(id, ControlKind::Trackbar);
    if (!Usable(slider)) {
        return false;
    }
    SetPos(id, pos);
    OnScroll(id);
    return true;
}

bool Dialog::UserChoose(int menuItemId) {
    return menu_ != nullptr && menu_->Choose(menuItemId);
}

void Dialog::UserPressKey(int key, int id) {
    QWidget* target = id != 0 ? item(id) : focusWidget();
    if (target == nullptr) {
        target = this;
    }
    QString text;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        text = QChar(u'a' + (key - Qt::Key_A));
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        text = QChar(u'0' + (key - Qt::Key_0));
    } else if (key == Qt::Key_Escape) {
        text = QChar(u'\x1b');
    }
    // Each simulated press gets its own time stamp, which tells it from an earlier one.
    static quint64 clock = 0;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    press.setTimestamp(++clock);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    release.setTimestamp(++clock);
    QApplication::sendEvent(target, &release);
}

void Dialog::OnCommand(int id) {
    if (id == IDOK) {
        OnOK();
    } else if (id == IDCANCEL) {
        OnCancel();
    }
}

void Dialog::accept() {
    OnCommand(IDOK);
}

void Dialog::reject() {
    OnCommand(IDCANCEL);
}

void Dialog::showEvent(QShowEvent* event) {
    Initialize();
    QDialog::showEvent(event);
}

void Dialog::closeEvent(QCloseEvent* event) {
    // The close button asks; OnClose decides whether the window really ends.
    event->ignore();
    if (!ending_) {
        OnClose();
    }
}

bool Dialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != this) {
        return QDialog::eventFilter(watched, event);
    }
    // Application filters see a key again for each parent it propagates to; only
    // the first delivery counts.
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = static_cast<QWidget*>(watched);
    const bool propagated = key == lastKey_.event && key->timestamp() == lastKey_.timestamp &&
                            lastKey_.receiver != nullptr && widget->isAncestorOf(lastKey_.receiver);
    lastKey_ = {key, key->timestamp(), widget};
    if (!propagated && OnKey(key->key())) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace veltrix::platform
