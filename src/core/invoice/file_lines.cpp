#include "invoice/file_lines.h"

#include "text/codec.h"
#include "text/errors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

[[noreturn]] void ThrowNotRegular(const QString& path) {
    throw FileError(QStringLiteral("„%1“ není obyčejný soubor (je to odkaz, složka, zařízení nebo "
                                   "roura) a program jej nečte.")
                        .arg(path));
}

[[noreturn]] void ThrowOversized(const QString& path, qint64 size) {
    throw OversizedFileError(
        QStringLiteral("Soubor „%1“ je příliš velký (%2 kB); program čte soubory nejvýše do "
                       "velikosti %3 kB. Soubor nebyl načten.")
            .arg(path)
            .arg(size / 1024)
            .arg(kMaxReadFileSize / 1024));
}

[[noreturn]] void ThrowUnreadable(const QString& path) {
    throw FileError(QStringLiteral("Soubor „%1“ nelze přečíst.").arg(path));
}

// A closed descriptor whatever happens.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now; false when closing reported an error (a delayed write failure).
    bool close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

// Writes the bytes to a new temporary file beside the path, synced to disk. Its name, or an
// empty text when it could not be written completely (nothing is left behind then).
QString WriteTemporaryFile(const QString& path, const QByteArray& bytes, mode_t mode) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = path + QLatin1Char('.');
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
        const QByteArray native = QFile::encodeName(name);
        Descriptor fd(::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (fd.get() < 0) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || !fd.close()) {
            ::unlink(native.constData());
            return {};
        }
        return name;
    }
    return {};
}

} // namespace

namespace {

// Reads a regular file already open, within the size bound.
QByteArray ReadOpenFile(int fd, const QString& path) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        ThrowUnreadable(path);
    if (!S_ISREG(st.st_mode))
        ThrowNotRegular(path);
    if (st.st_size > kMaxReadFileSize)
        ThrowOversized(path, st.st_size);
    // The file may grow while it is read: never more than the limit and one byte.
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > kMaxReadFileSize)
                ThrowOversized(path, bytes.size());
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, kMaxReadFileSize + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ThrowUnreadable(path);
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

} // namespace

QByteArray ReadWholeFile(const QString& path, FollowLinks follow) {
    const QByteArray native = QFile::encodeName(path);
    // Without blocking: opening a FIFO must not wait for a writer.
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    if (follow == FollowLinks::No)
        flags |= O_NOFOLLOW;
    Descriptor fd(::open(native.constData(), flags));
    if (fd.get() < 0) {
        if (errno == ELOOP)
            ThrowNotRegular(path);
        throw FileError(QStringLiteral("Soubor „%1“ nelze otevřít pro čtení.").arg(path));
    }
    return ReadOpenFile(fd.get(), path);
}

bool IsRegularFileEntry(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

DIR* OpenFolderToList(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0 ? (errno == ENOENT || errno == ENOTDIR)
                                             : !S_ISDIR(st.st_mode))
        return nullptr; // no folder at all
    // An unreadable folder would list as empty; an empty listing must mean an empty folder.
    DIR* dir = ::opendir(native.constData());
    if (dir == nullptr)
        throw FileError(QStringLiteral("Složku „%1“ nelze přečíst (chybí oprávnění ke čtení). "
                                       "Soubory v ní nelze zobrazit ani očíslovat.")
                            .arg(folder));
    return dir;
}

} // namespace

QStringList ListRegularFiles(const QString& folder, const QString& pattern) {
    DIR* dir = OpenFolderToList(folder);
    if (dir == nullptr)
        return {};
    // The folder's own entries tell the kind of each file: a full period is listed without
    // looking at every file, and a link to a FIFO or a device is never even looked at. Only
    // a file system that does not tell the kind costs a look at the entry itself.
    const QRegularExpression match = QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive);
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.' || entry->d_type == DT_DIR || entry->d_type == DT_LNK)
            continue; // hidden entries, "." and "..", folders, links
        const QString name = QFile::decodeName(entry->d_name);
        if (!match.match(name).hasMatch())
            continue;
        if (entry->d_type == DT_REG ||
            (entry->d_type == DT_UNKNOWN && IsRegularFileEntry(prefix + name)))
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

QStringList ListAllEntries(const QString& folder, const QString& pattern) {
    DIR* dir = OpenFolderToList(folder);
    if (dir == nullptr)
        return {};
    const QRegularExpression match = QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive);
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue; // hidden entries, "." and ".."
        const QString name = QFile::decodeName(entry->d_name);
        if (match.match(name).hasMatch())
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes) {
    const QByteArray native = QFile::encodeName(path);
    // An existing regular file keeps its permissions; a link or a new file gets the defaults.
    struct stat st {};
    const bool replacesFile = ::lstat(native.constData(), &st) == 0 && S_ISREG(st.st_mode);
    const QString temporary = WriteTemporaryFile(path, bytes, 0666);
    if (temporary.isEmpty())
        return false;
    const QByteArray nativeTemporary = QFile::encodeName(temporary);
    if (replacesFile)
        ::chmod(nativeTemporary.constData(), st.st_mode & 07777);
    // rename() replaces the entry itself, a symbolic link included, never its target.
    if (::rename(nativeTemporary.constData(), native.constData()) != 0) {
        ::unlink(nativeTemporary.constData());
        return false;
    }
    SyncFolderOf(path);
    return true;
}

