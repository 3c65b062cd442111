#pragma once

#include <QAbstractTableModel>

#include <iterator>
#include <vector>

namespace tarvela {

// A table over rows that join at the end as a listing window reads its files in slices: the
// rows, emptied for a new reading, appended a batch at a time. The columns are the subclass's.
template <typename Entry> class RowTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void clear() {
        beginResetModel();
        entries_.clear();
        endResetModel();
    }

    // Adds the entries after the last row.
    void append(std::vector<Entry> entries) {
        if (entries.empty())
            return;
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(entries.size()) - 1);
        entries_.insert(entries_.end(), std::make_move_iterator(entries.begin()),
                        std::make_move_iterator(entries.end()));
        endInsertRows();
    }

    const Entry& entry(int row) const { return entries_.at(static_cast<size_t>(row)); }
    const std::vector<Entry>& entries() const { return entries_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(entries_.size());
    }

protected:
    std::vector<Entry> entries_;
};

} // namespace tarvela
