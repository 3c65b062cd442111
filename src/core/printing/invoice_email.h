#pragma once

#include "printing/invoice_documents.h"
#include "settings/settings_file.h"

#include <QString>
#include <QStringList>

namespace tarvela {

// The e-mail that carries a document of an invoice to the customer through the desktop's mail
// client (xdg-email): a subject and a body naming the document, and the files attached.

// "Faktura 2026001 – Truhlářství Dvořák s.r.o." (the supplier's name left out when it is blank).
QString InvoiceEmailSubject(DocumentKind kind, const InvoiceRecord& fields,
                            const AppSettings& settings);

// A short Czech letter: which document is attached, its total and due date where the kind has
// them, a sentence about the e-invoice when one is attached, and the supplier's name.
// totalCaption is the total as the window shows it ("488,00").
QString InvoiceEmailBody(DocumentKind kind, const InvoiceRecord& fields,
                         const AppSettings& settings, const QString& totalCaption, bool withIsdoc);

// The name of an attachment: a fixed word of the kind and the invoice number's digits only
// ("Faktura-2026001.pdf", "DodaciList-2026001.pdf"), so that nothing but ASCII letters, digits,
// "-" and "." reaches the mail client's command line, which xdg-email builds without quoting.
// The number is checked first (ValidateInvoiceNumber: ValidationError).
QString EmailAttachmentName(DocumentKind kind, const QString& number, const QString& extension);

// The arguments of xdg-email: --subject, --body and one --attach per file.
QStringList MailClientArguments(const QString& subject, const QString& body,
                                const QStringList& attachments);

// What the user is told when xdg-email cannot be found (kMailClientMissing), crashes
// (kMailClientCrashed) or ends with exitCode; the attachments stay in `folder`, which the message
// names.
inline constexpr int kMailClientMissing = -1;
inline constexpr int kMailClientCrashed = -2;
QString MailClientFailure(int exitCode, const QString& folder);

} // namespace tarvela
