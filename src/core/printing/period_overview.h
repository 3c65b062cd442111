#pragma once

#include "invoice/invoice_store.h"
#include "printing/print_variables.h"
#include "settings/settings_file.h"

#include <QList>
#include <QString>

namespace tarvela {

class ReportDataSet;

// What the overview of a period takes from one invoice file.
struct OverviewEntry {
    QString Cislo;           // line 1; fallback: the file's name in lower case
    QString Odberatel;       // line 11, customer name 1
    QString Castka;          // line 46 without spaces ("0" when nothing is left), cut at the
                             // first comma; empty when the file has no line 46
    QString DatumVystaveni;  // line 7 (the date of supply)
    QString DatumSplatnosti; // line 9
    QString DatumUhrady;     // line 47
    QString Mena;            // line 48; fallback: the default currency
    QString UhrazenaCastka;  // line 49
    QString CastkaPresne;    // line 46 without spaces, with its haléře; empty without line 46

    bool operator==(const OverviewEntry&) const = default;
};

// Report template of the overview, relative to the program folder.
QString PeriodOverviewTemplate();
// "Evidence odeslaných faktur - rok " + year: the report title and the variable Nadpis.
QString PeriodOverviewTitle(int year);

// Collects the invoices of the current period (settings.AktualniRok): creates a missing period
// folder, lists the files whose extension is ".tvl" in any letter case (names lower-cased),
// sorts them without regard to case and reads each file's lines. Missing lines take their
// fallbacks; a file that cannot be read raises FileError. afterEach runs after each listed entry.
QList<OverviewEntry> CollectPeriodOverview(const InvoiceStore& store, const AppSettings& settings,
                                           const AfterEachEntry& afterEach = {});

// "Nadpis", "VychoziMena" and "NazevSouboru" (the proposed PDF name "Evidence odeslaných faktur
// 2026"); with the entries also the exact sums per currency:
// "SoucetCastka" (the default currency), "SoucetJinaMena" and "SoucetUhrazeno" ("1210,00 CZK;
// 443,83 EUR"), each currency on its own, never added together.
PrintVariables PeriodOverviewVariables(const AppSettings& settings);
PrintVariables PeriodOverviewVariables(const AppSettings& settings,
                                       const QList<OverviewEntry>& entries);

// The exact total of an entry and what is paid of it, in haléře: the total line read exactly
// ("1210,00", "12.345,00"); paid is what line 49 says (the whole total when only the payment date
// is filled), in any currency (the document model's ReadTotalHalere and PaidHalere).
qint64 OverviewExactTotal(const OverviewEntry& entry);
qint64 OverviewExactPaid(const OverviewEntry& entry, const QString& defaultCurrency);

// Prepares the data set with the ten overview columns (Id, Cislo, Odberatel, Castka,
// CastkaJinaMena, DatumVystaveni, DatumSplatnosti, DatumUhrady, Uhrazeno, Mena) and the exact
// ones beside them (CastkaPresne, CastkaJinaMenaPresne, UhrazenoPresne: amounts with two
// decimals, empty where the integer column is 0) and appends one row per entry in the given
// order. The integer columns are the whole crowns of the exact figures, in 64 bits.
void FillPeriodOverview(ReportDataSet& dataSet, const QList<OverviewEntry>& entries,
                        const QString& defaultCurrency);

} // namespace tarvela
