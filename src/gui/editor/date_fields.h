#pragma once

#include <QDate>
#include <QString>

#include <functional>

class QDateEdit;

namespace tarvela {

// Makes a date field take what is typed as a whole: however the field was entered (a click, Tab,
// Enter, Ctrl+A), the first typed character starts a new date text, which the field shows as
// typed ("," is taken as "."). Leaving the field or Enter reads it with ParseTypedDate: a date
// that exists becomes the field's date; any other text is refused with a message naming the field
// ("Datum vystavení: „31.2.2026“ není platné datum; …") and the field keeps its previous date.
// A date the user did not type into is never changed. The arrow keys and the calendar work as
// before.
void MakeTypedDateField(QDateEdit* field, const QString& fieldName);

// The due date follows the date of issue by `days()` days while it still stands at that distance
// from it (the user did not set it by hand). A due date before the date of issue, when either
// field is left, is warned about.
void LinkDueDate(QDateEdit* issue, QDateEdit* due, std::function<int()> days);

// "Datum splatnosti 1.3.2026 je dřívější než datum vystavení 5.3.2026."
QString DueBeforeIssueMessage(const QDate& due, const QDate& issue);

} // namespace tarvela
