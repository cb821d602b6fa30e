#pragma once
// User interfaces for tests record every message box and error report, and answer
// message boxes from a script (OK / Yes when the script has run out).

#include <deque>
#include <string>
#include <vector>

#include "session/user_interface.h"

namespace veltrix::testing {

// The recording and answering that every test user interface shares.
struct MessageRecorder {
    struct Shown {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageAnswer Record(const std::string& text, MessageIcon icon, MessageButtons buttons) {
        messages.push_back({text, icon, buttons});
        if (!answers.empty()) {
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ||
                       buttons == MessageButtons::YesNoDefaultNo
                   ? MessageAnswer::Yes
                   : MessageAnswer::Ok;
    }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : messages) {
            texts.push_back(m.text);
        }
        return texts;
    }

    void clear() {
        messages.clear();
        errors.clear();
    }

    std::deque<MessageAnswer> answers;
    std::vector<Shown> messages;
    std::vector<std::string> errors;
};

// The core's user interface for tests.
class RecordingUi : public UserInterface, public MessageRecorder {
  public:
    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override {
        return Record(text, icon, buttons);
    }
    void ReportError(const std::string& text) override { errors.push_back(text); }
};

}  // namespace veltrix::testing
