// The invoice lifecycle of the main window: new, open, save, close and emptying the window.
#include "app/thlavni.h"

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

// The window's fields as a record, the invoice total as the totals panel shows it.
InvoiceRecord RecordFromWindow(const THlavni& w) {
    InvoiceRecord r;
    r.Cislo = w.Ed_Fa1->text();
    r.Symbol = w.Ed_Fa2->text();
    r.Objednavka = w.Ed_Fa3->text();
    r.Prijemce = w.Ed_Fa4->text();
    r.MistoVyskladneni = w.Ed_Fa5->text();
    r.FormaUhrady = w.CBox_Fa6->currentText();
    r.DatumPlneni = w.Datum_Fa7->date();
    r.DatumVystaveni = w.Datum_Fa8->date();
    r.DatumSplatnosti = w.Datum_Fa9->date();
    r.OdberatelKod = w.Ed_Od1->text();
    r.OdberatelNazev1 = w.Ed_Od2->text();
    r.OdberatelNazev2 = w.Ed_Od3->text();
    r.OdberatelOdpovedOsoba = w.Ed_Od4->text();
    r.OdberatelUliceCislo = w.Ed_Od5->text();
    r.OdberatelPSC = w.Ed_Od6->text();
    r.OdberatelMesto = w.Ed_Od7->text();
    r.OdberatelIC = w.Ed_Od8->text();
    r.OdberatelDIC = w.Ed_Od9->text();
    for (int row = 1; row <= kItemRowCount; ++row)
        for (int col = 1; col <= kItemCellCount; ++col)
            r.Polozky[row - 1].cell(col - 1) = w.Cell(col, row);
    r.Komentar1 = w.Ed_Komentar1->text();
    r.Komentar2 = w.Ed_Komentar2->text();
    r.Uhrnem = w.La_CelkemFaktura->text();
    r.DatumUhrady = w.Ed_DatumUhrady->text();
    r.Mena = w.Ed_Mena->text();
    r.UhrazenaCastka = w.Ed_UhrazenaCastka->text();
    return r;
}

