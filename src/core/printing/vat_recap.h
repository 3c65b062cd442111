#pragma once

#include "settings/settings_file.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace tarvela {

struct InvoiceSnapshot;

// --- Allowed rates -----------------------------------------------------------------------------

// True when a row's rate cell is "0" or the decimal text of one of the three rates of the
// settings ("21", "12"). Spaces around the text do not count.
bool IsAllowedVatRate(const AppSettings& settings, QStringView rate);

// The distinct rates a row may carry, highest first, 0 always last: {21, 12, 0}.
QList<int> AllowedVatRates(const AppSettings& settings);

// "21 %, 12 % nebo 0 %".
QString AllowedVatRatesText(const AppSettings& settings);

// "Sazba DPH „20“ není v nastavení. Povolené sazby: 21 %, 12 % nebo 0 %."
QString VatRateRefusalMessage(const AppSettings& settings, const QString& rate);

// Raises ValidationError with VatRateRefusalMessage when a VAT payer's row would carry a rate
// that the settings do not know. An empty rate cell and every rate of a non-payer pass.
void CheckVatRate(const AppSettings& settings, const QString& rate);

// Rows 1 to 25 (numbered from 1) that a tax document cannot carry: a rate cell that is not
// allowed, or an empty rate cell in a row with an amount.
QList<int> RowsWithDisallowedVatRate(const InvoiceSnapshot& invoice, const AppSettings& settings);

// --- Recapitulation per rate -------------------------------------------------------------------

// One line of the recap: a rate with its base and tax in haléře. Tax is the window's own sum for
// that rate (La_SADPH1..3); the base is the sum of the unrounded row bases at that rate, rounded
// once.
struct VatRecapLine {
    int Rate = 0;
    qint64 Base = 0;
    qint64 Tax = 0;
    bool operator==(const VatRecapLine&) const = default;
};

struct VatRecap {
    // Every rate with a base or a tax, each rate once, highest first (0 % last).
    QList<VatRecapLine> Lines;
    // Base of the rows at the rate "0" and at the settings' rates 1 to 3, by slot as the totals
    // panel has them (a rate set twice counts in its last slot, as the window computes it).
    qint64 BaseAtZero = 0;
    qint64 BaseAtSlot[3] = {0, 0, 0};
    qint64 TotalTax = 0;  // sum of the three tax captions
    qint64 TotalBase = 0; // the caption of the sum of the bases (La_SACelkem)
};

// The recap from the window's own sums: the tax captions SADPH1..3, the base caption SACelkem
// and the per-row bases with their rate cells.
VatRecap ComputeVatRecap(const InvoiceSnapshot& invoice, const AppSettings& settings);

// Which slot a rate cell falls into as the window computes the taxes: 0 for "0", 1 to 3 for the
// settings' rates (the last of equal rates wins), nothing for any other text.
std::optional<int> VatSlotOfRate(const AppSettings& settings, const QString& rate);

} // namespace tarvela
