#include "text/key_filters.h"

#include "text/amount_text.h"
#include "text/helpers.h"

#include <algorithm>

namespace tarvela {
namespace {

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The field unchanged, the character swallowed.
KeyFilterResult Swallow(const EditFieldState& field) {
    KeyFilterResult result;
    result.swallowed = true;
    result.text = field.text;
    result.cursor = field.cursor;
    return result;
}

// What the edit field itself does with a character that passes: backspace deletes the selection
// or the character before the cursor; any other character replaces the selection or is inserted
// at the cursor.
KeyFilterResult Apply(QChar typed, const EditFieldState& field) {
    KeyFilterResult result;
    QString text = field.text;
    const qsizetype size = text.size();
    const qsizetype selStart = std::clamp<qsizetype>(field.selectionStart, 0, size);
    const qsizetype selLength = std::clamp<qsizetype>(field.selectionLength, 0, size - selStart);
    qsizetype cursor = std::clamp<qsizetype>(field.cursor, 0, size);
    if (selLength > 0) {
        text.remove(selStart, selLength);
        cursor = selStart;
        if (typed != kBackspaceChar) {
            text.insert(cursor, typed);
            ++cursor;
        }
    } else if (typed == kBackspaceChar) {
        if (cursor > 0) {
            text.remove(cursor - 1, 1);
            --cursor;
        }
    } else {
        text.insert(cursor, typed);
        ++cursor;
    }
    result.text = text;
    result.cursor = static_cast<int>(cursor);
    return result;
}

EditFieldState StateAfter(const KeyFilterResult& result) {
    EditFieldState state;
    state.text = result.text;
    state.cursor = result.cursor;
    state.selectionStart = result.cursor;
    return state;
}

} // namespace

KeyFilterResult Ed_UhrazenaCastkaKeyPress(QChar typed, const EditFieldState& field) {
    if (typed == kBackspaceChar || typed == QLatin1Char('.') || IsAsciiDigit(typed))
        return Apply(typed, field);
    KeyFilterResult result = Swallow(field);
    result.beep = true;
    return result;
}

KeyFilterResult Ed_PocetMJKeyPress(QChar typed, const EditFieldState& field,
                                   const std::optional<QString>& clipboard) {
    if (typed == kCtrlVChar) {
        // The field's own paste never happens; a short numeric text replaces the whole field.
        KeyFilterResult result = Swallow(field);
        if (clipboard) {
            const QString pasted = TrimText(*clipboard);
            if (pasted.size() < 15) {
                if (IsNumberChars(pasted)) {
                    result.text = pasted;
                    result.cursor = static_cast<int>(pasted.size());
                } else {
                    result.message = QStringLiteral(
                        "Vložená hodnota obsahuje jeden nebo více nečíselných znaků!");
                }
            }
        }
        return result;
    }
    const bool allowed = typed == kBackspaceChar || typed == QLatin1Char(',') ||
                         typed == QLatin1Char('-') || typed == QLatin1Char('.') ||
                         IsAsciiDigit(typed);
    if (!allowed)
        return Swallow(field);
    if (typed == QLatin1Char(',')) {
        if (field.text.isEmpty()) {
            // The comma becomes "0" and a decimal keystroke follows it: the field reads "0,".
            KeyFilterResult zero = Apply(QLatin1Char('0'), field);
            KeyFilterResult result =
                Ed_PocetMJKeyPress(QLatin1Char(','), StateAfter(zero), clipboard);
            result.swallowed = false;
            return result;
        }
        if (field.text.contains(QLatin1Char(',')))
            return Swallow(field);
    }
    return Apply(typed, field);
}

} // namespace tarvela
