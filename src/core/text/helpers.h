#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace tarvela {

// Cuts a text at every "|"; the part after the last "|" is always added, even when empty:
// "a|b|" -> "a", "b", ""; "" -> one empty part.
QStringList SplitCells(const QString& text);
// The same, emptying and filling the given list.
void SplitCells(const QString& text, QStringList& list);

// A copy of the text with every `from` replaced by `to`.
QString ReplaceChar(const QString& text, QChar from, QChar to);

// A copy of the text with exactly these 35 letters made plain: Š Ť Ž š ť ž Á Č Ď É Ě Í Ň Ó Ř Ú Ý
// á ä č ď é ë ě í ň ó ő ö ř ů ú ű ü ý. Every other character stays (also Ů, Ä, Ö, Ü, ...).
QString StripDiacritics(const QString& text);

// "0" for false, "1" for true.
QString BoolToDigit(bool flag);

// The calendar year of Today().
int CurrentYear();

// "major.minor" of the program's product version, e.g. "1.0".
QString ProgramVersionText();

// The error box's full-stop rule: a non-empty message whose last character has a code above that
// of the full stop (46) gets a full stop appended; any other message stays as it is.
QString AppendFullStop(const QString& message);

// Trimming as the program does it everywhere: leading and trailing characters with codes up to 32
// are removed.
QString TrimText(const QString& text);

// `folder` in native separators with one at its end (added unless it has one), ready for a name
// to be appended; "" gives the root.
QString WithTrailingSeparator(const QString& folder);

// True when both paths name the same existing file (links followed), or, for a file that does not
// exist (yet), the same absolute path. An empty path names no file.
bool SameFile(const QString& a, const QString& b);

// Upper- and lower-casing that touch only the letters a-z and A-Z.
QString UpperCaseAscii(const QString& text);
QString LowerCaseAscii(const QString& text);

// Equal when the texts differ at most in the case of the letters a-z and A-Z.
bool SameTextAscii(const QString& a, const QString& b);

} // namespace tarvela
