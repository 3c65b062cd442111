#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QtGlobal>

class QWidget;

namespace tarvela {

// Two small dialogs (the forms date_dialog.ui and year_dialog.ui): a white window with the choice
// at the top and a grey button band at the bottom holding "Ok" (Tl_Ok, default button) and
// "Storno" (Tl_Storno, cancel button). Each call builds its window, shows it modally and destroys
// it before it returns.

// A day picked in a month calendar (MonthCalendar1) that opens on `date`, which is preselected:
// "Ok" is enabled from the start, so Enter takes it. True when the user confirmed; `date` then
// holds the chosen day. On Storno, Esc or the close box `date` stays as it was.
bool AskDate(QDate& date, const QString& title, QWidget* parent = nullptr);

// A year picked from the list CBox_Rok. True when the user confirmed (also with the year
// unchanged); `year` then holds the chosen year.
bool AskYear(quint16& year, quint16 lowest, const QString& title, QWidget* parent = nullptr);

// The years the year dialog offers, highest first: from the larger of the next year and `year`
// down to the smaller of `lowest` and `year`.
QList<int> YearChoices(int year, int lowest);

} // namespace tarvela
