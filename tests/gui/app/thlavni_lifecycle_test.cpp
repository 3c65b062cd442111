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
    QCOMPARE(ui(w).Akce_NovaFaktura->isEnabled(), s.newEnabled);
    QCOMPARE(ui(w).Akce_OtevritFakturu->isEnabled(), s.openEnabled);
    QCOMPARE(ui(w).Akce_ZavritFakturu->isEnabled(), s.closeEnabled);
    QCOMPARE(ui(w).Akce_UlozitFakturu->isEnabled(), s.saveEnabled);
    QCOMPARE(w.InvoiceOpen(), s.pageShown);
    QCOMPARE(w.IsModified(), s.saveEnabled);
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
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(ui(w).Ed_Fa1->text(), QStringLiteral("2026001"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela - 2026001[*]"));
        QCOMPARE(ui(w).CBox_Fa6->currentText(), QStringLiteral("PP – převodem"));
        QCOMPARE(ui(w).Datum_Fa7->date(), QDate(2026, 3, 5));
        QCOMPARE(ui(w).Datum_Fa8->date(), QDate(2026, 3, 5));
        QCOMPARE(ui(w).Datum_Fa9->date(), QDate(2026, 3, 19));
        QCOMPARE(ui(w).Ed_Mena->text(), QStringLiteral("CZK"));
        QCOMPARE(ui(w).GroupBox5->title(), QStringLiteral("Úhrada v CZK"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("0,00"));
        QCOMPARE(ui(w).La_Mena->text(), QStringLiteral("CZK"));
        QCOMPARE(ui(w).PageControl1->currentIndex(), 0);
        ExpectState(w, kUnchanged);

        QCOMPARE(ui(w).Ed_Fa2->text(), QStringLiteral("2026001")); // the variable symbol, prefilled
        ui(w).Ed_Fa2->clear();
        TypeInto(ui(w).Ed_Fa2, QStringLiteral("12345"));
        ExpectState(w, kChanged);
        TypeInto(ui(w).Ed_Fa3, QStringLiteral("OBJ-7"));
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Řeznictví Šťastný"));
        TypeInto(ui(w).Ed_Od7, QStringLiteral("Brno"));
        TypeInto(ui(w).Ed_Komentar1, QStringLiteral("Děkujeme"));
        PasteRow(w, 1, QStringLiteral("A1|Oprava|ks|2|150,00|21|"));
        PasteRow(w, 2, QStringLiteral("|Doprava|km|10|12,50|15|"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("506,75"));

        ui(w).Akce_UlozitFakturu->trigger();
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
        TypeInto(ui(w).Ed_Fa3, QStringLiteral("X"));
        ui(w).Ed_Fa3->setText(QStringLiteral("OBJ-7"));
        ui(w).Akce_UlozitFakturu->trigger();
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
        QCOMPARE(ui(w).GroupBox5->title(), QStringLiteral("Úhrada v CZK"));

        const QList<QLineEdit*> edits{ui(w).Ed_Fa1, ui(w).Ed_Fa2, ui(w).Ed_Fa3, ui(w).Ed_Fa4,
                                      ui(w).Ed_Fa5};
        const QStringList lines = StoredInvoiceLines();
        for (int i = 0; i < edits.size(); ++i)
            QCOMPARE(edits[i]->text(), lines[i]);
        QCOMPARE(ui(w).CBox_Fa6->currentText(), QStringLiteral("H – hotově"));
        QCOMPARE(ui(w).Datum_Fa7->date(), QDate(2026, 1, 7));
        QCOMPARE(ui(w).Datum_Fa8->date(), QDate(2026, 1, 8));
        QCOMPARE(ui(w).Datum_Fa9->date(), QDate(2026, 1, 22));
        const QList<QLineEdit*> customer{ui(w).Ed_Od1, ui(w).Ed_Od2, ui(w).Ed_Od3,
                                         ui(w).Ed_Od4, ui(w).Ed_Od5, ui(w).Ed_Od6,
                                         ui(w).Ed_Od7, ui(w).Ed_Od8, ui(w).Ed_Od9};
        for (int i = 0; i < customer.size(); ++i)
            QCOMPARE(customer[i]->text(), lines[9 + i]);
        for (int row = 1; row <= 25; ++row)
            QCOMPARE(RowText(w, row), lines[17 + row]);
        QCOMPARE(ui(w).Ed_Komentar1->text(), QStringLiteral("Děkujeme"));
        QCOMPARE(ui(w).Ed_Komentar2->text(), QStringLiteral("Druhý komentář"));
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QStringLiteral("25.1.2026"));
        QCOMPARE(ui(w).Ed_Mena->text(), QStringLiteral("EUR"));
        QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral("506.75"));

        QCOMPARE(ui(w).La_SACelkem->text(), QStringLiteral("425,00"));
        QCOMPARE(ui(w).La_SADPH1->text(), QStringLiteral("63,00"));
        QCOMPARE(ui(w).La_SADPH2->text(), QStringLiteral("18,75"));
        QCOMPARE(ui(w).La_SADPH3->text(), QStringLiteral("0,00"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("506,75"));
        QCOMPARE(ui(w).La_APCelkem->text(), QStringLiteral("300,00"));
        QCOMPARE(ui(w).La_CelkemRadek->text(), QStringLiteral("363,00"));
        QCOMPARE(ui(w).La_Mena->text(), QStringLiteral("EUR"));

        // Saved unchanged, the file gets the recomputed total and nothing else changes.
        TypeInto(ui(w).Ed_Fa3, QStringLiteral("X"));
        ui(w).Ed_Fa3->setText(QStringLiteral("OBJ-1"));
        ui(w).Akce_UlozitFakturu->trigger();
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
        QCOMPARE(ui(w).Ed_Od2->text(), QStringLiteral("Řeznictví Šťastný"));
        QCOMPARE(RowText(w, 1), QStringLiteral("||||||"));
        QCOMPARE(ui(w).Ed_Mena->text(), QStringLiteral("CZK"));
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QString());
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("0,00"));
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
        ui(w).Akce_NovaFaktura->trigger();
        ExpectState(w, kUnchanged);
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
        ExpectState(w, kChanged);
        ui(w).Akce_UlozitFakturu->trigger();
        ExpectState(w, kUnchanged);
        ui(w).Akce_ZavritFakturu->trigger();
        ExpectState(w, kNoInvoice);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela"));
        QVERIFY(f.boxes.shown().isEmpty()); // unchanged: no question
        QVERIFY(f.folder.exists(QStringLiteral("2026/2026001.tvl")));
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(ui(w).Ed_Fa1->text(), QStringLiteral("2026002"));
        QCOMPARE(ui(w).Ed_Od2->text(), QString());
    }

    void newThenCloseLeavesNoTrace() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        ui(w).Akce_ZavritFakturu->trigger();
        QVERIFY(f.boxes.shown().isEmpty());
        QVERIFY(!f.folder.exists(QStringLiteral("2026/2026001.tvl")));
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(ui(w).Ed_Fa1->text(), QStringLiteral("2026001"));
    }

    void closeQuestionAnsweredNo() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
        f.boxes.queueAnswer(false);
        ui(w).Akce_ZavritFakturu->trigger();
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
        ui(w).Akce_NovaFaktura->trigger();
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
        QVERIFY(w.isWindowModified());
        f.boxes.queueAnswer(Answer::Cancel);
        ui(w).Akce_ZavritFakturu->trigger();
        QVERIFY(!w.close()); // the empty queue answers Storno, the default
        QCOMPARE(f.boxes.shown().size(), 2);
        for (const ShownBox& box : f.boxes.shown())
            QCOMPARE(box.kind, BoxKind::YesNoCancel);
        QVERIFY(w.isVisible());
        QVERIFY(w.InvoiceOpen());
        QVERIFY(w.IsModified());
        QVERIFY(w.isWindowModified());
        QCOMPARE(ui(w).Ed_Od2->text(), QStringLiteral("Alfa"));
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
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela - 2026001[*]"));
        QVERIFY(!w.isWindowModified());
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
        QVERIFY(w.isWindowModified());
        ui(w).Akce_UlozitFakturu->trigger();
        QVERIFY(!w.isWindowModified());
        const QString message = w.statusBar()->currentMessage();
        QVERIFY2(message.startsWith(QStringLiteral("Faktura 2026001 je uložena (")),
                 qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("2026001.tvl")));
    }

    void closeQuestionAnsweredYes() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
        f.boxes.queueAnswer(true);
        ui(w).Akce_ZavritFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        ExpectState(w, kNoInvoice);
        QVERIFY(f.folder.exists(QStringLiteral("2026/2026001.tvl")));
    }

    void saveWithoutNumber() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        ui(w).Ed_Fa1->clear();
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
        ui(w).Akce_UlozitFakturu->trigger();
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
        ui(w).Akce_NovaFaktura->trigger();
        ui(w).Ed_Fa1->setText(QStringLiteral("../2026001"));
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
        ui(w).Akce_UlozitFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown().first().kind, BoxKind::Error);
        ExpectState(w, kChanged);
        QVERIFY(QDir(f.folder.file(QStringLiteral("2026"))).isEmpty());
        QVERIFY(!f.folder.exists(QStringLiteral("2026001.tvl")));
    }

    // A cash invoice is paid when it is issued, by what its receipt asks: not on the due date.
    void cashPaymentOnTheDateOfIssueAsTheReceiptAsks() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        ui(w).CBox_Fa6->setCurrentIndex(1);
        QCOMPARE(ui(w).CBox_Fa6->currentText(), QStringLiteral("H – hotově"));
        ui(w).Datum_Fa8->setDate(QDate(2026, 3, 2));
        PasteRow(w, 1, QStringLiteral("A|Zboží|ks|1|650,00|21|"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("786,50"));
        ui(w).Akce_UlozitFakturu->trigger();
        QVERIFY(f.boxes.shown().isEmpty());
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QStringLiteral("2.3.2026"));
        QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral("787,00"));
        QList<QByteArray> lines = f.periodBytes(QStringLiteral("2026001")).split('\n');
        QCOMPARE(lines.at(5), QByteArray("H\r")); // the file keeps the code
        QCOMPARE(lines.at(46), QByteArray("2.3.2026\r"));
        QCOMPARE(lines.at(48), QByteArray("787,00\r"));
        ExpectState(w, kUnchanged);

        // A paid amount typed by the user stands; a transfer gets no payment at all.
        ui(w).Akce_ZavritFakturu->trigger();
        ui(w).Akce_NovaFaktura->trigger();
        ui(w).CBox_Fa6->setCurrentIndex(1);
        PasteRow(w, 1, QStringLiteral("A|Zboží|ks|1|650,00|21|"));
        ui(w).PageControl1->setCurrentIndex(0);
        TypeInto(ui(w).Ed_UhrazenaCastka, QStringLiteral("500"));
        ui(w).Akce_UlozitFakturu->trigger();
        lines = f.periodBytes(QStringLiteral("2026002")).split('\n');
        QCOMPARE(lines.at(46), QByteArray("5.3.2026\r"));
        QCOMPARE(lines.at(48), QByteArray("500\r"));

        ui(w).Akce_ZavritFakturu->trigger();
        ui(w).Akce_NovaFaktura->trigger();
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Beta"));
        ui(w).Akce_UlozitFakturu->trigger();
        lines = f.periodBytes(QStringLiteral("2026003")).split('\n');
        QCOMPARE(lines.at(5), QByteArray("PP\r"));
        QCOMPARE(lines.at(46), QByteArray("\r"));
        QCOMPARE(lines.at(48), QByteArray("\r"));
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QString());
    }

    // Typing only a new number is an edit: the title's mark, Save and the close question.
    void typedNumberMarksTheInvoiceChanged() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.writePeriodFile(QStringLiteral("2026004"), FileOfLines(StoredInvoiceLines()));
        OpenThroughDialog(w, QStringLiteral("2026004"));
        ExpectState(w, kUnchanged);
        QTest::mouseClick(ui(w).Ed_Fa1, Qt::LeftButton);
        ui(w).Ed_Fa1->selectAll();
        QTest::keyClicks(ui(w).Ed_Fa1, QStringLiteral("2026009"));
        QTest::keyClick(ui(w).Ed_Fa1, Qt::Key_Tab);
        ExpectState(w, kChanged);
        QVERIFY(w.isWindowModified());
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela - 2026009[*]"));
        ui(w).Akce_UlozitFakturu->trigger();
        ExpectState(w, kUnchanged);
        QVERIFY(f.folder.exists(QStringLiteral("2026/2026009.tvl")));
        QCOMPARE(f.periodBytes(QStringLiteral("2026004")), FileOfLines(StoredInvoiceLines()));

        // Without Save, closing asks.
        QTest::mouseClick(ui(w).Ed_Fa1, Qt::LeftButton);
        QTest::keyClick(ui(w).Ed_Fa1, Qt::Key_Backspace);
        f.boxes.queueAnswer(Answer::Cancel);
        ui(w).Akce_ZavritFakturu->trigger();
        QCOMPARE(f.boxes.takeShown(),
                 (QList<ShownBox>{
                     {BoxKind::YesNoCancel, QStringLiteral("Upozornění"), kChangedQuestion}}));
        ExpectState(w, kChanged);
    }

    // The customer's e-mail: an optional line after line 49, only when there is one.
    void customerEmailIsAnOptionalLine() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
        TypeInto(ui(w).Ed_OdberatelEmail, QStringLiteral("jana@alfa.cz"));
        ExpectState(w, kChanged);
        ui(w).Akce_UlozitFakturu->trigger();
        const QList<QByteArray> lines = f.periodBytes(QStringLiteral("2026001")).split('\n');
        QCOMPARE(lines.size(), 51); // 49 lines, the e-mail line, nothing after the last CR LF
        QCOMPARE(lines.at(49), QByteArray("OdberatelEmail=jana@alfa.cz\r"));
        ui(w).Akce_ZavritFakturu->trigger();
        OpenThroughDialog(w, QStringLiteral("2026001"));
        QCOMPARE(ui(w).Ed_OdberatelEmail->text(), QStringLiteral("jana@alfa.cz"));
    }

    void saveUnderChangedNumberKeepsOldFile() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
        ui(w).Akce_UlozitFakturu->trigger();
        ui(w).Ed_Fa1->setText(QStringLiteral("2026050"));
        TypeInto(ui(w).Ed_Od3, QStringLiteral("x"));
        ui(w).Akce_UlozitFakturu->trigger();
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
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(ui(w).Ed_Fa1->text(), QStringLiteral("2026002"));
        ui(w).Ed_Fa1->setText(QStringLiteral("2026001"));
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));

        f.boxes.queueAnswer(false);
        ui(w).Akce_UlozitFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        const ShownBox asked = f.boxes.takeShown().first();
        QCOMPARE(asked.kind, BoxKind::YesNo);
        QCOMPARE(asked.caption, QStringLiteral("Upozornění"));
        QVERIFY(asked.text.contains(QStringLiteral("2026001")));
        QCOMPARE(f.periodBytes(QStringLiteral("2026001")), other);
        ExpectState(w, kChanged);

        f.boxes.queueAnswer(true);
        ui(w).Akce_UlozitFakturu->trigger();
        QCOMPARE(f.boxes.takeShown().size(), 1);
        QVERIFY(f.periodBytes(QStringLiteral("2026001")) != other);
        ExpectState(w, kUnchanged);

        // Now it is this invoice's own file: saving again asks nothing.
        TypeInto(ui(w).Ed_Od3, QStringLiteral("x"));
        ui(w).Akce_UlozitFakturu->trigger();
        QVERIFY(f.boxes.shown().isEmpty());
        ExpectState(w, kUnchanged);
    }

    void openedInvoiceSavesOverItsOwnFileWithoutQuestion() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.writePeriodFile(QStringLiteral("2026004"), FileOfLines(StoredInvoiceLines()));
        OpenThroughDialog(w, QStringLiteral("2026004"));
        TypeInto(ui(w).Ed_Od3, QStringLiteral("!"));
        ui(w).Akce_UlozitFakturu->trigger();
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
        QCOMPARE(ui(w).Ed_Fa2->text(), QString());

        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(ui(w).Ed_Fa1->text(), QStringLiteral("2026005"));
        QCOMPARE(ui(w).Ed_Fa2->text(), QStringLiteral("2026005")); // the variable symbol
        QCOMPARE(ui(w).Ed_Fa3->text(), QString());
        QCOMPARE(ui(w).CBox_Fa6->currentText(), QStringLiteral("PP – převodem"));
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
        ui(w).Akce_NovaFaktura->trigger();
        ui(w).Ed_Fa1->clear();
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
        f.boxes.queueAnswer(true);
        ui(w).Akce_ZavritFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 2); // the question and "no number"
        ExpectState(w, kChanged);
        QCOMPARE(ui(w).Ed_Od2->text(), QStringLiteral("Alfa"));

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
        ui(w).Akce_NovaFaktura->trigger();
        ui(w).CBox_Fa6->setCurrentIndex(1);
        QVERIFY(QDir(f.folder.file(QStringLiteral("2026"))).removeRecursively());
        f.boxes.queueAnswer(true);
        ui(w).Akce_ZavritFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 2);
        QCOMPARE(f.boxes.shown().at(1).kind, BoxKind::Error);
        ExpectState(w, kChanged);
        // The cash payment filled by the save (the date of issue) stays.
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QStringLiteral("5.3.2026"));
    }

    void closingTheWindowAsksOnce() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        TypeInto(ui(w).Ed_Od2, QStringLiteral("Alfa"));
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
        ui(w).Akce_ZavritFakturu->trigger();
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QString());
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QString());
        QCOMPARE(ui(w).La_APCelkem->text(), QString());
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QString());
        QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QString());
        QCOMPARE(ui(w).Ed_Mena->text(), QStringLiteral("CZK"));
        QCOMPARE(ui(w).GroupBox5->title(), QStringLiteral("Úhrada v CZK"));
        for (int row = 1; row <= 25; ++row)
            QCOMPARE(RowText(w, row), QStringLiteral("||||||"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("0,00"));
    }

    void newInAFullPeriod() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.writePeriodFile(QStringLiteral("2026999"), FileOfLines(StoredInvoiceLines()));
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(f.boxes.shown(),
                 (QList<ShownBox>{{BoxKind::Info, QStringLiteral("Tarvela"),
                                   QStringLiteral("Novou fakturu nelze vytvořit. Tato verze "
                                                  "programu umožňuje vyhotovit v jednom období "
                                                  "nejvíce 999 faktur.")}}));
        ExpectState(w, kNoInvoice);
        QCOMPARE(ui(w).Ed_Fa1->text(), QString());
    }

    void newWhenTheGreatestNameIsNoNumber() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.writePeriodFile(QStringLiteral("2026abc"), FileOfLines(StoredInvoiceLines()));
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown().first().kind, BoxKind::Error);
        ExpectState(w, kNoInvoice);
    }
};

QTEST_MAIN(LifecycleTest)
#include "thlavni_lifecycle_test.moc"
