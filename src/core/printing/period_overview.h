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

// "Nadpis" and "VychoziMena".
PrintVariables PeriodOverviewVariables(const AppSettings& settings);

// Prepares the data set with the ten overview columns (Id, Cislo, Odberatel, Castka,
// CastkaJinaMena, DatumVystaveni, DatumSplatnosti, DatumUhrady, Uhrazeno, Mena) and appends one
// row per entry in the given order.
void FillPeriodOverview(ReportDataSet& dataSet, const QList<OverviewEntry>& entries,
                        const QString& defaultCurrency);

} // namespace tarvela
