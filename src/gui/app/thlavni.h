#pragma once

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QString>

#include "editor/row_amounts.h"
#include "settings/settings_file.h"

class QAction;
class QComboBox;
class QDateEdit;
class QEvent;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QTabWidget;
class QTableWidget;
class QToolBar;
class QToolButton;
class QPushButton;

namespace tarvela {

// The main window: the program itself. It holds the settings, shows at most one invoice at a
// time (an invoice is open exactly while PageControl1 is not hidden) and owns the actions of the
// menus and the tool bar.
//
// The handlers are spread over several files by area:
//   thlavni.cpp            construction, start-up, UpdateActions and the window's small handlers
//   thlavni_lifecycle.cpp  new, open, save, close, ClearInvoice
//   thlavni_grid.cpp       grid click and drawing, totals, copy, paste, delete, move
//   thlavni_pickers.cpp    item editor, template and customer pickers, payment date, period
//   thlavni_print.cpp      print actions, overview, cash receipt
//   thlavni_settings.cpp   settings dialog, help, web pages, About box
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
    bool ChangedFlag = false;      // unsaved edits in the open invoice
    tarvela::RowAmounts Amounts;   // per-row amounts beside the grid, rows 1 to 25
    // The file the open invoice was opened from or last saved as; empty for a new invoice.
    // Saving under another number whose file exists asks before replacing that file.
    QString OwnInvoiceFile;
    bool FirstStart = false;         // no settings file at start: FormFirstStart asks for them
    bool TerminateRequested = false; // start-up refused to run (decimal separator): do not show

    bool InvoiceOpen() const; // PageControl1 not hidden
    int CurrentPage() const;  // index of the page shown in PageControl1

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

    // ---- Item grid and totals (thlavni_grid.cpp) --------------------------------------------
    void SetUpGrid1Drawing(); // called once at start: cell drawing of Grid1
    void Grid1Click();        // a click in the grid or a change of its current cell
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

    // ---- Printing (thlavni_print.cpp) -------------------------------------------------------
    // The one handler of the seven invoice documents; the action tells the kind.
    void Akce_TiskFaktury01Execute(QAction* akce);
    void Akce_SestavaPrijmovyDokladExecute();
    void Akce_SestavaPrehledExecute();

    // ---- Settings, help, About (thlavni_settings.cpp) ---------------------------------------
    void Akce_KonfiguraceExecute();
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

    // ---- Actions (ActionList1) --------------------------------------------------------------
    QAction* Akce_NovaFaktura = nullptr;
    QAction* Akce_OtevritFakturu = nullptr;
    QAction* Akce_ZavritFakturu = nullptr;
    QAction* Akce_UlozitFakturu = nullptr;
    QAction* Akce_KonecProgramu = nullptr;
    QAction* Akce_TiskFaktury01 = nullptr;
    QAction* Akce_TiskFaktury02 = nullptr;
    QAction* Akce_TiskFaktury03 = nullptr;
    QAction* Akce_TiskFaktury04 = nullptr;
    QAction* Akce_TiskFaktury06 = nullptr;
    QAction* Akce_TiskFaktury10 = nullptr;
    QAction* Akce_TiskFaktury20 = nullptr;
    QAction* Akce_SestavaPrijmovyDoklad = nullptr;
    QAction* Akce_SestavaPrehled = nullptr;
    QAction* Akce_EditovatPolozku = nullptr;
    QAction* Akce_ZkopirovatPolozku = nullptr;
    QAction* Akce_VlozitPolozku = nullptr;
    QAction* Akce_SmazatPolozku = nullptr;
    QAction* Akce_PolozkaDolu = nullptr;
    QAction* Akce_PolozkaNahoru = nullptr;
    QAction* Akce_ZmenaObdobi = nullptr;
    QAction* Akce_Konfigurace = nullptr;
    QAction* Akce_Napoveda = nullptr;
    QAction* Akce_WebDomu = nullptr;
    QAction* Akce_NavodFR = nullptr;
    QAction* Akce_OProgramu = nullptr;
    QList<QAction*> ActionList1; // all of the above, in this order

    // ---- Main menu --------------------------------------------------------------------------
    QMenuBar* HMenu = nullptr;
    QMenu* HMenu_Faktura = nullptr;
    QMenu* HMenu_Tisk = nullptr; // sub-menu "Náhled a tisk faktury"
    QMenu* HMenu_Polozky = nullptr;
    QMenu* HMenu_Sestavy = nullptr;
    QMenu* HMenu_Nastroje = nullptr;
    QMenu* HMenu_Napoveda = nullptr;

    // ---- Pop-up menus -----------------------------------------------------------------------
    QMenu* PMenuTisk = nullptr;
    QMenu* PMenuSestavy = nullptr;
    QMenu* PMenu_Rok = nullptr; // periods, filled by the pickers

    // ---- Tool bar ---------------------------------------------------------------------------
    QToolBar* ToolBar1 = nullptr;
    QToolButton* TB_KonecProgramu = nullptr;
    QToolButton* TB_NovaFaktura = nullptr;
    QToolButton* TB_OtevritFakturu = nullptr;
    QToolButton* TB_ZavritFakturu = nullptr;
    QToolButton* TB_UlozitFakturu = nullptr;
    QToolButton* TB_Tisk = nullptr;
    QToolButton* TB_EditovatPolozku = nullptr;
    QToolButton* TB_ZkopirovatPolozku = nullptr;
    QToolButton* TB_VlozitPolozku = nullptr;
    QToolButton* TB_SmazatPolozku = nullptr;
    QToolButton* TB_PolozkaDolu = nullptr;
    QToolButton* TB_PolozkaNahoru = nullptr;
    QToolButton* TB_Sestavy = nullptr;
    QToolButton* TB_ZmenaObdobi = nullptr;
    QToolButton* TB_Konfigurace = nullptr;
    QToolButton* TB_Napoveda = nullptr;

