#include "text/form_font.h"

#include <QFont>
#include <QStringList>
#include <QWidget>

namespace tarvela {

void ApplyFormFont(QWidget* window) {
    QFont font(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    window->setFont(font);
}

Qt::WindowFlags FixedDialogFlags(bool systemMenu) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint;
    if (systemMenu)
        flags |= Qt::WindowSystemMenuHint;
    return flags;
}

void SetUpFixedDialog(QWidget* dialog, bool systemMenu) {
    dialog->setWindowFlags(FixedDialogFlags(systemMenu));
    dialog->setFixedSize(dialog->size());
    ApplyFormFont(dialog);
}

} // namespace tarvela
