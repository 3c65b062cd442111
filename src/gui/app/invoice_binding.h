#pragma once

// The one list of the invoice's controls in the invoice editor and the record fields they show.
// Reading the window into a record, filling it from one, clearing it, the change handler and the
// pickers all go through these tables, so a new field is added in one place.

#include <QDate>
#include <QString>

#include "app/invoice_editor_ui.h"
#include "invoice/invoice_record.h"

namespace tarvela {

// A line edit and the text field of the record it shows.
struct TextFieldBinding {
    QLineEdit* InvoiceEditorUi::*control;
    QString InvoiceRecord::*field;
    bool marksChange; // typing in it makes the invoice unsaved (the number: see ConnectHandlers)
};

// In the order of the form.
inline constexpr TextFieldBinding kTextFields[] = {
    {&InvoiceEditorUi::Ed_Fa1, &InvoiceRecord::Cislo, false},
    {&InvoiceEditorUi::Ed_Fa2, &InvoiceRecord::Symbol, true},
    {&InvoiceEditorUi::Ed_Fa3, &InvoiceRecord::Objednavka, true},
    {&InvoiceEditorUi::Ed_Fa4, &InvoiceRecord::Prijemce, true},
    {&InvoiceEditorUi::Ed_Fa5, &InvoiceRecord::MistoVyskladneni, true},
    {&InvoiceEditorUi::Ed_Od1, &InvoiceRecord::OdberatelKod, true},
    {&InvoiceEditorUi::Ed_Od2, &InvoiceRecord::OdberatelNazev1, true},
    {&InvoiceEditorUi::Ed_Od3, &InvoiceRecord::OdberatelNazev2, true},
    {&InvoiceEditorUi::Ed_Od4, &InvoiceRecord::OdberatelOdpovedOsoba, true},
    {&InvoiceEditorUi::Ed_Od5, &InvoiceRecord::OdberatelUliceCislo, true},
    {&InvoiceEditorUi::Ed_Od6, &InvoiceRecord::OdberatelPSC, true},
    {&InvoiceEditorUi::Ed_Od7, &InvoiceRecord::OdberatelMesto, true},
    {&InvoiceEditorUi::Ed_Od8, &InvoiceRecord::OdberatelIC, true},
    {&InvoiceEditorUi::Ed_Od9, &InvoiceRecord::OdberatelDIC, true},
    {&InvoiceEditorUi::Ed_OdberatelEmail, &InvoiceRecord::OdberatelEmail, true},
    {&InvoiceEditorUi::Ed_Komentar1, &InvoiceRecord::Komentar1, true},
    {&InvoiceEditorUi::Ed_Komentar2, &InvoiceRecord::Komentar2, true},
    {&InvoiceEditorUi::Ed_DatumUhrady, &InvoiceRecord::DatumUhrady, false},
    {&InvoiceEditorUi::Ed_Mena, &InvoiceRecord::Mena, true},
    {&InvoiceEditorUi::Ed_UhrazenaCastka, &InvoiceRecord::UhrazenaCastka, true},
    {&InvoiceEditorUi::Ed_Kurz, &InvoiceRecord::Kurz, true},
    {&InvoiceEditorUi::Ed_DatumKurzu, &InvoiceRecord::DatumKurzu, true},
    {&InvoiceEditorUi::Ed_OpravovanyDoklad, &InvoiceRecord::OpravovanyDoklad, true},
    {&InvoiceEditorUi::Ed_DuvodOpravy, &InvoiceRecord::DuvodOpravy, true},
};

// A date field, the record's date and the caption that names it in messages.
struct DateFieldBinding {
    QDateEdit* InvoiceEditorUi::*control;
    QDate InvoiceRecord::*field;
    QLabel* InvoiceEditorUi::*caption;
};

inline constexpr DateFieldBinding kDateFields[] = {
    {&InvoiceEditorUi::Datum_Fa7, &InvoiceRecord::DatumPlneni, &InvoiceEditorUi::La_Fa7},
    {&InvoiceEditorUi::Datum_Fa8, &InvoiceRecord::DatumVystaveni, &InvoiceEditorUi::La_Fa8},
    {&InvoiceEditorUi::Datum_Fa9, &InvoiceRecord::DatumSplatnosti, &InvoiceEditorUi::La_Fa9},
};

// What a template invoice gives the header (symbol, order, recipient, place of unloading) and
// the customer's nine fields, in the order the pickers hand them over.
inline constexpr QLineEdit* InvoiceEditorUi::*kTemplateHeaderEdits[] = {
    &InvoiceEditorUi::Ed_Fa2, &InvoiceEditorUi::Ed_Fa3, &InvoiceEditorUi::Ed_Fa4,
    &InvoiceEditorUi::Ed_Fa5};
inline constexpr QLineEdit* InvoiceEditorUi::*kCustomerEdits[] = {
    &InvoiceEditorUi::Ed_Od1, &InvoiceEditorUi::Ed_Od2, &InvoiceEditorUi::Ed_Od3,
    &InvoiceEditorUi::Ed_Od4, &InvoiceEditorUi::Ed_Od5, &InvoiceEditorUi::Ed_Od6,
    &InvoiceEditorUi::Ed_Od7, &InvoiceEditorUi::Ed_Od8, &InvoiceEditorUi::Ed_Od9};

// The fields of the record the controls show, over what `record` holds already (the grid is
// the window's own): the form of payment as the combo box shows it, the total as the totals
// panel shows it.
void ReadInvoiceControls(const InvoiceEditorUi& ui, InvoiceRecord& record);

// The form of payment as the invoice file holds it: the code of the entry shown ("PP" for
// "PP – převodem"), or the text typed into the box as it is.
QString PaymentFormCode(const QComboBox* box);
// Shows a form of payment: the entry of its code, or the text as typed when none has it.
void ShowPaymentForm(QComboBox* box, const QString& code);

// Shows the record's fields in the controls (not the grid, not the total).
void FillInvoiceControls(InvoiceEditorUi& ui, const InvoiceRecord& record);

} // namespace tarvela
