#include "editor/invoice_list.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_store.h"
#include "money/invoice_figures.h"
#include "printing/money.h"
#include "text/amount_text.h"
#include "text/errors.h"

#include <QCollator>
#include <QDir>

#include <algorithm>

namespace tarvela {

QStringList ListInvoiceFileNames(const QString& folder) {
    // The pattern matches the extension in any case, as on the platform the files come from;
    // hidden entries, links and anything but regular files are left out.
    QStringList names = ListRegularFiles(folder, QStringLiteral("*.tvl"));

    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        // Names that differ only in case keep a fixed order.
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

InvoiceListEntry ReadInvoiceListEntry(const QString& folder, const QString& fileName) {
    InvoiceListEntry entry;
    entry.FileName = fileName;
    entry.Cislo = fileName.left(fileName.size() - 4);

    FileLines lines;
    try {
        lines = FileLines::ReadFile(folder + QDir::separator() + fileName);
    } catch (const FileError&) {
        // A file that vanished or cannot be read still has its number in the list; choosing
        // it is reported by the reader of the open action.
        return entry;
    }
    entry.Datum = lines.line(7);
    entry.Odberatel = lines.line(11);
    if (lines.has(46)) {
        // The stored total as the overview and the book read it ("1210.50" is 1210,50); a text
        // they do not read ("1 234,50 CZK") keeps its signs, comma and digits.
        const std::optional<qint64> exact = ReadTotalHalere(lines.line(46));
        try {
            entry.Celkem = FormatHalere(exact ? *exact : ParseHalereLenient(lines.line(46)));
        } catch (const ConversionError&) {
            entry.Celkem.clear();
        }
    }
    entry.Splatnost = lines.line(9);
    entry.Uhrazeno = lines.line(47);
    entry.Mena = lines.line(48);
    return entry;
}

QString InvoiceFileWalk::File::Path() const {
    return Folder + QDir::separator() + Name;
}

InvoiceFileWalk::InvoiceFileWalk(const InvoiceStore& store, int year)
    : InvoiceFileWalk(store.PeriodFolder(year), year) {}

InvoiceFileWalk::InvoiceFileWalk(const QString& folder, int year) : periodsKnown_(true) {
    periods_.emplace_back(year, folder);
}

InvoiceFileWalk InvoiceFileWalk::AllPeriods(const InvoiceStore& store) {
    InvoiceFileWalk walk;
    walk.programFolder_ = store.ProgramFolder();
    return walk;
}

std::optional<InvoiceFileWalk::File> InvoiceFileWalk::Next() {
    if (!periodsKnown_) {
        periodsKnown_ = true;
        const InvoiceStore store(programFolder_);
        for (const QString& name : store.ListPeriodFolders())
            periods_.emplace_back(name.toInt(), store.PeriodFolder(name.toInt()));
    }
    while (next_ >= names_.size()) {
        if (period_ >= periods_.size())
            return std::nullopt;
        year_ = periods_[period_].first;
        folder_ = periods_[period_].second;
        ++period_;
        names_ = ListInvoiceFileNames(folder_);
        next_ = 0;
        listed_ += static_cast<int>(names_.size());
    }
    return File{year_, folder_, names_[next_++]};
}

} // namespace tarvela
