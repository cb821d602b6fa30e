#include "gui/settings/password_keyring.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QDBusError>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>

namespace veltrix {

namespace {

constexpr char kKey[] = "service-password";

}  // namespace

PasswordKeyring::PasswordKeyring(QString service, QObject* parent)
    : QObject(parent), service_(std::move(service)) {}

void PasswordKeyring::Run(QKeychain::Job* job, std::function<void(QKeychain::Job&)> done) {
    job->setAutoDelete(true);
    job->setKey(QString::fromLatin1(kKey));
    auto answered = std::make_shared<bool>(false);
    ++pending_;
    connect(job, &QKeychain::Job::finished, this,
            [this, answered, done = std::move(done)](QKeychain::Job* finished) {
                if (!*answered) {
                    *answered = true;
                    --pending_;
                    done(*finished);
                }
            });
    QTimer::singleShot(kBoundMs, this, [this, answered] {
        if (!*answered) {
            *answered = true;  // a late answer is ignored
            --pending_;
            Fail(
                //% "the keyring did not answer within %1 s (locked?)"
                qtTrId("settings.the-keyring-did-not-answer-within-1").arg(kBoundMs / 1000));
        }
    });
    job->start();
}

void PasswordKeyring::Fail(const QString& why) {
    inUse_ = false;
    if (!failed_) {
        failed_ = true;
        emit Unavailable(why);
    }
}

void PasswordKeyring::Start(const std::optional<std::string>& filePassword) {
    // Every keyring QtKeychain speaks to is on the session bus. Without one there is
    // nothing to ask, and asking would load the keyring libraries (and their threads)
    // into the program for nothing.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        Fail(bus.lastError().message());
        return;
    }
    if (filePassword) {
        auto* job = new QKeychain::WritePasswordJob(service_, this);
        job->setTextData(QString::fromStdString(*filePassword));
        Run(job, [this](QKeychain::Job& done) {
            if (done.error() != QKeychain::NoError) {
                Fail(done.errorString());
                return;
            }
            inUse_ = true;
            emit Moved();
        });
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(service_, this);
    Run(job, [this](QKeychain::Job& done) {
        if (done.error() == QKeychain::EntryNotFound) {
            inUse_ = true;  // the keyring works; the password goes there when it changes
            return;
        }
        if (done.error() != QKeychain::NoError) {
            Fail(done.errorString());
            return;
        }
        inUse_ = true;
        emit PasswordRead(static_cast<QKeychain::ReadPasswordJob&>(done).textData().toStdString());
    });
}

void PasswordKeyring::Store(const std::string& password) {
    if (failed_) {
        return;
    }
    auto* job = new QKeychain::WritePasswordJob(service_, this);
    job->setTextData(QString::fromStdString(password));
    Run(job, [this](QKeychain::Job& done) {
        if (done.error() != QKeychain::NoError) {
            Fail(done.errorString());
            return;
        }
        inUse_ = true;
    });
}

}  // namespace veltrix
