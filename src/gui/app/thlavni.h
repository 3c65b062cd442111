#pragma once

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QString>

#include <memory>

#include "editor/invoice_book.h"
#include "editor/row_amounts.h"
#include "invoice/invoice_record.h"
#include "printing/invoice_documents.h"
#include "settings/settings_file.h"

class QAction;
class QEvent;

namespace tarvela {

class AresLookup;
class SlicedWork;

struct THlavniUi;
struct THlavniTestAccess;
class ItemGrid;

// The main window: the program itself. It holds the settings, shows at most one invoice at a
// time (an invoice is open exactly while PageControl1 is not hidden) and owns the actions of the
// menus and the tool bar.
//
// The handlers are spread over several files by area:
//   thlavni.cpp            construction, start-up, UpdateActions and the window's small handlers
//   thlavni_lifecycle.cpp  new, open, save, close, ClearInvoice
//   thlavni_grid.cpp       grid click, totals, copy, paste, delete, move (the grid itself:
//                          item_grid.h)
//   thlavni_pickers.cpp    item editor, template and customer pickers, payment date, period
//   thlavni_print.cpp      print actions, overview, cash receipt
//   thlavni_settings.cpp   settings dialog, help, web pages, About box
//   thlavni_exports.cpp    ISDOC, e-mail, the accountant's period export and VAT summary
//   thlavni_book.cpp       invoice book, payments written there, the overdue notice
//   thlavni_rate.cpp       the exchange rate: the bank's rate, the check of the typed one
// Every action, button and change signal is connected in thlavni.cpp through the handler guard,
// so a failure a handler does not handle ends up in the error box.
class THlavni : public QMainWindow {
    Q_OBJECT
public:
    // The program's window: the program folder is the executable's folder, the decimal
    // separator that of the system locale.
    explicit THlavni(QWidget* parent = nullptr);
    // Start-up with a given program folder (a trailing separator is added when missing) and the
    // decimal separator the system locale would give.
    THlavni(const QString& programFolder, const QString& decimalSeparator,
            QWidget* parent = nullptr);
    ~THlavni() override;

    // ---- State ----------------------------------------------------------------------------
    QString ProgramFolder;         // ends with the path separator
    tarvela::AppSettings Settings; // read once at start; changed by the period and settings actions
    tarvela::RowAmounts Amounts;   // per-row amounts beside the grid, rows 1 to 25
    bool FirstStart = false;       // no settings file at start: FormFirstStart asks for them
    bool TerminateRequested = false; // start-up refused to run (decimal separator): do not show

    bool InvoiceOpen() const; // PageControl1 not hidden
    // Unsaved edits in the open invoice. The window's edits set it (modifiedChanged follows each
    // change, and the actions follow it); New, Open, Save and Close clear it.
    bool IsModified() const { return modified_; }
    // The invoice as the window shows it, over the record it was opened from (the lines the
    // window does not show); the total as the totals panel shows it.
    InvoiceRecord WindowRecord() const;
    int CurrentPage() const; // index of the page shown in PageControl1

    // ---- Routines of the window -----------------------------------------------------------
    void UpdateActions();
    void ApplySymbolType();
    // "DPH " + rate + "%" into La_DPH1..3 and the nine tax labels shown exactly for a VAT payer.
    void ApplyVatLabels();

    // ---- Handlers of this window (thlavni.cpp) ----------------------------------------------
    void Ed_Fa2Change();
    // The paid-amount key filter: true when the typed text may reach the field; otherwise the
    // key is dropped and the system beep sounds.
    bool Ed_UhrazenaCastkaKeyPress(const QString& typed);
    // Window key preview: true when the key was consumed (Enter on page 0 moves the focus).
    bool FormKeyPress(int key);
    void PageControl1Change();
    void TB_TiskClick();
    void TB_SestavyClick();
    void Akce_KonecProgramuExecute();
    void FormClose();

