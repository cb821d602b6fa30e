#include "ui/platform/control_factory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTabBar>

#include "ui/platform/list_box.h"

namespace veltrix::platform {
namespace {

Qt::Alignment Alignment(TextAlign align) {
    switch (align) {
        case TextAlign::Center:
            return Qt::AlignHCenter | Qt::AlignTop;
        case TextAlign::Right:
            return Qt::AlignRight | Qt::AlignTop;
        case TextAlign::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

QWidget* CreateEdit(const ControlTemplate& control, const QString& text, QWidget* parent) {
    const ControlStyle& style = control.style;
    if (style.multiline) {
        auto* edit = new QPlainTextEdit(text, parent);
        edit->setReadOnly(style.readOnly);
        return edit;
    }
    auto* edit = new QLineEdit(text, parent);
    edit->setReadOnly(style.readOnly);
    if (style.password) {
        edit->setEchoMode(QLineEdit::Password);
    }
    if (control.maxLength > 0) {
        edit->setMaxLength(control.maxLength);
    }
    if (style.numberOnly) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    return edit;
}

QWidget* CreateWidget(const ControlTemplate& control, const QString& text, QWidget* parent) {
    const ControlStyle& style = control.style;
    switch (control.kind) {
        case ControlKind::Static: {
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Alignment(style.align));
            return label;
        }
        case ControlKind::Edit:
            return CreateEdit(control, text, parent);
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, parent);
            button->setDefault(style.defaultButton);
            return button;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(text, parent);
        case ControlKind::RadioButton: {
            auto* radio = new QRadioButton(text, parent);
            radio->setAutoExclusive(false);  // the dialog's button groups decide
            return radio;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(text, parent);
        case ControlKind::ListBox: {
            auto* list = new ListBox(parent);
            list->SetSorted(style.sorted);
            list->SetTabStops(control.tabStops);
            return list;
        }
        case ControlKind::ComboBox:
            return new QComboBox(parent);
        case ControlKind::TabControl: {
            auto* tabs = new QTabBar(parent);
            tabs->setExpanding(false);
            return tabs;
        }
        case ControlKind::Trackbar: {
            auto* slider = new QSlider(style.vertical ? Qt::Vertical : Qt::Horizontal, parent);
            slider->setTickPosition(style.ticks ? QSlider::TicksBelow : QSlider::NoTicks);
            return slider;
        }
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setOrientation(style.vertical ? Qt::Vertical : Qt::Horizontal);
            bar->setTextVisible(false);
            bar->setRange(0, 100);
            bar->setValue(0);
            return bar;
        }
        case ControlKind::Picture: {
            auto* picture = new QLabel(parent);
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return picture;
        }
    }
    return new QWidget(parent);
}

}  // namespace

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent, Language language) {
    const QString text =
        QString::fromStdString(LocalText(control.textEn, control.textDe, language));
    QWidget* widget = CreateWidget(control, text, parent);
    widget->setGeometry(control.x, control.y, control.w, control.h);
    widget->setEnabled(control.enabled);
    widget->setVisible(control.visible);
    if (control.kind == ControlKind::GroupBox || control.kind == ControlKind::TabControl) {
        // Frames lie under the controls drawn inside them.
        widget->lower();
    }
    return widget;
}

}  // namespace veltrix::platform
