#include "eet/eet_outbox.h"

#include "eet/eet_message.h"
#include "text/errors.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

namespace tarvela::eet {

namespace {

// The last stamp given to an entry's name: payments registered within one millisecond still get
// names in the order they were registered, so the outbox sends them oldest first.
std::atomic<qint64> g_lastStamp{0};

qint64 NextStamp(qint64 ms) {
    qint64 last = g_lastStamp.load();
    qint64 stamp = std::max(ms, last + 1);
    while (!g_lastStamp.compare_exchange_weak(last, stamp))
        stamp = std::max(ms, last + 1);
    return stamp;
}

constexpr char kPendingFolder[] = "cekajici";
constexpr char kSentFolder[] = "odeslane";
constexpr char kKeysFolder[] = "klice";
constexpr char kAddLock[] = "zapis.lock";
constexpr char kExtension[] = ".eet";
constexpr qint64 kMaxEntryBytes = 16 * 1024;
constexpr qint64 kStaleTemporarySeconds = 60;

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QString RandomSuffix() {
    return QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16,
                                    QLatin1Char('0'));
}

FileError WriteError(const QString& path) {
    return FileError(
        QStringLiteral("Záznam tržby pro EET nelze zapsat do „%1“ (%2).")
            .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(strerror(errno))));
}

void SyncFolder(const QString& folder) {
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Replaces `path` with `bytes` atomically: a synced temporary file renamed over it, then the
// folder synced.
void WriteDurably(const QString& path, const QByteArray& bytes) {
    const QString temporary = path + QStringLiteral(".tmp-") + RandomSuffix();
    const int fd =
        ::open(Native(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw WriteError(path);
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    const bool ok = written == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(Native(temporary).constData(), Native(path).constData()) != 0) {
        const int saved = errno;
        ::unlink(Native(temporary).constData());
        errno = saved;
        throw WriteError(path);
    }
    SyncFolder(QFileInfo(path).absolutePath());
}

QString OneLine(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return out;
}

const char* StateName(OutboxEntry::State state) {
    switch (state) {
    case OutboxEntry::State::Waiting:
        return "ceka";
    case OutboxEntry::State::Refused:
        return "odmitnuto";
    case OutboxEntry::State::Confirmed:
        return "potvrzeno";
    }
    return "ceka";
}

QByteArray Serialize(const OutboxEntry& e) {
    QByteArray out;
    const auto line = [&out](const char* key, const QString& value) {
        out += key;
        out += '=';
        out += OneLine(value).toUtf8();
        out += '\n';
    };
    line("id", e.id);
    out += "data=" + e.data + '\n';
    line("doklad", e.reference);
    if (!e.file.isEmpty())
        line("soubor", e.file);
    line("castka", QString::number(e.amountHalere));
    line("playground", e.playground ? QStringLiteral("1") : QStringLiteral("0"));
    line("zapsano", e.registered.toUTC().toString(Qt::ISODate));
    line("stav", QString::fromLatin1(StateName(e.state)));
    line("pokusu", QString::number(e.attempts));
    if (e.lastAttempt.isValid())
        line("posledni_pokus", e.lastAttempt.toUTC().toString(Qt::ISODate));
    if (!e.lastError.isEmpty())
        line("chyba", e.lastError);
    if (!e.lastUuid.isEmpty())
        line("uuid", e.lastUuid);
    if (!e.pok.isEmpty()) {
        line("pok", e.pok);
        line("test", e.testPok ? QStringLiteral("1") : QStringLiteral("0"));
    }
    for (const QString& warning : e.warnings)
        line("varovani", warning);
    out += "konec\n"; // a file without this line was not written whole
    return out;
}

std::optional<OutboxEntry> Parse(const QByteArray& bytes, const QString& id) {
    OutboxEntry e;
    bool complete = false;
    bool hasData = false;
    for (const QByteArray& raw : bytes.split('\n')) {
        if (raw == "konec") {
            complete = true;
            break;
        }
        const int eq = raw.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = raw.left(eq);
        const QByteArray bytesValue = raw.mid(eq + 1);
        const QString value = QString::fromUtf8(bytesValue);
        if (key == "id")
            e.id = value;
        else if (key == "data")
            e.data = bytesValue, hasData = true;
        else if (key == "doklad")
            e.reference = value;
        else if (key == "soubor")
            e.file = value;
        else if (key == "castka")
            e.amountHalere = value.toLongLong();
        else if (key == "playground")
            e.playground = value == QLatin1String("1");
        else if (key == "zapsano")
            e.registered = QDateTime::fromString(value, Qt::ISODate);
        else if (key == "stav")
            e.state = value == QLatin1String("potvrzeno")   ? OutboxEntry::State::Confirmed
                      : value == QLatin1String("odmitnuto") ? OutboxEntry::State::Refused
                                                            : OutboxEntry::State::Waiting;
        else if (key == "pokusu")
            e.attempts = value.toInt();
        else if (key == "posledni_pokus")
            e.lastAttempt = QDateTime::fromString(value, Qt::ISODate);
        else if (key == "chyba")
            e.lastError = value;
        else if (key == "uuid")
            e.lastUuid = value;
        else if (key == "pok")
            e.pok = value;
        else if (key == "test")
            e.testPok = value == QLatin1String("1");
        else if (key == "varovani")
            e.warnings << value;
    }
    if (!complete || !hasData || e.data.isEmpty() || e.id != id)
        return std::nullopt;
    return e;
}

OutboxEntry Damaged(const QString& id) {
    OutboxEntry e;
    e.id = id;
    e.state = OutboxEntry::State::Refused;
    e.lastError = QStringLiteral("Záznam tržby „%1“ ve složce EET je poškozený a nelze ho "
                                 "odeslat; obraťte se na správce.")
                      .arg(id);
    return e;
}

bool Exists(const QString& path) {
    struct stat st;
    return ::stat(Native(path).constData(), &st) == 0;
}

QByteArray ReadSmall(const QString& path, bool* ok) {
    QFile file(path);
    *ok = false;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxEntryBytes)
        return QByteArray();
    *ok = true;
    return file.readAll();
}

// The value of one attribute of the Data (`porad_cis="12"` gives 12).
QByteArray AttributeValue(const QByteArray& data, const QByteArray& name) {
    const QByteArray start = ' ' + name + "=\"";
    const QByteArray padded = ' ' + data;
    const int from = padded.indexOf(start);
    if (from < 0)
        return QByteArray();
    const int valueStart = from + int(start.size());
    return padded.mid(valueStart, padded.indexOf('"', valueStart) - valueStart);
}

// The name of a payment's key file: the taxpayer, the evidence unit, the till and the receipt
// number, which the service never accepts twice.
QString KeyName(const QByteArray& data) {
    QByteArray key;
    for (const char* name : {"eic_popl", "id_jednotky", "id_pokl", "porad_cis"})
        key += AttributeValue(data, name) + '|';
    return QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex());
}

