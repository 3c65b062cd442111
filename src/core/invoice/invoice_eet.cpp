#include "invoice/invoice_eet.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "money/decimal.h"
#include "printing/document_rules.h"
#include "text/codec.h"
#include "text/errors.h"

#include <vector>

namespace tarvela {
namespace {

constexpr char kKey[] = "Eet=";

} // namespace

QList<EetPayment> ReadEetPayments(const QString& value) {
    QList<EetPayment> out;
    for (const QString& part : value.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const QStringList fields = part.split(QLatin1Char(';'));
        if (fields.size() < 3 || fields[0].isEmpty())
            continue;
        bool ok = false;
        EetPayment p;
        p.entryId = fields[0];
        p.amountHalere = fields[1].toLongLong(&ok);
        if (!ok)
            continue;
        if (fields[2] != QStringView(kEetWaitingText))
            p.pok = fields[2];
        p.playground = fields.size() > 3 && fields[3] == QStringView(kEetPlaygroundText);
        out << p;
    }
    return out;
}

QString EetPaymentsValue(const QList<EetPayment>& payments) {
    QStringList parts;
    for (const EetPayment& p : payments) {
        QString part = p.entryId + QLatin1Char(';') + QString::number(p.amountHalere) +
                       QLatin1Char(';') +
                       (p.pok.isEmpty() ? QString::fromUtf16(kEetWaitingText) : p.pok);
        if (p.playground && !p.pok.isEmpty())
            part += QLatin1Char(';') + QString::fromUtf16(kEetPlaygroundText);
        parts << part;
    }
    return parts.join(QLatin1Char('|'));
}

QString NextEetPoradCis(const QString& invoiceNumber, const QString& value) {
    return invoiceNumber + QLatin1Char('/') + QString::number(ReadEetPayments(value).size() + 1);
}

QString EetStatusText(const QString& value) {
    const QList<EetPayment> payments = ReadEetPayments(value);
    if (payments.isEmpty())
        return QString();
    const EetPayment& last = payments.last();
    if (last.pok.isEmpty())
        return QString::fromUtf16(kEetWaitingText);
    if (last.playground)
        return QString::fromUtf16(kEetPlaygroundText);
    return QStringLiteral("POK ") + last.pok;
}

QString EetReceiptText(const QString& value) {
    const QList<EetPayment> payments = ReadEetPayments(value);
    if (payments.isEmpty() || payments.last().pok.isEmpty())
        return QString();
    if (payments.last().playground)
        return QString::fromUtf16(kEetPlaygroundText);
    return QStringLiteral("POK: ") + payments.last().pok;
}

QDateTime EetPaymentMoment(const QDate& date) {
    const QDateTime now = QDateTime::currentDateTime();
    if (!date.isValid() || date >= now.date())
        return now;
    return QDateTime(date, QTime(12, 0));
}

QString EetValueOf(const QByteArray& fileBytes) {
    const FileLines lines = FileLines::FromBytes(fileBytes);
    for (int n = kInvoiceFileLineCount + 1; n <= lines.count(); ++n) {
        const QStringView line = lines.lineView(n);
        if (line.startsWith(QLatin1String(kKey)))
            return line.mid(qstrlen(kKey)).toString();
    }
    return QString();
}

QByteArray WithEetValue(const QByteArray& fileBytes, const QString& value) {
    std::vector<RawLine> lines = SplitRawLines(fileBytes);
    const QByteArray crlf("\r\n");
    const QByteArray text = kKey + EncodeCp1250(value, QStringLiteral("EET"));
    bool replaced = false;
    for (std::size_t i = kInvoiceFileLineCount; i < lines.size(); ++i) {
        if (lines[i].text.startsWith(kKey)) {
            lines[i].text = text;
            replaced = true;
            break;
        }
    }
    if (!replaced) {
        if (!lines.empty() && lines.back().end.isEmpty())
            lines.back().end = crlf;
        while (lines.size() < std::size_t(kInvoiceFileLineCount))
            lines.push_back({{}, crlf});
        lines.push_back({text, crlf});
    }
    return JoinRawLines(lines);
}

void AddEetPayment(const QString& filePath, const EetPayment& payment) {
    ReplaceFileLocked(filePath, [&](const std::optional<QByteArray>& bytes) {
        if (!bytes)
            throw FileError(
                QStringLiteral("Soubor faktury „%1“ nelze otevřít pro zápis registrace EET.")
                    .arg(filePath));
        QList<EetPayment> payments = ReadEetPayments(EetValueOf(*bytes));
        payments << payment;
        return WithEetValue(*bytes, EetPaymentsValue(payments));
    });
}

bool ConfirmEetPayment(const QString& filePath, const QString& entryId, const QString& pok,
                       bool playground) {
    struct NothingToWrite {};
    bool found = false;
    try {
        ReplaceFileLocked(filePath, [&](const std::optional<QByteArray>& bytes) {
            if (!bytes)
                throw NothingToWrite(); // the invoice is gone
            QList<EetPayment> payments = ReadEetPayments(EetValueOf(*bytes));
            for (EetPayment& p : payments) {
                if (p.entryId == entryId && (p.pok != pok || p.playground != playground)) {
                    p.pok = pok;
                    p.playground = playground;
                    found = true;
                }
            }
            if (!found)
                throw NothingToWrite();
            return WithEetValue(*bytes, EetPaymentsValue(payments));
        });
    } catch (const NothingToWrite&) {
        return false;
    }
    return true;
}

qint64 EetAmountInCrowns(qint64 amountHalere, const QString& currency,
                         const QString& defaultCurrency, const QString& rateText,
                         const QString& invoiceNumber) {
    const QString code = CurrencyCode(currency, defaultCurrency);
    if (code == QLatin1String("CZK"))
        return amountHalere;
    const std::optional<Decimal> rate = ParseExchangeRate(rateText);
    if (!rate)
        throw ValidationError(
            QStringLiteral("Platbu faktury %1 v měně %2 lze v EET evidovat jen v korunách, a "
                           "faktura nemá platný kurz. Zadejte kurz (pole „Kurz“), podle něhož se "
                           "přijatá částka přepočte.")
                .arg(invoiceNumber, code));
    return ToCrowns(amountHalere, *rate);
}

} // namespace tarvela
