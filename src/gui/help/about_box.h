#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace tarvela {

// What the About box says besides the versions. The author, the support line and the rights
// holder are the project itself.
inline constexpr char kAboutAuthor[] = "Projekt Tarvela";
inline constexpr char kAboutHotLine[] = "podpora Tarvela, po–pá 8:00–16:00";
inline constexpr char kAboutRightsHolder[] = "Tarvela";
inline constexpr int kAboutFirstYear = 2021;

// The rights notice: "© 2021-" + end year + " Tarvela"; the end year is CurrentYear(), never
// below 2021.
QString AboutRightsNotice();

// Builds the About box ("O programu Tarvela", the form about_box.ui): a white 520 x 229 window
// with six rows of a bold dark-blue caption and its value, and the button Tl_Ok, which like Esc
// closes it. The caller owns the box; nothing is shown yet.
QDialog* CreateAboutBox(const QString& programVersion, const QString& buildDate,
                        const QString& printModuleText, QWidget* parent = nullptr);

// Builds the About box, shows it modally and destroys it when it closes.
// The box is centred on the screen; `parent` only keeps it above the program's window.
void ShowAboutBox(const QString& programVersion, const QString& buildDate,
                  const QString& printModuleText, QWidget* parent = nullptr);

} // namespace tarvela
