#include "help/help_links.h"

#include <QDir>
#include <QUrl>

#include "text/gui_helpers.h"

namespace tarvela {

namespace {

QString HelpFileAddress(const QString& programFolder, const char* fileName) {
    QString folder = QDir::fromNativeSeparators(programFolder);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
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

bool OpenHelpPage(const QString& programFolder, const QString& pageKey) {
    return OpenDocumentOrSay(HelpPageAddress(programFolder, pageKey));
}

} // namespace tarvela
