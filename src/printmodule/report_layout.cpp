#include "report_layout.h"

#include "module_text.h"
#include "qr_code.h"
#include "report_data.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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
#include <map>
#include <memory>
#include <optional>
#include <set>
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

namespace {

struct TableHeader {
    QRectF header;
    double bodyBottom;
};

// What pagination needs to know of a laid-out document: the spans no break may cut (lines and
// table rows), the lines alone, the headers of the tables and the height.
struct PageSpans {
    std::vector<Span> spans;
    std::vector<Span> lines;
    std::vector<TableHeader> headers;
    double height = 0;
};

// Each row of a table from the top of its text less the cell's padding (where the row's
// background begins) to the top of the next row; the last to the bottom of its text and padding.
std::vector<Span> TableRowSpans(QAbstractTextDocumentLayout* layout, QTextTable* table) {
    const QTextTableFormat format = table->format();
    // Paddings are CSS pixels, which the layout scales to the device.
    const QPaintDevice* device = layout->paintDevice();
    const double scale = device != nullptr ? device->logicalDpiY() / 96.0 : 1.0;
    const double padding = format.cellPadding() * scale;
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
            const QRectF last = lastBlock.isValid() ? layout->blockBoundingRect(lastBlock) : first;
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
    return rows;
}

// The spans of the document's lines and table rows. A document no taller than `pageHeight` is
// one page as it stands: its lines and rows are not measured (CutPages needs only its height).
PageSpans CollectSpans(QTextDocument& document, double pageHeight = 0) {
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    PageSpans out;
    out.height = layout->documentSize().height();
    if (out.height <= pageHeight)
        return out;
    // Every line of text is one span; every table row another, over all its cells.
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* text = block.layout();
        if (text == nullptr || text->lineCount() == 0)
            continue;
        const QRectF rect = layout->blockBoundingRect(block);
        const double origin = rect.top() - text->boundingRect().top();
        for (int l = 0; l < text->lineCount(); ++l) {
            const QTextLine line = text->lineAt(l);
            out.lines.push_back({origin + line.y(), origin + line.y() + line.height()});
        }
    }
    const auto visitTable = [&](QTextTable* table) {
        const std::vector<Span> rows = TableRowSpans(layout, table);
        out.spans.insert(out.spans.end(), rows.begin(), rows.end());
        const int headerRows = table->format().headerRowCount();
        if (headerRows > 0 && headerRows < int(rows.size()) &&
            table->parentFrame() == document.rootFrame()) {
            const Span& last = rows.back();
            out.headers.push_back(
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
    return out;
}

QList<PageSlice> CutPages(const PageSpans& input, double pageHeight) {
    std::vector<Span> spans = input.spans;
    spans.insert(spans.end(), input.lines.begin(), input.lines.end());
    const double height = input.height;

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
    const std::vector<Span> whole = merged(std::move(spans));
    const std::vector<Span> lineOnly = merged(input.lines);
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
        for (const TableHeader& h : input.headers) {
            if (bottom > h.header.bottom() + 0.5 && bottom < h.bodyBottom - 0.5) {
                header = h.header;
                break;
            }
        }
        top = bottom;
    }
    return pages;
}

} // namespace

QList<PageSlice> PaginateDocument(QTextDocument& document, double pageHeight) {
    return CutPages(CollectSpans(document, pageHeight), pageHeight);
}

namespace {

// ---- Long tables painted row by row ----

// Below this many plain rows a table is left to Qt: the gain would not be worth the checks.
constexpr int kDirectRowsMin = 40;
// At most this many representative rows (distinct row forms and the widest cells) go to Qt.
constexpr int kMaxRepresentatives = 64;

bool IsHtmlSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Decodes the character references of a cell's text; false for one that is not plain.
bool DecodeText(QStringView raw, QString& out) {
    out.clear();
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'&') {
            // Control characters and the spaces Qt would collapse that are not HTML's.
            if ((c.unicode() < 32 || c.isSpace()) && !IsHtmlSpace(c) && c != QChar(0xA0))
                return false;
            out += c;
            continue;
        }
        const qsizetype semi = raw.indexOf(u';', i);
        if (semi < 0 || semi - i > 10)
            return false;
        const QStringView name = raw.mid(i + 1, semi - i - 1);
        if (name == u"amp")
            out += u'&';
        else if (name == u"lt")
            out += u'<';
        else if (name == u"gt")
            out += u'>';
        else if (name == u"quot")
            out += u'"';
        else if (name == u"apos")
            out += u'\'';
        else if (name == u"nbsp")
            out += QChar(0xA0);
        else if (name.startsWith(u'#') && name.size() > 1) {
            bool ok = false;
            const bool hex = name[1] == u'x' || name[1] == u'X';
            const uint code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (!ok || code < 32 || code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF) ||
                (QChar(char16_t(code)).isSpace() && code != 0xA0 && code != 32))
                return false;
            out += QChar(char16_t(code));
        } else {
            return false;
        }
        i = semi;
    }
    return true;
}

