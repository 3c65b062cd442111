#pragma once

#include "editor/item_catalog.h"
#include "editor/item_list_model.h"

#include <QDialog>
#include <QKeyEvent>
#include <QList>
#include <QMouseEvent>
#include <QString>
#include <QTreeView>

#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class TSeznamPolozek;
}

namespace tarvela {

// The list in report view, telling its window about clicks, double clicks and keys after it
// has handled them itself.
class ItemListView : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;

signals:
    void leftClickHandled();
    void leftDoubleClickHandled();
    void keyHandled();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTreeView::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton)
            emit leftClickHandled();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QTreeView::mouseDoubleClickEvent(event);
        if (event->button() == Qt::LeftButton)
            emit leftDoubleClickHandled();
    }
    void keyPressEvent(QKeyEvent* event) override {
        QTreeView::keyPressEvent(event);
        emit keyHandled();
    }
};

// The item list: all items of the invoices of one period (code, description, unit, unit price
// and, for a VAT payer, the rate), with a filter, from which the item editor takes one.
//
// Use: create it with the owner and the program folder, set the year, exec(), read
// SelectedEntry() when the result is Accepted, destroy it.
class TSeznamPolozek : public QDialog {
    Q_OBJECT
public:
    TSeznamPolozek(const QString& programFolder, bool platce, QWidget* owner = nullptr);
    ~TSeznamPolozek() override;

    // The period year as text; longer texts are cut to their first four characters.
    void SetYear(const QString& year);
    const QString& Year() const { return year_; }

    // The five texts of the selected list row, or nothing when no row is selected.
    std::optional<ItemCatalogEntry> SelectedEntry() const;

    // Fills the catalog from the invoice files of the folder (see tarvela::LoadItemCatalog),
    // processing pending GUI events (user input excluded) after each file.
    void LoadItemCatalog(const QString& folder);
    // Shows the catalog's entries that match the filter (lower-cased already; empty for none)
    // and selects the first row.
    void FillItemList(const QString& filter);

    // Handlers.
    void FormCreate();
    void FormShow();
    void FormClose();
    void Tl_FiltrClick();
    void Tl_OkClick();
    void ListView1Click();
    void ListView1DblClick();
    void ListView1KeyDown();
    // Enter in the filter field: filters by the expression (a changed one filters anew; an
    // emptied one cancels the filter) and puts the focus on the list.
    void Ed_VyrazEnter();

    // The catalog: filled when shown, emptied when closed.
    const ItemCatalog& Catalog() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateCounter();
    int SelectedRow() const; // 0-based, -1 when none

    std::unique_ptr<Ui::TSeznamPolozek> ui_;
    QString programFolder_;
    bool platce_ = false;
    QString year_;
    bool shown_ = false;
    bool filterOn_ = false;
    ItemListModel* items_ = nullptr;         // the catalog
    ItemFilterProxy* filtered_ = nullptr;    // the entries the filter leaves, shown by ListView1
    std::optional<ItemCatalogEntry> chosen_; // the selected entry when the dialog closed
};

} // namespace tarvela
