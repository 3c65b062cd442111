#pragma once

#include "settings/settings_file.h"

#include <QString>

#include <optional>

class QWidget;

namespace tarvela {

// Caption of the period change, also the title of its year dialog.
inline constexpr const char* kPeriodChangeCaption = "Změna období";
// The earliest year the period change offers.
inline constexpr int kEarliestPeriodYear = 2010;

// The period change: the year dialog with the current period preselected; on Ok the year is
// written to the settings file (AktualniRok, the file is created when missing) and, only once
// that write has succeeded, becomes the period in `settings`. Gives the new year, or nothing
// when the dialog was cancelled. A failed write throws FileError and leaves `settings` as it
// was. The period folder is not created.
std::optional<int> ChangePeriod(QWidget* parent, const QString& programFolder,
                                AppSettings& settings);

// The text of the period label: "Období: " followed by the year.
QString PeriodLabelText(int year);

} // namespace tarvela
