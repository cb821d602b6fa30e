#include "watch/keyed_table_model.h"

#include <algorithm>

namespace veltrix {

KeyedTableModel::KeyedTableModel(QStringList captions, QObject* parent)
    : QAbstractTableModel(parent),
      captions_(std::move(captions)),
      captionSizes_(static_cast<std::size_t>(captions_.size())) {}

int KeyedTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int KeyedTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

const TableRow* KeyedTableModel::At(int row) const {
    return row >= 0 && row < rowCount() ? &rows_[static_cast<std::size_t>(row)] : nullptr;
}

QVariant KeyedTableModel::data(const QModelIndex& index, int role) const {
    const TableRow* row = At(index.row());
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid() || row == nullptr ||
        index.column() >= row->cells.size()) {
        return {};
    }
    return row->cells.at(index.column());
}

Qt::ItemFlags KeyedTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

QVariant KeyedTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= captions_.size()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return captions_.at(section);
    }
    return role == Qt::SizeHintRole ? captionSizes_[static_cast<std::size_t>(section)] : QVariant();
}

bool KeyedTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                    int role) {
    if (orientation != Qt::Horizontal || role != Qt::SizeHintRole || section < 0 ||
        section >= captions_.size()) {
        return false;
    }
    captionSizes_[static_cast<std::size_t>(section)] = value;
    emit headerDataChanged(orientation, section, section);
    return true;
}

int KeyedTableModel::KeyOf(int row) const {
    const TableRow* found = At(row);
    return found != nullptr ? found->key : -1;
}

int KeyedTableModel::ObjectIndexOf(int row) const {
    const TableRow* found = At(row);
    return found != nullptr ? found->objectIndex : -1;
}

int KeyedTableModel::RowOf(int key) const {
    const auto found =
        std::find_if(rows_.begin(), rows_.end(), [key](const TableRow& r) { return r.key == key; });
    return found != rows_.end() ? static_cast<int>(found - rows_.begin()) : -1;
}

void KeyedTableModel::Clear() {
    Replace({}, -1);
}

int KeyedTableModel::Replace(std::vector<TableRow> rows, int selectedRow) {
    const int oldRows = rowCount();
    const int key = KeyOf(selectedRow);
    if (rows != rows_) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    if (selectedRow < 0) {
        return -1;
    }
    if (const int moved = key >= 0 ? RowOf(key) : -1; moved >= 0) {
        return moved;
    }
    const int count = rowCount();
    if (selectedRow < count) {
        return selectedRow;
    }
    return count > 0 && count < oldRows ? 0 : -1;
}

}  // namespace veltrix
