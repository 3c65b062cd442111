// The settings dialog opened from the main window: what the window shows after Ok, after Storno
// and after a save that failed.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

#include "settings/settings_file.h"
#include "settings/tkonfig.h"
#include "support/modal_dialog.h"
#include "support/test_support.h"
#include "support/thlavni_access.h"
#include "text/codec.h"
#include "text/gui_helpers.h"
#include "text/message_boxes.h"
#include "tkonfig_controls.h"

using namespace tarvela;
using tarvela::test::K;
using tarvela::test::TempProgramFolder;

namespace {

QByteArray Crlf(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return EncodeCp1250(t);
}

// Opens the settings through the window's action and runs `inDialog` while the dialog is up.
// Fails when the dialog does not appear or is not the settings dialog.
void WithSettingsDialog(THlavni& window, const std::function<void(TKonfig*)>& inDialog) {
    tarvela::test::WithModal([&] { ui(window).Akce_Konfigurace->trigger(); },
                             [&](QWidget* modal) {
                                 auto* dialog = qobject_cast<TKonfig*>(modal);
                                 QVERIFY2(dialog, "the modal window is not the settings dialog");
                                 inDialog(dialog);
                             });
}

const QList<QLabel*> VatLabels(const THlavni& w) {
    return {ui(w).La_DPH1,   ui(w).La_DPH2,   ui(w).La_DPH3,   ui(w).La_APDPH1, ui(w).La_APDPH2,
            ui(w).La_APDPH3, ui(w).La_SADPH1, ui(w).La_SADPH2, ui(w).La_SADPH3};
}

const QByteArray kPayerIni = Crlf(QStringLiteral("; vlastní poznámka\n[NASTAVENI]\nPlatce=1\n"
                                                 "SazbaDPH1=21\nSazbaDPH2=12\nSazbaDPH3=5\n"
                                                 "VychoziMena=EUR\nTypSymbolu=1\n"));

} // namespace

