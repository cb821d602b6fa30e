// The session's thread, its requests and timers, connect and login, enumeration,
// Disconnect, sleep and resume, and the Exit path's logoff.

#include "session/service_session.h"

#include <QMetaObject>
#include <QScopedValueRollback>
#include <algorithm>
#include <array>
#include <future>

#include "protocol/bytes.h"
#include "session/error_sites.h"
#include "session/qt_time_source.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

constexpr std::uint32_t kServerWaitMs = 1000;
constexpr int kFirstPollMs = 500;
constexpr int kMailOnlyPollMs = 4000;
constexpr int kReconnectAfterResumeMs = 15000;

// Registers the signals' value types once, for queued delivery to other threads.
void RegisterTypes() {
    static const bool kRegistered = [] {
        qRegisterMetaType<std::string>("std::string");
        qRegisterMetaType<veltrix::Severity>("veltrix::Severity");
        qRegisterMetaType<veltrix::ServiceConfig>("veltrix::ServiceConfig");
        qRegisterMetaType<veltrix::TableSnapshot>("veltrix::TableSnapshot");
        qRegisterMetaType<veltrix::RebuildView>("veltrix::RebuildView");
        qRegisterMetaType<veltrix::EnumerationStep>("veltrix::EnumerationStep");
        qRegisterMetaType<veltrix::LogEntry>("veltrix::LogEntry");
        qRegisterMetaType<veltrix::LoggedEvent>("veltrix::LoggedEvent");
        qRegisterMetaType<veltrix::PowerEvent>("veltrix::PowerEvent");
        return true;
    }();
    (void)kRegistered;
}

}  // namespace

ServiceSession::ServiceSession(UserQuestions& questions, TimeSource* time)
    : questions_(questions), externalTime_(time), requests_(link_, table_, reports_) {
    RegisterTypes();
    link_.pipe.SetCanceller(&canceller_);
    link_.pipe.SetReadTimeout(replyBoundMs_);
    thread_.setObjectName(QStringLiteral("service session"));
    moveToThread(&thread_);
    thread_.start();
    // The timers are made on the session's thread so that they tick there.
    Post([this] {
        TimeSource* source = externalTime_;
        if (source == nullptr) {
            ownTime_ = std::make_unique<QtTimeSource>();
            source = ownTime_.get();
        }
        // A tick runs on this thread; a tick of a test's clock is handed over here.
        const auto timer = [this, source](void (ServiceSession::*handler)()) {
            return std::make_unique<Timer>(
                *source, [this, handler] { RunHere([this, handler] { (this->*handler)(); }); });
        };
        pollTimer_ = timer(&ServiceSession::OnPollTimer);
        mailOnlyTimer_ = timer(&ServiceSession::OnMailOnlyTimer);
        reconnectTimer_ = timer(&ServiceSession::OnReconnectTimer);
    });
}

ServiceSession::~ServiceSession() {
    if (!Shutdown()) {
        // Only a wait that nothing can interrupt keeps the thread; it must not outlive
        // the objects it uses.
        thread_.wait();
        AfterThreadEnd();
    }
}

void ServiceSession::Post(std::function<void()> work) {
    // Under the lock, so that the events come in the order of the work they stand for.
    const std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(work));
    QMetaObject::invokeMethod(this, "RunPosted", Qt::QueuedConnection);
}

void ServiceSession::RunPosted() {
    std::function<void()> work;
    {
        const std::lock_guard lock(postedMutex_);
        if (posted_.empty()) {
            return;
        }
        work = std::move(posted_.front());
        posted_.pop_front();
    }
    work();
}

void ServiceSession::RunBlocking(const std::function<void()>& work) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> ran = done->get_future();
    Post([&work, done] {
        work();
        done->set_value();
    });
    // A thread that ended first never runs it.
    while (ran.wait_for(std::chrono::milliseconds(10)) == std::future_status::timeout) {
        if (thread_.isFinished()) {
            return;
        }
    }
}

void ServiceSession::RunHere(const std::function<void()>& work) {
    if (QThread::currentThread() == &thread_) {
        work();
        return;
    }
    // A tick of a clock that runs on another thread (tests): the tick ends when its
    // work has run, as it would on the session's own thread.
    if (thread_.isRunning()) {
        RunBlocking(work);
    }
}

