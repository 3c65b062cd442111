#include "printing/document_rules.h"

#include "invoice/invoice_file.h"
#include "money/invoice_figures.h"

#include "money/decimal.h"
#include "printing/money.h"
#include "printing/qr_payment.h"
#include "printing/vat_recap.h"
#include "text/amount_words.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QSet>

#include <algorithm>
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

QString CurrencyCode(const QString& typed, const QString& defaultCurrency) {
    QString t = TrimText(typed);
    if (t.isEmpty())
        t = TrimText(defaultCurrency);
    if (t.isEmpty())
        return QStringLiteral("CZK");
    const QString folded = UpperCaseAscii(StripDiacritics(t));
    if (folded == QLatin1String("KC") || folded == QLatin1String("KC.") ||
        folded == QLatin1String("CZK"))
        return QStringLiteral("CZK");
    if (t == QStringLiteral("€"))
        return QStringLiteral("EUR");
    // Three letters without diacritics in any case: "eur", "Eur".
    if (folded.size() == 3 && folded == UpperCaseAscii(t) &&
        std::all_of(folded.begin(), folded.end(),
                    [](QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); }))
        return folded;
    return t;
}

QString DocumentCurrency(const InvoiceRecord& fields, const AppSettings& settings) {
    return CurrencyCode(fields.Mena, settings.VychoziMena);
}

bool IsIso4217Code(const QString& code) {
    // The currencies in use (ISO 4217, list one), without XTS (testing) and XXX (no currency).
    static const QSet<QString> kCodes = [] {
        const char* const list =
            "AED AFN ALL AMD ANG AOA ARS AUD AWG AZN BAM BBD BDT BGN BHD BIF BMD BND BOB BOV BRL "
            "BSD BTN BWP BYN BZD CAD CDF CHE CHF CHW CLF CLP CNY COP COU CRC CUC CUP CVE CZK DJF "
            "DKK DOP DZD EGP ERN ETB EUR FJD FKP GBP GEL GHS GIP GMD GNF GTQ GYD HKD HNL HTG HUF "
            "IDR ILS INR IQD IRR ISK JMD JOD JPY KES KGS KHR KMF KPW KRW KWD KYD KZT LAK LBP LKR "
            "LRD LSL LYD MAD MDL MGA MKD MMK MNT MOP MRU MUR MVR MWK MXN MXV MYR MZN NAD NGN NIO "
            "NOK NPR NZD OMR PAB PEN PGK PHP PKR PLN PYG QAR RON RSD RUB RWF SAR SBD SCR SDG SEK "
            "SGD SHP SLE SLL SOS SRD SSP STN SVC SYP SZL THB TJS TMT TND TOP TRY TTD TWD TZS UAH "
            "UGX USD USN UYI UYU UYW UZS VED VES VND VUV WST XAF XAG XAU XBA XBB XBC XBD XCD XCG "
            "XDR XOF XPD XPF XPT XSU XUA YER ZAR ZMW ZWG ZWL";
        QSet<QString> codes;
        for (const QString& c : QString::fromLatin1(list).split(QLatin1Char(' ')))
            codes.insert(c);
        return codes;
    }();
    return kCodes.contains(code);
}

bool IsForeignCurrency(const InvoiceRecord& fields, const AppSettings& settings) {
    return DocumentCurrency(fields, settings) != CurrencyCode(QString(), settings.VychoziMena);
}

