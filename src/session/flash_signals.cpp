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

FlashWork FlashParametersWork(UserQuestions& questions, std::shared_ptr<FlashSignals> reporter,
                              std::uint8_t controller, std::string controllerName,
                              std::string hostName, FlashParameters known) {
    return [reporter = std::move(reporter), controller, controllerName = std::move(controllerName),
            hostName = std::move(hostName), known, &questions](ServiceLink& link, StatusRequests&) {
        FlashConversation(link, questions, *reporter)
            .Start(controller, controllerName, hostName, known);
    };
}

FlashWork FlashRunWork(UserQuestions& questions, std::shared_ptr<FlashSignals> reporter,
                       FlashPlan plan) {
    return [reporter = std::move(reporter), plan = std::move(plan), &questions](ServiceLink& link,
                                                                                StatusRequests&) {
        const FlashRunResult result = FlashConversation(link, questions, *reporter).Run(plan);
        emit reporter->RunEnded(result);
    };
}

}  // namespace veltrix
