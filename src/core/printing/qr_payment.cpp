#include "printing/qr_payment.h"
#include "money/invoice_figures.h"

#include "printing/document_rules.h"
#include "printing/invoice_documents.h"
#include "printing/money.h"
#include "text/amount_text.h"
#include "text/helpers.h"

namespace tarvela {

namespace {

// The message as written: "*" (which separates the keys) and "%" (which begins an encoded
// character, so that a typed "%2A" is not read as "*") encoded, and at most kQrMessageLength
// characters without cutting an encoded character apart.
QString EncodedMessage(const QString& message) {
    QString encoded;
    for (const QChar c : message) {
        const QString piece = c == QLatin1Char('*')   ? QStringLiteral("%2A")
                              : c == QLatin1Char('%') ? QStringLiteral("%25")
                                                      : QString(c);
        if (encoded.size() + piece.size() > kQrMessageLength)
            break;
        encoded += piece;
    }
    return encoded;
}

bool IsAsciiLetter(QChar c) {
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString Quoted(const QString& text) {
    return QStringLiteral("„") + text + QStringLiteral("“");
}

} // namespace

bool IsQrMessageRow(const InvoiceItemRow& row) {
    return LowerCaseAscii(TrimText(row.Kod)) == QLatin1String("msg");
}

QString QrPaymentMessage(const std::array<InvoiceItemRow, kItemRowCount>& rows) {
    for (const InvoiceItemRow& row : rows) {
        if (IsQrMessageRow(row))
            return TrimText(row.Dodavka);
    }
    return QString();
}

QString CompactIban(const QString& iban) {
    QString compact;
    for (const QChar c : iban) {
        if (c != QLatin1Char(' ') && c != QChar(0x00A0))
            compact += IsAsciiLetter(c) ? c.toUpper() : c;
    }
    return compact;
}

bool IsValidIban(const QString& iban) {
    const QString s = CompactIban(iban);
    if (s.size() < 5 || s.size() > 34 || !IsAsciiLetter(s[0]) || !IsAsciiLetter(s[1]) ||
        !IsAsciiDigit(s[2]) || !IsAsciiDigit(s[3]))
        return false;
    const QString rearranged = s.mid(4) + s.left(4);
    int remainder = 0;
    for (const QChar c : rearranged) {
        if (IsAsciiDigit(c)) {
            remainder = (remainder * 10 + (c.unicode() - '0')) % 97;
        } else if (IsAsciiLetter(c)) {
            const int value = c.unicode() - 'A' + 10;
            remainder = (remainder * 100 + value) % 97;
        } else {
            return false;
        }
    }
    return remainder == 1;
}

std::optional<QString> QrCurrencyCode(const QString& typed) {
    const QString code = CurrencyCode(typed, QString());
    if (IsIso4217Code(code))
        return code;
    return std::nullopt;
}

QrPayment MakeQrPayment(const QrPaymentData& data) {
    QrPayment result;
    const QString account = CompactIban(data.Iban);
    if (account.isEmpty()) {
        result.Reason = QStringLiteral("QR Platba není: v nastavení chybí IBAN dodavatele.");
        return result;
    }
    if (!IsValidIban(account)) {
        result.Reason = QStringLiteral("QR Platba není: IBAN dodavatele %1 není platný.")
                            .arg(Quoted(TrimText(data.Iban)));
        return result;
    }
    const std::optional<qint64> halere = ParseHalere(data.Amount);
    if (!halere || *halere <= 0) {
        result.Reason = QStringLiteral("QR Platba není: částka k úhradě není kladná.");
        return result;
    }
    QString amount = FormatHalere(*halere);
    amount.replace(QLatin1Char(','), QLatin1Char('.'));
    if (amount.size() > kQrAmountLength) {
        result.Reason = QStringLiteral("QR Platba není: částka %1 je delší než %2 znaků.")
                            .arg(FormatHalere(*halere))
                            .arg(kQrAmountLength);
        return result;
    }
    const std::optional<QString> currency = QrCurrencyCode(data.Currency);
    if (!currency) {
        result.Reason = QStringLiteral("QR Platba není: měna %1 není kód ISO (např. CZK, EUR).")
                            .arg(Quoted(data.Currency));
        return result;
    }

    result.Text = QStringLiteral("SPD*1.0*ACC:") + account + QStringLiteral("*AM:") + amount +
                  QStringLiteral("*CC:") + *currency;

    QStringList left;
    const QString symbol = TrimText(data.Symbol);
    const bool constant = data.SymbolKind == SymbolType::Constant;
    const bool variable = data.SymbolKind == SymbolType::Variable;
    if ((constant || variable) && !symbol.isEmpty()) {
        const int longest = constant ? kQrConstantSymbolLength : kQrVariableSymbolLength;
        const QString name =
            constant ? QStringLiteral("konstantní symbol") : QStringLiteral("variabilní symbol");
        if (!IsDigitsOnly(symbol))
            left << QStringLiteral("%1 %2 neobsahuje jen číslice").arg(name, Quoted(symbol));
        else if (symbol.size() > longest)
            left << QStringLiteral("%1 %2 má víc než %3 číslic")
                        .arg(name, Quoted(symbol))
                        .arg(longest);
        else
            result.Text +=
                (constant ? QStringLiteral("*X-KS:") : QStringLiteral("*X-VS:")) + symbol;
    }

    const QString message = UpperCaseAscii(StripDiacritics(TrimText(data.Message)));
    if (!message.isEmpty())
        result.Text += QStringLiteral("*MSG:") + EncodedMessage(message);

    if (!left.isEmpty())
        result.Reason = QStringLiteral("QR Platba: ") + left.join(QStringLiteral(", ")) +
                        QStringLiteral(", v kódu chybí.");
    return result;
}

QrPayment InvoiceQrPayment(const InvoiceSnapshot& invoice, const AppSettings& settings,
                           const QString& amountDue) {
    QrPaymentData data;
    data.Iban = settings.Dodavatel.IBAN;
    data.Amount = amountDue;
    data.Currency = DocumentCurrency(invoice.fields, settings);
    data.SymbolKind = settings.TypSymbolu;
    data.Symbol = invoice.fields.Symbol;
    data.Message = QrPaymentMessage(invoice.fields.Polozky);
    return MakeQrPayment(data);
}

QString QrPaymentText(const InvoiceSnapshot& invoice, const AppSettings& settings) {
    const InvoiceFigures figures = ComputeInvoiceFigures(invoice.fields, settings);
    return InvoiceQrPayment(invoice, settings, FormatHalere(figures.Due.Due)).Text;
}

} // namespace tarvela
