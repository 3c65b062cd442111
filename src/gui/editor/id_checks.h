#pragma once

class QLineEdit;
class QString;

namespace tarvela {

// What an identification field holds.
enum class IdKind { IC, DIC };

// Checks the field when the user leaves it: an IČ that fails its checksum or a DIČ of another
// form gets a warning box, once per typed value. The value stays as it is typed; the user may
// keep it (a foreign subject, a number the register has not checked).
void CheckIdWhenLeft(QLineEdit* edit, IdKind kind);

// The caption of the warning box.
QString IdWarningCaption();

// Notes that the user has been told about the field's present value already, so leaving the
// field does not warn about it again.
void MarkIdWarned(QLineEdit* edit);

} // namespace tarvela
