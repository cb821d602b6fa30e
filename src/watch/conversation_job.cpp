#include "watch/conversation_job.h"

#include <QMetaObject>

#include "session/service_session.h"
#include "texts/string_ids.h"
#include "watch/host_monitor.h"

namespace veltrix {

ConversationResult ConversationResult::Read(QVariant value) {
    ConversationResult result;
    result.payload = std::move(value);
    return result;
}

ConversationResult ConversationResult::Failure(std::string text, int site) {
    ConversationResult result;
    result.outcome = Outcome::Failed;
    result.site = site;
    result.message = std::move(text);
    return result;
}

ConversationResult ConversationResult::Busy(int site) {
    ConversationResult result;
    result.outcome = Outcome::Busy;
    result.site = site;
    return result;
}

std::string ConversationResult::ErrorMessage() const {
    switch (outcome) {
        case Outcome::Busy:
            return ErrorText(ids::kServiceWriteError, site);
        case Outcome::Failed:
            return message;
        case Outcome::Done:
            break;
    }
    return {};
}

ConversationJob* ConversationJob::Start(HostMonitor& monitor, Work work, int busySite) {
    return Start(monitor.Session(), std::move(work), busySite, &monitor);
}

ConversationJob* ConversationJob::Start(ServiceSession& session, Work work, int busySite,
                                        QObject* parent) {
    auto* job = new ConversationJob(parent);
    job->Run(session, std::move(work), busySite);
    return job;
}

void ConversationJob::Run(ServiceSession& session, Work work, int busySite) {
    // The job outlives both calls: only Deliver, or the monitor after the session's
    // thread has ended, deletes it.
    session.Converse(
        [this, work = std::move(work)](ServiceLink& link, StatusRequests& requests) {
            const ConversationResult result = work(link, requests);
            QMetaObject::invokeMethod(
                this, [this, result] { Deliver(result); }, Qt::QueuedConnection);
        },
        [this, busySite] {
            const ConversationResult result = ConversationResult::Busy(busySite);
            QMetaObject::invokeMethod(
                this, [this, result] { Deliver(result); }, Qt::QueuedConnection);
        });
}

void ConversationJob::Deliver(const ConversationResult& result) {
    emit Finished(result);
    deleteLater();
}

}  // namespace veltrix
