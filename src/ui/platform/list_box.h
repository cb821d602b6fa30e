#pragma once
// A single-selection list box whose rows may be tab-separated columns.
//
// Rows keep their exact text, tabs included; with tab stops set they are shown as
// columns at those stops. userSelChange is emitted for selections made by the user
// only (every click on a row, keys that move the selection), never for the ones the
// program makes.

#include <QListWidget>
#include <vector>

namespace veltrix::platform {

class TabStopDelegate;

class ListBox : public QListWidget {
    Q_OBJECT

  public:
    explicit ListBox(QWidget* parent = nullptr);

    // Column stops in dialog units; empty shows rows as plain text.
    void SetTabStops(std::vector<int> dialogUnits);
    const std::vector<int>& TabStops() const { return tabStops_; }
    // The stops in pixels for the current font.
    std::vector<int> TabStopsPixels() const;

    // Rows kept in case-insensitive alphabetical order.
    void SetSorted(bool sorted) { sorted_ = sorted; }

    // Adds a row at the end (or at its sorted place); returns its index.
    int AddRow(const QString& text);
    // Inserts a row at `index` (-1 or past the end: at the end); returns its index.
    int InsertRow(int index, const QString& text);

    // The selected row or -1.
    int SelectedRow() const;
    // Selects `row`, or nothing for -1 or a row that does not exist.
    void SetSelectedRow(int row);

  signals:
    void userSelChange();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void UpdateStops();

    std::vector<int> tabStops_;
    TabStopDelegate* delegate_ = nullptr;
    bool sorted_ = false;
};

}  // namespace veltrix::platform
