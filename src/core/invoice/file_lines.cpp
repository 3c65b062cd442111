#include "invoice/file_lines.h"

#include "text/codec.h"
#include "text/errors.h"

#include <QFile>
#include <QSaveFile>

namespace tarvela {

FileLines FileLines::FromBytes(const QByteArray& bytes) {
    // Decode once, then cut: Windows-1250 maps CR and LF to themselves, so cutting the decoded
    // text is the same as cutting the bytes. Lines are kept as spans of the one decoded text.
    FileLines result;
    result.text_ = DecodeCp1250(bytes);
    const qsizetype size = result.text_.size();
    const QChar* data = result.text_.constData();
    result.spans_.reserve(64);
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < size) {
        const char16_t c = data[i].unicode();
        if (c == u'\r' || c == u'\n') {
            result.spans_.push_back({start, i - start});
            if (c == u'\r' && i + 1 < size && data[i + 1].unicode() == u'\n')
                ++i;
            ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < size)
        result.spans_.push_back({start, size - start});
    return result;
}

QStringList FileLines::lines() const {
    QStringList all;
    all.reserve(count());
    for (int n = 1; n <= count(); ++n)
        all.append(line(n));
    return all;
}

FileLines FileLines::ReadFile(const QString& path) {
    return FromBytes(ReadWholeFile(path));
}

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Soubor „%1“ nelze otevřít pro čtení.").arg(path));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Soubor „%1“ nelze přečíst.").arg(path));
    return bytes;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes) {
    // QSaveFile writes a temporary file beside the target and renames it over the target only
    // when everything was written, so a failure never leaves a half-written file behind.
    // Unbuffered, so that a short write (file size limit, full disk) shows in write()'s result:
    // QSaveFile::commit() does not notice a failure of the buffer flush in close().
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tarvela
