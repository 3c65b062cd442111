// The pages as a reader sees them: rendered PDFs of one to three pages read back with poppler's
// word boxes and pixels. No table row is cut by a page break or printed twice, the signature
// block stays whole, the QR code has its frame, no caption wraps. And templates beyond the
// bounds of a layout end with a message naming the template.
#include "printmodule/prm1_test_support.h"
#include "support/test_support.h"
#include "text/codec.h"

#include "module_text.h"
#include "report_data.h"
#include "report_layout.h"
#include "template_render.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

#include <sys/stat.h>

using namespace tarvela::test;
using tarvela::prm1::LayoutPath;
using tarvela::prm1::RenderedReport;

namespace {

using Pairs = QList<QPair<QString, QString>>;

struct Word {
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0; // points
    QString text;
};

// Every word of the PDF with its page and box (pdftotext -bbox).
QList<Word> Words(const QString& pdf) {
    QProcess process;
    process.start("pdftotext", {"-bbox", pdf, "-"});
    process.waitForFinished(60000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    QList<Word> words;
    int page = 0;
    const QRegularExpression re(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith("<page")) {
            ++page;
            continue;
        }
        words.append({page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                      m.captured(3).toDouble(), m.captured(4).toDouble(),
                      m.captured(5).replace("&amp;", "&")});
    }
    return words;
}

QList<Word> Matching(const QList<Word>& words, const QString& text) {
    QList<Word> found;
    for (const Word& w : words)
        if (w.text == text)
            found.append(w);
    return found;
}

Pairs With(Pairs pairs, const QString& name, const QString& value) {
    for (auto& pair : pairs)
        if (pair.first == name)
            pair.second = value;
    return pairs;
}

// Item rows whose description takes two or three lines; each row's code and the last word of its
// description are unique ("R07" ... "konec07").
void FillLongItems(CDataSet& set, int rows) {
    set.addColumn("Id", PRM1_COLUMN_AUTOINC);
    for (const char* name : {"Kod", "Dodavka", "MJ", "PocetMJ", "Cena", "DPH", "Zaklad"})
        set.addColumn(name, PRM1_COLUMN_TEXT, 255);
    for (int r = 1; r <= rows; ++r) {
        const QString n = QString("%1").arg(r, 2, 10, QChar('0'));
        QString text = "Truhlářské práce na zakázku podle výkresu a dohody s odběratelem";
        for (int extra = 0; extra < r % 3; ++extra)
            text += ", včetně dopravy, montáže a úklidu na místě stavby";
        set.addRow({QString::number(r), "R" + n, text + " konec" + n, "ks", "1", "100,00", "21",
                    "100,00"});
    }
}

// The overview of a period whose rows are one line each (short names), so that a page break
// can never fall inside a row whichever way the pages are cut.
void FillShortOverview(CDataSet& set, int invoices) {
    set.addColumn("Id", PRM1_COLUMN_AUTOINC);
    for (const char* name :
         {"Cislo", "Odberatel", "DatumVystaveni", "DatumSplatnosti", "DatumUhrady", "Mena",
          "CastkaPresne", "CastkaJinaMenaPresne", "UhrazenoPresne"})
        set.addColumn(name, PRM1_COLUMN_TEXT, 100);
    for (int i = 1; i <= invoices; ++i) {
        const bool paid = i % 2 == 1;
        const QString amount = QString::number(1000 + 37 * i) + ",50";
        set.addRow({QString::number(i), QString("2026%1").arg(i, 3, 10, QChar('0')),
                    i % 3 ? "Pekárna" : "Šťastný", QString("%1.1.2026").arg(1 + i % 28),
                    QString("%1.2.2026").arg(1 + i % 28), paid ? "3.3.2026" : "", "CZK", amount, "",
                    paid ? amount : ""});
    }
}

// The pages as Qt's own pagination cuts the same HTML: laid out with the page height, each page
// drawn through a clip (no footer).
void ReferencePdf(const QString& html, const QString& path) {
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    const double mm = 600 / 25.4;
    const QRectF body(15 * mm, 12 * mm, 180 * mm, 269 * mm);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setUseDesignMetrics(true);
    document.setDocumentMargin(0);
    QFont font;
    font.setFamilies({"DejaVu Sans", "Liberation Sans", "Arial"});
    font.setPointSizeF(9.0);
    document.setDefaultFont(font);
    document.setPageSize(body.size());
    document.setHtml(html);
    QPainter painter(&writer);
    for (int page = 0; page < document.pageCount(); ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.translate(body.left(), body.top() - page * body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * body.height(), body.width(), body.height());
        painter.setClipRect(context.clip);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
}

// The overview of a period as the program hands it over: `rows` invoices, every `euroEvery`-th in
// euros, every `unpaidEvery`-th unpaid, customers' names long enough to wrap when `longNames`.
RenderedReport OverviewReport(int rows, bool longNames, int euroEvery, int unpaidEvery) {
    using namespace tarvela::prm1;
    ReportTable table;
    for (const char* name :
         {"Id", "Cislo", "Odberatel", "DatumVystaveni", "DatumSplatnosti", "DatumUhrady", "Mena",
          "CastkaPresne", "CastkaJinaMenaPresne", "UhrazenoPresne"})
        table.columns.append({QString::fromLatin1(name), PRM1_COLUMN_TEXT, 0});
    const QStringList names = {"Penzion U Zeleného stromu", "Řeznictví Šťastný a syn",
                               "Pekárna U Mlýna s.r.o.", "Ing. Hana Dvořáková"};
    for (int i = 1; i <= rows; ++i) {
        QString name = names.at(i % names.size());
        if (longNames && i % 3 != 1)
            name += QString(" – pobočka číslo %1 v ulici Na Dlouhé mezi %2")
                        .arg(i)
                        .arg(QString(" a ").repeated(i % 4) + "Nádražím");
        const bool euro = euroEvery > 0 && i % euroEvery == 0;
        const bool unpaid = unpaidEvery > 0 && i % unpaidEvery == 0;
        const QString amount =
            QString("%1,%2").arg(1000 * (i % 97) + 234).arg(i % 100, 2, 10, QChar('0'));
        table.rows.append({QString::number(i), QString("2026%1").arg(i, 3, 10, QChar('0')), name,
                           QString("%1.%2.2026").arg(1 + i % 28).arg(1 + i % 12),
                           QString("%1.%2.2026").arg(1 + i % 28).arg(1 + (i + 1) % 12),
                           unpaid ? QString() : QString("%1.1.2027").arg(1 + i % 28),
                           euro ? "EUR" : "CZK", euro ? QString() : amount,
                           euro ? amount : QString(), unpaid ? QString() : amount});
    }
    const QList<Variable> variables = {{"Nadpis", "Evidence odeslaných faktur - rok 2026"},
                                       {"VychoziMena", "CZK"},
                                       {"SoucetCastka", "1234567,00 CZK"},
                                       {"SoucetJinaMena", "45678,50 EUR"},
                                       {"SoucetUhrazeno", "617283,50 CZK; 22839,25 EUR"}};
    RenderedReport report;
    report.templateName = "PrehledFaktur.fr3";
    report.title = "Evidence odeslaných faktur - rok 2026";
    report.html = RenderTemplate(ReadTemplateFile(PRM1_TEMPLATE_DIR "/PrehledFaktur.fr3"),
                                 variables, table, report.templateName);
    return report;
}

// Paints the report into an A4 PDF as WritePdf does, by the given path.
int PaintPdf(const RenderedReport& report, const QString& path, LayoutPath layoutPath,
             bool* direct) {
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    return tarvela::prm1::PaintReport(report, writer, layoutPath, direct);
}

const QString kQrText =
    QStringLiteral("SPD*1.0*ACC:CZ6508000000192000145399*AM:42587.26*CC:CZK*X-VS:2026015");

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(module_.isLoaded(), qPrintable(module_.errorString())); }
    void rowsAndSignaturesStayWhole_data();
    void rowsAndSignaturesStayWhole();
    void qrFrameDrawnAndCaptionsOnOneLine();
    void pageBreaksFallBetweenRows();
    void samePagesAsQtsOwnPagination();
    void everythingAfterThePaymentCodeIsPrinted_data();
    void everythingAfterThePaymentCodeIsPrinted();
    void beyondTheBoundsEndsWithAMessage_data();
    void beyondTheBoundsEndsWithAMessage();
    void directRowsPaintTheSamePages_data();
    void directRowsPaintTheSamePages();

private:
    TempProgramFolder folder_;
    LoadedModule module_;
    int counter_ = 0;
};

