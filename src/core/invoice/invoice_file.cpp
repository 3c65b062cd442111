#include "invoice/invoice_file.h"

#include "invoice/file_lines.h"
#include "text/amount_text.h"
#include "text/codec.h"
#include "text/dates.h"
#include "text/errors.h"

#include <iterator>

namespace tarvela {
namespace {

bool HasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

void CheckSingleLine(const QString& text, const QString& name) {
    if (HasLineBreak(text))
        throw ValidationError(QStringLiteral("Pole „%1“ obsahuje konec řádku, který nelze uložit "
                                             "do souboru faktury. Faktura nebyla uložena.")
                                  .arg(name));
}

// A line of text the file can hold: no line break, every character in Windows-1250. Raises
// ValidationError / EncodingError naming the field.
void CheckStorableLine(const QString& text, const QString& name) {
    CheckSingleLine(text, name);
    if (!CanEncodeCp1250(text))
        EncodeCp1250(text, name); // raises EncodingError naming the field
}

// Fills the optional field whose key ("Kurz") and "=" begin the line; false when none does.
bool ReadOptionalLine(QStringView line, InvoiceRecord& record) {
    for (const OptionalInvoiceField& field : kOptionalInvoiceFields) {
        const QLatin1StringView key(field.key);
        if (line.size() > key.size() && line.startsWith(key) && line[key.size()] == u'=') {
            record.*field.member = line.mid(key.size() + 1).toString();
            return true;
        }
    }
    return false;
}

// Line 46: the total with every space removed, "0" when nothing remains.
QString StoredTotalText(const QString& total) {
    const QString text = StripSpaces(total);
    return text.isEmpty() ? QStringLiteral("0") : text;
}

// Appends one line: the text in Windows-1250 followed by CR LF.
void AppendLine(QByteArray& out, const QString& text, const QString& name) {
    out += EncodeCp1250(text, name);
    out += "\r\n";
}

void AppendLine(QByteArray& out, const QString& text, const char* name) {
    AppendLine(out, text, QString::fromUtf8(name));
}

} // namespace

QString ItemCellName(int row, int cell) {
    static const char* const kCellNames[kItemCellCount] = {"Kód",      "Označení dodávky", "MJ",
                                                           "Počet MJ", "Cena MJ",          "DPH"};
    return QStringLiteral("Položka %1 - %2").arg(row).arg(QString::fromUtf8(kCellNames[cell]));
}

void ValidateInvoiceRecord(const InvoiceRecord& record) {
    for (const InvoiceFileLine& line : kInvoiceFileLines) {
        if (line.text)
            CheckStorableLine(record.*line.text, QString::fromUtf8(line.name));
    }
    for (const OptionalInvoiceField& field : kOptionalInvoiceFields)
        CheckStorableLine(record.*field.member, QString::fromUtf8(field.name));
    for (const QString& text : record.DalsiRadky)
        CheckStorableLine(text, QStringLiteral("Další údaje faktury"));
    for (int row = 0; row < kItemRowCount; ++row) {
        for (int cell = 0; cell < kItemCellCount; ++cell) {
            const QString& text = record.Polozky[row].cell(cell);
            if (text.isEmpty())
                continue;
            const QString name = ItemCellName(row + 1, cell);
            CheckSingleLine(text, name);
            if (text.contains(QLatin1Char('|')))
                throw ValidationError(
                    QStringLiteral("Pole „%1“ obsahuje znak „|“, který v souboru faktury odděluje "
                                   "údaje položky. Faktura nebyla uložena.")
                        .arg(name));
            if (!CanEncodeCp1250(text))
                EncodeCp1250(text, name);
        }
    }
}

QByteArray InvoiceFileBytes(const InvoiceRecord& record) {
    ValidateInvoiceRecord(record);

    QByteArray out;
    out.reserve(1024);
    const InvoiceFileLine* next = std::begin(kInvoiceFileLines);
    for (int n = 1; n <= kInvoiceFileLineCount; ++n) {
        if (n >= kFirstItemLine && n < kFirstItemLine + kItemRowCount) {
            const int row = n - kFirstItemLine;
            AppendLine(out, ItemRowText(record.Polozky[row]), ItemCellName(row + 1, 1));
            continue;
        }
        const InvoiceFileLine& line = *next++;
        if (line.date)
            AppendLine(out, FormatInvoiceDate(record.*line.date), line.name);
        else if (n == kStoredTotalLine)
            AppendLine(out, StoredTotalText(record.Uhrnem), line.name);
        else
            AppendLine(out, record.*line.text, line.name);
    }
    for (const OptionalInvoiceField& field : kOptionalInvoiceFields) {
        const QString& value = record.*field.member;
        if (!value.isEmpty())
            AppendLine(out, QString::fromLatin1(field.key) + QLatin1Char('=') + value, field.name);
    }
    for (const QString& line : record.DalsiRadky)
        AppendLine(out, line, "Další údaje faktury");
    // The reader's bound is the writer's: a file that could never be opened again is not written.
    if (out.size() > kMaxReadFileSize)
        throw ValidationError(
            QStringLiteral("Faktura %1 by zabrala %2 kB; soubor faktury smí mít nejvýše %3 kB, "
                           "jinak jej program znovu neotevře. Zkraťte texty položek nebo "
                           "komentářů. Faktura nebyla uložena.")
                .arg(record.Cislo)
                .arg(out.size() / 1024)
                .arg(kMaxReadFileSize / 1024));
    return out;
}

void WriteInvoiceFile(const InvoiceRecord& record, const QString& path) {
    const QByteArray bytes = InvoiceFileBytes(record);
    if (!WriteFileAtomically(path, bytes))
        throw FileError(
            QStringLiteral("Soubor faktury „%1“ nelze zapsat. Faktura nebyla uložena.").arg(path));
}

void ReadInvoiceBytes(const QByteArray& bytes, InvoiceRecord& record,
                      const QString& defaultCurrency) {
    const FileLines lines = FileLines::FromBytes(bytes);

    // The texts before the dates first, then the dates: a date that does not convert stops the
    // reading there. The rows only when all of them are there; then the texts after them. Line
    // 46, the stored total, is not read: the caller recomputes it from the rows.
    const auto readTexts = [&](int from, int to) {
        for (const InvoiceFileLine& line : kInvoiceFileLines) {
            if (line.text && line.number >= from && line.number <= to &&
                line.number != kStoredTotalLine && lines.has(line.number))
                record.*line.text = lines.line(line.number);
        }
    };
    readTexts(1, kFirstItemLine - 1);
    for (const InvoiceFileLine& line : kInvoiceFileLines) {
        if (line.date && lines.has(line.number))
            record.*line.date = ParseInvoiceDate(lines.line(line.number));
    }
    if (lines.has(kFirstItemLine + kItemRowCount - 1)) {
        for (int row = 0; row < kItemRowCount; ++row)
            FillItemRowFromLine(lines.lineView(kFirstItemLine + row), record.Polozky[row]);
    }
    readTexts(kFirstItemLine + kItemRowCount, kInvoiceFileLineCount);
    if (record.Mena.isEmpty())
        record.Mena = defaultCurrency;

    for (int n = kInvoiceFileLineCount + 1; n <= lines.count(); ++n) {
        if (!ReadOptionalLine(lines.lineView(n), record))
            record.DalsiRadky.append(lines.line(n));
    }
}

void ReadInvoiceFile(const QString& path, InvoiceRecord& record, const QString& defaultCurrency) {
    ReadInvoiceBytes(ReadWholeFile(path), record, defaultCurrency);
}

} // namespace tarvela