struct HtmlTag {
    qsizetype begin = 0; // '<'
    qsizetype end = 0;   // past '>'
    QString name;        // lower case; "!--" for a comment
    bool closing = false;
};

// The next tag at or after `from`, or none.
std::optional<HtmlTag> NextTag(const QString& html, qsizetype from) {
    const qsizetype n = html.size();
    for (qsizetype i = html.indexOf(u'<', from); i >= 0; i = html.indexOf(u'<', i + 1)) {
        if (QStringView(html).mid(i, 4) == u"<!--") {
            const qsizetype end = html.indexOf(QStringLiteral("-->"), i + 4);
            if (end < 0)
                return std::nullopt;
            return HtmlTag{i, end + 3, QStringLiteral("!--"), false};
        }
        qsizetype at = i + 1;
        const bool closing = at < n && html.at(at) == u'/';
        if (closing)
            ++at;
        qsizetype nameEnd = at;
        while (nameEnd < n && nameEnd - at < 12 && html.at(nameEnd).isLetterOrNumber())
            ++nameEnd;
        if (nameEnd == at)
            continue;
        QChar quote;
        for (qsizetype j = nameEnd; j < n; ++j) {
            const QChar c = html.at(j);
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'>') {
                return HtmlTag{i, j + 1, html.mid(at, nameEnd - at).toLower(), closing};
            }
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// One table row of plain cells: text with inline formatting only.
struct PlainRow {
    QString
        shape; // the row's tags and the form of its texts: rows of one shape differ in text only
    std::vector<std::vector<QString>> nodes; // the decoded text pieces of each cell
};

std::optional<PlainRow> ParseRow(const QString& html, qsizetype begin, qsizetype end) {
    static const QStringList inlineTags = {OwnedText("span"), OwnedText("b"),      OwnedText("i"),
                                           OwnedText("u"),    OwnedText("strong"), OwnedText("em"),
                                           OwnedText("font"), OwnedText("small")};
    PlainRow row;
    bool inCell = false;
    qsizetype at = begin;
    QString decoded;
    const auto addText = [&](qsizetype from, qsizetype to) {
        if (to <= from)
            return true;
        const QStringView raw = QStringView(html).mid(from, to - from);
        if (!inCell) {
            for (const QChar c : raw) {
                if (!IsHtmlSpace(c))
                    return false;
            }
            return true;
        }
        if (!DecodeText(raw, decoded))
            return false;
        if (decoded.isEmpty())
            return true;
        bool blank = true;
        for (const QChar c : decoded)
            blank = blank && IsHtmlSpace(c);
        row.shape += QChar(1);
        if (blank) {
            row.shape += u'w';
        } else {
            row.shape += IsHtmlSpace(decoded.front()) ? u'l' : u'-';
            row.shape += IsHtmlSpace(decoded.back()) ? u't' : u'-';
        }
        row.nodes.back().push_back(decoded);
        return true;
    };
    bool first = true;
    while (at < end) {
        const std::optional<HtmlTag> tag = NextTag(html, at);
        const qsizetype textEnd = tag && tag->begin < end ? tag->begin : end;
        if (!addText(at, textEnd))
            return std::nullopt;
        if (!tag || tag->begin >= end)
            break;
        if (tag->end > end)
            return std::nullopt;
        at = tag->end;
        const QString& name = tag->name;
        if (first != (name == u"tr" && !tag->closing))
            return std::nullopt;
        first = false;
        if (name == u"!--")
            continue;
        const QStringView text = QStringView(html).mid(tag->begin, tag->end - tag->begin);
        if (name == u"td" || name == u"th") {
            if (tag->closing) {
                inCell = false;
            } else {
                if (text.contains(u"colspan", Qt::CaseInsensitive) ||
                    text.contains(u"rowspan", Qt::CaseInsensitive))
                    return std::nullopt;
                inCell = true;
                row.nodes.emplace_back();
            }
        } else if (name == u"tr") {
            if (tag->closing)
                inCell = false;
        } else if (!inCell || !inlineTags.contains(name)) {
            return std::nullopt;
        }
        row.shape += text;
    }
    if (row.nodes.empty())
        return std::nullopt;
    return row;
}

// A cell's text as Qt's import makes it: spaces collapsed, none at the ends; each character
// remembers the text piece it came from.
struct CellText {
    QString text;
    std::vector<int> node;
};

CellText Collapse(const std::vector<QString>& nodes) {
    CellText out;
    bool pending = false;
    int pendingNode = 0;
    for (int j = 0; j < int(nodes.size()); ++j) {
        for (const QChar c : nodes[size_t(j)]) {
            if (IsHtmlSpace(c)) {
                if (!pending && !out.text.isEmpty()) {
                    pending = true;
                    pendingNode = j;
                }
                continue;
            }
            if (pending) {
                out.text += u' ';
                out.node.push_back(pendingNode);
                pending = false;
            }
            out.text += c;
            out.node.push_back(j);
        }
    }
    return out;
}

// The longest run of plain body rows in a table at the top level of the report.
struct RowRun {
    int tableIndex = -1; // among the tables at the top level
    int rowsBefore = 0;  // rows of the table before the run
    int rowsInTable = 0;
    std::vector<qsizetype> starts; // each row's [start, end) in the HTML
    std::vector<qsizetype> ends;
    std::vector<PlainRow> rows;
};

std::optional<RowRun> FindRowRun(const QString& html) {
    struct TableRow {
        qsizetype begin;
        qsizetype end;
        bool head;
    };
    std::optional<RowRun> best;
    int tableDepth = 0;
    int tableIndex = -1;
    std::vector<TableRow> rows;
    bool head = false;
    bool rowOpen = false;
    const auto closeRow = [&](qsizetype end) {
        if (rowOpen)
            rows.back().end = end;
        rowOpen = false;
    };
    const auto finishTable = [&] {
        int r = 0;
        while (r < int(rows.size())) {
            RowRun run;
            run.tableIndex = tableIndex;
            run.rowsBefore = r;
            run.rowsInTable = int(rows.size());
            for (; r < int(rows.size()); ++r) {
                const TableRow& row = rows[size_t(r)];
                if (row.head)
                    break;
                if (!run.ends.empty()) {
                    const QStringView gap =
                        QStringView(html).mid(run.ends.back(), row.begin - run.ends.back());
                    if (std::any_of(gap.begin(), gap.end(),
                                    [](QChar c) { return !IsHtmlSpace(c); }))
                        break;
                }
                std::optional<PlainRow> plain = ParseRow(html, row.begin, row.end);
                if (!plain ||
                    (!run.rows.empty() && plain->nodes.size() != run.rows.front().nodes.size()))
                    break;
                run.starts.push_back(row.begin);
                run.ends.push_back(row.end);
                run.rows.push_back(std::move(*plain));
            }
            if (run.rows.empty())
                ++r;
            else if (!best || run.rows.size() > best->rows.size())
                best = std::move(run);
        }
        rows.clear();
    };
    for (std::optional<HtmlTag> tag = NextTag(html, 0); tag; tag = NextTag(html, tag->end)) {
        const QString& name = tag->name;
        if (name == u"table") {
            if (!tag->closing) {
                if (++tableDepth == 1) {
                    ++tableIndex;
                    head = false;
                }
            } else if (tableDepth > 0) {
                if (tableDepth == 1) {
                    closeRow(tag->begin);
                    finishTable();
                }
                --tableDepth;
            }
            continue;
        }
        if (tableDepth != 1)
            continue;
        if (name == u"tr") {
            if (tag->closing) {
                closeRow(tag->end);
            } else {
                closeRow(tag->begin);
                rows.push_back({tag->begin, tag->begin, head});
                rowOpen = true;
            }
        } else if (name == u"thead" || name == u"tbody" || name == u"tfoot") {
            closeRow(tag->begin);
            head = name == u"thead" && !tag->closing;
        }
    }
    return best;
}

// What Qt made of one cell of a row form: where its text stands in the row, its formats, its
// background.
struct CellModel {
    std::vector<QTextCharFormat> nodeFormats;
    std::vector<signed char> nodeNbsp; // 1 where the piece's spaces are no-break spaces
    QFont font;
    QTextOption option;
    double lineWidth = 0;
    QPointF firstLine;
    bool leadingIncluded = false;
    QPointF origin; // where the text layout is drawn, from the row's top
    double padBottom = 0;
    double left = 0; // the cell's background, across
    double right = 0;
    QBrush background;
};

struct RowModel {
    std::vector<CellModel> cells;
};

// A cell's text laid out for painting.
struct CellLayout {
    std::unique_ptr<QTextLayout> layout;
    double bottom = 0; // of the last line, in the layout
};

struct DirectRow {
    int shape = 0;
    double top = 0; // in the report as laid out with all its rows
    double height = 0;
    std::vector<const CellLayout*> cells;
};

// A report whose long table is painted row by row: the document laid out with representative
// rows, and the rows themselves.
struct DirectReport {
    std::vector<RowModel> shapes;
    std::vector<DirectRow> rows;
    double repTop = 0; // where the representative rows stand in the document
    double repBottom = 0;
    double rowsHeight = 0;
    PageSpans spans;                                       // of the whole report
    std::map<std::pair<int, QString>, CellLayout> layouts; // by shape and column, and text
};

QTextLayout* LayCell(CellLayout& cell, const CellModel& model, const CellText& text,
                     const QPaintDevice* device) {
    QString shown = text.text;
    for (qsizetype k = 0; k < shown.size(); ++k) {
        if (shown.at(k) == u' ' && model.nodeNbsp[size_t(text.node[size_t(k)])] > 0)
            shown[k] = QChar(0xA0);
    }
    cell.layout = std::make_unique<QTextLayout>(shown, model.font, device);
    QTextLayout& layout = *cell.layout;
    layout.setTextOption(model.option);
    QList<QTextLayout::FormatRange> ranges;
    for (qsizetype k = 0; k < text.text.size();) {
        const int node = text.node[size_t(k)];
        qsizetype end = k + 1;
        while (end < text.text.size() && text.node[size_t(end)] == node)
            ++end;
        ranges.append({int(k), int(end - k), model.nodeFormats[size_t(node)]});
        k = end;
    }
    layout.setFormats(ranges);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    double y = model.firstLine.y();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(model.lineWidth);
        line.setLeadingIncluded(model.leadingIncluded);
        line.setPosition(QPointF(model.firstLine.x(), y));
        y += line.height();
    }
    layout.endLayout();
    cell.bottom = y;
    return cell.layout.get();
}

} // namespace

