#include "printing/print_variables.h"

#include "text/errors.h"

namespace tarvela {

void RefuseNulCharacter(const QString& value, const QString& field) {
    if (value.contains(QChar(0)))
        throw ValidationError(
            QStringLiteral("Pole „%1“ obsahuje znak NUL (kód 0), který nelze předat k tisku: "
                           "vše za ním by se ztratilo. Opravte pole, prosím; sestava nebyla "
                           "vytištěna.")
                .arg(field));
}

QString PrintVariables::SafeValue(const QString& value) {
    QString safe = value;
    safe.replace(QLatin1Char('|'), QChar(0x00A6));
    safe.replace(QLatin1String("\r\n"), QLatin1String(" "));
    safe.replace(QLatin1Char('\r'), QLatin1Char(' '));
    safe.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return safe;
}

void PrintVariables::add(const QString& name, const QString& value) {
    RefuseNulCharacter(value, name);
    if (!text_.isEmpty())
        text_ += QLatin1Char('|');
    text_ += name;
    text_ += QLatin1Char('|');
    text_ += SafeValue(value);
}

} // namespace tarvela
