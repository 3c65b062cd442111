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

#include "app/thlavni.h"
#include "settings/settings_file.h"
#include "settings/tkonfig.h"
#include "support/test_support.h"
#include "text/codec.h"
#include "text/gui_helpers.h"
#include "text/message_boxes.h"

using namespace tarvela;
using tarvela::test::TempProgramFolder;

namespace {

QByteArray Crlf(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return EncodeCp1250(t);
}

// Opens the settings through the window's action and runs `inDialog` while the dialog is up.
// Fails when the dialog does not appear or is still open afterwards.
void WithSettingsDialog(THlavni& window, const std::function<void(TKonfig*)>& inDialog) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<TKonfig*>(QApplication::activeModalWidget());
        if (!dialog || seen)
            return;
        seen = true;
        inDialog(dialog);
        QTimer::singleShot(500, dialog, [dialog] {
            if (dialog->isVisible())
                dialog->reject();
        });
    });
    poll.start();
    window.Akce_Konfigurace->trigger();
    poll.stop();
    QVERIFY(seen);
}

const QList<QLabel*> VatLabels(const THlavni& w) {
    return {w.La_DPH1,   w.La_DPH2,   w.La_DPH3,   w.La_APDPH1, w.La_APDPH2,
            w.La_APDPH3, w.La_SADPH1, w.La_SADPH2, w.La_SADPH3};
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
        const AppSettings before = window.Settings;
        window.GroupBox5->setTitle(QString());
        WithSettingsDialog(window, [](TKonfig* dialog) {
            QTest::mouseClick(dialog->Platce, Qt::LeftButton);
            QTest::mouseClick(dialog->RBox_TypSymbolu0, Qt::LeftButton);
            QTest::mouseClick(dialog->Storno, Qt::LeftButton);
        });
        QCOMPARE(window.Settings, before);
        QCOMPARE(folder.readBytes(QStringLiteral("Tarvela.ini")), kPayerIni);
        QCOMPARE(window.GroupBox5->title(), QStringLiteral("Úhrada v EUR"));
        QCOMPARE(window.La_Fa2->text(), QStringLiteral("Variabilní symbol"));
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
            QTest::mouseClick(dialog->UpDown_SazbaDPH1->UpButton(), Qt::LeftButton);
            QTest::mouseClick(dialog->Platce, Qt::LeftButton);
            QVERIFY(!dialog->UpDown_SazbaDPH1->isEnabled());
            QTest::mouseClick(dialog->Ok, Qt::LeftButton);
        });
        QCOMPARE(window.Settings.Platce, false);
        QCOMPARE(window.Settings.SazbaDPH1, 22);
        for (QLabel* label : VatLabels(window))
            QVERIFY(label->isHidden());
        QCOMPARE(window.La_DPH1->text(), QStringLiteral("DPH 22%"));
        QCOMPARE(window.La_DPH2->text(), QStringLiteral("DPH 12%"));
        const AppSettings read = LoadSettings(folder.path());
        QCOMPARE(read.Platce, false);
        QCOMPARE(read.SazbaDPH1, 22);
        QCOMPARE(read.SazbaDPH3, 5);
        QVERIFY(folder.readBytes(QStringLiteral("Tarvela.ini")).startsWith("; vlastn"));

        // Ticking it again shows them with the new rates.
        WithSettingsDialog(window, [](TKonfig* dialog) {
            QTest::mouseClick(dialog->Platce, Qt::LeftButton);
            QTest::mouseClick(dialog->UpDown_SazbaDPH3->DownButton(), Qt::LeftButton);
            QTest::mouseClick(dialog->Ok, Qt::LeftButton);
        });
        for (QLabel* label : VatLabels(window))
            QVERIFY(!label->isHidden());
        QCOMPARE(window.La_DPH3->text(), QStringLiteral("DPH 4%"));
    }

    void changingOnlyTheSymbolTypeChangesTheHeaderFieldAtOnce() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"), kPayerIni);
        THlavni window(folder.path(), QStringLiteral(","));
        window.Ed_Fa2->setText(QStringLiteral("1234567890")); // stays though longer than 4
        QCOMPARE(window.Ed_Fa2->width(), 121);
        WithSettingsDialog(window, [](TKonfig* dialog) {
            QVERIFY(!dialog->Ok->isEnabled());
            QTest::mouseClick(dialog->RBox_TypSymbolu0, Qt::LeftButton);
            QVERIFY(dialog->Ok->isEnabled());
            QTest::mouseClick(dialog->Ok, Qt::LeftButton);
        });
        QCOMPARE(window.Settings.TypSymbolu, SymbolType::Constant);
        QCOMPARE(window.La_Fa2->text(), QStringLiteral("Konstantní symbol"));
        QCOMPARE(window.Ed_Fa2->width(), 49);
        QCOMPARE(TypingLimit(window.Ed_Fa2), 4);
        QCOMPARE(window.Ed_Fa2->text(), QStringLiteral("1234567890"));
        QCOMPARE(LoadSettings(folder.path()).TypSymbolu, SymbolType::Constant);
    }

    void okCreatesTheMissingPeriodFolderAndRenamesThePaymentGroup() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"),
                          Crlf(QStringLiteral("[NASTAVENI]\nAktualniRok=2027\n")));
        THlavni window(folder.path(), QStringLiteral(","));
        QVERIFY(QDir(folder.file(QStringLiteral("2027"))).removeRecursively());
        WithSettingsDialog(window, [](TKonfig* dialog) {
            dialog->Ed_VychoziMena->setFocus();
            dialog->Ed_VychoziMena->selectAll();
            QTest::keyClicks(dialog->Ed_VychoziMena, QStringLiteral("USD"));
            QTest::mouseClick(dialog->Ok, Qt::LeftButton);
        });
        QVERIFY(QFileInfo(folder.file(QStringLiteral("2027"))).isDir());
        QCOMPARE(window.Settings.VychoziMena, QStringLiteral("USD"));
        QCOMPARE(window.GroupBox5->title(), QStringLiteral("Úhrada v USD"));
        const QByteArray bytes = folder.readBytes(QStringLiteral("Tarvela.ini"));
        QVERIFY(bytes.startsWith("[NASTAVENI]\r\nAktualniRok=2027\r\nVychoziMena=USD\r\n"));
    }

    void aFailedSaveLeavesTheWindowAsItWas() {
        TempProgramFolder folder;
        THlavni window(folder.path(), QStringLiteral(","));
        const AppSettings before = window.Settings;
        QVERIFY(QDir().mkpath(folder.file(QStringLiteral("Tarvela.ini"))));
        MessageBoxRecorder boxes;
        WithSettingsDialog(window, [&boxes](TKonfig* dialog) {
            QTest::mouseClick(dialog->Platce, Qt::LeftButton);
            QTest::mouseClick(dialog->RBox_TypSymbolu0, Qt::LeftButton);
            QTest::mouseClick(dialog->Ok, Qt::LeftButton);
            QCOMPARE(boxes.shown().size(), 1);
            QVERIFY(boxes.shown()[0].text.startsWith(
                QStringLiteral("Nastavení nelze zapsat do souboru „")));
            QVERIFY(dialog->isVisible());
            QVERIFY(dialog->Platce->isChecked());
            QTest::mouseClick(dialog->Storno, Qt::LeftButton);
        });
        QCOMPARE(window.Settings, before);
        for (QLabel* label : VatLabels(window))
            QVERIFY(label->isHidden());
        QCOMPARE(window.La_Fa2->text(), QStringLiteral("Variabilní symbol"));
        QCOMPARE(window.GroupBox5->title(), QStringLiteral("Úhrada v CZK"));
    }
};

QTEST_MAIN(TKonfigWindowTest)
#include "tkonfig_window_test.moc"
