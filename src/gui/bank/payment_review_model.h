#pragma once

#include "bank/payment_matching.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include <functional>

namespace tarvela {

// The movements of a review as a table: what the bank wrote, the invoice matched, the resulting
// status. The first column's check box is "write this payment"; every cell has a value to sort by
// (PaymentReviewModel::SortRole).
class PaymentReviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Zapsat,
        Datum,
        Castka,
        Mena,
        Protiucet,
        Protistrana,
        Symbol,
        Zprava,
        Faktura,
        Parovani,
        Stav,
        Poznamka,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole + 1;

    // writtenTo gives the invoice number a payment of an earlier import was written to.
    PaymentReviewModel(PaymentReview& review, std::function<QString(const QString&)> writtenTo,
                       QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Matches the row to the invoice (an index into the review's book, -1 for none).
    bool SetInvoice(int row, int invoice);
    // Every row may have changed (statuses follow each other through the running totals).
    void Refresh();

signals:
    void ReviewChanged();

private:
    PaymentReview& review_;
    std::function<QString(const QString&)> writtenTo_;
};

// The incoming payments, or everything else (outgoing payments, fees, interest, reversals).
class PaymentKindFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    PaymentKindFilter(const PaymentReview& review, bool incoming, QObject* parent = nullptr);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    const PaymentReview& review_;
    bool incoming_;
};

} // namespace tarvela
