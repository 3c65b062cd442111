#pragma once

#include <QDate>
#include <QList>

#include <utility>

class QComboBox;
class QRadioButton;

namespace tarvela {

// The choice of a month, a quarter or (where offered) a whole year that the accountant's
// dialogs share: the year list CBox_Rok, the radio buttons and the lists of months and quarters,
// each list enabled while its button is checked.
struct PeriodControls {
    QComboBox* years = nullptr;
    QRadioButton* month = nullptr;
    QComboBox* months = nullptr;
    QRadioButton* quarter = nullptr;
    QComboBox* quarters = nullptr;
    QRadioButton* wholeYear = nullptr; // may be null
};

// Fills the lists (the years highest first; `year` is added when missing) and preselects `year`
// and the month before today within it (December for a past year, January for a future one).
void SetUpPeriodControls(const PeriodControls& c, QList<int> years, int year);

// The chosen year and the first and last day of the chosen period.
int ChosenYear(const PeriodControls& c);
std::pair<QDate, QDate> ChosenPeriod(const PeriodControls& c);

} // namespace tarvela
