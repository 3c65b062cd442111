#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace tarvela {

// One item of the item list: what an item line of another invoice offers for a new row.
// Quantities are not collected.
struct ItemCatalogEntry {
    QString Kod;     // cell 1, code
    QString Dodavka; // cell 2, description, never empty
    QString MJ;      // cell 3, unit
    QString Cena;    // cell 5, unit price, with ",00" appended when it holds no comma
    QString DPH;     // cell 6, rate
    bool operator==(const ItemCatalogEntry&) const = default;
};

using ItemCatalog = QList<ItemCatalogEntry>;

// Collects the items of all invoice files ("*.tvl", ordinary files, in ascending name order
// without regard to case) of a period folder: for each file its item lines 19 to 43 in order.
// A line without a description is skipped; a line whose code was already seen (compared without
// regard to case) is skipped, so the first occurrence of a code wins; lines without a code are
// never merged. A short file or a short item line is read as far as it goes: missing lines and
// cells count as empty. A missing folder gives an empty catalog. `afterEachFile` runs after
// every file read (the GUI processes pending events there).
ItemCatalog LoadItemCatalog(const QString& folder, const std::function<void()>& afterEachFile = {});

// The item list's filter: true when the filter is empty or when the lower-cased code or the
// lower-cased description contains it. `filter` is expected lower-cased already; lower-casing
// follows the default locale, so "Č" and "č" match.
bool ItemMatchesFilter(const ItemCatalogEntry& entry, const QString& filter);

// Lower-casing of the item list's filter, in the default locale.
QString FilterLowerCase(const QString& text);

} // namespace tarvela
