#pragma once

#include <QString>

namespace tarvela {

// The variables handed to the print module: one text in which names and values alternate, each
// name and each value except the last followed by "|" ("Nazev1|FAKTURA|Nazev2|Číslo faktury:").
// No line breaks, no "|" at the end.
//
// The format has no escape, so a "|" inside a value would end the value early and shift every
// later pair onto the wrong name. Values are therefore written with each "|" replaced by the
// broken bar "¦" (byte 0xA6 in Windows-1250), which prints almost the same. Line breaks inside a
// value become spaces for the same reason.
//
// The module takes the text as one NUL-terminated string: a NUL character inside a value (an
// invoice file may hold one) would silently cut off every later variable, so add() refuses it.
class PrintVariables {
public:
    // Raises ValidationError naming the variable when the value holds a NUL character, and
    // EncodingError naming the field the user knows (FieldCaption) when Windows-1250 cannot hold
    // it, before anything reaches the print module.
    void add(const QString& name, const QString& value);
    const QString& text() const { return text_; }
    bool isEmpty() const { return text_.isEmpty(); }

    // The value as it is written into the text.
    static QString SafeValue(const QString& value);

    // The Czech name of the field behind a print variable or data-set column ("OdberatelNazev1"
    // -> "Odběratel - název 1"); the name itself for one without a field.
    static QString FieldCaption(const QString& name);

private:
    QString text_;
};

struct SupplierData;

// The supplier's sixteen fields as the documents' variables "DodavNazev" … "DodavOsoba" ("Dodav"
// and the field's key in the settings; "DodavIC" for ICO), in the order of the settings.
void AddSupplierVariables(PrintVariables& v, const SupplierData& supplier);

// Raises ValidationError naming the field when the text holds a NUL character, which the print
// module's NUL-terminated texts cannot carry.
void RefuseNulCharacter(const QString& value, const QString& field);

} // namespace tarvela
