// The open invoice saved as ISDOC and sent by e-mail from the main window, and the accountant's
// period export and VAT summary, driven through their windows; checked on the files written, the
// arguments the mail client got and what reached the print module.
#include "invoice/invoice_store.h"
#include "print_window.h"
#include "printing/accountant_export.h"
#include "printing/print_module.h"
#include "printmodule/prm1_test_support.h"
#include "recording_print_module.h"
#include "support/controls.h"
#include "support/modal_dialog.h"
#include "text/clock.h"
#include "text/file_dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace tarvela;
using namespace tarvela::test;

namespace {

// xmllint's complaints about the files against the e-invoice schema; empty when they validate.
QString SchemaFaults(const QStringList& files) {
    QProcess xmllint;
    xmllint.start(QStringLiteral("xmllint"),
                  QStringList{QStringLiteral("--noout"), QStringLiteral("--schema"),
                              QStringLiteral(TARVELA_ISDOC_DIR "/isdoc-invoice-6.0.2.xsd")} +
                      files);
    if (!xmllint.waitForFinished(60000))
        return QStringLiteral("xmllint did not finish");
    return xmllint.exitCode() == 0 ? QString() : QString::fromUtf8(xmllint.readAllStandardError());
}

// The text of the first element `name` inside an element `parent`.
QString ElementText(const QByteArray& xml, const QString& parent, const QString& name) {
    QXmlStreamReader reader(xml);
    QStringList stack;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (reader.name() == name && !stack.isEmpty() && stack.last() == parent)
                return reader.readElementText();
            stack.append(reader.name().toString());
        } else if (reader.isEndElement() && !stack.isEmpty()) {
            stack.removeLast();
        }
    }
    return QStringLiteral("<missing>");
}

QList<QStringList> CsvRows(const QByteArray& bytes) {
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"))) {
        if (!line.isEmpty())
            rows.append(line.split(QLatin1Char(';')));
    }
    return rows;
}

// One row at 21 % (the base given) with the date of taxable supply.
InvoiceRecord Saved(const QString& number, const char* base, QDate supply) {
    InvoiceRecord f = SampleInvoice().fields;
    f.Polozky = {};
    f.Polozky[0] = Row("A", "Práce", "h", "1", base, "21");
    f.Cislo = number;
    f.Symbol = number;
    f.DatumPlneni = supply;
    return f;
}

// A recording xdg-email first on PATH (or no xdg-email at all): it writes its arguments, each
// ended by a zero byte, and ends with the given code. PATH is restored at the end.
class FakeMailClient {
public:
    explicit FakeMailClient(std::optional<int> exitCode) : path_(qgetenv("PATH")) {
        if (exitCode) {
            QFile script(dir_.filePath(QStringLiteral("xdg-email")));
            script.open(QIODevice::WriteOnly);
            script.write(
                "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n"
                "exit " +
                QByteArray::number(*exitCode) + "\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        // Without the client the folder alone is the PATH, so none is found anywhere.
        qputenv("PATH", exitCode ? dir_.path().toUtf8() + ':' + path_ : dir_.path().toUtf8());
    }
    ~FakeMailClient() { qputenv("PATH", path_); }
    QString argsFile() const { return dir_.filePath(QStringLiteral("xdg-email.args")); }
    QStringList arguments() const {
        QStringList args = QString::fromUtf8(ReadFileBytes(argsFile())).split(QChar(0));
        args.removeLast(); // after the last zero byte
        return args;
    }

private:
    QTemporaryDir dir_;
    QByteArray path_;
};

// Waits until the window's mail client process has ended and been cleaned up.
bool MailClientDone(THlavni& w) {
    return w.findChild<QProcess*>(QStringLiteral("EmailProcess")) == nullptr;
}

} // namespace

class ThlavniExportsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void isdocOfTheOpenInvoice();
    void isdocRefusesAMissingCustomerAddress();
    void isdocCreatesAMissingFolderAndNamesWhyAWriteFailed();
    void actionsFollowTheirPrintAction();
    void periodExportWritesTheFilesAndExactSums();
    void vatSummaryPrintsAndSavesItsCsv();
    void emailHandsPdfAndIsdocToTheMailClient_data();
    void emailHandsPdfAndIsdocToTheMailClient();
    void emailSaysWhyTheMailClientFailed_data();
    void emailSaysWhyTheMailClientFailed();
};

