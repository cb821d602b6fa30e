#pragma once
// A list of the main window (drives, RAID sets): a view of a table model, one row per
// object, each column as wide as its widest text, single selection.
//
// Qt measures a header section with the bold face of the header's font, leaving room
// for a section drawn highlighted. These lists never highlight a section, and loading
// that face for the measuring alone costs start-up time and memory: the sections are
// measured here with the font they are drawn in, whenever a model is set and again
// whenever the font or the style changes, and the model keeps the sizes with its
// captions.

#include <QTreeView>

namespace veltrix {

class StatusList : public QTreeView {
    Q_OBJECT

  public:
    explicit StatusList(QWidget* parent);

    void setModel(QAbstractItemModel* model) override;

  signals:
    // The current row changed (-1: none); blocked with the list's signals, as the
    // selection set from code is.
    void CurrentRowChanged(int row);

  protected:
    void changeEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    // Stores each caption's size in the list's font and style with `captions`.
    void MeasureCaptions(QAbstractItemModel* captions);
    // Room for the header and a few rows.
    void KeepRoomForRows();

    bool measuring_ = false;
};

}  // namespace veltrix
