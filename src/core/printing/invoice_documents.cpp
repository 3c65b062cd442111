#include "printing/invoice_documents.h"

#include "printing/qr_payment.h"
#include "printing/report_data_set.h"
#include "text/amount_text.h"
#include "text/amount_words.h"
#include "text/dates.h"
#include "text/helpers.h"

#include <stdexcept>

namespace tarvela {

namespace {

using Type = ReportDataSet::ColumnType;

QString SymbolLabel(SymbolType type) {
    switch (type) {
    case SymbolType::Constant:
        return QStringLiteral("Specifický symbol:");
    case SymbolType::Variable:
        return QStringLiteral("Variabilní symbol:");
    }
    return QString();
}

} // namespace

DocumentKind DocumentKindFromActionName(const QString& actionName) {
    static const QString prefix = QStringLiteral("Akce_TiskFaktury");
    if (actionName.startsWith(prefix)) {
        bool ok = false;
        const int number = actionName.mid(prefix.size(), 2).toInt(&ok);
        for (const DocumentKind kind : kDocumentKinds) {
            if (ok && static_cast<int>(kind) == number)
                return kind;
        }
    }
    throw std::invalid_argument("not a print action: " + actionName.toStdString());
}

QString DocumentTitle(DocumentKind kind, bool vatPayer) {
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
        return QStringLiteral("Příjmový doklad");
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

qint32 WholePartOfTotal(const QString& totalCaption) {
    QString text = totalCaption.isEmpty() ? QStringLiteral("0") : totalCaption;
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0)
        text.truncate(comma);
    return ParseWholeLenient(text);
}

QString AmountInWordsText(const QString& totalCaption) {
    // From ten million on the words are the digits themselves; a total beyond 32 bits keeps all
    // of its digits instead of reading as zero.
    QString whole = totalCaption;
    const qsizetype comma = whole.indexOf(QLatin1Char(','));
    if (comma >= 0)
        whole.truncate(comma);
    whole.remove(QLatin1Char(' '));
    if (whole.size() > 9 && IsDigitsOnly(whole.startsWith(QLatin1Char('-')) ? whole.mid(1) : whole))
        return QLatin1Char('=') + whole + QLatin1Char('=');
    return QLatin1Char('=') + AmountInWords(WholePartOfTotal(totalCaption)) + QLatin1Char('=');
}

PrintVariables InvoiceDocumentVariables(DocumentKind kind, const InvoiceSnapshot& invoice,
                                        const AppSettings& settings) {
    const InvoiceRecord& f = invoice.fields;
    const SupplierData& d = settings.Dodavatel;
    const QString payer = PayerName(f);

    PrintVariables v;
    v.add(QStringLiteral("Nazev1"), DocumentTitle(kind, settings.Platce));
    v.add(QStringLiteral("Nazev2"), DocumentNumberLabel(kind));

    v.add(QStringLiteral("DodavNazev"), d.Nazev);
    v.add(QStringLiteral("DodavJmeno"), d.Jmeno);
    v.add(QStringLiteral("DodavUlice"), d.Ulice);
    v.add(QStringLiteral("DodavMesto"), d.Mesto);
    v.add(QStringLiteral("DodavIC"), d.ICO);
    v.add(QStringLiteral("DodavDIC"), d.DIC);
    v.add(QStringLiteral("DodavRegistrace"), d.Registrace);
    v.add(QStringLiteral("DodavBanka"), d.Banka);
    v.add(QStringLiteral("DodavUcet"), d.Ucet);
    v.add(QStringLiteral("DodavIBAN"), d.IBAN);
    v.add(QStringLiteral("DodavBIC"), d.BIC);
    v.add(QStringLiteral("DodavTel"), d.Tel);
    v.add(QStringLiteral("DodavFax"), d.Fax);
    v.add(QStringLiteral("DodavEmail"), d.Email);
    v.add(QStringLiteral("DodavWWW"), d.WWW);
    v.add(QStringLiteral("DodavOsoba"), d.Osoba);

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
    v.add(QStringLiteral("FormaUhrady"), f.FormaUhrady);
    v.add(QStringLiteral("DatumPlneni"), FormatInvoiceDate(f.DatumPlneni));
    v.add(QStringLiteral("DatumVystaveni"), FormatInvoiceDate(f.DatumVystaveni));
    v.add(QStringLiteral("DatumSplatnosti"), FormatInvoiceDate(f.DatumSplatnosti));
    v.add(QStringLiteral("Mena"), f.Mena);
    v.add(QStringLiteral("Prijem"), payer);
    v.add(QStringLiteral("Castka"), invoice.CelkemFaktura);
    v.add(QStringLiteral("CastkaSlovy"), kind == DocumentKind::PrijmovyDokladSRozpisem
                                             ? AmountInWordsText(invoice.CelkemFaktura)
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
    v.add(QStringLiteral("CelkemBezDPH"), invoice.SACelkem);
    v.add(QStringLiteral("CelkemDPH1"), invoice.SADPH1);
    v.add(QStringLiteral("CelkemDPH2"), invoice.SADPH2);
    v.add(QStringLiteral("CelkemDPH3"), invoice.SADPH3);
    v.add(QStringLiteral("Uhrnem"), invoice.CelkemFaktura);
    v.add(QStringLiteral("Komentar1"), f.Komentar1);
    v.add(QStringLiteral("Komentar2"), f.Komentar2);
    v.add(QStringLiteral("QRCode"), QrPaymentText(invoice, settings));
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
        const double base = invoice.Base[static_cast<std::size_t>(i)];
        dataSet.appendRow({QString::number(i + 1), row.Kod, row.Dodavka, row.MJ, row.PocetMJ,
                           row.Cena, row.DPH, base == 0.0 ? QString() : FormatAmount(base)});
    }
}

} // namespace tarvela
