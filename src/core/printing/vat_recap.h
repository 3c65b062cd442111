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

// What a non-payer is told when a row's rate cell names a tax ("21"): the row carries no tax.
// Empty for a payer, an empty cell and "0".
QString NonPayerRateNotice(const AppSettings& settings, const QString& rate);

// Rows 1 to 25 (numbered from 1) that a tax document cannot carry: a rate cell that is not
// allowed, or an empty rate cell in a row with an amount.
QList<int> RowsWithDisallowedVatRate(const InvoiceSnapshot& invoice, const AppSettings& settings);

// Which slot a rate cell falls into as the window computes the taxes: 0 for "0", 1 to 3 for the
// settings' rates (the last of equal rates wins), nothing for any other text.
std::optional<int> VatSlotOfRate(const AppSettings& settings, const QString& rate);

} // namespace tarvela
