#pragma once
// A list of a controller's objects as a Qt table model: one row per object, a text per
// column, and per row a key that stays its object's across refreshes (the port it sits
// on) beside the object's index in the object table. A view keeps its selection by key.
//
// A refresh that changes nothing leaves the model as it is; one that changes a row
// resets it, which costs less than filling a list widget row by row did.

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace veltrix {

struct TableRow {
    int key = -1;
    int objectIndex = -1;
    QStringList cells;

    bool operator==(const TableRow&) const = default;
};

class KeyedTableModel : public QAbstractTableModel {
  public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The captions; a view may store the size it measured for each (Qt::SizeHintRole).
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

    // The key and the object index of a row, -1 for a row the model lacks.
    int KeyOf(int row) const;
    int ObjectIndexOf(int row) const;
    // The row of a key, -1 when no row has it.
    int RowOf(int key) const;
    void Clear();

  protected:
    KeyedTableModel(QStringList captions, QObject* parent);

    // Takes `rows` in place of the current ones and returns the row to select after
    // `selectedRow` (-1: none): the row its object moved to; when the object left, the
    // same row while the list kept its length or still has that row, else the first.
    int Replace(std::vector<TableRow> rows, int selectedRow);

  private:
    const TableRow* At(int row) const;

    QStringList captions_;
    std::vector<QVariant> captionSizes_;
    std::vector<TableRow> rows_;
};

}  // namespace veltrix