void LayoutTest::rowsAndSignaturesStayWhole_data() {
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<int>("rows");
    for (const char* name :
         {"Faktura.fr3", "DodaciList.fr3", "CenovaNabidka.fr3", "PrijmovyDoklad2.fr3"})
        for (const int rows : {6, 14, 17, 20, 23, 26, 30, 34})
            QTest::addRow("%s %d", name, rows) << QString(name) << rows;
}

void LayoutTest::rowsAndSignaturesStayWhole() {
    QFETCH(QString, templateName);
    QFETCH(int, rows);
    CDataSet items;
    FillLongItems(items, rows);
    const Pairs pairs = With(InvoiceVariables(true, kQrText), "CastkaSlovy",
                             "=čtyřicetdvatisícepětsetosmdesátsedm korun=");
    const QString pdf = folder_.file(QString("layout%1.pdf").arg(++counter_));
    QString message;
    const int pages =
        module_.renderPdf(templateName, "Doklad", JoinVariables(pairs), items.get(), pdf, &message);
    QVERIFY2(pages >= 1 && pages <= 3, qPrintable(QString::number(pages) + message));
    const QList<Word> words = Words(pdf);
    QCOMPARE(Matching(words, QString("Strana")).size(), pages);

    // Each row once, its first and its last word on one page: no row is cut or repeated.
    for (int r = 1; r <= rows; ++r) {
        const QString n = QString("%1").arg(r, 2, 10, QChar('0'));
        const QList<Word> code = Matching(words, "R" + n);
        const QList<Word> end = Matching(words, "konec" + n);
        QVERIFY2(code.size() == 1 && end.size() == 1, qPrintable("row " + n));
        QVERIFY2(code[0].page == end[0].page, qPrintable("row " + n + " split"));
    }
    // The signature captions stand on the page of their names (the line is the cell's top).
    for (const auto& [name, caption] :
         {std::pair<QString, QString>{"Přijal", "razítko"}, {"Předal", "datum,"}}) {
        const QList<Word> who = Matching(words, name);
        const QList<Word> under = Matching(words, caption);
        if (who.isEmpty())
            continue;
        QVERIFY(!under.isEmpty());
        QCOMPARE(who.first().page, under.last().page);
        QVERIFY(under.last().yMin > who.first().yMin);
    }
    // The amount in words is one word, never broken.
    if (templateName == "PrijmovyDoklad2.fr3")
        QCOMPARE(Matching(words, "=čtyřicetdvatisícepětsetosmdesátsedm").size(), 1);
}

