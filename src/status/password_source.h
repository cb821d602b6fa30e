#pragma once
// Where veltrix-status gets the service password from, in this order: a file named on
// the command line, the VELTRIX_PASSWORD environment variable, the desktop's keyring
// where the desktop program keeps it there (asked without a prompt, within 2 s, and only
// where a session bus exists), the desktop program's settings file. Never the command
// line itself, which other users can read.

#include <optional>
#include <string>
#include <vector>

namespace veltrix::status {

struct PasswordLookup {
    std::optional<std::string> password;
    // Where it came from ("--password-file", "VELTRIX_PASSWORD", "the keyring", the
    // settings file's path).
    std::string source;
    // Why there is none.
    std::string error;
    // Things worth saying on standard error that do not stop the run.
    std::vector<std::string> warnings;
};

// The longest password a login carries (the rest would be cut off).
inline constexpr std::size_t kMaxPasswordLength = 99;

// `passwordFile` empty: not given. Reads the keyring and the settings as the desktop
// program writes them (see password/password_location.h).
PasswordLookup FindPassword(const std::string& passwordFile);

// The first line of a password file's content, without its line end. Nothing for
// content with a NUL byte or an empty first line; `error` says which.
std::optional<std::string> PasswordFromFileContent(const std::string& content, std::string& error);

// Path of the desktop program's settings file for this user.
std::string SettingsFilePath();

}  // namespace veltrix::status
