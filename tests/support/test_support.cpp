#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace tarvela::test {

TempProgramFolder::TempProgramFolder() {
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempProgramFolder::path() const {
    return QDir::toNativeSeparators(dir_.path()) + QDir::separator();
}

QString TempProgramFolder::file(const QString& relative) const {
    return path() + relative;
}

void TempProgramFolder::writeBytes(const QString& relative, const QByteArray& bytes) const {
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

QByteArray TempProgramFolder::readBytes(const QString& relative) const {
    return ReadFileBytes(file(relative));
}

bool TempProgramFolder::exists(const QString& relative) const {
    return QFileInfo::exists(file(relative));
}

QByteArray ReadFileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace tarvela::test