void ServiceSession::Sync() {
    if (QThread::currentThread() == &thread_ || !thread_.isRunning()) {
        return;
    }
    RunBlocking([] {});
}

void ServiceSession::SetReplyBound(std::uint32_t ms) {
    Post([this, ms] {
        replyBoundMs_ = ms;
        link_.pipe.SetReadTimeout(ms);
    });
}

void ServiceSession::Connect(const std::string& host, const std::string& password) {
    Post([this, host, password] { DoConnect(host, password); });
}

void ServiceSession::Disconnect() {
    Post([this] {
        CancelReconnect();  // the user's Disconnect also ends a watch for the service
        DoDisconnect();
    });
}

void ServiceSession::Power(PowerEvent event) {
    Post([this, event] { DoPower(event); });
}

void ServiceSession::ArmReconnect(int ms) {
    Post([this, ms] { Arm(reconnectTimer_, ms); });
}

void ServiceSession::SetAutoConnect(bool on) {
    Post([this, on] {
        state_.autoConnect = on;
        if (!on && backoff_.Tries() > 0) {
            CancelReconnect();
        }
    });
}

void ServiceSession::SetBoxesAllowed(bool allowed) {
    Post([this, allowed] { boxesAllowed_ = allowed; });
}

void ServiceSession::SeedBackoff(std::uint32_t seed) {
    Post([this, seed] { backoff_ = ReconnectBackoff(seed); });
}

void ServiceSession::ScheduleReconnect() {
    if (!state_.autoConnect || Stopping()) {
        return;
    }
    const int delay = backoff_.NextDelayMs();
    Arm(reconnectTimer_, delay);
    emit ReconnectScheduled(delay);
}

void ServiceSession::CancelReconnect() {
    const bool waiting = reconnectTimer_ && reconnectTimer_->IsActive();
    Disarm(reconnectTimer_);
    backoff_.Reset();
    connectionLost_ = false;
    if (waiting) {
        emit ReconnectScheduled(0);
    }
}

void ServiceSession::SelectController(int controller) {
    Post([this, controller] { state_.currentController = controller; });
}

void ServiceSession::SelectSet(int setIndex) {
    Post([this, setIndex] { state_.selectedSetIndex = setIndex; });
}

void ServiceSession::SetSliderPosition(int position) {
    Post([this, position] { state_.sliderPosition = position; });
}

void ServiceSession::Converse(std::function<void(ServiceLink&, StatusRequests&)> conversation,
                              std::function<void()> onBusy) {
    Post([this, conversation = std::move(conversation), onBusy = std::move(onBusy)] {
        if (link_.pipeBusy || link_.flashBusy) {
            if (onBusy) {
                onBusy();
            }
            return;
        }
        const QScopedValueRollback users(userConversation_, true);
        conversation(link_, requests_);
    });
}

bool ServiceSession::Shutdown(std::chrono::milliseconds bound) {
    if (!thread_.isRunning()) {
        AfterThreadEnd();
        return true;
    }
    stopping_ = true;
    Post([this] {
        ExitWork();
        const std::lock_guard lock(postedMutex_);  // the thread's last work, for AfterThreadEnd
        thread_.quit();
    });
    // A reply on its way is let in first. Cutting its receive short shuts the socket's
    // reading side; a local service that then fails to send the reply drops the
    // connection before the logoff reaches it. Once stopping, the poll cycle asks
    // nothing more, so with a service that answers the thread ends within the grace.
    const auto grace = std::min(bound, kReplyGrace);
    if (thread_.wait(QDeadlineTimer(grace))) {
        AfterThreadEnd();
        return true;
    }
    // Any wait on the channel ends now; the logoff starts afresh.
    canceller_.Cancel();
    if (!thread_.wait(QDeadlineTimer(bound - grace))) {
        return false;
    }
    AfterThreadEnd();
    return true;
}

void ServiceSession::AfterThreadEnd() {
    // The thread ended (QThread::wait); taking the lock its last work held orders what
    // that work did before what follows, also for ThreadSanitizer.
    const std::lock_guard lock(postedMutex_);
}

