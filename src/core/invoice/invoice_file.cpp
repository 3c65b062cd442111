#include "invoice/invoice_file.h"

#include "invoice/file_lines.h"
#include "text/amount_text.h"
#include "text/codec.h"
#include "text/dates.h"
#include "text/errors.h"

namespace tarvela {
namespace {

// Czech names of the fields as the user knows them from the window, for error messages.
QString CellName(int row, int cell) {
    static const char* const kCellNames[kItemCellCount] = {"Kód",      "Označení dodávky", "MJ",
                                                           "Počet MJ", "Cena MJ",          "DPH"};
    return QStringLiteral("Položka %1 - %2").arg(row).arg(QString::fromUtf8(kCellNames[cell]));
}

struct TextField {
    const char* name;
    QString InvoiceRecord::*member;
};

// The single-line texts of the record, in file order (the dates and items aside).
const TextField kTextFields[] = {
    {"Číslo faktury", &InvoiceRecord::Cislo},
    {"Symbol", &InvoiceRecord::Symbol},
    {"Objednávka", &InvoiceRecord::Objednavka},
    {"Příjemce", &InvoiceRecord::Prijemce},
    {"Místo vyskladnění", &InvoiceRecord::MistoVyskladneni},
    {"Forma úhrady", &InvoiceRecord::FormaUhrady},
    {"Odběratel - kód", &InvoiceRecord::OdberatelKod},
    {"Odběratel - název 1", &InvoiceRecord::OdberatelNazev1},
    {"Odběratel - název 2", &InvoiceRecord::OdberatelNazev2},
    {"Odběratel - odpovědná osoba", &InvoiceRecord::OdberatelOdpovedOsoba},
    {"Odběratel - ulice, číslo", &InvoiceRecord::OdberatelUliceCislo},
    {"Odběratel - PSČ", &InvoiceRecord::OdberatelPSC},
    {"Odběratel - město", &InvoiceRecord::OdberatelMesto},
    {"Odběratel - IČ", &InvoiceRecord::OdberatelIC},
    {"Odběratel - DIČ", &InvoiceRecord::OdberatelDIC},
    {"Komentář 1", &InvoiceRecord::Komentar1},
    {"Komentář 2", &InvoiceRecord::Komentar2},
    {"Celkem", &InvoiceRecord::Uhrnem},
    {"Datum úhrady", &InvoiceRecord::DatumUhrady},
    {"Měna", &InvoiceRecord::Mena},
    {"Uhrazená částka", &InvoiceRecord::UhrazenaCastka},
};

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

// Appends one line: the text in Windows-1250 followed by CR LF.
void AppendLine(QByteArray& out, const QString& text, const QString& name) {
    out += EncodeCp1250(text, name);
    out += "\r\n";
}

void AppendLine(QByteArray& out, const QString& text, const char* name) {
    AppendLine(out, text, QString::fromUtf8(name));
}

} // namespace

void ValidateInvoiceRecord(const InvoiceRecord& record) {
    for (const TextField& field : kTextFields)
        CheckStorableLine(record.*field.member, QString::fromUtf8(field.name));
    for (const OptionalInvoiceField& field : kOptionalInvoiceFields)
        CheckStorableLine(record.*field.member, QString::fromUtf8(field.name));
    for (const QString& text : record.DalsiRadky)
        CheckStorableLine(text, QStringLiteral("Další údaje faktury"));
    for (int row = 0; row < kItemRowCount; ++row) {
        for (int cell = 0; cell < kItemCellCount; ++cell) {
            const QString& text = record.Polozky[row].cell(cell);
            if (text.isEmpty())
                continue;
            const QString name = CellName(row + 1, cell);
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
    AppendLine(out, record.Cislo, "Číslo faktury");
    AppendLine(out, record.Symbol, "Symbol");
    AppendLine(out, record.Objednavka, "Objednávka");
    AppendLine(out, record.Prijemce, "Příjemce");
    AppendLine(out, record.MistoVyskladneni, "Místo vyskladnění");
    AppendLine(out, record.FormaUhrady, "Forma úhrady");
    AppendLine(out, FormatInvoiceDate(record.DatumPlneni), "Datum plnění");
    AppendLine(out, FormatInvoiceDate(record.DatumVystaveni), "Datum vystavení");
    AppendLine(out, FormatInvoiceDate(record.DatumSplatnosti), "Datum splatnosti");
    AppendLine(out, record.OdberatelKod, "Odběratel - kód");
    AppendLine(out, record.OdberatelNazev1, "Odběratel - název 1");
    AppendLine(out, record.OdberatelNazev2, "Odběratel - název 2");
    AppendLine(out, record.OdberatelOdpovedOsoba, "Odběratel - odpovědná osoba");
    AppendLine(out, record.OdberatelUliceCislo, "Odběratel - ulice, číslo");
    AppendLine(out, record.OdberatelPSC, "Odběratel - PSČ");
    AppendLine(out, record.OdberatelMesto, "Odběratel - město");
    AppendLine(out, record.OdberatelIC, "Odběratel - IČ");
    AppendLine(out, record.OdberatelDIC, "Odběratel - DIČ");
    for (int row = 0; row < kItemRowCount; ++row)
        AppendLine(out, ItemRowText(record.Polozky[row]), CellName(row + 1, 1));
    AppendLine(out, record.Komentar1, "Komentář 1");
    AppendLine(out, record.Komentar2, "Komentář 2");
    QString total = StripSpaces(record.Uhrnem);
    if (total.isEmpty())
        total = QStringLiteral("0");
    AppendLine(out, total, "Celkem");
    AppendLine(out, record.DatumUhrady, "Datum úhrady");
    AppendLine(out, record.Mena, "Měna");
    AppendLine(out, record.UhrazenaCastka, "Uhrazená částka");
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

    // Lines 1-6 and 10-18: texts as they stand.
    QString InvoiceRecord::*const kHeader[] = {
        &InvoiceRecord::Cislo,    &InvoiceRecord::Symbol,           &InvoiceRecord::Objednavka,
        &InvoiceRecord::Prijemce, &InvoiceRecord::MistoVyskladneni, &InvoiceRecord::FormaUhrady};
    for (int i = 0; i < 6; ++i) {
        if (lines.has(i + 1))
            record.*kHeader[i] = lines.line(i + 1);
    }
    QString InvoiceRecord::*const kCustomer[] = {
        &InvoiceRecord::OdberatelKod,        &InvoiceRecord::OdberatelNazev1,
        &InvoiceRecord::OdberatelNazev2,     &InvoiceRecord::OdberatelOdpovedOsoba,
        &InvoiceRecord::OdberatelUliceCislo, &InvoiceRecord::OdberatelPSC,
        &InvoiceRecord::OdberatelMesto,      &InvoiceRecord::OdberatelIC,
        &InvoiceRecord::OdberatelDIC};
    for (int i = 0; i < 9; ++i) {
        if (lines.has(i + 10))
            record.*kCustomer[i] = lines.line(i + 10);
    }

    // Lines 7-9: dates; a date that does not convert stops the reading here.
    if (lines.has(7))
        record.DatumPlneni = ParseInvoiceDate(lines.line(7));
    if (lines.has(8))
        record.DatumVystaveni = ParseInvoiceDate(lines.line(8));
    if (lines.has(9))
        record.DatumSplatnosti = ParseInvoiceDate(lines.line(9));

    // Lines 19-43: item rows, only when all of them are there.
    if (lines.has(43)) {
        for (int row = 0; row < kItemRowCount; ++row)
            FillItemRowFromLine(lines.lineView(19 + row), record.Polozky[row]);
    }

    if (lines.has(44))
        record.Komentar1 = lines.line(44);
    if (lines.has(45))
        record.Komentar2 = lines.line(45);
    // Line 46, the stored total, is not read: the caller recomputes it from the rows.
    if (lines.has(47))
        record.DatumUhrady = lines.line(47);
    if (lines.has(48))
        record.Mena = lines.line(48);
    if (record.Mena.isEmpty())
        record.Mena = defaultCurrency;
    if (lines.has(49))
        record.UhrazenaCastka = lines.line(49);

    for (int n = kInvoiceFileLineCount + 1; n <= lines.count(); ++n) {
        if (!ReadOptionalLine(lines.lineView(n), record))
            record.DalsiRadky.append(lines.line(n));
    }
}

void ReadInvoiceFile(const QString& path, InvoiceRecord& record, const QString& defaultCurrency) {
    ReadInvoiceBytes(ReadWholeFile(path), record, defaultCurrency);
}

} // namespace tarvela
