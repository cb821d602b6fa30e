// The hosts the main window watches: the settings' host and the further ones, the
// list beside the body that chooses the one shown, and what every host tells the
// window whether it is shown or not.

#include <QLineEdit>
#include <algorithm>
#include <thread>

#include "gui/hostlist/host_list_view.h"
#include "gui/mainwindow/main_window.h"
#include "gui/platform/first_paint_gate.h"
#include "gui/platform/qt_user_interface.h"
#include "gui/settings/host_entries_store.h"
#include "texts/string_ids.h"

namespace veltrix {

namespace {

constexpr int kFirstTryOfFurtherHostMs = 3000;

}  // namespace

HostEntry MainWindow::FirstEntry() const {
    return {.name = DefaultHostName(settings_.hostName),
            .address = settings_.hostName,
            .password = settings_.password,
            .autoConnect = settings_.autoConnect};
}

std::string MainWindow::HostNameOf(const HostMonitor& monitor) const {
    return SeveralHosts() ? monitor.Name().toStdString() : std::string();
}

HostMonitor& MainWindow::AddHost(const HostEntry& entry) {
    auto monitor = std::make_unique<HostMonitor>(questions_, monitorTime_);
    HostMonitor& added = *monitor;
    added.SetEntry(entry);
    added.Session().SetAutoConnect(entry.autoConnect);
    hostList_.Add(std::move(monitor));
    WireHost(added);
    JournalHost(added);
    events_.AddHost(entry.name, added.Events());
    return added;
}

void MainWindow::WireHost(HostMonitor& monitor) {
    HostMonitor* m = &monitor;
    // The events view names each host as its entry does.
    connect(m, &HostMonitor::EntryChanged, this,
            [this, m] { events_.RenameHost(m->Events(), m->Name()); });
    // Every host's connection changes reach the journal, each with its name.
    connect(m, &HostMonitor::ConnectionNoted, this,
            [this, m](const QString& line, bool lost) { NoteConnection(*m, line, lost); });
    connect(m, &HostMonitor::PopupRequested, this,
            [this, m](const std::string& text, Severity severity, int level) {
                // With several hosts a host's own message (its history keeps it) is a
                // notification naming it, not a box that waits for an answer.
                if (level == kAlwaysShownLevel && SeveralHosts()) {
                    tray_.ShowBalloon(platform::QtUserInterface::Title().toStdString(), text,
                                      severity, m->IsConnected(),
                                      QString::fromStdString(HostNameOf(*m)));
                    return;
                }
                ReportEvent(text, severity, level, HostNameOf(*m));
            });
    connect(m, &HostMonitor::BalloonRequested, this,
            [this, m](const std::string& title, const std::string& text, Severity severity) {
                tray_.ShowBalloon(title, text, severity, m->IsConnected(),
                                  QString::fromStdString(HostNameOf(*m)));
            });
    // The shown host's connection changes reach the tray through BindMonitor; the
    // others' are told here, with their names.
    connect(m, &HostMonitor::Connected, this, [this, m] {
        if (m != monitor_ && SeveralHosts()) {
            tray_.AnnounceConnection(ids::kTipConnected, ids::kBalloonConnected, true,
                                     QString::fromStdString(HostNameOf(*m)));
        }
    });
    connect(m, &HostMonitor::Disconnected, this, [this, m](bool quiet) {
        if (m != monitor_ && SeveralHosts() && !quiet) {
            tray_.AnnounceConnection(ids::kTipDisconnected, ids::kBalloonDisconnected, false,
                                     QString::fromStdString(HostNameOf(*m)));
        }
    });
    // The shown host connects through the fields (BindMonitor); the others by
    // themselves.
    connect(m, &HostMonitor::ReconnectDue, this, [this, m] {
        if (m != monitor_) {
            FillPassword(*m);
            m->Connect();
        }
    });
}

void MainWindow::SetJournal(shell::EventJournal* journal) {
    journal_ = journal;
    for (int row = 0; row < hostList_.Count(); ++row) {
        JournalHost(*hostList_.At(row));
    }
}

void MainWindow::JournalHost(HostMonitor& monitor) {
    if (journal_ == nullptr || journalNames_.contains(&monitor)) {
        return;
    }
    auto name = std::make_shared<shell::JournalHostName>();
    name->Set(HostNameOf(monitor));
    journalNames_[&monitor] = name;
    shell::SendEventsToJournal(monitor.Session(), *journal_, std::move(name));
}

void MainWindow::KeepPassword(HostMonitor& monitor, const std::string& password, bool sent) {
    if (&monitor == hostList_.At(0)) {
        keyring_.Keep(password);
    } else if (monitor.Entry().password != password) {
        // A further host's password is kept where the hosts are, as the hosts dialog
        // keeps it.
        HostEntry entry = monitor.Entry();
        entry.password = password;
        monitor.SetEntry(entry);
        std::vector<HostEntry> hosts;
        for (int row = 0; row < hostList_.Count(); ++row) {
            hosts.push_back(hostList_.At(row)->Entry());
        }
        hosts[0].address = settings_.hostName;
        hosts[0].password = settings_.password;
        hosts[0].autoConnect = settings_.autoConnect;
        keyring_.KeepHosts(hosts);
    }
    // The field shows the password the window logs in with, while it shows this host.
    if (sent && &monitor == monitor_) {
        view_.password->setText(QString::fromStdString(password));
    }
}

void MainWindow::FillPassword(HostMonitor& monitor) {
    // The keyring answers after the start: a further host's password may come later
    // than its entry.
    if (!monitor.Entry().password.empty() || &monitor == hostList_.At(0)) {
        return;
    }
    for (const HostEntry& kept : keyring_.KeptHosts()) {
        if (kept.address == monitor.Entry().address && !kept.password.empty()) {
            HostEntry entry = monitor.Entry();
            entry.password = kept.password;
            monitor.SetEntry(entry);
            return;
        }
    }
}

void MainWindow::ArmFurtherHost(HostMonitor& monitor) {
    // Never before the window runs, as the settings' host's first try.
    if (initialized_ && monitor.Entry().autoConnect) {
        monitor.Session().ArmReconnect(kFirstTryOfFurtherHostMs);
    }
}

std::vector<HostMonitor*> MainWindow::MatchHosts(const std::vector<HostEntry>& hosts) {
    std::vector<HostMonitor*> left;
    for (int row = 0; row < hostList_.Count(); ++row) {
        left.push_back(hostList_.At(row));
    }
    std::vector<HostMonitor*> matched(hosts.size(), nullptr);
    const auto take = [&left](auto pick) {
        const auto found = std::find_if(left.begin(), left.end(), pick);
        HostMonitor* m = found == left.end() ? nullptr : *found;
        if (m != nullptr) {
            left.erase(found);
        }
        return m;
    };
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        const std::string& address = hosts[i].address;
        matched[i] =
            take([&address](const HostMonitor* m) { return m->Entry().address == address; });
    }
    // An edited address: the same host, in the list's order.
    for (HostMonitor*& m : matched) {
        if (m == nullptr) {
            m = take([](const HostMonitor*) { return true; });
        }
    }
    // The hosts no longer watched go, the shown one after another took its place.
    for (HostMonitor* gone : left) {
        if (gone == monitor_) {
            ShowMonitor(*matched.front());
        }
        events_.RemoveHost(gone->Events());
        journalNames_.erase(gone);
        hostList_.Remove(hostList_.RowOf(gone));
    }
    return matched;
}

