#pragma once

#include "editor/invoice_list.h"

#include <QAbstractTableModel>

#include <vector>

namespace tarvela {

// The open dialog's invoices as a table, in the order they were read: number, date of supply,
// customer, total, due date, payment date, currency. Rows join at the end as the files are read.
class InvoiceListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void clear();
    void append(std::vector<InvoiceListEntry> entries);
    const InvoiceListEntry& entry(int row) const { return entries_.at(static_cast<size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The column's width in the dialog.
    static int ColumnWidth(int column);

private:
    std::vector<InvoiceListEntry> entries_;
};

} // namespace tarvela
