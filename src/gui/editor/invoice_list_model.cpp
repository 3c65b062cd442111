#include "editor/invoice_list_model.h"

#include <iterator>

namespace tarvela {
namespace {

struct ListColumn {
    const char* header;
    int width;
    bool right; // aligned to the right
    QString InvoiceListEntry::*member;
};

const ListColumn kColumns[] = {
    {"Číslo", 60, false, &InvoiceListEntry::Cislo},
    {"Datum", 70, true, &InvoiceListEntry::Datum},
    {"Odběratel", 220, false, &InvoiceListEntry::Odberatel},
    {"Celkem", 80, true, &InvoiceListEntry::Celkem},
    {"Splatnost", 70, true, &InvoiceListEntry::Splatnost},
    {"Uhrazeno", 70, true, &InvoiceListEntry::Uhrazeno},
    {"Měna", 50, false, &InvoiceListEntry::Mena},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

} // namespace

int InvoiceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant InvoiceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount)
        return {};
    const ListColumn& column = kColumns[index.column()];
    if (role == Qt::TextAlignmentRole)
        return column.right ? QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role == Qt::DisplayRole)
        return entry(index.row()).*column.member;
    return {};
}

QVariant InvoiceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return {};
    const ListColumn& column = kColumns[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((column.right ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(column.header);
    return {};
}

int InvoiceListModel::ColumnWidth(int column) {
    return column >= 0 && column < kColumnCount ? kColumns[column].width : 0;
}

} // namespace tarvela
