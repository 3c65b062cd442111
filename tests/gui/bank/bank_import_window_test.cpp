// "Načíst výpis z banky…" through the real windows: the review of a GPC statement, a match
// changed and a payment left out key by key, "Zapsat úhrady" and the bytes it wrote (only lines
// 47 and 49), the second import of the same statement, the refusal while the invoice has unsaved
// edits, a statement that does not read, and the import from the invoice book.
#include "support/list_views.h"
#include "support/main_window_fixture.h"

#include "bank/imported_payments.h"
#include "bank/payment_review_model.h"
#include "bank/tvypiszbanky.h"
#include "core/bank/statement_fixtures.h"
#include "editor/tknihafaktur.h"
#include "support/controls.h"
#include "support/sample_invoices.h"
#include "text/file_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTableView>

using namespace tarvela;
using namespace tarvela::test;

namespace {

QMap<int, QString> InvoiceLines(const char* number, const char* price, const char* currency) {
    return {{1, QString::fromUtf8(number)},
            {2, QString::fromUtf8(number)},
            {6, QStringLiteral("PP")},
            {7, QStringLiteral("1.2.2026")},
            {8, QStringLiteral("1.2.2026")},
            {9, QStringLiteral("15.3.2026")},
            {11, QStringLiteral("Pekárna U Mlýna")},
            {19, QStringLiteral("A1|Práce|ks|1|%1|21|").arg(QString::fromUtf8(price))},
            {46, QStringLiteral("0")},
            {48, QString::fromUtf8(currency)}};
}

// The statement of March: 2026001 paid exactly, 2026002 in part, a payment with an unknown
// symbol (the customer's typo, meant for 2026002), a second payment of 2026002, and the bank's
// fee.
QByteArray Statement() {
    GpcItem exact;
    exact.symbol = "2026001";
    exact.halere = 121000;
    exact.reference = 11;
    exact.booked = "020326";
    GpcItem part = exact;
    part.symbol = "2026002";
    part.halere = 50000;
    part.reference = 12;
    part.booked = "030326";
    GpcItem typo = part;
    typo.symbol = "2062002";
    typo.halere = 71000;
    typo.reference = 13;
    typo.booked = "040326";
    GpcItem twice = part;
    twice.halere = 10000;
    twice.reference = 14;
    twice.booked = "050326";
    GpcItem fee = exact;
    fee.code = '1';
    fee.counterAccount = "0";
    fee.bank = "0000";
    fee.symbol = "0";
    fee.halere = 9900;
    fee.reference = 15;
    fee.name = QStringLiteral("Poplatek");
    QByteArray bytes = GpcHeader("2000145399", QStringLiteral("Truhlářství Dvořák")) + "\r\n";
    for (const GpcItem& item : {exact, part, typo, twice, fee})
        bytes += GpcItemLine(item) + "\r\n";
    return bytes;
}

struct BankWindow : MainWindowFixture {
    BankWindow() {
        writePeriodFile("2026001", InvoiceFileBytes(InvoiceLines("2026001", "1000", "CZK")));
        writePeriodFile("2026002", InvoiceFileBytes(InvoiceLines("2026002", "1000", "CZK")));
        writePeriodFile("2026003", InvoiceFileBytes(InvoiceLines("2026003", "1000", "EUR")));
        folder.writeBytes("vypis.gpc", Statement());
    }
    // Runs `whileUp` on the review opened through the menu with the statement chosen.
    void withReview(const std::function<void(TVypisZBanky*)>& whileUp,
                    const QString& statement = QStringLiteral("vypis.gpc")) {
        FileDialogRecorder files;
        files.queueAnswer(folder.file(statement));
        const bool shown = WithModal([this] { ui(*window).Akce_NacistVypis->trigger(); },
                                     [&](QWidget* modal) {
                                         auto* review = qobject_cast<TVypisZBanky*>(modal);
                                         QVERIFY2(review, "the review did not open");
                                         whileUp(review);
                                     });
        QVERIFY(shown);
        QCOMPARE(files.asked().size(), 1);
        QCOMPARE(files.asked().first().caption, QStringLiteral("Načíst výpis z banky"));
    }
};

QTableView* Payments(QWidget* review) {
    return Control<QTableView>(review, "TV_Platby");
}

QString Cell(QTableView* view, int row, int column) {
    return view->model()->index(row, column).data().toString();
}

// The columns of every row of a table: "date amount VS invoice status note", empty ones left out.
QStringList Shown(QTableView* view) {
    QStringList rows;
    using M = PaymentReviewModel;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        rows << QStringList{Cell(view, r, M::Datum),  Cell(view, r, M::Castka),
                            Cell(view, r, M::Symbol), Cell(view, r, M::Faktura),
                            Cell(view, r, M::Stav),   Cell(view, r, M::Poznamka)}
                    .filter(QRegularExpression(QStringLiteral(".")))
                    .join(QLatin1Char(' '));
    return rows;
}

// The lines of a file that differ from the other's, numbered from 1.
QList<int> ChangedLines(const QByteArray& before, const QByteArray& after) {
    const QList<QByteArray> a = before.split('\n');
    const QList<QByteArray> b = after.split('\n');
    QList<int> changed;
    for (int i = 0; i < std::max(a.size(), b.size()); ++i)
        if (a.value(i) != b.value(i))
            changed << i + 1;
    return changed;
}

} // namespace

class BankImportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void reviewChangeAMatchLeaveOneOutWriteAndImportAgain();
    void invoiceWithUnsavedEditsIsRefusedAndNothingWritten();
    void statementThatDoesNotReadIsSaidAndNothingShown();
    void importFromTheBookRefreshesIt();
};

void BankImportWindowTest::reviewChangeAMatchLeaveOneOutWriteAndImportAgain() {
    BankWindow bw;
    const QByteArray before1 = bw.periodBytes("2026001");
    const QByteArray before2 = bw.periodBytes("2026002");
    const QByteArray before3 = bw.periodBytes("2026003");
    bw.withReview([&](TVypisZBanky* review) {
        QTableView* table = Payments(review);
        QCOMPARE(Shown(table),
                 QStringList({"2.3.2026 1210,00 2026001 2026001 Uhrazeno",
                              QString::fromUtf8("3.3.2026 500,00 2026002 2026002 Částečně "
                                                "uhrazeno Faktura 2026002 je spárována s více "
                                                "platbami"),
                              QString::fromUtf8("4.3.2026 710,00 2062002 Nespárováno Žádná "
                                                "neuhrazená faktura s tímto symbolem"),
                              QString::fromUtf8("5.3.2026 100,00 2026002 2026002 Částečně "
                                                "uhrazeno Faktura 2026002 je spárována s více "
                                                "platbami")}));
        QTableView* others = Control<QTableView>(review, "TV_Ostatni");
        QCOMPARE(Shown(others), QStringList({"2.3.2026 99,00 Poplatek"}));
        QVERIFY(Control<QLabel>(review, "La_Souhrn")
                    ->text()
                    .contains(QString::fromUtf8("Příchozí platby: 4, k zapsání 3, nespárováno 1")));

        // The typo: Down twice to its row, then the invoice chosen in the box below.
        review->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(review));
        QTRY_VERIFY(table->hasFocus()); // the window gives the payments the focus
        QTest::keyClick(table, Qt::Key_Down);
        QTest::keyClick(table, Qt::Key_Down);
        QComboBox* box = Control<QComboBox>(review, "CBox_Faktura");
        QVERIFY(box->isEnabled());
        QCOMPARE(box->currentText(), QString::fromUtf8("(žádná faktura)"));
        QStringList choices;
        for (int i = 0; i < box->count(); ++i)
            choices << box->itemText(i);
        // only unpaid invoices in crowns (not the one in euros), with what is left after the
        // other payments of the statement
        QCOMPARE(choices, QStringList({QString::fromUtf8("(žádná faktura)"),
                                       QString::fromUtf8("2026001 – Pekárna U Mlýna – zbývá "
                                                         "0,00 CZK"),
                                       QString::fromUtf8("2026002 – Pekárna U Mlýna – zbývá "
                                                         "610,00 CZK")}));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(Cell(table, 2, PaymentReviewModel::Faktura), QStringLiteral("2026002"));
        QCOMPARE(Cell(table, 2, PaymentReviewModel::Parovani), QString::fromUtf8("ručně"));
        QCOMPARE(Cell(table, 2, PaymentReviewModel::Stav), QStringLiteral("Uhrazeno"));
        QCOMPARE(Cell(table, 3, PaymentReviewModel::Stav),
                 QString::fromUtf8("Přeplatek 100,00 Kč"));

        // The overpayment left out: its check box by the space bar.
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Down);
        QCOMPARE(table->currentIndex().row(), 3);
        table->setCurrentIndex(table->model()->index(3, PaymentReviewModel::Zapsat));
        QTest::keyClick(table, Qt::Key_Space);
        QCOMPARE(table->model()->index(3, 0).data(Qt::CheckStateRole).toInt(),
                 static_cast<int>(Qt::Unchecked));
        QCOMPARE(Cell(table, 3, PaymentReviewModel::Stav), QString::fromUtf8("Vynecháno"));
        QVERIFY(Cell(table, 1, PaymentReviewModel::Poznamka).contains(QString::fromUtf8("více")));
        QCOMPARE(Cell(table, 0, PaymentReviewModel::Poznamka), QString());

        Control<QPushButton>(review, "Tl_Zapsat")->click();
        QVERIFY(!review->isVisible());
    });
    QCOMPARE(bw.boxes.shown().size(), 1);
    QCOMPARE(bw.boxes.shown().first().text, QString::fromUtf8("Zapsáno: 3 platby do 2 faktur."));

    // Only lines 47 and 49 changed; the invoice in euros not at all.
    const QByteArray after1 = bw.periodBytes("2026001");
    const QByteArray after2 = bw.periodBytes("2026002");
    QCOMPARE(ChangedLines(before1, after1), QList<int>({47, 49}));
    QCOMPARE(ChangedLines(before2, after2), QList<int>({47, 49}));
    QCOMPARE(after1, WithPayment(before1, QStringLiteral("2.3.2026"), QStringLiteral("1210,00")));
    QCOMPARE(after2, WithPayment(before2, QStringLiteral("4.3.2026"), QStringLiteral("1210,00")));
    QCOMPARE(bw.periodBytes("2026003"), before3);
    QCOMPARE(ImportedPayments::Load(bw.folder.path()).Count(), 3);

    // The second import: three shown as written before, the fourth (left out) finds its invoice
    // paid now; nothing to write, nothing changes.
    bw.boxes.takeShown();
    bw.withReview([&](TVypisZBanky* review) {
        QTableView* table = Payments(review);
        QCOMPARE(Cell(table, 0, PaymentReviewModel::Stav), QString::fromUtf8("Již zapsáno"));
        QCOMPARE(Cell(table, 0, PaymentReviewModel::Faktura), QStringLiteral("2026001"));
        QCOMPARE(Cell(table, 2, PaymentReviewModel::Faktura), QStringLiteral("2026002"));
        QCOMPARE(Cell(table, 2, PaymentReviewModel::Stav), QString::fromUtf8("Již zapsáno"));
        QCOMPARE(Cell(table, 3, PaymentReviewModel::Poznamka),
                 QString::fromUtf8("Faktura 2026002 je již uhrazena"));
        QVERIFY(!Control<QPushButton>(review, "Tl_Zapsat")->isEnabled());
        Control<QPushButton>(review, "Tl_Storno")->click();
    });
    QVERIFY(bw.boxes.shown().isEmpty());
    QCOMPARE(bw.periodBytes("2026001"), after1);
    QCOMPARE(bw.periodBytes("2026002"), after2);
}

