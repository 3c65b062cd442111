// The settings dialog, help, web pages and the About box, started from the main window.
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QTabWidget>

#include "eet/eet_service.h"
#include "eet/teetodeslane.h"
#include "help/about_box.h"
#include "help/help_links.h"
#include "printing/print_module.h"
#include "settings/tkonfig.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

namespace tarvela {

void THlavni::Akce_KonfiguraceExecute() {
    OpenSettings(0);
}

void THlavni::Akce_EetOdeslaneExecute() {
    TEetOdeslane window(EetService::Of(ProgramFolder), this);
    window.exec();
}

void THlavni::FormFirstStart() {
    ShowInfo(QStringLiteral("Vítejte v programu Tarvela. Nejprve vyplňte údaje dodavatele "
                            "(název, adresu, IČO, účet): tisknou se na každé faktuře. Nastavení "
                            "lze kdykoli změnit v nabídce Nástroje - Konfigurace."));
    OpenSettings(1);
}

void THlavni::OpenSettings(int page) {
    const SymbolType before = Settings.TypSymbolu;
    {
        TKonfig dialog(Settings, ProgramFolder, this);
        dialog.ShowPage(page);
        // Ok saves first; only then do the settings and the window follow.
        ConnectGuarded(&dialog, &TKonfig::settingsSaved, this, [this](const AppSettings& saved) {
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
    OpenDocumentOrSay(HomePageUrl());
}

void THlavni::Akce_NavodFRExecute() {
    OpenDocumentOrSay(ReportManualAddress(ProgramFolder));
}

void THlavni::Akce_OProgramuExecute() {
    // A module that cannot be asked has already said so; its row then shows "PRM1  " alone.
    const QString label = GetPrintModuleVersion(ProgramFolder);
    const QString printModuleText = QStringLiteral("PRM1  ") + label;
    ShowAboutBox(ProgramVersionText(), QString::fromLatin1(kBuildDateText), printModuleText, this);
}

} // namespace tarvela
