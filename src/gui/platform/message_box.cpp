#include "gui/platform/message_box.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QLayout>
#include <QScreen>
#include <algorithm>

namespace veltrix::platform {
namespace {

// Window managers draw a title bold and up to a fifth larger than the application's
// text, with the window's icon and its buttons (minimise, maximise, close) beside it,
// each about two lines of text wide, and some room around them.
constexpr qreal kTitleFontGrowth = 1.2;
constexpr int kTitleBarRoomInLines = 10;

// Qt sizes a message box to its text and leaves its title only 50 pixels beside it,
// measured in the application's font: a short text gets a box whose title bar cannot
// hold the program's name, and the window manager cuts the middle out of it
// ("Kavotr…Veltrix"). After each time Qt has sized the box, it is widened to what the
// title needs.
class TitledMessageBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::LayoutRequest:
            case QEvent::WindowTitleChange:
            case QEvent::FontChange:
            case QEvent::StyleChange:
                FitTitle();
                break;
            default:
                break;
        }
        return handled;
    }

  private:
    void FitTitle() {
        const int wanted = TitleBarWidth(windowTitle());
        if (!isVisible() || width() >= wanted || layout() == nullptr) {
            return;
        }
        const QLayout& grid = *layout();
        const int height = grid.hasHeightForWidth() ? grid.totalHeightForWidth(wanted)
                                                    : grid.totalMinimumSize().height();
        setFixedSize(wanted, height);
        // As Qt does after sizing the box: the request the new size posted would only
        // size it again.
        QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);
    }
};

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

QString WithHostName(const QString& hostName, const QString& text) {
    if (hostName.isEmpty()) {
        return text;
    }
    return hostName + QStringLiteral(" \u2014 ") + text;
}

int TitleBarWidth(const QString& title) {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * kTitleFontGrowth);
    } else {
        font.setPixelSize(qRound(font.pixelSize() * kTitleFontGrowth));
    }
    const QFontMetrics metrics(font);
    const int wanted = metrics.horizontalAdvance(title) + kTitleBarRoomInLines * metrics.height();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? std::min(wanted, screen->availableGeometry().width()) : wanted;
}

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
    auto box = std::make_unique<TitledMessageBox>(ToQtIcon(icon), title, text, set.buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(set.defaultButton);
    box->setEscapeButton(set.escapeButton);
    return box;
}

}  // namespace veltrix::platform
