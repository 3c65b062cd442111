#include "editor/id_checks.h"

#include "editor/customer_book.h"
#include "text/message_boxes.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace tarvela {

namespace {

// The value last warned about, kept on the field itself.
constexpr char kWarnedProperty[] = "tarvelaWarnedId";

} // namespace

QString IdWarningCaption() {
    return QStringLiteral("Upozornění");
}

void MarkIdWarned(QLineEdit* edit) {
    edit->setProperty(kWarnedProperty, edit->text());
}

void CheckIdWhenLeft(QLineEdit* edit, IdKind kind) {
    ConnectGuarded(edit, &QLineEdit::editingFinished, edit, [edit, kind] {
        // The box comes after the focus has moved on, so the click that left the field (on a
        // button, say) is not swallowed by the box.
        QTimer::singleShot(
            0, edit, Guarded([edit, kind] {
                const QString text = edit->text();
                const QString warning = kind == IdKind::IC ? ICWarning(text) : DICWarning(text);
                if (warning.isEmpty() || edit->property(kWarnedProperty).toString() == text)
                    return;
                MarkIdWarned(edit);
                ShowWarning(IdWarningCaption(),
                            warning + QStringLiteral("\r\nÚdaj zůstane, jak je zadán; "
                                                     "opravte jej, jde-li o překlep."));
            }));
    });
}

} // namespace tarvela
