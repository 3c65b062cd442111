#include "template_render.h"

#include "module_text.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <string_view>
#include <vector>

#include <kainjow/mustache.hpp>

namespace tarvela::prm1 {
namespace mstch = kainjow::mustache;

namespace {

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// Escapes a value for HTML; the apostrophe as a numeric reference, which Qt's parser knows.
std::string EscapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char ch : text) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

mstch::data Flag(bool value) {
    return mstch::data(value ? mstch::data::type::bool_true : mstch::data::type::bool_false);
}

bool IsNonZeroNumber(const QString& text) {
    const std::optional<Decimal> number = ParseNumber(text);
    return number && number->units != 0;
}

// Two cells are equal when they are the same text after trimming or the same number.
bool SameValue(const QString& a, const QString& b) {
    if (a.trimmed() == b.trimmed())
        return true;
    std::optional<Decimal> x = ParseNumber(a);
    std::optional<Decimal> y = ParseNumber(b);
    if (!x || !y)
        return false;
    const int decimals = std::max(x->decimals, y->decimals);
    return Rescale(*x, decimals) && Rescale(*y, decimals) && x->units == y->units;
}

// One row for a list; `position` counts from 0 within that list.
mstch::data RowObject(const ReportTable& table, int row, int position) {
    mstch::data object;
    mstch::data filled;
    mstch::data nonZero;
    const QStringList& cells = table.rows.at(row);
    for (int c = 0; c < table.columns.size(); ++c) {
        const std::string name = Utf8(table.columns.at(c).name);
        object.set(name, Utf8(cells.at(c)));
        filled.set(name, Flag(!cells.at(c).trimmed().isEmpty()));
        nonZero.set(name, Flag(IsNonZeroNumber(cells.at(c))));
    }
    object.set("Vyplneno", filled);
    object.set("Nenulove", nonZero);
    object.set("Poradi", std::to_string(position + 1));
    object.set("Sudy", Flag(position % 2 == 1));
    object.set("Prazdny", Flag(table.isBlankRow(row)));
    return object;
}

// {{#SoucetKde}}Column|ByColumn|Value{{/SoucetKde}}: the sum of Column over the rows whose
// ByColumn equals Value. The inner text is expanded first, so Value may be a {{variable}}.
mstch::data SumWhere(const ReportTable& table) {
    return mstch::lambda2([&table](const std::string& text, const mstch::renderer& render) {
        const QStringList parts = QString::fromStdString(render(text)).split(u'|');
        if (parts.size() != 3)
            throw ReportError(PRM1_ERROR_TEMPLATE_INVALID,
                              QStringLiteral("SoucetKde potřebuje tvar Sloupec|Sloupec|Hodnota, "
                                             "dostal \"%1\".")
                                  .arg(parts.join(u'|')));
        const int column = table.columnIndex(parts.at(0).trimmed());
        const int byColumn = table.columnIndex(parts.at(1).trimmed());
        if (column < 0 || byColumn < 0)
            throw ReportError(PRM1_ERROR_TEMPLATE_INVALID,
                              QStringLiteral("SoucetKde: sestava nemá sloupec \"%1\".")
                                  .arg(column < 0 ? parts.at(0) : parts.at(1)));
        const QString value = parts.at(2);
        const std::optional<QString> sum = table.sum(
            column, [&](int r) { return SameValue(table.rows.at(r).at(byColumn), value); });
        return EscapeHtml(Utf8(sum.value_or(QString())));
    });
}

// `text` is the template: the list of the used rows is made only when it names it (a name is
// never put together by the engine, so a template that does not spell it cannot reach it).
mstch::data BuildContext(const QList<Variable>& variables, const ReportTable& table,
                         const std::string& text) {
    mstch::data context;
    mstch::data yes;
    mstch::data filled;
    mstch::data nonZero;
    for (const Variable& v : variables) {
        const std::string name = Utf8(v.name);
        context.set(name, Utf8(v.value));
        yes.set(name, Flag(v.value.trimmed() == u"1"));
        filled.set(name, Flag(!v.value.trimmed().isEmpty()));
        nonZero.set(name, Flag(IsNonZeroNumber(v.value)));
    }
    context.set("Ano", yes);
    context.set("Vyplneno", filled);
    context.set("Nenulove", nonZero);

    const bool wantsRows = text.find("Radky") != std::string::npos;
    const bool wantsUsedRows = text.find("NeprazdneRadky") != std::string::npos;
    mstch::data rows{mstch::data::type::list};
    mstch::data usedRows{mstch::data::type::list};
    int used = 0;
    for (int r = 0; r < table.rows.size(); ++r) {
        if (wantsRows)
            rows.push_back(RowObject(table, r, r));
        if (!table.isBlankRow(r)) {
            if (wantsUsedRows)
                usedRows.push_back(RowObject(table, r, used));
            ++used;
        }
    }
    context.set("MaRadky", Flag(used > 0));
    context.set("Radky", rows);
    context.set("NeprazdneRadky", usedRows);
    context.set("PocetRadku", std::to_string(table.rows.size()));

    mstch::data sums;
    for (int c = 0; c < table.columns.size(); ++c) {
        if (const std::optional<QString> sum = table.sum(c))
            sums.set(Utf8(table.columns.at(c).name), Utf8(*sum));
    }
    context.set("Soucty", sums);
    context.set("SoucetKde", SumWhere(table));
    return context;
}

// Bounds of one rendering: a template is the user's to edit, and no template may crash or
// freeze the program. The real templates stay far below them (depth 4, a few thousand parts,
// some 100 kB of HTML).
constexpr int kMaxSectionDepth = 64;
constexpr qint64 kMaxExpansions = 2'000'000;
constexpr size_t kMaxOutputBytes = size_t(32) << 20;
constexpr qint64 kMaxRenderMs = 10'000;

[[noreturn]] void ThrowTooComplex(const QString& templateName, const QString& reason) {
    throw ReportError(
        PRM1_ERROR_TEMPLATE_INVALID,
        QStringLiteral("Předlohu sestavy \"%1\" nelze použít: %2.")
            .arg(templateName.isEmpty() ? QStringLiteral("(bez názvu)") : templateName, reason));
}

std::string Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

// Walks the tags of the template before the engine sees it (whose parser and renderer recurse
// once per nested section): refuses a nesting deeper than kMaxSectionDepth and a template whose
// row sections nested in each other would expand to more than kMaxExpansions parts.
void CheckTemplateBounds(const std::string& text, qint64 rows, const QString& templateName) {
    std::string open = "{{";
    std::string close = "}}";
    std::vector<qint64> factors{1}; // the repetitions of every open section, outermost first
    qint64 expansions = 0;
    size_t at = 0;
    while (at < text.size()) {
        const size_t start = text.find(open, at);
        if (start == std::string::npos)
            break;
        size_t inner = start + open.size();
        std::string end = close;
        if (open == "{{" && inner < text.size() && text[inner] == '{')
            end = "}}}";
        const size_t stop = text.find(end, inner);
        if (stop == std::string::npos)
            break; // the engine reports the unclosed tag
        const std::string tag = Trimmed(std::string_view(text).substr(inner, stop - inner));
        at = stop + end.size();
        expansions += factors.back();
        if (expansions > kMaxExpansions)
            ThrowTooComplex(templateName,
                            QStringLiteral("opakované části jsou do sebe vnořeny tak, že by "
                                           "sestava měla přes %1 částí")
                                .arg(kMaxExpansions));
        if (tag.empty())
            continue;
        if (tag.front() == '#' || tag.front() == '^') {
            const std::string name = Trimmed(std::string_view(tag).substr(1));
            const bool list = tag.front() == '#' && (name == "Radky" || name == "NeprazdneRadky");
            const qint64 factor = list ? std::max<qint64>(1, rows) : 1;
            factors.push_back(std::min(factors.back() * factor, kMaxExpansions + 1));
            if (int(factors.size()) - 1 > kMaxSectionDepth)
                ThrowTooComplex(templateName,
                                QStringLiteral("sekce jsou do sebe vnořeny hlouběji než do %1 "
                                               "úrovní")
                                    .arg(kMaxSectionDepth));
        } else if (tag.front() == '/') {
            if (factors.size() > 1)
                factors.pop_back();
        } else if (tag.front() == '=' && tag.size() > 2 && tag.back() == '=') {
            // {{=<% %>=}}: other delimiters from here on
            const std::string pair = Trimmed(std::string_view(tag).substr(1, tag.size() - 2));
            const size_t space = pair.find_first_of(" \t");
            if (space != std::string::npos) {
                open = pair.substr(0, space);
                close = Trimmed(std::string_view(pair).substr(space));
            }
        }
    }
}

} // namespace

