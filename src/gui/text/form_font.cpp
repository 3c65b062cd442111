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

void SetUpFixedDialog(QWidget* dialog, bool systemMenu) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint;
    if (systemMenu)
        flags |= Qt::WindowSystemMenuHint;
    dialog->setWindowFlags(flags);
    dialog->setFixedSize(dialog->size());
    ApplyFormFont(dialog);
}

} // namespace tarvela
