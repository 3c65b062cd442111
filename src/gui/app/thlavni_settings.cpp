// The settings dialog, the period change, help, web pages and the About box, started from the
// main window.
#include "app/invoice_editor.h"
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QTabWidget>

#include "editor/period_change.h"
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

void THlavni::Akce_EetOdeslaneExecute() {
    TEetOdeslane window(EetService::Of(programFolder_), this);
    window.exec();
}

void THlavni::FormFirstStart() {
    ShowInfo(QStringLiteral("Vítejte v programu Tarvela. Nejprve vyplňte údaje dodavatele "
                            "(název, adresu, IČO, účet): tisknou se na každé faktuře. Nastavení "
                            "lze kdykoli změnit v nabídce Nástroje - Konfigurace."));
    OpenSettings(1);
}

void THlavni::OpenSettings(int page) {
    {
        TKonfig dialog(settings_, programFolder_, this);
        dialog.ShowPage(page);
        // Ok saves first; only then do the settings follow.
        ConnectGuarded(&dialog, &TKonfig::settingsSaved, this,
                       [this](const AppSettings& saved) { settings_ = saved; });
        dialog.exec();
    }
    // However the dialog was closed, the editor shows the settings as they are.
    editor_->ApplySettings(settings_);
}

void THlavni::Akce_ZmenaObdobiExecute() {
    // The year is written to the settings file first; the period changes in memory and on the
    // label only when that write succeeded (a failed write throws and changes nothing).
    if (const std::optional<int> year = ChangePeriod(this, programFolder_, settings_)) {
        editor_->ApplySettings(settings_);
        ui_->La_AktualniRok->setText(PeriodLabelText(*year));
        UpdateOverdueNotice();
    }
}

void THlavni::Akce_NapovedaExecute() {
    OpenHelpPage(programFolder_, QString::fromLatin1(kHelpIndexPageKey));
}

void THlavni::Akce_WebDomuExecute() {
    OpenDocumentOrSay(HomePageUrl());
}

void THlavni::Akce_NavodFRExecute() {
    OpenDocumentOrSay(ReportManualAddress(programFolder_));
}

void THlavni::Akce_OProgramuExecute() {
    // A module that cannot be asked has already said so; its row then shows "PRM1  " alone.
    const QString label = GetPrintModuleVersion(programFolder_);
    const QString printModuleText = QStringLiteral("PRM1  ") + label;
    ShowAboutBox(ProgramVersionText(), QString::fromLatin1(kBuildDateText), printModuleText, this);
}

} // namespace tarvela
