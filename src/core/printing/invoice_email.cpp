#include "printing/invoice_email.h"

#include "invoice/invoice_store.h"

#include "printing/document_rules.h"
#include "text/dates.h"
#include "text/helpers.h"

#include <QDir>

namespace tarvela {

namespace {

// The document in the accusative, as in "v příloze posíláme fakturu".
QString Accusative(DocumentKind kind) {
    switch (kind) {
    case DocumentKind::Faktura:
        return QStringLiteral("fakturu");
    case DocumentKind::ProformaFaktura:
        return QStringLiteral("proforma fakturu");
    case DocumentKind::DanovyDoklad:
        return QStringLiteral("daňový doklad");
    case DocumentKind::Dobropis:
        return QStringLiteral("dobropis");
    case DocumentKind::DodaciList:
        return QStringLiteral("dodací list");
    case DocumentKind::CenovaNabidka:
        return QStringLiteral("cenovou nabídku");
    case DocumentKind::PrijmovyDokladSRozpisem:
        return QStringLiteral("příjmový doklad");
    }
    return QStringLiteral("doklad");
}

bool HasAmount(DocumentKind kind) {
    return kind != DocumentKind::DodaciList;
}

bool HasDueDate(DocumentKind kind) {
    return kind == DocumentKind::Faktura || kind == DocumentKind::ProformaFaktura;
}

} // namespace

QString InvoiceEmailSubject(DocumentKind kind, const InvoiceRecord& fields,
                            const AppSettings& settings) {
    const QString supplier = TrimText(settings.Dodavatel.Nazev);
    const QString document = DocumentFileName(kind, TrimText(fields.Cislo));
    return supplier.isEmpty() ? document : document + QStringLiteral(" – ") + supplier;
}

QString InvoiceEmailBody(DocumentKind kind, const InvoiceRecord& fields,
                         const AppSettings& settings, const QString& totalCaption, bool withIsdoc) {
    QString sentence = QStringLiteral("v příloze Vám posíláme %1 č. %2")
                           .arg(Accusative(kind), TrimText(fields.Cislo));
    const QString total = TrimText(totalCaption);
    if (HasAmount(kind) && !total.isEmpty())
        sentence +=
            QStringLiteral(" na částku %1 %2").arg(total, DocumentCurrency(fields, settings));
    if (HasDueDate(kind) && fields.DatumSplatnosti.isValid())
        sentence +=
            QStringLiteral(" se splatností %1").arg(FormatInvoiceDate(fields.DatumSplatnosti));
    QStringList lines{QStringLiteral("Dobrý den,"), QString(), sentence + QLatin1Char('.')};
    if (withIsdoc)
        lines << QStringLiteral("Doklad přikládáme také jako elektronickou fakturu ISDOC pro "
                                "import do účetního programu.");
    lines << QString() << QStringLiteral("S pozdravem");
    const QString supplier = TrimText(settings.Dodavatel.Nazev);
    if (!supplier.isEmpty())
        lines << supplier;
    return lines.join(QLatin1Char('\n'));
}

QString EmailAttachmentName(DocumentKind kind, const QString& number, const QString& extension) {
    ValidateInvoiceNumber(number);
    QString word;
    switch (kind) {
    case DocumentKind::Faktura:
        word = QStringLiteral("Faktura");
        break;
    case DocumentKind::ProformaFaktura:
        word = QStringLiteral("ProformaFaktura");
        break;
    case DocumentKind::DanovyDoklad:
        word = QStringLiteral("DanovyDoklad");
        break;
    case DocumentKind::Dobropis:
        word = QStringLiteral("Dobropis");
        break;
    case DocumentKind::DodaciList:
        word = QStringLiteral("DodaciList");
        break;
    case DocumentKind::CenovaNabidka:
        word = QStringLiteral("CenovaNabidka");
        break;
    case DocumentKind::PrijmovyDokladSRozpisem:
        word = QStringLiteral("PrijmovyDoklad");
        break;
    }
    QString digits;
    for (const QChar c : number) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    return word + (digits.isEmpty() ? QString() : QLatin1Char('-') + digits) + extension;
}

QStringList MailClientArguments(const QString& subject, const QString& body,
                                const QStringList& attachments) {
    QStringList arguments{QStringLiteral("--subject"), subject, QStringLiteral("--body"), body};
    for (const QString& file : attachments)
        arguments << QStringLiteral("--attach") << file;
    return arguments;
}

QString MailClientFailure(int exitCode, const QString& folder) {
    QString reason;
    if (exitCode == kMailClientMissing)
        reason = QStringLiteral("Program xdg-email nebyl nalezen, e-mail nelze připravit. "
                                "Nainstalujte balíček xdg-utils.");
    else if (exitCode < 0)
        reason = QStringLiteral("Program xdg-email neočekávaně skončil, e-mail se nepodařilo "
                                "připravit.");
    else if (exitCode == 3)
        reason = QStringLiteral("Není nastaven žádný poštovní program. Nastavte v systému "
                                "výchozí poštovní program a akci opakujte.");
    else if (exitCode == 2 || exitCode == 5)
        reason = QStringLiteral("Poštovní program nemohl přečíst přílohy (xdg-email skončil s "
                                "kódem %1).")
                     .arg(exitCode);
    else
        reason = QStringLiteral("Poštovní program se nepodařilo spustit (xdg-email skončil s "
                                "kódem %1).")
                     .arg(exitCode);
    return reason + QStringLiteral("\r\nPřílohy jsou uložené ve složce „%1“, můžete je připojit "
                                   "ručně.")
                        .arg(QDir::toNativeSeparators(folder));
}

} // namespace tarvela
