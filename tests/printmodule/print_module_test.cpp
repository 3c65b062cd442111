// The program side of the print module: the checks and messages before a report, loading the
// library from the program folder for each call and unloading it afterwards, and a report handed
// through to the real module.
#include "printing/print_module.h"
#include "printing/report_data_set.h"
#include "support/test_support.h"
#include "text/errors.h"
#include "text/message_boxes.h"

#include "printmodule/prm1_test_support.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QTimer>
#include <QtTest>

using namespace tarvela;
using namespace tarvela::test;

namespace {

// True while the file is mapped into this process, i.e. the library is loaded.
bool IsLoaded(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    QFile maps("/proc/self/maps");
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    return QString::fromUtf8(maps.readAll()).contains(canonical);
}

ShownBox Warning(const QString& text) {
    return ShownBox{BoxKind::Warning, "Upozornění", text};
}
ShownBox Info(const QString& text) {
    return ShownBox{BoxKind::Info, "Tarvela", text};
}

void FillItems(ReportDataSet& dataSet) {
    dataSet.addColumn("Id", ReportDataSet::ColumnType::AutoIncrement);
    dataSet.addColumn("Kod", ReportDataSet::ColumnType::Text, 50);
    dataSet.addColumn("Dodavka", ReportDataSet::ColumnType::Text, 255);
    dataSet.addColumn("MJ", ReportDataSet::ColumnType::Text, 10);
    dataSet.addColumn("PocetMJ", ReportDataSet::ColumnType::Text, 10);
    dataSet.addColumn("Cena", ReportDataSet::ColumnType::Text, 15);
    dataSet.addColumn("DPH", ReportDataSet::ColumnType::Text, 2);
    dataSet.addColumn("Zaklad", ReportDataSet::ColumnType::Text, 15);
    dataSet.createAndOpen();
    dataSet.appendRow(
        {"1", "TRU-001", "Dubový stůl jídelní 180×90 cm", "ks", "1", "18500,00", "21", "18500,00"});
    dataSet.appendRow({"2", "KNI-2", "Kniha: Péče o dřevo", "ks", "2", "349,00", "12", "698,00"});
    for (int row = 3; row <= 25; ++row)
        dataSet.appendRow({QString::number(row), "", "", "", "", "", "", ""});
}

} // namespace

class PrintModuleTest : public QObject {
    Q_OBJECT

private slots:
    void missingModuleIsAWarningAndNothingElse();
    void missingPreviewLibraryStopsOnlyThePreview();
    void missingTemplateNamesThePath();
    void libraryThatDoesNotLoadFailsForTheErrorBox();
    void libraryWithoutTheEntryPoints();
    void versionOfTheRealModule();
    void textsOutsideTheCodePageAreRefusedBeforeLoading();
    void reportReachesTheModuleAndItsPreview();

private:
    // A program folder holding the real module (with its preview library, unless told otherwise)
    // and the templates.
    void installRealModule(const TempProgramFolder& folder, bool withPreview = true) {
        QVERIFY(QFile::copy(PRM1_LIBRARY_PATH, folder.file(PrintModuleFileName())));
        if (withPreview)
            QVERIFY(QFile::copy(PRM1UI_LIBRARY_PATH, folder.file(PrintPreviewLibraryFileName())));
        for (const char* name : {"Faktura.fr3", "PrijmovyDoklad.fr3"})
            folder.writeBytes(QString("Ses/") + name, ReadFileBytes(TemplatePath(name)));
    }
};

void PrintModuleTest::missingModuleIsAWarningAndNothingElse() {
    TempProgramFolder folder;
    ReportDataSet dataSet;
    MessageBoxRecorder boxes;
    // The module is looked for first: the missing template is not mentioned.
    RunStandardReport(folder.path(), folder.file("Ses/Faktura.fr3"), "FAKTURA", "A|1", dataSet);
    RunPlainReport(folder.path(), folder.file("Ses/PrijmovyDoklad.fr3"), "Příjmový doklad", "");
    QCOMPARE(boxes.shown(), (QList<ShownBox>{Warning("Nebyl nalezen modul tisku."),
                                             Warning("Nebyl nalezen modul tisku.")}));
    // The version is asked without a file check: loading fails.
    QCOMPARE(GetPrintModuleVersion(folder.path()), QString());
    QCOMPARE(boxes.shown().last(), Info("Nelze načíst DLL!"));
}