void BankImportWindowTest::invoiceWithUnsavedEditsIsRefusedAndNothingWritten() {
    BankWindow bw;
    bw.w().OpenInvoiceFile(bw.periodFile("2026001"));
    ui(bw.w()).Ed_Fa3->setFocus();
    QTest::keyClicks(ui(bw.w()).Ed_Fa3, QStringLiteral("OBJ-9"));
    QVERIFY(bw.w().IsModified());
    const QByteArray before = bw.periodBytes("2026001");
    bw.withReview([&](TVypisZBanky* review) {
        Control<QPushButton>(review, "Tl_Zapsat")->click();
        QCOMPARE(bw.boxes.shown().size(), 1);
        QCOMPARE(bw.boxes.shown().first().text,
                 QString::fromUtf8("Faktura 2026001 je otevřená v hlavním okně a má neuložené "
                                   "změny. Uložte ji nebo ji zavřete, pak úhrady zapište."));
        QVERIFY(review->isVisible());
        review->reject();
    });
    QCOMPARE(bw.periodBytes("2026001"), before);
    QVERIFY(!bw.folder.exists(kImportedPaymentsFileName));

    // Saved, the payments go through and the window shows them with nothing left to save.
    ui(bw.w()).Akce_UlozitFakturu->trigger();
    bw.boxes.takeShown();
    bw.withReview(
        [&](TVypisZBanky* review) { Control<QPushButton>(review, "Tl_Zapsat")->click(); });
    QCOMPARE(ui(bw.w()).Ed_DatumUhrady->text(), QStringLiteral("2.3.2026"));
    QCOMPARE(ui(bw.w()).Ed_UhrazenaCastka->text(), QStringLiteral("1210,00"));
    QVERIFY(!bw.w().IsModified());
}