    // ---- Invoice lifecycle (thlavni_lifecycle.cpp) ------------------------------------------
    void Akce_NovaFakturaExecute();
    void Akce_OtevritFakturuExecute();
    void Akce_UlozitFakturuExecute();
    void Akce_ZavritFakturuExecute();
    void ClearInvoice();
    // A cash invoice saved without a payment date is paid on its date of issue, by the amount
    // its cash receipt asks (rounded to whole crowns in CZK) unless a paid amount was typed.
    void RecordCashPayment();
    // Registers the payment just recorded with EET when the supplier registers (the amount in
    // Ed_UhrazenaCastka, received on the date of issue) and returns the invoice's "Eet=" value
    // with it: `registered` are the registrations the invoice already has, `path` the file the
    // invoice is saved as.
    QString RegisterEetPayment(const QString& number, const QString& path,
                               const QString& registered);
    // Shows the EET state of the open invoice on the first page (Ed_Eet).
    void ShowEet();
    // The POK of a registration was written into the file at `path`: shown when the window has
    // that invoice open.
    void EetWritten(const QString& path);
    // Reads the invoice file into the window and shows it; the window must have no invoice open.
    void OpenInvoiceFile(const QString& path);
    // True when the open invoice is the one of the file at `path`.
    bool ShowsFile(const QString& path) const;

    // ---- Item grid and totals (thlavni_grid.cpp) --------------------------------------------
    void Grid1Click(); // a click in the grid or a change of its current cell
    void RecomputeRow(int row);
    void ShowTotals();
    void Akce_ZkopirovatPolozkuExecute();
    void Akce_VlozitPolozkuExecute();
    void Akce_SmazatPolozkuExecute();
    void Akce_PolozkaDoluExecute();
    void Akce_PolozkaNahoruExecute();

    // ---- Item editor, pickers, payment date, period (thlavni_pickers.cpp) ------------------
    void Akce_EditovatPolozkuExecute();
    void Grid1DblClick();
    void Tl_VybratVzorFakturyClick();
    void Tl_VybratOdberateleClick();
    void Tl_DatumClick();
    void Tl_ZrusitClick();
    void Akce_ZmenaObdobiExecute();

    // ---- Address book and the business register (thlavni_customers.cpp) ---------------------
    // The address book of all periods; the chosen customer fills the nine customer fields.
    void Akce_OdberateleExecute();
    // "Načíst z ARES": the customer's name, address and DIČ by the IČ typed.
    void Tl_NacistZAresClick();
    // ---- Exchange rate (thlavni_rate.cpp) ------------------------------------------------------
    // "Kurz ČNB": fetches the bank's rate of the invoice's currency for the date of taxable supply
    // in the background (a progress box with Storno) into the exchange-rate field and its date.
    void Tl_KurzCNBClick();
    // A typed exchange rate or rate date that does not read is refused before a save, naming the
    // field.
    void CheckExchangeRateFields();

    // ---- Printing (thlavni_print.cpp) -------------------------------------------------------
    // The one handler of the seven invoice documents; the action tells the kind.
    void Akce_TiskFaktury01Execute(QAction* akce);
    void Akce_SestavaPrijmovyDokladExecute();
    void Akce_SestavaPrehledExecute();

    // ---- E-invoices, e-mail, the accountant's exports (thlavni_exports.cpp) ----------------
    // The document of `kind` as ISDOC into a file the user chooses ("<number>.isdoc" in the
    // documents folder proposed); missing data is refused before the dialog.
    void Akce_IsdocFakturyExecute(DocumentKind kind);
    // The document as PDF (and ISDOC when the kind has one) into a temporary folder, handed to
    // the desktop's mail client (xdg-email) without waiting for it.
    void Akce_EmailFakturyExecute(DocumentKind kind);
    void Akce_ExportUcetniExecute();
    void Akce_PrehledDPHExecute();
    // ---- Invoice book (thlavni_book.cpp) -----------------------------------------------------
    void Akce_KnihaFakturExecute();
    void Akce_NacistVypisExecute();
    // The book with the given status filter; the invoice chosen there is opened.
    void ShowBook(StatusFilter filter);
    // Opens the invoice of the file, closing the open invoice first with the usual question;
    // the open invoice stays when the user keeps it (Storno, a save that did not happen).
    void OpenInvoiceFromBook(const QString& path);
    // The payment lines of the file were rewritten: the open invoice without edits shows them.
    void PaymentWritten(const QString& path);
    // Shows the payment a save joined from the file (written meanwhile by another instance).
    void ShowJoinedPayment(const InvoiceRecord& saved);
    // The status bar's notice "2 faktury jsou po splatnosti" (hidden when there are none) for
    // the overdue invoices of the current period. A negative count starts counting them anew:
    // the period is read in slices from the event loop (first when the window has appeared)
    // and the notice follows when all files are read; the window stays usable meanwhile.
    void UpdateOverdueNotice(int count = -1);
    // True while the overdue invoices are being counted (the notice is not yet known).
    bool OverdueNoticePending() const;
    // True when the invoice file at the path is overdue today (false when it does not read).
    bool FileIsOverdue(const QString& path) const;
    // After a save: the notice counts the saved invoice as it is now, not as it was, without
    // reading the whole period again.
    void UpdateOverdueNoticeAfterSave(bool wasOverdue);

