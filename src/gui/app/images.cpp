#include "app/images.h"

#include <QString>
#include <QStyle>

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

// Without a desktop's icon theme Qt falls back to "hicolor", which holds the programs' own icons
// and none of the pictures of actions: looking for them there costs a look at each of its hundred
// folders (a user's own hicolor folder has no cache) for nothing.
bool DesktopIconTheme() {
    const QString theme = QIcon::themeName();
    return !theme.isEmpty() && theme != QLatin1String("hicolor");
}

} // namespace

QIcon CreateBookImage(const QStyle& style) {
    if (DesktopIconTheme())
        return style.standardIcon(QStyle::SP_FileDialogDetailedView);
    // The style's own picture in the sizes the style gives it.
    QIcon icon;
    for (const int size : {16, 32, 128})
        icon.addFile(
            QStringLiteral(":/qt-project.org/styles/commonstyle/images/viewdetailed-%1.png")
                .arg(size),
            QSize(size, size));
    return icon;
}

QList<QIcon> CreateActionImages() {
    RegisterBundledIcons();
    const bool desktopTheme = DesktopIconTheme();
    QList<QIcon> images;
    for (const char* name : kImageNames) {
        const QString themeName = QString::fromLatin1(name);
        QIcon bundled(QStringLiteral(":/icons/") + themeName + QStringLiteral(".svg"));
        images.append(desktopTheme ? QIcon::fromTheme(themeName, bundled) : bundled);
    }
    return images;
}

} // namespace tarvela
