#include "text/amount_words.h"

#include <array>

namespace tarvela {
namespace {

using Row = std::array<const char16_t*, 10>;

// Words by place (0 units .. 6 millions) and digit. Places 4 and 5 repeat places 1 and 2; a 1 in
// the tens or tens-of-thousands place is always read by the teens rule instead.
constexpr std::array<Row, 7> kWords = {{
    {u"", u"jedna", u"dvě", u"tři", u"čtyři", u"pět", u"šest", u"sedm", u"osm", u"devět"},
    {u"", u"", u"dvacet", u"třicet", u"čtyřicet", u"padesát", u"šedesát", u"sedmdesát", u"osmdesát",
     u"devadesát"},
    {u"", u"jednosto", u"dvěstě", u"třista", u"čtyřista", u"pětset", u"šestset", u"sedmset",
     u"osmset", u"devětset"},
    {u"tisíc", u"jedentisíc", u"dvatisíce", u"třitisíce", u"čtyřitisíce", u"pěttisíc", u"šesttisíc",
     u"sedmtisíc", u"osmtisíc", u"devěttisíc"},
    {u"", u"", u"dvacet", u"třicet", u"čtyřicet", u"padesát", u"šedesát", u"sedmdesát", u"osmdesát",
     u"devadesát"},
    {u"", u"jednosto", u"dvěstě", u"třista", u"čtyřista", u"pětset", u"šestset", u"sedmset",
     u"osmset", u"devětset"},
    {u"", u"jedenmilion", u"dvamiliony", u"třimiliony", u"čtyřimiliony", u"pětmilionů",
     u"šestmilionů", u"sedmmilionů", u"osmmilionů", u"devětmilionů"},
}};

constexpr Row kTeens = {u"deset",   u"jedenáct", u"dvanáct",  u"třináct", u"čtrnáct",
                        u"patnáct", u"šestnáct", u"sedmnáct", u"osmnáct", u"devatenáct"};

const QString kThousand = QStringLiteral("tisíc");

QString Word(const char16_t* word) {
    return QString::fromUtf16(word);
}

// Words of a non-negative number below 10 000 000 (digits in `s`).
QString WordsOfDigits(const QString& s) {
    const int length = static_cast<int>(s.size());
    auto digit = [&s](int position) { return s[position - 1].unicode() - u'0'; };
    QString words;
    int i = 1;
    while (i <= length) {
        if (i == length - 1 && digit(i) == 1) {
            words += Word(kTeens[static_cast<std::size_t>(digit(length))]);
            break;
        }
        if (i == length - 4 && digit(i) == 1) {
            words += Word(kTeens[static_cast<std::size_t>(digit(i + 1))]) + kThousand;
            i += 2;
            continue;
        }
        words +=
            Word(kWords[static_cast<std::size_t>(length - i)][static_cast<std::size_t>(digit(i))]);
        ++i;
    }
    // An empty thousands group after the millions: "tisíc" stands there alone.
    if (length == 7 && s.mid(1, 3) == QLatin1String("000"))
        words.remove(words.indexOf(kThousand), kThousand.size());
    return words;
}

} // namespace

QString AmountInWords(qint32 n) {
    if (n == 0)
        return QStringLiteral("nula");
    const qint64 magnitude = n < 0 ? -qint64(n) : qint64(n);
    const QString digits = QString::number(magnitude);
    if (digits.size() > 7)
        return QString::number(n);
    const QString words = WordsOfDigits(digits);
    return n < 0 ? QStringLiteral("minus") + words : words;
}

} // namespace tarvela
