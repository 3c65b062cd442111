#pragma once

#include "editor/invoice_book.h"

#include "editor/row_table_model.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QSortFilterProxyModel>
#include <QString>

#include <map>
#include <vector>

namespace tarvela {

// The invoice book's rows as a table: number, customer, dates, total, currency, payment, status
// and EET state, each with its status as of `today`. Behind each cell the value it sorts by
// (kSortRole: dates by day, amounts in haléře, the status overdue last).
class BookListModel : public RowTableModel<BookEntry> {
    Q_OBJECT
public:
    enum Column {
        Cislo,
        Odberatel,
        Vystaveno,
        Splatnost,
        Celkem,
        Mena,
        DatumUhrady,
        Uhrazeno,
        Stav,
        StavEet,
        ColumnCount
    };
    static constexpr int kSortRole = Qt::UserRole;

    explicit BookListModel(const QDate& today, QObject* parent = nullptr);

    void setEntry(int row, BookEntry entry);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QDate today_;
};

// The rows that pass the search text and the status filter (MatchesBookFilter), sorted by the
// value behind the cells, then by the text, then by the number.
class BookFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    BookFilterProxy(const QDate& today, QObject* parent = nullptr);
    void setFilter(const QString& text, StatusFilter filter);
    // The entry of a row of this proxy.
    const BookEntry& entry(int row) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QDate today_;
    QString text_;
    StatusFilter filter_ = StatusFilter::All;
};

// The sums per currency of the rows shown: currency, count, total, paid, left to pay.
class BookSumsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    enum Column { Mena, Pocet, Celkem, Uhrazeno, Zbyva, ColumnCount };

    void setSums(std::map<QString, CurrencySums> sums);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<std::pair<QString, CurrencySums>> sums_;
};

} // namespace tarvela
