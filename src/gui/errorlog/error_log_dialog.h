#pragma once
// The error log view: the controller error log entries the polling cycle drained, one
// line each in arrival order and without limit, in a window of its own. The menu's
// command makes it when first shown, over the lines its host keeps: the view reads
// them there, and a new line the host appends becomes a row, shown or hidden.

#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "model/records.h"

class QTreeView;

namespace veltrix {

namespace error_log_id {
inline constexpr int kDialog = 153;
inline constexpr int kList = 1102;
inline constexpr int kHide = 1;
}  // namespace error_log_id

inline constexpr int kErrorLogColumns = 8;

// The texts of one entry's columns: date and time "dd.mm.yyyy  hh:mm:ss", then in hex
// the controller, port, command, status, control, the 48-bit LBA as twelve digits and
// the sector count.
std::array<std::string, kErrorLogColumns> ErrorLogFields(const LogEntry& entry);
// The entry's line: its column texts joined by tabs.
std::string ErrorLogLine(const LogEntry& entry);

class ErrorLogModel;

class ErrorLogDialog : public QDialog {
    Q_OBJECT

  public:
    // A window of its own, not shown, with the lines of `entries` (those that came
    // before it was made) in one piece.
    explicit ErrorLogDialog(std::vector<LogEntry> entries = {}, QWidget* parent = nullptr);
    // The same showing the lines of `shown`, which another keeps (and must outlive the
    // view): it appends to them and then tells the view with AddLogLine.
    ErrorLogDialog(const std::vector<LogEntry>* shown, QWidget* parent);

    // Appends the line of `entry`, shown or not (a kept list has it already).
    void AddLogLine(const LogEntry& entry);
    const std::vector<LogEntry>& Entries() const;

    // The selected lines, or all lines when none is selected, each ended by a line
    // break: what Copy puts on the clipboard.
    std::string SelectedText() const;
    void CopySelection() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ErrorLogDialog(std::vector<LogEntry> entries, const std::vector<LogEntry>* shown,
                   QWidget* parent);

    ErrorLogModel* model_ = nullptr;
    QTreeView* list_ = nullptr;
};

}  // namespace veltrix
