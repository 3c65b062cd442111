#pragma once

#include <QChar>
#include <QString>

#include <optional>

namespace tarvela {

// The key filters of the numeric edit fields as pure decisions: given the typed character and the
// field as it is, they say what the field holds afterwards. The window binds them to the key press
// of the real field, sets `text` and `cursor` when they differ from what it shows, sounds the beep
// and shows `message` in an information box.

// An edit field as a key press finds it. The selection, if any, is [selectionStart,
// selectionStart + selectionLength); the typed character replaces it.
struct EditFieldState {
    QString text;
    int cursor = 0;
    int selectionStart = 0;
    int selectionLength = 0;
};

struct KeyFilterResult {
    bool swallowed = false; // the typed character did not reach the field as typed
    QString text;           // the field's text afterwards
    int cursor = 0;         // the cursor afterwards
    bool beep = false;      // the system beep sounds
    QString message;        // an information box to show; empty for none
};

inline constexpr QChar kBackspaceChar = QChar(8);
inline constexpr QChar kCtrlVChar = QChar(22);

// The messages of refused keys; `field` is the caption of the field ("Počet MJ"), `takesMinus`
// whether the field takes a minus sign.
QString RefusedKeyMessage(const QString& field, QChar typed, bool takesMinus);
QString RefusedPasteMessage(const QString& field);
QString TooManyDecimalsMessage(const QString& field);

// The paid-amount field (captioned `fieldName`) takes an amount with a decimal comma: backspace
// and 0-9 pass; "," and "." both give the one decimal comma ("0," in the empty field, swallowed
// when there is one already). A third decimal is refused with TooManyDecimalsMessage, so the
// amount typed is the amount saved. Ctrl+V pastes as in the quantity field below. Any other
// key is refused with a beep and RefusedKeyMessage: nothing changes the amount unannounced.
KeyFilterResult Ed_UhrazenaCastkaKeyPress(QChar typed, const EditFieldState& field,
                                          const std::optional<QString>& clipboard,
                                          const QString& fieldName);

// The quantity and unit-price fields of the item editor (captioned `fieldName`). Ctrl+V (code
// 22) pastes the clipboard text, trimmed, in place of the whole field when it has fewer than 15
// characters and passes IsNumberChars; with other characters it shows RefusedPasteMessage
// ("Počet MJ: vložená hodnota obsahuje jeden nebo více nečíselných znaků!"); a longer text or a
// clipboard without text (nullopt) does nothing. Backspace, ",", "-" and 0-9 pass; any other
// character is refused with RefusedKeyMessage. A full stop is read as the decimal comma. A
// comma into the empty field gives "0,"; a comma into a field that holds one is swallowed.
KeyFilterResult Ed_PocetMJKeyPress(QChar typed, const EditFieldState& field,
                                   const std::optional<QString>& clipboard,
                                   const QString& fieldName);

} // namespace tarvela
