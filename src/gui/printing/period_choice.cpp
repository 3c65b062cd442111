#include "printing/period_choice.h"

#include "printing/accountant_export.h"
#include "text/clock.h"

#include <QComboBox>
#include <QRadioButton>

#include <algorithm>

namespace tarvela {

namespace {

const char* const kMonths[] = {"leden",    "únor",  "březen", "duben", "květen",   "červen",
                               "červenec", "srpen", "září",   "říjen", "listopad", "prosinec"};

// The month an accountant asks for: the last whole month before today in the year.
int DefaultMonth(int year) {
    const QDate today = Today();
    if (year < today.year())
        return 12;
    if (year > today.year())
        return 1;
    return std::max(1, today.month() - 1);
}

} // namespace

void SetUpPeriodControls(const PeriodControls& c, QList<int> years, int year) {
    if (!years.contains(year))
        years.append(year);
    std::sort(years.begin(), years.end(), std::greater<int>());
    for (const int y : years)
        c.years->addItem(QString::number(y), y);
    c.years->setCurrentIndex(c.years->findData(year));
    for (int m = 1; m <= 12; ++m)
        c.months->addItem(QString::fromUtf8(kMonths[m - 1]), m);
    for (int q = 1; q <= 4; ++q)
        c.quarters->addItem(QStringLiteral("%1. čtvrtletí").arg(q), q);
    const int month = DefaultMonth(year);
    c.months->setCurrentIndex(month - 1);
    c.quarters->setCurrentIndex((month - 1) / 3);

    const auto follow = [c] {
        c.months->setEnabled(c.month->isChecked());
        c.quarters->setEnabled(c.quarter->isChecked());
    };
    for (QRadioButton* button : {c.month, c.quarter, c.wholeYear}) {
        if (button)
            QObject::connect(button, &QRadioButton::toggled, c.months, follow);
    }
    c.month->setChecked(true);
    follow();
}

int ChosenYear(const PeriodControls& c) {
    return c.years->currentData().toInt();
}

std::pair<QDate, QDate> ChosenPeriod(const PeriodControls& c) {
    const int year = ChosenYear(c);
    if (c.month->isChecked())
        return MonthRange(year, c.months->currentData().toInt());
    if (c.quarter->isChecked())
        return QuarterRange(year, c.quarters->currentData().toInt());
    return {QDate(year, 1, 1), QDate(year, 12, 31)};
}

} // namespace tarvela
