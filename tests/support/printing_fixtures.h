#pragma once

#include "editor/row_amounts.h"
#include "printing/invoice_documents.h"
#include "settings/settings_file.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <string>

namespace tarvela::test {

inline std::string S(const QString& text) {
    return text.toStdString();
}

// A supplier with every field filled.
inline AppSettings PayerSettings() {
    AppSettings s;
    s.AktualniRok = 2026;
    s.VychoziMena = QStringLiteral("CZK");
    s.Platce = true;
    s.SazbaDPH1 = 21;
    s.SazbaDPH2 = 15;
    s.SazbaDPH3 = 10;
    s.TypSymbolu = SymbolType::Variable;
    SupplierData& d = s.Dodavatel;
    d.Nazev = QStringLiteral("Truhlářství Dvořák s.r.o.");
    d.Jmeno = QStringLiteral("Jan Dvořák");
    d.Ulice = QStringLiteral("Lipová 12");
    d.Mesto = QStringLiteral("602 00 Brno");
    d.ICO = QStringLiteral("12345678");
    d.DIC = QStringLiteral("CZ12345678");
    d.Registrace = QStringLiteral("KS Brno C 1234");
    d.Banka = QStringLiteral("Fio banka");
    d.Ucet = QStringLiteral("2001234567/2010");
    d.IBAN = QStringLiteral("CZ65 0800 0000 1920 0014 5399");
    d.BIC = QStringLiteral("FIOBCZPP");
    d.Tel = QStringLiteral("+420 777 123 456");
    d.Fax = QString();
    d.Email = QStringLiteral("dvorak@example.cz");
    d.WWW = QStringLiteral("www.example.cz");
    d.Osoba = QStringLiteral("Jana Dvořáková");
    return s;
}

// The same supplier, not a VAT payer, using the constant symbol.
inline AppSettings NonPayerSettings() {
    AppSettings s = PayerSettings();
    s.Platce = false;
    s.TypSymbolu = SymbolType::Constant;
    return s;
}

inline InvoiceItemRow Row(const char* kod, const char* dodavka, const char* mj, const char* pocet,
                          const char* cena, const char* dph) {
    return InvoiceItemRow{QString::fromUtf8(kod),  QString::fromUtf8(dodavka),
                          QString::fromUtf8(mj),   QString::fromUtf8(pocet),
                          QString::fromUtf8(cena), QString::fromUtf8(dph)};
}

// An invoice as the window shows it: three used rows (the second one the payment message),
// totals 400,00 + 63,00 + 15,00 = 478,00.
inline InvoiceSnapshot SampleInvoice() {
    InvoiceSnapshot inv;
    InvoiceRecord& f = inv.fields;
    f.Cislo = QStringLiteral("2026007");
    f.Symbol = QStringLiteral("2026007");
    f.Objednavka = QStringLiteral("OBJ-15");
    f.Prijemce = QStringLiteral("sklad");
    f.MistoVyskladneni = QStringLiteral("Brno");
    f.FormaUhrady = QStringLiteral("PP");
    f.DatumPlneni = QDate(2026, 3, 5);
    f.DatumVystaveni = QDate(2026, 3, 6);
    f.DatumSplatnosti = QDate(2026, 3, 20);
    f.OdberatelKod = QStringLiteral("K042");
    f.OdberatelNazev1 = QStringLiteral("Pekárna U Mlýna");
    f.OdberatelNazev2 = QStringLiteral("provozovna Líšeň");
    f.OdberatelOdpovedOsoba = QStringLiteral("Petr Novák");
    f.OdberatelUliceCislo = QStringLiteral("Mlýnská 5");
    f.OdberatelPSC = QStringLiteral("62800");
    f.OdberatelMesto = QStringLiteral("Brno");
    f.OdberatelIC = QStringLiteral("87654321");
    f.OdberatelDIC = QStringLiteral("CZ87654321");
    f.Polozky[0] = Row("A1", "Oprava stolu", "ks", "2", "150,00", "21");
    f.Polozky[1] = Row("msg", "Záloha za služby", "", "", "", "");
    f.Polozky[2] = Row("B7", "Lak", "l", "0,5", "200,00", "15");
    f.Komentar1 = QStringLiteral("Děkujeme za objednávku.");
    f.Komentar2 = QString();
    f.Mena = QStringLiteral("CZK");
    return inv;
}

// The sample invoice with one row of the given price at 0 % instead of its priced rows, so that
// its total is `total` ("" leaves no priced row at all); the payment message row stays.
inline InvoiceSnapshot WithTotal(InvoiceSnapshot invoice, const char* total) {
    invoice.fields.Polozky[0] = InvoiceItemRow{};
    invoice.fields.Polozky[2] = InvoiceItemRow{};
    if (*total != '\0')
        invoice.fields.Polozky[0] = Row("T", "Celkem", "", "1", total, "0");
    return invoice;
}

} // namespace tarvela::test
