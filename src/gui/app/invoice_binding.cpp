#include "app/invoice_binding.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

namespace tarvela {

void ReadInvoiceControls(const InvoiceEditorUi& ui, InvoiceRecord& record) {
    for (const TextFieldBinding& b : kTextFields)
        record.*b.field = (ui.*b.control)->text();
    for (const DateFieldBinding& b : kDateFields)
        record.*b.field = (ui.*b.control)->date();
    record.FormaUhrady = PaymentFormCode(ui.CBox_Fa6);
    record.Uhrnem = ui.La_CelkemFaktura->text();
}

void FillInvoiceControls(InvoiceEditorUi& ui, const InvoiceRecord& record) {
    for (const TextFieldBinding& b : kTextFields)
        (ui.*b.control)->setText(record.*b.field);
    for (const DateFieldBinding& b : kDateFields)
        (ui.*b.control)->setDate(record.*b.field);
    ShowPaymentForm(ui.CBox_Fa6, record.FormaUhrady);
}

QString PaymentFormCode(const QComboBox* box) {
    const QString shown = box->currentText();
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i) == shown && box->itemData(i).isValid())
            return box->itemData(i).toString();
    }
    return shown;
}

void ShowPaymentForm(QComboBox* box, const QString& code) {
    // An entry of the list is selected; any other text is typed in.
    const int index = box->findData(code, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(index);
    if (index < 0)
        box->setEditText(code);
}

} // namespace tarvela
