// SplitCells and the item row text: cutting at every "|" and joining with "|" gives the text
// back; an item row written with ItemRowText fills an empty row to the same cells.

#include "fuzz_support.h"

#include "invoice/invoice_record.h"
#include "text/helpers.h"

using namespace tarvela;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);

    InvoiceItemRow row;
    for (int cell = 0; cell < kItemCellCount; ++cell)
        row.cell(cell) = TakeText(in, 40).remove(QLatin1Char('|'));
    const QString rowText = ItemRowText(row);
    TARVELA_FUZZ_CHECK(rowText.count(QLatin1Char('|')) == kItemCellCount,
                       "each cell is followed by \"|\"", Quote(rowText));
    InvoiceItemRow back;
    FillItemRowFromLine(rowText, back);
    TARVELA_FUZZ_CHECK(back == row, "a row written as text fills a row with the same cells",
                       Quote(rowText));
    const QStringList rowParts = SplitCells(rowText);
    TARVELA_FUZZ_CHECK(rowParts.size() == kItemCellCount + 1 && rowParts.last().isEmpty(),
                       "a row text cuts into six cells and an empty rest", Quote(rowText));

    const QString text = RemainingText(in);
    const QStringList parts = SplitCells(text);
    TARVELA_FUZZ_CHECK(parts.size() == text.count(QLatin1Char('|')) + 1, "one more part than \"|\"",
                       Quote(text));
    TARVELA_FUZZ_CHECK(parts.join(QLatin1Char('|')) == text, "joining the parts gives the text",
                       Quote(text));
    for (const QString& part : parts)
        TARVELA_FUZZ_CHECK(!part.contains(QLatin1Char('|')), "no part holds \"|\"", Quote(text));
    QStringList reused = {QStringLiteral("old")};
    SplitCells(text, reused);
    TARVELA_FUZZ_CHECK(reused == parts, "the list form empties the list first", Quote(text));

    // Filling a row from any line takes the pieces before each "|", at most six.
    InvoiceItemRow filled = row;
    FillItemRowFromLine(text, filled);
    for (int cell = 0; cell < kItemCellCount; ++cell) {
        const QString expected = cell < parts.size() - 1 ? parts[cell] : row.cell(cell);
        TARVELA_FUZZ_CHECK(filled.cell(cell) == expected,
                           "a cell is the piece before its \"|\" or stays", Quote(text));
    }
    return 0;
}
