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

QString CashReceiptTitle(bool payout) {
    return payout ? QStringLiteral("Výdajový doklad") : QStringLiteral("Příjmový doklad");
}

bool CashReceiptPaysOut(const InvoiceSnapshot& invoice, const AppSettings& settings) {
    return IsCashPayout(
        DocumentFiguresOf(DocumentKind::PrijmovyDokladSRozpisem, invoice, settings));
}

QString CashReceiptReportTitle(const QString& number, bool payout) {
    const QString n = TrimText(number);
    return n.isEmpty() ? CashReceiptTitle(payout)
                       : CashReceiptTitle(payout) + QStringLiteral(" č. ") + n;
}

PrintVariables CashReceiptVariables(const InvoiceSnapshot& invoice, const AppSettings& settings) {
    const InvoiceRecord& f = invoice.fields;
    const SupplierData& d = settings.Dodavatel;
    const QString payer = PayerName(f);
    // A cash receipt in crowns asks for whole crowns.
    const DocumentKind kind = DocumentKind::PrijmovyDokladSRozpisem;
    const InvoiceFigures figures = ComputeInvoiceFigures(f, settings, kind);
    const AmountDue& due = figures.Due;
    // A negative amount is paid out: the receipt becomes a cash payment out, its figures and
    // words positive.
    const bool payout = IsCashPayout(DocumentFiguresOf(figures));
    const QString currency = DocumentCurrency(f, settings);

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
    v.add(QStringLiteral("Mena"), currency); // an empty field prints the default currency
    v.add(QStringLiteral("Prijem"), payer);
    v.add(QStringLiteral("Castka"), FormatHalere(payout ? -figures.Total : figures.Total));
    v.add(QStringLiteral("CastkaSlovy"), AmountDueInWords(payout ? -due.Due : due.Due, currency));
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
    AddDocumentRuleVariables(v, kind, invoice, settings, figures,
                             CashReceiptFileName(f.Cislo, payout), payout);
    v.add(QStringLiteral("NazevDokladu"), payout ? QStringLiteral("VÝDAJOVÝ POKLADNÍ DOKLAD")
                                                 : QStringLiteral("PŘÍJMOVÝ POKLADNÍ DOKLAD"));
    v.add(QStringLiteral("PopiskaOsoba"),
          payout ? QStringLiteral("Vyplaceno komu:") : QStringLiteral("Přijato od:"));
    v.add(QStringLiteral("PopiskaCastka"),
          payout ? QStringLiteral("Vyplaceno:") : QStringLiteral("Částka:"));
    v.add(QStringLiteral("PopiskaPokladnik"),
          payout ? QStringLiteral("Vyplatil (pokladník):") : QStringLiteral("Přijal (pokladník):"));
    v.add(QStringLiteral("PopiskaPlatce"),
          payout ? QStringLiteral("Převzal:") : QStringLiteral("Zaplatil:"));
    // The customer's name and address, which a full tax document names.
    v.add(QStringLiteral("OdberatelNazev1"), f.OdberatelNazev1);
    v.add(QStringLiteral("OdberatelUliceCislo"), f.OdberatelUliceCislo);
    v.add(QStringLiteral("OdberatelPSC"), f.OdberatelPSC);
    v.add(QStringLiteral("OdberatelMesto"), f.OdberatelMesto);
    return v;
}

} // namespace tarvela
