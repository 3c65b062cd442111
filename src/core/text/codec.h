#pragma once

#include <QByteArray>
#include <QString>

namespace tarvela {

// Windows-1250 (Czech code page): every file the program writes and every text handed to the
// print module is in this code page. The five bytes the code page leaves undefined (0x81, 0x83,
// 0x88, 0x90, 0x98) map to the C1 control characters of the same value, so every byte decodes
// and encodes back to itself.

// Decodes Windows-1250 bytes. Never fails.
QString DecodeCp1250(const QByteArray& bytes);

// True when every character of the text has a Windows-1250 byte.
bool CanEncodeCp1250(const QString& text);

// The first character of the text that Windows-1250 cannot hold, or a null QChar.
QChar FirstUnencodableChar(const QString& text);

// Encodes a text. A character outside Windows-1250 raises EncodingError naming the text and the
// character ("what" describes the text for the user, e.g. "Odběratel - název"); nothing is ever
// replaced by "?".
QByteArray EncodeCp1250(const QString& text, const QString& what = QString());

} // namespace tarvela
