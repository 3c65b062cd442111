#include "module_text.h"

#include "text/cp1250_table.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace tarvela::prm1 {
namespace {

// The program's own table of the code page.
constexpr const std::array<char16_t, 128>& kHighHalf = kCp1250HighHalf;

char EncodeChar(char16_t c) {
    if (c < 0x80)
        return static_cast<char>(c);
    for (int i = 0; i < 128; ++i) {
        if (kHighHalf[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

constexpr int kMaxDecimals = 6;

qint64 PowerOfTen(int n) {
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

} // namespace

QString FromCp1250(const QByteArray& bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = b < 0x80 ? QChar(b) : QChar(kHighHalf[b - 0x80]);
    }
    return out;
}

QString FromCp1250(const char* text) {
    if (text == nullptr)
        return QString();
    return FromCp1250(QByteArray(text, static_cast<qsizetype>(std::strlen(text))));
}

QByteArray ToCp1250ForDisplay(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text)
        out.append(EncodeChar(c.unicode()));
    return out;
}

void CopyToBuffer(const QString& text, char* buffer, qint32 size) {
    if (buffer == nullptr || size <= 0)
        return;
    const QByteArray bytes = ToCp1250ForDisplay(text);
    const qsizetype n = std::min<qsizetype>(bytes.size(), size - 1);
    std::memcpy(buffer, bytes.constData(), static_cast<size_t>(n));
    buffer[n] = '\0';
}

std::optional<Decimal> ParseNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (t[0] == u'-' || t[0] == u'+') {
        negative = t[0] == u'-';
        ++i;
    }
    qint64 units = 0;
    int digits = 0;
    int decimals = 0;
    bool inFraction = false;
    bool lastWasSpace = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 0x80) {
            if (inFraction && ++decimals > kMaxDecimals)
                return std::nullopt;
            if (units > (std::numeric_limits<qint64>::max() - 9) / 10)
                return std::nullopt;
            units = units * 10 + (c.unicode() - u'0');
            ++digits;
            lastWasSpace = false;
        } else if ((c == u' ' || c == QChar(0x00A0)) && !inFraction && digits > 0 &&
                   !lastWasSpace) {
            lastWasSpace = true; // a group separator between digits
        } else if ((c == u',' || c == u'.') && !inFraction && !lastWasSpace && digits > 0) {
            inFraction = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || lastWasSpace || (inFraction && decimals == 0))
        return std::nullopt;
    return Decimal{negative ? -units : units, decimals};
}

bool Rescale(Decimal& number, int decimals) {
    if (decimals < number.decimals)
        return false;
    qint64 result = 0;
    if (__builtin_mul_overflow(number.units, PowerOfTen(decimals - number.decimals), &result))
        return false;
    number.units = result;
    number.decimals = decimals;
    return true;
}

QString FormatNumber(const Decimal& number) {
    const bool negative = number.units < 0;
    // Work on the magnitude as unsigned so that the smallest value cannot overflow.
    const quint64 magnitude =
        negative ? 0 - static_cast<quint64>(number.units) : static_cast<quint64>(number.units);
    QString digits = QString::number(magnitude);
    if (number.decimals > 0) {
        if (digits.size() <= number.decimals)
            digits = QString(number.decimals + 1 - digits.size(), u'0') + digits;
        digits.insert(digits.size() - number.decimals, u',');
    }
    return negative && magnitude != 0 ? u'-' + digits : digits;
}

} // namespace tarvela::prm1
