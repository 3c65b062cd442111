#include "report_layout.h"

#include "module_text.h"
#include "qr_code.h"
#include "report_data.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarvela::prm1 {
namespace {

// Page margins in millimetres; the footer stands in the bottom margin.
constexpr double kMarginLeft = 15.0;
constexpr double kMarginRight = 15.0;
constexpr double kMarginTop = 12.0;
constexpr double kMarginBottom = 16.0;
constexpr double kFooterGap = 4.0; // from the body's bottom edge to the footer rule

// The height of the one long page the document is laid out on: far beyond kMaxPages of A4 at
// the printer's 1200 dpi, and below the limit of Qt's fixed-point coordinates (2^25 units).
constexpr double kLongPage = 16'000'000.0;

QString TemplateLabel(const QString& name) {
    return name.isEmpty() ? QStringLiteral("(bez názvu)") : name;
}

[[noreturn]] void ThrowBeyondBounds(const QString& templateName, const QString& reason) {
    throw ReportError(PRM1_ERROR_TEMPLATE_INVALID,
                      QStringLiteral("Předlohu sestavy \"%1\" nelze použít: %2.")
                          .arg(TemplateLabel(templateName), reason));
}

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

// Reads a resource file: only a regular file, opened without waiting for a writer (a FIFO put in
// its place after the check), of at most kMaxResourceBytes.
std::optional<QByteArray> ReadRegularFile(const QString& path) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxResourceBytes) {
        ::close(fd);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() || file.size() > kMaxResourceBytes)
        return std::nullopt;
#endif
    QByteArray bytes = file.read(kMaxResourceBytes + 1);
    if (bytes.size() > kMaxResourceBytes)
        return std::nullopt;
    return bytes;
}

// The report's document: it loads images and style sheets only from regular files inside the
// template's folder, and remembers the first resource it refused.
class ReportDocument : public QTextDocument {
public:
    ReportDocument(const QString& folder, const QString& templateName)
        : templateName_(templateName) {
        const QFileInfo info(folder);
        if (!folder.isEmpty() && info.isDir())
            folder_ = info.canonicalFilePath();
    }

    // Raises the error for a refused resource, if any.
    void checkResources() const {
        if (!refused_.isEmpty())
            ThrowBeyondBounds(templateName_,
                              QStringLiteral("soubor \"%1\" nelze načíst, předloha smí použít jen "
                                             "obyčejné soubory do %2 MB ze své složky Ses")
                                  .arg(refused_)
                                  .arg(kMaxResourceBytes >> 20));
    }

protected:
    QVariant loadResource(int type, const QUrl& name) override {
        const QString text = name.toString();
        if (text == QLatin1String(kQrImageName))
            return QVariant(); // drawn by the QR object
        const auto refuse = [this, &text] {
            if (refused_.isEmpty())
                refused_ = text.left(200);
            return QVariant();
        };
        if (folder_.isEmpty())
            return refuse();
        QString path;
        if (name.scheme().isEmpty())
            path = name.path();
        else if (name.isLocalFile())
            path = name.toLocalFile();
        else
            return refuse();
        if (path.isEmpty())
            return refuse();
        const QFileInfo info(QDir(folder_), path);
        const QString canonical = info.canonicalFilePath();
        if (canonical.isEmpty() || !canonical.startsWith(folder_ + u'/') ||
            !QFileInfo(canonical).isFile())
            return refuse();
        const std::optional<QByteArray> bytes = ReadRegularFile(canonical);
        if (!bytes)
            return refuse();
        if (type == QTextDocument::StyleSheetResource)
            return QString::fromUtf8(*bytes);
        return *bytes;
    }

private:
    QString folder_;
    QString templateName_;
    QString refused_;
};

// A span of the document that a page break must not cut.
struct Span {
    double top;
    double bottom;
};

QTextBlock LastBlockOf(const QTextTableCell& cell) {
    QTextBlock last;
    for (QTextFrame::iterator i = cell.begin(); !(i == cell.end()); ++i) {
        if (i.currentBlock().isValid())
            last = i.currentBlock();
    }
    return last;
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

// True when the document shows nothing: no character but spaces and no object.
bool IsBlank(const QTextDocument& document) {
    const QString text = document.toPlainText();
    for (const QChar c : text) {
        if (!c.isSpace() || c == QChar::ObjectReplacementCharacter)
            return false;
    }
    return true;
}

} // namespace

