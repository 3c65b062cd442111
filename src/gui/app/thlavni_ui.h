#pragma once

// The controls of the main window, shared by the window's source files (and the tests' accessor),
// never by other windows.

#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include "ui_thlavni.h"

namespace tarvela {

// The form as designed (thlavni.ui: the client area with the period, the menus and the actions)
// plus what the form cannot hold: the tool bar's buttons and the pop-up menus.
struct THlavniUi : Ui::THlavni {
    QToolBar* ToolBar1 = nullptr;
    QToolButton* TB_KonecProgramu = nullptr;
    QToolButton* TB_NovaFaktura = nullptr;
    QToolButton* TB_OtevritFakturu = nullptr;
    QToolButton* TB_ZavritFakturu = nullptr;
    QToolButton* TB_UlozitFakturu = nullptr;
    QToolButton* TB_Tisk = nullptr;
    QToolButton* TB_EditovatPolozku = nullptr;
    QToolButton* TB_ZkopirovatPolozku = nullptr;
    QToolButton* TB_VlozitPolozku = nullptr;
    QToolButton* TB_SmazatPolozku = nullptr;
    QToolButton* TB_PolozkaDolu = nullptr;
    QToolButton* TB_PolozkaNahoru = nullptr;
    QToolButton* TB_Sestavy = nullptr;
    QToolButton* TB_ZmenaObdobi = nullptr;
    QToolButton* TB_Konfigurace = nullptr;
    QToolButton* TB_Napoveda = nullptr;
    QToolButton* TB_KnihaFaktur = nullptr;
    QPushButton* Tl_PoSplatnosti = nullptr; // the status bar's notice of overdue invoices

    QMenu* PMenuTisk = nullptr;
    QMenu* PMenuSestavy = nullptr;
};

} // namespace tarvela
