#include "eet/eet_message.h"
#include "eet/eet_outbox.h"
#include "support/eet_test_pki.h"
#include "text/errors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <iostream>

using namespace tarvela;
using namespace tarvela::eet;

namespace {

const TaxpayerCertificate& Cert() {
    static const TaxpayerCertificate cert = TaxpayerCertificate::Load(
        test::EetPkiFile(QStringLiteral("taxpayer.p12")), QStringLiteral("eet"));
    return cert;
}

QByteArray DataOf(const QString& porad, qint64 halere, const QDateTime& received) {
    Sale sale;
    sale.eicPopl = QStringLiteral("CZ00000019");
    sale.idJednotky = QStringLiteral("181");
    sale.idPokl = QStringLiteral("1");
    sale.poradCis = porad;
    sale.received = received;
    sale.totalHalere = halere;
    return DataAttributes(sale);
}

QByteArray Between(const QByteArray& text, const QByteArray& from, const QByteArray& to) {
    const int start = text.indexOf(from) + from.size();
    return text.mid(start, text.indexOf(to, start) - start);
}

Answer Confirmation(const Sending& s) {
    Answer a;
    a.outcome = Outcome::Confirmed;
    a.uuid = s.uuid();
    a.pok = s.uuid() + QStringLiteral("-ff");
    a.test = true;
    return a;
}

Answer Offline() {
    Answer a;
    a.outcome = Outcome::Temporary;
    a.message = QStringLiteral("Služba EET neodpověděla. Tržba zůstává k odeslání.");
    return a;
}

struct Received {
    bool first;
    QString uuid;
    QByteArray data;
};

// Checks what the service received against what was registered: every payment arrived, its Data
// were the same bytes each time, at most one sending was a first one and a payment without one
// was resent, and no uuid_zpravy was used twice.
void ExpectEachPaymentOnce(const QList<Received>& received, const QSet<QByteArray>& registered) {
    QMap<QByteArray, int> firsts;
    QMap<QByteArray, int> sendings;
    QSet<QString> uuids;
    for (const Received& r : received) {
        const QByteArray porad = Between(r.data, "porad_cis=\"", "\"");
        EXPECT_TRUE(registered.contains(r.data)) << r.data.toStdString();
        EXPECT_FALSE(uuids.contains(r.uuid)) << r.uuid.toStdString();
        uuids.insert(r.uuid);
        firsts[porad] += r.first ? 1 : 0;
        sendings[porad] += 1;
    }
    for (const QByteArray& data : registered) {
        const QByteArray porad = Between(data, "porad_cis=\"", "\"");
        EXPECT_GE(sendings.value(porad), 1) << "never sent: " << porad.toStdString();
        EXPECT_LE(firsts.value(porad), 1) << "first-sent twice: " << porad.toStdString();
    }
}

} // namespace

TEST(EetOutbox, ResendsCarryTheSameDataANewUuidAndAreNotFirst) {
    QTemporaryDir dir;
    Outbox box(dir.path());
    const QDateTime t0 = QDateTime::currentDateTimeUtc();
    const QByteArray data = DataOf(QStringLiteral("2027001/1"), 87988, t0);
    const OutboxEntry e = box.add(data, QStringLiteral("Faktura 2027001"), 87988, true, t0);
    QList<QByteArray> envelopes;
    QList<bool> firsts;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::optional<Sending> s = box.beginSending(e.id, Cert(), t0.addSecs(60 * attempt));
        ASSERT_TRUE(s);
        envelopes << s->envelope();
        firsts << s->firstSending();
        if (attempt < 2)
            box.finishSending(*s, Offline(), t0.addSecs(60 * attempt));
        else
            box.finishSending(*s, Confirmation(*s), t0.addSecs(60 * attempt));
    }
    EXPECT_EQ(firsts, (QList<bool>{true, false, false}));
    QSet<QByteArray> uuids;
    for (const QByteArray& envelope : envelopes) {
        EXPECT_EQ(Between(envelope, "<v4:Data ", "/>"), data);
        uuids.insert(Between(envelope, "uuid_zpravy=\"", "\""));
        EXPECT_EQ(Between(envelope, "prvni_zaslani=\"", "\""),
                  &envelope == &envelopes.first() ? "true" : "false");
    }
    EXPECT_EQ(uuids.size(), 3);
    EXPECT_TRUE(box.pending().isEmpty());
    const QList<OutboxEntry> done = box.confirmed();
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done[0].state, OutboxEntry::State::Confirmed);
    EXPECT_EQ(done[0].attempts, 3);
    EXPECT_EQ(done[0].data, data);
    EXPECT_TRUE(done[0].testPok);
    EXPECT_FALSE(box.beginSending(e.id, Cert(), t0));
}