// Fills the window's fields from a record. The invoice total is not taken: it is recomputed
// from the rows.
void FillWindow(THlavni& w, const InvoiceRecord& r) {
    w.Ed_Fa1->setText(r.Cislo);
    w.Ed_Fa2->setText(r.Symbol);
    w.Ed_Fa3->setText(r.Objednavka);
    w.Ed_Fa4->setText(r.Prijemce);
    w.Ed_Fa5->setText(r.MistoVyskladneni);
    SetPaymentForm(w.CBox_Fa6, r.FormaUhrady);
    w.Datum_Fa7->setDate(r.DatumPlneni);
    w.Datum_Fa8->setDate(r.DatumVystaveni);
    w.Datum_Fa9->setDate(r.DatumSplatnosti);
    w.Ed_Od1->setText(r.OdberatelKod);
    w.Ed_Od2->setText(r.OdberatelNazev1);
    w.Ed_Od3->setText(r.OdberatelNazev2);
    w.Ed_Od4->setText(r.OdberatelOdpovedOsoba);
    w.Ed_Od5->setText(r.OdberatelUliceCislo);
    w.Ed_Od6->setText(r.OdberatelPSC);
    w.Ed_Od7->setText(r.OdberatelMesto);
    w.Ed_Od8->setText(r.OdberatelIC);
    w.Ed_Od9->setText(r.OdberatelDIC);
    for (int row = 1; row <= kItemRowCount; ++row)
        for (int col = 1; col <= kItemCellCount; ++col)
            w.SetCell(col, row, r.Polozky[row - 1].cell(col - 1));
    w.Ed_Komentar1->setText(r.Komentar1);
    w.Ed_Komentar2->setText(r.Komentar2);
    w.Ed_DatumUhrady->setText(r.DatumUhrady);
    w.Ed_Mena->setText(r.Mena);
    w.Ed_UhrazenaCastka->setText(r.UhrazenaCastka);
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
    for (QLineEdit* edit : {Ed_Fa1, Ed_Fa2, Ed_Fa3, Ed_Fa4, Ed_Fa5})
        edit->clear();
    CBox_Fa6->setCurrentIndex(-1);
    CBox_Fa6->setEditText(QString());
    const QDate today = Today();
    for (QDateEdit* date : {Datum_Fa7, Datum_Fa8, Datum_Fa9})
        date->setDate(today);
    Ed_Mena->setText(Settings.VychoziMena);
    for (QLineEdit* edit : {Ed_Od1, Ed_Od2, Ed_Od3, Ed_Od4, Ed_Od5, Ed_Od6, Ed_Od7, Ed_Od8, Ed_Od9,
                            Ed_Komentar1, Ed_Komentar2, Ed_DatumUhrady, Ed_UhrazenaCastka})
        edit->clear();
    for (int row = 1; row <= kItemRowCount; ++row)
        for (int col = 1; col <= kItemCellCount; ++col)
            SetCell(col, row, QString());
    for (QLabel* label : {La_APCelkem, La_APDPH1, La_APDPH2, La_APDPH3, La_CelkemRadek, La_SACelkem,
                          La_SADPH1, La_SADPH2, La_SADPH3, La_CelkemFaktura, La_Mena})
        label->clear();
    Amounts.Clear();
    PageControl1->setCurrentIndex(0);
    {
        // The emptied labels stay empty: moving to the first cell is no click in the grid.
        const QSignalBlocker block(Grid1);
        Grid1->setCurrentCell(0, 0);
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
    PageControl1->show();
    Ed_Fa1->setText(QString::number(year) + counter);
    setWindowTitle(kCaptionPrefix + Ed_Fa1->text() + QStringLiteral("[*]"));
    CBox_Fa6->setCurrentIndex(0);
    // The dates lie inside the period: January's invoices prepared in December start on
    // 1 January, a late invoice of last year ends on 31 December.
    QDate today = Today();
    if (today.year() < year)
        today = QDate(year, 1, 1);
    else if (today.year() > year)
        today = QDate(year, 12, 31);
    Datum_Fa7->setDate(today);
    Datum_Fa8->setDate(today);
    Datum_Fa9->setDate(today.addDays(Settings.DobaSplatnosti));
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
        QString digits = Ed_Fa1->text();
        digits.removeIf([](QChar c) { return !c.isDigit(); });
        Ed_Fa2->setText(digits);
    }
    Ed_Mena->setText(Settings.VychoziMena);
    OwnInvoiceFile.clear();
    ChangedFlag = false;
    UpdateActions();
    ShowTotals();
    GroupBox5->setTitle(QStringLiteral("Úhrada v ") + Settings.VychoziMena);
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
        InvoiceRecord record = RecordFromWindow(*this);
        ReadInvoiceFile(path, record, Settings.VychoziMena);
        FillWindow(*this, record);
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
    GroupBox5->setTitle(QStringLiteral("Uhrada v ") + Settings.VychoziMena);
    PageControl1->show();
    setWindowTitle(kCaptionPrefix + Ed_Fa1->text() + QStringLiteral("[*]"));
    OwnInvoiceFile = path;
    ChangedFlag = false;
    UpdateActions();
}

void THlavni::Akce_UlozitFakturuExecute() {
    const QString number = Ed_Fa1->text();
    if (number.isEmpty()) {
        ShowInfo(QStringLiteral("Faktura nemůže být uložena - není zadáno číslo faktury."));
        return;
    }
    const InvoiceStore store(ProgramFolder);
    const QString path = store.InvoiceFilePath(Settings.AktualniRok, number);

    // Another invoice's file is never replaced without the user's word.
    if (QFileInfo::exists(path) && !SameFile(path, OwnInvoiceFile) &&
        !AskYesNo(QStringLiteral("Upozornění"),
                  QStringLiteral("Faktura číslo %1 již existuje. Chcete ji přepsat touto "
                                 "fakturou?")
                      .arg(number)))
        return;

    if (CBox_Fa6->currentText() == QStringLiteral("H") && Ed_DatumUhrady->text().isEmpty())
        Ed_DatumUhrady->setText(FormatInvoiceDate(Datum_Fa9->date()));

    WriteInvoiceFile(RecordFromWindow(*this), path);
    OwnInvoiceFile = path;
    ChangedFlag = false;
    UpdateActions();
    statusBar()->showMessage(
        QStringLiteral("Faktura %1 je uložena (%2).").arg(number, QDir::toNativeSeparators(path)),
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
    PageControl1->hide();
    ClearInvoice();
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    OwnInvoiceFile.clear();
    ChangedFlag = false;
    UpdateActions();
}

} // namespace tarvela
