#include "editor/period_change.h"

#include "editor/date_dialogs.h"

namespace tarvela {

std::optional<int> ChangePeriod(QWidget* parent, const QString& programFolder,
                                AppSettings& settings) {
    quint16 year = static_cast<quint16>(settings.AktualniRok);
    if (!AskYear(year, kEarliestPeriodYear, QString::fromUtf8(kPeriodChangeCaption), parent))
        return std::nullopt;
    // Written first: a period that the settings file does not hold would be lost at the next
    // start, and the label would disagree with the period in use.
    SavePeriodYear(programFolder, year);
    settings.AktualniRok = year;
    return year;
}

QString PeriodLabelText(int year) {
    return QStringLiteral("Období: ") + QString::number(year);
}

} // namespace tarvela
