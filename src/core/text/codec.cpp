#include "text/codec.h"

#include "text/cp1250_table.h"

#include "text/errors.h"

#include <QList>

#include <array>

namespace tarvela {
namespace {

constexpr const std::array<char16_t, 128>& kHighHalf = kCp1250HighHalf;

// Reverse lookup built once: code point -> byte, 0 where the code page has no byte.
struct ReverseTable {
    std::array<unsigned char, 0x10000> bytes{};
    ReverseTable() {
        for (int b = 0; b < 0x80; ++b)
            bytes[b] = static_cast<unsigned char>(b);
        for (int i = 0; i < 128; ++i)
            bytes[kHighHalf[i]] = static_cast<unsigned char>(0x80 + i);
    }
};

const ReverseTable& Reverse() {
    static const ReverseTable table;
    return table;
}

bool HasByte(char16_t c) {
    return c == 0 || Reverse().bytes[c] != 0;
}

} // namespace

QString DecodeCp1250(const QByteArray& bytes) {
    QString out;
    out.resize(bytes.size());
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = b < 0x80 ? QChar(b) : QChar(kHighHalf[b - 0x80]);
    }
    return out;
}

QChar FirstUnencodableChar(const QString& text) {
    for (QChar c : text) {
        if (!HasByte(c.unicode()))
            return c;
    }
    return QChar();
}

bool CanEncodeCp1250(const QString& text) {
    return FirstUnencodableChar(text).isNull();
}

QByteArray EncodeCp1250(const QString& text, const QString& what) {
    QByteArray out;
    out.resize(text.size());
    const auto& table = Reverse().bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != 0 && table[c] == 0) {
            // A surrogate pair is one character for the user: show it whole.
            QString shown = text.mid(i, text[i].isHighSurrogate() ? 2 : 1);
            QString message =
                QStringLiteral("Znak „%1“ (U+%2) nelze uložit v kódování Windows-1250")
                    .arg(shown)
                    .arg(QString::number(text.mid(i).toUcs4().value(0), 16)
                             .toUpper()
                             .rightJustified(4, QLatin1Char('0')));
            if (!what.isEmpty())
                message += QStringLiteral(" (%1: „%2“)").arg(what, text);
            else
                message += QStringLiteral(" (text „%1“)").arg(text);
            message += QStringLiteral(". Nahraďte jej jiným znakem.");
            throw EncodingError(message);
        }
        out[i] = static_cast<char>(table[c]);
    }
    return out;
}

} // namespace tarvela
