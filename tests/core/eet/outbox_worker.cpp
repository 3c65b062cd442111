// A program instance for the outbox tests, killed at random moments: it registers its payments
// "<name>-1" to "<name>-<count>" in the outbox folder, and after each one sends every waiting
// entry (its own and any other instance's) to a pretended service that appends each message it
// receives to a log file and confirms it. Exits 0 once all its payments are registered and
// nothing waits.
//   eet_outbox_worker <outbox folder> <service log> <name> <count> <taxpayer .p12>

#include "eet/eet_message.h"
#include "eet/eet_outbox.h"

#include <QFile>
#include <QThread>
#include <QTimeZone>

#include <fcntl.h>
#include <unistd.h>

using namespace tarvela::eet;

namespace {

void LogReceived(const QByteArray& logPath, const Sending& sending) {
    const QByteArray& envelope = sending.envelope();
    const int start = envelope.indexOf("<v4:Data ") + 9;
    const int end = envelope.indexOf("/>", start);
    const int hStart = envelope.indexOf("prvni_zaslani=\"") + 15;
    const QByteArray first = envelope.mid(hStart, envelope.indexOf('"', hStart) - hStart);
    const QByteArray line =
        first + '|' + sending.uuid().toLatin1() + '|' + envelope.mid(start, end - start) + '\n';
    const int fd = ::open(logPath.constData(), O_WRONLY | O_APPEND | O_CREAT, 0600);
    if (fd < 0 || ::write(fd, line.constData(), size_t(line.size())) != line.size())
        ::_exit(3);
    ::close(fd);
}

int Drain(Outbox& box, const TaxpayerCertificate& cert, const QByteArray& logPath) {
    int left = 0;
    for (const OutboxEntry& e : box.pending()) {
        std::optional<Sending> sending =
            box.beginSending(e.id, cert, QDateTime::currentDateTimeUtc());
        if (!sending) {
            ++left; // another instance sends it now
            continue;
        }
        LogReceived(logPath, *sending);
        Answer answer;
        answer.outcome = Outcome::Confirmed;
        answer.uuid = sending->uuid();
        answer.pok = sending->uuid() + QStringLiteral("-ff");
        box.finishSending(*sending, answer, QDateTime::currentDateTimeUtc());
    }
    return left;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6)
        return 2;
    Outbox box(QString::fromLocal8Bit(argv[1]));
    const QByteArray logPath = argv[2];
    const QString name = QString::fromLatin1(argv[3]);
    const int count = atoi(argv[4]);
    QFile p12(QString::fromLocal8Bit(argv[5]));
    if (!p12.open(QIODevice::ReadOnly))
        return 2;
    const TaxpayerCertificate cert =
        TaxpayerCertificate::Load(p12.readAll(), QStringLiteral("eet"));

    // A restarted instance registers all its payments again: the outbox adds each only once.
    for (int k = 1; k <= count; ++k) {
        const QString reference = name + QLatin1Char('-') + QString::number(k);
        Sale sale;
        sale.eicPopl = QStringLiteral("CZ00000019");
        sale.idJednotky = QStringLiteral("181");
        sale.idPokl = QStringLiteral("1");
        sale.poradCis = reference;
        sale.received = QDateTime::currentDateTime();
        sale.totalHalere = 100 * k + 1;
        box.add(DataAttributes(sale), reference, sale.totalHalere, true,
                QDateTime::currentDateTimeUtc());
        Drain(box, cert, logPath);
    }
    while (Drain(box, cert, logPath) > 0)
        QThread::msleep(5);
    return 0;
}
