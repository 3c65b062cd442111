#include "printing/reminder.h"

#include "printing/invoice_documents.h"
#include "printing/money.h"
#include "printing/qr_payment.h"
#include "text/dates.h"
#include "text/helpers.h"

namespace tarvela {

QString ReminderTemplate() {
    return QStringLiteral("Ses/Upominka.fr3");
}

QString ReminderTitle(const QString& number) {
    return QStringLiteral("Upomínka k faktuře ") + number;
}

PrintVariables ReminderVariables(const InvoiceRecord& invoice, const BookEntry& entry,
                                 const AppSettings& settings, const QDate& today) {
    const SupplierData& d = settings.Dodavatel;
    const BookStatus status = EntryStatus(entry, today);
    const QString owed = FormatHalere(Outstanding(entry));

    PrintVariables v;
    AddSupplierVariables(v, d);
    v.add(QStringLiteral("OdberatelNazev1"), invoice.OdberatelNazev1);
    v.add(QStringLiteral("OdberatelNazev2"), invoice.OdberatelNazev2);
    v.add(QStringLiteral("OdberatelUliceCislo"), invoice.OdberatelUliceCislo);
    v.add(QStringLiteral("OdberatelPSC"), invoice.OdberatelPSC);
    v.add(QStringLiteral("OdberatelMesto"), invoice.OdberatelMesto);
    v.add(QStringLiteral("OdberatelIC"), invoice.OdberatelIC);
    v.add(QStringLiteral("Datum"), FormatInvoiceDate(today));
    v.add(QStringLiteral("CisloDokladu"), entry.Cislo);
    v.add(QStringLiteral("DatumVystaveni"), entry.DatumVystaveni);
    v.add(QStringLiteral("DatumSplatnosti"), entry.DatumSplatnosti);
    v.add(QStringLiteral("DnuPoSplatnosti"), QString::number(status.DaysOverdue));
    v.add(QStringLiteral("PoSplatnosti"), DaysText(status.DaysOverdue));
    v.add(QStringLiteral("Mena"), entry.Mena);
    v.add(QStringLiteral("Castka"), FormatHalere(entry.Celkem));
    v.add(QStringLiteral("Uhrazeno"), FormatHalere(PaidAmount(entry)));
    v.add(QStringLiteral("Zbyva"), owed);
    v.add(QStringLiteral("PopiskaSymbol"), SymbolLabel(settings.TypSymbolu));
    v.add(QStringLiteral("Symbol"), invoice.Symbol);

    // The code asks for what is still owed, in the invoice's currency, with its symbol and the
    // message of its "msg" row, by the same rules as the invoice's own code.
    InvoiceSnapshot snapshot;
    snapshot.fields = invoice;
    snapshot.fields.Mena = entry.Mena;
    const QrPayment qr = InvoiceQrPayment(snapshot, settings, owed);
    v.add(QStringLiteral("QRCode"), qr.Text);
    v.add(QStringLiteral("QRDuvod"), qr.Reason);
    v.add(QStringLiteral("NazevSouboru"), QStringLiteral("Upominka ") + entry.Cislo);
    return v;
}

} // namespace tarvela
