#include "printing/invoice_documents.h"

#include "money/invoice_figures.h"
#include "printing/document_rules.h"
#include "printing/money.h"
#include "printing/qr_payment.h"
#include "printing/report_data_set.h"
#include "text/amount_text.h"
#include "text/dates.h"
#include "text/helpers.h"

#include <stdexcept>

namespace tarvela {

QString SymbolLabel(SymbolType type) {
    switch (type) {
    case SymbolType::Constant:
        return QStringLiteral("Konstantní symbol:");
    case SymbolType::Variable:
        return QStringLiteral("Variabilní symbol:");
    }
    return QString();
}

namespace {

using Type = ReportDataSet::ColumnType;

// The caption of the date of supply for each kind; empty where the document has none.
QString SupplyDateLabel(DocumentKind kind, bool taxDocument) {
    switch (kind) {
    case DocumentKind::ProformaFaktura:
    case DocumentKind::CenovaNabidka:
        return QString();
    case DocumentKind::DanovyDoklad:
        return QStringLiteral("Datum přijetí úplaty:");
    case DocumentKind::DodaciList:
        return QStringLiteral("Datum dodání:");
    case DocumentKind::Faktura:
    case DocumentKind::Dobropis:
    case DocumentKind::PrijmovyDokladSRozpisem:
        break;
    }
    return taxDocument ? QStringLiteral("Datum zdanitelného plnění:")
                       : QStringLiteral("Datum plnění:");
}

QString Subtitle(DocumentKind kind, bool vatPayer, bool simplified) {
    switch (kind) {
    case DocumentKind::ProformaFaktura:
        return QStringLiteral("Nejedná se o daňový doklad");
    case DocumentKind::DanovyDoklad:
        return QStringLiteral("Daňový doklad k přijaté platbě");
    case DocumentKind::Dobropis:
        return vatPayer ? QStringLiteral("Opravný daňový doklad")
                        : QStringLiteral("Opravný doklad");
    case DocumentKind::PrijmovyDokladSRozpisem:
        if (!vatPayer)
            return QString();
        return simplified ? QStringLiteral("Zjednodušený daňový doklad")
                          : QStringLiteral("Daňový doklad");
    case DocumentKind::Faktura:
    case DocumentKind::DodaciList:
    case DocumentKind::CenovaNabidka:
        break;
    }
    return QString();
}

QString AmountDueLabel(DocumentKind kind, qint64 due) {
    switch (kind) {
    case DocumentKind::ProformaFaktura:
        return QStringLiteral("Záloha k úhradě");
    case DocumentKind::DanovyDoklad:
        return QStringLiteral("Přijatá úplata");
    case DocumentKind::CenovaNabidka:
        return QStringLiteral("Celková cena");
    case DocumentKind::PrijmovyDokladSRozpisem:
        return due < 0 ? QStringLiteral("Vráceno") : QStringLiteral("Přijato");
    case DocumentKind::DodaciList:
        return QString();
    case DocumentKind::Faktura:
    case DocumentKind::Dobropis:
        break;
    }
    return due < 0 ? QStringLiteral("K vrácení") : QStringLiteral("Celkem k úhradě");
}

} // namespace

QString DocumentTitle(DocumentKind kind, bool vatPayer, bool payout) {
    switch (kind) {
    case DocumentKind::Faktura:
        return vatPayer ? QStringLiteral("FAKTURA - DAŇOVÝ DOKLAD") : QStringLiteral("FAKTURA");
    case DocumentKind::ProformaFaktura:
        return QStringLiteral("PROFORMA FAKTURA");
    case DocumentKind::DanovyDoklad:
        return QStringLiteral("DAŇOVÝ DOKLAD");
    case DocumentKind::Dobropis:
        return QStringLiteral("DOBROPIS");
    case DocumentKind::DodaciList:
        return QStringLiteral("DODACÍ LIST");
    case DocumentKind::CenovaNabidka:
        return QStringLiteral("CENOVÁ NABÍDKA");
    case DocumentKind::PrijmovyDokladSRozpisem:
        return payout ? QStringLiteral("Výdajový doklad") : QStringLiteral("Příjmový doklad");
    }
    throw std::invalid_argument("unknown document kind");
}

QString DocumentNumberLabel(DocumentKind kind) {
    switch (kind) {
    case DocumentKind::Faktura:
    case DocumentKind::ProformaFaktura:
        return QStringLiteral("Číslo faktury:");
    case DocumentKind::DanovyDoklad:
    case DocumentKind::Dobropis:
    case DocumentKind::PrijmovyDokladSRozpisem:
        return QStringLiteral("Číslo dokladu:");
    case DocumentKind::DodaciList:
        return QStringLiteral("Číslo dodacího listu:");
    case DocumentKind::CenovaNabidka:
        return QStringLiteral("Kód nabídky:");
    }
    throw std::invalid_argument("unknown document kind");
}

QString DocumentTemplate(DocumentKind kind) {
    switch (kind) {
    case DocumentKind::Faktura:
    case DocumentKind::ProformaFaktura:
    case DocumentKind::DanovyDoklad:
    case DocumentKind::Dobropis:
        return QStringLiteral("Ses/Faktura.fr3");
    case DocumentKind::DodaciList:
        return QStringLiteral("Ses/DodaciList.fr3");
    case DocumentKind::CenovaNabidka:
        return QStringLiteral("Ses/CenovaNabidka.fr3");
    case DocumentKind::PrijmovyDokladSRozpisem:
        return QStringLiteral("Ses/PrijmovyDoklad2.fr3");
    }
    throw std::invalid_argument("unknown document kind");
}

QString PayerName(const QString& responsiblePerson, const QString& customerName1) {
    return TrimText(responsiblePerson).isEmpty() ? customerName1 : responsiblePerson;
}

QString PayerName(const InvoiceRecord& fields) {
    return PayerName(fields.OdberatelOdpovedOsoba, fields.OdberatelNazev1);
}

void AddDocumentRuleVariables(PrintVariables& v, DocumentKind kind, const InvoiceSnapshot& invoice,
                              const AppSettings& settings, const InvoiceFigures& figures,
                              const QString& fileName, bool payout) {
    const InvoiceRecord& f = invoice.fields;
    const AmountDue& due = figures.Due;
    const bool taxDocument = IsTaxDocument(kind, settings);
    const bool foreign = figures.Foreign;
    const bool simplified = IsSimplifiedTaxDocument(kind, settings, DocumentFiguresOf(figures));
    // A payout prints every figure as a positive amount paid out.
    const auto shown = [payout](qint64 halere) { return FormatHalere(payout ? -halere : halere); };

    v.add(QStringLiteral("DanovyDoklad"), BoolToDigit(taxDocument));
    v.add(QStringLiteral("Podtitul"), Subtitle(kind, settings.Platce, simplified));
    v.add(QStringLiteral("ZjednodusenyDoklad"), BoolToDigit(simplified));
    v.add(QStringLiteral("UplnyDanovyDoklad"),
          BoolToDigit(kind == DocumentKind::PrijmovyDokladSRozpisem && settings.Platce &&
                      !simplified));
    v.add(QStringLiteral("PopiskaDatumPlneni"), SupplyDateLabel(kind, taxDocument));
    v.add(QStringLiteral("FormaUhradyKod"), f.FormaUhrady);
    v.add(QStringLiteral("PopiskaCena"),
          settings.Platce ? QStringLiteral("Cena MJ bez DPH") : QStringLiteral("Cena MJ"));

    // The amount asked for or returned, always as a positive figure beside its caption.
    v.add(QStringLiteral("PopiskaCelkem"), AmountDueLabel(kind, due.Due));
    v.add(QStringLiteral("CastkaKUhrade"), FormatHalere(due.Due < 0 ? -due.Due : due.Due));
    v.add(QStringLiteral("Zaokrouhleni"), due.Rounding != 0 ? shown(due.Rounding) : QString());

    // Recap per rate: the document model's sums, every rate with a base or a tax once, highest
    // first; the bases by the rate cell's slot as the totals panel has them.
    v.add(QStringLiteral("ZakladDPH0"), shown(figures.SlotBase[0]));
    for (int s = 1; s <= 3; ++s)
        v.add(QStringLiteral("ZakladDPH%1").arg(s),
              shown(figures.SlotBase[static_cast<std::size_t>(s)]));
    v.add(QStringLiteral("CelkemDPH"), shown(figures.Tax));
    QList<RateFigures> lines;
    for (const RateFigures& r : figures.Rates) {
        if (r.Base != 0 || r.Tax != 0)
            lines.append(r);
    }
    const bool inCrowns = figures.InCrowns && taxDocument;
    bool zeroBase = false;
    for (int i = 0; i < 4; ++i) {
        const bool has = i < lines.size();
        const RateFigures line = has ? lines[i] : RateFigures{};
        const QString n = QString::number(i + 1);
        v.add(QStringLiteral("RekapSazba") + n, has ? QString::number(line.Percent) : QString());
        v.add(QStringLiteral("RekapZaklad") + n, has ? shown(line.Base) : QString());
        v.add(QStringLiteral("RekapDPH") + n, has ? shown(line.Tax) : QString());
        v.add(QStringLiteral("RekapDPHCZK") + n, inCrowns && has ? shown(line.TaxCzk) : QString());
        if (has && line.Percent == 0 && line.Base != 0)
            zeroBase = true;
    }
    v.add(QStringLiteral("PoznamkaOsvobozeni"),
          taxDocument && zeroBase ? settings.PoznamkaOsvobozeni : QString());

    // Another currency: the rate the user typed and its date; a payer's tax in crowns.
    v.add(QStringLiteral("CiziMena"), BoolToDigit(foreign));
    v.add(QStringLiteral("Kurz"), foreign ? f.Kurz : QString());
    v.add(QStringLiteral("DatumKurzu"), foreign ? f.DatumKurzu : QString());
    v.add(QStringLiteral("CelkemDPHCZK"), inCrowns ? shown(figures.TaxCzk) : QString());

    // A credit note names what it corrects and why.
    const bool creditNote = kind == DocumentKind::Dobropis;
    v.add(QStringLiteral("OpravovanyDoklad"), creditNote ? f.OpravovanyDoklad : QString());
    v.add(QStringLiteral("DuvodOpravy"), creditNote ? f.DuvodOpravy : QString());

    v.add(QStringLiteral("NazevSouboru"), fileName);
}

PrintVariables InvoiceDocumentVariables(DocumentKind kind, const InvoiceSnapshot& invoice,
                                        const AppSettings& settings) {
    const InvoiceRecord& f = invoice.fields;
    const SupplierData& d = settings.Dodavatel;
    const QString payer = PayerName(f);
    const QString currency = DocumentCurrency(f, settings);
    const InvoiceFigures figures = ComputeInvoiceFigures(f, settings, kind);
    const AmountDue& due = figures.Due;

    // The date of supply: none on a pro-forma; on an offer the expected date of supply; on the
    // tax document of a received payment the day it was received (the payment date, else the
    // date of supply).
    QString supplyDate = FormatInvoiceDate(f.DatumPlneni);
    if (kind == DocumentKind::ProformaFaktura)
        supplyDate.clear();
    if (kind == DocumentKind::DanovyDoklad && !TrimText(f.DatumUhrady).isEmpty())
        supplyDate = TrimText(f.DatumUhrady);
    // The tax document of a received payment is issued for money already received: it has no
    // due date.
    const QString dueDate =
        kind == DocumentKind::DanovyDoklad ? QString() : FormatInvoiceDate(f.DatumSplatnosti);

    // The tax document of a received payment asks for nothing more, so it has no payment code.
    QrPayment qr;
    if (kind == DocumentKind::DanovyDoklad)
        qr.Reason =
            QStringLiteral("QR Platba není: daňový doklad k přijaté platbě k platbě nevyzývá.");
    else if (kind == DocumentKind::DodaciList)
        qr.Reason = QStringLiteral("QR Platba není: dodací list k platbě nevyzývá.");
    else
        qr = InvoiceQrPayment(invoice, settings, FormatHalere(due.Due));

    // A receipt with items of a negative amount pays money out: titled and signed as such.
    const bool payout =
        kind == DocumentKind::PrijmovyDokladSRozpisem && IsCashPayout(DocumentFiguresOf(figures));

    PrintVariables v;
    v.add(QStringLiteral("Nazev1"), DocumentTitle(kind, settings.Platce, payout));
    v.add(QStringLiteral("Nazev2"), DocumentNumberLabel(kind));

    AddSupplierVariables(v, d);

    v.add(QStringLiteral("OdberatelKod"), f.OdberatelKod);
    v.add(QStringLiteral("OdberatelNazev1"), f.OdberatelNazev1);
    v.add(QStringLiteral("OdberatelNazev2"), f.OdberatelNazev2);
    v.add(QStringLiteral("OdberatelOdpovedOsoba"), f.OdberatelOdpovedOsoba);
    v.add(QStringLiteral("OdberatelUliceCislo"), f.OdberatelUliceCislo);
    v.add(QStringLiteral("OdberatelPSC"), f.OdberatelPSC);
    v.add(QStringLiteral("OdberatelMesto"), f.OdberatelMesto);
    v.add(QStringLiteral("OdberatelIC"), f.OdberatelIC);
    v.add(QStringLiteral("OdberatelDIC"), f.OdberatelDIC);

    v.add(QStringLiteral("CisloDokladu"), f.Cislo);
    v.add(QStringLiteral("Symbol"), f.Symbol);
    v.add(QStringLiteral("Objednavka"), f.Objednavka);
    v.add(QStringLiteral("Prijemce"), f.Prijemce);
    v.add(QStringLiteral("MistoVyskladneni"), f.MistoVyskladneni);
    v.add(QStringLiteral("FormaUhrady"), PaymentFormWords(f.FormaUhrady));
    v.add(QStringLiteral("DatumPlneni"), supplyDate);
    v.add(QStringLiteral("DatumVystaveni"), FormatInvoiceDate(f.DatumVystaveni));
    v.add(QStringLiteral("DatumSplatnosti"), dueDate);
    v.add(QStringLiteral("Mena"), currency); // an empty field prints the default currency
    v.add(QStringLiteral("Prijem"), payer);
    v.add(QStringLiteral("Castka"), FormatHalere(figures.Total));
    v.add(QStringLiteral("CastkaSlovy"),
          kind == DocumentKind::PrijmovyDokladSRozpisem
              ? AmountDueInWords(due.Due < 0 ? -due.Due : due.Due, currency)
              : QString());
    v.add(QStringLiteral("UcelPlatby"), QStringLiteral("Úhrada faktury ") + f.Cislo);
    v.add(QStringLiteral("JmenoPlatce"), payer);
    const QString symbolLabel = SymbolLabel(settings.TypSymbolu);
    if (!symbolLabel.isEmpty())
        v.add(QStringLiteral("PopiskaSymbol"), symbolLabel);
    v.add(QStringLiteral("PlatceDPH"), BoolToDigit(settings.Platce));
    v.add(QStringLiteral("SazbaDPH1"), QString::number(settings.SazbaDPH1));
    v.add(QStringLiteral("SazbaDPH2"), QString::number(settings.SazbaDPH2));
    v.add(QStringLiteral("SazbaDPH3"), QString::number(settings.SazbaDPH3));
    v.add(QStringLiteral("CelkemBezDPH"), FormatHalere(figures.Base));
    v.add(QStringLiteral("CelkemDPH1"), FormatHalere(figures.SlotTax[1]));
    v.add(QStringLiteral("CelkemDPH2"), FormatHalere(figures.SlotTax[2]));
    v.add(QStringLiteral("CelkemDPH3"), FormatHalere(figures.SlotTax[3]));
    v.add(QStringLiteral("Uhrnem"), FormatHalere(figures.Total));
    v.add(QStringLiteral("Komentar1"), f.Komentar1);
    v.add(QStringLiteral("Komentar2"), f.Komentar2);
    v.add(QStringLiteral("QRCode"), qr.Text);
    AddDocumentRuleVariables(v, kind, invoice, settings, figures,
                             DocumentFileName(kind, f.Cislo, payout));
    v.add(QStringLiteral("QRDuvod"), qr.Reason);
    if (kind == DocumentKind::PrijmovyDokladSRozpisem) {
        v.add(QStringLiteral("PopiskaOsoba"),
              payout ? QStringLiteral("Vyplaceno komu:") : QStringLiteral("Přijato od:"));
        v.add(QStringLiteral("PopiskaPokladnik"), payout ? QStringLiteral("Vyplatil (pokladník):")
                                                         : QStringLiteral("Přijal (pokladník):"));
        v.add(QStringLiteral("PopiskaPlatce"),
              payout ? QStringLiteral("Převzal:") : QStringLiteral("Zaplatil:"));
    }
    return v;
}

void ResetDataSet(ReportDataSet& dataSet) {
    if (dataSet.isOpen())
        dataSet.close();
    dataSet.clearColumns();
}

void FillInvoiceItems(ReportDataSet& dataSet, DocumentKind kind, const InvoiceSnapshot& invoice) {
    ResetDataSet(dataSet);
    dataSet.addColumn(QStringLiteral("Id"), Type::AutoIncrement);
    dataSet.addColumn(QStringLiteral("Kod"), Type::Text, 50);
    dataSet.addColumn(QStringLiteral("Dodavka"), Type::Text, 255);
    dataSet.addColumn(QStringLiteral("MJ"), Type::Text, 10);
    dataSet.addColumn(QStringLiteral("PocetMJ"), Type::Text, 10);
    dataSet.addColumn(QStringLiteral("Cena"), Type::Text, 15);
    dataSet.addColumn(QStringLiteral("DPH"), Type::Text, 2);
    dataSet.addColumn(QStringLiteral("Zaklad"), Type::Text, 15);
    dataSet.createAndOpen();

    const bool skipBlank = kind == DocumentKind::PrijmovyDokladSRozpisem;
    for (int i = 0; i < kItemRowCount; ++i) {
        const InvoiceItemRow& row = invoice.fields.Polozky[static_cast<std::size_t>(i)];
        if (skipBlank && TrimText(row.Dodavka).isEmpty())
            continue;
        // The "msg" row carries the payment message of the QR code, not an item: it goes in as
        // an empty row, so the rows keep their numbers and the templates skip it.
        if (IsQrMessageRow(row)) {
            if (!skipBlank)
                dataSet.appendRow({QString::number(i + 1), QString(), QString(), QString(),
                                   QString(), QString(), QString(), QString()});
            continue;
        }
        // The printed row amount is the document model's (it does not depend on the rate).
        const qint64 amount = ComputeRowFigures(row.PocetMJ, row.Cena, {}, VatRates{}).Amount;
        dataSet.appendRow({QString::number(i + 1), row.Kod, row.Dodavka, row.MJ, row.PocetMJ,
                           row.Cena, row.DPH, amount == 0 ? QString() : FormatHalere(amount)});
    }
}

} // namespace tarvela