void MainWindow::SetHosts(const std::vector<HostEntry>& hosts) {
    if (hosts.empty()) {
        return;
    }
    std::vector<HostMonitor*> matched = MatchHosts(hosts);
    std::vector<HostMonitor*> added;
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        if (matched[i] == nullptr) {
            matched[i] = &AddHost(hosts[i]);
            added.push_back(matched[i]);
        }
        hostList_.Move(hostList_.RowOf(matched[i]), static_cast<int>(i));
        matched[i]->SetEntry(hosts[i]);  // a new name reaches the events view (WireHost)
    }
    // The settings hold the first host (the hosts dialog wrote them): its fields and
    // its Autoconnect check.
    HostMonitor& first = *matched.front();
    first.Session().SetAutoConnect(settings_.autoConnect);
    toggles_->ShowChecks();
    for (std::size_t i = 1; i < hosts.size(); ++i) {
        matched[i]->Session().SetAutoConnect(hosts[i].autoConnect);
    }
    for (HostMonitor* m : added) {
        if (m != &first) {
            ArmFurtherHost(*m);
        }
    }
    ShowHostCount();
    if (initialized_) {
        ShowHost(hostList_.RowOf(monitor_));
    }
}

void MainWindow::WatchKeptHosts() {
    std::vector<HostEntry> hosts = keyring_.KeptHosts();
    if (hosts.size() < 2) {
        SetHosts(hosts);
        return;
    }
    // The list is in the window from the start; the hosts, each with a session on a
    // thread of its own, come once the window has painted, so that many hosts do not
    // hold up its first picture. They connect later still.
    view_.hostList->show();
    platform::FirstPaintGate::Defer(*this, *this,
                                    [this, hosts = std::move(hosts)] { SetHosts(hosts); });
}

void MainWindow::ShowHostCount() {
    const bool several = SeveralHosts();
    view_.hostList->setVisible(several);
    for (int row = 0; row < hostList_.Count(); ++row) {
        HostMonitor* m = hostList_.At(row);
        m->SetBoxesAllowed(!several);
        if (const auto name = journalNames_.find(m); name != journalNames_.end()) {
            name->second->Set(HostNameOf(*m));
        }
    }
    if (several) {
        ShowHostsInTray();
    } else if (initialized_) {
        // The one host's icon and tooltip again.
        ShowHostState();
    }
}

void MainWindow::ShowHostsInTray() {
    if (initialized_ && SeveralHosts()) {
        tray_.ShowHosts(HostsLevelOf(hostList_.Worst()), hostList_.TooltipLines());
    }
}

void MainWindow::ShowHost(int row) {
    HostMonitor* m = hostList_.At(row);
    if (m == nullptr) {
        return;
    }
    ShowMonitor(*m);
    FillPassword(*m);
    const bool first = row == 0;
    view_.host->setText(QString::fromStdString(first ? settings_.hostName : m->Entry().address));
    view_.password->setText(
        QString::fromStdString(first ? settings_.password : m->Entry().password));
    view_.hostList->MarkShown(row);
}

void MainWindow::ShutdownHosts() {
    // Each session waits at most its own bound for its logoff; together they log off
    // at once, not one after another.
    if (SeveralHosts()) {
        std::vector<std::jthread> logoffs;
        for (int row = 0; row < hostList_.Count(); ++row) {
            logoffs.emplace_back([m = hostList_.At(row)] { m->Session().Shutdown(); });
        }
    } else {
        monitor_->Session().Shutdown();
    }
}

}  // namespace veltrix
