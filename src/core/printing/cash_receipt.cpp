#include "printing/cash_receipt.h"

#include "printing/invoice_documents.h"
#include "text/dates.h"

namespace tarvela {

QString CashReceiptTemplate() {
    return QStringLiteral("Ses/PrijmovyDoklad.fr3");
}

QString CashReceiptTitle() {
    return QStringLiteral("Příjmový doklad");
}

PrintVariables CashReceiptVariables(const InvoiceSnapshot& invoice, const AppSettings& settings) {
    const InvoiceRecord& f = invoice.fields;
    const SupplierData& d = settings.Dodavatel;
    const QString payer = PayerName(f);

    PrintVariables v;
    v.add(QStringLiteral("DodavJmeno"), d.Jmeno);
    v.add(QStringLiteral("DodavNazev"), d.Nazev);
    v.add(QStringLiteral("DodavUlice"), d.Ulice);
    v.add(QStringLiteral("DodavMesto"), d.Mesto);
    v.add(QStringLiteral("DodavEmail"), d.Email);
    v.add(QStringLiteral("DodavTel"), QStringLiteral("Tel: ") + d.Tel);
    v.add(QStringLiteral("DodavIC"), QStringLiteral("IČ: ") + d.ICO);
    v.add(QStringLiteral("DodavDIC"), QStringLiteral("DIČ: ") + d.DIC);
    v.add(QStringLiteral("CisloDokladu"), f.Cislo);
    v.add(QStringLiteral("Datum"), FormatInvoiceDate(f.DatumVystaveni));
    v.add(QStringLiteral("Mena"), f.Mena);
    v.add(QStringLiteral("Prijem"), payer);
    v.add(QStringLiteral("Castka"), invoice.CelkemFaktura);
    v.add(QStringLiteral("CastkaSlovy"), AmountInWordsText(invoice.CelkemFaktura));
    v.add(QStringLiteral("UcelPlatby"), QStringLiteral("Úhrada faktury ") + f.Cislo);
    v.add(QStringLiteral("Symbol"), f.Symbol);
    v.add(QStringLiteral("Pokladnik"), d.Osoba);
    v.add(QStringLiteral("JmenoPlatce"), payer);
    return v;
}

} // namespace tarvela