void PrintModuleTest::missingPreviewLibraryStopsOnlyThePreview() {
    TempProgramFolder folder;
    installRealModule(folder, false);
    ReportDataSet dataSet;
    FillItems(dataSet);
    MessageBoxRecorder boxes;
    RunStandardReport(folder.path(), folder.file("Ses/Faktura.fr3"), "FAKTURA", "A|1", dataSet);
    RunPlainReport(folder.path(), folder.file("Ses/PrijmovyDoklad.fr3"), "Příjmový doklad", "");
    QCOMPARE(boxes.shown(), (QList<ShownBox>{Warning("Nebyl nalezen modul tisku."),
                                             Warning("Nebyl nalezen modul tisku.")}));
    QVERIFY(!IsLoaded(folder.file(PrintModuleFileName())));
    // A PDF needs the module alone.
    const QString pdf = folder.file("faktura.pdf");
    QVERIFY(SaveStandardReportPdf(folder.path(), folder.file("Ses/Faktura.fr3"), "FAKTURA",
                                  JoinVariables(InvoiceVariables(true, QString())), dataSet, pdf));
    QVERIFY(PdfText(pdf).simplified().contains("Kniha: Péče o dřevo 2 ks 349,00 12 % 698,00"));
    QCOMPARE(boxes.shown().size(), 2);
}

void PrintModuleTest::missingTemplateNamesThePath() {
    TempProgramFolder folder;
    installRealModule(folder);
    const QString path = folder.file("Ses/Neni.fr3");
    ReportDataSet dataSet;
    MessageBoxRecorder boxes;
    RunStandardReport(folder.path(), path, "FAKTURA", "A|1", dataSet);
    RunPlainReport(folder.path(), path, "Příjmový doklad", "A|1");
    const ShownBox expected{BoxKind::InfoCaption, "Upozornění",
                            "Sestavu nelze spustit, nebyl nalezen soubor předlohy \"" + path +
                                "\"."};
    QCOMPARE(boxes.shown(), (QList<ShownBox>{expected, expected}));
    QVERIFY(!IsLoaded(folder.file(PrintModuleFileName())));
}

void PrintModuleTest::libraryThatDoesNotLoadFailsForTheErrorBox() {
    TempProgramFolder folder;
    folder.writeBytes(PrintModuleFileName(), "this is not a shared library");
    folder.writeBytes("Ses/Faktura.fr3", "<p>{{A}}</p>");
    ReportDataSet dataSet;
    MessageBoxRecorder boxes;
    for (int call = 0; call < 2; ++call) {
        try {
            if (call == 0)
                RunStandardReport(folder.path(), folder.file("Ses/Faktura.fr3"), "F", "A|1",
                                  dataSet);
            else
                RunPlainReport(folder.path(), folder.file("Ses/Faktura.fr3"), "F", "A|1");
            QFAIL("no failure");
        } catch (const TarvelaError& e) {
            QCOMPARE(e.message(), QString("Nelze načíst DLL!"));
        }
    }
    QVERIFY(boxes.shown().isEmpty()); // the guard shows it, not the operation
}

void PrintModuleTest::libraryWithoutTheEntryPoints() {
    TempProgramFolder folder;
    const QString library = folder.file(PrintModuleFileName());
    QVERIFY(QFile::copy(PRM1_WITHOUT_ENTRIES_PATH, library));
    folder.writeBytes("Ses/Faktura.fr3", "<p>{{A}}</p>");
    ReportDataSet dataSet;
    MessageBoxRecorder boxes;
    RunStandardReport(folder.path(), folder.file("Ses/Faktura.fr3"), "F", "A|1", dataSet);
    QVERIFY(!IsLoaded(library));
    RunPlainReport(folder.path(), folder.file("Ses/Faktura.fr3"), "F", "A|1");
    QVERIFY(!IsLoaded(library));
    QCOMPARE(GetPrintModuleVersion(folder.path()), QString());
    QVERIFY(!IsLoaded(library));
    const ShownBox missing = Info("Knihovna neobsahuje požadovanou proceduru!");
    QCOMPARE(boxes.shown(), (QList<ShownBox>{missing, missing, missing}));
}

void PrintModuleTest::versionOfTheRealModule() {
    TempProgramFolder folder;
    installRealModule(folder);
    MessageBoxRecorder boxes;
    const QString version = GetPrintModuleVersion(folder.path());
    QVERIFY(QRegularExpression(R"(^\d+\.\d+\.\d+$)").match(version).hasMatch());
    QVERIFY(boxes.shown().isEmpty());
    QVERIFY(!IsLoaded(folder.file(PrintModuleFileName())));
}

