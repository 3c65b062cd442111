#pragma once

#include "invoice/invoice_record.h"

#include <QByteArray>
#include <QString>

namespace tarvela {

// Invoice file: 49 lines in the order of InvoiceRecord, Windows-1250, each line followed by
// CR LF (the last one too), no header, no quoting. After them come the optional lines of the
// newer fields, "Klic=hodnota" for each one that is not empty, in the order of
// kOptionalInvoiceFields, then the unknown lines the file was read with (DalsiRadky). A reader
// that takes 49 lines reads such a file as before.

// Line count of an invoice file without optional lines.
inline constexpr int kInvoiceFileLineCount = 49;

// One of the 49 lines: its number, the Czech name of its field for messages, and the field. A
// line holds a text (text set), a date "d.m.yyyy" (date set) or, for lines 19 to 43, an item
// row ("Položka N - Označení dodávky" in messages; neither set).
struct InvoiceFileLine {
    int number;
    const char* name;
    QString InvoiceRecord::*text;
    QDate InvoiceRecord::*date;
};

// The lines of an invoice file but the item rows, in file order. Line 46 holds the stored total.
inline constexpr InvoiceFileLine kInvoiceFileLines[] = {
    {1, "Číslo faktury", &InvoiceRecord::Cislo, nullptr},
    {2, "Symbol", &InvoiceRecord::Symbol, nullptr},
    {3, "Objednávka", &InvoiceRecord::Objednavka, nullptr},
    {4, "Příjemce", &InvoiceRecord::Prijemce, nullptr},
    {5, "Místo vyskladnění", &InvoiceRecord::MistoVyskladneni, nullptr},
    {6, "Forma úhrady", &InvoiceRecord::FormaUhrady, nullptr},
    {7, "Datum plnění", nullptr, &InvoiceRecord::DatumPlneni},
    {8, "Datum vystavení", nullptr, &InvoiceRecord::DatumVystaveni},
    {9, "Datum splatnosti", nullptr, &InvoiceRecord::DatumSplatnosti},
    {10, "Odběratel - kód", &InvoiceRecord::OdberatelKod, nullptr},
    {11, "Odběratel - název 1", &InvoiceRecord::OdberatelNazev1, nullptr},
    {12, "Odběratel - název 2", &InvoiceRecord::OdberatelNazev2, nullptr},
    {13, "Odběratel - odpovědná osoba", &InvoiceRecord::OdberatelOdpovedOsoba, nullptr},
    {14, "Odběratel - ulice, číslo", &InvoiceRecord::OdberatelUliceCislo, nullptr},
    {15, "Odběratel - PSČ", &InvoiceRecord::OdberatelPSC, nullptr},
    {16, "Odběratel - město", &InvoiceRecord::OdberatelMesto, nullptr},
    {17, "Odběratel - IČ", &InvoiceRecord::OdberatelIC, nullptr},
    {18, "Odběratel - DIČ", &InvoiceRecord::OdberatelDIC, nullptr},
    {44, "Komentář 1", &InvoiceRecord::Komentar1, nullptr},
    {45, "Komentář 2", &InvoiceRecord::Komentar2, nullptr},
    {46, "Celkem", &InvoiceRecord::Uhrnem, nullptr},
    {47, "Datum úhrady", &InvoiceRecord::DatumUhrady, nullptr},
    {48, "Měna", &InvoiceRecord::Mena, nullptr},
    {49, "Uhrazená částka", &InvoiceRecord::UhrazenaCastka, nullptr},
};
inline constexpr int kFirstItemLine = 19; // item rows 1 to 25 are lines 19 to 43
inline constexpr int kStoredTotalLine = 46;

// The Czech name of an item cell as the window shows it, for messages: "Položka 3 - Cena MJ"
// (row 1 to 25, cell 0 to 5).
QString ItemCellName(int row, int cell);

// One optional line: its key before "=", its Czech name for messages, its field.
struct OptionalInvoiceField {
    const char* key;
    const char* name;
    QString InvoiceRecord::*member;
};

// The optional lines in the order they are written.
inline constexpr OptionalInvoiceField kOptionalInvoiceFields[] = {
    {"OpravovanyDoklad", "Opravovaný doklad", &InvoiceRecord::OpravovanyDoklad},
    {"DuvodOpravy", "Důvod opravy", &InvoiceRecord::DuvodOpravy},
    {"Kurz", "Kurz", &InvoiceRecord::Kurz},
    {"DatumKurzu", "Datum kurzu", &InvoiceRecord::DatumKurzu},
    {"OdberatelEmail", "Odběratel - e-mail", &InvoiceRecord::OdberatelEmail},
    {"Eet", "EET", &InvoiceRecord::Eet},
};

// Checks every field of the record before anything is written: a field holding CR or LF, an
// item cell holding "|", or a character Windows-1250 cannot hold raises ValidationError /
// EncodingError naming the field in Czech ("Odběratel - název 1").
void ValidateInvoiceRecord(const InvoiceRecord& record);

// The file's bytes: the 49 lines and the optional ones, Windows-1250, CR LF. Line 46 is Uhrnem with
// every space removed, or "0" when nothing remains. Validates the record first (see above).
QByteArray InvoiceFileBytes(const InvoiceRecord& record);

// Writes the record to the path, replacing an existing file. The write is atomic: the old file
// stays intact until the new one is complete. Raises ValidationError / EncodingError before
// anything is written, FileError (Czech message naming the file) when the file cannot be
// written. The path is the caller's; InvoiceStore::InvoiceFilePath builds a safe one.
void WriteInvoiceFile(const InvoiceRecord& record, const QString& path);

// Reads an invoice file into a record the caller has cleared beforehand; fields whose lines are
// missing keep their values. Line endings CR LF, lone CR and lone LF are all accepted. Item rows
// are taken only when the file has at least 43 lines; line 46 (the total) is never read; an
// empty currency afterwards becomes defaultCurrency. Lines after 49 that begin with a known key
// and "=" fill that field; every other line after 49 goes to DalsiRadky unchanged. Raises FileError
// when the file cannot be read and ConversionError when a date line does not convert (fields read
// so far stay filled).
void ReadInvoiceFile(const QString& path, InvoiceRecord& record, const QString& defaultCurrency);

// The same from bytes already read.
void ReadInvoiceBytes(const QByteArray& bytes, InvoiceRecord& record,
                      const QString& defaultCurrency);

} // namespace tarvela
