#pragma once

#include "editor/invoice_book.h"
#include "settings/settings_file.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <memory>
#include <vector>

namespace Ui {
class TKnihaFaktur;
class TUhrada;
} // namespace Ui

namespace tarvela {

class BookFilterProxy;
class BookListModel;
class BookSumsModel;
class WindowFill;

// What the book and the bank import must know of the main window: the invoice file open there
// with unsaved edits, into which no payment is written meanwhile (the window is modal-blocked
// while they are open, so it stays the same).
struct BookHost {
    QString UnsavedFile; // empty when the window has no unsaved invoice
    // True when the file at the path is that invoice's.
    bool HasUnsavedChanges(const QString& path) const;
};

// "Kniha faktur": the invoices of the current period (or of all periods) with their payment
// status, sums per currency, marking an invoice paid and printing a reminder. It writes only the
// payment lines of a file; opening an invoice is left to the main window (SelectedFile).
class TKnihaFaktur : public QDialog {
    Q_OBJECT
public:
    TKnihaFaktur(const QString& programFolder, const AppSettings& settings, BookHost host,
                 QWidget* owner = nullptr);
    ~TKnihaFaktur() override;

    // The status filter shown when the window opens (before exec()).
    void SetStatusFilter(StatusFilter filter);

    // The invoice file to open in the main window, after Accepted.
    QString SelectedFile;

    // The invoices of the current period that are overdue today; -1 when the book was closed
    // before it was read whole.
    int OverdueCount() const;

    // Reads the current period, or all periods while "Všechna období" is checked, once the
    // window has appeared: the files are read in slices between painting, the rows join the
    // list as they are read (La_Soucty counts them) and are sorted and summed at the end. Until
    // then the window takes no input but closing it (Zavřít, Esc), which stops the reading.
    void FillBook();
    // True while the book is read.
    bool Filling() const;

    // Handlers.
    void ApplyFilter();
    void Tl_OtevritClick();
    void Tl_UhrazenoClick();
    void Tl_UpominkaClick();
    void Tl_NacistVypisClick();

signals:
    // The payment lines of the file at the path were rewritten (the main window shows them when
    // it has that invoice open).
    void paymentWritten(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The row chosen in the list (current and selected), as a row of the book's model; -1 for
    // none.
    int CurrentRow() const;
    const BookEntry* CurrentEntry() const;
    void ShowSums();
    void UpdateButtons();

    std::unique_ptr<Ui::TKnihaFaktur> ui_;
    QString programFolder_;
    AppSettings settings_;
    BookHost host_;
    BookListModel* model_ = nullptr;   // every invoice read
    BookFilterProxy* proxy_ = nullptr; // the rows shown, in the order chosen
    BookSumsModel* sums_ = nullptr;
    bool complete_ = false; // the model holds the whole book
    bool shown_ = false;
    std::unique_ptr<WindowFill> fill_; // last: stops before the controls go
};

// How a payment was received; only a payment received in person (cash, card) is registered
// with EET.
enum class PaymentWay { Transfer, Cash, Card };

// The payment dialog of "Označit jako uhrazené": the payment date (typed d.m.yyyy) and the
// amount paid (decimal comma), both read when Ok is pressed; a text that does not read is refused
// with a message naming the field and the dialog stays open. When the supplier registers sales
// with EET (`askWay`), also how it was paid: "převodem" (the default), "hotově" or "kartou".
class TUhrada : public QDialog {
    Q_OBJECT
public:
    TUhrada(const QString& number, const QDate& date, qint64 amountHalere, const QString& currency,
            QWidget* owner = nullptr, bool askWay = false);
    ~TUhrada() override;

    QDate Date() const { return date_; }
    qint64 Amount() const { return amount_; } // haléře
    PaymentWay Way() const { return way_; }

    void Tl_OkClick();

private:
    std::unique_ptr<Ui::TUhrada> ui_;
    QDate date_;
    qint64 amount_ = 0;
    PaymentWay way_ = PaymentWay::Transfer;
};

} // namespace tarvela
