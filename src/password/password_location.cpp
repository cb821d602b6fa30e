#include "password/password_location.h"

#include <QSettings>
#include <QStringList>

namespace veltrix::password {

namespace {

QString InGroup(const char* key) {
    return QString::fromLatin1(kSettingsGroup) + u'/' + QString::fromLatin1(key);
}

}  // namespace

QString PasswordSettingsKey() {
    return InGroup(kPasswordKey);
}

QString KeyringChoiceSettingsKey() {
    return InGroup(kKeyringChoiceKey);
}

std::optional<std::string> FilePassword(const QSettings& file) {
    const QVariant value = file.value(PasswordSettingsKey());
    if (!value.isValid()) {
        return std::nullopt;
    }
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    return value.toString().toStdString();
}

KeyringChoice FileKeyringChoice(const QSettings& file) {
    bool ok = false;
    const int value = file.value(KeyringChoiceSettingsKey()).toInt(&ok);
    if (!ok) {
        return KeyringChoice::Undecided;
    }
    return value != 0 ? KeyringChoice::Keyring : KeyringChoice::File;
}

std::string KeyringLookupCommand() {
    return std::string("secret-tool lookup server ") + kKeyringService + " user " + kKeyringKey;
}

}  // namespace veltrix::password
