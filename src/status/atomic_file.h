#pragma once
// Replacing a file so that a reader sees either the old content or the new, never a
// part: a temporary file in the same folder, written, synced and renamed over it.
// The temporary file's name starts with a dot and does not end in ".prom", so node
// exporter's textfile collector never reads it.

#include <sys/types.h>

#include <string>

namespace veltrix::status {

// False, with `error` telling why, when the file could not be replaced; the old
// file is then unchanged and no temporary file is left behind.
bool WriteFileAtomically(const std::string& path, const std::string& content, mode_t mode,
                         std::string& error);

}  // namespace veltrix::status
