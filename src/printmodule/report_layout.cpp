#include "report_layout.h"

#include "module_text.h"
#include "qr_code.h"
#include "report_data.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace tarvela::prm1 {
namespace {

// Page margins in millimetres; the footer stands in the bottom margin.
constexpr double kMarginLeft = 15.0;
constexpr double kMarginRight = 15.0;
constexpr double kMarginTop = 12.0;
constexpr double kMarginBottom = 16.0;
constexpr double kFooterGap = 4.0; // from the body's bottom edge to the footer rule

QFont BodyFont() {
    QFont font;
    // Qt keeps the families of every font it resolves in its process-wide font cache, beyond
    // the module's unloading: they must be texts of their own (OwnedText), never literals in
    // the module's read-only data.
    font.setFamilies({OwnedText("DejaVu Sans"), OwnedText("Liberation Sans"), OwnedText("Arial"),
                      OwnedText("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.0);
    return font;
}

void PaintFooter(QPainter& painter, const QRectF& body, double mm, const QString& title, int page,
                 int pages) {
    painter.save();
    QFont font = BodyFont();
    font.setPointSizeF(7.0);
    painter.setFont(font);
    const QColor grey(0x6b, 0x72, 0x80);
    painter.setPen(QPen(grey, 0.2 * mm));
    const double ruleY = body.bottom() + kFooterGap * mm;
    painter.drawLine(QPointF(body.left(), ruleY), QPointF(body.right(), ruleY));
    const QRectF textRect(body.left(), ruleY + 1.0 * mm, body.width(), 5.0 * mm);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, title);
    painter.drawText(textRect, Qt::AlignRight | Qt::AlignTop,
                     QStringLiteral("Strana %1 z %2").arg(page).arg(pages));
    painter.restore();
}

} // namespace

int PaintReport(const RenderedReport& report, QPagedPaintDevice& device) {
    const double dpi = device.logicalDpiY();
    const double mm = dpi / 25.4;
    const QRectF paper =
        device.pageLayout().fullRectPoints().isValid()
            ? QRectF(QPointF(0, 0), device.pageLayout().fullRectPoints().size() * (dpi / 72.0))
            : QRectF(0, 0, 210 * mm, 297 * mm);
    const QRectF body(kMarginLeft * mm, kMarginTop * mm,
                      paper.width() - (kMarginLeft + kMarginRight) * mm,
                      paper.height() - (kMarginTop + kMarginBottom) * mm);

    // The document is laid out on the device itself, so point sizes come out true on paper.
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&device);
    document.setUseDesignMetrics(true);
    document.setDocumentMargin(0);
    document.setDefaultFont(BodyFont());
    document.setHtml(report.html);
    QrTextObject qr(EncodeQr(report.qrText));
    qr.install(document);
    document.setPageSize(body.size());
    const int pages = std::max(1, document.pageCount());

    QPainter painter(&device);
    if (!painter.isActive())
        throw ReportError(PRM1_ERROR_OUTPUT, QStringLiteral("Na zařízení nelze kreslit."));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage())
            throw ReportError(PRM1_ERROR_OUTPUT, QStringLiteral("Nelze začít novou stránku."));
        painter.save();
        painter.translate(body.left(), body.top() - page * body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * body.height(), body.width(), body.height());
        painter.setClipRect(context.clip);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        PaintFooter(painter, body, mm, report.title, page + 1, pages);
    }
    painter.end();
    return pages;
}

int WritePdf(const RenderedReport& report, const QString& path) {
    const auto failure = [&path] {
        return ReportError(PRM1_ERROR_OUTPUT,
                           QStringLiteral("Soubor PDF \"%1\" nelze zapsat.").arg(path));
    };
    if (path.isEmpty())
        throw failure();
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer.setTitle(report.title);
    writer.setCreator(QStringLiteral("Tarvela PRM1"));
    try {
        return PaintReport(report, writer);
    } catch (const ReportError&) {
        throw failure();
    }
}

} // namespace tarvela::prm1
