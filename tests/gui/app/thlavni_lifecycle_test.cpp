// The invoice lifecycle driven through the real main window offscreen: new, open, save, close,
// the changed flag, the captions, and what happens when a save or an open cannot be done.
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include "support/main_window_fixture.h"

using namespace tarvela;
using namespace tarvela::test;

namespace {

const QString kChangedQuestion =
    QStringLiteral("Ve faktuře byly provedeny změny, chcete je uložit?");

QStringList EmptyRows(int count) {
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << QStringLiteral("||||||");
    return rows;
}

// The 49 lines of a stored invoice in EUR with two items.
QStringList StoredInvoiceLines() {
    QStringList lines{
        "2026004",     "7788",     "OBJ-1",     "Sklad", "Praha 9",           "H",
        "7.1.2026",    "8.1.2026", "22.1.2026", "K-01",  "Řeznictví Šťastný", "a syn",
        "Jan Šťastný", "Dlouhá 5", "60200",     "Brno",  "12345678",          "CZ12345678"};
    lines << "A1|Oprava|ks|2|150,00|21|"
          << "||||||"
          << "|Doprava|km|10|12,50|15|";
    lines << EmptyRows(22);
    lines << "Děkujeme"
          << "Druhý komentář"
          << "999,99" // a stale total: the window recomputes it
          << "25.1.2026"
          << "EUR"
          << "506.75";
    return lines;
}

struct ActionState {
    bool newEnabled, openEnabled, closeEnabled, saveEnabled, pageShown;
};

void ExpectState(THlavni& w, const ActionState& s) {
    QCOMPARE(w.Akce_NovaFaktura->isEnabled(), s.newEnabled);
    QCOMPARE(w.Akce_OtevritFakturu->isEnabled(), s.openEnabled);
    QCOMPARE(w.Akce_ZavritFakturu->isEnabled(), s.closeEnabled);
    QCOMPARE(w.Akce_UlozitFakturu->isEnabled(), s.saveEnabled);
    QCOMPARE(w.InvoiceOpen(), s.pageShown);
    QCOMPARE(w.ChangedFlag, s.saveEnabled);
}

const ActionState kNoInvoice{true, true, false, false, false};
const ActionState kUnchanged{false, false, true, false, true};
const ActionState kChanged{false, false, true, true, true};

} // namespace