void CheckHtmlBounds(const QString& html, const QString& templateName) {
    if (html.size() > kMaxHtmlChars)
        ThrowBeyondBounds(templateName,
                          QStringLiteral("sestava by měla přes %1 znaků").arg(kMaxHtmlChars));
    // Containers Qt lays out as frames or nested blocks, counted open against closed.
    static const QStringList containers = {
        OwnedText("table"),      OwnedText("div"), OwnedText("ul"),    OwnedText("ol"),
        OwnedText("blockquote"), OwnedText("dl"),  OwnedText("center")};
    int tables = 0;
    int blocks = 0;
    int cells = 0;
    const qsizetype n = html.size();
    for (qsizetype i = html.indexOf(u'<'); i >= 0 && i + 1 < n; i = html.indexOf(u'<', i + 1)) {
        qsizetype at = i + 1;
        const bool closing = html.at(at) == u'/';
        if (closing)
            ++at;
        qsizetype end = at;
        while (end < n && end - at < 12 && html.at(end).isLetter())
            ++end;
        if (end == at)
            continue;
        const QString name = html.mid(at, end - at).toLower();
        if (!closing && (name == u"td" || name == u"th") && ++cells > kMaxTableCells)
            ThrowBeyondBounds(templateName,
                              QStringLiteral("tabulky by měly přes %1 buněk").arg(kMaxTableCells));
        if (!containers.contains(name))
            continue;
        const int step = closing ? -1 : 1;
        blocks = std::max(0, blocks + step);
        if (name == u"table")
            tables = std::max(0, tables + step);
        if (tables > kMaxTableDepth)
            ThrowBeyondBounds(templateName,
                              QStringLiteral("tabulky jsou do sebe vnořeny hlouběji než do %1 "
                                             "úrovní")
                                  .arg(kMaxTableDepth));
        if (blocks > kMaxBlockDepth)
            ThrowBeyondBounds(templateName,
                              QStringLiteral("bloky jsou do sebe vnořeny hlouběji než do %1 "
                                             "úrovní")
                                  .arg(kMaxBlockDepth));
    }
}

