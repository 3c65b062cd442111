// The main window over a period folder that another instance shares or that holds what no
// invoice file should: the number New proposed is taken before the save, an invoice opened as
// "2026001.TVL" is saved, and a file of a gigabyte is opened. Each ends with the data intact and
// a Czech message.

#include "app/thlavni.h"
#include "editor/invoice_book.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "support/list_views.h"
#include "support/main_window_fixture.h"
#include "support/modal_dialog.h"
#include "support/test_support.h"
#include "support/thlavni_access.h"
#include "text/message_boxes.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>

using namespace tarvela;
using tarvela::test::MainWindowFixture;
using tarvela::test::TempProgramFolder;

namespace {

struct Fixture : MainWindowFixture {
    Fixture()
        : MainWindowFixture(
              Setup().Ini("[NASTAVENI]\r\nAktualniRok=2026\r\n").MachineToday().Hidden()) {}
    QStringList files() const {
        return QDir(folder.file(QStringLiteral("2026"))).entryList(QDir::Files | QDir::Hidden);
    }
};

InvoiceRecord OtherInstancesInvoice(const QString& number) {
    InvoiceRecord r;
    r.Cislo = number;
    r.OdberatelNazev1 = QStringLiteral("Jiné okno");
    return r;
}

// Opens the invoice of the open dialog's first row.
void OpenFirstRow(THlavni& w) {
    test::OnNextModal([](QWidget* dialog) {
        auto* list = dialog->findChild<QTreeView*>(QStringLiteral("ListView1"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, test::RowCentre(list, 0));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Tl_Ok")), Qt::LeftButton);
    });
    ui(w).Akce_OtevritFakturu->trigger();
}

} // namespace

class SharedFolderWindowTest : public QObject {
    Q_OBJECT
private slots:
    void numberTakenMeanwhileOffersTheNextNumber();
    void openedUpperCaseFileIsSavedOverItself();
    void savingAnOpenedInvoiceKeepsTheLinesTheWindowDoesNotShow();
    void oversizedFileIsListedAndSaysWhyWhenOpened();
    void aPaymentWrittenMeanwhileIsKeptBySave();
    void anotherChangeMeanwhileIsRefusedAndNothingWritten();
    void anEntryThatIsNoFileUnderTheNextNumberIsSkipped();
};

void SharedFolderWindowTest::numberTakenMeanwhileOffersTheNextNumber() {
    Fixture f;
    THlavni& w = *f.window;
    ui(w).Akce_NovaFaktura->trigger();
    QCOMPARE(ui(w).Ed_Fa1->text(), QStringLiteral("2026001"));
    ui(w).Ed_Od2->setText(QStringLiteral("Moje firma"));
    // Another instance saves the same number first.
    InvoiceStore(f.folder.path()).CreateInvoice(2026, OtherInstancesInvoice("2026001"));
    const QByteArray theirs = f.folder.readBytes(QStringLiteral("2026/2026001.tvl"));

    ui(w).Akce_UlozitFakturu->trigger(); // answered No: nothing written, the edits stay
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.boxes.shown()[0].kind, BoxKind::YesNo);
    QVERIFY2(f.boxes.shown()[0].text.contains(QStringLiteral("mezitím")) &&
                 f.boxes.shown()[0].text.contains(QStringLiteral("2026002")),
             qPrintable(f.boxes.shown()[0].text));
    QCOMPARE(f.files(), QStringList{QStringLiteral("2026001.tvl")});
    QVERIFY(w.IsModified());

    f.boxes.queueAnswer(true);
    ui(w).Akce_UlozitFakturu->trigger();
    QCOMPARE(ui(w).Ed_Fa1->text(), QStringLiteral("2026002"));
    QVERIFY(!w.IsModified());
    QCOMPARE(f.files(),
             (QStringList{QStringLiteral("2026001.tvl"), QStringLiteral("2026002.tvl")}));
    QCOMPARE(f.folder.readBytes(QStringLiteral("2026/2026001.tvl")), theirs);
    QVERIFY(f.folder.readBytes(QStringLiteral("2026/2026002.tvl")).contains("Moje firma"));
}

