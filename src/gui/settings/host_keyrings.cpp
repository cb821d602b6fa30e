#include "gui/settings/host_keyrings.h"

#include <optional>
#include <set>
#include <utility>

#include "gui/settings/host_entries_store.h"
#include "gui/settings/password_keyring.h"

namespace veltrix {

HostKeyrings::HostKeyrings(QString service, QObject* parent)
    : QObject(parent), service_(std::move(service)) {}

HostKeyrings::~HostKeyrings() = default;

void HostKeyrings::Add(const HostEntry& host, password::KeyringChoice choice) {
    Entry& entry = entries_[host.address];
    entry.password = host.password;
    entry.keyring =
        std::make_unique<PasswordKeyring>(service_, nullptr, HostKeyringKey(host.address));
    PasswordKeyring& keyring = *entry.keyring;
    const std::string address = host.address;
    connect(&keyring, &PasswordKeyring::PasswordRead, this,
            [this, address](const std::string& p) { entries_[address].password = p; });
    // Once the keyring holds the password, the file keeps none.
    connect(&keyring, &PasswordKeyring::Settled, this, [&keyring, address] {
        if (keyring.HoldsPassword()) {
            RemoveFileHostPassword(address);
        }
    });
    // A password given is moved there; without one, the keyring's is read.
    keyring.Start(host.password.empty() ? std::nullopt : std::optional(host.password), choice);
}

void HostKeyrings::Keep(const std::vector<HostEntry>& hosts, password::KeyringChoice choice) {
    std::set<std::string> kept;
    for (std::size_t i = 1; i < hosts.size(); ++i) {
        const HostEntry& host = hosts[i];
        kept.insert(host.address);
        const auto it = entries_.find(host.address);
        if (it == entries_.end()) {
            Add(host, choice);
        } else if (it->second.password != host.password) {
            it->second.password = host.password;
            it->second.keyring->Store(host.password);
        }
    }
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (kept.contains(it->first)) {
            ++it;
            continue;
        }
        // The host is gone, or its address changed: the entry the keyring holds goes
        // (the job ends by itself after the keyring object). A keyring that never
        // answered is not asked.
        if (it->second.keyring->HoldsPassword()) {
            it->second.keyring->LeaveKeyring();
        }
        it = entries_.erase(it);
    }
}

bool HostKeyrings::Holds(const std::string& address) const {
    const auto it = entries_.find(address);
    return it != entries_.end() && it->second.keyring->HoldsPassword();
}

void HostKeyrings::FillPasswords(std::vector<HostEntry>& hosts) const {
    for (std::size_t i = 1; i < hosts.size(); ++i) {
        if (const auto it = entries_.find(hosts[i].address); it != entries_.end()) {
            hosts[i].password = it->second.password;
        }
    }
}

}  // namespace veltrix
