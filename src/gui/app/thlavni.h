#pragma once

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QString>

#include <memory>

#include "editor/invoice_book.h"
#include "invoice/invoice_record.h"
#include "printing/invoice_documents.h"
#include "settings/settings_file.h"

class QAction;
class QEvent;

namespace tarvela {

class InvoiceEditor;
struct BookHost;
class SlicedWork;

struct THlavniUi;
struct THlavniTestAccess;

// The main window: the program itself, the shell around the invoice editor. It holds the
// settings, the menus, the tool bar, the actions and the status bar, opens the dialogs and shows
// at most one invoice at a time in its editor (an invoice is open exactly while the editor is
// shown). The actions follow the editor's signals.
//
// The handlers are spread over several files by area:
//   thlavni.cpp            construction, start-up, UpdateActions and the window's small handlers
//   thlavni_lifecycle.cpp  new, open, save, close
//   thlavni_print.cpp      print actions, overview, cash receipt
//   thlavni_settings.cpp   settings dialog, period change, help, web pages, About box
//   thlavni_exports.cpp    ISDOC, e-mail, the accountant's period export and VAT summary
//   thlavni_book.cpp       invoice book, bank statements, payments written there, the overdue
//                          notice
// Every action, button and change signal is connected through the handler guard, so a failure a
// handler does not handle ends up in the error box.
class THlavni : public QMainWindow {
    Q_OBJECT
public:
    // How the window is made. Whole: everything in the constructor. FrameFirst (the program's
    // start): the constructor reads the settings and makes only the empty frame, so that it can
    // be shown at once; MakeForm, called right after show(), makes the menus, the tool bar and
    // the editor before the first painting.
    enum class Making { Whole, FrameFirst };

    // The program's window: the program folder is the executable's folder, the decimal
    // separator that of the system locale.
    explicit THlavni(Making making, QWidget* parent = nullptr);
    // Start-up with a given program folder (a trailing separator is added when missing) and the
    // decimal separator the system locale would give.
    THlavni(const QString& programFolder, const QString& decimalSeparator,
            Making making = Making::Whole, QWidget* parent = nullptr);
    ~THlavni() override;

    const QString& ProgramFolder() const { return programFolder_; } // ends with the separator
    // Read once at start; changed by the period and settings actions.
    const AppSettings& Settings() const { return settings_; }
    // No settings file at start: FormFirstStart asks for them.
    bool FirstStart() const { return firstStart_; }
    // Start-up refused to run (decimal separator): the window is not to be shown.
    bool TerminateRequested() const { return terminateRequested_; }
    // The first start without settings: a short hint, then the settings dialog on the supplier
    // page, so that the first invoice does not print an empty supplier.
    void FormFirstStart();
    // Makes the form of a window made FrameFirst (nothing for one made whole); a shown window
    // then starts as on its first showing (the overdue count, EET).
    void MakeForm();

    bool InvoiceOpen() const; // the editor is shown
    // Unsaved edits in the open invoice.
    bool IsModified() const;
    // The open invoice as the editor shows it (see InvoiceEditor::Record).
    InvoiceRecord WindowRecord() const;
    // Reads the invoice file into the editor and shows it; the window must have no invoice open.
    void OpenInvoiceFile(const QString& path);
    // True while the overdue invoices are being counted (the status bar's notice not yet known).
    bool OverdueNoticePending() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct THlavniTestAccess; // the tests reach the controls by their names

    // ---- Construction and the window (thlavni.cpp) -------------------------------------------
    void FormCreate(const QString& decimalSeparator);
    void CreateEditor();
    void CreatePopUpMenus();
    void CreateToolBar();
    // The smallest size of the window: the designed width and `height`.
    void SetDesignedSize(int height);
    void CentreOnScreen();
    // The first showing of the made window: the overdue count and the EET service start.
    void FirstShown();
    void ConnectHandlers();
    // The actions' states: what an open, edited, cash invoice on its items page may do.
    void UpdateActions();
    // Window key preview: true when the key was consumed (Enter on the first page moves the
    // focus).
    bool FormKeyPress(int key);
    void SetCaption(const QString& number); // "Tarvela - <number>[*]", or the program's name
    void TB_TiskClick();
    void TB_SestavyClick();
    void FormClose();

