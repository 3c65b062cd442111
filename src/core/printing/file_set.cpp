#include "printing/file_set.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_store.h"
#include "text/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstdio>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvela {

namespace {

// A folder locked by this write while it lasts; a hidden folder that nobody holds locked
// belongs to a write that was killed.
class FolderLock {
public:
    explicit FolderLock(const QByteArray& path)
        : fd_(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FolderLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

QString StagingPrefix(const QString& folderName) {
    return QLatin1Char('.') + folderName + QStringLiteral(".tarvela-");
}

[[noreturn]] void Unwritable(const QString& folder) {
    throw FileError(QStringLiteral("Do složky „%1“ nelze zapsat; nic nebylo změněno.")
                        .arg(QDir::toNativeSeparators(folder)));
}

bool WriteNewFile(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    bool ok = true;
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok) {
            data += n;
            left -= n;
        }
    }
    ok = ::fsync(fd) == 0 && ok;
    return ::close(fd) == 0 && ok;
}

void RemoveStaleStaging(const QString& parent, const QString& folderName) {
    const QString prefix = StagingPrefix(folderName);
    const QDir dir(parent);
    for (const QString& name :
         dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        if (!name.startsWith(prefix))
            continue;
        QDir stale(dir.filePath(name));
        // One that holds a folder of the user's (moved there by a write killed half-way through
        // moving it back) is left for the user to see.
        if (!stale.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
            continue;
        // A write under way holds its folder locked.
        const FolderLock abandoned(QFile::encodeName(stale.path()));
        if (abandoned.held())
            stale.removeRecursively();
    }
}

} // namespace

QString SafeFileName(const QString& number, const QString& ending) {
    ValidateInvoiceNumber(number);
    const QString name = number + ending;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        QFileInfo(name).fileName() != name)
        throw ValidationError(
            QStringLiteral("Z čísla faktury „%1“ nelze vytvořit název souboru.").arg(number));
    return name;
}

void MakeNamesUnique(NamedFiles& files) {
    QSet<QString> taken;
    for (auto& [name, bytes] : files) {
        QString unique = name;
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString stem = dot > 0 ? name.left(dot) : name;
        const QString ext = dot > 0 ? name.mid(dot) : QString();
        for (int n = 2; taken.contains(unique.toLower()); ++n)
            unique = stem + QLatin1Char('-') + QString::number(n) + ext;
        taken.insert(unique.toLower());
        name = unique;
    }
}

void WriteFileSet(const QString& folderPath, const NamedFiles& files) {
    const QFileInfo info(QDir::cleanPath(QDir(folderPath).absolutePath()));
    const QString folder = info.absoluteFilePath();
    const QString parent = info.absolutePath();
    const QString folderName = info.fileName();
    if (folderName.isEmpty() || !QDir().mkpath(parent))
        Unwritable(folder);
    RemoveStaleStaging(parent, folderName);

    QByteArray pattern =
        QFile::encodeName(parent + QLatin1Char('/') + StagingPrefix(folderName) + "XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr)
        Unwritable(folder);
    const QByteArray staging = pattern;
    const QString stagingPath = QFile::decodeName(staging);
    const FolderLock stagingLock(staging);
    const auto fail = [&] {
        QDir(stagingPath).removeRecursively();
        Unwritable(folder);
    };

    QSet<QString> names;
    for (const auto& [name, bytes] : files) {
        if (name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')))
            fail(); // SafeFileName makes every name of a set
        names.insert(name.toLower());
        if (!WriteNewFile(staging + '/' + QFile::encodeName(name), bytes))
            fail();
    }

    const QByteArray native = QFile::encodeName(folder);
    struct stat st {};
    const bool exists = ::lstat(native.constData(), &st) == 0;
    if (exists && !S_ISDIR(st.st_mode))
        fail();
    QStringList moveBack; // the folder's own subfolders and special files
    // The old folder takes the hidden name after the exchange: held locked, no other write
    // takes it for abandoned before it is removed.
    const FolderLock oldLock(native);
    if (exists) {
        // The folder's other entries come along into the new set: files as hard links (a copy
        // where the file system has none), links as links.
        DIR* dir = ::opendir(native.constData());
        if (dir == nullptr)
            fail();
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray raw(entry->d_name);
            if (raw == "." || raw == "..")
                continue;
            const QString name = QFile::decodeName(raw);
            if (names.contains(name.toLower()))
                continue; // replaced by the set
            const QByteArray from = native + '/' + raw;
            const QByteArray to = staging + '/' + raw;
            struct stat est {};
            if (::lstat(from.constData(), &est) != 0)
                continue;
            bool ok = true;
            if (S_ISREG(est.st_mode)) {
                ok = ::link(from.constData(), to.constData()) == 0 ||
                     QFile::copy(QFile::decodeName(from), QFile::decodeName(to));
            } else if (S_ISLNK(est.st_mode)) {
                QByteArray target(PATH_MAX, '\0');
                const ssize_t n = ::readlink(from.constData(), target.data(), target.size());
                ok = n >= 0 && ::symlink(target.left(n).constData(), to.constData()) == 0;
            } else {
                moveBack.append(name);
            }
            if (!ok) {
                ::closedir(dir);
                fail();
            }
        }
        ::closedir(dir);
    }
    SyncFolderOf(stagingPath + QStringLiteral("/x"));

    if (!exists) {
        if (::renameat2(AT_FDCWD, staging.constData(), AT_FDCWD, native.constData(),
                        RENAME_NOREPLACE) != 0 &&
            (errno == EEXIST || ::rename(staging.constData(), native.constData()) != 0))
            fail();
        SyncFolderOf(folder);
        return;
    }
    if (::renameat2(AT_FDCWD, staging.constData(), AT_FDCWD, native.constData(), RENAME_EXCHANGE) !=
        0) {
        // A file system without an exchange (a USB stick, some network shares): the old folder
        // steps aside, the new one takes its name.
        QByteArray aside =
            QFile::encodeName(parent + QLatin1Char('/') + StagingPrefix(folderName) + "XXXXXX");
        if (::mkdtemp(aside.data()) == nullptr || ::rmdir(aside.constData()) != 0 ||
            ::rename(native.constData(), aside.constData()) != 0)
            fail();
        if (::rename(staging.constData(), native.constData()) != 0) {
            ::rename(aside.constData(), native.constData());
            fail();
        }
        ::rename(aside.constData(), staging.constData());
    }
    SyncFolderOf(folder);
    // The old folder is now the staging one: its subfolders go back, the rest goes.
    for (const QString& name : moveBack)
        ::rename(QFile::encodeName(stagingPath + QLatin1Char('/') + name).constData(),
                 QFile::encodeName(folder + QLatin1Char('/') + name).constData());
    QDir(stagingPath).removeRecursively();
}

} // namespace tarvela