TEST(EetOutbox, FinalErrorsWaitForTheUserTemporaryOnesRetryThemselves) {
    QTemporaryDir dir;
    Outbox box(dir.path());
    const QDateTime t0 = QDateTime::currentDateTimeUtc();
    const OutboxEntry e =
        box.add(DataOf(QStringLiteral("1"), 100, t0), QStringLiteral("Doklad 1"), 100, false, t0);
    std::optional<Sending> s = box.beginSending(e.id, Cert(), t0);
    ASSERT_TRUE(s);
    Answer refused;
    refused.outcome = Outcome::Final;
    refused.code = 4;
    refused.message = ErrorCodeMessage(4);
    const OutboxEntry after = box.finishSending(*s, refused, t0);
    EXPECT_EQ(after.state, OutboxEntry::State::Refused);
    EXPECT_EQ(box.pending().value(0).lastError, ErrorCodeMessage(4));
    box.retry(e.id);
    EXPECT_EQ(box.pending().value(0).state, OutboxEntry::State::Waiting);
}

TEST(EetOutbox, TwoInstancesNeverSendOneEntryAtOnceNorBothFirst) {
    QTemporaryDir dir;
    Outbox one(dir.path());
    Outbox two(dir.path());
    const QDateTime t0 = QDateTime::currentDateTimeUtc();
    const OutboxEntry e =
        one.add(DataOf(QStringLiteral("7"), 700, t0), QStringLiteral("Doklad 7"), 700, false, t0);
    std::optional<Sending> first = one.beginSending(e.id, Cert(), t0);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->firstSending());
    EXPECT_FALSE(two.beginSending(e.id, Cert(), t0)); // locked by the first instance
    one.finishSending(*first, Offline(), t0);
    first.reset();
    std::optional<Sending> second = two.beginSending(e.id, Cert(), t0);
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->firstSending());
}

TEST(EetOutbox, APaymentRegisteredAgainKeepsItsFirstEntryWhateverItsState) {
    QTemporaryDir dir;
    Outbox one(dir.path());
    Outbox two(dir.path());
    const QDateTime t0 = QDateTime::currentDateTimeUtc();
    const QByteArray first = DataOf(QStringLiteral("2027001/1"), 500, t0);
    const OutboxEntry e = one.add(first, QStringLiteral("Faktura 2027001"), 500, false, t0);
    // the same receipt number on the same till, a moment later (a restarted instance)
    const QByteArray again = DataOf(QStringLiteral("2027001/1"), 500, t0.addSecs(30));
    EXPECT_EQ(two.add(again, QStringLiteral("Faktura 2027001"), 500, false, t0).id, e.id);
    std::optional<Sending> s = one.beginSending(e.id, Cert(), t0);
    ASSERT_TRUE(s);
    one.finishSending(*s, Confirmation(*s), t0);
    const OutboxEntry afterConfirmation = two.add(again, QStringLiteral("x"), 500, false, t0);
    EXPECT_EQ(afterConfirmation.id, e.id);
    EXPECT_EQ(afterConfirmation.state, OutboxEntry::State::Confirmed);
    EXPECT_EQ(afterConfirmation.data, first);
    const OutboxEntry next = two.add(DataOf(QStringLiteral("2027001/2"), -500, t0),
                                     QStringLiteral("Faktura 2027001"), -500, false, t0);
    EXPECT_NE(next.id, e.id);
    EXPECT_EQ(one.pending().size() + one.confirmed().size(), 2);
}

TEST(EetOutbox, ADamagedEntryIsListedNotSkipped) {
    QTemporaryDir dir;
    Outbox box(dir.path());
    const QDateTime t0 = QDateTime::currentDateTimeUtc();
    const OutboxEntry e =
        box.add(DataOf(QStringLiteral("8"), 800, t0), QStringLiteral("Doklad 8"), 800, false, t0);
    QFile file(dir.filePath(QStringLiteral("cekajici/") + e.id + QStringLiteral(".eet")));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = file.readAll();
    file.resize(bytes.size() / 2);
    file.close();
    const QList<OutboxEntry> pending = box.pending();
    ASSERT_EQ(pending.size(), 1);
    EXPECT_EQ(pending[0].state, OutboxEntry::State::Refused);
    EXPECT_TRUE(pending[0].lastError.contains(QStringLiteral("poškozený")));
}