    // ---- Settings, help, About (thlavni_settings.cpp) ---------------------------------------
    void Akce_KonfiguraceExecute();
    void Akce_EetOdeslaneExecute();
    // The first start without settings: a short hint, then the settings dialog on the supplier
    // page, so that the first invoice does not print an empty supplier.
    void FormFirstStart();
    void OpenSettings(int page);
    void Akce_NapovedaExecute();
    void Akce_WebDomuExecute();
    void Akce_NavodFRExecute();
    void Akce_OProgramuExecute();

    // ---- Images: 16 pictures of 16 x 16, by index -------------------------------------------
    QList<QIcon> ImageList1;

    QList<QAction*> ActionList1; // the actions Akce_*, in the order of the form

    // Grid access in the grid's own numbering (row 1 to 25, column 1 to 6; row 0 is the header
    // row, column 0 the row numbers), through the grid (item_grid.h).
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    int CurrentRow() const;      // 1 to 25 (0 when the grid has no current cell)
    void SetCurrentRow(int row); // 1 to 25; runs Grid1Click through the grid's signal

    // The typing limit of the symbol field set by ApplySymbolType (0: none).
    int SymbolLengthLimit() const;

signals:
    void modifiedChanged(bool modified);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const QString& decimalSeparator);
    void CreatePopUpMenus();
    void CreateToolBar();
    // The smallest size of the window: the designed width and `height`.
    void SetDesignedSize(int height);
    void CreateOverdueNotice(); // the status bar's notice button, hidden (thlavni_book.cpp)
    void ShowOverdueNotice(int count);
    void ConnectHandlers();
    void ConnectExportHandlers();    // thlavni_exports.cpp
    void UpdateExportActions();      // thlavni_exports.cpp: as the print action of the same kind
    void SetModified(bool modified); // emits modifiedChanged when it changes

    friend struct THlavniTestAccess; // the tests reach the controls by their names

    std::unique_ptr<THlavniUi> ui_; // the controls of the form (thlavni.ui) and the tool bar
    // Grid1 with Amounts beside its rows.
    std::unique_ptr<ItemGrid> grid_;
    bool modified_ = false;
    // The file the open invoice was opened from or last saved as; empty for a new invoice.
    // Saving under another number whose file exists asks before replacing that file.
    QString OwnInvoiceFile;
    // The number New proposed for the new invoice: when its file appears before the first save
    // (another instance took the number), saving offers the next free number instead.
    QString ProposedNumber;
    // The invoice as it was read from its file: the lines the window does not show (the
    // optional and unknown lines after line 49) are saved from it unchanged. Empty for a new
    // invoice.
    InvoiceRecord OpenedRecord;
    // The bytes of OwnInvoiceFile when it was opened or last saved: a save compares them with
    // the file, so that a change another instance made meanwhile is never overwritten unseen.
    QByteArray OpenedBytes;
    int OverdueShown = 0; // the count the notice shows
    bool skipNextGridClick_ =
        false; // the press that changed the current cell already ran Grid1Click
    AresLookup* aresLookup_ = nullptr;  // made on the first look-up
    SlicedWork* overdueScan_ = nullptr; // counts the overdue invoices for the notice
    bool overdueKnown_ = false;         // OverdueShown counts the period as it is
    bool shownBefore_ = false;          // the first show starts the count
    bool staleFilesRemoved_ = false;    // the first count removes stale temporary files first
};

} // namespace tarvela