void ServiceSession::ExitWork() {
    canceller_.Reset();
    if (link_.pipe.IsOpen()) {
        DoDisconnect();
    }
    pollTimer_.reset();
    mailOnlyTimer_.reset();
    reconnectTimer_.reset();
    ownTime_.reset();
}

TableSnapshot ServiceSession::Snapshot() {
    tableStale_ = false;
    return std::make_shared<const ObjectTable>(table_);
}

TableSnapshot ServiceSession::ChangedSnapshot() {
    return tableStale_ ? Snapshot() : nullptr;
}

void ServiceSession::Arm(const std::unique_ptr<Timer>& timer, int ms) {
    if (timer) {
        timer->Start(ms);
    }
}

void ServiceSession::Disarm(const std::unique_ptr<Timer>& timer) {
    if (timer) {
        timer->Stop();
    }
}

bool ServiceSession::IsTimerSet(SessionTimer which) const {
    const auto active = [](const std::unique_ptr<Timer>& timer) {
        return timer && timer->IsActive();
    };
    switch (which) {
        case SessionTimer::Poll:
            return active(pollTimer_);
        case SessionTimer::MailOnly:
            return active(mailOnlyTimer_);
        case SessionTimer::Reconnect:
            return active(reconnectTimer_);
    }
    return false;
}

MessageAnswer ServiceSession::RequestReports::ShowMessage(const std::string& text, MessageIcon icon,
                                                          MessageButtons buttons) {
    if (session_.Stopping()) {
        return DefaultAnswer(buttons);
    }
    if (!session_.boxesAllowed_ && !session_.userConversation_) {
        emit session_.MessageInsteadOfBox(text);
        return DefaultAnswer(buttons);
    }
    return session_.questions_.ShowMessage(text, icon, buttons);
}

void ServiceSession::ReportEvent(const std::string& text, Severity severity, int level) {
    if (!Stopping()) {
        emit Popup(text, severity, level);
    }
}

void ServiceSession::ReportError(const std::string& text) {
    ReportEvent(text, Severity::Warning, 255);
}

// The timers stay away while a BIOS update or another exchange holds the channel.
void ServiceSession::OnReconnectTimer() {
    if (link_.pipeBusy || link_.flashBusy) {
        return;
    }
    Disarm(reconnectTimer_);
    automaticConnect_ = true;
    emit ReconnectDue();
}

void ServiceSession::OnMailOnlyTimer() {
    if (link_.pipeBusy || link_.flashBusy) {
        return;
    }
    const PipeBusyLock busy(link_);
    MailOnlyPoll();
}

void ServiceSession::OnPollTimer() {
    if (link_.pipeBusy || link_.flashBusy) {
        return;
    }
    const PipeBusyLock busy(link_);
    PollCycle();
}

void ServiceSession::ShowChannelFailure(const ChannelError& e, int stringId, int site) {
    reports_.ShowMessage(e.GetErrorMessage(), MessageIcon::None, MessageButtons::Ok);
    reports_.ShowMessage(ErrorText(stringId, site), MessageIcon::None, MessageButtons::Ok);
}

void ServiceSession::ShowConnectFailure(const ChannelError& e, int stringId, int site) {
    if (!automaticConnect_) {
        ShowChannelFailure(e, stringId, site);
        return;
    }
    ConnectFailed(e.GetErrorMessage() + "\n" + ErrorText(stringId, site));
}

void ServiceSession::ConnectFailed(const std::string& text) {
    if (!automaticConnect_) {
        reports_.ShowMessage(text, MessageIcon::None, MessageButtons::Ok);
    } else if (backoff_.Tries() == 0 && !connectionLost_) {
        ReportError(text);  // later failures of the watch stay quiet
    }
}

void ServiceSession::DoConnect(const std::string& host, const std::string& password) {
    // A connect of the user's while Autoconnect watches for the service goes on with
    // the watch when it fails, as an automatic one does.
    const bool automatic = automaticConnect_ || backoff_.Tries() > 0;
    Disarm(reconnectTimer_);
    if (link_.pipe.IsOpen()) {
        automaticConnect_ = false;
        return;  // connected already
    }
    const QScopedValueRollback users(userConversation_, !automaticConnect_);
    const LoginResult login = Login(host, password);
    automaticConnect_ = false;
    if (login == LoginResult::Refused) {
        EndWatchAfterRefusal();
        return;
    }
    if (login == LoginResult::Failed) {
        if (automatic) {
            ScheduleReconnect();
        }
        return;
    }
    const bool regained = connectionLost_;
    CancelReconnect();
    if (!ConnectionEstablished()) {
        connectionLost_ = regained;
        ScheduleReconnect();  // an enumeration that broke off is a lost connection too
        return;
    }
    if (regained) {
        emit ConnectionRegained();
    }
}