QList<PageSlice> PaginateDocument(QTextDocument& document, double pageHeight) {
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const double height = layout->documentSize().height();

    // Every line of text is one span; every table row another, over all its cells.
    std::vector<Span> spans;
    std::vector<Span> lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* text = block.layout();
        if (text == nullptr || text->lineCount() == 0)
            continue;
        const QRectF rect = layout->blockBoundingRect(block);
        const double origin = rect.top() - text->boundingRect().top();
        for (int l = 0; l < text->lineCount(); ++l) {
            const QTextLine line = text->lineAt(l);
            lines.push_back({origin + line.y(), origin + line.y() + line.height()});
        }
    }
    struct TableHeader {
        QRectF header;
        double bodyBottom;
    };
    std::vector<TableHeader> headers;
    const auto visitTable = [&](QTextTable* table) {
        const QTextTableFormat format = table->format();
        // Paddings are CSS pixels, which the layout scales to the device.
        const QPaintDevice* device = layout->paintDevice();
        const double scale = device != nullptr ? device->logicalDpiY() / 96.0 : 1.0;
        const double padding = format.cellPadding() * scale;
        // Each row from the top of its text less the cell's padding (where the row's background
        // begins) to the top of the next row; the last to the bottom of its text and padding.
        std::vector<Span> rows;
        for (int r = 0; r < table->rows(); ++r) {
            double top = std::numeric_limits<double>::max();
            double bottom = std::numeric_limits<double>::lowest();
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (!cell.isValid() || cell.row() != r || cell.column() != c)
                    continue;
                const QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                const double padTop = cellFormat.hasProperty(QTextFormat::TableCellTopPadding)
                                          ? cellFormat.topPadding() * scale
                                          : padding;
                const double padBottom = cellFormat.hasProperty(QTextFormat::TableCellBottomPadding)
                                             ? cellFormat.bottomPadding() * scale
                                             : padding;
                const QRectF first = layout->blockBoundingRect(cell.firstCursorPosition().block());
                const QTextBlock lastBlock = LastBlockOf(cell);
                const QRectF last =
                    lastBlock.isValid() ? layout->blockBoundingRect(lastBlock) : first;
                top = std::min(top, first.top() - padTop);
                bottom = std::max(bottom, last.bottom() + padBottom);
            }
            if (top <= bottom)
                rows.push_back({top, bottom});
            else if (!rows.empty())
                rows.push_back({rows.back().bottom, rows.back().bottom}); // a row of spans only
            else
                rows.push_back({0, 0});
        }
        for (size_t r = 0; r + 1 < rows.size(); ++r)
            rows[r].bottom = std::max(rows[r].top, std::min(rows[r].bottom, rows[r + 1].top));
        for (const Span& row : rows)
            spans.push_back(row);
        const int headerRows = format.headerRowCount();
        if (headerRows > 0 && headerRows < int(rows.size()) &&
            table->parentFrame() == document.rootFrame()) {
            const Span& last = rows.back();
            headers.push_back(
                {QRectF(0, rows.front().top, 1, rows[size_t(headerRows)].top - rows.front().top),
                 last.bottom});
        }
    };
    std::function<void(QTextFrame*)> visit = [&](QTextFrame* frame) {
        for (QTextFrame* child : frame->childFrames()) {
            if (auto* table = qobject_cast<QTextTable*>(child))
                visitTable(table);
            visit(child);
        }
    };
    visit(document.rootFrame());
    spans.insert(spans.end(), lines.begin(), lines.end());

    // The ranges no break may fall into: the spans merged where they overlap by more than a
    // hair (rows that merely touch stay apart).
    const auto merged = [](std::vector<Span> all) {
        std::sort(all.begin(), all.end(),
                  [](const Span& a, const Span& b) { return a.top < b.top; });
        std::vector<Span> out;
        constexpr double hair = 0.5;
        for (const Span& s : all) {
            if (s.bottom - s.top <= hair)
                continue;
            if (!out.empty() && s.top < out.back().bottom - hair)
                out.back().bottom = std::max(out.back().bottom, s.bottom);
            else
                out.push_back(s);
        }
        return out;
    };
    const std::vector<Span> whole = merged(spans);
    const std::vector<Span> lineOnly = merged(lines);
    // The greatest break at or before `limit` that falls into no range of `ranges`, or none.
    const auto breakBefore = [](const std::vector<Span>& ranges, double start, double limit) {
        auto it = std::upper_bound(ranges.begin(), ranges.end(), limit,
                                   [](double y, const Span& s) { return y < s.top; });
        if (it == ranges.begin())
            return limit;
        --it;
        if (limit >= it->bottom)
            return limit;
        return it->top > start + 1.0 ? it->top : -1.0;
    };

    QList<PageSlice> pages;
    double top = 0;
    QRectF header;
    while (top < height - 1.0 || pages.isEmpty()) {
        const double available = pageHeight - header.height();
        const double limit = top + available;
        double bottom = height;
        if (limit < height) {
            bottom = breakBefore(whole, top, limit);
            if (bottom < 0)
                bottom = breakBefore(lineOnly, top, limit);
            if (bottom < 0)
                bottom = limit; // a line taller than a page
        }
        pages.append({top, bottom, header});
        if (pages.size() > kMaxPages)
            break;
        // The next page begins with the header of a table that goes on there.
        header = QRectF();
        for (const TableHeader& h : headers) {
            if (bottom > h.header.bottom() + 0.5 && bottom < h.bodyBottom - 0.5) {
                header = h.header;
                break;
            }
        }
        top = bottom;
    }
    return pages;
}

