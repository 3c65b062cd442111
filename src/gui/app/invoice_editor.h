#pragma once

#include <QDate>
#include <QString>
#include <QWidget>

#include <memory>

#include "editor/row_amounts.h"
#include "invoice/invoice_record.h"
#include "settings/settings_file.h"

class QKeyEvent;

namespace tarvela {

class AresLookup;
class ItemGrid;
struct InvoiceEditorUi;
struct THlavniTestAccess;

// The open invoice: its two pages (the header, customer, comments and payment; the item grid
// with the totals panel), the amounts of its rows, the record it was opened from and whether it
// has unsaved edits. The main window shows it while an invoice is open and follows its signals;
// saving, opening and closing files are the window's.
//
// Its handlers are spread over a few files by area:
//   invoice_editor.cpp          construction, fields, keys, the record, new/load/clear, EET box
//   invoice_editor_items.cpp    the item grid, the totals panel and the item actions
//   invoice_editor_pickers.cpp  the template and customer pickers, the address book, the
//                               business register, the payment date, the exchange rate
class InvoiceEditor : public QWidget {
    Q_OBJECT
public:
    InvoiceEditor(const QString& programFolder, const AppSettings& settings,
                  QWidget* parent = nullptr);
    ~InvoiceEditor() override;

    // The settings changed (the settings dialog, the period): the VAT captions, the symbol's
    // type and the payment box's currency follow.
    void ApplySettings(const AppSettings& settings);

    // ---- State ----------------------------------------------------------------------------
    // Unsaved edits. Every edit sets it; New, Open, Save and Close clear it (SetModified), and
    // modifiedChanged follows each change.
    bool IsModified() const { return modified_; }
    void SetModified(bool modified);
    // The invoice as the editor shows it, over the record it was opened from (the lines the
    // editor does not show); the total as the totals panel shows it.
    InvoiceRecord Record() const;
    // The record as read from its file, with the EET registrations and payments written since.
    const InvoiceRecord& OpenedRecord() const { return opened_; }
    QString Number() const;
    // Sets the invoice number (the window's own choice, not an edit).
    void SetNumber(const QString& number);
    bool IsCash() const; // the form of payment "H"
    int CurrentPage() const;
    int SymbolLengthLimit() const; // the typing limit of the symbol field (0: none)

    // ---- New, open, close -----------------------------------------------------------------
    // An empty invoice with its number and its dates (supply and issue on `date`, due after the
    // settings' term), the payment by transfer and the variable symbol from the number's digits.
    void StartNew(const QString& number, const QDate& date);
    // Shows the record read from a file: its fields, rows, totals and EET state.
    void Load(const InvoiceRecord& record);
    // Empties every field, row and total and shows the first page.
    void Clear();

    // ---- Payments and EET -----------------------------------------------------------------
    bool HasPaymentDate() const;
    // A cash invoice paid on its date of issue, by the amount its cash receipt asks (rounded to
    // whole crowns in CZK) unless a paid amount was typed.
    void RecordCashPayment();
    // Takes back RecordCashPayment: no payment date, the amount as it was typed.
    void UndoCashPayment(const QString& typedAmount);
    QString PaidAmountText() const;
    // The invoice's EET registrations ("Eet=" value) and the box that shows them.
    void SetEet(const QString& eet);
    // Shows the payment written into the file meanwhile (by the book, the bank statement or
    // another instance) without marking an edit.
    void ShowPayment(const InvoiceRecord& written);
    // A typed exchange rate or rate date that does not read is refused, naming the field.
    void CheckExchangeRateFields();

    // ---- Items (rows 1 to 25, columns 1 to 6, in the grid's own numbering) ------------------
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    int CurrentRow() const;      // 1 to 25 (0 when the grid has no current cell)
    void SetCurrentRow(int row); // the change of the current row recomputes it
    void EditItem();             // the item editor on the current row
    void CopyItem();
    void PasteItem();
    void DeleteItem();
    void MoveItemDown();
    void MoveItemUp();

    // The window's key preview of a key for one of the editor's controls, before the control
    // sees it: true when it was consumed (Enter on a grid row edits it; the paid amount takes
    // only what reads as an amount).
    bool KeyPreview(QWidget* widget, const QKeyEvent& key);

    // ---- Customer ---------------------------------------------------------------------------
    // The address book of all periods; the chosen customer fills the customer's fields.
    void ChooseCustomerFromBook();

signals:
    void modifiedChanged(bool modified);
    // The user edited the invoice number.
    void numberEdited(const QString& number);
    void pageChanged(int page);
    // The form of payment changed (the cash receipts and EET depend on it).
    void paymentFormChanged();
    // The address book button: the window's action decides whether it may open.
    void customersRequested();
    // A double click or Enter on a row: the window's item action edits it when it may.
    void itemEditRequested();
    // A short notice for the window's status bar.
    void statusMessage(const QString& text, int timeoutMs);

private:
    friend struct THlavniTestAccess; // the tests reach the controls by their names

    void ConnectHandlers();
    void ApplyVatLabels();
    void ApplySymbolType();
    void ShowEet();
    void ShowPaymentBoxTitle();
    // The paid-amount key filter: true when the typed text may reach the field; otherwise the
    // key is dropped and the system beep sounds.
    bool PaidAmountKeyPress(const QString& typed);
    void PageChanged();
    void GridClick();
    void ShowTotals();
    void TakeTemplate();
    void TakeCustomer();
    void LookUpInRegister();
    void FetchExchangeRate();
    void SetPaymentDate();
    void ClearPaymentDate();

    QString programFolder_;
    AppSettings settings_;
    std::unique_ptr<InvoiceEditorUi> ui_;
    RowAmounts amounts_;
    std::unique_ptr<ItemGrid> grid_;
    InvoiceRecord opened_;
    bool modified_ = false;
    bool skipNextGridClick_ = false;   // the press that changed the current cell ran GridClick
    AresLookup* aresLookup_ = nullptr; // made on the first look-up
};

} // namespace tarvela
