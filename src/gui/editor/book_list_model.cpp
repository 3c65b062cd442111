#include "editor/book_list_model.h"

#include "invoice/invoice_eet.h"
#include "printing/money.h"

#include <QBrush>
#include <QColor>

#include <iterator>
#include <limits>

namespace tarvela {

namespace {

struct ColumnHead {
    const char* caption;
    bool right;
};

constexpr ColumnHead kBookColumns[BookListModel::ColumnCount] = {
    {"Číslo", false}, {"Odběratel", false}, {"Vystaveno", true},    {"Splatnost", true},
    {"Celkem", true}, {"Měna", false},      {"Uhrazeno dne", true}, {"Uhrazeno", true},
    {"Stav", false},  {"EET", false},
};

constexpr ColumnHead kSumColumns[BookSumsModel::ColumnCount] = {
    {"Měna", false}, {"Počet", true}, {"Celkem", true}, {"Uhrazeno", true}, {"Zbývá", true},
};

QVariant Alignment(bool right) {
    return QVariant::fromValue((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

QVariant Header(const ColumnHead* columns, int count, int section, Qt::Orientation orientation,
                int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= count)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(columns[section].caption);
    if (role == Qt::TextAlignmentRole)
        return Alignment(columns[section].right);
    return {};
}

double DateKey(const QDate& date) {
    return date.isValid() ? static_cast<double>(date.toJulianDay())
                          : -std::numeric_limits<double>::infinity();
}

// Overdue invoices sort after the others, the longest overdue last.
double StatusKey(const BookStatus& status) {
    switch (status.State) {
    case PaymentState::Paid:
        return 0;
    case PaymentState::PartlyPaid:
        return 1;
    case PaymentState::Unpaid:
        return 2;
    case PaymentState::Overdue:
        return 3 + status.DaysOverdue;
    }
    return 0;
}

// The status (a text built for the day) is worked out only for the column that shows it.
QString Text(const BookEntry& entry, int column, const QDate& today) {
    switch (column) {
    case BookListModel::Cislo:
        return entry.Cislo;
    case BookListModel::Odberatel:
        return entry.Odberatel;
    case BookListModel::Vystaveno:
        return entry.DatumVystaveni;
    case BookListModel::Splatnost:
        return entry.DatumSplatnosti;
    case BookListModel::Celkem:
        return FormatHalere(entry.Celkem);
    case BookListModel::Mena:
        return entry.Mena;
    case BookListModel::DatumUhrady:
        return entry.DatumUhrady;
    case BookListModel::Uhrazeno: {
        const qint64 paid = PaidAmount(entry);
        return paid != 0 ? FormatHalere(paid) : QString();
    }
    case BookListModel::Stav:
        return EntryStatus(entry, today).Text;
    case BookListModel::StavEet:
        return EetStatusText(entry.Eet);
    default:
        return {};
    }
}

QVariant SortKey(const BookEntry& entry, int column, const QDate& today) {
    switch (column) {
    case BookListModel::Vystaveno:
        return DateKey(entry.Vystaveni);
    case BookListModel::Splatnost:
        return DateKey(entry.Splatnost);
    case BookListModel::Celkem:
        return static_cast<double>(entry.Celkem);
    case BookListModel::DatumUhrady:
        return DateKey(entry.Uhrada);
    case BookListModel::Uhrazeno:
        return static_cast<double>(PaidAmount(entry));
    case BookListModel::Stav:
        return StatusKey(EntryStatus(entry, today));
    default:
        return {};
    }
}

} // namespace

// ---- The rows --------------------------------------------------------------------------------

BookListModel::BookListModel(const QDate& today, QObject* parent)
    : RowTableModel(parent), today_(today) {}

void BookListModel::setEntry(int row, BookEntry entry) {
    entries_.at(static_cast<size_t>(row)) = std::move(entry);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int BookListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BookListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const BookEntry& e = entry(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return Text(e, column, today_);
    case Qt::TextAlignmentRole:
        return kBookColumns[column].right ? Alignment(true) : QVariant();
    case Qt::ToolTipRole:
        return column == StavEet ? QVariant(EetStatusText(e.Eet)) : QVariant();
    case Qt::ForegroundRole: {
        if (column != Stav)
            return {};
        const PaymentState state = EntryStatus(e, today_).State;
        if (state == PaymentState::Overdue)
            return QBrush(QColor(172, 0, 0));
        if (state == PaymentState::Paid)
            return QBrush(QColor(0, 110, 50));
        return {};
    }
    case kSortRole:
        return SortKey(e, column, today_);
    default:
        return {};
    }
}

QVariant BookListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return Header(kBookColumns, ColumnCount, section, orientation, role);
}

// ---- Filter and order --------------------------------------------------------------------------

BookFilterProxy::BookFilterProxy(const QDate& today, QObject* parent)
    : QSortFilterProxyModel(parent), today_(today) {}

void BookFilterProxy::setFilter(const QString& text, StatusFilter filter) {
    text_ = text;
    filter_ = filter;
    invalidateRowsFilter();
}

const BookEntry& BookFilterProxy::entry(int row) const {
    const auto* book = static_cast<const BookListModel*>(sourceModel());
    return book->entry(mapToSource(index(row, 0)).row());
}

bool BookFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    // Without a filter every row passes without a look at it.
    if (filter_ == StatusFilter::All && text_.trimmed().isEmpty())
        return true;
    const auto* book = static_cast<const BookListModel*>(sourceModel());
    return MatchesBookFilter(book->entry(sourceRow), text_, filter_, today_);
}

bool BookFilterProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(BookListModel::kSortRole);
    const QVariant b = right.data(BookListModel::kSortRole);
    if (a.isValid() && b.isValid() && a.toDouble() != b.toDouble())
        return a.toDouble() < b.toDouble();
    const int byText = QString::localeAwareCompare(left.data().toString(), right.data().toString());
    if (byText != 0 || left.column() == BookListModel::Cislo)
        return byText < 0;
    return QString::localeAwareCompare(
               left.siblingAtColumn(BookListModel::Cislo).data().toString(),
               right.siblingAtColumn(BookListModel::Cislo).data().toString()) < 0;
}

// ---- Sums
// ----------------------------------------------------------------------------------------

void BookSumsModel::setSums(std::map<QString, CurrencySums> sums) {
    beginResetModel();
    sums_.assign(std::make_move_iterator(sums.begin()), std::make_move_iterator(sums.end()));
    endResetModel();
}

int BookSumsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(sums_.size());
}

int BookSumsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BookSumsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto& [currency, sums] = sums_.at(static_cast<size_t>(index.row()));
    if (role == Qt::TextAlignmentRole)
        return index.column() == Mena ? QVariant() : Alignment(true);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Mena:
        return currency;
    case Pocet:
        return QString::number(sums.Count);
    case Celkem:
        return FormatHalere(sums.Celkem);
    case Uhrazeno:
        return FormatHalere(sums.Uhrazeno);
    case Zbyva:
        return FormatHalere(sums.Zbyva);
    default:
        return {};
    }
}

QVariant BookSumsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return Header(kSumColumns, ColumnCount, section, orientation, role);
}

} // namespace tarvela
