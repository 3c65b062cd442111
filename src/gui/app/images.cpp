#include "app/images.h"

#include <QString>

#include <array>

// The bundled pictures live in the resources of the static GUI library, which must be registered
// by name before the first use.
static void RegisterBundledIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace tarvela {

namespace {

// By index, the freedesktop name of each picture; the bundled fallback has the same name.
constexpr std::array<const char*, 16> kImageNames = {
    "document-new",         // 0 new invoice
    "document-open",        // 1 open
    "window-close",         // 2 close
    "document-save",        // 3 save
    "document-print",       // 4 print
    "document-properties",  // 5 edit item
    "edit-copy",            // 6 copy item
    "edit-paste",           // 7 paste item
    "edit-delete",          // 8 delete item
    "x-office-spreadsheet", // 9 reports
    "preferences-system",   // 10 settings
    "help-contents",        // 11 help
    "application-exit",     // 12 exit
    "go-up",                // 13 item up
    "go-down",              // 14 item down
    "x-office-calendar",    // 15 change of period
};

} // namespace

QList<QIcon> CreateActionImages() {
    RegisterBundledIcons();
    QList<QIcon> images;
    for (const char* name : kImageNames) {
        const QString themeName = QString::fromLatin1(name);
        images.append(QIcon::fromTheme(
            themeName, QIcon(QStringLiteral(":/icons/") + themeName + QStringLiteral(".svg"))));
    }
    return images;
}

} // namespace tarvela
