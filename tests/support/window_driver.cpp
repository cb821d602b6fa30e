#include "support/window_driver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTest>
#include <algorithm>

namespace veltrix::testing {
namespace {

std::string FromQt(const QString& text) {
    return text.toStdString();
}

// Controls of another window the window owns (a dialog, a view) are not its own.
template <typename T>
QObject* Unique(const QWidget& window, int id, const char* kind) {
    QList<T*> found = window.findChildren<T*>(QString::number(id));
    if constexpr (std::is_base_of_v<QWidget, T>) {
        found.removeIf([&window](const T* control) { return control->window() != &window; });
    }
    if (found.isEmpty()) {
        ADD_FAILURE() << "no " << kind << " with id " << id;
        return nullptr;
    }
    if (found.size() > 1) {
        ADD_FAILURE() << found.size() << " " << kind << "s carry id " << id;
    }
    return found.front();
}

// Where a click hits a button: the indicator of a check box or radio button (whose
// click area is only the indicator and its text), the middle of any other button.
QPoint ClickPoint(const QAbstractButton& button) {
    QStyle::SubElement indicator;
    if (qobject_cast<const QCheckBox*>(&button) != nullptr) {
        indicator = QStyle::SE_CheckBoxIndicator;
    } else if (qobject_cast<const QRadioButton*>(&button) != nullptr) {
        indicator = QStyle::SE_RadioButtonIndicator;
    } else {
        return button.rect().center();
    }
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    return button.style()->subElementRect(indicator, &option, &button).center();
}

int RowCountOf(const QWidget& list) {
    if (const auto* combo = qobject_cast<const QComboBox*>(&list)) {
        return combo->count();
    }
    const auto& view = static_cast<const QAbstractItemView&>(list);
    return view.model() != nullptr ? view.model()->rowCount(view.rootIndex()) : 0;
}

}  // namespace

QObject* WindowDriver::Find(int id, bool action) const {
    return action ? Unique<QAction>(window_, id, "menu action")
                  : Unique<QWidget>(window_, id, "control");
}

QWidget* WindowDriver::List(int id) const {
    QWidget* control = Control<QWidget>(id);
    if (control != nullptr && qobject_cast<QAbstractItemView*>(control) == nullptr &&
        qobject_cast<QComboBox*>(control) == nullptr) {
        ADD_FAILURE() << "control " << id << " is a " << control->metaObject()->className()
                      << ", not a list";
        return nullptr;
    }
    return control;
}

bool WindowDriver::Usable(const QWidget* control) const {
    return control != nullptr && control->isEnabled() && control->isVisibleTo(&window_);
}

std::string WindowDriver::ItemText(int id) const {
    const QWidget* control = Control<QWidget>(id);
    if (control == nullptr) {
        return {};
    }
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return FromQt(label->text());
    }
    if (const auto* line = qobject_cast<const QLineEdit*>(control)) {
        return FromQt(line->text());
    }
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(control)) {
        return FromQt(plain->toPlainText());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return FromQt(button->text());
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(control)) {
        return FromQt(group->title());
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
        return FromQt(combo->currentText());
    }
    if (qobject_cast<const QAbstractItemView*>(control) == nullptr) {
        ADD_FAILURE() << "control " << id << " is a " << control->metaObject()->className()
                      << ", which has no text";
    }
    return {};
}

bool WindowDriver::IsItemShown(int id) const {
    const QWidget* control = Control<QWidget>(id);
    return control != nullptr && !control->isHidden();
}

bool WindowDriver::IsItemEnabled(int id) const {
    const QWidget* control = Control<QWidget>(id);
    return control != nullptr && !control->testAttribute(Qt::WA_ForceDisabled);
}

bool WindowDriver::ClickItem(int id) {
    auto* button = Control<QAbstractButton>(id);
    if (!Usable(button)) {
        return false;
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, ClickPoint(*button));
    return true;
}

std::vector<std::string> WindowDriver::Rows(int id) const {
    std::vector<std::string> rows;
    const int count = RowCount(id);
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        rows.push_back(Row(id, i));
    }
    return rows;
}

std::string WindowDriver::Row(int id, int index) const {
    const QWidget* list = List(id);
    if (list == nullptr || index < 0 || index >= RowCountOf(*list)) {
        return {};
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(list)) {
        return FromQt(combo->itemText(index));
    }
    const auto* view = static_cast<const QAbstractItemView*>(list);
    const QAbstractItemModel& model = *view->model();
    QStringList columns;
    for (int column = 0; column < model.columnCount(view->rootIndex()); ++column) {
        columns.push_back(model.index(index, column, view->rootIndex()).data().toString());
    }
    return FromQt(columns.join(u'\t'));
}

