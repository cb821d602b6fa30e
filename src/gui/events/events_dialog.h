#pragma once
// The events view: every watched host's event lines in one table (Time, Host,
// Severity, Text), newest last, in a window of its own that is modal to nothing. Two
// lists choose the host and the severity shown; Ctrl+C and Copy put the selected rows,
// or every row shown when none is selected, on the clipboard. New lines show as they
// come; while the last row is in sight the table keeps it there.

#include <QDialog>

class QComboBox;
class QTreeView;

namespace veltrix {

namespace events_id {
inline constexpr int kDialog = 190;
inline constexpr int kTable = 1160;
inline constexpr int kHostFilter = 1161;
inline constexpr int kSeverityFilter = 1162;
inline constexpr int kCopy = 1163;
inline constexpr int kClose = 1164;
}  // namespace events_id

class EventsFilter;
class EventsModel;

class EventsDialog : public QDialog {
    Q_OBJECT

  public:
    // Shows the rows of `model`, which must outlive the view.
    explicit EventsDialog(EventsModel& model, QWidget* parent = nullptr);

    // The host list again, after a host was added, removed or renamed; the host chosen
    // stays chosen while it is there.
    void RefreshHosts();
    // Brings the newest row into sight.
    void ScrollToNewest();

    // The selected rows, or all rows shown when none is selected, each as its columns
    // joined by tabs and ended by a line break: what Copy puts on the clipboard.
    QString SelectedText() const;
    void CopySelection() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildTable();
    void BuildFilters();
    void OnFilterChosen();

    EventsModel& model_;
    EventsFilter* filter_ = nullptr;
    QTreeView* table_ = nullptr;
    QComboBox* hosts_ = nullptr;
    QComboBox* severities_ = nullptr;
    bool followNewest_ = true;
};

}  // namespace veltrix
