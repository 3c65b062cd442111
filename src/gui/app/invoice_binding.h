#pragma once

// The one list of the invoice's controls on the main window and the record fields they show.
// Reading the window into a record, filling it from one, clearing it, the change handler and the
// pickers all go through these tables, so a new field is added in one place.

#include <QDate>
#include <QString>

#include "app/thlavni_ui.h"
#include "invoice/invoice_record.h"

namespace tarvela {

// A line edit and the text field of the record it shows.
struct TextFieldBinding {
    QLineEdit* THlavniUi::*control;
    QString InvoiceRecord::*field;
    bool marksChange; // typing in it makes the invoice unsaved (the number: see ConnectHandlers)
};

// In the order of the form.
inline constexpr TextFieldBinding kTextFields[] = {
    {&THlavniUi::Ed_Fa1, &InvoiceRecord::Cislo, false},
    {&THlavniUi::Ed_Fa2, &InvoiceRecord::Symbol, true},
    {&THlavniUi::Ed_Fa3, &InvoiceRecord::Objednavka, true},
    {&THlavniUi::Ed_Fa4, &InvoiceRecord::Prijemce, true},
    {&THlavniUi::Ed_Fa5, &InvoiceRecord::MistoVyskladneni, true},
    {&THlavniUi::Ed_Od1, &InvoiceRecord::OdberatelKod, true},
    {&THlavniUi::Ed_Od2, &InvoiceRecord::OdberatelNazev1, true},
    {&THlavniUi::Ed_Od3, &InvoiceRecord::OdberatelNazev2, true},
    {&THlavniUi::Ed_Od4, &InvoiceRecord::OdberatelOdpovedOsoba, true},
    {&THlavniUi::Ed_Od5, &InvoiceRecord::OdberatelUliceCislo, true},
    {&THlavniUi::Ed_Od6, &InvoiceRecord::OdberatelPSC, true},
    {&THlavniUi::Ed_Od7, &InvoiceRecord::OdberatelMesto, true},
    {&THlavniUi::Ed_Od8, &InvoiceRecord::OdberatelIC, true},
    {&THlavniUi::Ed_Od9, &InvoiceRecord::OdberatelDIC, true},
    {&THlavniUi::Ed_OdberatelEmail, &InvoiceRecord::OdberatelEmail, true},
    {&THlavniUi::Ed_Komentar1, &InvoiceRecord::Komentar1, true},
    {&THlavniUi::Ed_Komentar2, &InvoiceRecord::Komentar2, true},
    {&THlavniUi::Ed_DatumUhrady, &InvoiceRecord::DatumUhrady, false},
    {&THlavniUi::Ed_Mena, &InvoiceRecord::Mena, true},
    {&THlavniUi::Ed_UhrazenaCastka, &InvoiceRecord::UhrazenaCastka, true},
    {&THlavniUi::Ed_Kurz, &InvoiceRecord::Kurz, true},
    {&THlavniUi::Ed_DatumKurzu, &InvoiceRecord::DatumKurzu, true},
    {&THlavniUi::Ed_OpravovanyDoklad, &InvoiceRecord::OpravovanyDoklad, true},
    {&THlavniUi::Ed_DuvodOpravy, &InvoiceRecord::DuvodOpravy, true},
};

// A date field, the record's date and the caption that names it in messages.
struct DateFieldBinding {
    QDateEdit* THlavniUi::*control;
    QDate InvoiceRecord::*field;
    QLabel* THlavniUi::*caption;
};

inline constexpr DateFieldBinding kDateFields[] = {
    {&THlavniUi::Datum_Fa7, &InvoiceRecord::DatumPlneni, &THlavniUi::La_Fa7},
    {&THlavniUi::Datum_Fa8, &InvoiceRecord::DatumVystaveni, &THlavniUi::La_Fa8},
    {&THlavniUi::Datum_Fa9, &InvoiceRecord::DatumSplatnosti, &THlavniUi::La_Fa9},
};

// What a template invoice gives the header (symbol, order, recipient, place of unloading) and
// the customer's nine fields, in the order the pickers hand them over.
inline constexpr QLineEdit* THlavniUi::*kTemplateHeaderEdits[] = {
    &THlavniUi::Ed_Fa2, &THlavniUi::Ed_Fa3, &THlavniUi::Ed_Fa4, &THlavniUi::Ed_Fa5};
inline constexpr QLineEdit* THlavniUi::*kCustomerEdits[] = {
    &THlavniUi::Ed_Od1, &THlavniUi::Ed_Od2, &THlavniUi::Ed_Od3,
    &THlavniUi::Ed_Od4, &THlavniUi::Ed_Od5, &THlavniUi::Ed_Od6,
    &THlavniUi::Ed_Od7, &THlavniUi::Ed_Od8, &THlavniUi::Ed_Od9};

// The fields of the record the controls show, over what `record` holds already (the grid is
// the window's own): the form of payment as the combo box shows it, the total as the totals
// panel shows it.
void ReadInvoiceControls(const THlavniUi& ui, InvoiceRecord& record);

// The form of payment as the invoice file holds it: the code of the entry shown ("PP" for
// "PP – převodem"), or the text typed into the box as it is.
QString PaymentFormCode(const QComboBox* box);
// Shows a form of payment: the entry of its code, or the text as typed when none has it.
void ShowPaymentForm(QComboBox* box, const QString& code);

// Shows the record's fields in the controls (not the grid, not the total).
void FillInvoiceControls(THlavniUi& ui, const InvoiceRecord& record);

} // namespace tarvela
