#pragma once

#include <QIcon>
#include <QList>

class QStyle;

namespace tarvela {

// The sixteen pictures of the main window's actions, by index: 0 new invoice, 1 open, 2 close,
// 3 save, 4 print, 5 edit item, 6 copy item, 7 paste item, 8 delete item, 9 reports,
// 10 settings, 11 help, 12 exit, 13 item up, 14 item down, 15 change of period.
//
// Each is the desktop icon theme's icon of its freedesktop name (document-new, edit-copy, ...),
// or, where the theme has none or no theme is set, the 16 x 16 picture bundled with the program
// under the same name (app/icons/<name>.svg in the resources). Without a desktop's theme (none
// set, or only the fallback "hicolor", which holds programs' own icons) the bundled pictures are
// taken without looking into the theme's folders.
QList<QIcon> CreateActionImages();

// The picture of the invoice book: the style's "detailed view" picture, which is the theme's
// "view-list-details" where a desktop's theme has one, else the style's own picture, taken
// without looking into the theme's folders.
QIcon CreateBookImage(const QStyle& style);

} // namespace tarvela