void LayoutTest::qrFrameDrawnAndCaptionsOnOneLine() {
    CDataSet items;
    FillLongItems(items, 3);
    const Pairs pairs =
        With(InvoiceVariables(true, kQrText), "PopiskaSymbol", "Konstantní symbol:");
    const QString pdf = folder_.file("qr.pdf");
    QString message;
    QCOMPARE(module_.renderPdf("Faktura.fr3", "Faktura", JoinVariables(pairs), items.get(), pdf,
                               &message),
             1);
    const QList<Word> words = Words(pdf);
    const QList<Word> konst = Matching(words, "Konstantní");
    const QList<Word> symbol = Matching(words, "symbol:");
    QCOMPARE(konst.size(), 1);
    QCOMPARE(symbol.size(), 1);
    QCOMPARE(konst[0].yMin, symbol[0].yMin);

    // The frame: dark lines left of and above the caption "QR Platba", as long as the code.
    const QList<Word> qr = Matching(words, "QR");
    QCOMPARE(qr.size(), 1);
    constexpr int dpi = 144;
    const QImage page(RenderPagePng(pdf, 1, dpi, folder_.file("qr-page")));
    QVERIFY(!page.isNull());
    const auto px = [&](double points) { return int(points * dpi / 72.0); };
    const auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 110; };
    const int side = px(30 / 25.4 * 72); // the code is 30 mm with its quiet zone
    bool left = false;
    for (int x = px(qr[0].xMin) - px(12); x < px(qr[0].xMin) && !left; ++x) {
        int count = 0;
        for (int y = px(qr[0].yMin); y < px(qr[0].yMin) + side; ++y)
            count += dark(x, y);
        left = count > side * 9 / 10;
    }
    bool top = false;
    for (int y = px(qr[0].yMin) - px(12); y < px(qr[0].yMin) && !top; ++y) {
        int count = 0;
        for (int x = px(qr[0].xMin); x < px(qr[0].xMin) + side; ++x)
            count += dark(x, y);
        top = count > side * 9 / 10;
    }
    QVERIFY(left);
    QVERIFY(top);
}

