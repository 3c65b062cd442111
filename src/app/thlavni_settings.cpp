// The settings dialog, help, web pages and the About box, started from the main window.
#include "app/thlavni.h"

#include <QGroupBox>
#include <QLabel>

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
            La_DPH1->setText(QStringLiteral("DPH %1%").arg(Settings.SazbaDPH1));
            La_DPH2->setText(QStringLiteral("DPH %1%").arg(Settings.SazbaDPH2));
            La_DPH3->setText(QStringLiteral("DPH %1%").arg(Settings.SazbaDPH3));
            for (QLabel* label : {La_DPH1, La_DPH2, La_DPH3, La_APDPH1, La_APDPH2, La_APDPH3,
                                  La_SADPH1, La_SADPH2, La_SADPH3})
                label->setVisible(Settings.Platce);
        });
        dialog.exec();
    }
    // However the dialog was closed.
    if (Settings.TypSymbolu != before)
        ApplySymbolType();
    GroupBox5->setTitle(QStringLiteral("Úhrada v ") + Settings.VychoziMena);
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