namespace {

// The report's document laid out on the device itself (so point sizes come out true on paper),
// as one long page of the body's width: the page size is set before the HTML.
struct LaidOutDocument {
    ReportDocument document;
    QrTextObject qr;

    LaidOutDocument(const RenderedReport& report, const QString& html, QPagedPaintDevice& device,
                    const QRectF& body)
        : document(report.resourceFolder, report.templateName), qr(EncodeQr(report.qrText)) {
        // Without a page size Qt does not lay the document out: the HTML and the payment code's
        // object go in first, and setting the page size then lays the whole document out once.
        // (Laid out before the code's format changed, Qt would lay the change out lazily, a step
        // now and the rest on a timer that never runs here, and the blocks after the code would
        // vanish from the page.) The page size goes first, before the layout exists: made for
        // the empty document, the layout would otherwise lay its empty block out on the screen.
        document.setPageSize(QSizeF(0, 0));
        document.documentLayout()->setPaintDevice(&device);
        document.setUseDesignMetrics(true);
        document.setDocumentMargin(0);
        document.setDefaultFont(BodyFont());
        document.setHtml(html);
        qr.install(document);
        // Each block keeps its shaped text: Qt would otherwise shape it again for every layout
        // of a table cell (its widths are measured before it is laid out) and for painting.
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            block.layout()->setCacheEnabled(true);
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
    }
};

struct DirectReportDocument : DirectReport {
    std::unique_ptr<LaidOutDocument> laidOut;
};

// The longest table of plain rows laid out by Qt with representative rows only, and every row
// measured for painting; none when the table does not fit this model or its rows are fewer
// than minRows. Each representative row laid out here must come out as Qt laid it out: its
// text, formats, lines and height; and no row may be wider than the representatives (the
// columns would differ).
std::unique_ptr<DirectReportDocument> LayOutDirect(const RenderedReport& report,
                                                   QPagedPaintDevice& device, const QRectF& body,
                                                   int minRows) {
    std::optional<RowRun> run = FindRowRun(report.html);
    if (!run || int(run->rows.size()) < minRows)
        return nullptr;
    const int n = int(run->rows.size());
    const int columns = int(run->rows.front().nodes.size());
    const size_t rowCount = size_t(n);
    const size_t columnCount = size_t(columns);
    std::vector<std::vector<CellText>> texts(rowCount);
    std::vector<int> shapeOf(rowCount);
    QHash<QString, int> shapes;
    std::vector<int> firstOfShape;
    std::set<int> representatives;
    std::vector<int> longest(columnCount, 0);
    std::vector<int> longestWord(columnCount, 0);
    std::vector<qsizetype> longestSize(columnCount, -1);
    std::vector<qsizetype> longestWordSize(columnCount, -1);
    for (int i = 0; i < n; ++i) {
        const PlainRow& row = run->rows[size_t(i)];
        const auto found = shapes.constFind(row.shape);
        if (found == shapes.constEnd()) {
            shapeOf[size_t(i)] = int(firstOfShape.size());
            shapes.insert(row.shape, int(firstOfShape.size()));
            firstOfShape.push_back(i);
            representatives.insert(i);
            if (int(firstOfShape.size()) > kMaxRepresentatives)
                return nullptr;
        } else {
            shapeOf[size_t(i)] = *found;
        }
        for (int c = 0; c < columns; ++c) {
            texts[size_t(i)].push_back(Collapse(row.nodes[size_t(c)]));
            const QString& text = texts[size_t(i)].back().text;
            if (text.size() > longestSize[size_t(c)]) {
                longestSize[size_t(c)] = text.size();
                longest[size_t(c)] = i;
            }
            qsizetype word = 0;
            for (qsizetype k = 0, start = 0; k <= text.size(); ++k) {
                if (k == text.size() || text.at(k) == u' ') {
                    word = std::max(word, k - start);
                    start = k + 1;
                }
            }
            if (word > longestWordSize[size_t(c)]) {
                longestWordSize[size_t(c)] = word;
                longestWord[size_t(c)] = i;
            }
        }
    }
    for (int c = 0; c < columns; ++c) {
        representatives.insert(longest[size_t(c)]);
        representatives.insert(longestWord[size_t(c)]);
    }

    const double scale = device.logicalDpiY() / 96.0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (int(representatives.size()) > kMaxRepresentatives)
            return nullptr;
        const std::vector<int> reps(representatives.begin(), representatives.end());
        QString html = report.html.left(run->starts.front());
        for (const int r : reps)
            html += QStringView(report.html)
                        .mid(run->starts[size_t(r)], run->ends[size_t(r)] - run->starts[size_t(r)]);
        html += QStringView(report.html).mid(run->ends.back());

        auto direct = std::make_unique<DirectReportDocument>();
        direct->laidOut = std::make_unique<LaidOutDocument>(report, html, device, body);
        QTextDocument& document = direct->laidOut->document;
        QAbstractTextDocumentLayout* layout = document.documentLayout();
        QTextTable* table = nullptr;
        int index = 0;
        for (QTextFrame* child : document.rootFrame()->childFrames()) {
            if (auto* t = qobject_cast<QTextTable*>(child);
                t != nullptr && index++ == run->tableIndex) {
                table = t;
                break;
            }
        }
        const int rowsAfter = run->rowsInTable - run->rowsBefore - n;
        if (table == nullptr || table->columns() != columns ||
            table->rows() != run->rowsBefore + int(reps.size()) + rowsAfter)
            return nullptr;
        const QTextTableFormat tableFormat = table->format();
        if (tableFormat.border() > 0 || tableFormat.background().style() != Qt::NoBrush)
            return nullptr;
        const double padding = tableFormat.cellPadding() * scale;
        const std::vector<Span> rowSpans = TableRowSpans(layout, table);

        // The row forms, from their representatives as Qt laid them out.
        direct->shapes.assign(firstOfShape.size(), RowModel());
        std::vector<bool> modelled(firstOfShape.size(), false);
        double extra = 0;
        double needFraction = 0;
        for (size_t k = 0; k < reps.size(); ++k) {
            const int i = reps[k];
            const int docRow = run->rowsBefore + int(k);
            const Span rowSpan = rowSpans[size_t(docRow)];
            const double rowStep = docRow + 1 < int(rowSpans.size())
                                       ? rowSpans[size_t(docRow) + 1].top - rowSpan.top
                                       : rowSpan.bottom - rowSpan.top;
            RowModel model;
            model.cells.resize(size_t(columns));
            double need = 0;
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(docRow, c);
                if (!cell.isValid() || cell.row() != docRow || cell.column() != c ||
                    cell.rowSpan() != 1 || cell.columnSpan() != 1)
                    return nullptr;
                const QTextBlock block = cell.firstCursorPosition().block();
                if (LastBlockOf(cell) != block)
                    return nullptr;
                for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                    if (it.currentFrame() != nullptr)
                        return nullptr;
                }
                const CellText& text = texts[size_t(i)][size_t(c)];
                const QTextLayout* qtLayout = block.layout();
                if (block.text().size() != text.text.size() || qtLayout == nullptr ||
                    qtLayout->lineCount() < 1)
                    return nullptr;
                CellModel& cm = model.cells[size_t(c)];
                cm.nodeFormats.assign(run->rows[size_t(i)].nodes[size_t(c)].size(),
                                      QTextCharFormat());
                std::vector<bool> known(cm.nodeFormats.size(), false);
                // Spaces of a text that may not wrap become no-break spaces.
                cm.nodeNbsp.assign(cm.nodeFormats.size(), -1);
                const QString qtText = block.text();
                for (qsizetype p = 0; p < qtText.size(); ++p) {
                    const QChar mine = text.text.at(p);
                    const QChar theirs = qtText.at(p);
                    if (mine == theirs && mine != u' ')
                        continue;
                    if (mine != u' ' || (theirs != u' ' && theirs != QChar(0xA0)))
                        return nullptr;
                    signed char& nbsp = cm.nodeNbsp[size_t(text.node[size_t(p)])];
                    const signed char now = theirs == u' ' ? 0 : 1;
                    if (nbsp >= 0 && nbsp != now)
                        return nullptr;
                    nbsp = now;
                }
                for (QTextBlock::iterator f = block.begin(); !f.atEnd(); ++f) {
                    const QTextFragment fragment = f.fragment();
                    const QTextCharFormat format = fragment.charFormat();
                    if (format.objectType() != QTextFormat::NoObject || format.isImageFormat())
                        return nullptr;
                    const int from = fragment.position() - block.position();
                    for (int p = from; p < from + fragment.length(); ++p) {
                        if (p >= int(text.node.size()))
                            return nullptr;
                        const size_t node = size_t(text.node[size_t(p)]);
                        if (!known[node]) {
                            known[node] = true;
                            cm.nodeFormats[node] = format;
                        } else if (cm.nodeFormats[node] != format) {
                            return nullptr;
                        }
                    }
                }
                if (block.blockFormat().background().style() != Qt::NoBrush)
                    return nullptr;
                const QTextTableCellFormat cf = cell.format().toTableCellFormat();
                const auto align = cf.verticalAlignment();
                if ((align != QTextCharFormat::AlignNormal && align != QTextCharFormat::AlignTop) ||
                    cf.topBorder() > 0 || cf.bottomBorder() > 0 || cf.leftBorder() > 0 ||
                    cf.rightBorder() > 0)
                    return nullptr;
                cm.background = cf.background();
                if (cm.background.style() != Qt::NoBrush &&
                    cm.background.style() != Qt::SolidPattern)
                    return nullptr;
                const auto pad = [&](QTextFormat::Property property, double value) {
                    return cf.hasProperty(property) ? value * scale : padding;
                };
                const double padLeft = pad(QTextFormat::TableCellLeftPadding, cf.leftPadding());
                const double padRight = pad(QTextFormat::TableCellRightPadding, cf.rightPadding());
                cm.padBottom = pad(QTextFormat::TableCellBottomPadding, cf.bottomPadding());
                cm.font = QFont(block.charFormat().font(), &device);
                cm.option = qtLayout->textOption();
                const QTextLine line = qtLayout->lineAt(0);
                cm.lineWidth = line.width();
                cm.firstLine = line.position();
                cm.leadingIncluded = line.leadingIncluded();
                const QPointF origin =
                    layout->blockBoundingRect(block).topLeft() - qtLayout->boundingRect().topLeft();
                cm.origin = QPointF(origin.x(), origin.y() - rowSpan.top);
                cm.left = origin.x() + cm.firstLine.x() - padLeft;
                cm.right = origin.x() + cm.firstLine.x() + cm.lineWidth + padRight;
                CellLayout probe;
                LayCell(probe, cm, text, &device);
                if (probe.layout->lineCount() != qtLayout->lineCount())
                    return nullptr;
                need = std::max(need, cm.origin.y() + probe.bottom + cm.padBottom);
            }
            // Qt's row stands a little taller than its cells (rounded up); the same for rows
            // whose height has the same fraction of a dot.
            const double fraction = need - std::floor(need);
            if (k == 0) {
                extra = rowStep - need;
                needFraction = fraction;
            } else if (std::abs(rowStep - need - extra) > 0.02 ||
                       std::abs(fraction - needFraction) > 0.02) {
                return nullptr;
            }
            const size_t s = size_t(shapeOf[size_t(i)]);
            if (!modelled[s]) {
                direct->shapes[s] = std::move(model);
                modelled[s] = true;
                continue;
            }
            // What a further representative tells of its pieces' spaces.
            for (int c = 0; c < columns; ++c) {
                std::vector<signed char>& known = direct->shapes[s].cells[size_t(c)].nodeNbsp;
                const std::vector<signed char>& more = model.cells[size_t(c)].nodeNbsp;
                for (size_t node = 0; node < known.size() && node < more.size(); ++node) {
                    if (known[node] < 0)
                        known[node] = more[node];
                    else if (more[node] >= 0 && more[node] != known[node])
                        return nullptr;
                }
            }
        }

        // Every row measured; the widest cells must be among the representatives.
        std::vector<double> maxAll(columnCount, 0), maxReps(columnCount, 0);
        std::vector<double> minAll(columnCount, 0), minReps(columnCount, 0);
        std::vector<int> maxRow(columnCount, 0), minRow(columnCount, 0);
        direct->rows.resize(rowCount);
        std::set<int> unknownSpaces;
        std::set<int> unknownShapes;
        double y = 0;
        for (int i = 0; i < n; ++i) {
            const int shape = shapeOf[size_t(i)];
            const RowModel& model = direct->shapes[size_t(shape)];
            DirectRow& row = direct->rows[size_t(i)];
            row.shape = shape;
            row.cells.resize(size_t(columns));
            const bool isRep = representatives.count(i) > 0;
            double need = 0;
            for (int c = 0; c < columns; ++c) {
                const CellModel& cm = model.cells[size_t(c)];
                const CellText& text = texts[size_t(i)][size_t(c)];
                // A space in a piece whose spaces no representative showed: Qt may make it a
                // no-break space; the row becomes a representative.
                for (qsizetype k = 0; k < text.text.size(); ++k) {
                    if (text.text.at(k) == u' ' && cm.nodeNbsp[size_t(text.node[size_t(k)])] < 0 &&
                        unknownShapes.insert(shape).second)
                        unknownSpaces.insert(i);
                }
                CellLayout& cell = direct->layouts[{shape * columns + c, text.text}];
                if (!cell.layout)
                    LayCell(cell, cm, text, &device);
                row.cells[size_t(c)] = &cell;
                need = std::max(need, cm.origin.y() + cell.bottom + cm.padBottom);
                const double widest = cell.layout->maximumWidth();
                const double narrowest = cell.layout->minimumWidth();
                if (widest > maxAll[size_t(c)]) {
                    maxAll[size_t(c)] = widest;
                    maxRow[size_t(c)] = i;
                }
                if (narrowest > minAll[size_t(c)]) {
                    minAll[size_t(c)] = narrowest;
                    minRow[size_t(c)] = i;
                }
                if (isRep) {
                    maxReps[size_t(c)] = std::max(maxReps[size_t(c)], widest);
                    minReps[size_t(c)] = std::max(minReps[size_t(c)], narrowest);
                }
            }
            if (std::abs(need - std::floor(need) - needFraction) > 0.02)
                return nullptr;
            row.top = y;
            row.height = need + extra;
            y += row.height;
        }
        bool complete = unknownSpaces.empty();
        representatives.insert(unknownSpaces.begin(), unknownSpaces.end());
        for (int c = 0; c < columns; ++c) {
            if (maxAll[size_t(c)] > maxReps[size_t(c)]) {
                representatives.insert(maxRow[size_t(c)]);
                complete = false;
            }
            if (minAll[size_t(c)] > minReps[size_t(c)]) {
                representatives.insert(minRow[size_t(c)]);
                complete = false;
            }
        }
        if (!complete)
            continue;

        // The pages' spans: the document's, with the rows in place of the representatives.
        const int firstRep = run->rowsBefore;
        const int lastRep = firstRep + int(reps.size()) - 1;
        direct->repTop = rowSpans[size_t(firstRep)].top;
        direct->repBottom = lastRep + 1 < int(rowSpans.size()) ? rowSpans[size_t(lastRep) + 1].top
                                                               : rowSpans[size_t(lastRep)].bottom;
        direct->rowsHeight = y;
        const double delta = y - (direct->repBottom - direct->repTop);
        PageSpans all = CollectSpans(document);
        constexpr double eps = 0.01;
        const auto move = [&](std::vector<Span>& spans) {
            std::vector<Span> kept;
            kept.reserve(spans.size());
            for (Span s : spans) {
                if (s.top >= direct->repTop - eps && s.bottom <= direct->repBottom + eps &&
                    s.top < direct->repBottom - eps)
                    continue;
                if (s.top >= direct->repBottom - eps) {
                    s.top += delta;
                    s.bottom += delta;
                }
                kept.push_back(s);
            }
            spans = std::move(kept);
        };
        move(all.spans);
        move(all.lines);
        for (TableHeader& header : all.headers) {
            if (header.bodyBottom >= direct->repBottom - eps)
                header.bodyBottom += delta;
        }
        for (const DirectRow& row : direct->rows) {
            const double top = direct->repTop + row.top;
            all.spans.push_back({top, top + row.height});
            for (int c = 0; c < columns; ++c) {
                const double origin =
                    top + direct->shapes[size_t(row.shape)].cells[size_t(c)].origin.y();
                const QTextLayout& text = *row.cells[size_t(c)]->layout;
                for (int l = 0; l < text.lineCount(); ++l) {
                    const QTextLine line = text.lineAt(l);
                    all.lines.push_back({origin + line.y(), origin + line.y() + line.height()});
                }
            }
        }
        all.height += delta;
        direct->spans = std::move(all);
        return direct;
    }
    return nullptr;
}

} // namespace

