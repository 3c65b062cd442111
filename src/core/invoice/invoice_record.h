#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

namespace tarvela {

// Number of item rows of every invoice (grid rows 1 to 25, file lines 19 to 43).
inline constexpr int kItemRowCount = 25;

// One item row: six text cells, kept exactly as typed.
struct InvoiceItemRow {
    QString Kod;     // item code ("Kód")
    QString Dodavka; // description of the supply ("Označení dodávky")
    QString MJ;      // unit of measure ("MJ")
    QString PocetMJ; // quantity, amount text ("Počet MJ")
    QString Cena;    // unit price, amount text ("Cena MJ")
    QString DPH;     // VAT rate in per cent, as text ("DPH")

    // True when all six cells are empty.
    bool isEmpty() const;

    // The cells by index 0..5 in file order (Kod, Dodavka, MJ, PocetMJ, Cena, DPH).
    QString& cell(int index);
    const QString& cell(int index) const;

    friend bool operator==(const InvoiceItemRow&, const InvoiceItemRow&) = default;
};

inline constexpr int kItemCellCount = 6;

// The row as text: each cell followed by "|" ("A1|Oprava|ks|2|150,00|21|"; an empty row is
// "||||||"). Used by the invoice file and the clipboard.
QString ItemRowText(const InvoiceItemRow& row);

// Fills the row's cells from the left from an item line: each text before a "|" is the next
// cell. Text after the last "|" and cells after the sixth are ignored; cells without a "|" of
// their own keep their value ("A|B|C" sets Kod and Dodavka only).
void FillItemRowFromLine(QStringView line, InvoiceItemRow& row);

// One invoice as a plain structure; the 49 lines of the invoice file in this order, then the
// optional lines "Klic=hodnota" of the newer fields, written only when they are not empty (an
// invoice without them is the 49-line file of before).
// Texts are single-line and kept as typed (no trimming, no escaping).
struct InvoiceRecord {
    QString Cislo;                 // 1  invoice number; also the file's base name
    QString Symbol;                // 2  constant or variable symbol
    QString Objednavka;            // 3  order reference
    QString Prijemce;              // 4  recipient
    QString MistoVyskladneni;      // 5  place of dispatch
    QString FormaUhrady;           // 6  form of payment, "PP" or "H"
    QDate DatumPlneni;             // 7  date of taxable supply
    QDate DatumVystaveni;          // 8  date of issue
    QDate DatumSplatnosti;         // 9  due date
    QString OdberatelKod;          // 10 customer code
    QString OdberatelNazev1;       // 11 customer name, first line
    QString OdberatelNazev2;       // 12 customer name, second line
    QString OdberatelOdpovedOsoba; // 13 responsible person
    QString OdberatelUliceCislo;   // 14 street and number
    QString OdberatelPSC;          // 15 postcode
    QString OdberatelMesto;        // 16 town
    QString OdberatelIC;           // 17 company identification number
    QString OdberatelDIC;          // 18 tax identification number
    std::array<InvoiceItemRow, kItemRowCount> Polozky; // 19..43 item rows 1..25
    QString Komentar1;                                 // 44
    QString Komentar2;                                 // 45
    QString Uhrnem;         // 46 invoice total as amount text ("1210,00")
    QString DatumUhrady;    // 47 payment date "d.m.yyyy" or empty
    QString Mena;           // 48 currency code
    QString UhrazenaCastka; // 49 amount paid, as typed

    // Optional lines after line 49, each "Klic=hodnota".
    QString OpravovanyDoklad; // OpravovanyDoklad= number of the document a credit note corrects
    QString DuvodOpravy;      // DuvodOpravy= reason for the correction
    QString Kurz;             // Kurz= exchange rate, crowns for one unit of Mena, amount text
    QString DatumKurzu;       // DatumKurzu= date the exchange rate applies to, "d.m.yyyy"
    QString OdberatelEmail;   // OdberatelEmail= the customer's e-mail address
    QString Eet; // Eet= the EET registrations of its payments received in person (invoice_eet.h)
    // Lines after line 49 that this program does not know (written by a newer one), kept in
    // order and written back unchanged after the known optional lines.
    QStringList DalsiRadky;

    friend bool operator==(const InvoiceRecord&, const InvoiceRecord&) = default;
};

} // namespace tarvela
