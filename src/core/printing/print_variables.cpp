#include "printing/print_variables.h"

namespace tarvela {

QString PrintVariables::SafeValue(const QString& value) {
    QString safe = value;
    safe.replace(QLatin1Char('|'), QChar(0x00A6));
    safe.replace(QLatin1String("\r\n"), QLatin1String(" "));
    safe.replace(QLatin1Char('\r'), QLatin1Char(' '));
    safe.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return safe;
}

void PrintVariables::add(const QString& name, const QString& value) {
    if (!text_.isEmpty())
        text_ += QLatin1Char('|');
    text_ += name;
    text_ += QLatin1Char('|');
    text_ += SafeValue(value);
}

} // namespace tarvela
