#pragma once

#include "editor/invoice_book.h"
#include "settings/settings_file.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QTreeWidgetItem;

namespace Ui {
class TKnihaFaktur;
class TUhrada;
} // namespace Ui

namespace tarvela {

// What the book asks of the main window about the invoice it may have open.
struct BookHost {
    // True when the invoice file at the path is open in the main window with unsaved edits.
    std::function<bool(const QString& path)> HasUnsavedChanges;
    // The payment lines of the file at the path were rewritten: the main window shows them when
    // it has that invoice open.
    std::function<void(const QString& path)> PaymentWritten;
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

    // The invoices of the current period that are overdue today.
    int OverdueCount() const;

    // Reads the current period, or all periods while "Všechna období" is checked, processing
    // pending events (user input excluded) every 40 ms while it reads, and shows the rows that
    // pass the filter.
    void FillBook();

    // Handlers.
    void ApplyFilter();
    void Tl_OtevritClick();
    void Tl_UhrazenoClick();
    void Tl_UpominkaClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    BookEntry* CurrentEntry();
    void ShowEntry(QTreeWidgetItem* item, const BookEntry& entry) const;
    void ShowSums();
    void UpdateButtons();

    std::unique_ptr<Ui::TKnihaFaktur> ui_;
    QString programFolder_;
    AppSettings settings_;
    BookHost host_;
    std::vector<BookEntry> entries_;
    bool shown_ = false;
};

// The payment dialog of "Označit jako uhrazené": the payment date (typed d.m.yyyy) and the
// amount paid (decimal comma), both read when Ok is pressed; a text that does not read is refused
// with a message naming the field and the dialog stays open.
class TUhrada : public QDialog {
    Q_OBJECT
public:
    TUhrada(const QString& number, const QDate& date, qint64 amountHalere, const QString& currency,
            QWidget* owner = nullptr);
    ~TUhrada() override;

    QDate Date() const { return date_; }
    qint64 Amount() const { return amount_; } // haléře

    void Tl_OkClick();

private:
    std::unique_ptr<Ui::TUhrada> ui_;
    QDate date_;
    qint64 amount_ = 0;
};

} // namespace tarvela
