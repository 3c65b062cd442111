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

// Ctrl+V: the field's own paste never happens; a short numeric text replaces the whole field.
KeyFilterResult Paste(const EditFieldState& field, const std::optional<QString>& clipboard,
                      const QString& fieldName, int maxDecimals) {
    KeyFilterResult result = Swallow(field);
    if (!clipboard)
        return result;
    const QString pasted = TrimText(*clipboard);
    if (pasted.size() >= 15)
        return result;
    if (!IsNumberChars(pasted)) {
        result.message = RefusedPasteMessage(fieldName);
        return result;
    }
    const qsizetype comma = pasted.indexOf(QLatin1Char(','));
    if (maxDecimals >= 0 && comma >= 0 && pasted.size() - comma - 1 > maxDecimals) {
        result.message = TooManyDecimalsMessage(fieldName);
        return result;
    }
    result.text = pasted;
    result.cursor = static_cast<int>(pasted.size());
    return result;
}

KeyFilterResult Refuse(const EditFieldState& field, const QString& message) {
    KeyFilterResult result = Swallow(field);
    result.beep = true;
    result.message = message;
    return result;
}

// The number of decimals after the comma of the text.
qsizetype DecimalsOf(const QString& text) {
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    return comma < 0 ? 0 : text.size() - comma - 1;
}

} // namespace

QString RefusedKeyMessage(const QString& field, QChar typed, bool takesMinus) {
    const QString shown =
        typed == QLatin1Char(' ') ? QStringLiteral("mezera") : QStringLiteral("„%1“").arg(typed);
    return QStringLiteral("%1: znak %2 do pole nepatří. Pole bere jen číslice%3 a desetinnou "
                          "čárku (například 1250,50).")
        .arg(field, shown, takesMinus ? QStringLiteral(", znaménko minus") : QString());
}

QString RefusedPasteMessage(const QString& field) {
    return QStringLiteral("%1: vložená hodnota obsahuje jeden nebo více nečíselných znaků!")
        .arg(field);
}

QString TooManyDecimalsMessage(const QString& field) {
    return QStringLiteral("%1: částka má nejvýše dvě desetinná místa (haléře).").arg(field);
}

KeyFilterResult Ed_UhrazenaCastkaKeyPress(QChar typed, const EditFieldState& field,
                                          const std::optional<QString>& clipboard,
                                          const QString& fieldName) {
    if (typed == kCtrlVChar)
        return Paste(field, clipboard, fieldName, 2);
    if (typed == kBackspaceChar)
        return Apply(typed, field);
    if (IsAsciiDigit(typed)) {
        KeyFilterResult result = Apply(typed, field);
        if (DecimalsOf(result.text) > 2)
            return Refuse(field, TooManyDecimalsMessage(fieldName));
        return result;
    }
    if (typed == QLatin1Char(',') || typed == QLatin1Char('.')) {
        KeyFilterResult result = TypeDecimalComma(field);
        if (DecimalsOf(result.text) > 2)
            return Refuse(field, TooManyDecimalsMessage(fieldName));
        result.swallowed = typed == QLatin1Char('.') || result.swallowed;
        return result;
    }
    return Refuse(field, RefusedKeyMessage(fieldName, typed, false));
}

KeyFilterResult Ed_PocetMJKeyPress(QChar typed, const EditFieldState& field,
                                   const std::optional<QString>& clipboard,
                                   const QString& fieldName) {
    if (typed == kCtrlVChar)
        return Paste(field, clipboard, fieldName, -1);
    const bool allowed = typed == kBackspaceChar || typed == QLatin1Char(',') ||
                         typed == QLatin1Char('-') || typed == QLatin1Char('.') ||
                         IsAsciiDigit(typed);
    if (!allowed)
        return Refuse(field, RefusedKeyMessage(fieldName, typed, true));
    if (typed == QLatin1Char(',') || typed == QLatin1Char('.')) {
        // A full stop is the decimal comma the user meant: "1.5" reads "1,5".
        KeyFilterResult result = TypeDecimalComma(field);
        result.swallowed = typed == QLatin1Char('.') || result.swallowed;
        return result;
    }
    return Apply(typed, field);
}

} // namespace tarvela