void ThlavniExportsTest::isdocOfTheOpenInvoice() {
    PrintWindow pw(PayerSettings());
    pw.OpenFilledInvoice();
    FileDialogRecorder files;
    files.queueAnswer(pw.folder.file(QStringLiteral("vystup"))); // typed without a suffix

    ui(*pw.window).Akce_IsdocFaktury01->trigger();
    QVERIFY(pw.boxes.shown().isEmpty());
    QCOMPARE(files.asked(),
             (QList<AskedFile>{{QStringLiteral("Uložit jako ISDOC"),
                                DocumentsFolder() + QStringLiteral("/2026001.isdoc")}}));
    const QString saved = pw.folder.file(QStringLiteral("vystup.isdoc"));
    QCOMPARE(SchemaFaults({saved}), QString());
    // The window's figures, unsaved edits included.
    const QByteArray xml = ReadFileBytes(saved);
    QCOMPARE(ElementText(xml, QStringLiteral("Invoice"), QStringLiteral("ID")),
             QStringLiteral("2026001"));
    QCOMPARE(ElementText(xml, QStringLiteral("LegalMonetaryTotal"),
                         QStringLiteral("TaxInclusiveAmount")),
             QStringLiteral("488.00"));

    // Called off: nothing more is written.
    const QStringList before = QDir(pw.folder.path()).entryList(QDir::Files);
    ui(*pw.window).Akce_IsdocFaktury01->trigger();
    QCOMPARE(files.asked().size(), 2);
    QCOMPARE(QDir(pw.folder.path()).entryList(QDir::Files), before);
}

void ThlavniExportsTest::isdocRefusesAMissingCustomerAddress() {
    PrintWindow pw(PayerSettings());
    pw.OpenFilledInvoice();
    for (QLineEdit* edit : {ui(*pw.window).Ed_Od5, ui(*pw.window).Ed_Od6, ui(*pw.window).Ed_Od7})
        edit->clear();
    FileDialogRecorder files;
    files.queueAnswer(pw.folder.file(QStringLiteral("x.isdoc")));

    ui(*pw.window).Akce_IsdocFaktury01->trigger();
    QCOMPARE(pw.boxes.shown(),
             (QList<ShownBox>{{BoxKind::Error, QStringLiteral("Tarvela"),
                               QStringLiteral("Doklad nelze uložit jako ISDOC, chybí: ulice "
                                              "odběratele, PSČ odběratele, město odběratele.")}}));
    QVERIFY(files.asked().isEmpty()); // refused before the file is chosen
    QVERIFY(!pw.folder.exists(QStringLiteral("x.isdoc")));
}