void BankImportWindowTest::statementThatDoesNotReadIsSaidAndNothingShown() {
    BankWindow bw;
    QByteArray broken = Statement();
    broken[128 + 2 + 50] = 'x'; // a letter in the amount of the first item
    bw.folder.writeBytes("spatny.gpc", broken);
    FileDialogRecorder files;
    files.queueAnswer(bw.folder.file("spatny.gpc"));
    ui(bw.w()).Akce_NacistVypis->trigger(); // no window: the message only
    QCOMPARE(bw.boxes.shown().size(), 1);
    QVERIFY2(bw.boxes.shown().first().text.startsWith(
                 QString::fromUtf8("Výpis „spatny.gpc“, řádek 2: pole „částka“")),
             qPrintable(bw.boxes.shown().first().text));
    QVERIFY(!bw.folder.exists(kImportedPaymentsFileName));
    // Called off: nothing at all.
    ui(bw.w()).Akce_NacistVypis->trigger();
    QCOMPARE(files.asked().size(), 2);
    QCOMPARE(bw.boxes.shown().size(), 1);
}

void BankImportWindowTest::importFromTheBookRefreshesIt() {
    BankWindow bw;
    FileDialogRecorder files;
    files.queueAnswer(bw.folder.file("vypis.gpc"));
    WithModal([&] { ui(bw.w()).Akce_KnihaFaktur->trigger(); },
              [&](QWidget* modal) {
                  auto* book = qobject_cast<TKnihaFaktur*>(modal);
                  QVERIFY(book);
                  tarvela::test::OnNextModal(
                      [](QWidget* review) { Control<QPushButton>(review, "Tl_Zapsat")->click(); },
                      book);
                  Control<QPushButton>(book, "Tl_NacistVypis")->click();
                  auto* list = Control<QTreeView>(book, "ListView1");
                  // The book fills again after the import, in slices.
                  QTRY_VERIFY(!book->property("tarvelaFilling").toBool());
                  const QModelIndexList found = test::RowsWith(list, QStringLiteral("2026001"));
                  QCOMPARE(found.size(), 1);
                  QCOMPARE(test::Cell(list, found.first().row(), 7), QStringLiteral("1210,00"));
                  QCOMPARE(test::Cell(list, found.first().row(), 8), QStringLiteral("Uhrazeno"));
                  book->reject();
              });
    QCOMPARE(files.asked().size(), 1);
}

QTEST_MAIN(BankImportWindowTest)
#include "bank_import_window_test.moc"