int PaintReport(const RenderedReport& report, QPagedPaintDevice& device) {
    QElapsedTimer clock;
    clock.start();
    const double dpi = device.logicalDpiY();
    const double mm = dpi / 25.4;
    const QRectF paper =
        device.pageLayout().fullRectPoints().isValid()
            ? QRectF(QPointF(0, 0), device.pageLayout().fullRectPoints().size() * (dpi / 72.0))
            : QRectF(0, 0, 210 * mm, 297 * mm);
    const QRectF body(kMarginLeft * mm, kMarginTop * mm,
                      paper.width() - (kMarginLeft + kMarginRight) * mm,
                      paper.height() - (kMarginTop + kMarginBottom) * mm);

    CheckHtmlBounds(report.html, report.templateName);

    // The document is laid out once, on the device itself (so point sizes come out true on
    // paper), as one long page of the body's width: the page size is set before the HTML.
    ReportDocument document(report.resourceFolder, report.templateName);
    document.documentLayout()->setPaintDevice(&device);
    document.setUseDesignMetrics(true);
    document.setDocumentMargin(0);
    document.setDefaultFont(BodyFont());
    document.setPageSize(QSizeF(body.width(), kLongPage));
    document.setHtml(report.html);
    QrTextObject qr(EncodeQr(report.qrText));
    qr.install(document);
    // Qt lays the payment code's changed format out lazily, a step now and the rest on a timer
    // that never runs here: the blocks after it would stay without a layout and vanish from the
    // page. Setting the page size again lays the whole document out at once.
    document.setPageSize(QSizeF(body.width(), kLongPage));
    const double height = document.documentLayout()->documentSize().height();
    document.checkResources();
    if (!std::isfinite(height) || height < 0 || height > kLongPage - body.height())
        ThrowBeyondBounds(report.templateName,
                          QStringLiteral("sestava by měla přes %1 stran").arg(kMaxPages));
    // Beyond Qt's coordinates the positions wrap round: the blocks of the body come in order.
    double previous = 0;
    for (QTextFrame::iterator it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        const QRectF r = it.currentFrame() != nullptr
                             ? document.documentLayout()->frameBoundingRect(it.currentFrame())
                             : document.documentLayout()->blockBoundingRect(it.currentBlock());
        if (r.isNull())
            continue;
        if (!std::isfinite(r.top()) || r.top() < previous - 1.0)
            ThrowBeyondBounds(report.templateName,
                              QStringLiteral("sestava by měla přes %1 stran").arg(kMaxPages));
        previous = r.top();
    }
    if (IsBlank(document))
        ThrowBeyondBounds(report.templateName, QStringLiteral("sestava by byla prázdná"));

    const QList<PageSlice> slices = PaginateDocument(document, body.height());
    if (slices.size() > kMaxPages)
        ThrowBeyondBounds(report.templateName,
                          QStringLiteral("sestava by měla přes %1 stran").arg(kMaxPages));
    const int pages = int(slices.size());

    QPainter painter(&device);
    if (!painter.isActive())
        throw ReportError(PRM1_ERROR_OUTPUT, QStringLiteral("Na zařízení nelze kreslit."));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // Only what lies wholly within a slice is drawn: the layout skips what the clip does not
    // reach, so no line is written twice into the PDF's text.
    const auto drawPart = [&](const QRectF& part, double pageY) {
        painter.save();
        painter.translate(body.left(), pageY - part.top());
        painter.setClipRect(part);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = part.adjusted(0, 0.01, 0, -0.01);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    };
    for (int page = 0; page < pages; ++page) {
        if (clock.elapsed() > kMaxPaintMs)
            ThrowBeyondBounds(
                report.templateName,
                QStringLiteral("vykreslení by trvalo déle než %1 s").arg(kMaxPaintMs / 1000));
        if (page > 0 && !device.newPage())
            throw ReportError(PRM1_ERROR_OUTPUT, QStringLiteral("Nelze začít novou stránku."));
        const PageSlice& slice = slices.at(page);
        double y = body.top();
        if (!slice.header.isEmpty()) {
            drawPart(QRectF(0, slice.header.top(), body.width(), slice.header.height()), y);
            y += slice.header.height();
        }
        drawPart(QRectF(0, slice.top, body.width(), slice.bottom - slice.top), y);
        PaintFooter(painter, body, mm, report.title, page + 1, pages);
    }
    painter.end();
    document.checkResources(); // the style sheets' images load as they are drawn
    return pages;
}

int WritePdf(const RenderedReport& report, const QString& path) {
    const auto failure = [&path] {
        return ReportError(PRM1_ERROR_OUTPUT,
                           QStringLiteral("Soubor PDF \"%1\" nelze zapsat.").arg(path));
    };
    if (path.isEmpty())
        throw failure();
    const bool existed = QFileInfo::exists(path);
    try {
        QPdfWriter writer(path);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setTitle(report.title);
        writer.setCreator(QStringLiteral("Tarvela PRM1"));
        try {
            return PaintReport(report, writer);
        } catch (const ReportError& e) {
            if (e.code() == PRM1_ERROR_OUTPUT)
                throw failure();
            throw;
        }
    } catch (...) {
        if (!existed)
            QFile::remove(path);
        throw;
    }
}

} // namespace tarvela::prm1
