#pragma once
// The desktop's "open" for one file, as a file manager's double click does it.

#include <QString>

namespace pellow {

// Starts the desktop's default application for the content type of `fileName` (absolute,
// or relative to the current directory) with that file, and returns a code of
// result_codes.h: kOpened once the application was started, otherwise why the file was
// not opened (missing file or folder, no read access, no application for the type, ...).
// It does not wait for the application.
int OpenWithDesktop(const QString& fileName);

}  // namespace pellow
