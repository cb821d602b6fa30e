#include "gui/settings/password_keyring.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>

namespace veltrix {

namespace {

bool KeyringRuns() {
    const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus != nullptr &&
           bus->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value();
}

}  // namespace

PasswordKeyring::PasswordKeyring(QString service, QObject* parent, QString key)
    : QObject(parent), service_(std::move(service)), key_(std::move(key)) {}

void PasswordKeyring::Run(QKeychain::Job* job, int boundMs,
                          std::function<void(QKeychain::Job&)> done) {
    // The job has no parent: it deletes itself once it finished, also after the keyring
    // object is gone (the keyring library calls back into a job it was given, and a job
    // deleted under way would be called back after its end).
    job->setAutoDelete(true);
    job->setKey(key_);
    auto answered = std::make_shared<bool>(false);
    ++pending_;
    connect(job, &QKeychain::Job::finished, this,
            [this, answered, done = std::move(done)](QKeychain::Job* finished) {
                if (!*answered) {
                    *answered = true;
                    --pending_;
                    done(*finished);
                    emit Settled();
                }
            });
    const bool write = qobject_cast<QKeychain::WritePasswordJob*>(job) != nullptr;
    QTimer::singleShot(boundMs, this, [this, answered, boundMs, write] {
        if (!*answered) {
            *answered = true;  // a late answer is ignored
            --pending_;
            Fail(
                //% "the keyring did not answer within %1 s (locked?)"
                qtTrId("settings.the-keyring-did-not-answer-within-1").arg(boundMs / 1000), write);
            emit Settled();
        }
    });
    job->start();
}

void PasswordKeyring::Fail(const QString& why, bool refused) {
    inUse_ = false;
    if (!failed_) {
        failed_ = true;
        emit Unavailable(why, refused);
    }
}

void PasswordKeyring::Write(const std::string& password, int boundMs, bool announceMove) {
    auto* job = new QKeychain::WritePasswordJob(service_);
    job->setTextData(QString::fromStdString(password));
    Run(job, boundMs, [this, announceMove](QKeychain::Job& done) {
        if (done.error() != QKeychain::NoError) {
            // Only a keyring that runs refused: where none runs, nobody was asked, and
            // a later start moves the password once one runs.
            Fail(done.errorString(), KeyringRuns());
            return;
        }
        inUse_ = true;
        if (announceMove) {
            emit Moved();
        }
    });
}

void PasswordKeyring::Start(const std::optional<std::string>& filePassword,
                            password::KeyringChoice choice) {
    if (choice == password::KeyringChoice::File) {
        failed_ = true;  // kept in the file by an earlier refusal or the user's choice
        return;
    }
    // Every keyring QtKeychain speaks to is on the session bus. Without one there is
    // nothing to ask, and asking would load the keyring libraries (and their threads)
    // into the program for nothing.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        Fail(bus.lastError().message(), false);
        return;
    }
    if (filePassword) {
        Write(*filePassword, kBoundMs, true);
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(service_);
    Run(job, kBoundMs, [this](QKeychain::Job& done) {
        if (done.error() == QKeychain::EntryNotFound) {
            inUse_ = true;  // the keyring works; the password goes there when it changes
            return;
        }
        if (done.error() != QKeychain::NoError) {
            Fail(done.errorString(), false);
            return;
        }
        inUse_ = true;
        emit PasswordRead(static_cast<QKeychain::ReadPasswordJob&>(done).textData().toStdString());
    });
}

void PasswordKeyring::Store(const std::string& password) {
    if (!failed_) {
        Write(password, kBoundMs, false);
    }
}

void PasswordKeyring::MoveToKeyring(const std::string& password) {
    failed_ = false;
    Write(password, kPromptBoundMs, true);
}

void PasswordKeyring::LeaveKeyring() {
    inUse_ = false;
    failed_ = true;
    auto* job = new QKeychain::DeletePasswordJob(service_);
    Run(job, kBoundMs, [](QKeychain::Job&) {});
}

}  // namespace veltrix
