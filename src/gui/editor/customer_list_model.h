#pragma once

#include "editor/customer_book.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>

#include <vector>

namespace tarvela {

// The address book's customers as a table: code, name 1, IČ, town, the number of invoices and the
// date of the newest one; name 2 is the name's tool tip.
class CustomerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Kod, Nazev, IC, Mesto, Pocet, Posledni, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setCustomers(std::vector<CustomerEntry> customers);
    const CustomerEntry& customer(int row) const { return customers_.at(static_cast<size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<CustomerEntry> customers_;
};

// The customers that match the search text (MatchesCustomerSearch), in the book's order.
class CustomerSearchProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setSearch(const QString& search);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString search_;
};

} // namespace tarvela
