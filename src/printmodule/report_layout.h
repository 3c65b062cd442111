#pragma once

#include <QList>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;
class QTextDocument;

namespace tarvela::prm1 {

// A report ready to be put on paper: the expanded HTML, its title and the QR payment text.
struct RenderedReport {
    QString html;
    QString title;
    QString qrText;
    QString fileName;     // variable NazevSouboru: the proposed name of a saved PDF, without ".pdf"
    QString qrReason;     // variable QRDuvod: why the payment code is missing or shortened
    QString templateName; // the template's file name, for messages
    QString resourceFolder; // the folder images and style sheets may come from (the template's)
};

// Bounds of one layout: a template is the user's to edit, and no template may crash or freeze
// the program. The real templates nest tables two deep and fill at most a few dozen pages.
inline constexpr int kMaxTableDepth = 8;
inline constexpr int kMaxBlockDepth = 32;
inline constexpr int kMaxTableCells = 60'000;
inline constexpr int kMaxHtmlChars = 2 << 20;
inline constexpr int kMaxPages = 1000;
inline constexpr qint64 kMaxResourceBytes = qint64(4) << 20;
inline constexpr qint64 kMaxPaintMs = 20'000;

// Refuses HTML beyond the bounds above (ReportError PRM1_ERROR_TEMPLATE_INVALID naming the
// template): tables nested too deep, too many containers in each other, cells or characters.
void CheckHtmlBounds(const QString& html, const QString& templateName);

// Where each page begins, in the coordinates of the document laid out as one long page: no page
// break falls inside a table row or a line of text (unless a row is taller than a page), and a
// page on which a table with a header row continues begins with that header.
struct PageSlice {
    double top = 0; // the part of the document on this page: [top, bottom)
    double bottom = 0;
    QRectF header; // the header rows drawn above it (empty when none)
};
QList<PageSlice> PaginateDocument(QTextDocument& document, double pageHeight);

// Lays the report out on the device's paper (A4 unless the user chose otherwise) and paints
// every page: the body within the page margins, and in the bottom margin a footer with the title
// and "Strana n z m". The device's page margins must be zero; the device is used from its paper
// corner. Returns the number of pages. Raises ReportError for a report beyond the bounds, a
// resource that may not be loaded, or a blank document.
//
// A long table of plain rows (the overview's invoices) is not laid out by Qt row by row: Qt lays
// out the report with a few representative rows of it, and the rows are then measured and painted
// directly with the columns, formats and positions Qt gave those rows; the pages are the same.
// Any table that does not fit that model takes the general path. `path` forces one of them (the
// general path always works; the direct one only when the table fits), and `rowsPaintedDirectly`
// tells whether rows were painted directly.
enum class LayoutPath { Automatic, General, DirectRows };
int PaintReport(const RenderedReport& report, QPagedPaintDevice& device,
                LayoutPath path = LayoutPath::Automatic, bool* rowsPaintedDirectly = nullptr);

// Writes the report as an A4 PDF file. Returns the number of pages; raises ReportError
// (PRM1_ERROR_OUTPUT) when the file cannot be written, and the errors of PaintReport; no file is
// left behind after a failure.
int WritePdf(const RenderedReport& report, const QString& path);

} // namespace tarvela::prm1
