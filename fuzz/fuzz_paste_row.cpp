// The grid's paste parser: only the first line of the clipboard text counts; without "|" it
// replaces the description alone, otherwise the pieces before each "|" fill the cells from the
// left. A pasted text never puts a line break into a cell.

#include "fuzz_support.h"

#include "editor/row_amounts.h"
#include "text/helpers.h"

using namespace tarvela;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);

    InvoiceItemRow before;
    for (int cell = 0; cell < kItemCellCount; ++cell)
        before.cell(cell) = TakeCp1250Text(in, 12)
                                .remove(QLatin1Char('\r'))
                                .remove(QLatin1Char('\n'))
                                .remove(QLatin1Char('|'));
    const QString clipboard = RemainingText(in);

    InvoiceItemRow row = before;
    PasteIntoRow(row, clipboard);

    qsizetype lineEnd = clipboard.size();
    for (qsizetype i = 0; i < clipboard.size(); ++i) {
        if (clipboard[i] == QLatin1Char('\r') || clipboard[i] == QLatin1Char('\n')) {
            lineEnd = i;
            break;
        }
    }
    const QString firstLine = clipboard.left(lineEnd);

    for (int cell = 0; cell < kItemCellCount; ++cell) {
        TARVELA_FUZZ_CHECK(!row.cell(cell).contains(QLatin1Char('\r')) &&
                               !row.cell(cell).contains(QLatin1Char('\n')),
                           "no line break reaches a cell", Quote(clipboard));
        TARVELA_FUZZ_CHECK(!row.cell(cell).contains(QLatin1Char('|')), "no \"|\" reaches a cell",
                           Quote(clipboard));
    }

    if (!firstLine.contains(QLatin1Char('|'))) {
        InvoiceItemRow expected = before;
        expected.Dodavka = firstLine;
        TARVELA_FUZZ_CHECK(row == expected, "a text without \"|\" replaces the description alone",
                           Quote(clipboard));
        return 0;
    }
    const QStringList pieces = SplitCells(firstLine);
    for (int cell = 0; cell < kItemCellCount; ++cell) {
        const QString expected = cell < pieces.size() - 1 ? pieces[cell] : before.cell(cell);
        TARVELA_FUZZ_CHECK(row.cell(cell) == expected,
                           "the pieces before each \"|\" fill the cells, the others stay",
                           Quote(clipboard));
    }
    // A copied row pastes back to itself.
    InvoiceItemRow copy;
    PasteIntoRow(copy, ItemRowText(row) + QStringLiteral("\r\n"));
    TARVELA_FUZZ_CHECK(copy == row, "a copied row pastes back to the same cells", Quote(clipboard));
    return 0;
}