void SharedFolderWindowTest::openedUpperCaseFileIsSavedOverItself() {
    Fixture f;
    f.folder.writeBytes(QStringLiteral("2026/2026001.TVL"),
                        InvoiceFileBytes(OtherInstancesInvoice("2026001")));
    THlavni& w = *f.window;
    OpenFirstRow(w);
    QVERIFY(w.InvoiceOpen());
    ui(w).Ed_Od2->setText(QStringLiteral("Upraveno"));
    ui(w).Akce_UlozitFakturu->trigger();
    QVERIFY2(f.boxes.shown().isEmpty(), qPrintable(f.boxes.shown().value(0).text));
    QCOMPARE(f.files(), QStringList{QStringLiteral("2026001.TVL")});
    QVERIFY(f.folder.readBytes(QStringLiteral("2026/2026001.TVL")).contains("Upraveno"));
}

void SharedFolderWindowTest::savingAnOpenedInvoiceKeepsTheLinesTheWindowDoesNotShow() {
    Fixture f;
    InvoiceRecord written = OtherInstancesInvoice(QStringLiteral("2026001"));
    written.OpravovanyDoklad = QStringLiteral("2025017");
    written.Kurz = QStringLiteral("24,335");
    written.DalsiRadky = {QStringLiteral("NovejsiPole=ano")};
    f.folder.writeBytes(QStringLiteral("2026/2026001.tvl"), InvoiceFileBytes(written));
    THlavni& w = *f.window;
    OpenFirstRow(w);
    ui(w).Ed_Od2->setText(QStringLiteral("Upraveno"));
    ui(w).Akce_UlozitFakturu->trigger();
    QVERIFY2(f.boxes.shown().isEmpty(), qPrintable(f.boxes.shown().value(0).text));
    const QByteArray saved = f.folder.readBytes(QStringLiteral("2026/2026001.tvl"));
    QVERIFY(saved.contains("\r\nUpraveno\r\n"));
    QVERIFY2(saved.endsWith("\r\nOpravovanyDoklad=2025017\r\nKurz=24,335\r\nNovejsiPole=ano\r\n"),
             saved.right(80).constData());

    // The next new invoice starts without them.
    ui(w).Akce_ZavritFakturu->trigger();
    ui(w).Akce_NovaFaktura->trigger();
    ui(w).Ed_Od2->setText(QStringLiteral("Nová"));
    ui(w).Akce_UlozitFakturu->trigger();
    const QByteArray fresh = f.folder.readBytes(QStringLiteral("2026/2026002.tvl"));
    QCOMPARE(fresh.count("\r\n"), 49);
}

void SharedFolderWindowTest::oversizedFileIsListedAndSaysWhyWhenOpened() {
    Fixture f;
    {
        QFile sparse(f.folder.file(QStringLiteral("2026/2026001.tvl")));
        QVERIFY(sparse.open(QIODevice::WriteOnly));
        QVERIFY(sparse.resize(qint64(1) << 30));
    }
    THlavni& w = *f.window;
    OpenFirstRow(w);
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.boxes.shown()[0].kind, BoxKind::Error);
    QVERIFY2(f.boxes.shown()[0].text.contains(QStringLiteral("2026001.tvl")) &&
                 f.boxes.shown()[0].text.contains(QStringLiteral("příliš velký")),
             qPrintable(f.boxes.shown()[0].text));
    QVERIFY(!w.InvoiceOpen());
    QCOMPARE(QFileInfo(f.folder.file(QStringLiteral("2026/2026001.tvl"))).size(), qint64(1) << 30);
}

