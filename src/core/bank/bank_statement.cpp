#include "bank/bank_statement.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace tarvela {

namespace {

// The ISO 4217 numbers that Czech banks write into GPC records.
struct CurrencyNumber {
    int number;
    const char* code;
};
constexpr CurrencyNumber kCurrencies[] = {
    {36, "AUD"},  {124, "CAD"}, {156, "CNY"}, {203, "CZK"}, {208, "DKK"}, {348, "HUF"},
    {392, "JPY"}, {578, "NOK"}, {752, "SEK"}, {756, "CHF"}, {826, "GBP"}, {840, "USD"},
    {946, "RON"}, {949, "TRY"}, {978, "EUR"}, {980, "UAH"}, {985, "PLN"},
};

QString FileLabel(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

QString PaymentIdentity(const BankPayment& payment) {
    QStringList parts;
    if (!payment.Reference.isEmpty())
        parts = {QStringLiteral("R"), payment.Ucet, payment.Reference};
    else
        parts = {QStringLiteral("D"),
                 payment.Ucet,
                 payment.Datum.toString(Qt::ISODate),
                 QString::number(payment.Halere),
                 payment.Mena,
                 payment.Protiucet,
                 payment.Symbol};
    parts.append(QString::number(static_cast<int>(payment.Druh)));
    QStringList encoded;
    for (const QString& part : parts)
        encoded.append(QString::fromLatin1(QUrl::toPercentEncoding(part, "@-./:+")));
    return encoded.join(QLatin1Char('|'));
}

QString PaymentKindText(PaymentKind kind) {
    switch (kind) {
    case PaymentKind::Incoming:
        return QStringLiteral("Příchozí platba");
    case PaymentKind::Outgoing:
        return QStringLiteral("Odchozí platba");
    case PaymentKind::Fee:
        return QStringLiteral("Poplatek");
    case PaymentKind::Interest:
        return QStringLiteral("Úrok");
    case PaymentKind::Reversal:
        return QStringLiteral("Storno");
    }
    return {};
}

QString NormalizedSymbol(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 10)
        return {};
    qsizetype first = -1;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const char16_t c = trimmed[i].unicode();
        if (c < u'0' || c > u'9')
            return {};
        if (first < 0 && c != u'0')
            first = i;
    }
    return first < 0 ? QString() : trimmed.mid(first);
}

QString CurrencyOfNumber(int number) {
    for (const CurrencyNumber& c : kCurrencies)
        if (c.number == number)
            return QString::fromLatin1(c.code);
    return {};
}

BankStatement ReadStatementBytes(const QByteArray& bytes, const QString& name) {
    qsizetype start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        start = 3;
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t' ||
                                    bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    if (start < bytes.size() && bytes[start] == '<')
        return ReadCamtStatement(bytes, name);
    if (bytes.mid(start, 2) == "07")
        return ReadGpcStatement(bytes, name);
    throw StatementError(QStringLiteral("Soubor „%1“ není výpis z banky ve formátu GPC (ABO) "
                                        "ani CAMT.053.")
                             .arg(name));
}

BankStatement ReadStatementFile(const QString& path) {
    const QString name = FileLabel(path);
    QFile file(path);
    const QFileInfo info(path);
    if (!info.exists())
        throw StatementError(QStringLiteral("Výpis „%1“ neexistuje.").arg(name));
    if (!info.isFile())
        throw StatementError(QStringLiteral("„%1“ není soubor s výpisem.").arg(name));
    if (info.size() > kMaxStatementSize)
        throw StatementError(QStringLiteral("Výpis „%1“ je větší než %2 MB; takový soubor "
                                            "program nečte.")
                                 .arg(name)
                                 .arg(kMaxStatementSize >> 20));
    if (!file.open(QIODevice::ReadOnly))
        throw StatementError(QStringLiteral("Výpis „%1“ nelze přečíst.").arg(name));
    // The size is checked again on what is read: the file may have grown meanwhile.
    const QByteArray bytes = file.read(kMaxStatementSize + 1);
    if (bytes.size() > kMaxStatementSize)
        throw StatementError(QStringLiteral("Výpis „%1“ je větší než %2 MB; takový soubor "
                                            "program nečte.")
                                 .arg(name)
                                 .arg(kMaxStatementSize >> 20));
    return ReadStatementBytes(bytes, name);
}

} // namespace tarvela