QString ReadTemplateFile(const QString& path) {
    // Only a regular file of a sane size is read: a FIFO or a device must not block or fill the
    // memory.
    const QFileInfo info(path);
    constexpr qint64 kMaxTemplateBytes = qint64(4) << 20;
    if (info.exists() && (!info.isFile() || info.size() > kMaxTemplateBytes))
        throw ReportError(PRM1_ERROR_TEMPLATE_UNREADABLE,
                          QStringLiteral("Soubor předlohy \"%1\" nelze použít: není to obyčejný "
                                         "soubor nebo je větší než 4 MB.")
                              .arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(PRM1_ERROR_TEMPLATE_UNREADABLE,
                          QStringLiteral("Soubor předlohy \"%1\" nelze přečíst.").arg(path));
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return FromCp1250(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString RenderTemplate(const QString& templateText, const QList<Variable>& variables,
                       const ReportTable& table, const QString& templateName) {
    const std::string text = Utf8(templateText);
    CheckTemplateBounds(text, table.rows.size(), templateName);
    mstch::mustache engine(text);
    if (!engine.is_valid())
        throw ReportError(PRM1_ERROR_TEMPLATE_INVALID,
                          QStringLiteral("Chyba v předloze: %1")
                              .arg(QString::fromStdString(engine.error_message())));
    engine.set_custom_escape(EscapeHtml);
    const mstch::data context = BuildContext(variables, table, text);
    std::string html;
    QElapsedTimer clock;
    clock.start();
    engine.render(context, [&](const std::string& part) {
        if (html.size() + part.size() > kMaxOutputBytes)
            ThrowTooComplex(
                templateName,
                QStringLiteral("sestava by byla větší než %1 MB").arg(kMaxOutputBytes >> 20));
        if (clock.elapsed() > kMaxRenderMs)
            ThrowTooComplex(
                templateName,
                QStringLiteral("vykreslení by trvalo déle než %1 s").arg(kMaxRenderMs / 1000));
        html += part;
    });
    if (!engine.is_valid())
        throw ReportError(PRM1_ERROR_TEMPLATE_INVALID,
                          QStringLiteral("Chyba v předloze: %1")
                              .arg(QString::fromStdString(engine.error_message())));
    return QString::fromStdString(html);
}

} // namespace tarvela::prm1
