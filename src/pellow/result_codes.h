#pragma once
// Result codes of the desktop's "open": above 32 the file was handed to its application,
// 32 and below say why it was not. The numbers are the installation medium's own, so the
// launcher's message table reads the same on every platform.

namespace pellow {

// Success: the application for the file's type was started.
inline constexpr int kOpened = 42;

inline constexpr int kOutOfResources = 0;
// Any failure that has no code of its own; the file could not be opened.
inline constexpr int kOpenFailed = 1;
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kOutOfMemory = 8;
inline constexpr int kBadFormat = 11;
inline constexpr int kSharingViolation = 26;
inline constexpr int kAssociationIncomplete = 27;
inline constexpr int kNoAssociation = 31;

constexpr bool Succeeded(int result) {
    return result > 32;
}

}  // namespace pellow
