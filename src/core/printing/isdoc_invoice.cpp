#include "printing/isdoc_invoice.h"

#include "invoice/file_lines.h"
#include "money/invoice_figures.h"
#include "printing/document_rules.h"
#include "printing/invoice_tax_summary.h"
#include "text/amount_text.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamWriter>

namespace tarvela {

namespace {

const QString kNamespace = QStringLiteral("http://isdoc.cz/namespace/2013");
const QString kLocalCurrency = QStringLiteral("CZK");

// The namespace of this program's document identifiers; never change it, or re-exported documents
// get new identifiers.
const QUuid kUuidNamespace(QStringLiteral("{6b1f3c2e-58a4-4d0e-9a77-2f1c5e9b8d41}"));

QString IsoDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

// A decimal for ISDOC: a full stop and no more decimals than needed.
QString DecimalText(Decimal value) {
    return value.toText(QLatin1Char('.'));
}

QString Amount(qint64 cents) {
    return CentsText(cents, QLatin1Char('.'));
}

// "Dlouhá 12" -> ("Dlouhá", "12"): the last word is the building number when it has a digit.
std::pair<QString, QString> SplitStreet(const QString& street) {
    const QString trimmed = TrimText(street);
    const qsizetype space = trimmed.lastIndexOf(QLatin1Char(' '));
    if (space > 0) {
        const QString last = trimmed.mid(space + 1);
        static const QRegularExpression digit(QStringLiteral("[0-9]"));
        if (last.contains(digit))
            return {TrimText(trimmed.left(space)), last};
    }
    return {trimmed, QString()};
}

// "110 00 Praha 1" -> ("110 00", "Praha 1"): a leading postcode of five digits (one space allowed).
std::pair<QString, QString> SplitTown(const QString& town) {
    static const QRegularExpression postcode(QStringLiteral("^\\s*(\\d{3}\\s?\\d{2})\\s+(.*)$"));
    const QRegularExpressionMatch m = postcode.match(town);
    if (m.hasMatch())
        return {m.captured(1), TrimText(m.captured(2))};
    return {QString(), TrimText(town)};
}

struct Party {
    QString ico;
    QString name;
    QString street;
    QString postcode;
    QString town;
    QString dic;
    QString register_;
    QString contact;
    QString phone;
    QString email;
};

class Writer {
public:
    Writer(QByteArray* out) : xml_(out) { xml_.setAutoFormatting(true); }

    void text(const QString& name, const QString& value) { xml_.writeTextElement(name, value); }
    void start(const QString& name) { xml_.writeStartElement(name); }
    void end() { xml_.writeEndElement(); }
    QXmlStreamWriter& raw() { return xml_; }

    // An amount in the local currency and, for a foreign currency, the …Curr element before or
    // after it as the schema orders them.
    void amount(const QString& name, qint64 documentCents, bool currFirst) {
        if (foreign_ && currFirst)
            text(name + QStringLiteral("Curr"), Amount(documentCents));
        text(name, Amount(local(documentCents)));
        if (foreign_ && !currFirst)
            text(name + QStringLiteral("Curr"), Amount(documentCents));
    }

    qint64 local(qint64 documentCents) const {
        return foreign_ ? ToCrowns(documentCents, rate_) : documentCents;
    }

    void setCurrency(bool foreign, Decimal rate) {
        foreign_ = foreign;
        rate_ = rate;
    }

