#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace tarvela {

// One row of the open dialog's list: what a period's invoice file says about the invoice.
struct InvoiceListEntry {
    QString FileName;  // the file's name as listed ("2026001.tvl")
    QString Cislo;     // the name without its last four characters
    QString Datum;     // line 7, date of supply, as text
    QString Odberatel; // line 11, customer name 1
    QString Celkem;    // line 46 read leniently and written with two decimals
    QString Splatnost; // line 9, due date, as text
    QString Uhrazeno;  // line 47, payment date, as text
    QString Mena;      // line 48, currency
    bool operator==(const InvoiceListEntry&) const = default;
};

// The names of the invoice files of a folder: ordinary files matching "*.tvl" (the extension in
// any case), no folders and no hidden files, sorted ascending as texts without regard to case in
// the locale's collation ("2026010.tvl" before "202602.tvl"). A missing folder gives no names.
QStringList ListInvoiceFileNames(const QString& folder);

// Reads the entry of one invoice file of the folder. A file is never refused: a file that lacks
// a line shows an empty cell for it, a total that does not read as a number shows an empty
// total, and a file that cannot be read at all shows only its number.
InvoiceListEntry ReadInvoiceListEntry(const QString& folder, const QString& fileName);

class InvoiceStore;

// The invoice files of one period or of every period, a file at a time, for a window that reads
// them between painting: a period's folder is listed (ListInvoiceFileNames) when the walk reaches
// it, the periods in the order of InvoiceStore::ListPeriodFolders.
class InvoiceFileWalk {
public:
    struct File {
        int Year = 0;
        QString Folder; // the period folder, without a trailing separator
        QString Name;   // the file's name as listed
        QString Path() const;
    };

    // The files of the period folder of `year`.
    InvoiceFileWalk(const InvoiceStore& store, int year);
    // The files of one folder, given as the period `year`.
    InvoiceFileWalk(const QString& folder, int year);
    // The files of every period of the store (listed at the first Next).
    static InvoiceFileWalk AllPeriods(const InvoiceStore& store);

    // The next file; nothing after the last one.
    std::optional<File> Next();
    // Files listed so far in the folders reached (for a progress text).
    int FilesListed() const { return listed_; }

private:
    InvoiceFileWalk() = default;

    QString programFolder_; // for AllPeriods: the store, listed at the first Next
    std::vector<std::pair<int, QString>> periods_; // (year, folder) not yet listed
    bool periodsKnown_ = false;
    size_t period_ = 0;
    int year_ = 0;
    QString folder_;
    QStringList names_;
    qsizetype next_ = 0;
    int listed_ = 0;
};

} // namespace tarvela
