#pragma once

// Sample invoice files for the tests: whole files from their line texts, as the program writes
// them (Windows-1250, CR LF after every line).

#include "support/test_support.h"
#include "text/codec.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace tarvela::test {

// The 49 lines of an invoice; item rows as "cells|" lines, empty rows as "||||||".
inline QStringList InvoiceLines(const QString& number, const QStringList& itemLines) {
    QStringList lines;
    lines << number << QStringLiteral("VS-") + number << QStringLiteral("Obj ") + number
          << QStringLiteral("Příjemce ") + number << QStringLiteral("Sklad ") + number
          << QStringLiteral("PP") << QStringLiteral("1.2.2024") << QStringLiteral("1.2.2024")
          << QStringLiteral("15.2.2024");
    for (int i = 1; i <= 9; ++i)
        lines << QStringLiteral("Od%1-%2").arg(i).arg(number);
    for (int row = 0; row < 25; ++row)
        lines << (row < itemLines.size() ? itemLines[row] : QStringLiteral("||||||"));
    lines << QStringLiteral("Komentář A ") + number << QStringLiteral("Komentář B ") + number
          << QStringLiteral("121,00") << QStringLiteral("3.3.2024") << QStringLiteral("EUR")
          << QStringLiteral("121");
    return lines;
}

// The lines as the program writes them: Windows-1250, each line followed by CR LF.
inline QByteArray InvoiceBytes(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return EncodeCp1250(text);
}

// An invoice file of `count` lines with the given lines (numbered from 1) filled; the other
// lines are empty, except the item rows 19 to 43, which are empty rows "||||||".
inline QByteArray InvoiceFileBytes(const QMap<int, QString>& lines, int count = 49) {
    QStringList all;
    for (int n = 1; n <= count; ++n)
        all << lines.value(n, n >= 19 && n <= 43 ? QStringLiteral("||||||") : QString());
    return InvoiceBytes(all);
}

inline void WriteInvoice(const TempProgramFolder& folder, const QString& relative,
                         const QStringList& lines) {
    folder.writeBytes(relative, InvoiceBytes(lines));
}

} // namespace tarvela::test
