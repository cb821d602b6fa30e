#include "gui/platform/message_box.h"

namespace veltrix::platform {
namespace {

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escapeButton;
};

ButtonSet ToQtButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel:
            return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
        case MessageButtons::YesNo:
            return {QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No};
        case MessageButtons::YesNoDefaultNo:
            return {QMessageBox::Yes | QMessageBox::No, QMessageBox::No, QMessageBox::No};
        case MessageButtons::YesNoCancel:
            return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                    QMessageBox::Cancel};
        case MessageButtons::Ok:
            break;
    }
    return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
}

}  // namespace

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer AnswerFor(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Cancel;
    }
}

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& title,
                                            const QString& text, MessageIcon icon,
                                            MessageButtons buttons) {
    const ButtonSet set = ToQtButtons(buttons);
    auto box = std::make_unique<QMessageBox>(ToQtIcon(icon), title, text, set.buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(set.defaultButton);
    box->setEscapeButton(set.escapeButton);
    return box;
}

}  // namespace veltrix::platform