    // ---- Invoice lifecycle (thlavni_lifecycle.cpp) ------------------------------------------
    void Akce_NovaFakturaExecute();
    void Akce_OtevritFakturuExecute();
    void Akce_UlozitFakturuExecute();
    void Akce_ZavritFakturuExecute();
    void Akce_OdberateleExecute();
    // Registers the payment just recorded with EET when the supplier registers and returns the
    // invoice's "Eet=" value with it: `registered` are the registrations the invoice already
    // has, `path` the file the invoice is saved as.
    QString RegisterEetPayment(const QString& number, const QString& path,
                               const QString& registered);
    // The POK of a registration was written into the file at `path`: shown when the window has
    // that invoice open.
    void EetWritten(const QString& path);
    // True when the open invoice is the one of the file at `path`.
    bool ShowsFile(const QString& path) const;

    // ---- Printing (thlavni_print.cpp) -------------------------------------------------------
    // The one handler of the seven invoice documents; the action tells the kind.
    void Akce_TiskFaktury01Execute(QAction* akce);
    void Akce_SestavaPrijmovyDokladExecute();
    void Akce_SestavaPrehledExecute();

    // ---- E-invoices, e-mail, the accountant's exports (thlavni_exports.cpp) ----------------
    void ConnectExportHandlers();
    void UpdateExportActions(); // as the print action of the same kind
    // The document of `kind` as ISDOC into a file the user chooses ("<number>.isdoc" in the
    // documents folder proposed); missing data is refused before the dialog.
    void Akce_IsdocFakturyExecute(DocumentKind kind);
    // The document as PDF (and ISDOC when the kind has one) into a temporary folder, handed to
    // the desktop's mail client (xdg-email) without waiting for it.
    void Akce_EmailFakturyExecute(DocumentKind kind);
    void Akce_ExportUcetniExecute();
    void Akce_PrehledDPHExecute();

    // ---- Invoice book and bank statements (thlavni_book.cpp) -----------------------------------
    void Akce_NacistVypisExecute();
    // What the book and the bank import must know: the open invoice's file when it has edits.
    BookHost Host() const;
    // The book with the given status filter; the invoice chosen there is opened.
    void ShowBook(StatusFilter filter);
    // Opens the invoice of the file, closing the open invoice first with the usual question;
    // the open invoice stays when the user keeps it (Storno, a save that did not happen).
    void OpenInvoiceFromBook(const QString& path);
    // The payment lines of the file were rewritten: the open invoice without edits shows them.
    void PaymentWritten(const QString& path);
    void CreateOverdueNotice(); // the status bar's notice button, hidden
    // The status bar's notice "2 faktury jsou po splatnosti" (hidden when there are none) for
    // the overdue invoices of the current period. A negative count starts counting them anew:
    // the period is read in slices from the event loop (first when the window has appeared)
    // and the notice follows when all files are read; the window stays usable meanwhile.
    void UpdateOverdueNotice(int count = -1);
    void ShowOverdueNotice(int count);
    // True when the invoice file at the path is overdue today (false when it does not read).
    bool FileIsOverdue(const QString& path) const;
    // After a save: the notice counts the saved invoice as it is now, not as it was, without
    // reading the whole period again.
    void UpdateOverdueNoticeAfterSave(bool wasOverdue);

    // ---- Settings, period, help, About (thlavni_settings.cpp) -------------------------------
    void OpenSettings(int page);
    void Akce_ZmenaObdobiExecute();
    void Akce_EetOdeslaneExecute();
    void Akce_NapovedaExecute();
    void Akce_WebDomuExecute();
    void Akce_NavodFRExecute();
    void Akce_OProgramuExecute();

    QString programFolder_;
    AppSettings settings_;
    bool firstStart_ = false;
    bool terminateRequested_ = false;
    QList<QIcon> imageList_;        // 16 pictures of 16 x 16, by index (images.h)
    QList<QAction*> actionList_;    // the actions Akce_*, in the order of the form
    std::unique_ptr<THlavniUi> ui_; // the controls of the form (thlavni.ui) and the tool bar
    InvoiceEditor* editor_ = nullptr;
    // The file the open invoice was opened from or last saved as; empty for a new invoice.
    // Saving under another number whose file exists asks before replacing that file.
    QString OwnInvoiceFile;
    // The number New proposed for the new invoice: when its file appears before the first save
    // (another instance took the number), saving offers the next free number instead.
    QString ProposedNumber;
    // The bytes of OwnInvoiceFile when it was opened or last saved: a save compares them with
    // the file, so that a change another instance made meanwhile is never overwritten unseen.
    QByteArray OpenedBytes;
    int OverdueShown = 0;               // the count the notice shows
    SlicedWork* overdueScan_ = nullptr; // counts the overdue invoices for the notice
    bool overdueKnown_ = false;         // OverdueShown counts the period as it is
    bool shownBefore_ = false;          // the first show starts the count
    bool staleFilesRemoved_ = false;    // the first count removes stale temporary files first
};

} // namespace tarvela
