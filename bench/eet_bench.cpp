// EET: building and signing one message (the work done for every payment received), and the
// outbox's start-up scan with 100 waiting registrations beside 0 or 10 000 confirmed ones (the
// confirmed ones must not slow the start).
#include "eet/eet_certificate.h"
#include "eet/eet_message.h"
#include "eet/eet_outbox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>

using namespace tarvela::eet;

namespace {

// A taxpayer certificate made in memory (RSA 2048, CN=CZ00000019, one year), as a .p12.
const TaxpayerCertificate& Certificate() {
    static const TaxpayerCertificate cert = [] {
        EVP_PKEY* key = EVP_RSA_gen(2048);
        X509* x = X509_new();
        X509_set_version(x, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(x), 1);
        X509_gmtime_adj(X509_getm_notBefore(x), -3600);
        X509_gmtime_adj(X509_getm_notAfter(x), 365L * 24 * 3600);
        X509_NAME* name = X509_get_subject_name(x);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("CZ00000019"), -1, -1, 0);
        X509_set_issuer_name(x, name);
        X509_set_pubkey(x, key);
        X509_sign(x, key, EVP_sha256());
        PKCS12* p12 = PKCS12_create("eet", "bench", key, x, nullptr, 0, 0, 0, 0, 0);
        unsigned char* der = nullptr;
        const int length = i2d_PKCS12(p12, &der);
        const QByteArray bytes(reinterpret_cast<const char*>(der), length);
        OPENSSL_free(der);
        PKCS12_free(p12);
        X509_free(x);
        EVP_PKEY_free(key);
        return TaxpayerCertificate::Load(bytes, QStringLiteral("eet"));
    }();
    return cert;
}

Sale SampleSale(int n) {
    Sale sale;
    sale.eicPopl = QStringLiteral("CZ00000019");
    sale.idJednotky = QStringLiteral("181");
    sale.idPokl = QStringLiteral("1");
    sale.poradCis = QStringLiteral("2027%1").arg(n, 4, 10, QLatin1Char('0'));
    sale.received = QDateTime::currentDateTime();
    sale.totalHalere = 8798800 + n;
    return sale;
}

void BM_BuildAndSignOneMessage(benchmark::State& state) {
    const TaxpayerCertificate& cert = Certificate();
    int n = 0;
    for (auto _ : state) {
        Header header;
        header.uuid = NewMessageUuid();
        header.sent = QDateTime::currentDateTimeUtc();
        const QByteArray envelope =
            cert.signedEnvelope(TrzbaElement(header, DataAttributes(SampleSale(++n))), header.sent);
        benchmark::DoNotOptimize(envelope.data());
    }
}
BENCHMARK(BM_BuildAndSignOneMessage)->Unit(benchmark::kMillisecond);

// An outbox with `confirmed` confirmed entries (100 made through the outbox, the rest copies of
// them under new names) and 100 waiting ones.
struct Folder {
    QTemporaryDir dir;
    explicit Folder(int confirmed) {
        Outbox box(dir.path());
        const QDateTime t0 = QDateTime::currentDateTimeUtc();
        QList<QString> made;
        for (int i = 0; i < std::min(confirmed, 100); ++i) {
            const OutboxEntry e =
                box.add(DataAttributes(SampleSale(i)), QStringLiteral("D%1").arg(i), i, false, t0);
            std::optional<Sending> s = box.beginSending(e.id, Certificate(), t0);
            Answer a;
            a.outcome = Outcome::Confirmed;
            a.pok = s->uuid() + QStringLiteral("-01");
            box.finishSending(*s, a, t0);
            made << e.id;
        }
        const QString sent = dir.filePath(QStringLiteral("odeslane/"));
        for (int i = int(made.size()); i < confirmed; ++i) {
            const QString& from = made[i % made.size()];
            QFile in(sent + from + QStringLiteral(".eet"));
            in.open(QIODevice::ReadOnly);
            const QString id = QStringLiteral("%1-copy%2").arg(from).arg(i);
            QByteArray bytes = in.readAll();
            bytes.replace("id=" + from.toLatin1(), "id=" + id.toLatin1());
            QFile out(sent + id + QStringLiteral(".eet"));
            out.open(QIODevice::WriteOnly);
            out.write(bytes);
        }
        for (int i = 0; i < 100; ++i)
            box.add(DataAttributes(SampleSale(5000 + i)), QStringLiteral("W%1").arg(i), i, false,
                    t0);
    }
};

void BM_OutboxStartupScan(benchmark::State& state) {
    Folder folder(int(state.range(0)));
    Outbox box(folder.dir.path());
    for (auto _ : state) {
        const QList<OutboxEntry> pending = box.pending();
        if (pending.size() != 100)
            state.SkipWithError("the outbox lost waiting entries");
        benchmark::DoNotOptimize(pending.data());
    }
}
BENCHMARK(BM_OutboxStartupScan)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);

// What a save or a payment in the book waits for: one payment written durably to the outbox
// (its key and its entry, each synced) under the outbox's lock, beside 1 000 earlier ones.
void BM_RegisterOnePayment(benchmark::State& state) {
    QTemporaryDir dir;
    Outbox box(dir.path());
    const QDateTime t0 = QDateTime::currentDateTimeUtc();
    int next = 0;
    for (; next < 1000; ++next)
        box.add(DataAttributes(SampleSale(next)), QStringLiteral("D"), next, false, t0);
    for (auto _ : state) {
        const OutboxEntry e =
            box.add(DataAttributes(SampleSale(next)), QStringLiteral("D"), next, false, t0);
        ++next;
        benchmark::DoNotOptimize(e.id.data());
    }
}
BENCHMARK(BM_RegisterOnePayment)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