void ThlavniExportsTest::isdocCreatesAMissingFolderAndNamesWhyAWriteFailed() {
    PrintWindow pw(PayerSettings());
    pw.OpenFilledInvoice();
    // The folder proposed is there, whatever the desktop calls its documents folder.
    QVERIFY(QFileInfo(DocumentsFolder()).isDir());
    FileDialogRecorder files;
    files.queueAnswer(pw.folder.file(QStringLiteral("Dokumenty/Faktury/2026001.isdoc")));
    ui(*pw.window).Akce_IsdocFaktury01->trigger();
    QVERIFY2(pw.boxes.shown().isEmpty(), qPrintable(pw.boxes.shown().value(0).text));
    QCOMPARE(SchemaFaults({pw.folder.file(QStringLiteral("Dokumenty/Faktury/2026001.isdoc"))}),
             QString());

    // A folder that cannot be made (a file stands in its way): the box says which and why.
    pw.folder.writeBytes(QStringLiteral("soubor"), "x");
    const QString blocked = pw.folder.file(QStringLiteral("soubor/2026001.isdoc"));
    files.queueAnswer(blocked);
    ui(*pw.window).Akce_IsdocFaktury01->trigger();
    QCOMPARE(pw.boxes.takeShown(),
             (QList<ShownBox>{
                 {BoxKind::Error, QStringLiteral("Tarvela"),
                  QStringLiteral("Složku „%1“ nelze vytvořit: v cestě je soubor "
                                 "místo složky.")
                      .arg(QDir::toNativeSeparators(pw.folder.file(QStringLiteral("soubor"))))}}));
    // A name that is a folder: the file cannot be written, and the box says why.
    QDir().mkpath(pw.folder.file(QStringLiteral("slozka.isdoc")));
    files.queueAnswer(pw.folder.file(QStringLiteral("slozka.isdoc")));
    ui(*pw.window).Akce_IsdocFaktury01->trigger();
    QCOMPARE(pw.boxes.takeShown(),
             (QList<ShownBox>{{BoxKind::Error, QStringLiteral("Tarvela"),
                               QStringLiteral("Soubor „%1“ nelze zapsat: pod tímto jménem je "
                                              "složka.")
                                   .arg(QDir::toNativeSeparators(
                                       pw.folder.file(QStringLiteral("slozka.isdoc"))))}}));
}

void ThlavniExportsTest::actionsFollowTheirPrintAction() {
    PrintWindow pw(NonPayerSettings());
    THlavni& w = *pw.window;
    QVERIFY(!ui(w).HMenu_Isdoc->menuAction()->isEnabled());
    QVERIFY(!ui(w).HMenu_Email->menuAction()->isEnabled());
    QVERIFY(!ui(w).Akce_EmailFaktury01->isEnabled());
    // The delivery note and the price offer have no e-invoice.
    QVERIFY(!w.findChild<QAction*>(QStringLiteral("Akce_IsdocFaktury06")));
    QVERIFY(!w.findChild<QAction*>(QStringLiteral("Akce_IsdocFaktury10")));

    pw.OpenFilledInvoice(QStringLiteral("P")); // not paid in cash
    QVERIFY(ui(w).HMenu_Isdoc->menuAction()->isEnabled());
    struct Expected {
        QAction* action;
        bool enabled;
        bool visible;
    };
    for (const Expected& e : {Expected{ui(w).Akce_IsdocFaktury01, true, true},
                              Expected{ui(w).Akce_EmailFaktury06, true, true},
                              // a non-payer issues no tax document
                              Expected{ui(w).Akce_IsdocFaktury03, false, false},
                              Expected{ui(w).Akce_EmailFaktury03, false, false},
                              // the receipt with items is for cash only
                              Expected{ui(w).Akce_IsdocFaktury20, false, true},
                              Expected{ui(w).Akce_EmailFaktury20, false, true}}) {
        QVERIFY2(e.action->isEnabled() == e.enabled, qPrintable(e.action->objectName()));
        QVERIFY2(e.action->isVisible() == e.visible, qPrintable(e.action->objectName()));
    }
    ui(w).CBox_Fa6->setCurrentText(QStringLiteral("H"));
    QVERIFY(ui(w).Akce_IsdocFaktury20->isEnabled());
}

