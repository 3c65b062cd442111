#include "editor/item_list_model.h"

namespace tarvela {

ItemListModel::ItemListModel(bool withRate, QObject* parent)
    : QAbstractTableModel(parent), withRate_(withRate) {}

void ItemListModel::setCatalog(ItemCatalog catalog) {
    beginResetModel();
    catalog_ = std::move(catalog);
    endResetModel();
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(catalog_.size());
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (withRate_ ? 5 : 4);
}

namespace {

QVariant Alignment(int column) {
    if (column == ItemListModel::MJ || column == ItemListModel::DPH)
        return QVariant::fromValue(Qt::AlignCenter);
    if (column == ItemListModel::Cena)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

} // namespace

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return Alignment(index.column());
    if (role != Qt::DisplayRole)
        return {};
    const ItemCatalogEntry& entry = catalog_.at(index.row());
    switch (index.column()) {
    case Kod:
        return entry.Kod;
    case Dodavka:
        return entry.Dodavka;
    case MJ:
        return entry.MJ;
    case Cena:
        return entry.Cena;
    case DPH:
        return entry.DPH;
    default:
        return {};
    }
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return Alignment(section);
    if (role != Qt::DisplayRole)
        return {};
    static const char* const kCaptions[] = {"Kód", "Označení dodávky", "MJ", "Cena MJ", "DPH"};
    return QString::fromUtf8(kCaptions[section]);
}

void ItemFilterProxy::setFilter(const QString& filter) {
    filter_ = filter;
    invalidateRowsFilter();
}

bool ItemFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const auto* items = static_cast<const ItemListModel*>(sourceModel());
    return ItemMatchesFilter(items->catalog().at(sourceRow), filter_);
}

} // namespace tarvela
