#include "invoice/invoice_eet.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "text/codec.h"
#include "text/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

using namespace tarvela;

namespace {

constexpr char kPok[] = "2feb2e70-a642-4188-a6e6-986a62bc9598-01";

InvoiceRecord Sample() {
    InvoiceRecord r;
    r.Cislo = QStringLiteral("2027001");
    r.FormaUhrady = QStringLiteral("H");
    r.DatumVystaveni = r.DatumPlneni = r.DatumSplatnosti = QDate(2027, 1, 8);
    r.Mena = QStringLiteral("CZK");
    r.Polozky[0].Dodavka = QStringLiteral("Zboží");
    return r;
}

} // namespace

// What each state of the registrations reads back as, is shown and printed as.
TEST(InvoiceEet, RegistrationsReadBackAndShowTheirLastState) {
    const EetPayment waiting{QStringLiteral("1-a"), 78700, QString(), false};
    const EetPayment real{QStringLiteral("2-b"), -500, QString::fromLatin1(kPok), false};
    const EetPayment playground{QStringLiteral("3-c"), 100, QStringLiteral("x-ff"), true};
    const struct {
        QList<EetPayment> payments;
        QString shown;
        QString printed;
        QString next;
    } cases[] = {
        {{}, QString(), QString(), QStringLiteral("2027001/1")},
        {{waiting}, QStringLiteral("čeká na odeslání"), QString(), QStringLiteral("2027001/2")},
        {{waiting, real},
         QStringLiteral("POK ") + kPok,
         QStringLiteral("POK: ") + kPok,
         QStringLiteral("2027001/3")},
        {{playground},
         QStringLiteral("ověřovací režim"),
         QStringLiteral("ověřovací režim"),
         QStringLiteral("2027001/2")},
    };
    for (const auto& c : cases) {
        const QString value = EetPaymentsValue(c.payments);
        EXPECT_EQ(ReadEetPayments(value), c.payments) << value.toStdString();
        EXPECT_EQ(EetStatusText(value), c.shown);
        EXPECT_EQ(EetReceiptText(value), c.printed);
        EXPECT_EQ(NextEetPoradCis(QStringLiteral("2027001"), value), c.next);
        EXPECT_FALSE(value.contains(QLatin1Char('\n')));
    }
    EXPECT_EQ(ReadEetPayments(QStringLiteral("nesmysl|;1;x|a;b;c")), QList<EetPayment>());
}

// The line is the record's optional line: written only with registrations, every other byte of
// the file kept when it is set or replaced, and a confirmation written meanwhile joins a save of
// the window that opened the file before.
TEST(InvoiceEet, TheLineKeepsTheRestOfTheFileAndJoinsASave) {
    const InvoiceRecord without = Sample();
    const QByteArray plain = InvoiceFileBytes(without);
    EXPECT_EQ(plain.count("\r\n"), 49);
    InvoiceRecord with = without;
    with.Eet = QStringLiteral("1-a;78700;čeká na odeslání");
    EXPECT_EQ(WithEetValue(plain, with.Eet), InvoiceFileBytes(with));
    EXPECT_EQ(EetValueOf(InvoiceFileBytes(with)), with.Eet);
    const QByteArray confirmed =
        WithEetValue(InvoiceFileBytes(with), QStringLiteral("1-a;78700;P"));
    EXPECT_EQ(confirmed, plain + "Eet=1-a;78700;P\r\n");

    QTemporaryDir dir;
    const InvoiceStore store(dir.path());
    ASSERT_TRUE(store.EnsurePeriodFolder(2027));
    store.CreateInvoice(2027, with);
    const QString path = store.InvoiceFilePath(2027, with.Cislo);
    const QByteArray opened = InvoiceFileBytes(with);
    EXPECT_TRUE(ConfirmEetPayment(path, QStringLiteral("1-a"), QString::fromLatin1(kPok), false));
    EXPECT_FALSE(ConfirmEetPayment(path, QStringLiteral("9-z"), QString::fromLatin1(kPok), false));
    InvoiceRecord edited = with;
    edited.Komentar1 = QStringLiteral("Děkujeme");
    edited.OdberatelEmail = QStringLiteral("jana@alfa.cz"); // a line before "Eet="
    const SavedInvoice saved = store.SaveOpenedInvoice(2027, edited, path, opened);
    EXPECT_EQ(saved.record.Eet, QStringLiteral("1-a;78700;") + kPok);
    EXPECT_EQ(saved.record.Komentar1, edited.Komentar1);
    EXPECT_EQ(saved.record.OdberatelEmail, edited.OdberatelEmail);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), saved.bytes);
}

namespace tarvela {
namespace {

TEST(InvoiceEet, AmountsAreToldInCrownsAtTheInvoicesRate) {
    constexpr qint64 kRefused = std::numeric_limits<qint64>::min();
    const struct {
        const char* currency;
        const char* defaultCurrency;
        const char* rate;
        qint64 amount;
        qint64 crowns;
    } cases[] = {
        {"CZK", "CZK", "", 78700, 78700},        {"Kč", "EUR", "", 78700, 78700},
        {"czk", "CZK", "24,3", -5000, -5000},    {"", "Kč", "", 100, 100},
        {"EUR", "CZK", "24,335", 10000, 243350}, {"eur", "CZK", "24,335", 1, 24},
        {"EUR", "CZK", "24,335", 3, 73},         {"", "EUR", "25", -2000, -50000},
        {"EUR", "CZK", "", 10000, kRefused},     {"USD", "CZK", "abc", 10000, kRefused},
    };
    for (const auto& c : cases) {
        const auto call = [&] {
            return EetAmountInCrowns(c.amount, QString::fromUtf8(c.currency),
                                     QString::fromUtf8(c.defaultCurrency),
                                     QString::fromUtf8(c.rate), QStringLiteral("2026007"));
        };
        if (c.crowns != kRefused) {
            EXPECT_EQ(call(), c.crowns) << c.currency << " " << c.rate << " " << c.amount;
            continue;
        }
        try {
            call();
            ADD_FAILURE() << c.currency << " " << c.rate << " was not refused";
        } catch (const ValidationError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("2026007")) &&
                        e.message().contains(QStringLiteral("Kurz")))
                << e.message().toStdString();
        }
    }
}

} // namespace
} // namespace tarvela
