#pragma once
// A private desktop for the launcher's tests, installed before anything asks GIO (which
// reads the XDG folders once per process): XDG data and configuration in a temporary
// directory, no system folders, GIO modules or session bus. Its one application records
// each file it is asked to open as a line and is the default for *.pellowtest files;
// with WithPackageHandler() also for files of unknown type, as the .msi packages are here.

#include <QProcessEnvironment>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace pellow::testing {

QProcessEnvironment WithPackageHandler();

// Waits (at most 10 s) until the application has recorded a file; returns and clears the
// record.
QString TakeOpenedRecord();

}  // namespace pellow::testing
