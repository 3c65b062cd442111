// The settings dialog, help, web pages and the About box, started from the main window.
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

#include <QGroupBox>

#include "help/about_box.h"
#include "help/help_links.h"
#include "printing/print_module.h"
#include "settings/tkonfig.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"

namespace tarvela {

void THlavni::Akce_KonfiguraceExecute() {
    const SymbolType before = Settings.TypSymbolu;
    {
        TKonfig dialog(Settings, ProgramFolder, this);
        // Ok saves first; only then do the settings and the window follow.
        dialog.SetApplyHook([this](const AppSettings& saved) {
            Settings = saved;
            ApplyVatLabels();
        });
        dialog.exec();
    }
    // However the dialog was closed.
    if (Settings.TypSymbolu != before)
        ApplySymbolType();
    ui_->GroupBox5->setTitle(QStringLiteral("Úhrada v ") + Settings.VychoziMena);
}

void THlavni::Akce_NapovedaExecute() {
    OpenHelpPage(ProgramFolder, QString::fromLatin1(kHelpIndexPageKey));
}

void THlavni::Akce_WebDomuExecute() {
    OpenDocument(HomePageUrl(), QString());
}

void THlavni::Akce_NavodFRExecute() {
    OpenDocument(ReportManualAddress(ProgramFolder), QString());
}

void THlavni::Akce_OProgramuExecute() {
    // A module that cannot be asked has already said so; its row then shows "PRM1  " alone.
    const QString label = GetPrintModuleVersion(ProgramFolder);
    const QString printModuleText = QStringLiteral("PRM1  ") + label;
    ShowAboutBox(ProgramVersionText(), QString::fromLatin1(kBuildDateText), printModuleText, this);
}

} // namespace tarvela