// Random tables of rows one to eight lines high, with and without a header: the pages follow
// one another without a gap, none is longer than the page, and every row's lines stand on one
// page (read from the rows' own lines, not from the cut).
void LayoutTest::pageBreaksFallBetweenRows() {
    using namespace tarvela::prm1;
    QRandomGenerator random(20261209);
    QImage device(10, 10, QImage::Format_RGB32);
    device.setDotsPerMeterX(23622); // 600 dpi
    device.setDotsPerMeterY(23622);
    for (int round = 0; round < 12; ++round) {
        QString html = "<p>Úvod</p>";
        const bool header = round % 2 == 0;
        html += QString("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"%1\">")
                    .arg(random.bounded(0, 8));
        if (header)
            html += "<thead><tr><td>Hlavička</td><td>sloupce</td></tr></thead>";
        const int rows = random.bounded(20, 140);
        for (int r = 0; r < rows; ++r)
            html += QString("<tr><td>R%1</td><td>%2</td></tr>")
                        .arg(r)
                        .arg(QStringList(random.bounded(1, 9), "řádek").join("<br>"));
        html += "</table><p>Závěr</p>";
        QTextDocument document;
        document.documentLayout()->setPaintDevice(&device);
        document.setDocumentMargin(0);
        document.setPageSize(QSizeF(4000, 16'000'000));
        document.setHtml(html);
        const double pageHeight = random.bounded(1500, 6000);
        const QList<PageSlice> pages = PaginateDocument(document, pageHeight);
        QVERIFY(!pages.isEmpty());
        QCOMPARE(pages.first().top, 0.0);
        for (qsizetype i = 0; i < pages.size(); ++i) {
            QVERIFY(pages[i].bottom - pages[i].top + pages[i].header.height() <= pageHeight + 0.01);
            QVERIFY(pages[i].bottom > pages[i].top);
            if (i > 0)
                QCOMPARE(pages[i].top, pages[i - 1].bottom);
        }
        QVERIFY(pages.last().bottom >= document.documentLayout()->documentSize().height() - 1);
        const auto pageOf = [&](double y) {
            for (qsizetype i = 0; i < pages.size(); ++i)
                if (y < pages[i].bottom)
                    return i;
            return pages.size();
        };
        QTextTable* table = nullptr;
        for (QTextFrame* frame : document.rootFrame()->childFrames())
            table = table ? table : qobject_cast<QTextTable*>(frame);
        QVERIFY(table != nullptr);
        for (int r = header ? 1 : 0; r < table->rows(); ++r) {
            double top = 1e12;
            double bottom = -1;
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                    const QTextBlock block = it.currentBlock();
                    const QRectF rect = document.documentLayout()->blockBoundingRect(block);
                    top = std::min(top, rect.top());
                    bottom = std::max(bottom, rect.bottom());
                }
            }
            QVERIFY2(pageOf(top) == pageOf(bottom - 0.5),
                     qPrintable(QString("round %1 row %2 split").arg(round).arg(r)));
            // A page that the table's rows go on to begins with the table's header.
            const qsizetype page = pageOf(top);
            if (header && page > 0 && pages[page].top >= top - 100 && pages[page].top <= top)
                QVERIFY2(!pages[page].header.isEmpty(), qPrintable(QString("page %1").arg(page)));
        }
    }
}

