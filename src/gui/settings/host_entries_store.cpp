#include "gui/settings/host_entries_store.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>
#include <algorithm>

#include "gui/settings/settings_store.h"
#include "password/password_location.h"

namespace veltrix {

namespace {

constexpr char kName[] = "Name";
constexpr char kAddress[] = "Address";
constexpr char kAutoConnect[] = "Autoconnect";
constexpr char kPassword[] = "Password";
constexpr char kFirstAddress[] = "ServerHostname";
constexpr char kFirstAutoConnect[] = "Autoconnect";
// A hand-edited size is read up to this many hosts; the window watches far fewer.
constexpr int kMaxFurtherHosts = 64;

QString Latin1(const char* text) {
    return QString::fromLatin1(text);
}

// An unquoted comma in a hand-edited file makes a value a list: joined again.
QString Text(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    return value.toString();
}

// The key of the further host `index` (0 first) in the array: "Hosts/1/Name".
QString ArrayKey(int index, const char* key) {
    return QStringLiteral("%1/%2/%3").arg(Latin1(kHostsArray)).arg(index + 1).arg(Latin1(key));
}

int FurtherHostCount(QSettings& file) {
    bool ok = false;
    const int size = file.value(Latin1(kHostsArray) + QStringLiteral("/size")).toInt(&ok);
    return ok ? std::clamp(size, 0, kMaxFurtherHosts) : 0;
}

// The array's index of the further host at `address`; -1 for none.
int IndexOf(QSettings& file, const std::string& address) {
    const int count = FurtherHostCount(file);
    for (int i = 0; i < count; ++i) {
        if (Text(file.value(ArrayKey(i, kAddress))).toStdString() == address) {
            return i;
        }
    }
    return -1;
}

void ReadFurtherHosts(QSettings& file, std::vector<HostEntry>& hosts) {
    const int count = FurtherHostCount(file);
    for (int i = 0; i < count; ++i) {
        HostEntry host;
        host.address = Text(file.value(ArrayKey(i, kAddress))).trimmed().toStdString();
        if (host.address.empty()) {
            continue;
        }
        host.name = Text(file.value(ArrayKey(i, kName))).trimmed();
        if (host.name.isEmpty()) {
            host.name = DefaultHostName(host.address);
        }
        host.password = Text(file.value(ArrayKey(i, kPassword))).toStdString();
        // As the first host's: what is not a number (a hand-written "true") keeps the
        // default, on.
        bool ok = false;
        const int autoConnect = file.value(ArrayKey(i, kAutoConnect)).toInt(&ok);
        host.autoConnect = !ok || autoConnect != 0;
        hosts.push_back(std::move(host));
    }
}

void WriteFirstHost(QSettings& file, const HostEntry& host, bool keyringHolds) {
    file.beginGroup(Latin1(password::kSettingsGroup));
    if (keyringHolds) {
        file.remove(Latin1(password::kPasswordKey));
    } else {
        file.setValue(Latin1(password::kPasswordKey), QString::fromStdString(host.password));
    }
    file.setValue(Latin1(kFirstAddress), QString::fromStdString(host.address));
    file.setValue(Latin1(kFirstAutoConnect), host.autoConnect ? 1 : 0);
    // A name that is the default is not kept: the file of one host stays as it was.
    if (host.name == DefaultHostName(host.address)) {
        file.remove(Latin1(kHostNameKey));
    } else {
        file.setValue(Latin1(kHostNameKey), host.name);
    }
    file.endGroup();
}

}  // namespace

QString HostKeyringKey(const std::string& address) {
    return Latin1(password::kKeyringKey) + QLatin1Char('@') + QString::fromStdString(address);
}

QString DefaultHostName(const std::string& address) {
    if (address == ".") {
        //% "This computer"
        return qtTrId("settings.this-computer");
    }
    return QString::fromStdString(address);
}

std::vector<HostEntry> ReadHosts(const ClientSettings& first) {
    std::vector<HostEntry> hosts(1);
    hosts[0].address = first.hostName;
    hosts[0].password = first.password;
    hosts[0].autoConnect = first.autoConnect;
    ReadSettingsFile([&hosts](QSettings& file) {
        const QString key =
            Latin1(password::kSettingsGroup) + QLatin1Char('/') + Latin1(kHostNameKey);
        hosts[0].name = Text(file.value(key)).trimmed();
        ReadFurtherHosts(file, hosts);
    });
    if (hosts[0].name.isEmpty()) {
        hosts[0].name = DefaultHostName(hosts[0].address);
    }
    return hosts;
}

void WriteHosts(const std::vector<HostEntry>& hosts, ClientSettings& first,
                const std::function<bool(std::size_t)>& keyringHolds) {
    if (hosts.empty()) {
        return;
    }
    first.hostName = hosts[0].address;
    first.password = hosts[0].password;
    first.autoConnect = hosts[0].autoConnect;
    EditSettingsFile([&hosts, &keyringHolds](QSettings& file) {
        WriteFirstHost(file, hosts[0], keyringHolds(0));
        file.remove(Latin1(kHostsArray));
        if (hosts.size() == 1) {
            return;
        }
        file.beginWriteArray(Latin1(kHostsArray), static_cast<int>(hosts.size() - 1));
        for (std::size_t i = 1; i < hosts.size(); ++i) {
            file.setArrayIndex(static_cast<int>(i - 1));
            file.setValue(Latin1(kName), hosts[i].name);
            file.setValue(Latin1(kAddress), QString::fromStdString(hosts[i].address));
            file.setValue(Latin1(kAutoConnect), hosts[i].autoConnect ? 1 : 0);
            if (!keyringHolds(i)) {
                file.setValue(Latin1(kPassword), QString::fromStdString(hosts[i].password));
            }
        }
        file.endArray();
    });
}

std::optional<std::string> FileHostPassword(const std::string& address) {
    std::optional<std::string> password;
    ReadSettingsFile([&password, &address](QSettings& file) {
        const int index = IndexOf(file, address);
        if (index >= 0 && file.contains(ArrayKey(index, kPassword))) {
            password = Text(file.value(ArrayKey(index, kPassword))).toStdString();
        }
    });
    return password;
}

void RemoveFileHostPassword(const std::string& address) {
    if (!FileHostPassword(address)) {
        return;
    }
    EditSettingsFile([&address](QSettings& file) {
        if (const int index = IndexOf(file, address); index >= 0) {
            file.remove(ArrayKey(index, kPassword));
        }
    });
}

}  // namespace veltrix
