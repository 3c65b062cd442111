#include "printing/cash_receipt.h"

#include "money/invoice_figures.h"
#include "printing/document_rules.h"
#include "printing/invoice_documents.h"
#include "printing/money.h"
#include "text/dates.h"
#include "text/helpers.h"

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
    // A cash receipt in crowns asks for whole crowns.
    const DocumentKind kind = DocumentKind::PrijmovyDokladSRozpisem;
    const InvoiceFigures figures = ComputeInvoiceFigures(f, settings, kind);
    const AmountDue& due = figures.Due;

    PrintVariables v;
    v.add(QStringLiteral("DodavJmeno"), d.Jmeno);
    v.add(QStringLiteral("DodavNazev"), d.Nazev);
    v.add(QStringLiteral("DodavUlice"), d.Ulice);
    v.add(QStringLiteral("DodavMesto"), d.Mesto);
    v.add(QStringLiteral("DodavEmail"), d.Email);
    v.add(QStringLiteral("DodavTel"), QStringLiteral("Tel: ") + d.Tel);
    v.add(QStringLiteral("DodavIC"), QStringLiteral("IČ: ") + d.ICO);
    // No empty "DIČ:" line for a supplier without one.
    v.add(QStringLiteral("DodavDIC"),
          TrimText(d.DIC).isEmpty() ? QString() : QStringLiteral("DIČ: ") + d.DIC);
    v.add(QStringLiteral("CisloDokladu"), f.Cislo);
    v.add(QStringLiteral("Datum"), FormatInvoiceDate(f.DatumVystaveni));
    v.add(QStringLiteral("Mena"), f.Mena);
    v.add(QStringLiteral("Prijem"), payer);
    v.add(QStringLiteral("Castka"), FormatHalere(figures.Total));
    v.add(QStringLiteral("CastkaSlovy"), AmountDueInWords(due.Due, DocumentCurrency(f, settings)));
    v.add(QStringLiteral("UcelPlatby"), QStringLiteral("Úhrada faktury ") + f.Cislo);
    v.add(QStringLiteral("Symbol"), f.Symbol);
    v.add(QStringLiteral("Pokladnik"), d.Osoba);
    v.add(QStringLiteral("JmenoPlatce"), payer);

    // What makes the receipt a simplified tax document: both parties' identification, the
    // date of taxable supply and the tax.
    v.add(QStringLiteral("DodavICO"), d.ICO);
    v.add(QStringLiteral("DodavDICO"), d.DIC);
    v.add(QStringLiteral("OdberatelIC"), f.OdberatelIC);
    v.add(QStringLiteral("OdberatelDIC"), f.OdberatelDIC);
    v.add(QStringLiteral("DatumPlneni"), FormatInvoiceDate(f.DatumPlneni));
    v.add(QStringLiteral("PlatceDPH"), BoolToDigit(settings.Platce));
    AddDocumentRuleVariables(v, kind, invoice, settings, figures, CashReceiptFileName(f.Cislo));
    return v;
}

} // namespace tarvela
