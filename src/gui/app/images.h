#pragma once

#include <QIcon>
#include <QList>

namespace tarvela {

// The sixteen 16 x 16 pictures of the main window's actions, drawn at start so that they do not
// depend on an icon theme. By index: 0 new invoice, 1 open, 2 close, 3 save, 4 print, 5 edit item,
// 6 copy item, 7 paste item, 8 delete item, 9 reports, 10 settings, 11 help, 12 exit,
// 13 item up, 14 item down, 15 change of period.
QList<QIcon> CreateActionImages();

} // namespace tarvela
