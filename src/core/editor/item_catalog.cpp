#include "editor/item_catalog.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_record.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QCollator>
#include <QDir>
#include <QLocale>
#include <QSet>

#include <algorithm>

namespace tarvela {
namespace {

// First item line of the file (item row 1).
constexpr int kFirstItemLine = 19;

QString Part(const QStringList& parts, int index) {
    return index < parts.size() ? parts[index] : QString();
}

} // namespace

ItemCatalog LoadItemCatalog(const QString& folder, const std::function<void()>& afterEachFile) {
    ItemCatalog catalog;
    QSet<QString> codesSeen; // lower-cased
    const QDir dir(folder);
    if (!dir.exists())
        return catalog;
    QStringList names = ListRegularFiles(dir.path(), QStringLiteral("*.tvl"));
    QCollator collator; // as the folder listing sorted names before
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    for (const QString& name : names) {
        // Joined by hand: QDir::filePath takes a name beginning with ":" for a resource path.
        FileLines lines;
        try {
            lines = FileLines::ReadFile(dir.path() + QLatin1Char('/') + name);
        } catch (const OversizedFileError&) {
            continue; // no invoice: its items would be no items of the user's
        }
        for (int n = kFirstItemLine; n < kFirstItemLine + kItemRowCount && lines.has(n); ++n) {
            const QStringList parts = SplitCells(lines.line(n));
            const QString description = Part(parts, 1);
            if (description.isEmpty())
                continue;
            const QString code = Part(parts, 0);
            if (!code.isEmpty()) {
                const QString key = code.toLower();
                if (codesSeen.contains(key))
                    continue;
                codesSeen.insert(key);
            }
            catalog.append({code, description, Part(parts, 2), AppendZeroDecimals(Part(parts, 4)),
                            Part(parts, 5)});
        }
        if (afterEachFile)
            afterEachFile();
    }
    return catalog;
}

QString FilterLowerCase(const QString& text) {
    return QLocale().toLower(text);
}

bool ItemMatchesFilter(const ItemCatalogEntry& entry, const QString& filter) {
    if (filter.isEmpty())
        return true;
    return FilterLowerCase(entry.Kod).contains(filter) ||
           FilterLowerCase(entry.Dodavka).contains(filter);
}

} // namespace tarvela
