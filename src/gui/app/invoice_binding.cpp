#include "app/invoice_binding.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

namespace tarvela {

void ReadInvoiceControls(const THlavniUi& ui, InvoiceRecord& record) {
    for (const TextFieldBinding& b : kTextFields)
        record.*b.field = (ui.*b.control)->text();
    for (const DateFieldBinding& b : kDateFields)
        record.*b.field = (ui.*b.control)->date();
    record.FormaUhrady = ui.CBox_Fa6->currentText();
    record.Uhrnem = ui.La_CelkemFaktura->text();
}

void FillInvoiceControls(THlavniUi& ui, const InvoiceRecord& record) {
    for (const TextFieldBinding& b : kTextFields)
        (ui.*b.control)->setText(record.*b.field);
    for (const DateFieldBinding& b : kDateFields)
        (ui.*b.control)->setDate(record.*b.field);
    // An entry of the list is selected; any other text is typed in.
    QComboBox* box = ui.CBox_Fa6;
    const int index = box->findText(record.FormaUhrady, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(index);
    if (index < 0)
        box->setEditText(record.FormaUhrady);
}

} // namespace tarvela
