#pragma once
// The program's own version as the window shows it: the About box reads it, and a
// version with a revision (a test build) wears the BETA badge beside the logo.

#include <string>

#include "model/file_version_info.h"

class QLabel;

namespace veltrix {

class OwnVersion {
  public:
    explicit OwnVersion(QLabel* badge) : badge_(badge) {}

    const ProductVersion& Version() const { return version_; }
    // Takes `version` as the program's own and shows the badge when its revision is
    // not 0.
    void Set(const ProductVersion& version);
    // The same with the version block of `fileName` (0.0.0 when it has none).
    void Read(const std::string& fileName);
    void ShowBadge(bool show);

  private:
    QLabel* badge_;
    ProductVersion version_;
};

}  // namespace veltrix
