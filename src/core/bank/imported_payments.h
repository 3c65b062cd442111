#pragma once

#include "bank/payment_matching.h"

#include <QString>

#include <functional>
#include <map>
#include <vector>

namespace tarvela {

// The record of the payments written into invoices, in the program folder: one line per payment,
// Windows-1250 with CR LF, replaced atomically. A payment it knows is shown as written when a
// statement is imported again, and never written twice.
inline constexpr char kImportedPaymentsFileName[] = "PlatbyZBanky.txt";

// Writes the total paid so far and the payment date into an invoice file (lines 47 and 49).
// The one place where a payment from the bank reaches an invoice file.
void WritePaidAmount(const QString& invoicePath, const QDate& date, qint64 paidHalere);

class ImportedPayments {
public:
    // Reads the record of the program folder. Writes a killed program left half done are settled
    // against the invoice files first: a payment whose invoice file holds what it wrote is
    // written, any other is forgotten (its invoice file is as before). Raises FileError when the
    // record cannot be read or is damaged.
    static ImportedPayments Load(const QString& programFolder);

    bool Contains(const QString& identity) const { return entries_.count(identity) != 0; }
    int Count() const { return static_cast<int>(entries_.size()); }

    // The invoice file a payment was written into (empty when it is not known).
    QString InvoiceOf(const QString& identity) const;

    // Writes the payments: first the record says which writes are under way, then each invoice
    // file is written (WritePaidAmount), then the record says they are done. afterEach is called
    // after each invoice file. A failure leaves every invoice file old or new and the record
    // saying which; it is raised after that.
    void Write(const std::vector<InvoicePayment>& writes,
               const std::function<void()>& afterEach = {});

private:
    struct Entry {
        bool done = false;
        QString invoice; // the invoice file, relative to the program folder when inside it
        QString date;    // line 47 as written
        qint64 paid = 0; // line 49 as written, in haléře
    };

    QString AbsolutePath(const QString& invoice) const;
    QString RelativePath(const QString& path) const;
    bool Settle(); // true when anything was settled
    void Save() const;

    QString programFolder_;
    std::map<QString, Entry> entries_;
};

} // namespace tarvela
