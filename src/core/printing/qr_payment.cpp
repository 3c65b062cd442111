#include "printing/qr_payment.h"

#include "printing/invoice_documents.h"
#include "text/amount_text.h"
#include "text/helpers.h"

namespace tarvela {

namespace {

// A "*" separates the fields of the payment text; inside a value it is percent-encoded.
QString EscapeAsterisks(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('*'), QLatin1String("%2A"));
    return escaped;
}

// The message as written: encoded, and at most kQrMessageLength characters without cutting an
// encoded "*" apart.
QString EncodedMessage(const QString& message) {
    QString encoded;
    for (const QChar c : message) {
        const QString piece = c == QLatin1Char('*') ? QStringLiteral("%2A") : QString(c);
        if (encoded.size() + piece.size() > kQrMessageLength)
            break;
        encoded += piece;
    }
    return encoded;
}

QString SymbolKey(SymbolType type) {
    switch (type) {
    case SymbolType::Constant:
        return QStringLiteral("X-KS:");
    case SymbolType::Variable:
        return QStringLiteral("X-VS:");
    }
    return QString();
}

} // namespace

QString QrPaymentMessage(const std::array<InvoiceItemRow, kItemRowCount>& rows) {
    for (const InvoiceItemRow& row : rows) {
        if (LowerCaseAscii(TrimText(row.Kod)) == QLatin1String("msg"))
            return TrimText(row.Dodavka);
    }
    return QString();
}

QString QrPaymentText(const InvoiceSnapshot& invoice, const AppSettings& settings) {
    const QString key = SymbolKey(settings.TypSymbolu);
    const QString account = StripSpaces(settings.Dodavatel.IBAN);

    QString currency = invoice.fields.Mena;
    if (currency.isEmpty())
        currency = settings.VychoziMena;
    if (currency.isEmpty())
        currency = QStringLiteral("CZK");

    QString amount =
        StripSpaces(ReplaceChar(invoice.CelkemFaktura, QLatin1Char(','), QLatin1Char('.')));
    if (amount.isEmpty())
        amount = QStringLiteral("0");

    const QString message =
        UpperCaseAscii(StripDiacritics(QrPaymentMessage(invoice.fields.Polozky)));

    // No payment to describe: nothing to pay, nowhere to pay it, or a credit note.
    if (amount == QLatin1String("0") || account.isEmpty() || amount.startsWith(QLatin1Char('-')))
        return QString();

    QString text = QStringLiteral("SPD*1.0*ACC:") + account + QStringLiteral("*AM:") + amount +
                   QStringLiteral("*CC:") + currency;
    // A symbol type other than the two known ones has no key; a value without its key would
    // be a malformed field, so the symbol is left out then.
    if (!key.isEmpty())
        text += QLatin1Char('*') + key + EscapeAsterisks(invoice.fields.Symbol);
    if (!message.isEmpty())
        text += QStringLiteral("*MSG:") + EncodedMessage(message);
    return text;
}

} // namespace tarvela
