#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>

#include <functional>

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

// Files enough that a window reading them in slices of about 8 ms is still filling after its
// first slice, even on a fast machine: for the tests that close a window while it fills.
constexpr int kFilesBeyondOneSlice = 3000;

// Runs the event loop one turn at a time until `done` holds (ten seconds at most, then false):
// for watching a window between two slices of its work.
inline bool RunEventsUntil(const std::function<bool()>& done) {
    QElapsedTimer limit;
    limit.start();
    while (!done()) {
        if (limit.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

} // namespace tarvela::test