class TKonfigWindowTest : public QObject {
    Q_OBJECT

private slots:
    void stornoWritesNothingButSetsThePaymentCaption() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"), kPayerIni);
        THlavni window(folder.path(), QStringLiteral(","));
        const AppSettings before = window.Settings();
        ui(window).GroupBox5->setTitle(QString());
        WithSettingsDialog(window, [](TKonfig* dialog) {
            QTest::mouseClick(K(*dialog).Platce, Qt::LeftButton);
            QTest::mouseClick(K(*dialog).RBox_TypSymbolu0, Qt::LeftButton);
            QTest::mouseClick(K(*dialog).Storno, Qt::LeftButton);
        });
        QCOMPARE(window.Settings(), before);
        QCOMPARE(folder.readBytes(QStringLiteral("Tarvela.ini")), kPayerIni);
        QCOMPARE(ui(window).GroupBox5->title(), QStringLiteral("Úhrada v EUR"));
        QCOMPARE(ui(window).La_Fa2->text(), QStringLiteral("Variabilní symbol"));
        for (QLabel* label : VatLabels(window))
            QVERIFY(!label->isHidden());
    }

    void untickingThePayerHidesTheNineLabelsAndKeepsTheRates() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"), kPayerIni);
        THlavni window(folder.path(), QStringLiteral(","));
        for (QLabel* label : VatLabels(window))
            QVERIFY(!label->isHidden());
        WithSettingsDialog(window, [](TKonfig* dialog) {
            QTest::mouseClick(K(*dialog).UpDown_SazbaDPH1->UpButton(), Qt::LeftButton);
            QTest::mouseClick(K(*dialog).Platce, Qt::LeftButton);
            QVERIFY(!K(*dialog).UpDown_SazbaDPH1->isEnabled());
            QTest::mouseClick(K(*dialog).Ok, Qt::LeftButton);
        });
        QCOMPARE(window.Settings().Platce, false);
        QCOMPARE(window.Settings().SazbaDPH1, 22);
        for (QLabel* label : VatLabels(window))
            QVERIFY(label->isHidden());
        QCOMPARE(ui(window).La_DPH1->text(), QStringLiteral("DPH 22%"));
        QCOMPARE(ui(window).La_DPH2->text(), QStringLiteral("DPH 12%"));
        const AppSettings read = LoadSettings(folder.path());
        QCOMPARE(read.Platce, false);
        QCOMPARE(read.SazbaDPH1, 22);
        QCOMPARE(read.SazbaDPH3, 5);
        QVERIFY(folder.readBytes(QStringLiteral("Tarvela.ini")).startsWith("; vlastn"));

        // Ticking it again shows them with the new rates.
        WithSettingsDialog(window, [](TKonfig* dialog) {
            QTest::mouseClick(K(*dialog).Platce, Qt::LeftButton);
            QTest::mouseClick(K(*dialog).UpDown_SazbaDPH3->DownButton(), Qt::LeftButton);
            QTest::mouseClick(K(*dialog).Ok, Qt::LeftButton);
        });
        for (QLabel* label : VatLabels(window))
            QVERIFY(!label->isHidden());
        QCOMPARE(ui(window).La_DPH3->text(), QStringLiteral("DPH 4%"));
    }

    void changingOnlyTheSymbolTypeChangesTheHeaderFieldAtOnce() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"), kPayerIni);
        THlavni window(folder.path(), QStringLiteral(","));
        ui(window).Ed_Fa2->setText(QStringLiteral("1234567890")); // stays though longer than 4
        QCOMPARE(ui(window).Ed_Fa2->width(), 121);
        WithSettingsDialog(window, [](TKonfig* dialog) {
            QVERIFY(!K(*dialog).Ok->isEnabled());
            QTest::mouseClick(K(*dialog).RBox_TypSymbolu0, Qt::LeftButton);
            QVERIFY(K(*dialog).Ok->isEnabled());
            QTest::mouseClick(K(*dialog).Ok, Qt::LeftButton);
        });
        QCOMPARE(window.Settings().TypSymbolu, SymbolType::Constant);
        QCOMPARE(ui(window).La_Fa2->text(), QStringLiteral("Konstantní symbol"));
        QCOMPARE(ui(window).Ed_Fa2->width(), 49);
        QCOMPARE(TypingLimit(ui(window).Ed_Fa2), 4);
        QCOMPARE(ui(window).Ed_Fa2->text(), QStringLiteral("1234567890"));
        QCOMPARE(LoadSettings(folder.path()).TypSymbolu, SymbolType::Constant);
    }

    void okCreatesTheMissingPeriodFolderAndRenamesThePaymentGroup() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"),
                          Crlf(QStringLiteral("[NASTAVENI]\nAktualniRok=2027\n")));
        THlavni window(folder.path(), QStringLiteral(","));
        QVERIFY(QDir(folder.file(QStringLiteral("2027"))).removeRecursively());
        WithSettingsDialog(window, [](TKonfig* dialog) {
            K(*dialog).Ed_VychoziMena->setFocus();
            K(*dialog).Ed_VychoziMena->selectAll();
            QTest::keyClicks(K(*dialog).Ed_VychoziMena, QStringLiteral("USD"));
            QTest::mouseClick(K(*dialog).Ok, Qt::LeftButton);
        });
        QVERIFY(QFileInfo(folder.file(QStringLiteral("2027"))).isDir());
        QCOMPARE(window.Settings().VychoziMena, QStringLiteral("USD"));
        QCOMPARE(ui(window).GroupBox5->title(), QStringLiteral("Úhrada v USD"));
        const QByteArray bytes = folder.readBytes(QStringLiteral("Tarvela.ini"));
        QVERIFY(bytes.startsWith("[NASTAVENI]\r\nAktualniRok=2027\r\nVychoziMena=USD\r\n"));
    }

    void aFailedSaveLeavesTheWindowAsItWas() {
        TempProgramFolder folder;
        THlavni window(folder.path(), QStringLiteral(","));
        const AppSettings before = window.Settings();
        QVERIFY(QDir().mkpath(folder.file(QStringLiteral("Tarvela.ini"))));
        MessageBoxRecorder boxes;
        WithSettingsDialog(window, [&boxes](TKonfig* dialog) {
            QTest::mouseClick(K(*dialog).Platce, Qt::LeftButton);
            QTest::mouseClick(K(*dialog).RBox_TypSymbolu0, Qt::LeftButton);
            QTest::mouseClick(K(*dialog).Ok, Qt::LeftButton);
            QCOMPARE(boxes.shown().size(), 1);
            QVERIFY(boxes.shown()[0].text.startsWith(
                QStringLiteral("Nastavení nelze zapsat do souboru „")));
            QVERIFY(dialog->isVisible());
            QVERIFY(K(*dialog).Platce->isChecked());
            QTest::mouseClick(K(*dialog).Storno, Qt::LeftButton);
        });
        QCOMPARE(window.Settings(), before);
        for (QLabel* label : VatLabels(window))
            QVERIFY(label->isHidden());
        QCOMPARE(ui(window).La_Fa2->text(), QStringLiteral("Variabilní symbol"));
        QCOMPARE(ui(window).GroupBox5->title(), QStringLiteral("Úhrada v CZK"));
    }
};

QTEST_MAIN(TKonfigWindowTest)
#include "tkonfig_window_test.moc"
