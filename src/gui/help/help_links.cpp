#include "help/help_links.h"
#include "text/helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "text/gui_helpers.h"
#include "text/message_boxes.h"

namespace tarvela {

namespace {

QString HelpFileAddress(const QString& programFolder, const char* fileName) {
    const QString folder = QDir::fromNativeSeparators(WithTrailingSeparator(programFolder));
    const QString path =
        folder + QLatin1String(kHelpFolderName) + QLatin1Char('/') + QLatin1String(fileName);
    // Fully encoded, so that a folder name with "#", "?" or spaces stays part of the path.
    return QUrl::fromLocalFile(QDir::cleanPath(path)).toString(QUrl::FullyEncoded);
}

} // namespace

QString HomePageUrl() {
    return QStringLiteral("http://") + QLatin1String(kHomePageAddress);
}

QString HelpIndexAddress(const QString& programFolder) {
    return HelpFileAddress(programFolder, kHelpIndexFileName);
}

QString HelpPageAddress(const QString& programFolder, const QString& pageKey) {
    return HelpIndexAddress(programFolder) + QStringLiteral("?STRANA=") + pageKey;
}

QString ReportManualAddress(const QString& programFolder) {
    return HelpFileAddress(programFolder, kReportManualFileName);
}

QString HelpFilePath(const QString& programFolder) {
    return QDir::toNativeSeparators(QUrl(HelpIndexAddress(programFolder)).toLocalFile());
}

QString HelpNotOpenedMessage(const QString& programFolder) {
    const QString path = HelpFilePath(programFolder);
    if (!QFileInfo(path).isFile())
        return QStringLiteral("Nápověda nebyla nalezena: soubor „%1“ neexistuje. Nainstalujte "
                              "program znovu (scripts/run.sh).")
            .arg(path);
    return QStringLiteral("Nápovědu se nepodařilo otevřít: na tomto počítači není nastaven "
                          "webový prohlížeč ani jiný program, který by ji zobrazil.\r\n"
                          "Nápověda je v souboru „%1“; otevřete jej v prohlížeči.")
        .arg(path);
}

bool OpenHelpPage(const QString& programFolder, const QString& pageKey) {
    if (!QFileInfo(HelpFilePath(programFolder)).isFile()) {
        ShowWarning(QStringLiteral("Upozornění"), HelpNotOpenedMessage(programFolder));
        return false;
    }
    return OpenDocumentOrSay(HelpPageAddress(programFolder, pageKey),
                             HelpNotOpenedMessage(programFolder));
}

} // namespace tarvela