void ThlavniExportsTest::periodExportWritesTheFilesAndExactSums() {
    PrintWindow pw(PayerSettings());
    const InvoiceStore store(pw.window->ProgramFolder());
    store.SaveInvoice(2026, Saved(QStringLiteral("2026001"), "100,00", QDate(2026, 3, 2)));
    store.SaveInvoice(2026, Saved(QStringLiteral("2026002"), "0,10", QDate(2026, 3, 31)));
    store.SaveInvoice(2026, Saved(QStringLiteral("2026003"), "999,00", QDate(2026, 4, 1)));
    const ScopedToday today(QDate(2026, 4, 10)); // the month before is preselected
    const QString out = pw.folder.file(QStringLiteral("pro účetní"));

    WithModal([&] { ui(*pw.window).Akce_ExportUcetni->trigger(); },
              [&](QWidget* dialog) {
                  QCOMPARE(Control<QComboBox>(dialog, "CBox_Mesic")->currentText(),
                           QStringLiteral("březen"));
                  QVERIFY(Control<QCheckBox>(dialog, "CB_Faktura")->isChecked());
                  QVERIFY(!Control<QCheckBox>(dialog, "CB_Dobropis")->isChecked());
                  Control<QCheckBox>(dialog, "CB_Proforma")->setChecked(true);
                  Control<QLineEdit>(dialog, "Ed_Slozka")->setText(out);
                  QTest::mouseClick(Control<QPushButton>(dialog, "Tl_Ok"), Qt::LeftButton);
              });

    QCOMPARE(QDir(out).entryList(QDir::Files),
             (QStringList{"2026001-proforma.isdoc", "2026001.isdoc", "2026002-proforma.isdoc",
                          "2026002.isdoc", "faktury.csv"}));
    QStringList isdocs;
    for (const QString& name : QDir(out).entryList({QStringLiteral("*.isdoc")}))
        isdocs.append(QDir(out).filePath(name));
    QCOMPARE(SchemaFaults(isdocs), QString());
    const QList<QStringList> csv = CsvRows(ReadFileBytes(QDir(out).filePath("faktury.csv")));
    QCOMPARE(csv.size(), 3);
    QCOMPARE(csv[0][15], QStringLiteral("Celkem"));
    QCOMPARE(csv[1].mid(7, 2), (QStringList{"100,00", "21,00"}));
    QCOMPARE(csv[1][15], QStringLiteral("121,00"));
    QCOMPARE(csv[2][15], QStringLiteral("0,12"));
    QCOMPARE(pw.boxes.shown().size(), 1);
    const QString said = pw.boxes.shown().first().text;
    for (const QString& part : {QStringLiteral("1.3.2026 - 31.3.2026"), QStringLiteral("Faktur: 2"),
                                QStringLiteral("Souborů ISDOC: 4"), QDir::toNativeSeparators(out)})
        QVERIFY2(said.contains(part), qPrintable(said));
}

