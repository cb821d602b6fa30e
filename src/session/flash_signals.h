#pragma once
// The BIOS update dialog's conversations on the session's thread, reporting through
// Qt signals: what a FlashConversation tells its observer arrives at the dialog as
// queued signals, so the dialog paints and moves its progress bar while the session
// talks to the service.

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "session/flash_conversation.h"
#include "session/service_link.h"
#include "session/status_requests.h"
#include "session/user_interface.h"

namespace veltrix {

class FlashSignals : public QObject, public FlashObserver {
    Q_OBJECT

  public:
    FlashSignals();

    void ShowText(FlashLine line, const std::string& text) override {
        emit TextShown(static_cast<int>(line), text);
    }
    void ShowProgress(int percent) override { emit ProgressShown(percent); }
    void EnableControls(FlashControls controls, bool enable) override {
        emit ControlsEnabled(controls, enable);
    }
    void ParametersRead(const FlashParameters& parameters) override {
        emit ParametersReported(parameters);
    }

  signals:
    void TextShown(int line, std::string text);
    void ProgressShown(int percent);
    void ControlsEnabled(veltrix::FlashControls controls, bool enable);
    void ParametersReported(veltrix::FlashParameters parameters);
    // The run has ended; every report of it came before.
    void RunEnded(veltrix::FlashRunResult result);
};

// A conversation of the dialog, to run on the session's thread (the dialog starts it
// as a conversation job); `reporter` lives as long as the conversation needs it, and
// `questions` (the session's) longer.
using FlashWork = std::function<void(ServiceLink&, StatusRequests&)>;

// The dialog's start: string 143 without a connection, else the flash ROM's parameters.
FlashWork FlashParametersWork(UserQuestions& questions, std::shared_ptr<FlashSignals> reporter,
                              std::uint8_t controller, std::string controllerName,
                              std::string hostName, FlashParameters known);
// The Start button's run; ends with RunEnded.
FlashWork FlashRunWork(UserQuestions& questions, std::shared_ptr<FlashSignals> reporter,
                       FlashPlan plan);

}  // namespace veltrix