namespace {

struct NamedSupplierText {
    const char* name;
    QString SupplierData::*member;
};

const NamedSupplierText kSupplierTexts[] = {
    {"Dodavatel - název", &SupplierData::Nazev},
    {"Dodavatel - jméno", &SupplierData::Jmeno},
    {"Dodavatel - ulice", &SupplierData::Ulice},
    {"Dodavatel - město", &SupplierData::Mesto},
    {"Dodavatel - IČ", &SupplierData::ICO},
    {"Dodavatel - DIČ", &SupplierData::DIC},
    {"Dodavatel - registrace", &SupplierData::Registrace},
    {"Dodavatel - banka", &SupplierData::Banka},
    {"Dodavatel - účet", &SupplierData::Ucet},
    {"Dodavatel - IBAN", &SupplierData::IBAN},
    {"Dodavatel - BIC", &SupplierData::BIC},
    {"Dodavatel - telefon", &SupplierData::Tel},
    {"Dodavatel - e-mail", &SupplierData::Email},
    {"Dodavatel - osoba", &SupplierData::Osoba},
};

// C0 and C1 control characters and DEL; a tab counts too, as no field is typed with one.
bool IsControlCharacter(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

void RefuseControlCharacter(const QString& text, const QString& field) {
    const auto it = std::find_if(text.begin(), text.end(), IsControlCharacter);
    if (it == text.end())
        return;
    throw ValidationError(
        QStringLiteral("Pole „%1“ obsahuje řídicí znak (U+%2), který do elektronické faktury ani "
                       "do CSV nelze zapsat. Opravte pole a akci opakujte.")
            .arg(field, QString::number(it->unicode(), 16).toUpper().rightJustified(4, u'0')));
}

} // namespace

void RefuseControlCharacters(const InvoiceRecord& fields, const AppSettings& settings) {
    // The texts an e-invoice or a CSV carries: the file's lines (the stored total aside, which
    // is recomputed), the optional ones and the item cells.
    for (const InvoiceFileLine& line : kInvoiceFileLines) {
        if (line.text && line.number != kStoredTotalLine)
            RefuseControlCharacter(fields.*line.text, QString::fromUtf8(line.name));
    }
    for (const OptionalInvoiceField& field : kOptionalInvoiceFields)
        RefuseControlCharacter(fields.*field.member, QString::fromUtf8(field.name));
    for (int row = 0; row < kItemRowCount; ++row) {
        for (int cell = 0; cell < kItemCellCount; ++cell)
            RefuseControlCharacter(fields.Polozky[static_cast<std::size_t>(row)].cell(cell),
                                   ItemCellName(row + 1, cell));
    }
    for (const NamedSupplierText& t : kSupplierTexts)
        RefuseControlCharacter(settings.Dodavatel.*t.member, QString::fromUtf8(t.name));
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

QString DocumentFileName(DocumentKind kind, const QString& number, bool payout) {
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
        // Not the cash receipt's name ("Výdajový doklad ..."), which may be saved beside it.
        return WithNumber(payout ? QStringLiteral("Výdajový doklad s rozpisem")
                                 : QStringLiteral("Příjmový doklad"),
                          number);
    }
    return WithNumber(QStringLiteral("Doklad"), number);
}

QString CashReceiptFileName(const QString& number, bool payout) {
    // Not the name of the receipt with items ("Příjmový doklad ..."), which may be saved beside it.
    return WithNumber(
        payout ? QStringLiteral("Výdajový doklad") : QStringLiteral("Pokladní doklad"), number);
}

QString DocumentReportTitle(DocumentKind kind, bool vatPayer, const QString& number, bool payout) {
    const QString title = DocumentTitle(kind, vatPayer, payout);
    return TrimText(number).isEmpty() ? title : title + QStringLiteral(" č. ") + TrimText(number);
}

DocumentFigures DocumentFiguresOf(const InvoiceFigures& model) {
    DocumentFigures figures;
    figures.Due = model.Due;
    figures.Paid = model.Paid;
    if (model.Currency == QLatin1String("CZK")) {
        figures.TotalInCrowns = model.Due.Total;
        figures.DueInCrowns = model.Due.Due;
    } else if (model.InCrowns) {
        // Another currency is never rounded: what is paid is the total, in crowns at the rate.
        figures.TotalInCrowns = model.TotalCzk();
        figures.DueInCrowns = model.TotalCzk();
    }
    return figures;
}

DocumentFigures DocumentFiguresOf(DocumentKind kind, const InvoiceSnapshot& invoice,
                                  const AppSettings& settings) {
    return DocumentFiguresOf(ComputeInvoiceFigures(invoice.fields, settings, kind));
}

bool FitsSimplifiedTaxDocument(qint64 amountInCrownsHalere) {
    return amountInCrownsHalere >= -kSimplifiedTaxDocumentLimitHalere &&
           amountInCrownsHalere <= kSimplifiedTaxDocumentLimitHalere;
}

bool IsSimplifiedTaxDocument(DocumentKind kind, const AppSettings& settings,
                             const DocumentFigures& figures) {
    return kind == DocumentKind::PrijmovyDokladSRozpisem && settings.Platce &&
           figures.TotalInCrowns.has_value() && figures.DueInCrowns.has_value() &&
           FitsSimplifiedTaxDocument(*figures.TotalInCrowns) &&
           FitsSimplifiedTaxDocument(*figures.DueInCrowns);
}

QStringList MissingForFullTaxDocument(const InvoiceRecord& fields) {
    QStringList missing;
    if (TrimText(fields.OdberatelNazev1).isEmpty())
        missing << QStringLiteral("název odběratele");
    if (TrimText(fields.OdberatelUliceCislo).isEmpty())
        missing << QStringLiteral("ulice odběratele");
    if (TrimText(fields.OdberatelMesto).isEmpty())
        missing << QStringLiteral("město odběratele");
    return missing;
}

bool IsCashPayout(const DocumentFigures& figures) {
    return figures.Due.Due < 0;
}

void CheckDocumentRules(DocumentKind kind, const InvoiceSnapshot& invoice,
                        const AppSettings& settings, const DocumentFigures& figures) {
    const InvoiceRecord& f = invoice.fields;
    if (figures.Due.Total < 0 &&
        (kind == DocumentKind::ProformaFaktura || kind == DocumentKind::CenovaNabidka))
        throw ValidationError(
            QStringLiteral("%1 nemůže mít zápornou celkovou částku (%2): nic se na ni nevrací. "
                           "Opravte položky, nebo vystavte dobropis.")
                .arg(kind == DocumentKind::ProformaFaktura ? QStringLiteral("Proforma faktura")
                                                           : QStringLiteral("Cenová nabídka"),
                     FormatHalere(figures.Due.Total)));
    if (kind == DocumentKind::Dobropis) {
        QStringList missing;
        if (TrimText(f.OpravovanyDoklad).isEmpty())
            missing << QStringLiteral("opravovaný doklad");
        if (TrimText(f.DuvodOpravy).isEmpty())
            missing << QStringLiteral("důvod opravy");
        if (!missing.isEmpty())
            throw ValidationError(QStringLiteral("Dobropis nelze vytisknout, na první straně "
                                                 "faktury chybí: %1.")
                                      .arg(missing.join(QStringLiteral(", "))));
    }
    if (kind == DocumentKind::PrijmovyDokladSRozpisem && settings.Platce &&
        !IsSimplifiedTaxDocument(kind, settings, figures)) {
        const QStringList missing = MissingForFullTaxDocument(f);
        if (!missing.isEmpty())
            throw ValidationError(
                QStringLiteral("Částka dokladu přesahuje 10 000 Kč, proto nemůže být "
                               "zjednodušeným daňovým dokladem. Pro úplný daňový doklad "
                               "doplňte: %1.")
                    .arg(missing.join(QStringLiteral(", "))));
    }
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

void CheckDocumentPrintable(DocumentKind kind, const InvoiceSnapshot& invoice,
                            const AppSettings& settings) {
    CheckDocumentRules(kind, invoice, settings, DocumentFiguresOf(kind, invoice, settings));
}

bool IsCreditNote(const InvoiceRecord& fields, qint64 totalHalere) {
    return !TrimText(fields.OpravovanyDoklad).isEmpty() || totalHalere < 0;
}

DocumentKind PeriodExportKind(DocumentKind chosen, const InvoiceRecord& fields,
                              qint64 totalHalere) {
    return chosen == DocumentKind::Faktura && IsCreditNote(fields, totalHalere)
               ? DocumentKind::Dobropis
               : chosen;
}

QString CsvSafeText(const QString& text) {
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front()))
        return QLatin1Char('\'') + text;
    return text;
}

QStringList DocumentWarnings(DocumentKind kind, const DocumentFigures& figures) {
    QStringList warnings;
    if (kind == DocumentKind::Dobropis && figures.Due.Total > 0)
        warnings << QStringLiteral("Dobropis má kladnou celkovou částku %1: odběratel by podle "
                                   "něj platil, místo aby mu byla částka vrácena. Opravované "
                                   "položky dobropisu se obvykle zapisují se záporným "
                                   "množstvím nebo cenou.")
                        .arg(FormatHalere(figures.Due.Total));
    if (kind == DocumentKind::DanovyDoklad && figures.Paid > 0 && figures.Paid < figures.Due.Due)
        warnings << QStringLiteral("Uhrazeno je jen %1 z %2: daňový doklad k přijaté platbě "
                                   "uvede jako přijatou celou částku %2.")
                        .arg(FormatHalere(figures.Paid), FormatHalere(figures.Due.Due));
    return warnings;
}

} // namespace tarvela
