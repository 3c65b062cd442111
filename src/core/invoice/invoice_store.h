#pragma once

#include "invoice/invoice_record.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tarvela {

// Called after each listed folder entry; the GUI passes a function that processes pending
// events with user input excluded. The core itself never processes events.
using AfterEachEntry = std::function<void()>;

// Refuses an invoice number that cannot serve as a file name inside the period folder on
// Windows or Linux, or that could change a mail client's command line when it names an
// attachment: empty, path separators, "..", ":", "*", "?", quotes, "<", ">", "|", ",", "=", "@",
// control characters, a trailing dot or space, reserved device names (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, also with an extension) or a name too long. Raises ValidationError with a Czech
// message.
void ValidateInvoiceNumber(const QString& number);

// What SaveOpenedInvoice wrote: the record (with a payment written meanwhile joined in) and the
// file's bytes, the new "opened" state of the window.
struct SavedInvoice {
    InvoiceRecord record;
    QByteArray bytes;
};

// Invoice files in one folder per period (year) beneath the program folder. Holds no state but
// the program folder: every operation lists the folders anew.
class InvoiceStore {
public:
    // Which names ListInvoiceFiles gives.
    enum class Listing {
        AsListed,    // names as the folder gives them (open dialog, item list)
        TvlLowerCase // only names whose extension is ".tvl" in any case, in lower case
                     // (numbering, overview)
    };

    // programFolder: the program's folder; a trailing separator is added when missing.
    explicit InvoiceStore(const QString& programFolder);

    // The program folder with a trailing separator.
    const QString& ProgramFolder() const { return programFolder_; }

    // ProgramFolder + year, without a trailing separator ("/opt/Tarvela/2026").
    QString PeriodFolder(int year) const;

    bool PeriodFolderExists(int year) const;

    // Creates the period folder with any missing parents when it does not exist. A folder that
    // cannot be created is not reported (returns false); the save fails later.
    bool EnsurePeriodFolder(int year) const;

    // The path of the invoice file of a number: period folder + "/" + number + ".tvl".
    // Validates the number first (ValidateInvoiceNumber), so the path never leaves the folder.
    QString InvoiceFilePath(int year, const QString& number) const;

    // The existing folder entry of the number's invoice file, with the extension in whatever
    // case it has on disk ("2026001.TVL"), or an empty text when the period has no such entry.
    // Validates the number first.
    QString ExistingInvoiceFile(int year, const QString& number) const;

    // Writes the record as the file of its number (Cislo) in the period folder, atomically,
    // over the number's existing file under that file's own name (ExistingInvoiceFile: the
    // opened invoice, or a file the user agreed to replace). A symbolic link in the file's place
    // is replaced, its target never written. Temporary files abandoned by killed saves are
    // removed first. Raises ValidationError / EncodingError before anything is written,
    // FileError when the file cannot be written (e.g. the period folder is missing; it is not
    // created here).
    void SaveInvoice(int year, const InvoiceRecord& record) const;

    // Saves the invoice a window opened from `path` (its file, "2026001.TVL" too), whose bytes
    // were `openedBytes` when it was read or last saved. When another instance or window changed
    // the file meanwhile, nothing of that is lost: a payment written meanwhile (lines 47 and 49)
    // is joined into the save when the window left those lines as they were; any other change
    // raises ChangedMeanwhileError and writes nothing. The file is locked while it is compared
    // and replaced (ReplaceFileLocked).
    SavedInvoice SaveOpenedInvoice(int year, const InvoiceRecord& record, const QString& path,
                                   const QByteArray& openedBytes) const;

    // The same for a new invoice: its file is created only if the period has no file of that
    // number. When one appeared meanwhile (another instance saved the same number, perhaps over
    // a network share), nothing is written and NumberTakenError offers the next free number.
    void CreateInvoice(int year, const InvoiceRecord& record) const;

    // Removes the temporary files of interrupted saves ("2026001.tvl.a1B2c3") that are older
    // than a save could take; a fresh one may belong to a save of another instance under way.
    void RemoveStaleTemporaryFiles(int year) const;

    // The invoice files (*.tvl, regular files, no hidden ones, no links) of a period, in
    // ascending name order without regard to case. A missing folder gives an empty list, an
    // unreadable one raises FileError.
    QStringList ListInvoiceFiles(int year, Listing listing,
                                 const AfterEachEntry& afterEach = {}) const;

    // The next counter of the period: "001" to "999", or "000" when the period is full. Creates
    // the period folder first. A number another instance is saving at this moment counts as
    // taken. Raises ConversionError when the greatest file name does not end in a number
    // ("2026abc.tvl"), FileError when the period folder cannot be read.
    QString NextInvoiceCounter(int year, const AfterEachEntry& afterEach = {}) const;

    // Names of the period folders (folders of the program folder whose names are digits only),
    // ascending.
    QStringList ListPeriodFolders(const AfterEachEntry& afterEach = {}) const;

private:
    QString programFolder_;
};

} // namespace tarvela
