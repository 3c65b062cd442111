#pragma once

#include <QString>

namespace tarvela {

// The project's home page without its scheme. The home-page action and the link of the About box
// both use it; it is kept here and nowhere else.
inline constexpr char kHomePageAddress[] = "tarvela.cz";

// The build date that the About box shows beside the program's version.
inline constexpr char kBuildDateText[] = "2022-07-08";

// The page key of the help index, the only one the program asks for.
inline constexpr char kHelpIndexPageKey[] = "page0000";

// The help pages and the report manual live in the folder "help" beside the program.
inline constexpr char kHelpFolderName[] = "help";
inline constexpr char kHelpIndexFileName[] = "index.html";
inline constexpr char kReportManualFileName[] = "sablony.html";

// "http://" + kHomePageAddress.
QString HomePageUrl();

// The local file address of the help index: programFolder + "help/index.html" as a file URL.
QString HelpIndexAddress(const QString& programFolder);

// The help index address + "?STRANA=" + pageKey.
QString HelpPageAddress(const QString& programFolder, const QString& pageKey);

// The local file address of the report manual: programFolder + "help/sablony.html".
QString ReportManualAddress(const QString& programFolder);

// The help index as a file path ("/home/jana/Tarvela/help/index.html").
QString HelpFilePath(const QString& programFolder);
// What the box says when the help cannot be shown: the help file is missing, or no browser
// took it; either way it names the help file's path.
QString HelpNotOpenedMessage(const QString& programFolder);

// Opens the help on a page through OpenDocumentOrSay; without the help file or a browser a box
// names the help file's path. False when it was refused at once.
bool OpenHelpPage(const QString& programFolder, const QString& pageKey);

} // namespace tarvela
