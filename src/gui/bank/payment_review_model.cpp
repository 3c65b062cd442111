#include "bank/payment_review_model.h"

#include "printing/money.h"
#include "text/dates.h"

#include <QBrush>
#include <QColor>
#include <QFileInfo>

#include <iterator>

namespace tarvela {

namespace {

const char* const kHeaders[] = {"Zapsat",    "Datum",       "Částka", "Měna",
                                "Protiúčet", "Protistrana", "VS",     "Zpráva",
                                "Faktura",   "Párování",    "Stav",   "Poznámka"};
static_assert(std::size(kHeaders) == PaymentReviewModel::ColumnCount);

} // namespace

PaymentReviewModel::PaymentReviewModel(PaymentReview& review,
                                       std::function<QString(const QString&)> writtenTo,
                                       QObject* parent)
    : QAbstractTableModel(parent), review_(review), writtenTo_(std::move(writtenTo)) {}

int PaymentReviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(review_.Rows().size());
}

int PaymentReviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PaymentReviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kHeaders[section]);
    if (role == Qt::TextAlignmentRole && section == Castka)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags PaymentReviewModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == Zapsat) {
        const ReviewRow& row = review_.Rows()[static_cast<size_t>(index.row())];
        if (PaymentReview::IsMatchable(row) && row.Faktura >= 0)
            flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant PaymentReviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ReviewRow& row = review_.Rows()[static_cast<size_t>(index.row())];
    const BankPayment& p = row.Platba;
    const bool matchable = PaymentReview::IsMatchable(row);
    const BookEntry* invoice =
        row.Faktura >= 0 ? &review_.Book()[static_cast<size_t>(row.Faktura)] : nullptr;
    const int column = index.column();
    if (role == Qt::CheckStateRole && column == Zapsat) {
        if (!matchable || !invoice)
            return {};
        return row.Zapsat ? Qt::Checked : Qt::Unchecked;
    }
    if (role == Qt::DisplayRole || role == SortRole) {
        const bool sort = role == SortRole;
        switch (column) {
        case Zapsat:
            return sort ? QVariant(row.Zapsat ? 1 : 0) : QVariant();
        case Datum:
            return sort ? QVariant(p.Datum.toJulianDay()) : QVariant(FormatInvoiceDate(p.Datum));
        case Castka:
            return sort ? QVariant(p.Halere) : QVariant(FormatHalere(p.Halere));
        case Mena:
            return p.Mena;
        case Protiucet:
            return p.Protiucet;
        case Protistrana:
            return p.Nazev;
        case Symbol:
            return sort ? QVariant(p.Symbol.rightJustified(10, QLatin1Char('0')))
                        : QVariant(p.Symbol);
        case Zprava:
            return p.Zprava;
        case Faktura:
            if (invoice)
                return invoice->Cislo;
            if (row.UzZapsano && writtenTo_)
                return writtenTo_(row.Identita);
            return QString();
        case Parovani:
            return MatchRuleText(row.Pravidlo);
        case Stav:
            return p.Druh == PaymentKind::Incoming ? row.Stav : PaymentKindText(p.Druh);
        case Poznamka:
            return row.Poznamka;
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && column == Castka)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole) {
        if (row.UzZapsano)
            return QBrush(QColor(110, 110, 110));
        if (matchable && !invoice && (column == Stav || column == Poznamka))
            return QBrush(QColor(172, 0, 0));
        if (row.Dvakrat && (column == Faktura || column == Poznamka))
            return QBrush(QColor(172, 90, 0));
    }
    if (role == Qt::BackgroundRole && matchable) {
        if (!invoice)
            return QBrush(QColor(253, 228, 228));
        if (row.Dvakrat)
            return QBrush(QColor(255, 240, 205));
    }
    if (role == Qt::ToolTipRole && column == Faktura && invoice)
        return QStringLiteral("%1, %2").arg(invoice->Odberatel,
                                            QFileInfo(invoice->FilePath).filePath());
    return {};
}

bool PaymentReviewModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != Zapsat || role != Qt::CheckStateRole)
        return false;
    const auto row = static_cast<size_t>(index.row());
    if (!(flags(index) & Qt::ItemIsUserCheckable))
        return false;
    review_.SetIncluded(row, value.toInt() == Qt::Checked);
    Refresh();
    return true;
}

bool PaymentReviewModel::SetInvoice(int row, int invoice) {
    if (row < 0 || !review_.SetInvoice(static_cast<size_t>(row), invoice))
        return false;
    Refresh();
    return true;
}

void PaymentReviewModel::Refresh() {
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    emit ReviewChanged();
}

PaymentKindFilter::PaymentKindFilter(const PaymentReview& review, bool incoming, QObject* parent)
    : QSortFilterProxyModel(parent), review_(review), incoming_(incoming) {
    setSortRole(PaymentReviewModel::SortRole);
}

bool PaymentKindFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const auto row = static_cast<size_t>(sourceRow);
    if (row >= review_.Rows().size())
        return false;
    return (review_.Rows()[row].Platba.Druh == PaymentKind::Incoming) == incoming_;
}

} // namespace tarvela