void PrintModuleTest::textsOutsideTheCodePageAreRefusedBeforeLoading() {
    TempProgramFolder folder;
    installRealModule(folder);
    ReportDataSet dataSet;
    FillItems(dataSet);
    dataSet.close();
    dataSet.clearColumns();
    dataSet.addColumn("Dodavka", ReportDataSet::ColumnType::Text, 50);
    dataSet.createAndOpen();
    dataSet.appendRow({"Čaj 茶"});
    MessageBoxRecorder boxes;
    QVERIFY_THROWS_EXCEPTION(EncodingError,
                             RunStandardReport(folder.path(), folder.file("Ses/Faktura.fr3"),
                                               "FAKTURA", "A|1", dataSet));
    QVERIFY_THROWS_EXCEPTION(
        EncodingError,
        RunPlainReport(folder.path(), folder.file("Ses/Faktura.fr3"), "FAKTURA", "Komentar1|☃"));
    QVERIFY(!IsLoaded(folder.file(PrintModuleFileName())));
    QVERIFY(boxes.shown().isEmpty());
}

void PrintModuleTest::reportReachesTheModuleAndItsPreview() {
    TempProgramFolder folder;
    // A home of the test's own with a documents folder, and the program started from its folder.
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const QString ownHome = folder.file("home");
    folder.writeBytes("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\"\n");
    QVERIFY(QDir().mkpath(ownHome + "/Dokumenty"));
    qputenv("HOME", ownHome.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (ownHome + "/.config").toLocal8Bit());
    const QString workingFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());
    auto restore = qScopeGuard([&] {
        qputenv("HOME", home);
        if (config.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", config);
        QDir::setCurrent(workingFolder);
    });
    installRealModule(folder);
    const QString library = folder.file(PrintModuleFileName());
    const QString previewLibrary = folder.file(PrintPreviewLibraryFileName());
    const QString saved = folder.file("faktura.pdf");
    ReportDataSet dataSet;
    FillItems(dataSet);

    QString title;
    QString reason;   // the preview's line on the payment code
    QString proposed; // the file "Uložit jako PDF" proposes
    bool loadedDuringCall = false;
    QTimer::singleShot(0, this, [&] {
        loadedDuringCall = IsLoaded(library) && IsLoaded(previewLibrary);
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        title = dialog->windowTitle();
        if (auto* label = dialog->findChild<QLabel*>("La_QRDuvod"); label && label->isVisible())
            reason = label->text();
        QTimer::singleShot(0, this, [&, dialog] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(files != nullptr);
            proposed = files->selectedFiles().value(0);
            files->selectFile(saved);
            QMetaObject::invokeMethod(files, "accept");
            QTimer::singleShot(0, dialog, &QDialog::reject);
        });
        dialog->findChild<QAction*>("Akce_UlozitPDF")->trigger();
    });
    MessageBoxRecorder boxes;
    QList<QPair<QString, QString>> variables = InvoiceVariables(true, QString());
    variables.append(qMakePair(QString("NazevSouboru"), QString("Faktura 2026001")));
    variables.append(qMakePair(QString("QRDuvod"),
                               QString("QR Platba není: v nastavení chybí IBAN dodavatele.")));
    RunStandardReport(folder.path(), folder.file("Ses/Faktura.fr3"), "FAKTURA - DAŇOVÝ DOKLAD",
                      JoinVariables(variables), dataSet);

    QVERIFY(loadedDuringCall);
    QVERIFY(!IsLoaded(library));
    QVERIFY(!IsLoaded(previewLibrary));
    QVERIFY(boxes.shown().isEmpty());
    QCOMPARE(title, QString("Náhled sestavy - FAKTURA - DAŇOVÝ DOKLAD"));
    // Why there is no payment code, shown in the preview so the user can mend the data.
    QCOMPARE(reason, QString("QR Platba není: v nastavení chybí IBAN dodavatele."));
    // The document's title and number, in the user's documents folder, not the program folder.
    QCOMPARE(proposed, ownHome + "/Dokumenty/Faktura 2026001.pdf");
    const QString text = PdfText(saved).simplified();
    QVERIFY(text.contains("Dubový stůl jídelní 180×90 cm 1 ks 18500,00 21 % 18500,00"));
    QVERIFY(text.contains("Kniha: Péče o dřevo 2 ks 349,00 12 % 698,00"));
    QVERIFY(text.contains("Penzion U Zeleného stromu"));
    QVERIFY(!text.contains("QR Platba"));
    // The caller's data set is untouched.
    QVERIFY(dataSet.isOpen());
    QCOMPARE(dataSet.rowCount(), 25);
}

QTEST_MAIN(PrintModuleTest)
#include "print_module_test.moc"