// Where no row can be split, the module's pages are Qt's own pages: the same rows on each page,
// the header repeated at the same place, within a pixel tolerance.
void LayoutTest::samePagesAsQtsOwnPagination() {
    using namespace tarvela::prm1;
    CDataSet rows;
    FillShortOverview(rows, 150);
    const QString variables = JoinVariables(
        {{"Nadpis", "Evidence odeslaných faktur - rok 2026"}, {"VychoziMena", "CZK"}});
    const QString pdf = folder_.file("prehled.pdf");
    QString message;
    const int pages =
        module_.renderPdf("PrehledFaktur.fr3", "Evidence", variables, rows.get(), pdf, &message);
    QVERIFY2(pages >= 3, qPrintable(message));
    const QString reference = folder_.file("reference.pdf");
    ReferencePdf(RenderTemplate(ReadTemplateFile(TemplatePath("PrehledFaktur.fr3")),
                                ParseVariables(variables), ReadDataSet(*rows.get())),
                 reference);
    QCOMPARE(PdfPageCount(reference), pages);
    for (int page = 1; page <= pages; ++page) {
        const QImage ours(RenderPagePng(pdf, page, 50, folder_.file("ours")));
        const QImage theirs(RenderPagePng(reference, page, 50, folder_.file("theirs")));
        QCOMPARE(ours.size(), theirs.size());
        const int footer = ours.height() * (297 - 16) / 297; // the module's footer is left out
        int differing = 0;
        for (int y = 0; y < footer; ++y)
            for (int x = 0; x < ours.width(); ++x)
                differing += std::abs(qGray(ours.pixel(x, y)) - qGray(theirs.pixel(x, y))) > 64;
        QVERIFY2(differing < ours.width() * footer / 500,
                 qPrintable(QString("page %1: %2 pixels differ").arg(page).arg(differing)));
    }
}

void LayoutTest::everythingAfterThePaymentCodeIsPrinted_data() {
    QTest::addColumn<int>("paragraphs");
    for (const int paragraphs : {3, 40, 400})
        QTest::addRow("%d", paragraphs) << paragraphs;
}

// The payment code is laid out after the rest of the page; every paragraph after it is still
// printed, once, on one to several pages.
void LayoutTest::everythingAfterThePaymentCodeIsPrinted() {
    using namespace tarvela::prm1;
    QFETCH(int, paragraphs);
    RenderedReport report;
    report.title = "Faktura";
    report.qrText = kQrText;
    report.templateName = "Faktura.fr3";
    report.html = "<p>Začátek</p><table><tr><td><img src=\"prm1:qrcode\" width=\"113\" "
                  "height=\"113\"></td><td>Rekapitulace</td></tr></table>";
    for (int i = 1; i <= paragraphs; ++i)
        report.html += QString("<p>Odstavec%1</p>").arg(i);
    const QString pdf = folder_.file(QString("after-qr%1.pdf").arg(paragraphs));
    const int pages = WritePdf(report, pdf);
    const QList<Word> words = Words(pdf);
    QCOMPARE(Matching(words, "Strana").size(), pages);
    for (int i = 1; i <= paragraphs; ++i)
        QVERIFY2(Matching(words, QString("Odstavec%1").arg(i)).size() == 1,
                 qPrintable(QString("paragraph %1 of %2").arg(i).arg(paragraphs)));
}

