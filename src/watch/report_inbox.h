#pragma once
// The session's reports, delivered on the inbox's thread (the GUI thread: the host
// monitor's and its window's) in the order the session sent them, with one posted
// event for a burst instead of one for each report.
//
// The session sends several reports in every poll cycle (the tick, the rebuild view,
// the tooltip, the end of the events). Each queued signal would post an event and wake
// the GUI thread on its own; a report routed here joins a queue that one posted
// event drains. The queue is shared, so a handler that runs a modal loop (a message
// box) still sees the later reports inside that loop, in order, as queued signals did.
// The session's questions wait for their answer, so they stay in order with it; the
// BIOS update's reports go to their dialog on signals of their own.

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>
#include <type_traits>
#include <utility>

namespace veltrix {

class ReportInbox : public QObject {
    Q_OBJECT

  public:
    explicit ReportInbox(QObject* parent = nullptr) : QObject(parent) {}

    // `handler` runs on this object's thread with copies of the signal's arguments.
    template <typename Sender, typename... Args, typename Handler>
    void Route(Sender* sender, void (Sender::*signal)(Args...), Handler handler) {
        connect(
            sender, signal, this,
            [this, handler](const std::decay_t<Args>&... args) {
                Push([handler, ... copies = args] { handler(copies...); });
            },
            Qt::DirectConnection);
    }

    // The same, calling a member of `receiver` (which must outlive this inbox).
    template <typename Sender, typename... Args, typename Receiver, typename... Params>
    void Route(Sender* sender, void (Sender::*signal)(Args...), Receiver* receiver,
               void (Receiver::*method)(Params...)) {
        Route(sender, signal,
              [receiver, method](const auto&... args) { (receiver->*method)(args...); });
    }

    // Queues one call; any thread.
    void Push(std::function<void()> call);

  private:
    void Drain();

    std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
    bool drainPosted_ = false;
};

}  // namespace veltrix
