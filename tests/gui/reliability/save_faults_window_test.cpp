// Save through the main window when the write fails: a file size limit hit part-way and a period
// folder that vanished. The error box says the invoice was not saved, the previous file stays
// byte for byte, and the edits stay in the window, still marked as unsaved.

#include "invoice/invoice_store.h"
#include "support/file_size_limit.h"
#include "support/main_window_fixture.h"
#include "support/test_support.h"
#include "support/thlavni_access.h"
#include "text/message_boxes.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace tarvela;
using tarvela::test::FileSizeLimit;
using tarvela::test::MainWindowFixture;
using tarvela::test::TempProgramFolder;

namespace {

struct Fixture : MainWindowFixture {
    Fixture()
        : MainWindowFixture(
              Setup().Ini("[NASTAVENI]\r\nAktualniRok=2026\r\n").MachineToday().Hidden()) {}
};

} // namespace

class SaveFaultsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void limitHitPartWayKeepsFileAndEdits();
    void vanishedPeriodFolderKeepsEdits();
};

// A new invoice with a customer, saved once; returns its file's path.
static QString NewSavedInvoice(Fixture& f) {
    THlavni& w = *f.window;
    ui(w).Akce_NovaFaktura->trigger();
    ui(w).Ed_Od2->setText(QStringLiteral("Firma s.r.o."));
    ui(w).Akce_UlozitFakturu->trigger();
    return InvoiceStore(w.ProgramFolder()).InvoiceFilePath(2026, ui(w).Ed_Fa1->text());
}

void SaveFaultsWindowTest::limitHitPartWayKeepsFileAndEdits() {
    Fixture f;
    THlavni& w = *f.window;
    const QString path = NewSavedInvoice(f);
    QVERIFY2(QFileInfo::exists(path), qPrintable(path));
    QVERIFY(!w.IsModified());
    QVERIFY(f.boxes.shown().isEmpty());
    const QByteArray previous = test::ReadFileBytes(path);

    ui(w).Ed_Od2->setText(QStringLiteral("Nová firma, a. s."));
    QVERIFY(w.IsModified());
    {
        FileSizeLimit limit(rlim_t(previous.size() / 2));
        QVERIFY(limit.active());
        ui(w).Akce_UlozitFakturu->trigger();
    }
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.boxes.shown()[0].kind, BoxKind::Error);
    QVERIFY2(f.boxes.shown()[0].text.contains(QStringLiteral("Faktura nebyla uložena")),
             qPrintable(f.boxes.shown()[0].text));
    QCOMPARE(test::ReadFileBytes(path), previous);
    QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    QVERIFY(w.IsModified());
    QVERIFY(ui(w).Akce_UlozitFakturu->isEnabled());
    QCOMPARE(ui(w).Ed_Od2->text(), QStringLiteral("Nová firma, a. s."));

    // With the limit gone the same edits save.
    ui(w).Akce_UlozitFakturu->trigger();
    QCOMPARE(f.boxes.shown().size(), 1);
    QVERIFY(!w.IsModified());
    QVERIFY(test::ReadFileBytes(path).contains("Nov\xe1 firma, a. s."));
}

void SaveFaultsWindowTest::vanishedPeriodFolderKeepsEdits() {
    Fixture f;
    THlavni& w = *f.window;
    const QString path = NewSavedInvoice(f);
    QVERIFY(QFileInfo::exists(path));
    ui(w).Ed_Od2->setText(QStringLiteral("Jiná firma"));
    QVERIFY(QDir(QFileInfo(path).path()).removeRecursively());

    ui(w).Akce_UlozitFakturu->trigger();
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.boxes.shown()[0].kind, BoxKind::Error);
    QVERIFY2(f.boxes.shown()[0].text.contains(QFileInfo(path).fileName()),
             qPrintable(f.boxes.shown()[0].text));
    QVERIFY(w.IsModified());
    QCOMPARE(ui(w).Ed_Od2->text(), QStringLiteral("Jiná firma"));
    QVERIFY(w.InvoiceOpen());

    // Closing asks to save; the save fails again, and the invoice stays open with its edits.
    f.boxes.queueAnswer(true);
    ui(w).Akce_ZavritFakturu->trigger();
    QVERIFY(w.IsModified());
    QCOMPARE(ui(w).Ed_Od2->text(), QStringLiteral("Jiná firma"));
}

QTEST_MAIN(SaveFaultsWindowTest)
#include "save_faults_window_test.moc"
