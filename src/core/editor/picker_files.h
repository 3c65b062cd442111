#pragma once

#include "invoice/file_lines.h"
#include "invoice/invoice_record.h"

#include <QString>

#include <array>
#include <optional>

namespace tarvela {

// What the customer and template pickers take over from another invoice file. Every field is
// present only when the file has its line; a field without its line leaves the open invoice's
// value as it is.

// Lines 10 to 18: code, name 1, name 2, responsible person, street, post code, town, IČ, DIČ
// (Ed_Od1 to Ed_Od9).
struct CustomerTaken {
    std::array<std::optional<QString>, 9> Od;
    // The customer's e-mail, from its optional line after line 49; empty when the file has none,
    // so that another customer's address never stays with the customer taken.
    QString Email;
};

struct TemplateTaken {
    // Lines 2 to 5: symbol, order, recipient, place of dispatch (Ed_Fa2 to Ed_Fa5).
    std::array<std::optional<QString>, 4> Fa;
    CustomerTaken Customer;
    // Lines 19 to 43: item rows 1 to 25. A line short of cells gives empty cells for the
    // missing ones; text after the sixth cell is dropped.
    std::array<std::optional<InvoiceItemRow>, kItemRowCount> Rows;
    std::optional<QString> Komentar1; // line 44
    std::optional<QString> Komentar2; // line 45
    std::optional<QString> Mena;      // line 48
    // Not taken: the number (1), the form of payment (6), the dates (7 to 9), the stored total
    // (46), the payment date (47) and the paid amount (49).
};

CustomerTaken TakeCustomerLines(const FileLines& lines);
// The customer's e-mail of an invoice file's lines (its optional line); empty when none. Only that
// line is looked at, so a file whose other lines would not open still gives it.
QString CustomerEmailLine(const FileLines& lines);
TemplateTaken TakeTemplateLines(const FileLines& lines);

// An item line split into the six cells of a row; missing cells are empty.
InvoiceItemRow ItemRowFromCells(const QString& line);

// The message for a period folder that no longer exists:
// Nebyl nalezen adresář "2025" do kterého se ukládají vytvořené faktury.
QString MissingPeriodFolderMessage(const QString& year);

} // namespace tarvela