void LayoutTest::beyondTheBoundsEndsWithAMessage_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    const auto nested = [](int depth) {
        return QString("<table><tr><td>").repeated(depth) + "x" +
               QString("</td></tr></table>").repeated(depth);
    };
    QTest::newRow("tables 20 deep") << nested(20) << "vnořeny";
    QTest::newRow("tables 3000 deep") << nested(3000) << "vnořeny";
    QTest::newRow("divs 5000 deep") << QString("<div>").repeated(5000) + "x"
                                    << "vnořeny";
    QTest::newRow("image /dev/zero") << "<p>x<img src=\"/dev/zero\"></p>"
                                     << "/dev/zero";
    QTest::newRow("image file:///dev/zero") << "<p>x<img src=\"file:///dev/zero\"></p>"
                                            << "/dev/zero";
    QTest::newRow("background=") << "<table background=\"/dev/zero\"><tr><td>x</td></tr></table>"
                                 << "/dev/zero";
    QTest::newRow("CSS url()")
        << "<p style=\"background-image: url(/dev/zero)\">x</p><table "
           "style=\"background-image: url('/dev/zero')\"><tr><td>x</td></tr></table>"
        << "/dev/zero";
    QTest::newRow("image outside Ses") << "<p>x<img src=\"../../etc/passwd\"></p>"
                                       << "passwd";
    QTest::newRow("FIFO image") << "<p>x<img src=\"roura.png\"></p>"
                                << "roura.png";
    QTest::newRow("5300 blank pages") << QString("<br>").repeated(340'000) + "x"
                                      << "stran";
    QTest::newRow("3 million characters") << QString("<p>slovo </p>").repeated(250'000) << "znaků";
    QTest::newRow("blank") << "<p>   </p><table><tr><td> </td></tr></table>"
                           << "prázdná";
}

void LayoutTest::beyondTheBoundsEndsWithAMessage() {
    QFETCH(QString, html);
    QFETCH(QString, expected);
    folder_.writeBytes("Ses/Meze.fr3", html.toUtf8());
    const QString fifo = folder_.file("Ses/roura.png");
    if (!QFileInfo::exists(fifo))
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString pdf = folder_.file("meze.pdf");
    auto render = reinterpret_cast<Prm1SestavaDoPDFFn>(module_.resolve("SestavaDoPDF"));
    const QByteArray path = folder_.file("Ses/Meze.fr3").toUtf8();
    char buffer[600] = "";
    const int result = render(path.constData(), nullptr, nullptr, nullptr, pdf.toUtf8().constData(),
                              buffer, sizeof buffer);
    const QString message = tarvela::DecodeCp1250(QByteArray(buffer));
    QVERIFY2(result < 0, qPrintable(message));
    QVERIFY2(message.contains("Meze.fr3"), qPrintable(message));
    QVERIFY2(message.contains(expected), qPrintable(message));
    QVERIFY(!QFile::exists(pdf));
}

// The overview's rows painted directly give the pages Qt's general layout gives: the same page
// count and text, and each page's pixels at 100 dpi within a few stray pixels.
void LayoutTest::directRowsPaintTheSamePages_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("longNames");
    QTest::addColumn<int>("euroEvery");
    QTest::addColumn<int>("unpaidEvery");
    QTest::newRow("3 rows") << 3 << false << 2 << 3;
    QTest::newRow("120 rows, wrapping names") << 120 << true << 3 << 2;
    QTest::newRow("90 rows, all in crowns, all paid") << 90 << false << 0 << 0;
    QTest::newRow("70 rows, foreign and unpaid") << 70 << true << 1 << 1;
}

void LayoutTest::directRowsPaintTheSamePages() {
    QFETCH(int, rows);
    QFETCH(bool, longNames);
    QFETCH(int, euroEvery);
    QFETCH(int, unpaidEvery);
    const RenderedReport report = OverviewReport(rows, longNames, euroEvery, unpaidEvery);
    const QString general = folder_.file(QString("general%1.pdf").arg(++counter_));
    const QString direct = folder_.file(QString("direct%1.pdf").arg(counter_));
    bool painted = true;
    const int pages = PaintPdf(report, general, LayoutPath::General, &painted);
    QVERIFY(!painted);
    QCOMPARE(PaintPdf(report, direct, LayoutPath::DirectRows, &painted), pages);
    QVERIFY(painted);
    QCOMPARE(PdfText(direct), PdfText(general));
    for (int page = 1; page <= pages; ++page) {
        const QImage ours(RenderPagePng(direct, page, 100, folder_.file("direct-page")));
        const QImage theirs(RenderPagePng(general, page, 100, folder_.file("general-page")));
        QVERIFY(!ours.isNull());
        QCOMPARE(ours.size(), theirs.size());
        int differing = 0;
        for (int y = 0; y < ours.height(); ++y)
            for (int x = 0; x < ours.width(); ++x)
                differing += std::abs(qGray(ours.pixel(x, y)) - qGray(theirs.pixel(x, y))) > 48;
        QVERIFY2(differing <= 20,
                 qPrintable(QString("page %1: %2 pixels differ").arg(page).arg(differing)));
    }
}

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
