#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tarvela::test {

// A throw-away program folder: path() ends with the platform separator, like the program's own.
class TempProgramFolder {
public:
    TempProgramFolder();
    QString path() const;                        // with trailing separator
    QString file(const QString& relative) const; // path() + relative
    void writeBytes(const QString& relative, const QByteArray& bytes) const; // creates parents
    QByteArray readBytes(const QString& relative) const;
    bool exists(const QString& relative) const;

private:
    QTemporaryDir dir_;
};

// Reads a whole file; an empty array when it does not exist.
QByteArray ReadFileBytes(const QString& path);

} // namespace tarvela::test
