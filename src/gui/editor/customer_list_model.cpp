#include "editor/customer_list_model.h"

#include "text/dates.h"

namespace tarvela {

void CustomerListModel::setCustomers(std::vector<CustomerEntry> customers) {
    beginResetModel();
    customers_ = std::move(customers);
    endResetModel();
}

int CustomerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(customers_.size());
}

int CustomerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CustomerListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const CustomerEntry& entry = customer(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Kod:
            return entry.Fields[kKod];
        case Nazev:
            return entry.Fields[kNazev1];
        case IC:
            return entry.Fields[kIC];
        case Mesto:
            return entry.Fields[kMesto];
        case Pocet:
            return QString::number(entry.PocetFaktur);
        case Posledni:
            return entry.PosledniFaktura.isValid() ? FormatInvoiceDate(entry.PosledniFaktura)
                                                   : QString();
        default:
            return {};
        }
    case Qt::TextAlignmentRole:
        if (index.column() == Pocet)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::ToolTipRole:
        if (index.column() != Nazev)
            return {};
        return entry.Fields[kNazev2].isEmpty()
                   ? entry.Fields[kNazev1]
                   : entry.Fields[kNazev1] + QLatin1Char('\n') + entry.Fields[kNazev2];
    default:
        return {};
    }
}

QVariant CustomerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole && section == Pocet)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    static const char* const kCaptions[ColumnCount] = {"Kód",   "Název",  "IČ",
                                                       "Město", "Faktur", "Poslední faktura"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(kCaptions[section])
                                                 : QVariant();
}

void CustomerSearchProxy::setSearch(const QString& search) {
    search_ = search;
    invalidateRowsFilter();
}

bool CustomerSearchProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const auto* customers = static_cast<const CustomerListModel*>(sourceModel());
    return MatchesCustomerSearch(customers->customer(sourceRow), search_);
}

} // namespace tarvela