void ThlavniExportsTest::vatSummaryPrintsAndSavesItsCsv() {
    PrintWindow pw(PayerSettings());
    pw.folder.writeBytes(QStringLiteral("Ses/PrehledDPH.fr3"), "<p>{{Nadpis}}</p>");
    const InvoiceStore store(pw.window->ProgramFolder());
    store.SaveInvoice(2026, Saved(QStringLiteral("2026001"), "8264,46", QDate(2026, 1, 6)));
    store.SaveInvoice(2026, Saved(QStringLiteral("2026002"), "8265,29", QDate(2026, 3, 31)));
    store.SaveInvoice(2026, Saved(QStringLiteral("2026003"), "100,00", QDate(2026, 4, 1)));
    // March's supply invoiced in the next year's period counts in March.
    store.EnsurePeriodFolder(2027);
    store.SaveInvoice(2027, Saved(QStringLiteral("2027001"), "1000,00", QDate(2026, 3, 20)));
    RecordingPrintModule module;
    FileDialogRecorder files;
    const QString csvPath = pw.folder.file(QStringLiteral("dph.csv"));
    files.queueAnswer(csvPath);
    const ScopedToday today(QDate(2026, 4, 10));

    WithModal([&] { ui(*pw.window).Akce_PrehledDPH->trigger(); },
              [&](QWidget* dialog) {
                  QTest::mouseClick(Control<QRadioButton>(dialog, "RB_Ctvrtleti"), Qt::LeftButton);
                  QVERIFY(Control<QComboBox>(dialog, "CBox_Ctvrtleti")->isEnabled());
                  QVERIFY(!Control<QComboBox>(dialog, "CBox_Mesic")->isEnabled());
                  Control<QComboBox>(dialog, "CBox_Ctvrtleti")->setCurrentIndex(0);
                  QTest::mouseClick(Control<QPushButton>(dialog, "Tl_Ok"), Qt::LeftButton);
              });

    QVERIFY2(pw.boxes.shown().isEmpty(), qPrintable(pw.boxes.shown().value(0).text));
    QCOMPARE(files.asked().size(), 1);
    QCOMPARE(files.asked().first().proposed,
             DocumentsFolder() + QStringLiteral("/prehled-dph-2026-01-03.csv"));
    QCOMPARE(module.calls.size(), 1);
    const PrintCall& call = module.calls.first();
    QCOMPARE(call.templatePath, pw.TemplatePath(QStringLiteral("PrehledDPH.fr3")));
    QCOMPARE(call.title, QStringLiteral("Přehled DPH 1.1.2026 - 31.3.2026"));
    // 10 000,00 and 10 001,00 with tax: only the second is listed by itself.
    QCOMPARE(call.rows.size(), 1);
    QCOMPARE(call.cell(0, QStringLiteral("Cislo")), QStringLiteral("2026002"));
    QCOMPARE(call.value(QStringLiteral("Zaklad1")), QStringLiteral("17529,75"));
    QCOMPARE(call.value(QStringLiteral("OstatniPocet")), QStringLiteral("2"));

    const QList<QStringList> csv = CsvRows(ReadFileBytes(csvPath));
    QCOMPARE(csv.size(), 4);
    QCOMPARE(csv[1][4], QStringLiteral("17529,75"));
    QCOMPARE(csv[2].mid(0, 3), (QStringList{"Nad 10 000 Kč", "CZ87654321", "2026002"}));
}

void ThlavniExportsTest::emailHandsPdfAndIsdocToTheMailClient_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<bool>("withIsdoc");
    QTest::newRow("invoice") << "Akce_EmailFaktury01"
                             << "Faktura.fr3"
                             << "Faktura 2026001 – Truhlářství Dvořák s.r.o."
                             << "v příloze Vám posíláme fakturu č. 2026001 na částku 488,00 CZK "
                                "se splatností 20.3.2026."
                             << true;
    QTest::newRow("delivery note") << "Akce_EmailFaktury06"
                                   << "DodaciList.fr3"
                                   << "Dodací list 2026001 – Truhlářství Dvořák s.r.o."
                                   << "v příloze Vám posíláme dodací list č. 2026001." << false;
}

