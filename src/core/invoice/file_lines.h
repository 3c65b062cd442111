#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace tarvela {

// The lines of a Windows-1250 text file, as every reader of invoice files takes them: the
// bytes are cut at CR LF, at a lone CR and at a lone LF; a final line without a line end still
// counts; a line end at the very end does not start a further line; an empty file has no lines.
// Lines are numbered from 1, as in the invoice file layout.
class FileLines {
public:
    FileLines() = default;

    // Cuts the bytes into lines and decodes them from Windows-1250.
    static FileLines FromBytes(const QByteArray& bytes);

    // Reads the whole file; raises FileError (Czech message naming the file) when it cannot be
    // opened or read.
    static FileLines ReadFile(const QString& path);

    int count() const { return static_cast<int>(spans_.size()); }

    // True when the file has line n (1-based), i.e. count() >= n.
    bool has(int n) const { return n >= 1 && n <= count(); }

    // Line n (1-based); an empty text when the file has no such line.
    QString line(int n) const { return lineView(n).toString(); }

    // The same without a copy; valid while this object lives.
    QStringView lineView(int n) const {
        if (!has(n))
            return {};
        const Span& span = spans_[n - 1];
        return QStringView(text_).mid(span.start, span.length);
    }

    // All lines, in order.
    QStringList lines() const;

private:
    struct Span {
        qsizetype start;
        qsizetype length;
    };
    QString text_; // the decoded file
    std::vector<Span> spans_;
};

// Reads a whole file's bytes; raises FileError naming the file when it cannot be read.
QByteArray ReadWholeFile(const QString& path);

// Replaces the file with the bytes atomically: the bytes go to a temporary file beside it that
// is renamed over the file only when complete, so a failed write (disk full, file size limit,
// killed process) leaves the previous file intact. False when the file could not be written.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace tarvela
