#include "printing/document_rules.h"

#include "money/decimal.h"
#include "printing/money.h"
#include "printing/qr_payment.h"
#include "printing/vat_recap.h"
#include "text/amount_words.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <limits>

namespace tarvela {

bool IsTaxDocument(DocumentKind kind, const AppSettings& settings) {
    if (!settings.Platce)
        return false;
    switch (kind) {
    case DocumentKind::Faktura:
    case DocumentKind::DanovyDoklad:
    case DocumentKind::Dobropis:
    case DocumentKind::PrijmovyDokladSRozpisem:
        return true;
    case DocumentKind::ProformaFaktura:
    case DocumentKind::DodaciList:
    case DocumentKind::CenovaNabidka:
        return false;
    }
    return false;
}

bool IsCashPayment(const QString& paymentForm) {
    return SameTextAscii(TrimText(paymentForm), QStringLiteral("H"));
}

QString PaymentFormWords(const QString& paymentForm) {
    const QString code = UpperCaseAscii(TrimText(paymentForm));
    if (code == QLatin1String("PP"))
        return QStringLiteral("Převodním příkazem");
    if (code == QLatin1String("H"))
        return QStringLiteral("Hotově");
    if (code == QLatin1String("D"))
        return QStringLiteral("Dobírkou");
    if (code == QLatin1String("K"))
        return QStringLiteral("Platební kartou");
    return paymentForm;
}

QString DocumentCurrency(const InvoiceRecord& fields, const AppSettings& settings) {
    QString typed = TrimText(fields.Mena);
    if (typed.isEmpty())
        typed = TrimText(settings.VychoziMena);
    if (typed.isEmpty())
        return QStringLiteral("CZK");
    return QrCurrencyCode(typed).value_or(typed);
}

bool IsForeignCurrency(const InvoiceRecord& fields, const AppSettings& settings) {
    return DocumentCurrency(fields, settings) != DocumentCurrency(InvoiceRecord{}, settings);
}

AmountDue ComputeAmountDue(qint64 totalHalere, bool rounded) {
    AmountDue due;
    due.Total = totalHalere;
    due.Rounded = rounded;
    due.Due = rounded ? RoundToCrowns(due.Total) : due.Total;
    due.Rounding = due.Due - due.Total;
    return due;
}

bool RoundsToCrowns(DocumentKind kind, const InvoiceRecord& fields, const AppSettings& settings) {
    if (DocumentCurrency(fields, settings) != QLatin1String("CZK"))
        return false;
    switch (kind) {
    case DocumentKind::PrijmovyDokladSRozpisem:
        return true;
    case DocumentKind::Faktura:
    case DocumentKind::ProformaFaktura:
    case DocumentKind::DanovyDoklad:
    case DocumentKind::Dobropis:
        return IsCashPayment(fields.FormaUhrady);
    case DocumentKind::DodaciList:
    case DocumentKind::CenovaNabidka:
        return false;
    }
    return false;
}

QString AmountDueInWords(qint64 dueHalere, const QString& currencyCode) {
    const qint64 crowns = dueHalere / 100; // the haléře of an unrounded amount are dropped
    const bool fits = crowns >= std::numeric_limits<qint32>::min() &&
                      crowns <= std::numeric_limits<qint32>::max();
    const QString words =
        fits ? AmountInWords(static_cast<qint32>(crowns)) : QString::number(crowns);
    const QString unit = currencyCode == QLatin1String("CZK") ? CrownsWord(crowns) : currencyCode;
    return QLatin1Char('=') + words + QLatin1Char(' ') + unit + QLatin1Char('=');
}

namespace {

QString FileNamePart(const QString& text) {
    QString part;
    for (const QChar c : TrimText(text)) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32)
            part += QLatin1Char('-');
        else
            part += c;
    }
    return part;
}

QString WithNumber(const QString& title, const QString& number) {
    const QString n = FileNamePart(number);
    return n.isEmpty() ? title : title + QLatin1Char(' ') + n;
}

} // namespace

QString DocumentFileName(DocumentKind kind, const QString& number) {
    switch (kind) {
    case DocumentKind::Faktura:
        return WithNumber(QStringLiteral("Faktura"), number);
    case DocumentKind::ProformaFaktura:
        return WithNumber(QStringLiteral("Proforma faktura"), number);
    case DocumentKind::DanovyDoklad:
        return WithNumber(QStringLiteral("Daňový doklad"), number);
    case DocumentKind::Dobropis:
        return WithNumber(QStringLiteral("Dobropis"), number);
    case DocumentKind::DodaciList:
        return WithNumber(QStringLiteral("Dodací list"), number);
    case DocumentKind::CenovaNabidka:
        return WithNumber(QStringLiteral("Cenová nabídka"), number);
    case DocumentKind::PrijmovyDokladSRozpisem:
        return WithNumber(QStringLiteral("Příjmový doklad"), number);
    }
    return WithNumber(QStringLiteral("Doklad"), number);
}

QString CashReceiptFileName(const QString& number) {
    return WithNumber(QStringLiteral("Příjmový doklad"), number);
}

QString DocumentReportTitle(DocumentKind kind, bool vatPayer, const QString& number) {
    const QString title = DocumentTitle(kind, vatPayer);
    return TrimText(number).isEmpty() ? title : title + QStringLiteral(" č. ") + TrimText(number);
}

void CheckDocumentPrintable(DocumentKind kind, const InvoiceSnapshot& invoice,
                            const AppSettings& settings) {
    if (!IsTaxDocument(kind, settings))
        return;
    const QList<int> rows = RowsWithDisallowedVatRate(invoice, settings);
    if (!rows.isEmpty()) {
        QStringList numbers;
        for (const int row : rows)
            numbers << QString::number(row);
        throw ValidationError(
            QStringLiteral("Daňový doklad nelze vytisknout: %1 %2 sazbu DPH, kterou nastavení "
                           "nezná. Povolené sazby: %3.")
                .arg(rows.size() == 1 ? QStringLiteral("řádek") : QStringLiteral("řádky"),
                     numbers.join(QStringLiteral(", ")) +
                         (rows.size() == 1 ? QStringLiteral(" má") : QStringLiteral(" mají")),
                     AllowedVatRatesText(settings)));
    }
    if (IsForeignCurrency(invoice.fields, settings) &&
        (!ParseExchangeRate(invoice.fields.Kurz).has_value() ||
         TrimText(invoice.fields.DatumKurzu).isEmpty()))
        throw ValidationError(
            QStringLiteral("Daňový doklad v měně %1 nelze vytisknout: na první straně faktury "
                           "chybí kurz a datum kurzu.")
                .arg(DocumentCurrency(invoice.fields, settings)));
}

} // namespace tarvela