WriteOutcome CreateFileAtomically(const QString& path, const QByteArray& bytes) {
    const QByteArray native = QFile::encodeName(path);
    const QString temporary = WriteTemporaryFile(path, bytes, 0666);
    if (temporary.isEmpty())
        return WriteOutcome::Failed;
    const QByteArray nativeTemporary = QFile::encodeName(temporary);
    WriteOutcome outcome = WriteOutcome::Written;
    if (::renameat2(AT_FDCWD, nativeTemporary.constData(), AT_FDCWD, native.constData(),
                    RENAME_NOREPLACE) == 0) {
        SyncFolderOf(path);
        return WriteOutcome::Written;
    }
    if (errno == EEXIST) {
        outcome = WriteOutcome::AlreadyExists;
    } else if (::link(nativeTemporary.constData(), native.constData()) == 0) {
        // A file system without an exclusive rename (a network share): a hard link takes the
        // name only when it is free, just as well.
        outcome = WriteOutcome::Written;
    } else if (errno == EEXIST) {
        outcome = WriteOutcome::AlreadyExists;
    } else {
        // Neither: an exclusive create of the name reserves it, then the complete file
        // replaces the empty one.
        Descriptor reserved(
            ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (reserved.get() < 0)
            outcome = errno == EEXIST ? WriteOutcome::AlreadyExists : WriteOutcome::Failed;
        else if (reserved.close() &&
                 ::rename(nativeTemporary.constData(), native.constData()) == 0) {
            SyncFolderOf(path);
            return WriteOutcome::Written;
        } else
            outcome = WriteOutcome::Failed;
    }
    ::unlink(nativeTemporary.constData());
    if (outcome == WriteOutcome::Written)
        SyncFolderOf(path); // the hard link
    return outcome;
}

std::vector<RawLine> SplitRawLines(const QByteArray& bytes) {
    std::vector<RawLine> lines;
    qsizetype start = 0;
    qsizetype i = 0;
    const qsizetype size = bytes.size();
    while (i < size) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            const qsizetype endLength = (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') ? 2 : 1;
            lines.push_back({bytes.mid(start, i - start), bytes.mid(i, endLength)});
            i += endLength;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < size)
        lines.push_back({bytes.mid(start), QByteArray()});
    return lines;
}

QByteArray JoinRawLines(const std::vector<RawLine>& lines) {
    QByteArray out;
    for (const RawLine& line : lines)
        out += line.text + line.end;
    return out;
}

void SyncFolderOf(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    Descriptor fd(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get()); // a file system that cannot sync a folder has nothing to lose here
}

namespace {

// Another instance holds the lock at most for one write; a lock held longer belongs to a
// process that hangs.
constexpr int kLockWaitMilliseconds = 5000;
constexpr int kLockRetryMilliseconds = 10;

// A file system without locks (some network shares): the write goes on without one, still
// reading the file just before replacing it.
bool LocksUnsupported(int error) {
    return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL;
}

bool SameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

void ReplaceFileLocked(const QString& path,
                       const std::function<QByteArray(const std::optional<QByteArray>&)>& update) {
    const QByteArray native = QFile::encodeName(path);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        Descriptor fd(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
        struct stat locked {};
        if (fd.get() < 0 && errno != ENOENT && errno != ELOOP)
            throw FileError(QStringLiteral("Soubor „%1“ nelze otevřít pro čtení.").arg(path));
        if (fd.get() < 0 || ::fstat(fd.get(), &locked) != 0 || !S_ISREG(locked.st_mode)) {
            // No file of ours (none, a link, a FIFO): nothing to lose; the entry is replaced,
            // a link's target never written.
            if (!WriteFileAtomically(path, update(std::nullopt)))
                throw FileError(QStringLiteral("Soubor „%1“ nelze zapsat.").arg(path));
            return;
        }
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && !LocksUnsupported(errno)) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                throw FileError(QStringLiteral("Soubor „%1“ nelze uzamknout pro zápis.").arg(path));
            if (waited.elapsed() > kLockWaitMilliseconds)
                throw FileError(QStringLiteral("Soubor „%1“ právě zapisuje jiný program nebo jiné "
                                               "okno programu a nepřestává. Zkuste to prosím "
                                               "znovu.")
                                    .arg(path));
            ::usleep(kLockRetryMilliseconds * 1000);
            continue;
        }
        // The lock is of the file still in the folder only when no writer replaced it between
        // the open and the lock; else the newer file is read and locked.
        struct stat current {};
        if (::lstat(native.constData(), &current) != 0 || !SameEntry(current, locked)) {
            if (waited.elapsed() > kLockWaitMilliseconds)
                throw FileError(QStringLiteral("Soubor „%1“ se stále mění. Zkuste to prosím "
                                               "znovu.")
                                    .arg(path));
            continue;
        }
        const QByteArray bytes = update(ReadOpenFile(fd.get(), path));
        if (!WriteFileAtomically(path, bytes))
            throw FileError(QStringLiteral("Soubor „%1“ nelze zapsat.").arg(path));
        return; // the lock goes with the descriptor, after the rename
    }
}

bool IsTemporaryFileName(const QString& name) {
    // name + "." + six letters or digits, as the writes above and earlier versions leave them
    const qsizetype dot = name.size() - 7;
    if (dot < 1 || name.at(dot) != QLatin1Char('.'))
        return false;
    for (qsizetype i = dot + 1; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

} // namespace tarvela
