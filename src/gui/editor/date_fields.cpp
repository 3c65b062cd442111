#include "editor/date_fields.h"

#include "text/amount_text.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/message_boxes.h"

#include <QDateEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include <memory>
#include <utility>

namespace tarvela {
namespace {

// Watches a date field and its line edit and keeps the text being typed.
class TypedDateFilter : public QObject {
public:
    TypedDateFilter(QDateEdit* field, const QString& fieldName)
        : QObject(field), field_(field), line_(field->findChild<QLineEdit*>()),
          fieldName_(fieldName) {
        field_->installEventFilter(this);
        if (line_) {
            line_->installEventFilter(this);
            validator_ = line_->validator();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!line_ || (watched != field_ && watched != line_))
            return false;
        switch (event->type()) {
        case QEvent::FocusIn:
            if (watched == field_)
                fresh_ = true;
            break;
        case QEvent::FocusOut:
            if (watched == field_ && typing_)
                Commit();
            break;
        case QEvent::ShortcutOverride: {
            // Typed characters belong to the field, not to a shortcut.
            auto* key = static_cast<QKeyEvent*>(event);
            if (IsTyped(key)) {
                event->accept();
                return true;
            }
            break;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (IsTyped(key)) {
                Type(key);
                return true;
            }
            if (typing_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                Commit();
                return false; // Enter goes on as the window wants it (Enter as Tab)
            }
            // Tab leaves the field with the typed date read (the field would otherwise step
            // through its sections of a text it cannot split).
            if (typing_ && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
                Commit();
                return false;
            }
            if (typing_ && key->key() == Qt::Key_Escape) {
                typing_ = false;
                line_->setValidator(validator_);
                field_->setDate(field_->date()); // the previous date's text again
                return true;
            }
            if (typing_ && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                            key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown))
                Commit();
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    static bool IsTyped(const QKeyEvent* key) {
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
            return true;
        const QString text = key->text();
        if (text.size() != 1)
            return false;
        const QChar c = text.at(0);
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
               c == QLatin1Char(',') || c == QLatin1Char(' ');
    }

    void Type(const QKeyEvent* key) {
        QString text = line_->text();
        int cursor = line_->cursorPosition();
        const bool allSelected = !text.isEmpty() && line_->selectedText() == text;
        if (!typing_ && (fresh_ || allSelected)) {
            text.clear();
            cursor = 0;
        } else if (line_->hasSelectedText()) {
            cursor = line_->selectionStart();
            text.remove(cursor, line_->selectedText().size());
        } else if (key->key() == Qt::Key_Backspace) {
            if (cursor > 0)
                text.remove(--cursor, 1);
        } else if (key->key() == Qt::Key_Delete) {
            text.remove(cursor, 1);
        }
        if (key->key() != Qt::Key_Backspace && key->key() != Qt::Key_Delete) {
            const QChar c =
                key->text().at(0) == QLatin1Char(',') ? QLatin1Char('.') : key->text().at(0);
            text.insert(cursor++, c);
        }
        typing_ = true;
        fresh_ = false;
        // The date field does not see the text as it grows: it would read every prefix as a
        // date of its own and move the day. Its validator would even mend the text itself
        // ("31.2." becomes "28.2."), so it is off until the typed text is read.
        line_->setValidator(nullptr);
        const QSignalBlocker block(line_);
        line_->setText(text);
        line_->setCursorPosition(cursor);
    }

    void Commit() {
        typing_ = false;
        fresh_ = false;
        const QString typed = line_->text();
        line_->setValidator(validator_);
        const QDate before = field_->date();
        RunGuarded([&] {
            try {
                const QDate date = ParseTypedDate(fieldName_, typed);
                // The field would move a date outside its range to the nearest end.
                if (date < field_->minimumDate() || date > field_->maximumDate()) {
                    throw ConversionError(WithFieldName(
                        fieldName_,
                        QStringLiteral("„%1“ leží mimo rozsah %2 až %3.")
                            .arg(typed.trimmed(), FormatInvoiceDate(field_->minimumDate()),
                                 FormatInvoiceDate(field_->maximumDate()))));
                }
                field_->setDate(date);
                if (date == before) {
                    const QSignalBlocker block(line_);
                    line_->setText(field_->text());
                }
            } catch (...) {
                const QSignalBlocker block(line_);
                field_->setDate(before);
                line_->setText(field_->text());
                throw;
            }
        });
    }

    // Plain pointers: the filter is the field's child and dies with it, and a QPointer of the
    // derived type would cast an object already half destroyed when events arrive during its
    // destruction.
    QDateEdit* field_;
    QLineEdit* line_;
    const QValidator* validator_ = nullptr; // the date field's own, off while the user types
    QString fieldName_;
    bool fresh_ = false;
    bool typing_ = false;
};

} // namespace

void MakeTypedDateField(QDateEdit* field, const QString& fieldName) {
    new TypedDateFilter(field, fieldName);
}

QString DueBeforeIssueMessage(const QDate& due, const QDate& issue) {
    return QStringLiteral("Datum splatnosti %1 je dřívější než datum vystavení %2.")
        .arg(FormatInvoiceDate(due), FormatInvoiceDate(issue));
}

void LinkDueDate(QDateEdit* issue, QDateEdit* due, std::function<int()> days) {
    auto last = std::make_shared<QDate>(issue->date());
    ConnectGuarded(issue, &QDateEdit::dateChanged, due, [issue, due, days, last](QDate date) {
        if (due->date() == last->addDays(days()))
            due->setDate(date.addDays(days()));
        *last = issue->date();
    });
    // Said once for each pair of dates, when one of the two fields is left.
    auto warned = std::make_shared<std::pair<QDate, QDate>>();
    auto warn = [issue, due, warned] {
        const std::pair<QDate, QDate> pair{due->date(), issue->date()};
        if (pair.first >= pair.second || pair == *warned)
            return;
        *warned = pair;
        ShowWarning(QStringLiteral("Upozornění"), DueBeforeIssueMessage(pair.first, pair.second));
    };
    QObject::connect(due, &QDateEdit::editingFinished, due, Guarded(warn));
    QObject::connect(issue, &QDateEdit::editingFinished, due, Guarded(warn));
}

} // namespace tarvela
