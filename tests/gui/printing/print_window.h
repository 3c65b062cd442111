#pragma once

// A main window over a temporary program folder with an invoice open and filled through its
// controls, for the tests of printing from the window.

#include "support/main_window_fixture.h"
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

struct PrintWindow : MainWindowFixture {
    // templates: the bytes of each file put into Ses (none when empty).
    explicit PrintWindow(const AppSettings& settings, bool withTemplates = true)
        : MainWindowFixture(
              Setup().Ini({}).MachineToday().Hidden().Files([&](const TempProgramFolder& folder) {
                  SaveSettings(folder.path(), settings);
                  SavePeriodYear(folder.path(), settings.AktualniRok);
                  if (!withTemplates)
                      return;
                  for (const QString& name : kAllTemplates)
                      folder.writeBytes(QStringLiteral("Ses/") + name, "<p>{{Nazev1}}</p>");
              })) {}

    // New invoice, then every field typed and three item rows entered (rows 1, 2 and 4), each
    // made current once so its amounts are computed: 300 + 63 (21 %), the message row, 125 at
    // rate 0; total 488,00.
    void OpenFilledInvoice(const QString& formOfPayment = QStringLiteral("H")) {
        ui(*window).Akce_NovaFaktura->trigger();
        ui(*window).Ed_Fa2->setText(QStringLiteral("2026042"));
        ui(*window).Ed_Fa3->setText(QStringLiteral("OBJ-7"));
        ui(*window).Ed_Fa4->setText(QStringLiteral("Sklad Vyškov"));
        ui(*window).Ed_Fa5->setText(QStringLiteral("Brno-jih"));
        ui(*window).CBox_Fa6->setCurrentText(formOfPayment);
        ui(*window).Datum_Fa7->setDate(QDate(2026, 3, 5));
        ui(*window).Datum_Fa8->setDate(QDate(2026, 3, 6));
        ui(*window).Datum_Fa9->setDate(QDate(2026, 3, 20));
        ui(*window).Ed_Mena->setText(QStringLiteral("CZK"));
        ui(*window).Ed_Od1->setText(QStringLiteral("K7"));
        ui(*window).Ed_Od2->setText(QStringLiteral("Pekárna U Mlýna"));
        ui(*window).Ed_Od3->setText(QStringLiteral("provoz 2"));
        ui(*window).Ed_Od4->setText(QStringLiteral("Petr Novák"));
        ui(*window).Ed_Od5->setText(QStringLiteral("Mlýnská 5"));
        ui(*window).Ed_Od6->setText(QStringLiteral("62800"));
        ui(*window).Ed_Od7->setText(QStringLiteral("Brno"));
        ui(*window).Ed_Od8->setText(QStringLiteral("87654321"));
        ui(*window).Ed_Od9->setText(QStringLiteral("CZ87654321"));
        ui(*window).Ed_Komentar1->setText(QStringLiteral("Děkujeme."));
        ui(*window).Ed_Komentar2->setText(QStringLiteral("Zboží zůstává majetkem dodavatele."));
        SetRow(1, {"A1", "Oprava stolu", "ks", "2", "150,00", "21"});
        SetRow(2, {"msg", "Záloha", "", "", "", ""});
        SetRow(4, {"", "Doprava", "km", "10", "12,50", "0"});
        editor(*window).SetCurrentRow(1);
    }

    void SetRow(int row, const QStringList& cells) {
        for (int col = 1; col <= 6; ++col)
            editor(*window).SetCell(col, row, cells.at(col - 1));
        editor(*window).SetCurrentRow(row);
    }

    QString TemplatePath(const QString& name) const {
        return window->ProgramFolder() + QStringLiteral("Ses/") + name;
    }

    QStringList PeriodFiles(int year) const {
        return QDir(folder.file(QString::number(year))).entryList(QDir::Files);
    }
};

} // namespace tarvela::test