int WindowDriver::RowCount(int id) const {
    const QWidget* list = List(id);
    return list != nullptr ? RowCountOf(*list) : 0;
}

int WindowDriver::SelectedRow(int id) const {
    const QWidget* list = List(id);
    if (list == nullptr) {
        return -1;
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(list)) {
        return combo->currentIndex();
    }
    const auto* view = static_cast<const QAbstractItemView*>(list);
    if (view->selectionModel() == nullptr) {
        return -1;
    }
    int selected = -1;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) {
        if (index.parent() == view->rootIndex() && (selected < 0 || index.row() < selected)) {
            selected = index.row();
        }
    }
    return selected;
}

bool WindowDriver::UserSelectRow(int id, int row) {
    QWidget* list = List(id);
    if (!Usable(list) || row < -1 || row >= RowCountOf(*list)) {
        return false;
    }
    if (auto* combo = qobject_cast<QComboBox*>(list)) {
        if (row < 0) {
            return false;
        }
        // What the combo box does with a row chosen from its popup.
        combo->setCurrentIndex(row);
        emit combo->activated(row);
        emit combo->textActivated(combo->itemText(row));
        return true;
    }
    auto* view = static_cast<QAbstractItemView*>(list);
    QPoint point;
    if (row >= 0) {
        const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
        view->scrollTo(index);
        point = view->visualRect(index).center();
    } else {
        const int count = RowCountOf(*list);
        const QRect last =
            count > 0 ? view->visualRect(view->model()->index(count - 1, 0, view->rootIndex()))
                      : QRect(0, 0, 1, 1);
        point = QPoint(last.left() + 1, last.bottom() + 1 + std::max(1, last.height() / 2));
    }
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    return true;
}

std::string WindowDriver::TabText(int id, int index) const {
    const auto* tabs = Control<QTabBar>(id);
    return tabs != nullptr ? FromQt(tabs->tabText(index)) : std::string();
}

int WindowDriver::TabCount(int id) const {
    const auto* tabs = Control<QTabBar>(id);
    return tabs != nullptr ? tabs->count() : 0;
}

int WindowDriver::SelectedTab(int id) const {
    const auto* tabs = Control<QTabBar>(id);
    return tabs != nullptr ? tabs->currentIndex() : -1;
}

bool WindowDriver::UserSelectTab(int id, int index) {
    auto* tabs = Control<QTabBar>(id);
    if (!Usable(tabs) || index < 0 || index >= tabs->count() || !tabs->isTabEnabled(index) ||
        !tabs->isTabVisible(index)) {
        return false;
    }
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(index).center());
    return true;
}

int WindowDriver::Pos(int id) const {
    const QWidget* control = Control<QWidget>(id);
    if (const auto* slider = qobject_cast<const QAbstractSlider*>(control)) {
        return slider->value();
    }
    if (const auto* bar = qobject_cast<const QProgressBar*>(control)) {
        return bar->value();
    }
    if (control != nullptr) {
        ADD_FAILURE() << "control " << id << " is a " << control->metaObject()->className()
                      << ", which has no position";
    }
    return 0;
}

bool WindowDriver::UserMoveTrackbar(int id, int pos) {
    auto* slider = Control<QAbstractSlider>(id);
    if (!Usable(slider)) {
        return false;
    }
    // The slider's own drag: while it is down, moves emit sliderMoved (and valueChanged
    // with tracking); letting go emits sliderReleased and, without tracking, the value.
    slider->setSliderDown(true);
    slider->setSliderPosition(pos);
    slider->setSliderDown(false);
    return true;
}

bool WindowDriver::UserChoose(int menuItemId) {
    QAction* action = Control<QAction>(menuItemId);
    if (action == nullptr || !action->isEnabled() || !action->isVisible()) {
        return false;
    }
    action->trigger();
    return true;
}

bool WindowDriver::IsMenuItemChecked(int id) const {
    const QAction* action = Control<QAction>(id);
    return action != nullptr && action->isChecked();
}

bool WindowDriver::IsMenuItemEnabled(int id) const {
    const QAction* action = Control<QAction>(id);
    return action != nullptr && action->isEnabled();
}

void WindowDriver::UserPressKey(int key, int id) {
    QWidget* target = id != 0 ? Control<QWidget>(id) : window_.focusWidget();
    if (id == 0 && target == nullptr) {
        target = &window_;
    }
    if (target != nullptr) {
        QTest::keyClick(target, static_cast<Qt::Key>(key));
    }
}

}  // namespace veltrix::testing
