#pragma once

#include "settings/settings_file.h"

#include <QStringView>
#include <QtGlobal>

namespace tarvela {

// The VAT rates of the settings, in per cent, and whether the supplier charges VAT at all.
struct VatRates {
    int rate1 = settings_defaults::SazbaDPH1;
    int rate2 = settings_defaults::SazbaDPH2;
    int rate3 = settings_defaults::SazbaDPH3;
    bool payer = true;
};

VatRates RatesOf(const AppSettings& settings);

// One item row.
struct RowFigures {
    int Row = 0;               // grid row 1 to 25
    bool Listed = false;       // a description that is not blank or an amount: exports carry it
    int Slot = -1;             // the rate cell: 0 for "0", 1 to 3 the settings' rates (the last
                               // of equal rates wins), -1 for an empty or unknown cell
    int Percent = 0;           // the rate charged: 0 for a non-payer, an empty or unknown cell
    bool UnknownRate = false;  // a payer's row with an amount whose rate cell the settings do not
                               // know (or which is empty): charged no tax, never silently
    bool NonPayerRate = false; // a non-payer's row whose rate cell names a tax that is not charged
    qint64 Amount = 0;         // quantity x price rounded to haléře: the printed row amount
    qint64 Tax = 0;            // Amount x Percent / 100, rounded
    qint64 Total() const { return Amount + Tax; }
};

// Reads one row from its quantity, unit price and rate cells. A quantity or price that does not
// read (more than six decimals, beyond the largest amount, not a number) throws ConversionError
// naming the field; a row amount beyond the largest amount names "Celkem bez DPH".
RowFigures ComputeRowFigures(QStringView quantity, QStringView price, QStringView rate,
                             const VatRates& rates);

} // namespace tarvela
