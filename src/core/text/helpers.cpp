#include "text/helpers.h"

#include <QDir>
#include <QFileInfo>

#include "tarvela_version.h"
#include "text/clock.h"

#include <QHash>

namespace tarvela {

QStringList SplitCells(const QString& text) {
    QStringList list;
    SplitCells(text, list);
    return list;
}

void SplitCells(const QString& text, QStringList& list) {
    list.clear();
    // Whole pieces are copied at once: the cells of every row of a period go through here.
    qsizetype start = 0;
    for (qsizetype bar = text.indexOf(QLatin1Char('|')); bar >= 0;
         bar = text.indexOf(QLatin1Char('|'), start)) {
        list.append(text.mid(start, bar - start));
        start = bar + 1;
    }
    list.append(text.mid(start));
}

QString ReplaceChar(const QString& text, QChar from, QChar to) {
    QString out = text;
    out.replace(from, to);
    return out;
}

QString StripDiacritics(const QString& text) {
    static const QHash<QChar, QChar> table = [] {
        const QString from = QStringLiteral("ŠŤŽšťžÁČĎÉĚÍŇÓŘÚÝáäčďéëěíňóőöřůúűüý");
        const QString to = QStringLiteral("STZstzACDEEINORUYaacdeeeinoooruuuuy");
        QHash<QChar, QChar> map;
        for (qsizetype i = 0; i < from.size(); ++i)
            map.insert(from[i], to[i]);
        return map;
    }();
    QString out = text;
    for (QChar& c : out)
        c = table.value(c, c);
    return out;
}

QString BoolToDigit(bool flag) {
    return flag ? QStringLiteral("1") : QStringLiteral("0");
}

int CurrentYear() {
    return Today().year();
}

QString ProgramVersionText() {
    return QStringLiteral("%1.%2").arg(TARVELA_VERSION_MAJOR).arg(TARVELA_VERSION_MINOR);
}

QString AppendFullStop(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

QString TrimText(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

QString UpperCaseAscii(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    }
    return out;
}

QString LowerCaseAscii(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    }
    return out;
}

bool SameTextAscii(const QString& a, const QString& b) {
    return UpperCaseAscii(a) == UpperCaseAscii(b);
}

bool SameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    const QString ca = fa.canonicalFilePath();
    const QString cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

QString WithTrailingSeparator(const QString& folder) {
    QString result = QDir::toNativeSeparators(folder);
    if (!result.endsWith(QDir::separator()))
        result += QDir::separator();
    return result;
}

} // namespace tarvela
