#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

namespace tarvela {

// The lines of a Windows-1250 text file, as every reader of invoice files takes them: the
// bytes are cut at CR LF, at a lone CR and at a lone LF; a final line without a line end still
// counts; a line end at the very end does not start a further line; an empty file has no lines.
// Lines are numbered from 1, as in the invoice file layout.
// One line of a file's bytes as it stands: its bytes without the line end, and the end as found
// (CR LF, CR, LF, or nothing for a last line without one). Joining text and end of every line
// gives the bytes back, so that a writer replacing some lines leaves every other byte unchanged.
struct RawLine {
    QByteArray text;
    QByteArray end;
};
std::vector<RawLine> SplitRawLines(const QByteArray& bytes);
// The bytes of the lines: text and end of each.
QByteArray JoinRawLines(const std::vector<RawLine>& lines);

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

// Invoice files and Tarvela.ini are a few kilobytes; a file larger than this is never read (a
// sparse file of gigabytes would otherwise take all memory). The bound leaves room for files of
// 100 000 lines that other programs may have written.
inline constexpr qint64 kMaxReadFileSize = qint64(4) << 20;

// Whether ReadWholeFile follows a symbolic link at the end of the path.
enum class FollowLinks { No, Yes };

// Reads a whole file's bytes. Only a regular file is read: a FIFO, a device, a socket or a
// folder, and with FollowLinks::No a symbolic link too, is refused without waiting or reading.
// Raises FileError naming the file when it cannot be read, is no regular file or is larger than
// kMaxReadFileSize (OversizedFileError).
QByteArray ReadWholeFile(const QString& path, FollowLinks follow = FollowLinks::No);

// True when the folder entry itself (not what a link points to) is a regular file.
bool IsRegularFileEntry(const QString& path);

// The names of the regular files of a folder whose names match the pattern ("*.tvl", without
// regard to case), no hidden ones, no links, unsorted. A missing folder gives no names; a folder
// that exists but cannot be read raises FileError saying so.
QStringList ListRegularFiles(const QString& folder, const QString& pattern);

// The names of all entries of a folder whose names match the pattern (without regard to case),
// whatever they are (files, links, dangling ones too, folders, FIFOs), no hidden ones, unsorted.
// A missing folder gives no names; an unreadable one raises FileError as ListRegularFiles does.
QStringList ListAllEntries(const QString& folder, const QString& pattern);

// What a write of a new file found.
enum class WriteOutcome { Written, Failed, AlreadyExists };

// Replaces the file with the bytes atomically: the bytes go to a temporary file beside it
// (name + ".XXXXXX") that is renamed over the folder entry only when complete and synced, so a
// failed write (disk full, file size limit, killed process) leaves the previous file intact. A
// symbolic link in the entry's place is replaced, its target is never written. False when the
// file could not be written.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);

// The same for a file that must not exist yet: the complete temporary file takes the name only
// when no entry of that name exists (an exclusive create), so of two processes creating the
// same file at once exactly one succeeds and the other gets AlreadyExists.
WriteOutcome CreateFileAtomically(const QString& path, const QByteArray& bytes);

// Replaces the file with what `update` makes of its present bytes (nullopt: there is no file),
// with no write of another instance in between: the file is locked (flock) from before it is
// read until the new one has been renamed over it, and a writer that got the lock of a file
// replaced meanwhile reads the new one instead. Every writer of invoice files goes through here,
// so a payment and a save never overwrite one another unseen. `update` may raise to write
// nothing. Raises FileError naming the file when it cannot be read or written, or when another
// instance holds the lock for longer than a few seconds.
void ReplaceFileLocked(const QString& path,
                       const std::function<QByteArray(const std::optional<QByteArray>&)>& update);

// Flushes the folder's entries to disk, so a rename in it survives a power loss.
void SyncFolderOf(const QString& path);

// True for the name of a temporary file of the two writes above ("2026001.tvl.a1B2c3").
bool IsTemporaryFileName(const QString& name);

} // namespace tarvela
