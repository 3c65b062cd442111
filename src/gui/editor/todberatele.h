#pragma once

#include "editor/customer_book.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

namespace Ui {
class TOdberatele;
}

namespace tarvela {

class WindowFill;
class CustomerListModel;
class CustomerSearchProxy;

// The address book: every customer of the invoices of all periods, one row per customer (see
// ReadCustomerBook) with the number of its invoices and the date of the newest, narrowed as the
// user types part of a name, IČ or town. Enter or a double click takes the selected customer.
//
// Use: create it with the program folder, exec(), read SelectedCustomer() when the result is
// Accepted.
class TOdberatele : public QDialog {
    Q_OBJECT
public:
    explicit TOdberatele(const QString& programFolder, QWidget* owner = nullptr);
    ~TOdberatele() override;

    // Reads the book from the invoice files once the window has appeared (started when it is
    // first shown), in slices between painting, La_Pocet counting the files read; the list shows
    // the customers when all are read. Until then the window takes no input but closing it
    // (Storno, Esc), which stops the reading.
    void Load();
    // True while the book is read.
    bool Filling() const;

    // Shows the customers that match the search text and selects the first of them.
    void FillList(const QString& search);

    // The customer of the selected row, or nothing when no row is selected.
    std::optional<CustomerEntry> SelectedCustomer() const;

    // Handlers.
    void Ed_HledatChange();
    void Tl_OkClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateCounter();

    std::unique_ptr<Ui::TOdberatele> ui_;
    QString programFolder_;
    bool loaded_ = false;
    CustomerListModel* customers_ = nullptr; // the whole book
    CustomerSearchProxy* shown_ = nullptr;   // what the search leaves, shown by ListView1
    std::unique_ptr<WindowFill> fill_;       // last: stops before the controls go
};

} // namespace tarvela