void ServiceSession::EndWatchAfterRefusal() {
    const bool watching = backoff_.Tries() > 0;
    backoff_.Reset();
    if (watching) {
        emit ReconnectScheduled(0);
    }
    emit LoginRefused();
}

ServiceSession::LoginResult ServiceSession::Login(const std::string& host,
                                                  const std::string& password) {
    try {
        ServiceChannel::ServerAvailable(host, kServicePipeName, kServerWaitMs, &canceller_);
    } catch (const ChannelError& e) {
        std::string text = SystemTextLine(e);
        if (e.errorCode == win32::ERROR_SEM_TIMEOUT) {
            text += LoadString(ids::kLineBusy);
        }
        ConnectFailed(text + ErrorText(ids::kServiceNotAvailable, connect_site::kNotAvailable));
        return LoginResult::Failed;
    }

    try {
        link_.pipe.Open(host, kServicePipeName);
    } catch (const ChannelError& e) {
        ShowConnectFailure(e, ids::kConnectionNotPossible, connect_site::kOpen);
        return LoginResult::Failed;
    }

    try {
        const auto block = BuildLoginBlock(password);
        link_.pipe.Write(block.data(), block.size());
    } catch (const ChannelError& e) {
        ShowConnectFailure(e, ids::kServiceWriteError, connect_site::kLoginWrite);
        // Nobody is logged in on this pipe: keeping it open would only leak it.
        link_.pipe.Close();
        return LoginResult::Failed;
    }

    std::array<std::uint8_t, ServiceMessage::kSize> reply{};
    std::size_t received = 0;
    try {
        received = link_.pipe.Read(reply.data(), reply.size());
    } catch (const ChannelError& e) {
        ShowConnectFailure(e, ids::kServiceReadError, connect_site::kLoginRead);
        link_.pipe.Close();
        return LoginResult::Failed;
    }
    if (!IsLoginAccepted(std::span(reply).first(received))) {
        ConnectFailed(LoadString(ids::kInvalidPassword));
        link_.pipe.Close();
        return LoginResult::Refused;
    }
    return LoginResult::Accepted;
}

bool ServiceSession::ConnectionEstablished() {
    state_.isConnected = true;
    link_.missedReplies = 0;
    emit Connected();
    emit EnumerationProgressed(EnumerationStep{});

    ReadServiceVersion();
    if (!Enumerate()) {
        return false;
    }
    emit Enumerated(Snapshot(), static_cast<int>(state_.controllerCount));
    if (state_.controllerCount == 0) {
        reports_.ShowMessage(LoadString(ids::kDriverNotFound), MessageIcon::None,
                             MessageButtons::Ok);
        Arm(mailOnlyTimer_, kMailOnlyPollMs);
        return true;
    }
    state_.currentController = 0;
    const Controller* first = table_.GetController(0);
    state_.selectedSetIndex = first != nullptr && first->RaidSetCount() != 0 ? 0 : -1;
    // The slider stands where the service has the set until a window moves it: a host
    // polled with no window showing it never has its rebuild priority changed.
    const RaidSet* set = table_.GetRaidSet(0, state_.selectedSetIndex);
    state_.sliderPosition = set != nullptr ? set->Priority() : 0;
    state_.justConnected = true;
    Arm(pollTimer_, kFirstPollMs);
    return true;
}

void ServiceSession::ReadServiceVersion() {
    ServiceConfig config;
    requests_.RequestServiceConfig(config);
    state_.serviceConfig = config;
    state_.serviceVersion = static_cast<std::int32_t>(ServiceVersionNumber(config));
    emit ServiceConfigRead(config, state_.serviceVersion);
}

