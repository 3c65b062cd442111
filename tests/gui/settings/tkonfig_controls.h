#pragma once

// The settings dialog's controls for its tests, found by their object names.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <array>

#include "settings/tkonfig.h"
#include "support/controls.h"

namespace tarvela::test {

struct KonfigControls {
    explicit KonfigControls(const TKonfig& dialog) {
        Ok = Control<QPushButton>(&dialog, "Ok");
        Storno = Control<QPushButton>(&dialog, "Storno");
        PageControl1 = Control<QTabWidget>(&dialog, "PageControl1");
        TabSheet1 = Control<QWidget>(&dialog, "TabSheet1");
        TabSheet2 = Control<QWidget>(&dialog, "TabSheet2");
        GBox_Mena = Control<QGroupBox>(&dialog, "GBox_Mena");
        Ed_VychoziMena = Control<QLineEdit>(&dialog, "Ed_VychoziMena");
        La_KodMeny = Control<QLabel>(&dialog, "La_KodMeny");
        GBox_DPH = Control<QGroupBox>(&dialog, "GBox_DPH");
        Platce = Control<QCheckBox>(&dialog, "Platce");
        La_SazbaDPH1 = Control<QLabel>(&dialog, "La_SazbaDPH1");
        La_SazbaDPH2 = Control<QLabel>(&dialog, "La_SazbaDPH2");
        La_SazbaDPH3 = Control<QLabel>(&dialog, "La_SazbaDPH3");
        Ed_SazbaDPH1 = Control<QLineEdit>(&dialog, "Ed_SazbaDPH1");
        Ed_SazbaDPH2 = Control<QLineEdit>(&dialog, "Ed_SazbaDPH2");
        Ed_SazbaDPH3 = Control<QLineEdit>(&dialog, "Ed_SazbaDPH3");
        UpDown_SazbaDPH1 = Control<TUpDown>(&dialog, "UpDown_SazbaDPH1");
        UpDown_SazbaDPH2 = Control<TUpDown>(&dialog, "UpDown_SazbaDPH2");
        UpDown_SazbaDPH3 = Control<TUpDown>(&dialog, "UpDown_SazbaDPH3");
        Ed_PoznamkaOsvobozeni = Control<QLineEdit>(&dialog, "Ed_PoznamkaOsvobozeni");
        GBox_VychoziSplatnost = Control<QGroupBox>(&dialog, "GBox_VychoziSplatnost");
        Text_DobaSplatnosti = Control<QLineEdit>(&dialog, "Text_DobaSplatnosti");
        DobaSplatnosti = Control<TUpDown>(&dialog, "DobaSplatnosti");
        RBox_TypSymbolu = Control<QGroupBox>(&dialog, "RBox_TypSymbolu");
        RBox_TypSymbolu0 = Control<QRadioButton>(&dialog, "RBox_TypSymbolu0");
        RBox_TypSymbolu1 = Control<QRadioButton>(&dialog, "RBox_TypSymbolu1");
        Ed_Nazev = Control<QLineEdit>(&dialog, "Ed_Nazev");
        Ed_Jmeno = Control<QLineEdit>(&dialog, "Ed_Jmeno");
        Ed_Ulice = Control<QLineEdit>(&dialog, "Ed_Ulice");
        Ed_Mesto = Control<QLineEdit>(&dialog, "Ed_Mesto");
        Ed_IC = Control<QLineEdit>(&dialog, "Ed_IC");
        Ed_DIC = Control<QLineEdit>(&dialog, "Ed_DIC");
        Ed_Registrace = Control<QLineEdit>(&dialog, "Ed_Registrace");
        Ed_Banka = Control<QLineEdit>(&dialog, "Ed_Banka");
        Ed_Ucet = Control<QLineEdit>(&dialog, "Ed_Ucet");
        Ed_IBAN = Control<QLineEdit>(&dialog, "Ed_IBAN");
        Ed_BIC = Control<QLineEdit>(&dialog, "Ed_BIC");
        Ed_Telefon = Control<QLineEdit>(&dialog, "Ed_Telefon");
        Ed_Fax = Control<QLineEdit>(&dialog, "Ed_Fax");
        Ed_Email = Control<QLineEdit>(&dialog, "Ed_Email");
        Ed_WWW = Control<QLineEdit>(&dialog, "Ed_WWW");
        Ed_Osoba = Control<QLineEdit>(&dialog, "Ed_Osoba");
        for (std::size_t i = 0; i < SupplierEdits.size(); ++i)
            SupplierEdits[i] = Control<QLineEdit>(&dialog, kSupplierFields[i].editName);
    }

    QPushButton* Ok = nullptr;
    QPushButton* Storno = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QGroupBox* GBox_Mena = nullptr;
    QLineEdit* Ed_VychoziMena = nullptr;
    QLabel* La_KodMeny = nullptr;
    QGroupBox* GBox_DPH = nullptr;
    QCheckBox* Platce = nullptr;
    QLineEdit* Ed_PoznamkaOsvobozeni = nullptr;
    QLabel* La_SazbaDPH1 = nullptr;
    QLabel* La_SazbaDPH2 = nullptr;
    QLabel* La_SazbaDPH3 = nullptr;
    QLineEdit* Ed_SazbaDPH1 = nullptr;
    QLineEdit* Ed_SazbaDPH2 = nullptr;
    QLineEdit* Ed_SazbaDPH3 = nullptr;
    TUpDown* UpDown_SazbaDPH1 = nullptr;
    TUpDown* UpDown_SazbaDPH2 = nullptr;
    TUpDown* UpDown_SazbaDPH3 = nullptr;
    QGroupBox* GBox_VychoziSplatnost = nullptr;
    QLineEdit* Text_DobaSplatnosti = nullptr;
    TUpDown* DobaSplatnosti = nullptr;
    QGroupBox* RBox_TypSymbolu = nullptr;
    QRadioButton* RBox_TypSymbolu0 = nullptr;
    QRadioButton* RBox_TypSymbolu1 = nullptr;
    QLineEdit* Ed_Nazev = nullptr;
    QLineEdit* Ed_Jmeno = nullptr;
    QLineEdit* Ed_Ulice = nullptr;
    QLineEdit* Ed_Mesto = nullptr;
    QLineEdit* Ed_IC = nullptr;
    QLineEdit* Ed_DIC = nullptr;
    QLineEdit* Ed_Registrace = nullptr;
    QLineEdit* Ed_Banka = nullptr;
    QLineEdit* Ed_Ucet = nullptr;
    QLineEdit* Ed_IBAN = nullptr;
    QLineEdit* Ed_BIC = nullptr;
    QLineEdit* Ed_Telefon = nullptr;
    QLineEdit* Ed_Fax = nullptr;
    QLineEdit* Ed_Email = nullptr;
    QLineEdit* Ed_WWW = nullptr;
    QLineEdit* Ed_Osoba = nullptr;
    // The sixteen supplier edits in tab order (the order of kSupplierFields).
    std::array<QLineEdit*, 16> SupplierEdits{};
};

// The controls of a settings dialog.
inline KonfigControls K(const TKonfig& dialog) {
    return KonfigControls(dialog);
}

} // namespace tarvela::test
