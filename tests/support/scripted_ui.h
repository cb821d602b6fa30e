#pragma once
// A dialog user interface for tests: records message boxes, error reports, file
// dialogs and modal runs, and answers each from its own queue.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>
#include "support/recording_ui.h"

#include "gui/platform/control_id.h"
#include "gui/platform/dialog_ui.h"

namespace veltrix::testing {

class ScriptedUi : public platform::DialogUi, public MessageRecorder {
  public:
    struct FileRequest {
        bool save;
        std::string title;
        std::string filter;
        std::string initialPath;
    };

    // Message boxes: the next scripted answer, else OK / Yes.
    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override {
        return Record(text, icon, buttons);
    }

    void ReportError(const std::string& text) override { errors.push_back(text); }

    // File dialogs: the next scripted path, else cancelled.
    std::optional<std::string> GetOpenFileName(const std::string& title, const std::string& filter,
                                               const std::string& initialPath) override {
        fileRequests.push_back({false, title, filter, initialPath});
        return NextFile();
    }

    std::optional<std::string> GetSaveFileName(const std::string& title, const std::string& filter,
                                               const std::string& initialPath) override {
        fileRequests.push_back({true, title, filter, initialPath});
        return NextFile();
    }

    // Modal runs: lets `onModal` play the user and returns its result; without it the
    // dialog is rejected. Records the dialog's id.
    int RunModal(QDialog& dialog) override {
        modalRuns.push_back(platform::ControlIdOf(&dialog));
        return onModal ? onModal(dialog) : QDialog::Rejected;
    }

    std::deque<std::optional<std::string>> fileAnswers;
    std::function<int(QDialog&)> onModal;

    std::vector<FileRequest> fileRequests;
    std::vector<int> modalRuns;

  private:
    std::optional<std::string> NextFile() {
        if (fileAnswers.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
};

}  // namespace veltrix::testing
