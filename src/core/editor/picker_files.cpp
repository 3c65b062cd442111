#include "editor/picker_files.h"

#include "invoice/invoice_file.h"
#include "text/helpers.h"

namespace tarvela {
namespace {

std::optional<QString> LineIfPresent(const FileLines& lines, int n) {
    if (!lines.has(n))
        return std::nullopt;
    return lines.line(n);
}

} // namespace

InvoiceItemRow ItemRowFromCells(const QString& line) {
    const QStringList parts = SplitCells(line);
    InvoiceItemRow row;
    for (int i = 0; i < kItemCellCount && i < parts.size(); ++i)
        row.cell(i) = parts[i];
    return row;
}

CustomerTaken TakeCustomerLines(const FileLines& lines) {
    CustomerTaken taken;
    for (int i = 0; i < 9; ++i)
        taken.Od[i] = LineIfPresent(lines, 10 + i);
    taken.Email = CustomerEmailLine(lines);
    return taken;
}

QString CustomerEmailLine(const FileLines& lines) {
    QString key;
    for (const OptionalInvoiceField& field : kOptionalInvoiceFields) {
        if (field.member == &InvoiceRecord::OdberatelEmail)
            key = QString::fromLatin1(field.key) + QLatin1Char('=');
    }
    for (int n = kInvoiceFileLineCount + 1; n <= lines.count(); ++n) {
        if (lines.lineView(n).startsWith(key))
            return lines.line(n).mid(key.size());
    }
    return QString();
}

TemplateTaken TakeTemplateLines(const FileLines& lines) {
    TemplateTaken taken;
    for (int i = 0; i < 4; ++i)
        taken.Fa[i] = LineIfPresent(lines, 2 + i);
    taken.Customer = TakeCustomerLines(lines);
    for (int row = 1; row <= kItemRowCount; ++row) {
        if (lines.has(18 + row))
            taken.Rows[row - 1] = ItemRowFromCells(lines.line(18 + row));
    }
    taken.Komentar1 = LineIfPresent(lines, 44);
    taken.Komentar2 = LineIfPresent(lines, 45);
    taken.Mena = LineIfPresent(lines, 48);
    return taken;
}

QString MissingPeriodFolderMessage(const QString& year) {
    return QStringLiteral("Nebyl nalezen adresář \"%1\" do kterého se ukládají vytvořené faktury.")
        .arg(year);
}

} // namespace tarvela
