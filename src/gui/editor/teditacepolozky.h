#pragma once

#include "editor/row_amounts.h"
#include "invoice/invoice_record.h"
#include "settings/settings_file.h"

#include <QDialog>
#include <QString>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;

namespace Ui {
class TEditacePolozky;
}

namespace tarvela {

// The item editor: one item row of the open invoice in edit fields. It is given the row's six
// cells and amounts, the settings and the program folder; Ok checks the entries, writes the
// cells, recomputes the row's amounts and closes. Nothing is written to any file.
//
// The window follows it through its signals: rowWritten gives the cells Ok wrote, amountsChanged
// the row's amounts (after a successful recomputation, and at once from the two clearing
// buttons), confirmed follows a successful Ok (the totals are shown and the invoice is changed).
// The dialog works on its own copies, read back by Row() and Amounts().
class TEditacePolozky : public QDialog {
    Q_OBJECT
public:
    TEditacePolozky(const InvoiceItemRow& row, const RowAmount& amounts,
                    const AppSettings& settings, const QString& programFolder,
                    QWidget* owner = nullptr);
    ~TEditacePolozky() override;

    // The row's cells as the last Ok wrote them (the given cells until then).
    const InvoiceItemRow& Row() const { return row_; }
    // The row's amounts as the last Ok or clearing button set them.
    const RowAmount& Amounts() const { return amounts_; }

    // The amount without tax of the entries, rounded to hundredths, as text ("0,00" when the
    // quantity or the price is empty). Throws ConversionError for a text that is not a number.
    QString NetTotalText() const;

    // Handlers.
    void FormCreate();
    void FormActivate();
    void Ed_KodChange();
    void Ed_PocetMJExit();
    void Ed_CenaMJExit();
    void Ed_CenaSAEnter();
    // The key filter of the quantity and unit-price fields; true when the key was handled here.
    bool Ed_PocetMJKeyPress(QLineEdit* field, QKeyEvent* event);
    void Tl_OkClick();
    void Tl_StornoClick();
    void Tl_VyprazdnitClick();
    void Tl_VyprazdnitCenuClick();
    // Ctrl+Enter in any control: the field is completed and Ok pressed (closes as Storno when
    // nothing was changed).
    void ConfirmFromAnyField();
    void Tl_SeznamPolozekClick();
    void TakeItemFromList(QAction* item);
    void Akce_StiskKlavesyEnterExecute();
    void Akce_StiskVpravoExecute();
    void Akce_StiskVlevoExecute();

signals:
    void rowWritten(const tarvela::InvoiceItemRow& row);
    void amountsChanged(const tarvela::RowAmount& amounts);
    void confirmed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void MoveFocus(bool forward);
    QWidget* FocusedControl() const;
    void WatchChildren();
    void ClearFields(bool keepTexts);
    void SetAmounts(const RowAmount& amounts);

    // Dialog shortcuts (Enter, Ctrl+Right, Ctrl+Left); they take precedence over the focused
    // control.
    QAction* Akce_StiskKlavesyEnter = nullptr;
    QAction* Akce_StiskVpravo = nullptr;
    QAction* Akce_StiskVlevo = nullptr;

    QMenu* PMenu_Rok = nullptr; // the periods of Tl_SeznamPolozek

    std::unique_ptr<Ui::TEditacePolozky> ui_;
    InvoiceItemRow row_;
    RowAmount amounts_;
    AppSettings settings_;
    QString programFolder_;
    bool activated_ = false;
};

} // namespace tarvela
