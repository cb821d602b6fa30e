#pragma once
// The real user interface on Qt: modal message boxes titled with the application's
// name, the platform's file dialogs and modal dialog runs. Error reports go to a
// callback (the popup queue); without one they show a warning box that does not
// block.

#include <QPointer>
#include <QWidget>
#include <functional>

class QMessageBox;

#include "gui/platform/dialog_ui.h"

namespace veltrix::platform {

class QtUserInterface : public DialogUi {
  public:
    using ErrorReporter = std::function<void(const std::string& text)>;

    // Boxes and file dialogs are placed over `owner` (may be null, or set later).
    explicit QtUserInterface(QWidget* owner = nullptr);

    void SetOwner(QWidget* owner) { owner_ = owner; }
    void SetErrorReporter(ErrorReporter reporter) { reporter_ = std::move(reporter); }
    // The title of message boxes: the application's display name.
    static QString Title();

    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override;
    void ReportError(const std::string& text) override;
    std::optional<std::string> GetOpenFileName(const std::string& title, const std::string& filter,
                                               const std::string& initialPath) override;
    std::optional<std::string> GetSaveFileName(const std::string& title, const std::string& filter,
                                               const std::string& initialPath) override;
    int RunModal(QDialog& dialog) override;

    // The box ReportError shows when no reporter is set: not modal, deletes itself
    // when closed.
    QMessageBox* ShowWarningBox(const std::string& text);

  private:
    QPointer<QWidget> owner_;
    ErrorReporter reporter_;
};

}  // namespace veltrix::platform
