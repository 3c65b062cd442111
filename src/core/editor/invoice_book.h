#pragma once

#include "editor/row_amounts.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

namespace tarvela {

// The book of invoices: what each invoice file of a period says about its payment.

enum class PaymentState {
    Paid,       // "Uhrazeno": the paid amount covers the total (or nothing is owed)
    PartlyPaid, // "Částečně uhrazeno": something paid, something owed, not yet due
    Unpaid,     // "Neuhrazeno": nothing paid, not yet due (due today is not overdue)
    Overdue     // "Po splatnosti N dní": something owed after the due date
};

struct BookEntry {
    int Year = 0;            // the period
    QString FilePath;        // full path of the invoice file
    QString Cislo;           // the file's name without ".tvl"
    QString Symbol;          // line 2, the constant or variable symbol
    QString Odberatel;       // line 11, customer name 1
    QString OdberatelIC;     // line 17
    QString DatumVystaveni;  // line 8, as text
    QString DatumSplatnosti; // line 9, as text
    QDate Vystaveni;         // line 8 read as a date (null when it does not read)
    QDate Splatnost;         // line 9 read as a date (null when it does not read)
    qint64 Celkem = 0;       // the invoice total in haléře (the document model's, from the rows)
    QString Mena;            // line 48; the default currency when empty
    QString DatumUhrady;     // line 47, as text
    QDate Uhrada;            // line 47 read as a date
    QString UhrazenaCastka;  // line 49, as written
    qint64 Uhrazeno = 0;     // what is paid in haléře (PaidAmount)
    QString Eet;             // the optional line "Eet=": its payments' EET registrations
};

// The amount paid in haléře: line 49 read exactly (decimal comma or point, spaces ignored,
// "12.345,00" grouped). A payment date with an empty amount is a payment of the whole total, as
// the editor records it; an amount that does not read counts as nothing paid.
qint64 PaidAmount(const BookEntry& entry);
// What is still owed: total - paid, never below zero.
qint64 Outstanding(const BookEntry& entry);

struct BookStatus {
    PaymentState State = PaymentState::Unpaid;
    int DaysOverdue = 0; // for Overdue: days after the due date
    QString Text;        // "Uhrazeno", "Částečně uhrazeno", "Neuhrazeno", "Po splatnosti 3 dny"
};

// The status on `today`. An invoice whose total is zero or negative owes nothing and is paid.
BookStatus EntryStatus(const BookEntry& entry, const QDate& today);

// "1 den", "2 dny", "5 dní".
QString DaysText(int days);
// "Po splatnosti 1 den", "Po splatnosti 2 dny", "Po splatnosti 5 dní".
QString OverdueText(int days);
// "1 faktura je po splatnosti", "2 faktury jsou po splatnosti", "5 faktur je po splatnosti".
QString OverdueNotice(int count);

// Reads the entry from the bytes of one invoice file; never refuses a file: missing lines give
// empty fields, rows that do not compute give the stored total of line 46 instead.
BookEntry ReadBookEntry(const QByteArray& bytes, const QString& filePath, int year,
                        const VatRates& rates, const QString& defaultCurrency);

// The entry of the invoice file at `filePath`; a file that cannot be read (it vanished since the
// folder was listed) gives an entry with only its number.
BookEntry ReadBookFile(const QString& filePath, int year, const VatRates& rates,
                       const QString& defaultCurrency);

// The book of one period folder, in the order of the open dialog's list. afterEach is called after
// each file (the windows process events there, user input excluded).
std::vector<BookEntry> ReadBook(const QString& periodFolder, int year, const VatRates& rates,
                                const QString& defaultCurrency,
                                const std::function<void()>& afterEach = {});

// Which statuses a filter keeps.
enum class StatusFilter { All, Unsettled, Overdue, Paid };

// True when the entry passes the filter: the text (without regard to case and accents) is part of
// the number, the customer name or the IČ; an empty text passes everything.
bool MatchesBookFilter(const BookEntry& entry, const QString& text, StatusFilter filter,
                       const QDate& today);

// The sums of one currency.
struct CurrencySums {
    qint64 Celkem = 0; // haléře
    qint64 Uhrazeno = 0;
    qint64 Zbyva = 0;
    int Count = 0;
};
// Per currency code, in alphabetical order.
std::map<QString, CurrencySums> SumsPerCurrency(const std::vector<const BookEntry*>& entries);

// Records a payment in an invoice file: lines 47 (the date, "d.m.yyyy") and 49 (the total paid so
// far, exact haléře written with a decimal comma: "1210,50") are replaced, every other byte
// stays, the lines after 49 too. A file shorter than 49 lines gets empty lines up to 49. The file
// is replaced atomically, as Save does, and locked from the read to the rename
// (ReplaceFileLocked), so a save of another instance at the same moment is never lost, nor is
// this payment. Raises FileError when it cannot be read or written.
void MarkInvoicePaid(const QString& filePath, const QDate& date, qint64 paidHalere);

// The same on bytes: what MarkInvoicePaid writes.
QByteArray WithPayment(const QByteArray& fileBytes, const QString& date, const QString& amount);

} // namespace tarvela