    // ---- Client area ------------------------------------------------------------------------
    QLabel* La_AktualniRok = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; // "Vstupní údaje"
    QWidget* TabSheet2 = nullptr; // "Položky"

    // GroupBox1 "Vstupní údaje"
    QGroupBox* GroupBox1 = nullptr;
    QLabel* La_Fa1 = nullptr;
    QLabel* La_Fa2 = nullptr;
    QLabel* La_Fa3 = nullptr;
    QLabel* La_Fa4 = nullptr;
    QLabel* La_Fa5 = nullptr;
    QLabel* La_Fa6 = nullptr;
    QLabel* La_Fa7 = nullptr;
    QLabel* La_Fa8 = nullptr;
    QLabel* La_Fa9 = nullptr;
    QLabel* La_MenaPopiska = nullptr;
    QLineEdit* Ed_Fa1 = nullptr;
    QPushButton* Tl_VybratVzorFaktury = nullptr;
    QLineEdit* Ed_Fa2 = nullptr;
    QLineEdit* Ed_Fa3 = nullptr;
    QLineEdit* Ed_Fa4 = nullptr;
    QLineEdit* Ed_Fa5 = nullptr;
    QComboBox* CBox_Fa6 = nullptr;
    QDateEdit* Datum_Fa7 = nullptr;
    QDateEdit* Datum_Fa8 = nullptr;
    QDateEdit* Datum_Fa9 = nullptr;
    QLineEdit* Ed_Mena = nullptr;

    // GroupBox2 "Odběratel"
    QGroupBox* GroupBox2 = nullptr;
    QLabel* La_Od1 = nullptr;
    QLabel* La_Od2 = nullptr;
    QLabel* La_Od3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* La_Od5 = nullptr;
    QLabel* La_Od6 = nullptr;
    QLabel* La_Od7 = nullptr;
    QLabel* La_Od8 = nullptr;
    QLabel* La_Od9 = nullptr;
    QLineEdit* Ed_Od1 = nullptr;
    QPushButton* Tl_VybratOdberatele = nullptr;
    QLineEdit* Ed_Od2 = nullptr;
    QLineEdit* Ed_Od3 = nullptr;
    QLineEdit* Ed_Od4 = nullptr;
    QLineEdit* Ed_Od5 = nullptr;
    QLineEdit* Ed_Od6 = nullptr;
    QLineEdit* Ed_Od7 = nullptr;
    QLineEdit* Ed_Od8 = nullptr;
    QLineEdit* Ed_Od9 = nullptr;

    // GroupBox3 "Komentáře připojené k faktuře"
    QGroupBox* GroupBox3 = nullptr;
    QLabel* La_Komentar1 = nullptr;
    QLabel* La_Komentar2 = nullptr;
    QLineEdit* Ed_Komentar1 = nullptr;
    QLineEdit* Ed_Komentar2 = nullptr;

    // GroupBox4 "Datum úhrady"
    QGroupBox* GroupBox4 = nullptr;
    QLineEdit* Ed_DatumUhrady = nullptr;
    QPushButton* Tl_Datum = nullptr;
    QPushButton* Tl_Zrusit = nullptr;

    // GroupBox5 "Úhrada v " + default currency
    QGroupBox* GroupBox5 = nullptr;
    QLineEdit* Ed_UhrazenaCastka = nullptr;

    // TabSheet2 "Položky": the grid. Its fixed row 0 (column headers) is the table's horizontal
    // header and its fixed column 0 (row numbers) the vertical header, so grid row r, column c
    // (1 to 25, 1 to 6) is the table's item at row r - 1, column c - 1. Use Cell/SetCell.
    QTableWidget* Grid1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* La_AktualPolozka = nullptr;
    QLabel* La_Celkem = nullptr;
    QLabel* La_Zaklad = nullptr;
    QLabel* La_DPH1 = nullptr;
    QLabel* La_DPH2 = nullptr;
    QLabel* La_DPH3 = nullptr;
    QLabel* La_Uhrnem = nullptr;
    QLabel* La_APCelkem = nullptr;
    QLabel* La_APDPH1 = nullptr;
    QLabel* La_APDPH2 = nullptr;
    QLabel* La_APDPH3 = nullptr;
    QLabel* La_CelkemRadek = nullptr;
    QLabel* La_SACelkem = nullptr;
    QLabel* La_SADPH1 = nullptr;
    QLabel* La_SADPH2 = nullptr;
    QLabel* La_SADPH3 = nullptr;
    QLabel* La_CelkemFaktura = nullptr;
    QLabel* La_Mena = nullptr;

    // Grid access in the grid's own numbering (row 1 to 25, column 1 to 6; row 0 is the header
    // row, column 0 the row numbers).
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    int CurrentRow() const;      // 1 to 25 (0 when the grid has no current cell)
    void SetCurrentRow(int row); // 1 to 25; runs Grid1Click through the grid's signal

    // The typing limit of the symbol field set by ApplySymbolType (0: none).
    int SymbolLengthLimit() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const QString& decimalSeparator);
    void CreateImages();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePage1();
    void CreatePage2();
    void ConnectHandlers();
    void SetTabOrder();

    bool skipNextGridClick_ =
        false; // the press that changed the current cell already ran Grid1Click
};

} // namespace tarvela
