#pragma once
// The passwords of the further hosts (all but the first, whose password KeyringToggle
// keeps) in the desktop's keyring, one entry per host under HostKeyringKey. As for the
// first host, a password the settings file keeps is moved to the keyring and removed
// from the file once the keyring confirmed it; where no keyring takes it, the file
// keeps it (N\Password).

#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "password/password_location.h"
#include "watch/host_entry.h"

namespace veltrix {

class PasswordKeyring;

class HostKeyrings : public QObject {
    Q_OBJECT

  public:
    // `service`: the keyring entries' service name.
    explicit HostKeyrings(QString service, QObject* parent = nullptr);
    ~HostKeyrings() override;

    // Keeps the passwords of hosts[1..] from now on: a host new here moves its password
    // to the keyring (or reads it from there when it has none), a changed password is
    // stored, and the entry of a host that is gone is removed.
    void Keep(const std::vector<HostEntry>& hosts, password::KeyringChoice choice);
    // The keyring keeps the password of the host at `address`.
    bool Holds(const std::string& address) const;
    // The passwords the keyring gave, into the further hosts of `hosts`.
    void FillPasswords(std::vector<HostEntry>& hosts) const;

  private:
    struct Entry {
        std::unique_ptr<PasswordKeyring> keyring;
        std::string password;
    };
    void Add(const HostEntry& host, password::KeyringChoice choice);

    QString service_;
    std::map<std::string, Entry> entries_;  // by address
};

}  // namespace veltrix