// The invoice book of another instance records a payment while the invoice is open and edited
// here: the save keeps both, and the window shows the payment.
void SharedFolderWindowTest::aPaymentWrittenMeanwhileIsKeptBySave() {
    Fixture f;
    f.folder.writeBytes(QStringLiteral("2026/2026001.tvl"),
                        InvoiceFileBytes(OtherInstancesInvoice("2026001")));
    THlavni& w = *f.window;
    OpenFirstRow(w);
    QVERIFY(w.InvoiceOpen());
    ui(w).Ed_Od2->setFocus();
    ui(w).Ed_Od2->selectAll();
    QTest::keyClicks(ui(w).Ed_Od2, QStringLiteral("Upraveno"));
    const QString path = f.folder.file(QStringLiteral("2026/2026001.tvl"));
    MarkInvoicePaid(path, QDate(2026, 4, 3), 25000);
    ui(w).Akce_UlozitFakturu->trigger();
    QVERIFY2(f.boxes.shown().isEmpty(), qPrintable(f.boxes.shown().value(0).text));
    InvoiceRecord saved;
    ReadInvoiceFile(path, saved, QString());
    QCOMPARE(saved.OdberatelNazev1, QStringLiteral("Upraveno"));
    QCOMPARE(saved.DatumUhrady, QStringLiteral("3.4.2026"));
    QCOMPARE(saved.UhrazenaCastka, QStringLiteral("250,00"));
    QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral("250,00"));
    QVERIFY(!w.IsModified());
    // The next save compares with what this one wrote: no false alarm.
    QTest::keyClicks(ui(w).Ed_Od2, QStringLiteral(" 2"));
    ui(w).Akce_UlozitFakturu->trigger();
    QVERIFY2(f.boxes.shown().isEmpty(), qPrintable(f.boxes.shown().value(0).text));
}

void SharedFolderWindowTest::anotherChangeMeanwhileIsRefusedAndNothingWritten() {
    Fixture f;
    f.folder.writeBytes(QStringLiteral("2026/2026001.tvl"),
                        InvoiceFileBytes(OtherInstancesInvoice("2026001")));
    THlavni& w = *f.window;
    OpenFirstRow(w);
    ui(w).Ed_Od2->setFocus();
    QTest::keyClicks(ui(w).Ed_Od2, QStringLiteral(" zde"));
    ui(w).Akce_UlozitFakturu->trigger();
    QVERIFY2(w.statusBar()->currentMessage().contains(QStringLiteral("je uložena")),
             qPrintable(w.statusBar()->currentMessage()));
    QTest::keyClicks(ui(w).Ed_Od2, QStringLiteral(" a"));
    InvoiceRecord theirs = OtherInstancesInvoice("2026001");
    theirs.Komentar1 = QStringLiteral("Jinde");
    InvoiceStore(f.folder.path()).SaveInvoice(2026, theirs);
    const QByteArray before = f.folder.readBytes(QStringLiteral("2026/2026001.tvl"));
    ui(w).Akce_UlozitFakturu->trigger();
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.boxes.shown()[0].kind, BoxKind::Error);
    QVERIFY2(f.boxes.shown()[0].text.contains(QStringLiteral("mezitím změnil")),
             qPrintable(f.boxes.shown()[0].text));
    QCOMPARE(f.folder.readBytes(QStringLiteral("2026/2026001.tvl")), before);
    QVERIFY(w.IsModified());
    // The status bar no longer says the earlier save.
    QVERIFY2(!w.statusBar()->currentMessage().contains(QStringLiteral("uložena")),
             qPrintable(w.statusBar()->currentMessage()));
}

// A link that leads nowhere under the number New would propose: New proposes the next one and
// the first save writes it, with no message box.
void SharedFolderWindowTest::anEntryThatIsNoFileUnderTheNextNumberIsSkipped() {
    Fixture f;
    QVERIFY(QDir().mkpath(f.folder.file(QStringLiteral("2026"))));
    QVERIFY(QFile::link(QStringLiteral("/nonexistent/faktura"),
                        f.folder.file(QStringLiteral("2026/2026001.tvl"))));
    THlavni& w = *f.window;
    ui(w).Akce_NovaFaktura->trigger();
    QCOMPARE(ui(w).Ed_Fa1->text(), QStringLiteral("2026002"));
    ui(w).Ed_Od2->setFocus();
    QTest::keyClicks(ui(w).Ed_Od2, QStringLiteral("Novak"));
    ui(w).Akce_UlozitFakturu->trigger();
    QVERIFY2(f.boxes.shown().isEmpty(), qPrintable(f.boxes.shown().value(0).text));
    QVERIFY(!w.IsModified());
    QVERIFY(f.folder.readBytes(QStringLiteral("2026/2026002.tvl")).contains("Novak"));
}

QTEST_MAIN(SharedFolderWindowTest)
#include "shared_folder_window_test.moc"
