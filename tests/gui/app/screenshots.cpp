// Saves pictures of the main window and its menus as PNG files, for looking at the layout:
//   screenshots <folder>
// Built on request only (target app_screenshots); run it offscreen or under Xvfb.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/application.h"
#include "support/thlavni_access.h"
#include "text/message_boxes.h"

using namespace tarvela;

namespace {

void Save(QWidget* widget, const QString& folder, const QString& name) {
    widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void SaveMenu(QMenu* menu, const QString& folder, const QString& name) {
    menu->popup(QPoint(100, 100));
    QTest::qWait(50);
    Save(menu, folder, name);
    menu->hide();
}

} // namespace

int main(int argc, char** argv) {
    TarvelaApplication app(argc, argv);
    SetUpApplication(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir folder;
    QFile ini(folder.path() + QStringLiteral("/Tarvela.ini"));
    if (argc > 2 && ini.open(QIODevice::WriteOnly))
        ini.write("[NASTAVENI]\r\nPlatce=1\r\nTypSymbolu=1\r\n");
    ini.close();

    MessageBoxRecorder boxes;
    THlavni w(folder.path(), QStringLiteral(","));
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    QTest::qWait(100);
    Save(&w, out, QStringLiteral("01_empty"));

    SaveMenu(ui(w).HMenu_Faktura, out, QStringLiteral("02_menu_faktura"));
    SaveMenu(ui(w).HMenu_Tisk, out, QStringLiteral("03_menu_tisk"));
    SaveMenu(ui(w).HMenu_Polozky, out, QStringLiteral("04_menu_polozky"));
    SaveMenu(ui(w).HMenu_Sestavy, out, QStringLiteral("05_menu_sestavy"));
    SaveMenu(ui(w).HMenu_Nastroje, out, QStringLiteral("06_menu_nastroje"));
    SaveMenu(ui(w).HMenu_Napoveda, out, QStringLiteral("07_menu_napoveda"));

    ui(w).Akce_NovaFaktura->trigger();
    ui(w).Ed_Fa1->setText(QStringLiteral("2026001"));
    ui(w).CBox_Fa6->setCurrentIndex(1);
    ui(w).Ed_Od2->setText(QStringLiteral("Žluťoučký kůň s.r.o."));
    ui(w).Ed_Mena->setText(QStringLiteral("CZK"));
    QTest::qWait(50);
    Save(&w, out, QStringLiteral("08_page1"));
    SaveMenu(ui(w).PMenuTisk, out, QStringLiteral("09_popup_tisk"));
    SaveMenu(ui(w).HMenu_Tisk, out, QStringLiteral("10_menu_tisk_open"));

    editor(w).SetCell(1, 1, QStringLiteral("A1"));
    editor(w).SetCell(2, 1, QStringLiteral("Oprava čerpadla"));
    editor(w).SetCell(3, 1, QStringLiteral("ks"));
    editor(w).SetCell(4, 1, QStringLiteral("2"));
    editor(w).SetCell(5, 1, QStringLiteral("150,00"));
    editor(w).SetCell(6, 1, QStringLiteral("21"));
    ui(w).PageControl1->setCurrentIndex(1);
    editor(w).SetCurrentRow(2); // a change of the current row shows its amounts
    editor(w).SetCurrentRow(1);
    QTest::qWait(50);
    Save(&w, out, QStringLiteral("11_page2"));
    return 0;
}
