#pragma once

#include "editor/picker_files.h"

#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class QWidget;

namespace tarvela {

// The period menu (PeriodMenu) of the pickers: a pop-up menu of the period folders, rebuilt on
// every click of a picker button. Each item is named "PMenu_Rok_" + year and captioned with the
// year; its handler gets the year back from the name.

// A new, empty period menu named "PMenu_Rok", owned by `parent`.
QMenu* NewPeriodMenu(QWidget* parent);

// Fills the menu with one item per period folder of the program folder, newest year first,
// each wired to `onPick` with the item. Without any period folder the menu stays as it was and
// the result is false. The listing lets the GUI process pending events (user input excluded).
bool BuildPeriodMenu(QMenu* menu, const QString& programFolder,
                     const std::function<void(QAction*)>& onPick);

// The year of a period menu item: its name without the leading "PMenu_Rok_".
QString PeriodMenuYear(const QAction* item);

// Pops the menu up at a screen point and returns at once; the picked item's handler runs later.
void PopUpPeriodMenu(QMenu* menu, const QPoint& screenPoint);

// The common start of the period handlers: true when the folder ProgramFolder + year exists;
// otherwise shows "Nebyl nalezen adresář "<year>" do kterého se ukládají vytvořené faktury."
// and gives false.
bool CheckPeriodFolder(const QString& programFolder, const QString& year);

// Chooses an invoice of the period in the open dialog (owned by `owner`); the chosen file's
// path, or nothing when the user cancelled or chose nothing.
std::optional<QString> ChooseInvoiceOfPeriod(QWidget* owner, const QString& programFolder,
                                             const QString& year);

// The customer picker for a picked period: the common start, the open dialog, then the lines
// 10 to 18 of the chosen file. Nothing when the folder is missing or nothing was chosen.
std::optional<CustomerTaken> TakeCustomerFromInvoice(QWidget* owner, const QString& programFolder,
                                                     const QString& year);

// The template picker for a picked period: as the customer picker, with the lines a template
// takes.
std::optional<TemplateTaken> TakeTemplateFromInvoice(QWidget* owner, const QString& programFolder,
                                                     const QString& year);

} // namespace tarvela
