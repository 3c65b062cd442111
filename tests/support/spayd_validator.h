#pragma once

#include <QMap>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace tarvela::test {

// A checker of the Czech short payment descriptor 1.0 written from its published rules, apart
// from the program's own code: it says what is wrong with a payment text, or nothing.
inline QString SpaydProblem(const QString& text) {
    if (!text.startsWith(QStringLiteral("SPD*1.0*")))
        return QStringLiteral("header");
    const QStringList fields = text.mid(8).split(QLatin1Char('*'));
    QMap<QString, QString> values;
    for (const QString& field : fields) {
        const qsizetype colon = field.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            return QStringLiteral("field without key: ") + field;
        const QString key = field.left(colon);
        if (!QRegularExpression(QStringLiteral("^[A-Z][A-Z0-9-]*$")).match(key).hasMatch())
            return QStringLiteral("key ") + key;
        if (values.contains(key))
            return QStringLiteral("key twice ") + key;
        values.insert(key, field.mid(colon + 1));
    }
    const QString acc = values.value(QStringLiteral("ACC")).section(QLatin1Char('+'), 0, 0);
    if (!QRegularExpression(QStringLiteral("^[A-Z]{2}[0-9]{2}[A-Z0-9]{1,30}$"))
             .match(acc)
             .hasMatch())
        return QStringLiteral("ACC form");
    int rest = 0;
    for (const QChar c : acc.mid(4) + acc.left(4)) {
        const int v = c.isDigit() ? c.unicode() - '0' : c.unicode() - 'A' + 10;
        rest = (v >= 10 ? rest * 100 + v : rest * 10 + v) % 97;
    }
    if (rest != 1)
        return QStringLiteral("ACC checksum");
    if (values.contains(QStringLiteral("AM"))) {
        const QString am = values.value(QStringLiteral("AM"));
        if (am.size() > 10 ||
            !QRegularExpression(QStringLiteral("^[0-9]+(\\.[0-9]{1,2})?$")).match(am).hasMatch() ||
            am.toDouble() <= 0)
            return QStringLiteral("AM ") + am;
    }
    if (values.contains(QStringLiteral("CC")) && !QRegularExpression(QStringLiteral("^[A-Z]{3}$"))
                                                      .match(values.value(QStringLiteral("CC")))
                                                      .hasMatch())
        return QStringLiteral("CC");
    if (values.value(QStringLiteral("MSG")).size() > 60)
        return QStringLiteral("MSG length");
    const struct {
        const char* key;
        int longest;
    } symbols[] = {{"X-VS", 10}, {"X-SS", 10}, {"X-KS", 4}};
    for (const auto& s : symbols) {
        const QString key = QString::fromLatin1(s.key);
        if (values.contains(key) &&
            !QRegularExpression(QStringLiteral("^[0-9]{1,%1}$").arg(s.longest))
                 .match(values.value(key))
                 .hasMatch())
            return key;
    }
    return QString();
}

} // namespace tarvela::test