    void party(const Party& p) {
        start(QStringLiteral("Party"));
        start(QStringLiteral("PartyIdentification"));
        text(QStringLiteral("ID"), p.ico);
        end();
        start(QStringLiteral("PartyName"));
        text(QStringLiteral("Name"), p.name);
        end();
        const auto [streetName, building] = SplitStreet(p.street);
        start(QStringLiteral("PostalAddress"));
        text(QStringLiteral("StreetName"), streetName);
        text(QStringLiteral("BuildingNumber"), building);
        text(QStringLiteral("CityName"), p.town);
        text(QStringLiteral("PostalZone"), p.postcode);
        start(QStringLiteral("Country"));
        text(QStringLiteral("IdentificationCode"), QStringLiteral("CZ"));
        text(QStringLiteral("Name"), QStringLiteral("Česká republika"));
        end();
        end();
        if (!TrimText(p.dic).isEmpty()) {
            start(QStringLiteral("PartyTaxScheme"));
            text(QStringLiteral("CompanyID"), TrimText(p.dic));
            text(QStringLiteral("TaxScheme"), QStringLiteral("VAT"));
            end();
        }
        if (!TrimText(p.register_).isEmpty()) {
            start(QStringLiteral("RegisterIdentification"));
            text(QStringLiteral("Preformatted"), TrimText(p.register_));
            end();
        }
        if (!TrimText(p.contact).isEmpty() || !TrimText(p.phone).isEmpty() ||
            !TrimText(p.email).isEmpty()) {
            start(QStringLiteral("Contact"));
            if (!TrimText(p.contact).isEmpty())
                text(QStringLiteral("Name"), TrimText(p.contact));
            if (!TrimText(p.phone).isEmpty())
                text(QStringLiteral("Telephone"), TrimText(p.phone));
            if (!TrimText(p.email).isEmpty())
                text(QStringLiteral("ElectronicMail"), TrimText(p.email));
            end();
        }
        end();
    }

private:
    QXmlStreamWriter xml_;
    bool foreign_ = false;
    Decimal rate_ = Decimal::FromWhole(1);
};

void Require(QStringList& missing, const QString& value, const QString& field) {
    if (TrimText(value).isEmpty())
        missing.append(field);
}

} // namespace

std::optional<int> IsdocDocumentType(DocumentKind kind) {
    switch (kind) {
    case DocumentKind::Faktura:
        return 1;
    case DocumentKind::Dobropis:
        return 2;
    case DocumentKind::ProformaFaktura:
        return 4;
    case DocumentKind::DanovyDoklad:
        return 5;
    case DocumentKind::PrijmovyDokladSRozpisem:
        return 7;
    case DocumentKind::DodaciList:
    case DocumentKind::CenovaNabidka:
        break;
    }
    return std::nullopt;
}

QUuid IsdocDocumentUuid(const QString& supplierIco, DocumentKind kind, const QString& number) {
    const QString name = TrimText(supplierIco) + QLatin1Char('|') +
                         QString::number(static_cast<int>(kind)) + QLatin1Char('|') +
                         TrimText(number);
    return QUuid::createUuidV5(kUuidNamespace, name);
}

QString IsdocFileName(const InvoiceRecord& fields) {
    return TrimText(fields.Cislo) + QStringLiteral(".isdoc");
}

QByteArray BuildIsdocInvoice(DocumentKind kind, const InvoiceSnapshot& invoice,
                             const AppSettings& settings) {
    const std::optional<int> type = IsdocDocumentType(kind);
    if (!type)
        throw ValidationError(QStringLiteral("Tento druh dokladu nelze uložit jako ISDOC."));
    const InvoiceRecord& f = invoice.fields;
    const SupplierData& d = settings.Dodavatel;
    // A control character would vanish from the XML: the field is named instead.
    RefuseControlCharacters(f, settings);

    const InvoiceFigures figures = ComputeInvoiceFigures(f, settings, kind);
    const QString currency = figures.Currency;
    const bool foreign = figures.Foreign;
    std::vector<RowFigures> lines;
    for (const RowFigures& row : figures.Rows) {
        if (row.Listed)
            lines.push_back(row);
    }

    QStringList missing;
    Require(missing, f.Cislo, QStringLiteral("číslo dokladu"));
    if (!f.DatumVystaveni.isValid())
        missing.append(QStringLiteral("datum vystavení"));
    Require(missing, d.ICO, QStringLiteral("IČ dodavatele"));
    Require(missing, d.Nazev, QStringLiteral("název dodavatele"));
    Require(missing, d.Ulice, QStringLiteral("ulice dodavatele"));
    Require(missing, d.Mesto, QStringLiteral("město dodavatele"));
    if (settings.Platce)
        Require(missing, d.DIC, QStringLiteral("DIČ dodavatele"));
    Require(missing, f.OdberatelNazev1, QStringLiteral("název odběratele"));
    Require(missing, f.OdberatelUliceCislo, QStringLiteral("ulice odběratele"));
    Require(missing, f.OdberatelPSC, QStringLiteral("PSČ odběratele"));
    Require(missing, f.OdberatelMesto, QStringLiteral("město odběratele"));
    if (kind == DocumentKind::Dobropis)
        Require(missing, f.OpravovanyDoklad, QStringLiteral("opravovaný doklad"));
    const Decimal rate = figures.Rate.value_or(Decimal::FromWhole(1));
    if (!IsIso4217Code(currency))
        missing.append(QStringLiteral("měna (kód ISO 4217, např. CZK, EUR)"));
    if (foreign && !figures.InCrowns)
        missing.append(QStringLiteral("kurz měny ") + currency);
    if (lines.empty())
        missing.append(QStringLiteral("položky dokladu"));
    if (!missing.isEmpty())
        throw ValidationError(QStringLiteral("Doklad nelze uložit jako ISDOC, chybí: ") +
                              missing.join(QStringLiteral(", ")) + QLatin1Char('.'));
    const QList<int> unknown = figures.UnknownRateRows();
    if (!unknown.isEmpty())
        throw ValidationError(
            QStringLiteral("Doklad nelze uložit jako ISDOC: řádek %1 má sazbu DPH „%2“, kterou "
                           "nastavení nezná.")
                .arg(unknown.first())
                .arg(f.Polozky[static_cast<std::size_t>(unknown.first() - 1)].DPH));

    const bool vat = settings.Platce;
    QByteArray bytes;
    Writer w(&bytes);
    w.setCurrency(foreign, rate);
    QXmlStreamWriter& xml = w.raw();
    xml.writeStartDocument();
    xml.writeDefaultNamespace(kNamespace);
    w.start(QStringLiteral("Invoice"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("6.0.2"));
    w.text(QStringLiteral("DocumentType"), QString::number(*type));
    w.text(QStringLiteral("ID"), TrimText(f.Cislo));
    w.text(QStringLiteral("UUID"),
           IsdocDocumentUuid(d.ICO, kind, f.Cislo).toString(QUuid::WithoutBraces));
    w.text(QStringLiteral("IssuingSystem"), QStringLiteral("Tarvela"));
    w.text(QStringLiteral("IssueDate"), IsoDate(f.DatumVystaveni));
    // The date of taxable supply belongs to tax documents; a credit note's tax date is the day
    // the customer receives it; the tax document of a received payment is dated by the day the
    // payment was received (the payment date, else the date of supply), as printed.
    if (vat && kind != DocumentKind::Dobropis && kind != DocumentKind::ProformaFaktura) {
        QDate taxPoint = f.DatumPlneni;
        if (kind == DocumentKind::DanovyDoklad && !TrimText(f.DatumUhrady).isEmpty()) {
            try {
                const QDate paid = ParseInvoiceDate(TrimText(f.DatumUhrady));
                if (paid.isValid() && paid != ZeroDate())
                    taxPoint = paid;
            } catch (const ConversionError&) {
                // an unreadable payment date: the date of supply, as printed
            }
        }
        if (taxPoint.isValid())
            w.text(QStringLiteral("TaxPointDate"), IsoDate(taxPoint));
    }
    w.text(QStringLiteral("VATApplicable"), vat ? QStringLiteral("true") : QStringLiteral("false"));
    w.text(QStringLiteral("ElectronicPossibilityAgreementReference"), QString());
    QStringList notes;
    for (const QString& note : {f.Komentar1, f.Komentar2}) {
        if (!TrimText(note).isEmpty())
            notes.append(TrimText(note));
    }
    if (kind == DocumentKind::Dobropis && !TrimText(f.DuvodOpravy).isEmpty())
        notes.append(QStringLiteral("Důvod opravy: ") + TrimText(f.DuvodOpravy));
    if (!notes.isEmpty())
        w.text(QStringLiteral("Note"), notes.join(QLatin1Char(' ')));
    w.text(QStringLiteral("LocalCurrencyCode"), kLocalCurrency);
    if (foreign)
        w.text(QStringLiteral("ForeignCurrencyCode"), currency);
    w.text(QStringLiteral("CurrRate"), foreign ? DecimalText(rate) : QStringLiteral("1"));
    w.text(QStringLiteral("RefCurrRate"), QStringLiteral("1"));

    const auto [supplierPostcode, supplierTown] = SplitTown(d.Mesto);
    w.start(QStringLiteral("AccountingSupplierParty"));
    w.party(Party{TrimText(d.ICO), TrimText(d.Nazev), d.Ulice, supplierPostcode, supplierTown,
                  d.DIC, d.Registrace, d.Osoba, d.Tel, d.Email});
    w.end();

    QString customerName = TrimText(f.OdberatelNazev1);
    if (!TrimText(f.OdberatelNazev2).isEmpty())
        customerName += QLatin1Char(' ') + TrimText(f.OdberatelNazev2);
    w.start(QStringLiteral("AccountingCustomerParty"));
    w.party(Party{TrimText(f.OdberatelIC), customerName, f.OdberatelUliceCislo,
                  TrimText(f.OdberatelPSC), TrimText(f.OdberatelMesto), f.OdberatelDIC, QString(),
                  f.OdberatelOdpovedOsoba, QString(), QString()});
    w.end();

    if (!TrimText(f.Objednavka).isEmpty()) {
        w.start(QStringLiteral("OrderReferences"));
        w.start(QStringLiteral("OrderReference"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("OBJ1"));
        w.text(QStringLiteral("SalesOrderID"), TrimText(f.Objednavka));
        w.end();
        w.end();
    }
    if (kind == DocumentKind::Dobropis) {
        w.start(QStringLiteral("OriginalDocumentReferences"));
        w.start(QStringLiteral("OriginalDocumentReference"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("OPR1"));
        w.text(QStringLiteral("ID"), TrimText(f.OpravovanyDoklad));
        w.end();
        w.end();
    }

    w.start(QStringLiteral("InvoiceLines"));
    for (const RowFigures& line : lines) {
        const InvoiceItemRow& cells = f.Polozky[static_cast<std::size_t>(line.Row - 1)];
        w.start(QStringLiteral("InvoiceLine"));
        w.text(QStringLiteral("ID"), QString::number(line.Row));
        if (!TrimText(cells.PocetMJ).isEmpty()) {
            xml.writeStartElement(QStringLiteral("InvoicedQuantity"));
            if (!TrimText(cells.MJ).isEmpty())
                xml.writeAttribute(QStringLiteral("unitCode"), TrimText(cells.MJ));
            xml.writeCharacters(
                DecimalText(ParseFieldDecimal(QStringLiteral("Počet MJ"), cells.PocetMJ)));
            xml.writeEndElement();
        }
        // The line's base and tax converted one by one, its total their sum: base + tax equals
        // the total in both currencies.
        const qint64 localBase = w.local(line.Amount);
        const qint64 localTax = w.local(line.Tax);
        const auto both = [&](const QString& name, qint64 documentCents, qint64 localCents) {
            if (foreign)
                w.text(name + QStringLiteral("Curr"), Amount(documentCents));
            w.text(name, Amount(localCents));
        };
        both(QStringLiteral("LineExtensionAmount"), line.Amount, localBase);
        both(QStringLiteral("LineExtensionAmountTaxInclusive"), line.Total(), localBase + localTax);
        w.text(QStringLiteral("LineExtensionTaxAmount"), Amount(localTax));
        const Decimal price = TrimText(cells.Cena).isEmpty()
                                  ? Decimal()
                                  : ParseFieldDecimal(QStringLiteral("Cena MJ"), cells.Cena);
        const Decimal localRate = foreign ? rate : Decimal::FromWhole(1);
        const WideInt priceInCrowns =
            static_cast<WideInt>(price.millionths()) * localRate.millionths();
        w.text(QStringLiteral("UnitPrice"),
               DecimalText(Decimal::FromMillionths(DivideRounded(priceInCrowns, Decimal::kScale))));
        w.text(QStringLiteral("UnitPriceTaxInclusive"),
               DecimalText(Decimal::FromMillionths(
                   DivideRounded(priceInCrowns * (100 + line.Percent), 100 * Decimal::kScale))));
        w.start(QStringLiteral("ClassifiedTaxCategory"));
        w.text(QStringLiteral("Percent"), QString::number(vat ? line.Percent : 0));
        w.text(QStringLiteral("VATCalculationMethod"), QStringLiteral("0"));
        w.text(QStringLiteral("VATApplicable"),
               vat ? QStringLiteral("true") : QStringLiteral("false"));
        w.end();
        w.start(QStringLiteral("Item"));
        w.text(QStringLiteral("Description"), TrimText(cells.Dodavka));
        if (!TrimText(cells.Kod).isEmpty()) {
            w.start(QStringLiteral("SellersItemIdentification"));
            w.text(QStringLiteral("ID"), TrimText(cells.Kod));
            w.end();
        }
        w.end();
        w.end();
    }
    w.end();

    // The summary per rate: local amounts converted per rate, the totals summed from them, so that
    // the totals equal the sums of the rates in both currencies.
    qint64 localBase = 0;
    qint64 localTax = 0;
    w.start(QStringLiteral("TaxTotal"));
    for (const RateFigures& rf : figures.Rates) {
        const RateSum r{rf.Percent, rf.Base, rf.Tax};
        const qint64 base = foreign ? rf.BaseCzk : rf.Base;
        const qint64 tax = foreign ? rf.TaxCzk : rf.Tax;
        localBase += base;
        localTax += tax;
        w.start(QStringLiteral("TaxSubTotal"));
        const auto both = [&](const QString& name, qint64 documentCents, qint64 localCents) {
            if (foreign)
                w.text(name + QStringLiteral("Curr"), Amount(documentCents));
            w.text(name, Amount(localCents));
        };
        both(QStringLiteral("TaxableAmount"), r.baseCents, base);
        both(QStringLiteral("TaxAmount"), r.taxCents, tax);
        both(QStringLiteral("TaxInclusiveAmount"), r.baseCents + r.taxCents, base + tax);
        both(QStringLiteral("AlreadyClaimedTaxableAmount"), 0, 0);
        both(QStringLiteral("AlreadyClaimedTaxAmount"), 0, 0);
        both(QStringLiteral("AlreadyClaimedTaxInclusiveAmount"), 0, 0);
        both(QStringLiteral("DifferenceTaxableAmount"), r.baseCents, base);
        both(QStringLiteral("DifferenceTaxAmount"), r.taxCents, tax);
        both(QStringLiteral("DifferenceTaxInclusiveAmount"), r.baseCents + r.taxCents, base + tax);
        w.start(QStringLiteral("TaxCategory"));
        w.text(QStringLiteral("Percent"), QString::number(vat ? r.percent : 0));
        w.text(QStringLiteral("VATApplicable"),
               vat ? QStringLiteral("true") : QStringLiteral("false"));
        w.end();
        w.end();
    }
    if (foreign)
        w.text(QStringLiteral("TaxAmountCurr"), Amount(figures.Tax));
    w.text(QStringLiteral("TaxAmount"), Amount(localTax));
    w.end();

    const auto total = [&](const QString& name, qint64 documentCents, qint64 localCents) {
        w.text(name, Amount(localCents));
        if (foreign)
            w.text(name + QStringLiteral("Curr"), Amount(documentCents));
    };
    w.start(QStringLiteral("LegalMonetaryTotal"));
    // The cash rounding to whole crowns (only in crowns) is outside the tax base: the amount
    // payable is the total plus the rounding, as the printed document asks for it.
    const qint64 rounding = figures.Due.Rounding;
    total(QStringLiteral("TaxExclusiveAmount"), figures.Base, localBase);
    total(QStringLiteral("TaxInclusiveAmount"), figures.Total, localBase + localTax);
    total(QStringLiteral("AlreadyClaimedTaxExclusiveAmount"), 0, 0);
    total(QStringLiteral("AlreadyClaimedTaxInclusiveAmount"), 0, 0);
    total(QStringLiteral("DifferenceTaxExclusiveAmount"), figures.Base, localBase);
    total(QStringLiteral("DifferenceTaxInclusiveAmount"), figures.Total, localBase + localTax);
    if (rounding != 0)
        total(QStringLiteral("PayableRoundingAmount"), rounding, rounding);
    total(QStringLiteral("PaidDepositsAmount"), 0, 0);
    total(QStringLiteral("PayableAmount"), figures.Total + rounding,
          localBase + localTax + rounding);
    w.end();

    // Payment by bank transfer names the account; cash names the document. The tax document of
    // a received payment names how it was paid and asks for nothing (no due date, no account).
    const QString account = TrimText(d.Ucet);
    const bool cash = IsCashPayment(f.FormaUhrady);
    const bool received = kind == DocumentKind::DanovyDoklad;
    if (cash || !account.isEmpty() || !TrimText(d.IBAN).isEmpty()) {
        w.start(QStringLiteral("PaymentMeans"));
        w.start(QStringLiteral("Payment"));
        w.text(QStringLiteral("PaidAmount"), Amount(localBase + localTax + rounding));
        w.text(QStringLiteral("PaymentMeansCode"),
               cash ? QStringLiteral("10") : QStringLiteral("42"));
        if (!received)
            w.start(QStringLiteral("Details"));
        if (cash && !received) {
            w.text(QStringLiteral("DocumentID"), TrimText(f.Cislo));
            w.text(QStringLiteral("IssueDate"), IsoDate(f.DatumVystaveni));
        } else if (!received) {
            const qsizetype slash = account.indexOf(QLatin1Char('/'));
            w.text(QStringLiteral("PaymentDueDate"),
                   IsoDate(f.DatumSplatnosti.isValid() ? f.DatumSplatnosti : f.DatumVystaveni));
            w.text(QStringLiteral("ID"), slash >= 0 ? TrimText(account.left(slash)) : account);
            w.text(QStringLiteral("BankCode"),
                   slash >= 0 ? TrimText(account.mid(slash + 1)) : QString());
            w.text(QStringLiteral("Name"), TrimText(d.Banka));
            w.text(QStringLiteral("IBAN"), StripSpaces(d.IBAN));
            w.text(QStringLiteral("BIC"), TrimText(d.BIC));
            if (!TrimText(f.Symbol).isEmpty())
                w.text(settings.TypSymbolu == SymbolType::Constant
                           ? QStringLiteral("ConstantSymbol")
                           : QStringLiteral("VariableSymbol"),
                       TrimText(f.Symbol));
        }
        if (!received)
            w.end();
        w.end();
        w.end();
    }
    w.end();
    xml.writeEndDocument();
    return bytes;
}

void SaveIsdocInvoice(const QString& path, DocumentKind kind, const InvoiceSnapshot& invoice,
                      const AppSettings& settings) {
    const QByteArray bytes = BuildIsdocInvoice(kind, invoice, settings);
    if (!WriteFileAtomically(path, bytes))
        throw FileError(QStringLiteral("Soubor „%1“ nelze zapsat.").arg(path));
}

} // namespace tarvela
