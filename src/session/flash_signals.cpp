#include "session/flash_signals.h"

#include <QMetaType>

namespace veltrix {

FlashSignals::FlashSignals() {
    static const bool kRegistered = [] {
        qRegisterMetaType<std::string>("std::string");
        qRegisterMetaType<veltrix::FlashControls>("veltrix::FlashControls");
        qRegisterMetaType<veltrix::FlashParameters>("veltrix::FlashParameters");
        qRegisterMetaType<veltrix::FlashRunResult>("veltrix::FlashRunResult");
        return true;
    }();
    (void)kRegistered;
}

void StartFlashParameters(ServiceSession& session, std::shared_ptr<FlashSignals> reporter,
                          std::uint8_t controller, std::string controllerName, std::string hostName,
                          FlashParameters known) {
    UserQuestions& questions = session.Questions();
    session.Converse(
        [reporter, controller, controllerName, hostName, known, &questions](ServiceLink& link,
                                                                            StatusRequests&) {
            FlashConversation(link, questions, *reporter)
                .Start(controller, controllerName, hostName, known);
        },
        // Another conversation holds the channel: the dialog goes on with what it knows.
        [reporter, known] { reporter->ParametersRead(known); });
}

void StartFlashRun(ServiceSession& session, std::shared_ptr<FlashSignals> reporter,
                   FlashPlan plan) {
    UserQuestions& questions = session.Questions();
    session.Converse(
        [reporter, plan = std::move(plan), &questions](ServiceLink& link, StatusRequests&) {
            const FlashRunResult result = FlashConversation(link, questions, *reporter).Run(plan);
            emit reporter->RunEnded(result);
        },
        [reporter] {
            reporter->EnableControls(FlashControl::Close, true);
            emit reporter->RunEnded(FlashRunResult{});
        });
}

}  // namespace veltrix
