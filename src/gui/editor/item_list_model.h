#pragma once

#include "editor/item_catalog.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>

namespace tarvela {

// The item list's catalog as a table: code, description, unit, unit price and, for a VAT payer,
// the rate.
class ItemListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Kod, Dodavka, MJ, Cena, DPH };

    ItemListModel(bool withRate, QObject* parent = nullptr);

    void setCatalog(ItemCatalog catalog);
    const ItemCatalog& catalog() const { return catalog_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool withRate_;
    ItemCatalog catalog_;
};

// The entries the filter (lower-cased; empty for none) accepts (ItemMatchesFilter), in the
// catalog's order.
class ItemFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setFilter(const QString& filter);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString filter_;
};

} // namespace tarvela
