#include "gui/platform/qt_user_interface.h"

#include <QDialog>

#include <QApplication>
#include <QFileDialog>

#include "gui/platform/message_box.h"

namespace veltrix::platform {
namespace {

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

}  // namespace

QtUserInterface::QtUserInterface(QWidget* owner) : owner_(owner) {}

QString QtUserInterface::Title() {
    return QGuiApplication::applicationDisplayName();
}

MessageAnswer QtUserInterface::ShowMessage(const std::string& text, MessageIcon icon,
                                           MessageButtons buttons) {
    auto box = MakeMessageBox(owner_, Title(), QString::fromStdString(text), icon, buttons);
    const int result = box->exec();
    return AnswerFor(static_cast<QMessageBox::StandardButton>(result));
}

void QtUserInterface::ReportError(const std::string& text) {
    if (reporter_) {
        reporter_(text);
        return;
    }
    ShowWarningBox(text);
}

QMessageBox* QtUserInterface::ShowWarningBox(const std::string& text) {
    QMessageBox* box = MakeMessageBox(owner_, Title(), QString::fromStdString(text),
                                      MessageIcon::Warning, MessageButtons::Ok)
                           .release();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

std::optional<std::string> QtUserInterface::GetOpenFileName(const std::string& title,
                                                            const std::string& filter,
                                                            const std::string& initialPath) {
    return Chosen(QFileDialog::getOpenFileName(owner_, QString::fromStdString(title),
                                               QString::fromStdString(initialPath),
                                               QString::fromStdString(filter)));
}

std::optional<std::string> QtUserInterface::GetSaveFileName(const std::string& title,
                                                            const std::string& filter,
                                                            const std::string& initialPath) {
    return Chosen(QFileDialog::getSaveFileName(owner_, QString::fromStdString(title),
                                               QString::fromStdString(initialPath),
                                               QString::fromStdString(filter)));
}

int QtUserInterface::RunModal(QDialog& dialog) {
    return dialog.exec();
}

}  // namespace veltrix::platform