class LifecycleTest : public QObject {
    Q_OBJECT
private slots:
    void newTypeSaveWritesTheFile() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        QCOMPARE(w.Ed_Fa1->text(), QStringLiteral("2026001"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela - 2026001[*]"));
        QCOMPARE(w.CBox_Fa6->currentText(), QStringLiteral("PP"));
        QCOMPARE(w.Datum_Fa7->date(), QDate(2026, 3, 5));
        QCOMPARE(w.Datum_Fa8->date(), QDate(2026, 3, 5));
        QCOMPARE(w.Datum_Fa9->date(), QDate(2026, 3, 19));
        QCOMPARE(w.Ed_Mena->text(), QStringLiteral("CZK"));
        QCOMPARE(w.GroupBox5->title(), QStringLiteral("Úhrada v CZK"));
        QCOMPARE(w.La_CelkemFaktura->text(), QStringLiteral("0,00"));
        QCOMPARE(w.La_Mena->text(), QStringLiteral("CZK"));
        QCOMPARE(w.PageControl1->currentIndex(), 0);
        ExpectState(w, kUnchanged);

        QCOMPARE(w.Ed_Fa2->text(), QStringLiteral("2026001")); // the variable symbol, prefilled
        w.Ed_Fa2->clear();
        TypeInto(w.Ed_Fa2, QStringLiteral("12345"));
        ExpectState(w, kChanged);
        TypeInto(w.Ed_Fa3, QStringLiteral("OBJ-7"));
        TypeInto(w.Ed_Od2, QStringLiteral("Řeznictví Šťastný"));
        TypeInto(w.Ed_Od7, QStringLiteral("Brno"));
        TypeInto(w.Ed_Komentar1, QStringLiteral("Děkujeme"));
        PasteRow(w, 1, QStringLiteral("A1|Oprava|ks|2|150,00|21|"));
        PasteRow(w, 2, QStringLiteral("|Doprava|km|10|12,50|15|"));
        QCOMPARE(w.La_CelkemFaktura->text(), QStringLiteral("506,75"));

        w.Akce_UlozitFakturu->trigger();
        ExpectState(w, kUnchanged);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela - 2026001[*]"));

        QStringList expected{"2026001",
                             "12345",
                             "OBJ-7",
                             "",
                             "",
                             "PP",
                             "5.3.2026",
                             "5.3.2026",
                             "19.3.2026",
                             "",
                             "Řeznictví Šťastný",
                             "",
                             "",
                             "",
                             "",
                             "Brno",
                             "",
                             ""};
        expected << "A1|Oprava|ks|2|150,00|21|"
                 << "|Doprava|km|10|12,50|15|" << EmptyRows(23);
        expected << "Děkujeme"
                 << ""
                 << "506,75"
                 << ""
                 << "CZK"
                 << "";
        QCOMPARE(f.periodBytes(QStringLiteral("2026001")), FileOfLines(expected));
        QVERIFY(f.boxes.shown().isEmpty());

        // Saving again without an edit writes the same bytes.
        TypeInto(w.Ed_Fa3, QStringLiteral("X"));
        w.Ed_Fa3->setText(QStringLiteral("OBJ-7"));
        w.Akce_UlozitFakturu->trigger();
        QCOMPARE(f.periodBytes(QStringLiteral("2026001")), FileOfLines(expected));
        QVERIFY(f.boxes.shown().isEmpty());
    }

    void openShowsEveryFieldAndRecomputedTotals() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.writePeriodFile(QStringLiteral("2026004"), FileOfLines(StoredInvoiceLines()));
        OpenThroughDialog(w, QStringLiteral("2026004"));
        QVERIFY(f.boxes.shown().isEmpty());
        ExpectState(w, kUnchanged);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela - 2026004[*]"));
        QCOMPARE(w.GroupBox5->title(), QStringLiteral("Uhrada v CZK"));

        const QList<QLineEdit*> edits{w.Ed_Fa1, w.Ed_Fa2, w.Ed_Fa3, w.Ed_Fa4, w.Ed_Fa5};
        const QStringList lines = StoredInvoiceLines();
        for (int i = 0; i < edits.size(); ++i)
            QCOMPARE(edits[i]->text(), lines[i]);
        QCOMPARE(w.CBox_Fa6->currentText(), QStringLiteral("H"));
        QCOMPARE(w.Datum_Fa7->date(), QDate(2026, 1, 7));
        QCOMPARE(w.Datum_Fa8->date(), QDate(2026, 1, 8));
        QCOMPARE(w.Datum_Fa9->date(), QDate(2026, 1, 22));
        const QList<QLineEdit*> customer{w.Ed_Od1, w.Ed_Od2, w.Ed_Od3, w.Ed_Od4, w.Ed_Od5,
                                         w.Ed_Od6, w.Ed_Od7, w.Ed_Od8, w.Ed_Od9};
        for (int i = 0; i < customer.size(); ++i)
            QCOMPARE(customer[i]->text(), lines[9 + i]);
        for (int row = 1; row <= 25; ++row)
            QCOMPARE(RowText(w, row), lines[17 + row]);
        QCOMPARE(w.Ed_Komentar1->text(), QStringLiteral("Děkujeme"));
        QCOMPARE(w.Ed_Komentar2->text(), QStringLiteral("Druhý komentář"));
        QCOMPARE(w.Ed_DatumUhrady->text(), QStringLiteral("25.1.2026"));
        QCOMPARE(w.Ed_Mena->text(), QStringLiteral("EUR"));
        QCOMPARE(w.Ed_UhrazenaCastka->text(), QStringLiteral("506.75"));

        QCOMPARE(w.La_SACelkem->text(), QStringLiteral("425,00"));
        QCOMPARE(w.La_SADPH1->text(), QStringLiteral("63,00"));
        QCOMPARE(w.La_SADPH2->text(), QStringLiteral("18,75"));
        QCOMPARE(w.La_SADPH3->text(), QStringLiteral("0,00"));
        QCOMPARE(w.La_CelkemFaktura->text(), QStringLiteral("506,75"));
        QCOMPARE(w.La_APCelkem->text(), QStringLiteral("300,00"));
        QCOMPARE(w.La_CelkemRadek->text(), QStringLiteral("363,00"));
        QCOMPARE(w.La_Mena->text(), QStringLiteral("EUR"));

        // Saved unchanged, the file gets the recomputed total and nothing else changes.
        TypeInto(w.Ed_Fa3, QStringLiteral("X"));
        w.Ed_Fa3->setText(QStringLiteral("OBJ-1"));
        w.Akce_UlozitFakturu->trigger();
        QVERIFY(f.boxes.shown().isEmpty()); // its own file: no question
        QStringList saved = lines;
        saved[45] = QStringLiteral("506,75");
        QCOMPARE(f.periodBytes(QStringLiteral("2026004")), FileOfLines(saved));
    }