// Holds an exclusive lock on a file for as long as it lives (the operating system's lock, which
// dies with the process).
class FileLock {
public:
    explicit FileLock(const QString& path)
        : fd_(::open(Native(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ < 0)
            throw WriteError(path);
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                throw WriteError(path);
            }
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() { ::close(fd_); }

private:
    int fd_;
};

} // namespace

bool OutboxEntry::isLate(const QDateTime& now) const {
    return state != State::Confirmed && registered.isValid() &&
           registered.secsTo(now) > kLateAfterSeconds;
}

Sending::Sending(QString id, QString uuid, bool first, QByteArray envelope, int lockFd)
    : id_(std::move(id)), uuid_(std::move(uuid)), first_(first), envelope_(std::move(envelope)),
      lockFd_(lockFd) {}

Sending::Sending(Sending&& other) noexcept
    : id_(std::move(other.id_)), uuid_(std::move(other.uuid_)), first_(other.first_),
      envelope_(std::move(other.envelope_)), lockFd_(other.lockFd_) {
    other.lockFd_ = -1;
}

Sending::~Sending() {
    if (lockFd_ >= 0)
        ::close(lockFd_); // releases the lock
}

Outbox::Outbox(const QString& folder) : folder_(QDir::cleanPath(folder)) {}

OutboxEntry Outbox::add(const QByteArray& data, const QString& reference, qint64 amountHalere,
                        bool playground, const QDateTime& now, const QString& file) {
    const QString pending = folder_ + QLatin1Char('/') + QLatin1String(kPendingFolder);
    const QString keys = folder_ + QLatin1Char('/') + QLatin1String(kKeysFolder);
    if (!QDir().mkpath(pending) ||
        !QDir().mkpath(folder_ + QLatin1Char('/') + QLatin1String(kSentFolder)) ||
        !QDir().mkpath(keys))
        throw FileError(QStringLiteral("Složku pro tržby EET „%1“ nelze vytvořit.")
                            .arg(QDir::toNativeSeparators(folder_)));
    // One instance at a time looks for the payment and writes it, so that two instances (or one
    // restarted after a kill) never both add it.
    const FileLock lock(folder_ + QLatin1Char('/') + QLatin1String(kAddLock));
    const QString keyPath = keys + QLatin1Char('/') + KeyName(data);
    bool known = false;
    const QByteArray knownId = ReadSmall(keyPath, &known).trimmed();
    OutboxEntry e;
    if (known && !knownId.isEmpty()) {
        if (std::optional<OutboxEntry> existing = find(QString::fromLatin1(knownId)))
            return *existing;                // registered before: the first registration stands
        e.id = QString::fromLatin1(knownId); // the key was written, the entry not: write it now
    } else {
        e.id = QStringLiteral("%1-%2")
                   .arg(NextStamp(now.toMSecsSinceEpoch()), 14, 10, QLatin1Char('0'))
                   .arg(RandomSuffix());
        // The key first: a kill before the entry is written leaves a key whose entry the next
        // registration of the payment writes under the same name.
        WriteDurably(keyPath, e.id.toLatin1() + '\n');
    }
    e.data = data;
    e.reference = reference;
    e.file = file;
    e.amountHalere = amountHalere;
    e.playground = playground;
    e.registered = now.toUTC();
    WriteDurably(pending + QLatin1Char('/') + e.id + QLatin1String(kExtension), Serialize(e));
    return e;
}

