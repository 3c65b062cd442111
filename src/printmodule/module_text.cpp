#include "module_text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace tarvela::prm1 {
namespace {

// Unicode code points of the bytes 0x80..0xFF. The five bytes the code page leaves undefined map
// to the C1 control characters of the same value, as in the program.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

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
