#include "fuzz_support.h"

#include "text/codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace tarvela::fuzz {

void Fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "\nPROPERTY FAILED: %s\n%s\n", what, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

namespace {

QTemporaryDir* CreateScratch() {
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    // Static, so its destructor removes the folder when the process exits normally.
    static QTemporaryDir dir(base + QStringLiteral("/tarvela-fuzz-XXXXXX"));
    if (!dir.isValid())
        Fail("cannot create the scratch folder", base);
    return &dir;
}

} // namespace

const QString& ScratchFolder() {
    static const QString path = CreateScratch()->path() + QLatin1Char('/');
    return path;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        Fail("cannot write a scratch file", path);
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void EmptyFolder(const QString& folder) {
    QDir dir(folder);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        // Not QDir::filePath: it takes a name beginning with ":" for a resource path.
        const QString path = dir.path() + QLatin1Char('/') + name;
        if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
}

QString TakeText(FuzzedDataProvider& in, std::size_t maxLength) {
    if (in.ConsumeIntegralInRange<int>(0, 7) != 0)
        return TakeCp1250Text(in, maxLength);
    const std::size_t units = in.ConsumeIntegralInRange<std::size_t>(0, maxLength);
    QString text;
    text.reserve(static_cast<qsizetype>(units));
    for (std::size_t i = 0; i < units && in.remaining_bytes() > 0; ++i)
        text.append(QChar(in.ConsumeIntegral<char16_t>()));
    return text;
}

QString TakeCp1250Text(FuzzedDataProvider& in, std::size_t maxLength) {
    const std::string bytes = in.ConsumeRandomLengthString(maxLength);
    return DecodeCp1250(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString RemainingText(FuzzedDataProvider& in) {
    return TakeText(in, in.remaining_bytes());
}

QString Quote(const QString& text) {
    QString out = QStringLiteral("\"");
    for (QChar c : text.left(200)) {
        if (c.unicode() < 32 || c.unicode() > 126)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    if (text.size() > 200)
        out += QStringLiteral("...");
    return out + QStringLiteral("\" (%1 units)").arg(text.size());
}

} // namespace tarvela::fuzz
