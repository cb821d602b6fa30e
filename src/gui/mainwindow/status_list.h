#pragma once
// A list of the main window (drives, RAID sets): one row per object, a column per
// caption, each column as wide as its widest text, single selection.
//
// Qt measures a header section with the bold face of the header's font, leaving room
// for a section drawn highlighted. These lists never highlight a section, and loading
// that face for the measuring alone costs start-up time and memory: the sections are
// measured here with the font they are drawn in, again whenever the font or the style
// changes.

#include <QStringList>
#include <QTreeWidget>

namespace veltrix {

class StatusList : public QTreeWidget {
  public:
    StatusList(const QStringList& captions, QWidget* parent);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    // Sets the header's captions with their sizes in the list's font and style.
    void SetCaptions(const QStringList& captions);

    bool measuring_ = false;
};

}  // namespace veltrix
