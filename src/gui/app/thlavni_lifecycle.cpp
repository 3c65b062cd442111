// The invoice lifecycle of the main window: new, open, save, close and emptying the window.
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

#include "editor/totevrit.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_record.h"
#include "invoice/invoice_store.h"
#include "text/clock.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/message_boxes.h"

namespace tarvela {

namespace {

const QString kCaptionPrefix = QStringLiteral("Tarvela - ");

// Lets the window repaint during a long folder listing without starting another command.
void ProcessPaintEvents() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The form of payment as the combo box shows it: an entry of the list is selected, any other
// text is typed in.
void SetPaymentForm(QComboBox* box, const QString& text) {
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(index);
    if (index < 0)
        box->setEditText(text);
}

// The window's fields as a record, the invoice total as the totals panel shows it. What the
// window does not show comes from the invoice as it was opened.
InvoiceRecord RecordFromWindow(const THlavni& w, const THlavniUi& ui) {
    InvoiceRecord r = w.OpenedRecord;
    r.Cislo = ui.Ed_Fa1->text();
    r.Symbol = ui.Ed_Fa2->text();
    r.Objednavka = ui.Ed_Fa3->text();
    r.Prijemce = ui.Ed_Fa4->text();
    r.MistoVyskladneni = ui.Ed_Fa5->text();
    r.FormaUhrady = ui.CBox_Fa6->currentText();
    r.DatumPlneni = ui.Datum_Fa7->date();
    r.DatumVystaveni = ui.Datum_Fa8->date();
    r.DatumSplatnosti = ui.Datum_Fa9->date();
    r.OdberatelKod = ui.Ed_Od1->text();
    r.OdberatelNazev1 = ui.Ed_Od2->text();
    r.OdberatelNazev2 = ui.Ed_Od3->text();
    r.OdberatelOdpovedOsoba = ui.Ed_Od4->text();
    r.OdberatelUliceCislo = ui.Ed_Od5->text();
    r.OdberatelPSC = ui.Ed_Od6->text();
    r.OdberatelMesto = ui.Ed_Od7->text();
    r.OdberatelIC = ui.Ed_Od8->text();
    r.OdberatelDIC = ui.Ed_Od9->text();
    for (int row = 1; row <= kItemRowCount; ++row)
        for (int col = 1; col <= kItemCellCount; ++col)
            r.Polozky[row - 1].cell(col - 1) = w.Cell(col, row);
    r.Komentar1 = ui.Ed_Komentar1->text();
    r.Komentar2 = ui.Ed_Komentar2->text();
    r.Uhrnem = ui.La_CelkemFaktura->text();
    r.DatumUhrady = ui.Ed_DatumUhrady->text();
    r.Mena = ui.Ed_Mena->text();
    r.UhrazenaCastka = ui.Ed_UhrazenaCastka->text();
    return r;
}

// Fills the window's fields from a record. The invoice total is not taken: it is recomputed
// from the rows.
void FillWindow(THlavni& w, THlavniUi& ui, const InvoiceRecord& r) {
    ui.Ed_Fa1->setText(r.Cislo);
    ui.Ed_Fa2->setText(r.Symbol);
    ui.Ed_Fa3->setText(r.Objednavka);
    ui.Ed_Fa4->setText(r.Prijemce);
    ui.Ed_Fa5->setText(r.MistoVyskladneni);
    SetPaymentForm(ui.CBox_Fa6, r.FormaUhrady);
    ui.Datum_Fa7->setDate(r.DatumPlneni);
    ui.Datum_Fa8->setDate(r.DatumVystaveni);
    ui.Datum_Fa9->setDate(r.DatumSplatnosti);
    ui.Ed_Od1->setText(r.OdberatelKod);
    ui.Ed_Od2->setText(r.OdberatelNazev1);
    ui.Ed_Od3->setText(r.OdberatelNazev2);
    ui.Ed_Od4->setText(r.OdberatelOdpovedOsoba);
    ui.Ed_Od5->setText(r.OdberatelUliceCislo);
    ui.Ed_Od6->setText(r.OdberatelPSC);
    ui.Ed_Od7->setText(r.OdberatelMesto);
    ui.Ed_Od8->setText(r.OdberatelIC);
    ui.Ed_Od9->setText(r.OdberatelDIC);
    for (int row = 1; row <= kItemRowCount; ++row)
        for (int col = 1; col <= kItemCellCount; ++col)
            w.SetCell(col, row, r.Polozky[row - 1].cell(col - 1));
    ui.Ed_Komentar1->setText(r.Komentar1);
    ui.Ed_Komentar2->setText(r.Komentar2);
    ui.Ed_DatumUhrady->setText(r.DatumUhrady);
    ui.Ed_Mena->setText(r.Mena);
    ui.Ed_UhrazenaCastka->setText(r.UhrazenaCastka);
}

bool SameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    const QString ca = fa.canonicalFilePath();
    const QString cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

} // namespace

void THlavni::ClearInvoice() {
    for (QLineEdit* edit : {ui_->Ed_Fa1, ui_->Ed_Fa2, ui_->Ed_Fa3, ui_->Ed_Fa4, ui_->Ed_Fa5})
        edit->clear();
    ui_->CBox_Fa6->setCurrentIndex(-1);
    ui_->CBox_Fa6->setEditText(QString());
    const QDate today = Today();
    for (QDateEdit* date : {ui_->Datum_Fa7, ui_->Datum_Fa8, ui_->Datum_Fa9})
        date->setDate(today);
    ui_->Ed_Mena->setText(Settings.VychoziMena);
    for (QLineEdit* edit : {ui_->Ed_Od1, ui_->Ed_Od2, ui_->Ed_Od3, ui_->Ed_Od4, ui_->Ed_Od5,
                            ui_->Ed_Od6, ui_->Ed_Od7, ui_->Ed_Od8, ui_->Ed_Od9, ui_->Ed_Komentar1,
                            ui_->Ed_Komentar2, ui_->Ed_DatumUhrady, ui_->Ed_UhrazenaCastka})
        edit->clear();
    for (int row = 1; row <= kItemRowCount; ++row)
        for (int col = 1; col <= kItemCellCount; ++col)
            SetCell(col, row, QString());
    for (QLabel* label : {ui_->La_APCelkem, ui_->La_APDPH1, ui_->La_APDPH2, ui_->La_APDPH3,
                          ui_->La_CelkemRadek, ui_->La_SACelkem, ui_->La_SADPH1, ui_->La_SADPH2,
                          ui_->La_SADPH3, ui_->La_CelkemFaktura, ui_->La_Mena})
        label->clear();
    Amounts.Clear();
    OpenedRecord = InvoiceRecord();
    ui_->PageControl1->setCurrentIndex(0);
    {
        // The emptied labels stay empty: moving to the first cell is no click in the grid.
        const QSignalBlocker block(ui_->Grid1);
        ui_->Grid1->setCurrentCell(0, 0);
    }
}

void THlavni::Akce_NovaFakturaExecute() {
    const int year = Settings.AktualniRok;
    const QString counter =
        InvoiceStore(ProgramFolder).NextInvoiceCounter(year, ProcessPaintEvents);
    if (counter == QStringLiteral("000")) {
        ShowInfo(QStringLiteral("Novou fakturu nelze vytvořit. Tato verze programu umožňuje "
                                "vyhotovit v jednom období nejvíce 999 faktur."));
        return;
    }
    ui_->PageControl1->show();
    ui_->Ed_Fa1->setText(QString::number(year) + counter);
    ProposedNumber = ui_->Ed_Fa1->text();
    OpenedRecord = InvoiceRecord();
    setWindowTitle(kCaptionPrefix + ui_->Ed_Fa1->text() + QStringLiteral("[*]"));
    ui_->CBox_Fa6->setCurrentIndex(0);
    // The dates lie inside the period: January's invoices prepared in December start on
    // 1 January, a late invoice of last year ends on 31 December.
    QDate today = Today();
    if (today.year() < year)
        today = QDate(year, 1, 1);
    else if (today.year() > year)
        today = QDate(year, 12, 31);
    ui_->Datum_Fa7->setDate(today);
    ui_->Datum_Fa8->setDate(today);
    ui_->Datum_Fa9->setDate(today.addDays(Settings.DobaSplatnosti));
    if (today != Today())
        statusBar()->showMessage(
            QStringLiteral("Faktura patří do období %1: datum plnění a vystavení je %2.")
                .arg(year)
                .arg(FormatInvoiceDate(today)),
            15000);
    else
        statusBar()->clearMessage();
    // A variable symbol is the invoice number's digits, as Czech invoices have it; the user may
    // change it.
    if (Settings.TypSymbolu == SymbolType::Variable) {
        QString digits = ui_->Ed_Fa1->text();
        digits.removeIf([](QChar c) { return !c.isDigit(); });
        ui_->Ed_Fa2->setText(digits);
    }
    ui_->Ed_Mena->setText(Settings.VychoziMena);
    OwnInvoiceFile.clear();
    ChangedFlag = false;
    UpdateActions();
    ShowTotals();
    ui_->GroupBox5->setTitle(QStringLiteral("Úhrada v ") + Settings.VychoziMena);
}

void THlavni::Akce_OtevritFakturuExecute() {
    bool confirmed = false;
    QString path;
    {
        TOtevrit dialog(ProgramFolder, this);
        dialog.SetYear(QString::number(Settings.AktualniRok));
        confirmed = dialog.exec() == QDialog::Accepted;
        path = dialog.SelectedFile;
    }
    if (!confirmed || path.isEmpty())
        return;

    try {
        // The record starts from the emptied window, so the fields of lines the file lacks
        // keep their cleared values.
        OpenedRecord = InvoiceRecord();
        InvoiceRecord record = RecordFromWindow(*this, *ui_);
        ReadInvoiceFile(path, record, Settings.VychoziMena);
        FillWindow(*this, *ui_, record);
        OpenedRecord = record;
        for (int row = 1; row <= kItemRowCount; ++row)
            RecomputeRow(row);
        ShowTotals();
    } catch (...) {
        // An invoice that cannot be opened leaves nothing behind in the hidden editor: the
        // next new invoice starts empty and Save stays disabled.
        ClearInvoice();
        ChangedFlag = false;
        UpdateActions();
        throw;
    }
    ui_->GroupBox5->setTitle(QStringLiteral("Uhrada v ") + Settings.VychoziMena);
    ui_->PageControl1->show();
    setWindowTitle(kCaptionPrefix + ui_->Ed_Fa1->text() + QStringLiteral("[*]"));
    OwnInvoiceFile = path;
    ChangedFlag = false;
    UpdateActions();
}

void THlavni::Akce_UlozitFakturuExecute() {
    const QString number = ui_->Ed_Fa1->text();
    if (number.isEmpty()) {
        ShowInfo(QStringLiteral("Faktura nemůže být uložena - není zadáno číslo faktury."));
        return;
    }
    const InvoiceStore store(ProgramFolder);
    const int year = Settings.AktualniRok;
    // The number's file as it is on disk ("2026001.TVL" too); empty for a new number.
    const QString existing = store.ExistingInvoiceFile(year, number);

    // The proposed number of a new invoice is only ever created, never replaced.
    const bool proposed = OwnInvoiceFile.isEmpty() && number == ProposedNumber;

    // Another invoice's file is never replaced without the user's word.
    if (!proposed && !existing.isEmpty() && !SameFile(existing, OwnInvoiceFile) &&
        !AskYesNo(QStringLiteral("Upozornění"),
                  QStringLiteral("Faktura číslo %1 již existuje. Chcete ji přepsat touto "
                                 "fakturou?")
                      .arg(number)))
        return;

    if (ui_->CBox_Fa6->currentText() == QStringLiteral("H") &&
        ui_->Ed_DatumUhrady->text().isEmpty())
        ui_->Ed_DatumUhrady->setText(FormatInvoiceDate(ui_->Datum_Fa9->date()));

    try {
        if (proposed || existing.isEmpty())
            store.CreateInvoice(year, RecordFromWindow(*this, *ui_)); // only if still free
        else
            store.SaveInvoice(year, RecordFromWindow(*this, *ui_));
    } catch (const NumberTakenError& e) {
        // Another instance saved this number meanwhile: nothing was written.
        if (e.nextNumber().isEmpty())
            throw;
        if (AskYesNo(QStringLiteral("Upozornění"),
                     e.message() + QStringLiteral("\r\nChcete fakturu uložit pod číslem %1?")
                                       .arg(e.nextNumber()))) {
            ui_->Ed_Fa1->setText(e.nextNumber());
            ProposedNumber = e.nextNumber();
            setWindowTitle(kCaptionPrefix + ui_->Ed_Fa1->text() + QStringLiteral("[*]"));
            Akce_UlozitFakturuExecute();
        }
        return;
    }
    OwnInvoiceFile =
        proposed || existing.isEmpty() ? store.InvoiceFilePath(year, number) : existing;
    ProposedNumber.clear();
    ChangedFlag = false;
    UpdateActions();
    statusBar()->showMessage(QStringLiteral("Faktura %1 je uložena (%2).")
                                 .arg(number, QDir::toNativeSeparators(OwnInvoiceFile)),
                             15000);
}

void THlavni::Akce_ZavritFakturuExecute() {
    if (ChangedFlag) {
        // Storno is the default and Escape's answer: neither Enter nor a slip loses the edits.
        const Answer answer =
            AskYesNoCancel(QStringLiteral("Upozornění"),
                           QStringLiteral("Ve faktuře byly provedeny změny, chcete je uložit?"));
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes) {
            Akce_UlozitFakturuExecute();
            // The user wants the edits kept: when they were not saved (no number, another
            // invoice's file not to be replaced), the invoice stays open with them.
            if (ChangedFlag)
                return;
        }
    }
    ui_->PageControl1->hide();
    ClearInvoice();
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    OwnInvoiceFile.clear();
    ProposedNumber.clear();
    ChangedFlag = false;
    UpdateActions();
}

} // namespace tarvela
