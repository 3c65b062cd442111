#pragma once

// Reading and clicking a list view as the user sees it: through its model, by row number.

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QModelIndexList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTest>

namespace tarvela::test {

// The text the list shows in a cell.
inline QString Cell(const QAbstractItemView* list, int row, int column) {
    return list->model()->index(row, column).data().toString();
}

// The texts of every column of a row.
inline QStringList RowTexts(const QAbstractItemView* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->model()->columnCount(); ++c)
        texts << Cell(list, row, c);
    return texts;
}

inline int RowCount(const QAbstractItemView* list) {
    return list->model()->rowCount();
}

// The centre of a row's first cell, in the viewport's coordinates.
inline QPoint RowCentre(const QAbstractItemView* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
}

// The rows whose first column is exactly `text`.
inline QModelIndexList RowsWith(const QAbstractItemView* list, const QString& text) {
    const QAbstractItemModel* model = list->model();
    return model->match(model->index(0, 0), Qt::DisplayRole, text, -1, Qt::MatchExactly);
}

// A click and a double click on the row, as a user chooses it.
inline void ChooseRow(QAbstractItemView* list, const QModelIndex& row) {
    const QPoint at = list->visualRect(row).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace tarvela::test
