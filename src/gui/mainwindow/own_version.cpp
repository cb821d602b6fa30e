#include "gui/mainwindow/own_version.h"

#include <QLabel>

#include "gui/diagram/diagram_pictures.h"

namespace veltrix {

void OwnVersion::Set(const ProductVersion& version) {
    version_ = version;
    ShowBadge(version_.revision != 0);
}

void OwnVersion::Read(const std::string& fileName) {
    FileVersionInfo info;
    info.Load(fileName);
    Set(info.Product());
}

void OwnVersion::ShowBadge(bool show) {
    // Drawn the first time it is shown: a release never draws it.
    if (show && badge_->pixmap().isNull()) {
        badge_->setPixmap(KeyedPicture(picture_id::kBetaBadge));
    }
    badge_->setVisible(show);
}

}  // namespace veltrix