int PaintReport(const RenderedReport& report, QPagedPaintDevice& device, LayoutPath path,
                bool* rowsPaintedDirectly) {
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

    std::unique_ptr<DirectReportDocument> direct;
    if (path != LayoutPath::General)
        direct =
            LayOutDirect(report, device, body, path == LayoutPath::DirectRows ? 1 : kDirectRowsMin);
    if (rowsPaintedDirectly != nullptr)
        *rowsPaintedDirectly = direct != nullptr;
    std::unique_ptr<LaidOutDocument> general;
    if (!direct)
        general = std::make_unique<LaidOutDocument>(report, report.html, device, body);
    QTextDocument& document = direct ? direct->laidOut->document : general->document;
    const PageSpans spans =
        direct ? std::move(direct->spans) : CollectSpans(document, body.height());
    if (!std::isfinite(spans.height) || spans.height > kLongPage - body.height())
        ThrowBeyondBounds(report.templateName,
                          QStringLiteral("sestava by měla přes %1 stran").arg(kMaxPages));

    const QList<PageSlice> slices = CutPages(spans, body.height());
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
    // The directly painted rows within [top, bottom) of the report, from pageY on the page: as
    // Qt paints a cell, its background and then its text in the palette's text colour.
    const QColor textColour =
        QAbstractTextDocumentLayout::PaintContext().palette.color(QPalette::Text);
    const auto drawRows = [&](double top, double bottom, double pageY) {
        painter.save();
        // Placed as the document's parts are, in the report's coordinates.
        painter.translate(body.left(), pageY - top);
        painter.setClipRect(QRectF(0, top, body.width(), bottom - top));
        const double from = top - direct->repTop;
        auto row = std::lower_bound(
            direct->rows.begin(), direct->rows.end(), from,
            [](const DirectRow& r, double y) { return r.top + r.height <= y + 0.01; });
        for (; row != direct->rows.end() && row->top < bottom - direct->repTop - 0.01; ++row) {
            const double y = direct->repTop + row->top;
            const RowModel& model = direct->shapes[size_t(row->shape)];
            for (size_t c = 0; c < model.cells.size(); ++c) {
                const CellModel& cell = model.cells[c];
                if (cell.background.style() != Qt::NoBrush)
                    painter.fillRect(QRectF(cell.left, y, cell.right - cell.left, row->height),
                                     cell.background);
                painter.setPen(textColour);
                row->cells[c]->layout->draw(&painter,
                                            QPointF(cell.origin.x(), y + cell.origin.y()));
            }
        }
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
        if (!direct) {
            drawPart(QRectF(0, slice.top, body.width(), slice.bottom - slice.top), y);
        } else {
            // Above the rows and below them the document, whose part below stands higher by
            // the height the rows take beyond the representatives'.
            const double rowsEnd = direct->repTop + direct->rowsHeight;
            const double shift = direct->rowsHeight - (direct->repBottom - direct->repTop);
            if (slice.top < direct->repTop)
                drawPart(QRectF(0, slice.top, body.width(),
                                std::min(slice.bottom, direct->repTop) - slice.top),
                         y);
            const double from = std::max(slice.top, direct->repTop);
            const double to = std::min(slice.bottom, rowsEnd);
            if (to > from)
                drawRows(from, to, y + (from - slice.top));
            if (slice.bottom > rowsEnd) {
                const double start = std::max(slice.top, rowsEnd);
                drawPart(QRectF(0, start - shift, body.width(), slice.bottom - start),
                         y + (start - slice.top));
            }
        }
        PaintFooter(painter, body, mm, report.title, page + 1, pages);
    }
    painter.end();
    // The style sheets' images load as they are drawn.
    (direct ? direct->laidOut->document : general->document).checkResources();
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