bool ServiceSession::Enumerate() {
    link_.message.SetRequest(GET_CONTROLLER_COUNT);
    try {
        link_.SendMessage();
    } catch (const ChannelError& e) {
        reports_.ShowMessage(e.GetErrorMessage() + "\n" +
                                 ErrorText(ids::kServiceWriteError, connect_site::kCountWrite),
                             MessageIcon::None, MessageButtons::Ok);
        DoDisconnect();
        return false;
    }
    try {
        link_.ReceiveMessage();
    } catch (const ChannelError& e) {
        reports_.ShowMessage(e.GetErrorMessage() + "\n" +
                                 ErrorText(ids::kServiceReadError, connect_site::kCountRead),
                             MessageIcon::None, MessageButtons::Ok);
        DoDisconnect();
        return false;
    }
    // The table has room for eight controllers; the rest are not shown.
    const std::uint32_t reported = ByteView(link_.message.Data()).U32(0);
    state_.controllerCount = static_cast<std::uint32_t>(ClampControllerCount(reported));

    for (int i = 0; i < static_cast<int>(state_.controllerCount); ++i) {
        table_.CreateController(i);
        state_.currentController = i;
        // A request that fails on the channel leaves its message in lastMessage (a
        // drive or set it does not find is no failure).
        link_.lastMessage.clear();
        const int controllers = static_cast<int>(state_.controllerCount);
        const auto step = [&](EnumerationStep::Part part, int index, int count) {
            emit EnumerationProgressed({part, i, controllers, index, count});
        };
        step(EnumerationStep::Part::Controller, 0, 0);
        requests_.RequestControllerInfo(i);
        const Controller& controller = *table_.GetController(i);
        const int devices = ClampDeviceCount(controller.DeviceCount());
        const int sets = ClampRaidSetCount(controller.RaidSetCount());
        for (int d = 0; link_.lastMessage.empty() && d < devices; ++d) {
            table_.CreateDevice(i, d);
            step(EnumerationStep::Part::Drive, d, devices);
            requests_.RequestDevice(i, d);
        }
        for (int s = 0; link_.lastMessage.empty() && s < sets; ++s) {
            table_.CreateRaidSet(i, s);
            step(EnumerationStep::Part::Set, s, sets);
            requests_.RequestRaidSet(i, s);
        }
        if (!link_.lastMessage.empty()) {
            // The request has shown its message; going on would show one per drive
            // and set on a channel that no longer answers.
            DoDisconnect();
            return false;
        }
    }
    return true;
}

void ServiceSession::DoDisconnect() {
    if (!state_.pipeClosedBySuspend) {
        if (!state_.isConnected) {
            return;
        }
        emit Disconnecting(state_.quietDisconnect);
        link_.message.SetRequest(LOGOFF);
        try {
            link_.SendMessage();
        } catch (const ChannelError&) {
            // The service may be gone already; the pipe is closed all the same.
        }
        link_.pipe.Close();
        Disarm(pollTimer_);
        Disarm(mailOnlyTimer_);
        state_.serviceConfig = ServiceConfig{};
    }
    if (state_.keepDisplay) {
        return;
    }
    table_.Clear();
    state_.controllerCount = 0;
    state_.selectedSetIndex = -1;
    state_.isConnected = false;
    emit Disconnected(state_.quietDisconnect);
    state_.pipeClosedBySuspend = false;
    state_.serviceConfig = ServiceConfig{};
}

void ServiceSession::DoPower(PowerEvent event) {
    switch (event) {
        case PowerEvent::Suspend:
            if (state_.isConnected) {
                state_.quietDisconnect = true;
                state_.keepDisplay = true;
                state_.pipeClosedBySuspend = false;
                DoDisconnect();
                state_.quietDisconnect = false;
                state_.keepDisplay = false;
                state_.pipeClosedBySuspend = true;
                state_.wasConnectedBeforeSuspend = true;
            } else {
                state_.wasConnectedBeforeSuspend = false;
            }
            break;
        case PowerEvent::Resume:
            if (state_.wasConnectedBeforeSuspend) {
                state_.keepDisplay = false;
                state_.pipeClosedBySuspend = true;
                DoDisconnect();
                state_.pipeClosedBySuspend = false;
                Arm(reconnectTimer_, kReconnectAfterResumeMs);
            }
            break;
    }
    emit PowerHandled(event);
}

}  // namespace veltrix