    void shortFileOpensWithClearedFields() {
        MainWindowFixture f;
        THlavni& w = f.w();
        // 42 lines: header and customer, but no item rows; no currency, so the default.
        QStringList lines = StoredInvoiceLines().mid(0, 42);
        f.writePeriodFile(QStringLiteral("2026004"), FileOfLines(lines));
        OpenThroughDialog(w, QStringLiteral("2026004"));
        ExpectState(w, kUnchanged);
        QCOMPARE(w.Ed_Od2->text(), QStringLiteral("Řeznictví Šťastný"));
        QCOMPARE(RowText(w, 1), QStringLiteral("||||||"));
        QCOMPARE(w.Ed_Mena->text(), QStringLiteral("CZK"));
        QCOMPARE(w.Ed_DatumUhrady->text(), QString());
        QCOMPARE(w.La_CelkemFaktura->text(), QStringLiteral("0,00"));
    }

    void cancelledOpenChangesNothing() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.writePeriodFile(QStringLiteral("2026004"), FileOfLines(StoredInvoiceLines()));
        OpenThroughDialog(w, QString());
        ExpectState(w, kNoInvoice);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela"));
    }

    void stateTableNewEditSaveClose() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ExpectState(w, kNoInvoice);
        w.Akce_NovaFaktura->trigger();
        ExpectState(w, kUnchanged);
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));
        ExpectState(w, kChanged);
        w.Akce_UlozitFakturu->trigger();
        ExpectState(w, kUnchanged);
        w.Akce_ZavritFakturu->trigger();
        ExpectState(w, kNoInvoice);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela"));
        QVERIFY(f.boxes.shown().isEmpty()); // unchanged: no question
        QVERIFY(f.folder.exists(QStringLiteral("2026/2026001.tvl")));
        w.Akce_NovaFaktura->trigger();
        QCOMPARE(w.Ed_Fa1->text(), QStringLiteral("2026002"));
        QCOMPARE(w.Ed_Od2->text(), QString());
    }

    void newThenCloseLeavesNoTrace() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        w.Akce_ZavritFakturu->trigger();
        QVERIFY(f.boxes.shown().isEmpty());
        QVERIFY(!f.folder.exists(QStringLiteral("2026/2026001.tvl")));
        w.Akce_NovaFaktura->trigger();
        QCOMPARE(w.Ed_Fa1->text(), QStringLiteral("2026001"));
    }

    void closeQuestionAnsweredNo() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));
        f.boxes.queueAnswer(false);
        w.Akce_ZavritFakturu->trigger();
        QCOMPARE(f.boxes.shown(),
                 (QList<ShownBox>{
                     {BoxKind::YesNoCancel, QStringLiteral("Upozornění"), kChangedQuestion}}));
        ExpectState(w, kNoInvoice);
        QVERIFY(!f.folder.exists(QStringLiteral("2026/2026001.tvl")));
    }

    // Storno (also Enter and Escape, the box's default and escape button) keeps everything: the
    // invoice stays open with its edits, unsaved, and the window stays when it was closing.
    void closeQuestionAnsweredStorno() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Akce_NovaFaktura->trigger();
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));
        QVERIFY(w.isWindowModified());
        f.boxes.queueAnswer(Answer::Cancel);
        w.Akce_ZavritFakturu->trigger();
        QVERIFY(!w.close()); // the empty queue answers Storno, the default
        QCOMPARE(f.boxes.shown().size(), 2);
        for (const ShownBox& box : f.boxes.shown())
            QCOMPARE(box.kind, BoxKind::YesNoCancel);
        QVERIFY(w.isVisible());
        QVERIFY(w.InvoiceOpen());
        QVERIFY(w.ChangedFlag);
        QVERIFY(w.isWindowModified());
        QCOMPARE(w.Ed_Od2->text(), QStringLiteral("Alfa"));
        QVERIFY(!f.folder.exists(QStringLiteral("2026/2026001.tvl")));

        // Ano saves, and the save confirms itself in the status bar.
        f.boxes.queueAnswer(Answer::Yes);
        QVERIFY(w.close());
        QVERIFY(f.folder.exists(QStringLiteral("2026/2026001.tvl")));
        QVERIFY(f.periodBytes(QStringLiteral("2026001")).contains("\r\nAlfa\r\n"));
    }

    void saveConfirmsItselfAndClearsTheTitleMark() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela - 2026001[*]"));
        QVERIFY(!w.isWindowModified());
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));
        QVERIFY(w.isWindowModified());
        w.Akce_UlozitFakturu->trigger();
        QVERIFY(!w.isWindowModified());
        const QString message = w.statusBar()->currentMessage();
        QVERIFY2(message.startsWith(QStringLiteral("Faktura 2026001 je uložena (")),
                 qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("2026001.tvl")));
    }

    void closeQuestionAnsweredYes() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));
        f.boxes.queueAnswer(true);
        w.Akce_ZavritFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        ExpectState(w, kNoInvoice);
        QVERIFY(f.folder.exists(QStringLiteral("2026/2026001.tvl")));
    }

    void saveWithoutNumber() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        w.Ed_Fa1->clear();
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));
        w.Akce_UlozitFakturu->trigger();
        QCOMPARE(f.boxes.shown(),
                 (QList<ShownBox>{{BoxKind::Info, QStringLiteral("Tarvela"),
                                   QStringLiteral("Faktura nemůže být uložena - není zadáno "
                                                  "číslo faktury.")}}));
        ExpectState(w, kChanged);
        QVERIFY(QDir(f.folder.file(QStringLiteral("2026"))).isEmpty());
    }

    void numberThatCannotNameAFileIsRefused() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        w.Ed_Fa1->setText(QStringLiteral("../2026001"));
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));
        w.Akce_UlozitFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown().first().kind, BoxKind::Error);
        ExpectState(w, kChanged);
        QVERIFY(QDir(f.folder.file(QStringLiteral("2026"))).isEmpty());
        QVERIFY(!f.folder.exists(QStringLiteral("2026001.tvl")));
    }

    void paymentDateFromDueDateForCash() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        w.CBox_Fa6->setCurrentIndex(1);
        w.Akce_UlozitFakturu->trigger();
        QCOMPARE(w.Ed_DatumUhrady->text(), QStringLiteral("19.3.2026"));
        QList<QByteArray> lines = f.periodBytes(QStringLiteral("2026001")).split('\n');
        QCOMPARE(lines.at(46), QByteArray("19.3.2026\r"));

        w.Akce_ZavritFakturu->trigger();
        w.Akce_NovaFaktura->trigger();
        TypeInto(w.Ed_Od2, QStringLiteral("Beta"));
        w.Akce_UlozitFakturu->trigger();
        lines = f.periodBytes(QStringLiteral("2026002")).split('\n');
        QCOMPARE(lines.at(46), QByteArray("\r"));
        QCOMPARE(w.Ed_DatumUhrady->text(), QString());
    }

    void saveUnderChangedNumberKeepsOldFile() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));
        w.Akce_UlozitFakturu->trigger();
        w.Ed_Fa1->setText(QStringLiteral("2026050"));
        TypeInto(w.Ed_Od3, QStringLiteral("x"));
        w.Akce_UlozitFakturu->trigger();
        QVERIFY(f.boxes.shown().isEmpty());
        QVERIFY(f.folder.exists(QStringLiteral("2026/2026001.tvl")));
        QVERIFY(f.folder.exists(QStringLiteral("2026/2026050.tvl")));
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela - 2026001[*]"));
        ExpectState(w, kUnchanged);
    }

    // Another invoice's file is not replaced without a question; No writes nothing.
    void saveOverAnotherInvoiceAsks() {
        MainWindowFixture f;
        THlavni& w = f.w();
        const QByteArray other = FileOfLines(StoredInvoiceLines());
        f.writePeriodFile(QStringLiteral("2026001"), other);
        w.Akce_NovaFaktura->trigger();
        QCOMPARE(w.Ed_Fa1->text(), QStringLiteral("2026002"));
        w.Ed_Fa1->setText(QStringLiteral("2026001"));
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));

        f.boxes.queueAnswer(false);
        w.Akce_UlozitFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        const ShownBox asked = f.boxes.takeShown().first();
        QCOMPARE(asked.kind, BoxKind::YesNo);
        QCOMPARE(asked.caption, QStringLiteral("Upozornění"));
        QVERIFY(asked.text.contains(QStringLiteral("2026001")));
        QCOMPARE(f.periodBytes(QStringLiteral("2026001")), other);
        ExpectState(w, kChanged);

        f.boxes.queueAnswer(true);
        w.Akce_UlozitFakturu->trigger();
        QCOMPARE(f.boxes.takeShown().size(), 1);
        QVERIFY(f.periodBytes(QStringLiteral("2026001")) != other);
        ExpectState(w, kUnchanged);

        // Now it is this invoice's own file: saving again asks nothing.
        TypeInto(w.Ed_Od3, QStringLiteral("x"));
        w.Akce_UlozitFakturu->trigger();
        QVERIFY(f.boxes.shown().isEmpty());
        ExpectState(w, kUnchanged);
    }

    void openedInvoiceSavesOverItsOwnFileWithoutQuestion() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.writePeriodFile(QStringLiteral("2026004"), FileOfLines(StoredInvoiceLines()));
        OpenThroughDialog(w, QStringLiteral("2026004"));
        TypeInto(w.Ed_Od3, QStringLiteral("!"));
        w.Akce_UlozitFakturu->trigger();
        QVERIFY(f.boxes.shown().isEmpty());
        QVERIFY(f.periodBytes(QStringLiteral("2026004")).contains("a syn!"));
    }

    // An open that fails on a date line leaves the window empty and unchanged.
    void failedOpenLeavesNothingBehind() {
        MainWindowFixture f;
        THlavni& w = f.w();
        QStringList lines = StoredInvoiceLines();
        lines[8] = QStringLiteral("31.2.2026");
        f.writePeriodFile(QStringLiteral("2026004"), FileOfLines(lines));
        OpenThroughDialog(w, QStringLiteral("2026004"));
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown().first().kind, BoxKind::Error);
        ExpectState(w, kNoInvoice);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela"));
        QCOMPARE(w.Ed_Fa2->text(), QString());

        w.Akce_NovaFaktura->trigger();
        QCOMPARE(w.Ed_Fa1->text(), QStringLiteral("2026005"));
        QCOMPARE(w.Ed_Fa2->text(), QStringLiteral("2026005")); // the variable symbol
        QCOMPARE(w.Ed_Fa3->text(), QString());
        QCOMPARE(w.CBox_Fa6->currentText(), QStringLiteral("PP"));
        ExpectState(w, kUnchanged);
    }

    void failedOpenOnAnUnreadableQuantity() {
        MainWindowFixture f;
        THlavni& w = f.w();
        QStringList lines = StoredInvoiceLines();
        lines[20] = QStringLiteral("|Chyba|ks|1.5|10|21|");
        f.writePeriodFile(QStringLiteral("2026004"), FileOfLines(lines));
        OpenThroughDialog(w, QStringLiteral("2026004"));
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown().first().text, QStringLiteral("Počet MJ: „1.5“ není číslo."));
        ExpectState(w, kNoInvoice);
        QCOMPARE(RowText(w, 1), QStringLiteral("||||||"));
    }

    // "Ano" to the close question, but nothing could be saved: the edits stay open.
    void closeKeepsInvoiceWhenSaveDidNotHappen() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        w.Ed_Fa1->clear();
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));
        f.boxes.queueAnswer(true);
        w.Akce_ZavritFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 2); // the question and "no number"
        ExpectState(w, kChanged);
        QCOMPARE(w.Ed_Od2->text(), QStringLiteral("Alfa"));

        // The same when the program is closed: it stays running with the invoice.
        f.boxes.takeShown();
        f.boxes.queueAnswer(true);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        ExpectState(w, kChanged);

        // Answered No, the program closes.
        f.boxes.takeShown();
        f.boxes.queueAnswer(false);
        QVERIFY(w.close());
        QCOMPARE(f.boxes.shown().size(), 1);
        QVERIFY(!w.isVisible());
    }

    void closeKeepsInvoiceWhenWriteFails() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        w.CBox_Fa6->setCurrentIndex(1);
        QVERIFY(QDir(f.folder.file(QStringLiteral("2026"))).removeRecursively());
        f.boxes.queueAnswer(true);
        w.Akce_ZavritFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 2);
        QCOMPARE(f.boxes.shown().at(1).kind, BoxKind::Error);
        ExpectState(w, kChanged);
        // The payment date filled by the save stays.
        QCOMPARE(w.Ed_DatumUhrady->text(), QStringLiteral("19.3.2026"));
    }

    void closingTheWindowAsksOnce() {
        MainWindowFixture f;
        THlavni& w = f.w();
        w.Akce_NovaFaktura->trigger();
        TypeInto(w.Ed_Od2, QStringLiteral("Alfa"));
        f.boxes.queueAnswer(true);
        QVERIFY(w.close());
        QCOMPARE(f.boxes.shown().size(), 1);
        QVERIFY(f.folder.exists(QStringLiteral("2026/2026001.tvl")));
    }

    void closeThenNewStartsEmpty() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.writePeriodFile(QStringLiteral("2026004"), FileOfLines(StoredInvoiceLines()));
        OpenThroughDialog(w, QStringLiteral("2026004"));
        w.Akce_ZavritFakturu->trigger();
        QCOMPARE(w.Ed_DatumUhrady->text(), QString());
        QCOMPARE(w.La_CelkemFaktura->text(), QString());
        QCOMPARE(w.La_APCelkem->text(), QString());
        w.Akce_NovaFaktura->trigger();
        QCOMPARE(w.Ed_DatumUhrady->text(), QString());
        QCOMPARE(w.Ed_UhrazenaCastka->text(), QString());
        QCOMPARE(w.Ed_Mena->text(), QStringLiteral("CZK"));
        QCOMPARE(w.GroupBox5->title(), QStringLiteral("Úhrada v CZK"));
        for (int row = 1; row <= 25; ++row)
            QCOMPARE(RowText(w, row), QStringLiteral("||||||"));
        QCOMPARE(w.La_CelkemFaktura->text(), QStringLiteral("0,00"));
    }

    void newInAFullPeriod() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.writePeriodFile(QStringLiteral("2026999"), FileOfLines(StoredInvoiceLines()));
        w.Akce_NovaFaktura->trigger();
        QCOMPARE(f.boxes.shown(),
                 (QList<ShownBox>{{BoxKind::Info, QStringLiteral("Tarvela"),
                                   QStringLiteral("Novou fakturu nelze vytvořit. Tato verze "
                                                  "programu umožňuje vyhotovit v jednom období "
                                                  "nejvíce 999 faktur.")}}));
        ExpectState(w, kNoInvoice);
        QCOMPARE(w.Ed_Fa1->text(), QString());
    }

    void newWhenTheGreatestNameIsNoNumber() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.writePeriodFile(QStringLiteral("2026abc"), FileOfLines(StoredInvoiceLines()));
        w.Akce_NovaFaktura->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown().first().kind, BoxKind::Error);
        ExpectState(w, kNoInvoice);
    }
};

QTEST_MAIN(LifecycleTest)
#include "thlavni_lifecycle_test.moc"
