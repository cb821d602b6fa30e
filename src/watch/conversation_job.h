#pragma once
// A conversation the user starts with the service: the work runs on the session's
// thread, its result comes back as Finished() on the job's own (GUI) thread, and the
// job deletes itself after that. Nothing else in the window talks to the session's
// channel directly.
//
// A job belongs to the monitor it acts on, never to the window or dialog that waits
// for it: the session's thread only ever posts to a job that is still there, and a
// receiver that went first just misses the result (its connection is gone with it).
// When the monitor goes, its session's thread ends before its jobs are deleted.

#include <QObject>
#include <QVariant>
#include <functional>
#include <string>

#include "session/service_link.h"
#include "session/status_requests.h"

namespace veltrix {

class HostMonitor;
class ServiceSession;

// How a conversation ended.
struct ConversationResult {
    enum class Outcome {
        Done,
        // It failed: `message` (when not empty) or the error text of `site`.
        Failed,
        // A BIOS update or another conversation held the channel: nothing was sent.
        Busy,
    };
    Outcome outcome = Outcome::Done;
    // Where it failed, for the error text (the request that could not be written).
    int site = 0;
    std::string message;
    // What a done conversation read.
    QVariant payload;

    bool IsDone() const { return outcome == Outcome::Done; }
    bool IsBusy() const { return outcome == Outcome::Busy; }
    // What the user is told of a conversation that did not take place or failed: the
    // service write error at `site` when busy, a failure's own text; empty otherwise
    // (a failed request has shown its own messages).
    std::string ErrorMessage() const;
    // A done conversation that read `value`.
    static ConversationResult Read(QVariant value);
    static ConversationResult Failure(std::string text, int site = 0);
    static ConversationResult Busy(int site);
};

class ConversationJob : public QObject {
    Q_OBJECT

  public:
    // Runs on the session's thread with the channel held for the conversation.
    using Work = std::function<ConversationResult(ServiceLink&, StatusRequests&)>;

    // Starts `work` on `monitor`'s session, after everything asked of it before. A busy
    // channel finishes the job as Busy with `busySite`. Connect to Finished() with the
    // receiver as context right away: the result comes from the event loop.
    static ConversationJob* Start(HostMonitor& monitor, Work work, int busySite = 0);
    // The same on a bare session (tests); the job is then deleted after Finished() only,
    // so `session` must run it (or end) before the job's thread's event loop does.
    static ConversationJob* Start(ServiceSession& session, Work work, int busySite = 0,
                                  QObject* parent = nullptr);

  signals:
    // The conversation's end, on the job's thread; the job is deleted afterwards.
    void Finished(const veltrix::ConversationResult& result);

  private:
    explicit ConversationJob(QObject* parent) : QObject(parent) {}
    void Run(ServiceSession& session, Work work, int busySite);
    void Deliver(const ConversationResult& result);
};

}  // namespace veltrix

Q_DECLARE_METATYPE(veltrix::ConversationResult)