void ThlavniExportsTest::emailHandsPdfAndIsdocToTheMailClient() {
    QFETCH(QString, action);
    QFETCH(QString, templateName);
    QFETCH(QString, subject);
    QFETCH(QString, sentence);
    QFETCH(bool, withIsdoc);
    // The real print module and template in the program folder.
    PrintWindow pw(PayerSettings(), false);
    QVERIFY(QFile::copy(QStringLiteral(PRM1_LIBRARY_PATH), pw.folder.file(PrintModuleFileName())));
    QFile source(TemplatePath(templateName));
    QVERIFY(source.open(QIODevice::ReadOnly));
    pw.folder.writeBytes(QStringLiteral("Ses/") + templateName, source.readAll());
    pw.OpenFilledInvoice();
    // The customer's e-mail, typed into its field, is the recipient.
    ui(*pw.window).Ed_OdberatelEmail->setFocus();
    QTest::keyClicks(ui(*pw.window).Ed_OdberatelEmail, QStringLiteral("objednavky@pekarna.cz"));
    FakeMailClient client(0);

    pw.window->findChild<QAction*>(action)->trigger();
    QTRY_VERIFY(MailClientDone(*pw.window));
    QVERIFY2(pw.boxes.shown().isEmpty(), qPrintable(pw.boxes.shown().value(0).text));

    QStringList args = client.arguments();
    QCOMPARE(args.size(), withIsdoc ? 9 : 7);
    QCOMPARE(args.takeLast(), QStringLiteral("objednavky@pekarna.cz"));
    QCOMPARE(args.mid(0, 3), (QStringList{"--subject", subject, "--body"}));
    QVERIFY2(args[3].contains(sentence), qPrintable(args[3]));
    QCOMPARE(args[3].contains(QStringLiteral("ISDOC")), withIsdoc);
    QCOMPARE(args[4], QStringLiteral("--attach"));
    QVERIFY2(args[5].endsWith(QStringLiteral("-2026001.pdf")), qPrintable(args[5]));
    QVERIFY(ReadFileBytes(args[5]).startsWith("%PDF-"));
    QVERIFY(PdfText(args[5]).contains(QStringLiteral("Pekárna U Mlýna")));
    if (withIsdoc) {
        QCOMPARE(args[6], QStringLiteral("--attach"));
        QVERIFY(args[7].endsWith(QStringLiteral("/Faktura-2026001.isdoc")));
        QCOMPARE(SchemaFaults({args[7]}), QString());
    }
    QDir(QFileInfo(args[5]).absolutePath()).removeRecursively();
}

void ThlavniExportsTest::emailSaysWhyTheMailClientFailed_data() {
    QTest::addColumn<int>("exitCode"); // -1: no xdg-email on PATH
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << -1 << "Program xdg-email nebyl nalezen";
    QTest::newRow("no mail client") << 3 << "Není nastaven žádný poštovní program";
    QTest::newRow("failed")
        << 4 << "Poštovní program se nepodařilo spustit (xdg-email skončil s kódem 4).";
}

void ThlavniExportsTest::emailSaysWhyTheMailClientFailed() {
    QFETCH(int, exitCode);
    QFETCH(QString, reason);
    PrintWindow pw(PayerSettings());
    pw.OpenFilledInvoice();
    RecordingPrintModule module;
    FakeMailClient client(exitCode < 0 ? std::nullopt : std::optional<int>(exitCode));

    ui(*pw.window).Akce_EmailFaktury01->trigger();
    QTRY_VERIFY(MailClientDone(*pw.window) && !pw.boxes.shown().isEmpty());
    QCOMPARE(module.calls.size(), 1);
    QVERIFY(module.calls.first().pdfPath.endsWith(QStringLiteral("/Faktura-2026001.pdf")));
    QCOMPARE(pw.boxes.shown().size(), 1);
    const ShownBox box = pw.boxes.shown().first();
    QCOMPARE(box.kind, BoxKind::Warning);
    QCOMPARE(box.caption, QStringLiteral("Odeslat e-mailem"));
    // The status bar no longer says the e-mail is on its way.
    QVERIFY2(!pw.window->statusBar()->currentMessage().startsWith(QStringLiteral("Předávám")),
             qPrintable(pw.window->statusBar()->currentMessage()));
    if (exitCode >= 0)
        QCOMPARE(pw.window->statusBar()->currentMessage(),
                 QStringLiteral("E-mail se nepodařilo předat poštovnímu programu."));
    QVERIFY2(box.text.startsWith(reason), qPrintable(box.text));
    // The attachments stay where the message says, for attaching them by hand.
    const QString folder = QFileInfo(module.calls.first().pdfPath).absolutePath();
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(folder)), qPrintable(box.text));
    QVERIFY(QFile::exists(folder + QStringLiteral("/Faktura-2026001.isdoc")));
    QDir(folder).removeRecursively();
}

QTEST_MAIN(ThlavniExportsTest)
#include "thlavni_exports_test.moc"
