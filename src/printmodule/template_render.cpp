#include "template_render.h"

#include "module_text.h"

#include <QFile>
#include <QStringDecoder>

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

mstch::data BuildContext(const QList<Variable>& variables, const ReportTable& table) {
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

    mstch::data rows{mstch::data::type::list};
    mstch::data usedRows{mstch::data::type::list};
    int used = 0;
    for (int r = 0; r < table.rows.size(); ++r) {
        rows.push_back(RowObject(table, r, r));
        if (!table.isBlankRow(r))
            usedRows.push_back(RowObject(table, r, used++));
    }
    context.set("MaRadky", Flag(!usedRows.is_empty_list()));
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

} // namespace

QString ReadTemplateFile(const QString& path) {
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
                       const ReportTable& table) {
    mstch::mustache engine(Utf8(templateText));
    if (!engine.is_valid())
        throw ReportError(PRM1_ERROR_TEMPLATE_INVALID,
                          QStringLiteral("Chyba v předloze: %1")
                              .arg(QString::fromStdString(engine.error_message())));
    engine.set_custom_escape(EscapeHtml);
    const mstch::data context = BuildContext(variables, table);
    const std::string html = engine.render(context);
    if (!engine.is_valid())
        throw ReportError(PRM1_ERROR_TEMPLATE_INVALID,
                          QStringLiteral("Chyba v předloze: %1")
                              .arg(QString::fromStdString(engine.error_message())));
    return QString::fromStdString(html);
}

} // namespace tarvela::prm1
