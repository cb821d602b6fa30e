#pragma once
// The service password in the desktop's Secret Service keyring (GNOME Keyring,
// KWallet, KeePassXC, ... through QtKeychain) instead of the settings file.
//
// At start a password the settings file still holds is written to the keyring, and
// only once the keyring confirmed the write does Moved() tell the owner to remove it
// from the file; without one in the file the keyring's is read. Later changes go to
// the keyring. Every call is asynchronous and bounded: a keyring that does not answer
// within kBoundMs (locked, waiting for an unlock prompt nobody answers) counts as
// refused. When the keyring is missing or refuses, Unavailable() says why, once, and
// the owner keeps the password in the file as before; when it refused a write (no
// collection to write to, its prompt dismissed) `refused` tells the owner to keep it
// there for good, so that no later start prompts again by itself. Only the user's own
// request (MoveToKeyring) asks again.

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "password/password_location.h"

namespace QKeychain {  // NOLINT(readability-identifier-naming): the library's own name
class Job;
}

namespace veltrix {

class PasswordKeyring : public QObject {
    Q_OBJECT

  public:
    static constexpr int kBoundMs = 5000;
    // The user asked for the move and may be asked to choose or type a keyring password.
    static constexpr int kPromptBoundMs = 120000;

    // `service`: the keyring entry's service name (tests use their own); `key`: its key,
    // the first host's password by default (further hosts have keys of their own).
    explicit PasswordKeyring(QString service = QString::fromLatin1(password::kKeyringService),
                             QObject* parent = nullptr,
                             QString key = QString::fromLatin1(password::kKeyringKey));

    // `filePassword`: the settings file's password, when it holds one (moved), or
    // nothing (read from the keyring). `choice` File: the keyring is not asked at all.
    void Start(const std::optional<std::string>& filePassword, password::KeyringChoice choice);
    // A changed password goes to the keyring (nothing once it is unavailable).
    void Store(const std::string& password);
    // The user's request: the password goes to the keyring (Moved), or Unavailable says
    // why not; or back out of it, the entry removed (the owner keeps it in the file).
    void MoveToKeyring(const std::string& password);
    void LeaveKeyring();
    // The keyring holds the password: it answered, and no write is still under way
    // (whose password the settings file then keeps, to be moved at the next start).
    bool HoldsPassword() const { return inUse_ && pending_ == 0; }

  signals:
    void PasswordRead(std::string password);
    void Moved();
    void Unavailable(QString why, bool refused);
    // Any answer, or the bound, came: HoldsPassword() may have changed.
    void Settled();

  private:
    // Runs `job` with the bound; `done` gets it when it finished in time. A write that
    // outlives its bound counts as refused (a prompt waits that nobody answers).
    void Run(QKeychain::Job* job, int boundMs, std::function<void(QKeychain::Job&)> done);
    void Write(const std::string& password, int boundMs, bool announceMove);
    void Fail(const QString& why, bool refused);

    QString service_;
    QString key_;
    bool inUse_ = false;
    bool failed_ = false;
    int pending_ = 0;  // jobs not answered yet
};

}  // namespace veltrix
