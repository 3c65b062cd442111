// End to end: the main window prints through the real print module (the build's libPRM1.so,
// its render-to-PDF entry point) and the PDF's text is read back with pdftotext. One document of
// each family: an invoice with items, the period overview and the cash receipt.
#include "pdf_print_module.h"
#include "print_window.h"
#include "printing/module_data_set.h"
#include "printing/print_module.h"
#include "printing/report_data_set.h"
#include "printmodule/prm1_test_support.h"
#include "text/codec.h"

#include <QAction>
#include <QFile>
#include <QTest>

#include <utility>

using namespace tarvela;
using namespace tarvela::test;

namespace {

// A window whose program folder holds the real report templates.
struct RealTemplatesWindow : PrintWindow {
    RealTemplatesWindow() : PrintWindow(PayerSettings(), false) {
        for (const QString& name : kAllTemplates) {
            QFile source(tarvela::test::TemplatePath(name)); // the build's templates
            if (source.open(QIODevice::ReadOnly))
                folder.writeBytes(QStringLiteral("Ses/") + name, source.readAll());
        }
    }
    QString Pdf() const { return folder.file(QStringLiteral("report.pdf")); }
};

// The texts of the boxes shown, for a failure message.
QString ShownTexts(const MessageBoxRecorder& boxes) {
    QStringList texts;
    for (const ShownBox& box : boxes.shown())
        texts.append(box.text);
    return texts.join(QLatin1Char('\n'));
}

// Text with runs of white space made single spaces, so words split over columns still match.
QString Simplified(const QString& text) {
    return text.simplified();
}

} // namespace

class ThlavniPrintPdfTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void invoiceToPdf();
    void overviewToPdf();
    void cashReceiptToPdf();
};

void ThlavniPrintPdfTest::initTestCase() {
    LoadedModule module;
    QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
}

void ThlavniPrintPdfTest::invoiceToPdf() {
    RealTemplatesWindow pw;
    pw.OpenFilledInvoice();
    PdfPrintModule module(pw.Pdf());

    ui(*pw.window).Akce_TiskFaktury01->trigger();
    QVERIFY2(pw.boxes.shown().isEmpty(), qPrintable(ShownTexts(pw.boxes)));
    QCOMPARE(module.calls, 1);
    QVERIFY2(module.result >= 1, qPrintable(module.message));

    const QString text = Simplified(PdfText(pw.Pdf()));
    for (const char* expected :
         {"FAKTURA - DAŇOVÝ DOKLAD", "2026001", "Truhlářství Dvořák s.r.o.", "Pekárna U Mlýna",
          "Oprava stolu", "Doprava", "300,00", "125,00", "488,00", "5.3.2026", "Sklad Vyškov",
          "Zboží zůstává majetkem dodavatele."})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    // The "msg" row is the QR code's message to the payee, not an item: it is not printed.
    QVERIFY2(!text.contains(QStringLiteral("Záloha")), qPrintable(text));

    const QStringList codes = DecodeQrCodes(pw.Pdf(), 1);
    QVERIFY2(codes.contains(QStringLiteral("SPD*1.0*ACC:CZ6508000000192000145399*AM:488.00"
                                           "*CC:CZK*X-VS:2026042*MSG:ZALOHA")),
             qPrintable(codes.join(QLatin1Char('\n'))));
}

void ThlavniPrintPdfTest::overviewToPdf() {
    RealTemplatesWindow pw;
    pw.folder.writeBytes("2026/2026001.tvl",
                         EncodeCp1250(QStringLiteral("2026001\r\n\r\n\r\n\r\n\r\nPP\r\n5.1.2026\r\n"
                                                     "5.1.2026\r\n19.1.2026\r\nK1\r\n"
                                                     "Obec Lipová\r\n")
                                          .append(QStringLiteral("\r\n").repeated(7))
                                          .append(QStringLiteral("||||||\r\n").repeated(25))
                                          .append(QStringLiteral("\r\n\r\n1210,00\r\n"
                                                                 "20.1.2026\r\nCZK\r\n\r\n"))));
    pw.folder.writeBytes("2026/2026002.tvl", EncodeCp1250(QStringLiteral("2026002\r\n")));
    PdfPrintModule module(pw.Pdf());

    ui(*pw.window).Akce_SestavaPrehled->trigger();
    QVERIFY2(pw.boxes.shown().isEmpty(), qPrintable(ShownTexts(pw.boxes)));
    QCOMPARE(module.calls, 1);
    QVERIFY2(module.result >= 1, qPrintable(module.message));

    const QString text = Simplified(PdfText(pw.Pdf()));
    for (const char* expected : {"Evidence odeslaných faktur - rok 2026", "2026001", "Obec Lipová",
                                 "1210", "19.1.2026", "20.1.2026", "2026002"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
}

void ThlavniPrintPdfTest::cashReceiptToPdf() {
    RealTemplatesWindow pw;
    pw.OpenFilledInvoice();
    PdfPrintModule module(pw.Pdf());

    ui(*pw.window).Akce_SestavaPrijmovyDoklad->trigger();
    QVERIFY2(pw.boxes.shown().isEmpty(), qPrintable(ShownTexts(pw.boxes)));
    QCOMPARE(module.calls, 1);
    QVERIFY2(module.result >= 1, qPrintable(module.message));

    const QString text = Simplified(PdfText(pw.Pdf()));
    for (const char* expected : {"2026001", "Petr Novák", "488,00", "=čtyřistaosmdesátosm korun=",
                                 "Úhrada faktury 2026001", "Jana Dvořáková",
                                 "Tel: +420 777 123 456", "IČ: 12345678", "6.3.2026"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
}

QTEST_MAIN(ThlavniPrintPdfTest)
#include "thlavni_print_pdf_test.moc"
