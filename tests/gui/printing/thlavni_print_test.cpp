// Printing from the main window, offscreen, with the print module replaced by a recorder: what
// each print action hands over, the missing-template message, the overview and the cash receipt.
#include "print_window.h"
#include "recording_print_module.h"
#include "text/codec.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QSet>
#include <QTest>

using namespace tarvela;
using namespace tarvela::test;

namespace {

const QStringList kInvoiceVariableNames = {"Nazev1",
                                           "Nazev2",
                                           "DodavNazev",
                                           "DodavJmeno",
                                           "DodavUlice",
                                           "DodavMesto",
                                           "DodavIC",
                                           "DodavDIC",
                                           "DodavRegistrace",
                                           "DodavBanka",
                                           "DodavUcet",
                                           "DodavIBAN",
                                           "DodavBIC",
                                           "DodavTel",
                                           "DodavFax",
                                           "DodavEmail",
                                           "DodavWWW",
                                           "DodavOsoba",
                                           "OdberatelKod",
                                           "OdberatelNazev1",
                                           "OdberatelNazev2",
                                           "OdberatelOdpovedOsoba",
                                           "OdberatelUliceCislo",
                                           "OdberatelPSC",
                                           "OdberatelMesto",
                                           "OdberatelIC",
                                           "OdberatelDIC",
                                           "CisloDokladu",
                                           "Symbol",
                                           "Objednavka",
                                           "Prijemce",
                                           "MistoVyskladneni",
                                           "FormaUhrady",
                                           "DatumPlneni",
                                           "DatumVystaveni",
                                           "DatumSplatnosti",
                                           "Mena",
                                           "Prijem",
                                           "Castka",
                                           "CastkaSlovy",
                                           "UcelPlatby",
                                           "JmenoPlatce",
                                           "PopiskaSymbol",
                                           "PlatceDPH",
                                           "SazbaDPH1",
                                           "SazbaDPH2",
                                           "SazbaDPH3",
                                           "CelkemBezDPH",
                                           "CelkemDPH1",
                                           "CelkemDPH2",
                                           "CelkemDPH3",
                                           "Uhrnem",
                                           "Komentar1",
                                           "Komentar2",
                                           "QRCode"};

QAction* ActionNamed(THlavni& w, const QString& name) {
    for (QAction* action : THlavniTestAccess::Actions(w)) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

QByteArray InvoiceFileBytes(const QList<QPair<int, QString>>& lines) {
    QStringList all;
    for (int n = 1; n <= 49; ++n)
        all.append(n >= 19 && n <= 43 ? QStringLiteral("||||||") : QString());
    for (const auto& line : lines)
        all[line.first - 1] = line.second;
    return EncodeCp1250(all.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

} // namespace

class ThlavniPrintTest : public QObject {
    Q_OBJECT
private slots:
    void invoiceDocuments_data();
    void invoiceDocuments();
    void everyFieldReachesItsVariable();
    void itemRowsOfAnInvoiceAndOfTheReceipt();
    void missingTemplate_data();
    void missingTemplate();
    void moduleFailureGoesToTheErrorBox();
    void documentKindIsTheActionsOwnNotItsName();
    void cashReceipt();
    void creditNoteNeedsItsReferenceAndAsksAboutAPositiveTotal();
    void overviewOfAnEmptyPeriodCreatesItsFolder();
    void overviewOfAPeriod();
};

void ThlavniPrintTest::invoiceDocuments_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("payer");
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("fileName"); // proposed by "Uložit jako PDF"
    QTest::addColumn<QString>("qrReason"); // the preview's line on the missing payment code

    QTest::addColumn<QString>("iban"); // the supplier's IBAN ("" the fixture's valid one)
    QTest::newRow("1 payer") << "Akce_TiskFaktury01" << true << "Faktura.fr3"
                             << "FAKTURA - DAŇOVÝ DOKLAD"
                             << "Číslo faktury:" << 25 << ""
                             << "Faktura 2026001"
                             << ""
                             << "";
    QTest::newRow("1 non-payer") << "Akce_TiskFaktury01" << false << "Faktura.fr3"
                                 << "FAKTURA"
                                 << "Číslo faktury:" << 25 << ""
                                 << "Faktura 2026001"
                                 << ""
                                 << "";
    QTest::newRow("2") << "Akce_TiskFaktury02" << false << "Faktura.fr3"
                       << "PROFORMA FAKTURA"
                       << "Číslo faktury:" << 25 << ""
                       << "Proforma faktura 2026001"
                       << ""
                       << "";
    QTest::newRow("3") << "Akce_TiskFaktury03" << true << "Faktura.fr3"
                       << "DAŇOVÝ DOKLAD"
                       << "Číslo dokladu:" << 25 << ""
                       << "Daňový doklad 2026001"
                       << "QR Platba není: daňový doklad k přijaté platbě k platbě nevyzývá."
                       << "";
    QTest::newRow("4") << "Akce_TiskFaktury04" << false << "Faktura.fr3"
                       << "DOBROPIS"
                       << "Číslo dokladu:" << 25 << ""
                       << "Dobropis 2026001"
                       << ""
                       << "";
    QTest::newRow("6") << "Akce_TiskFaktury06" << true << "DodaciList.fr3"
                       << "DODACÍ LIST"
                       << "Číslo dodacího listu:" << 25 << ""
                       << "Dodací list 2026001"
                       << "QR Platba není: dodací list k platbě nevyzývá."
                       << "";
    QTest::newRow("10") << "Akce_TiskFaktury10" << false << "CenovaNabidka.fr3"
                        << "CENOVÁ NABÍDKA"
                        << "Kód nabídky:" << 25 << ""
                        << "Cenová nabídka 2026001"
                        << ""
                        << "";
    QTest::newRow("20") << "Akce_TiskFaktury20" << true << "PrijmovyDoklad2.fr3"
                        << "Příjmový doklad"
                        << "Číslo dokladu:" << 2 << "=čtyřistaosmdesátosm korun="
                        << "Příjmový doklad 2026001"
                        << ""
                        << "";
    QTest::newRow("1 payer, IBAN with a wrong check")
        << "Akce_TiskFaktury01" << true << "Faktura.fr3"
        << "FAKTURA - DAŇOVÝ DOKLAD"
        << "Číslo faktury:" << 25 << ""
        << "Faktura 2026001"
        << "QR Platba není: IBAN dodavatele „CZ65 0800 0000 1920 0014 5398“ není platný."
        << "CZ65 0800 0000 1920 0014 5398";
    QTest::newRow("1 payer, no IBAN") << "Akce_TiskFaktury01" << true << "Faktura.fr3"
                                      << "FAKTURA - DAŇOVÝ DOKLAD"
                                      << "Číslo faktury:" << 25 << ""
                                      << "Faktura 2026001"
                                      << "QR Platba není: v nastavení chybí IBAN dodavatele."
                                      << " ";
}

void ThlavniPrintTest::invoiceDocuments() {
    QFETCH(QString, action);
    QFETCH(bool, payer);
    QFETCH(QString, templateName);
    QFETCH(QString, title);
    QFETCH(QString, label);
    QFETCH(int, rows);
    QFETCH(QString, words);
    QFETCH(QString, fileName);
    QFETCH(QString, qrReason);
    QFETCH(QString, iban);

    AppSettings settings = PayerSettings();
    settings.Platce = payer;
    if (!iban.isEmpty())
        settings.Dodavatel.IBAN = iban;
    PrintWindow pw(settings);
    pw.OpenFilledInvoice();
    RecordingPrintModule module;
    // A credit note names what it corrects; with the filled invoice's positive total it asks
    // first (creditNoteNeedsItsReferenceAndAsksAboutAPositiveTotal), answered Ano here.
    const bool creditNote = action == QLatin1String("Akce_TiskFaktury04");
    if (creditNote) {
        ui(*pw.window).Ed_OpravovanyDoklad->setText(QStringLiteral("2026001"));
        ui(*pw.window).Ed_DuvodOpravy->setText(QStringLiteral("Sleva"));
        pw.boxes.queueAnswer(true);
    }

    QAction* akce = ActionNamed(*pw.window, action);
    QVERIFY(akce);
    QVERIFY(akce->isEnabled());
    akce->trigger();

    QCOMPARE(pw.boxes.shown().size(), creditNote ? 1 : 0);
    QCOMPARE(module.calls.size(), 1);
    const PrintCall& call = module.calls.first();
    QVERIFY(call.withRows);
    QCOMPARE(call.programFolder, pw.window->ProgramFolder());
    QCOMPARE(call.templatePath, pw.TemplatePath(templateName));
    // The preview's title names the document and its number, so that the proposed file name does.
    QCOMPARE(call.title, title + QStringLiteral(" č. 2026001"));
    QCOMPARE(call.value("Nazev1"), title);
    QCOMPARE(call.value("Nazev2"), label);
    QCOMPARE(call.value("PlatceDPH"), payer ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(call.value("CastkaSlovy"), words);
    QCOMPARE(call.value("NazevSouboru"), fileName);
    QCOMPARE(call.value("QRDuvod"), qrReason);
    QCOMPARE(call.value("QRCode").isEmpty(), !qrReason.isEmpty());
    // Every variable the templates knew is there, once; the newer ones follow.
    const QStringList names = call.names();
    QCOMPARE(names.mid(0, kInvoiceVariableNames.size()), kInvoiceVariableNames);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    QVERIFY(call.dataSetOpen);
    QCOMPARE(call.columns.size(), 8);
    QCOMPARE(call.rows.size(), rows);
}

// Every field is typed with its own text; the variables carry exactly what the window shows,
// unsaved, and printing neither writes a file nor changes the window.
void ThlavniPrintTest::everyFieldReachesItsVariable() {
    PrintWindow pw(PayerSettings());
    pw.OpenFilledInvoice();
    RecordingPrintModule module;
    const QString numberBefore = ui(*pw.window).Ed_Fa1->text();
    QVERIFY(pw.window->IsModified());

    ui(*pw.window).Akce_TiskFaktury20->trigger();
    QCOMPARE(module.calls.size(), 1);
    const PrintCall& call = module.calls.first();

    const QList<QPair<QString, QString>> expected = {
        {"CisloDokladu", "2026001"},
        {"Symbol", "2026042"},
        {"Objednavka", "OBJ-7"},
        {"Prijemce", "Sklad Vyškov"},
        {"MistoVyskladneni", "Brno-jih"},
        {"FormaUhrady", "Hotově"},
        {"FormaUhradyKod", "H"},
        {"DatumPlneni", "5.3.2026"},
        {"DatumVystaveni", "6.3.2026"},
        {"DatumSplatnosti", "20.3.2026"},
        {"Mena", "CZK"},
        {"OdberatelKod", "K7"},
        {"OdberatelNazev1", "Pekárna U Mlýna"},
        {"OdberatelNazev2", "provoz 2"},
        {"OdberatelOdpovedOsoba", "Petr Novák"},
        {"OdberatelUliceCislo", "Mlýnská 5"},
        {"OdberatelPSC", "62800"},
        {"OdberatelMesto", "Brno"},
        {"OdberatelIC", "87654321"},
        {"OdberatelDIC", "CZ87654321"},
        {"Prijem", "Petr Novák"},
        {"JmenoPlatce", "Petr Novák"},
        {"Castka", "488,00"},
        {"Uhrnem", "488,00"},
        {"CastkaSlovy", "=čtyřistaosmdesátosm korun="},
        {"UcelPlatby", "Úhrada faktury 2026001"},
        {"PopiskaSymbol", "Variabilní symbol:"},
        {"CelkemBezDPH", "425,00"},
        {"CelkemDPH1", "63,00"},
        {"CelkemDPH2", "0,00"},
        {"CelkemDPH3", "0,00"},
        {"Komentar1", "Děkujeme."},
        {"Komentar2", "Zboží zůstává majetkem dodavatele."},
        {"DodavNazev", "Truhlářství Dvořák s.r.o."},
        {"DodavIBAN", "CZ65 0800 0000 1920 0014 5399"},
        {"DodavOsoba", "Jana Dvořáková"},
        {"QRCode", "SPD*1.0*ACC:CZ6508000000192000145399*AM:488.00*CC:CZK*X-VS:2026042"
                   "*MSG:ZALOHA"},
    };
    for (const auto& pair : expected)
        QCOMPARE(call.value(pair.first), pair.second);

    // The responsible person cleared: the customer's name 1 pays.
    ui(*pw.window).Ed_Od4->setText(QStringLiteral("   "));
    ui(*pw.window).Akce_TiskFaktury01->trigger();
    QCOMPARE(module.calls.size(), 2);
    QCOMPARE(module.calls[1].value("Prijem"), QStringLiteral("Pekárna U Mlýna"));
    QCOMPARE(module.calls[1].value("JmenoPlatce"), QStringLiteral("Pekárna U Mlýna"));

    QVERIFY(pw.PeriodFiles(2026).isEmpty());
    QVERIFY(pw.window->IsModified());
    QCOMPARE(ui(*pw.window).Ed_Fa1->text(), numberBefore);
    QCOMPARE(ui(*pw.window).La_CelkemFaktura->text(), QStringLiteral("488,00"));
    QCOMPARE(editor(*pw.window).Cell(2, 1), QStringLiteral("Oprava stolu"));
}

void ThlavniPrintTest::itemRowsOfAnInvoiceAndOfTheReceipt() {
    PrintWindow pw(PayerSettings());
    pw.OpenFilledInvoice();
    RecordingPrintModule module;

    ui(*pw.window).Akce_TiskFaktury01->trigger();
    ui(*pw.window).Akce_TiskFaktury20->trigger();
    QCOMPARE(module.calls.size(), 2);

    QList<QStringList> invoiceRows = {
        {"1", "A1", "Oprava stolu", "ks", "2", "150,00", "21", "300,00"},
        {"2", "", "", "", "", "", "", ""}, // the QR code's message, no item
        {"3", "", "", "", "", "", "", ""},
        {"4", "", "Doprava", "km", "10", "12,50", "0", "125,00"}};
    for (int id = 5; id <= 25; ++id)
        invoiceRows.append({QString::number(id), "", "", "", "", "", "", ""});
    QCOMPARE(module.calls[0].rows, invoiceRows);

    const QList<QStringList> receiptRows = {invoiceRows[0], invoiceRows[3]};
    QCOMPARE(module.calls[1].rows, receiptRows);
}

void ThlavniPrintTest::missingTemplate_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("templateName");
    QTest::newRow("invoice") << "Akce_TiskFaktury01"
                             << "Faktura.fr3";
    QTest::newRow("delivery note") << "Akce_TiskFaktury06"
                                   << "DodaciList.fr3";
    QTest::newRow("price offer") << "Akce_TiskFaktury10"
                                 << "CenovaNabidka.fr3";
    QTest::newRow("receipt with items") << "Akce_TiskFaktury20"
                                        << "PrijmovyDoklad2.fr3";
    QTest::newRow("cash receipt") << "Akce_SestavaPrijmovyDoklad"
                                  << "PrijmovyDoklad.fr3";
    QTest::newRow("overview") << "Akce_SestavaPrehled"
                              << "PrehledFaktur.fr3";
}

void ThlavniPrintTest::missingTemplate() {
    QFETCH(QString, action);
    QFETCH(QString, templateName);
    PrintWindow pw(PayerSettings(), false);
    pw.OpenFilledInvoice();
    RecordingPrintModule module;

    ActionNamed(*pw.window, action)->trigger();
    QCOMPARE(module.calls.size(), 0);
    const QList<ShownBox> expected = {{BoxKind::Info, QStringLiteral("Tarvela"),
                                       QStringLiteral("Nebyl nalezen soubor předlohy \"") +
                                           pw.TemplatePath(templateName) + QStringLiteral("\".")}};
    QCOMPARE(pw.boxes.shown(), expected);
}

void ThlavniPrintTest::moduleFailureGoesToTheErrorBox() {
    PrintWindow pw(PayerSettings());
    pw.OpenFilledInvoice();
    RecordingPrintModule module;
    module.failWith = QStringLiteral("Nelze načíst DLL!");

    ui(*pw.window).Akce_TiskFaktury01->trigger();
    ui(*pw.window).Akce_SestavaPrijmovyDoklad->trigger();
    QCOMPARE(module.calls.size(), 2);
    QCOMPARE(pw.boxes.shown().size(), 2);
    for (const ShownBox& box : pw.boxes.shown()) {
        QCOMPARE(box.kind, BoxKind::Error);
        QCOMPARE(box.text, QStringLiteral("Nelze načíst DLL!"));
    }
    // Nothing of the window changed; the next print works.
    module.failWith.reset();
    ui(*pw.window).Akce_TiskFaktury02->trigger();
    QCOMPARE(module.calls.size(), 3);
    QCOMPARE(module.calls[2].rows.size(), 25);
    QCOMPARE(ui(*pw.window).Ed_Od2->text(), QStringLiteral("Pekárna U Mlýna"));
}

// An action prints the kind it carries, whatever its name says.
void ThlavniPrintTest::documentKindIsTheActionsOwnNotItsName() {
    PrintWindow pw(PayerSettings());
    pw.OpenFilledInvoice();
    RecordingPrintModule module;
    QAction* deliveryNote = ui(*pw.window).Akce_TiskFaktury06;
    deliveryNote->setObjectName(QStringLiteral("Akce_TiskFaktury01"));
    deliveryNote->trigger();
    QCOMPARE(pw.boxes.shown().size(), 0);
    QCOMPARE(module.calls.size(), 1);
    QCOMPARE(module.calls.first().templatePath, pw.TemplatePath(QStringLiteral("DodaciList.fr3")));
    QCOMPARE(module.calls.first().value("Nazev1"), QStringLiteral("DODACÍ LIST"));
}

void ThlavniPrintTest::cashReceipt() {
    PrintWindow pw(PayerSettings());
    pw.OpenFilledInvoice();
    RecordingPrintModule module;

    QVERIFY(ui(*pw.window).Akce_SestavaPrijmovyDoklad->isEnabled());
    ui(*pw.window).Akce_SestavaPrijmovyDoklad->trigger();
    QCOMPARE(module.calls.size(), 1);
    const PrintCall& call = module.calls.first();
    QVERIFY(!call.withRows);
    QCOMPARE(call.templatePath, pw.TemplatePath("PrijmovyDoklad.fr3"));
    // The footer and the proposed file name carry the number; the name differs from the
    // receipt with items.
    QCOMPARE(call.title, QStringLiteral("Příjmový doklad č. 2026001"));
    QCOMPARE(call.value("NazevSouboru"), QStringLiteral("Pokladní doklad 2026001"));
    // The receipt's own pairs first, then the tax pairs of a payer's simplified tax document.
    QVERIFY2(call.variables.startsWith(
                 QStringLiteral("DodavJmeno|Jan Dvořák|DodavNazev|Truhlářství Dvořák s.r.o."
                                "|DodavUlice|Lipová 12|DodavMesto|602 00 Brno"
                                "|DodavEmail|dvorak@example.cz|DodavTel|Tel: +420 777 123 456"
                                "|DodavIC|IČ: 12345678|DodavDIC|DIČ: CZ12345678"
                                "|CisloDokladu|2026001|Datum|6.3.2026|Mena|CZK|Prijem|Petr Novák"
                                "|Castka|488,00|CastkaSlovy|=čtyřistaosmdesátosm korun="
                                "|UcelPlatby|Úhrada faktury 2026001|Symbol|2026042"
                                "|Pokladnik|Jana Dvořáková|JmenoPlatce|Petr Novák|")),
             qPrintable(call.variables));
    for (const char* pair :
         {"|Podtitul|Zjednodušený daňový doklad|", "|PopiskaCelkem|Přijato|",
          "|RekapSazba1|21|RekapZaklad1|300,00|RekapDPH1|63,00|",
          "|RekapSazba2|0|RekapZaklad2|125,00|RekapDPH2|0,00|", "|CelkemDPH|63,00|"})
        QVERIFY2(call.variables.contains(QString::fromUtf8(pair)), pair);

    // Only for cash payment.
    ui(*pw.window).CBox_Fa6->setCurrentText(QStringLiteral("PP"));
    QVERIFY(!ui(*pw.window).Akce_SestavaPrijmovyDoklad->isEnabled());
    QVERIFY(!ui(*pw.window).Akce_TiskFaktury20->isEnabled());
    ui(*pw.window).Akce_SestavaPrijmovyDoklad->trigger();
    QCOMPARE(module.calls.size(), 1);
}

// Typed as a user would: the credit note is refused until it names the corrected document and
// the reason, then asks before printing a positive total (Ne prints nothing), and prints a
// negative one without asking.
void ThlavniPrintTest::creditNoteNeedsItsReferenceAndAsksAboutAPositiveTotal() {
    PrintWindow pw(PayerSettings());
    pw.OpenFilledInvoice(QStringLiteral("PP"));
    RecordingPrintModule module;
    QAction* dobropis = ui(*pw.window).Akce_TiskFaktury04;

    dobropis->trigger();
    QCOMPARE(module.calls.size(), 0);
    QCOMPARE(pw.boxes.shown().size(), 1);
    QCOMPARE(pw.boxes.shown()[0].kind, BoxKind::Error);
    QCOMPARE(pw.boxes.shown()[0].text,
             QStringLiteral("Dobropis nelze vytisknout, na první straně faktury chybí: "
                            "opravovaný doklad, důvod opravy."));

    for (QLineEdit* field : {ui(*pw.window).Ed_OpravovanyDoklad, ui(*pw.window).Ed_DuvodOpravy}) {
        field->setFocus();
        QTest::keyClicks(field, field == ui(*pw.window).Ed_OpravovanyDoklad
                                    ? QStringLiteral("2026001")
                                    : QStringLiteral("Oprava ceny"));
    }
    dobropis->trigger(); // asked, answered Ne (the default)
    QCOMPARE(module.calls.size(), 0);
    QCOMPARE(pw.boxes.shown().size(), 2);
    QCOMPARE(pw.boxes.shown()[1].kind, BoxKind::YesNo);
    QVERIFY2(pw.boxes.shown()[1].text.contains(QStringLiteral("kladnou celkovou částku 488,00")),
             qPrintable(pw.boxes.shown()[1].text));

    pw.boxes.queueAnswer(true);
    dobropis->trigger();
    QCOMPARE(module.calls.size(), 1);
    QCOMPARE(module.calls[0].value("OpravovanyDoklad"), QStringLiteral("2026001"));
    QCOMPARE(module.calls[0].value("DuvodOpravy"), QStringLiteral("Oprava ceny"));

    // Rows returned: a negative total is what a credit note is for.
    editor(*pw.window).SetCurrentRow(3);
    pw.SetRow(1, {"A1", "Oprava stolu", "ks", "-2", "150,00", "21"});
    pw.SetRow(4, {"", "Doprava", "km", "-10", "12,50", "0"});
    editor(*pw.window).SetCurrentRow(3); // leaving the row recomputes it
    dobropis->trigger();
    QCOMPARE(pw.boxes.shown().size(), 3); // the error and the two questions above
    QCOMPARE(module.calls.size(), 2);
    QCOMPARE(module.calls[1].value("PopiskaCelkem"), QStringLiteral("K vrácení"));
    QCOMPARE(module.calls[1].value("CastkaKUhrade"), QStringLiteral("488,00"));
}

void ThlavniPrintTest::overviewOfAnEmptyPeriodCreatesItsFolder() {
    AppSettings settings = PayerSettings();
    settings.AktualniRok = 2031;
    PrintWindow pw(settings);
    QVERIFY(QDir(pw.folder.file("2031")).removeRecursively());
    RecordingPrintModule module;

    ui(*pw.window).Akce_SestavaPrehled->trigger();
    QCOMPARE(module.calls.size(), 0);
    QVERIFY(QFileInfo(pw.folder.file("2031")).isDir());
    const QList<ShownBox> expected = {{BoxKind::Info, QStringLiteral("Tarvela"),
                                       QStringLiteral("Není nalezena žádná faktura ...")}};
    QCOMPARE(pw.boxes.shown(), expected);
}

void ThlavniPrintTest::overviewOfAPeriod() {
    AppSettings settings = PayerSettings();
    settings.VychoziMena = QStringLiteral("CZK");
    PrintWindow pw(settings);
    pw.folder.writeBytes("2026/2026002.tvl", InvoiceFileBytes({{1, "2026002"},
                                                               {7, "2.2.2026"},
                                                               {9, "16.2.2026"},
                                                               {11, "Hotel Šumava"},
                                                               {46, "2 420,50"},
                                                               {47, "10.2.2026"},
                                                               {48, "EUR"},
                                                               {49, "2.400"}}));
    pw.folder.writeBytes("2026/2026001.TVL", InvoiceFileBytes({{1, "2026001"},
                                                               {7, "5.1.2026"},
                                                               {9, "19.1.2026"},
                                                               {11, "Obec Lipová"},
                                                               {46, "1210,00"},
                                                               {47, ""},
                                                               {48, "CZK"}}));
    pw.folder.writeBytes("2026/2026003.tvl1", InvoiceFileBytes({{1, "2026003"}}));
    RecordingPrintModule module;

    // Available without an open invoice.
    QVERIFY(!pw.window->InvoiceOpen());
    ui(*pw.window).Akce_SestavaPrehled->trigger();
    QCOMPARE(pw.boxes.shown().size(), 0);
    QCOMPARE(module.calls.size(), 1);
    const PrintCall& call = module.calls.first();
    QVERIFY(call.withRows);
    QVERIFY(call.dataSetOpen);
    QCOMPARE(call.templatePath, pw.TemplatePath("PrehledFaktur.fr3"));
    QCOMPARE(call.title, QStringLiteral("Evidence odeslaných faktur - rok 2026"));
    QCOMPARE(call.variables,
             QStringLiteral("Nadpis|Evidence odeslaných faktur - rok 2026|VychoziMena|CZK"
                            "|NazevSouboru|Evidence odeslaných faktur 2026"
                            "|SoucetCastka|1210,00|SoucetJinaMena|2420,50 EUR"
                            "|SoucetUhrazeno|2400,00 EUR"));
    const QList<QStringList> rows = {{"1", "2026001", "Obec Lipová", "1210", "0", "5.1.2026",
                                      "19.1.2026", "", "0", "CZK", "1210,00", "", ""},
                                     {"2", "2026002", "Hotel Šumava", "0", "2420", "2.2.2026",
                                      "16.2.2026", "10.2.2026", "2400", "EUR", "", "2420,50",
                                      "2400,00"}};
    QCOMPARE(call.rows, rows);
}

QTEST_MAIN(ThlavniPrintTest)
#include "thlavni_print_test.moc"
