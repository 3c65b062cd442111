#pragma once

// A main window over a temporary program folder with an invoice open and filled through its
// controls, for the tests of printing from the window.

#include "support/printing_fixtures.h"
#include "support/test_support.h"
#include "support/thlavni_access.h"
#include "text/message_boxes.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

#include <memory>

namespace tarvela::test {

inline const QStringList kAllTemplates = {
    QStringLiteral("Faktura.fr3"),       QStringLiteral("DodaciList.fr3"),
    QStringLiteral("CenovaNabidka.fr3"), QStringLiteral("PrijmovyDoklad2.fr3"),
    QStringLiteral("PrehledFaktur.fr3"), QStringLiteral("PrijmovyDoklad.fr3")};

struct PrintWindow {
    TempProgramFolder folder;
    MessageBoxRecorder boxes;
    std::unique_ptr<THlavni> w;

    // templates: the bytes of each file put into Ses (none when empty).
    explicit PrintWindow(const AppSettings& settings, bool withTemplates = true) {
        SaveSettings(folder.path(), settings);
        SavePeriodYear(folder.path(), settings.AktualniRok);
        if (withTemplates) {
            for (const QString& name : kAllTemplates)
                folder.writeBytes(QStringLiteral("Ses/") + name, "<p>{{Nazev1}}</p>");
        }
        w = std::make_unique<THlavni>(folder.path(), QStringLiteral(","));
    }

    // New invoice, then every field typed and three item rows entered (rows 1, 2 and 4), each
    // made current once so its amounts are computed: 300 + 63 (21 %), the message row, 125 at
    // rate 0; total 488,00.
    void OpenFilledInvoice(const QString& formOfPayment = QStringLiteral("H")) {
        ui(*w).Akce_NovaFaktura->trigger();
        ui(*w).Ed_Fa2->setText(QStringLiteral("2026042"));
        ui(*w).Ed_Fa3->setText(QStringLiteral("OBJ-7"));
        ui(*w).Ed_Fa4->setText(QStringLiteral("Sklad Vyškov"));
        ui(*w).Ed_Fa5->setText(QStringLiteral("Brno-jih"));
        ui(*w).CBox_Fa6->setCurrentText(formOfPayment);
        ui(*w).Datum_Fa7->setDate(QDate(2026, 3, 5));
        ui(*w).Datum_Fa8->setDate(QDate(2026, 3, 6));
        ui(*w).Datum_Fa9->setDate(QDate(2026, 3, 20));
        ui(*w).Ed_Mena->setText(QStringLiteral("CZK"));
        ui(*w).Ed_Od1->setText(QStringLiteral("K7"));
        ui(*w).Ed_Od2->setText(QStringLiteral("Pekárna U Mlýna"));
        ui(*w).Ed_Od3->setText(QStringLiteral("provoz 2"));
        ui(*w).Ed_Od4->setText(QStringLiteral("Petr Novák"));
        ui(*w).Ed_Od5->setText(QStringLiteral("Mlýnská 5"));
        ui(*w).Ed_Od6->setText(QStringLiteral("62800"));
        ui(*w).Ed_Od7->setText(QStringLiteral("Brno"));
        ui(*w).Ed_Od8->setText(QStringLiteral("87654321"));
        ui(*w).Ed_Od9->setText(QStringLiteral("CZ87654321"));
        ui(*w).Ed_Komentar1->setText(QStringLiteral("Děkujeme."));
        ui(*w).Ed_Komentar2->setText(QStringLiteral("Zboží zůstává majetkem dodavatele."));
        SetRow(1, {"A1", "Oprava stolu", "ks", "2", "150,00", "21"});
        SetRow(2, {"msg", "Záloha", "", "", "", ""});
        SetRow(4, {"", "Doprava", "km", "10", "12,50", "0"});
        editor(*w).SetCurrentRow(1);
    }

    void SetRow(int row, const QStringList& cells) {
        for (int col = 1; col <= 6; ++col)
            editor(*w).SetCell(col, row, cells.at(col - 1));
        editor(*w).SetCurrentRow(row);
    }

    QString TemplatePath(const QString& name) const {
        return w->ProgramFolder() + QStringLiteral("Ses/") + name;
    }

    QStringList PeriodFiles(int year) const {
        return QDir(folder.file(QString::number(year))).entryList(QDir::Files);
    }
};

} // namespace tarvela::test
