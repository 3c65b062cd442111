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

// A decimal comma (or a full stop, which means it): into the empty field it gives "0,"; a field
// that holds a comma already swallows it.
KeyFilterResult TypeDecimalComma(const EditFieldState& field) {
    if (field.text.isEmpty()) {
        KeyFilterResult zero = Apply(QLatin1Char('0'), field);
        return Apply(QLatin1Char(','), StateAfter(zero));
    }
    // The whole text counts, even when its comma is selected.
    if (field.text.contains(QLatin1Char(',')))
        return Swallow(field);
    return Apply(QLatin1Char(','), field);
}

} // namespace

KeyFilterResult Ed_UhrazenaCastkaKeyPress(QChar typed, const EditFieldState& field) {
    if (typed == kBackspaceChar || IsAsciiDigit(typed))
        return Apply(typed, field);
    if (typed == QLatin1Char(',') || typed == QLatin1Char('.')) {
        KeyFilterResult result = TypeDecimalComma(field);
        result.swallowed = typed == QLatin1Char('.') || result.swallowed;
        return result;
    }
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
    if (typed == QLatin1Char(',') || typed == QLatin1Char('.')) {
        // A full stop is the decimal comma the user meant: "1.5" reads "1,5".
        KeyFilterResult result = TypeDecimalComma(field);
        result.swallowed = typed == QLatin1Char('.') || result.swallowed;
        return result;
    }
    return Apply(typed, field);
}

} // namespace tarvela