TEST(EetOutbox, FortyEightHoursOfflineThenEverythingConfirmedInOrderOnce) {
    QTemporaryDir dir;
    Outbox box(dir.path());
    const QDateTime t0 = QDateTime::currentDateTimeUtc();
    QList<Received> received;
    QSet<QByteArray> registered;
    QList<QByteArray> order;
    // one payment every hour for 48 hours; every sending fails
    for (int i = 0; i < 48; ++i) {
        const QDateTime now = t0.addSecs(3600 * i);
        const QByteArray data = DataOf(QStringLiteral("P%1").arg(i), 100 + i, now);
        registered.insert(data);
        order << data;
        box.add(data, QStringLiteral("Doklad %1").arg(i), 100 + i, false, now);
        // the sender tries the new one, and then the oldest waiting one, and stops at the first
        // failure: the service is unreachable
        const QList<OutboxEntry> pending = box.pending();
        for (const OutboxEntry& e : {pending.last(), pending.first()}) {
            std::optional<Sending> s = box.beginSending(e.id, Cert(), now);
            ASSERT_TRUE(s);
            received << Received{s->firstSending(), s->uuid(),
                                 Between(s->envelope(), "<v4:Data ", "/>")};
            box.finishSending(*s, Offline(), now);
        }
    }
    const QDateTime back = t0.addSecs(48 * 3600);
    const QList<OutboxEntry> waiting = box.pending();
    ASSERT_EQ(waiting.size(), 48);
    int late = 0;
    for (const OutboxEntry& e : waiting)
        late += e.isLate(back) ? 1 : 0;
    EXPECT_EQ(late, 8); // registered more than 40 hours before: the first 8 hours
    const int sentOffline = int(received.size());
    for (const OutboxEntry& e : waiting) {
        std::optional<Sending> s = box.beginSending(e.id, Cert(), back);
        ASSERT_TRUE(s);
        received << Received{s->firstSending(), s->uuid(),
                             Between(s->envelope(), "<v4:Data ", "/>")};
        box.finishSending(*s, Confirmation(*s), back);
    }
    ExpectEachPaymentOnce(received, registered);
    QList<QByteArray> confirmedOrder;
    for (int i = sentOffline; i < received.size(); ++i) {
        EXPECT_FALSE(received[i].first);
        confirmedOrder << received[i].data;
    }
    EXPECT_EQ(confirmedOrder, order);
    EXPECT_TRUE(box.pending().isEmpty());
    EXPECT_EQ(box.confirmed().size(), 48);
}

// Two instances on one folder, killed (SIGKILL) at random moments while they register and send,
// then left to finish: every payment is registered once and sent, none is first-sent twice, the
// Data of every sending of a payment are the same.
TEST(EetOutbox, SurvivesKillsAtAnyMomentAndTwoInstances) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("EET"));
    const QString log = dir.filePath(QStringLiteral("service.log"));
    const QString worker = QStringLiteral(TARVELA_EET_OUTBOX_WORKER);
    const QString p12 = test::EetPki() + QStringLiteral("/taxpayer.p12");
    constexpr int kPayments = 150;
    const auto start = [&](QProcess& p, const QString& name) {
        p.start(worker, {folder, log, name, QString::number(kPayments), p12});
        return p.waitForStarted();
    };
    // Each instance registers the payments "<name>-1" … "<name>-150". One that has finished them
    // before the kills are done goes on with new ones under a new name, so that a fast machine
    // sees as many kills as a slow one.
    struct Instance {
        QProcess process;
        QString name;
    };
    Instance instances[2];
    QStringList names{QStringLiteral("A1"), QStringLiteral("B1")};
    instances[0].name = names[0];
    instances[1].name = names[1];
    QRandomGenerator random(2029);
    int kills = 0;
    QElapsedTimer budget;
    budget.start();
    for (Instance& i : instances)
        ASSERT_TRUE(start(i.process, i.name));
    while (kills < 200 && budget.elapsed() < 90000) {
        for (Instance& i : instances) {
            if (i.process.state() != QProcess::NotRunning)
                continue;
            if (i.process.exitStatus() == QProcess::NormalExit) {
                ASSERT_EQ(i.process.exitCode(), 0)
                    << i.process.readAllStandardError().toStdString();
                i.name = i.name.left(1) + QString::number(i.name.mid(1).toInt() + 1);
                names << i.name;
            }
            ASSERT_TRUE(start(i.process, i.name)); // a killed one again, a finished one anew
        }
        QThread::msleep(5 + random.bounded(40)); // the random moment of the kill
        QProcess& victim = instances[random.bounded(2)].process;
        if (victim.state() == QProcess::Running) {
            victim.kill(); // SIGKILL
            victim.waitForFinished();
            ++kills;
        }
    }
    EXPECT_GE(kills, 100);
    for (Instance& i : instances) {
        i.process.waitForFinished();
        if (i.process.exitStatus() == QProcess::CrashExit) {
            ASSERT_TRUE(start(i.process, i.name));
        }
    }
    for (Instance& i : instances) {
        if (i.process.state() != QProcess::NotRunning) {
            ASSERT_TRUE(i.process.waitForFinished(120000));
        }
        EXPECT_EQ(i.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(i.process.exitCode(), 0) << i.process.readAllStandardError().toStdString();
    }

    Outbox box(folder);
    EXPECT_TRUE(box.pending().isEmpty());
    const QList<OutboxEntry> done = box.confirmed();
    QMap<QString, int> perReference;
    QSet<QByteArray> registered;
    for (const OutboxEntry& e : done) {
        perReference[e.reference] += 1;
        registered.insert(e.data);
    }
    EXPECT_EQ(done.size(), names.size() * kPayments);
    for (int k = 1; k <= kPayments; ++k) {
        for (const QString& name : names) {
            const QString reference = QStringLiteral("%1-%2").arg(name).arg(k);
            EXPECT_EQ(perReference.value(reference), 1) << reference.toStdString();
        }
    }
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QList<Received> received;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> parts = line.split('|');
        ASSERT_EQ(parts.size(), 3) << line.toStdString();
        received << Received{parts[0] == "true", QString::fromLatin1(parts[1]), parts[2]};
    }
    ExpectEachPaymentOnce(received, registered);
    std::cout << "kills: " << kills << ", instances: " << names.size()
              << ", sendings: " << received.size() << "\n";
}
