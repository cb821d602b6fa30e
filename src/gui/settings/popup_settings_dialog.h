#pragma once
// The popup settings: whether the client announces events itself at all, and from
// which level on (a vertical slider, "All events" at the top).

#include <QDialog>

class QCheckBox;
class QSlider;

namespace veltrix {

class PopupSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 144;
    static constexpr int kEnableId = 1100;
    static constexpr int kLevelId = 1075;
    // Slider positions: 0 all events, 1 errors and warnings, 2 errors only.
    static constexpr int kLowestLevel = 0;
    static constexpr int kHighestLevel = 2;

    // Shows `enabled` and `level` (a level outside 0..2 shows as the nearest end).
    PopupSettingsDialog(bool enabled, int level, QWidget* parent = nullptr);

    // What the controls show (after OK: what the user chose).
    bool Enabled() const;
    int Level() const;

  private:
    QCheckBox* enabled_ = nullptr;
    QSlider* level_ = nullptr;
};

}  // namespace veltrix
