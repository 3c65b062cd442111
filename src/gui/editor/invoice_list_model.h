#pragma once

#include "editor/invoice_list.h"

#include "editor/row_table_model.h"

namespace tarvela {

// The open dialog's invoices as a table, in the order they were read: number, date of supply,
// customer, total, due date, payment date, currency. Rows join at the end as the files are read.
class InvoiceListModel : public RowTableModel<InvoiceListEntry> {
    Q_OBJECT
public:
    using RowTableModel::RowTableModel;

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The column's width in the dialog.
    static int ColumnWidth(int column);
};

} // namespace tarvela
