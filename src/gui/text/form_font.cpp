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

} // namespace tarvela
