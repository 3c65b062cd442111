#pragma once

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

#include <array>
#include <functional>
#include <vector>

namespace tarvela {

class InvoiceStore;

// The nine customer fields of an invoice, lines 10 to 18, in file order.
inline constexpr int kCustomerFieldCount = 9;
using CustomerFields = std::array<QString, kCustomerFieldCount>;

// Indexes into CustomerFields.
enum CustomerField {
    kKod = 0,
    kNazev1 = 1,
    kNazev2 = 2,
    kOdpovedOsoba = 3,
    kUliceCislo = 4,
    kPSC = 5,
    kMesto = 6,
    kIC = 7,
    kDIC = 8
};

// One customer of the address book.
struct CustomerEntry {
    CustomerFields Fields; // from the newest invoice of this customer
    int PocetFaktur = 0;   // invoices found for this customer
    QDate PosledniFaktura; // date of issue of the newest one (null when none reads)
    // Which invoice the fields come from: its date of issue, period and file name.
    int Year = 0;
    QString FileName;
};

// The customer of one invoice file: the date of issue (line 8) and lines 10 to 18. Only the
// first 18 lines are decoded. False when the file has no customer at all (all nine empty).
bool ReadInvoiceCustomer(const QByteArray& bytes, CustomerFields& fields, QDate& issued);

// The key a customer is merged by: the customer code, else the IČ, else name 1 (each trimmed;
// the name without regard to case). Empty when all three are empty.
QString CustomerMergeKey(const CustomerFields& fields);

// Builds the address book from found invoices: one entry per merge key, the newest invoice's
// fields winning (by date of issue, then period, then file name), sorted by name 1.
class CustomerBookBuilder {
public:
    void add(const CustomerFields& fields, const QDate& issued, int year, const QString& fileName);
    // Adds the customer of the invoice file `fileName` in `folder` (the period `year`); a file
    // without a customer, or one that vanished since the folder was listed, adds nothing.
    void addFile(const QString& folder, const QString& fileName, int year);
    std::vector<CustomerEntry> take();

private:
    std::vector<CustomerEntry> entries_;
    QHash<QString, size_t> index_; // merge key -> entry
};

// Every customer of every period of the store. afterEach is called after each file.
std::vector<CustomerEntry> ReadCustomerBook(const InvoiceStore& store,
                                            const std::function<void()>& afterEach = {});

// True when the search text (without regard to case and accents) is part of the name 1, name 2,
// IČ or town; an empty text matches everything.
bool MatchesCustomerSearch(const CustomerEntry& entry, const QString& text);

// The Czech IČ rule: eight digits, the last being the check digit of the first seven weighted 8
// to 2 (remainder r of the sum by 11; check digit (11 - r) mod 10). Spaces are ignored.
bool IsValidIC(const QString& ic);
// DIČ of a Czech subject: "CZ" and 8 to 10 digits (spaces ignored).
bool IsValidDIC(const QString& dic);
// The warning for a typed IČ / DIČ, or an empty text when it is empty or valid.
QString ICWarning(const QString& ic);
QString DICWarning(const QString& dic);

} // namespace tarvela