QList<OutboxEntry> Outbox::pending() const {
    const QString pendingFolder = folder_ + QLatin1Char('/') + QLatin1String(kPendingFolder);
    const QString sentFolder = folder_ + QLatin1Char('/') + QLatin1String(kSentFolder);
    QList<OutboxEntry> out;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList files =
        QDir(pendingFolder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& info : files) {
        const QString name = info.fileName();
        if (name.contains(QLatin1String(".tmp-"))) {
            // a write interrupted by a kill; a fresh one may be another instance's, under way
            if (info.lastModified().secsTo(now) > kStaleTemporarySeconds)
                QFile::remove(info.filePath());
            continue;
        }
        if (!name.endsWith(QLatin1String(kExtension)))
            continue;
        const QString id = name.chopped(int(qstrlen(kExtension)));
        if (Exists(sentFolder + QLatin1Char('/') + name))
            continue; // confirmed; the waiting copy is removed by the next sending's check
        bool ok = false;
        const QByteArray bytes = ReadSmall(info.filePath(), &ok);
        if (!ok && !Exists(info.filePath()))
            continue; // confirmed since the folder was listed: moved to the confirmed ones
        std::optional<OutboxEntry> e = ok ? Parse(bytes, id) : std::nullopt;
        out << (e ? *e : Damaged(id));
    }
    return out;
}

QList<OutboxEntry> Outbox::confirmed() const {
    const QString sentFolder = folder_ + QLatin1Char('/') + QLatin1String(kSentFolder);
    QList<OutboxEntry> out;
    const QStringList names =
        QDir(sentFolder)
            .entryList({QStringLiteral("*") + QLatin1String(kExtension)}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        bool ok = false;
        const QByteArray bytes = ReadSmall(sentFolder + QLatin1Char('/') + name, &ok);
        const QString id = name.chopped(int(qstrlen(kExtension)));
        std::optional<OutboxEntry> e = ok ? Parse(bytes, id) : std::nullopt;
        out << (e ? *e : Damaged(id));
    }
    return out;
}

std::optional<OutboxEntry> Outbox::find(const QString& id) const {
    // The confirmed copy is written before the waiting one is removed: looking at the confirmed
    // ones again after the waiting ones never misses an entry confirmed meanwhile.
    for (const char* sub : {kSentFolder, kPendingFolder, kSentFolder}) {
        bool ok = false;
        const QByteArray bytes = ReadSmall(folder_ + QLatin1Char('/') + QLatin1String(sub) +
                                               QLatin1Char('/') + id + QLatin1String(kExtension),
                                           &ok);
        if (ok)
            return Parse(bytes, id);
    }
    return std::nullopt;
}

std::optional<Sending> Outbox::beginSending(const QString& id, const TaxpayerCertificate& cert,
                                            const QDateTime& now) {
    const QString base =
        folder_ + QLatin1Char('/') + QLatin1String(kPendingFolder) + QLatin1Char('/') + id;
    const int lockFd = ::open(Native(base + QStringLiteral(".lock")).constData(),
                              O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0)
        return std::nullopt;
    if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd);
        return std::nullopt; // another instance sends it right now
    }
    Sending sending(id, NewMessageUuid(), false, QByteArray(), lockFd);
    const QString sentPath = folder_ + QLatin1Char('/') + QLatin1String(kSentFolder) +
                             QLatin1Char('/') + id + QLatin1String(kExtension);
    const QString entryPath = base + QLatin1String(kExtension);
    if (Exists(sentPath)) {
        // confirmed meanwhile (perhaps by a sending interrupted after its record was written)
        ::unlink(Native(entryPath).constData());
        ::unlink(Native(base + QStringLiteral(".first")).constData());
        ::unlink(Native(base + QStringLiteral(".lock")).constData());
        return std::nullopt;
    }
    bool ok = false;
    const QByteArray bytes = ReadSmall(entryPath, &ok);
    std::optional<OutboxEntry> entry = ok ? Parse(bytes, id) : std::nullopt;
    if (!entry || entry->state == OutboxEntry::State::Confirmed)
        return std::nullopt;
    // The first sending is the one that creates this marker; made before the message leaves,
    // so that a sending cut off by a kill is repeated as a repeated one.
    const int marker = ::open(Native(base + QStringLiteral(".first")).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (marker >= 0) {
        ::fsync(marker);
        ::close(marker);
        SyncFolder(QFileInfo(entryPath).absolutePath());
        sending.first_ = true;
    }
    Header header;
    header.uuid = sending.uuid_;
    header.sent = now;
    header.firstSending = sending.first_;
    try {
        sending.envelope_ = cert.signedEnvelope(TrzbaElement(header, entry->data), now);
    } catch (const TarvelaError& e) {
        entry->lastError = e.message();
        entry->lastAttempt = now.toUTC();
        WriteDurably(entryPath, Serialize(*entry));
        throw;
    }
    return sending;
}

OutboxEntry Outbox::finishSending(Sending& sending, const Answer& answer, const QDateTime& now) {
    const QString base = folder_ + QLatin1Char('/') + QLatin1String(kPendingFolder) +
                         QLatin1Char('/') + sending.id();
    const QString entryPath = base + QLatin1String(kExtension);
    bool ok = false;
    const QByteArray bytes = ReadSmall(entryPath, &ok);
    std::optional<OutboxEntry> read = ok ? Parse(bytes, sending.id()) : std::nullopt;
    if (!read)
        throw FileError(QStringLiteral("Záznam tržby „%1“ ve složce EET zmizel nebo je "
                                       "poškozený.")
                            .arg(sending.id()));
    OutboxEntry e = *read;
    e.attempts += 1;
    e.lastAttempt = now.toUTC();
    e.lastUuid = sending.uuid();
    if (answer.outcome == Outcome::Confirmed) {
        e.state = OutboxEntry::State::Confirmed;
        e.pok = answer.pok;
        e.testPok = answer.test;
        e.lastError.clear();
        e.warnings.clear();
        for (const auto& [code, text] : answer.warnings)
            e.warnings << WarningMessage(code);
        WriteDurably(folder_ + QLatin1Char('/') + QLatin1String(kSentFolder) + QLatin1Char('/') +
                         e.id + QLatin1String(kExtension),
                     Serialize(e));
        ::unlink(Native(entryPath).constData());
        ::unlink(Native(base + QStringLiteral(".first")).constData());
        ::unlink(Native(base + QStringLiteral(".lock")).constData());
        SyncFolder(QFileInfo(entryPath).absolutePath());
        return e;
    }
    e.state = answer.outcome == Outcome::Final ? OutboxEntry::State::Refused
                                               : OutboxEntry::State::Waiting;
    e.lastError = answer.message;
    WriteDurably(entryPath, Serialize(e));
    return e;
}

void Outbox::retry(const QString& id) {
    const QString path = folder_ + QLatin1Char('/') + QLatin1String(kPendingFolder) +
                         QLatin1Char('/') + id + QLatin1String(kExtension);
    bool ok = false;
    const QByteArray bytes = ReadSmall(path, &ok);
    std::optional<OutboxEntry> e = ok ? Parse(bytes, id) : std::nullopt;
    if (!e || e->state != OutboxEntry::State::Refused)
        return;
    e->state = OutboxEntry::State::Waiting;
    WriteDurably(path, Serialize(*e));
}

} // namespace tarvela::eet
