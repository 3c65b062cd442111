// The period change through the main window: the year dialog, the settings file, the label.
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>

#include "settings/settings_file.h"
#include "support/main_window_fixture.h"

using namespace tarvela;
using namespace tarvela::test;

namespace {

// Picks `year` in the year dialog and confirms (or cancels when `confirm` is false).
void PickYear(const QString& year, bool confirm = true, QStringList* offered = nullptr) {
    OnNextModal([=](QWidget* modal) {
        auto* box = modal->findChild<QComboBox*>(QStringLiteral("CBox_Rok"));
        QVERIFY(box);
        if (offered) {
            for (int i = 0; i < box->count(); ++i)
                offered->append(box->itemText(i));
        }
        QCOMPARE(modal->windowTitle(), QStringLiteral("Změna období"));
        box->setCurrentIndex(box->findText(year));
        QTest::mouseClick(modal->findChild<QPushButton*>(confirm ? QStringLiteral("Tl_Ok")
                                                                 : QStringLiteral("Tl_Storno")),
                          Qt::LeftButton);
    });
}

} // namespace

class PeriodChangeTest : public QObject {
    Q_OBJECT
private slots:
    void theChosenYearSurvivesARestart() {
        MainWindowFixture f; // today 5 March 2026, period 2026
        THlavni& w = f.w();
        QStringList offered;
        PickYear("2024", true, &offered);
        ui(w).Akce_ZmenaObdobi->trigger();
        QCOMPARE(offered.first(), QStringLiteral("2027")); // next year offered too
        QCOMPARE(offered.last(), QStringLiteral("2010"));
        QCOMPARE(w.Settings().AktualniRok, 2024);
        QCOMPARE(ui(w).La_AktualniRok->text(), QStringLiteral("Období: 2024"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela"));
        QVERIFY(!QFileInfo::exists(f.folder.path() + "2024")); // no folder created
        const QByteArray ini = f.folder.readBytes("Tarvela.ini");
        QVERIFY(ini.contains("AktualniRok=2024\r\n"));
        QVERIFY(ini.contains("SazbaDPH2=15\r\n")); // the rest of the file stays

        THlavni restarted(f.folder.path(), QStringLiteral(","));
        QCOMPARE(restarted.Settings().AktualniRok, 2024);
        QCOMPARE(ui(restarted).La_AktualniRok->text(), QStringLiteral("Období: 2024"));
        QVERIFY(f.boxes.shown().isEmpty());
    }

    void cancellingChangesNothing() {
        MainWindowFixture f;
        THlavni& w = f.w();
        const QByteArray before = f.folder.readBytes("Tarvela.ini");
        PickYear("2020", false);
        ui(w).Akce_ZmenaObdobi->trigger();
        QCOMPARE(w.Settings().AktualniRok, 2026);
        QCOMPARE(ui(w).La_AktualniRok->text(), QStringLiteral("Období: 2026"));
        QCOMPARE(f.folder.readBytes("Tarvela.ini"), before);
    }

    void aFailedWriteChangesNeitherThePeriodNorTheLabel() {
        MainWindowFixture f;
        THlavni& w = f.w();
        // A settings file that cannot be written: a folder stands in its place.
        QVERIFY(QFile::remove(f.folder.file("Tarvela.ini")));
        QVERIFY(QDir().mkpath(f.folder.file("Tarvela.ini")));
        PickYear("2024");
        ui(w).Akce_ZmenaObdobi->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown()[0].kind, BoxKind::Error);
        QVERIFY2(f.boxes.shown()[0].text.startsWith(
                     QStringLiteral("Nastavení nelze zapsat do souboru „")),
                 qPrintable(f.boxes.shown()[0].text));
        QCOMPARE(w.Settings().AktualniRok, 2026);
        QCOMPARE(ui(w).La_AktualniRok->text(), QStringLiteral("Období: 2026"));
    }

    void disabledWhileAnInvoiceIsOpen() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        QVERIFY(!ui(w).Akce_ZmenaObdobi->isEnabled());
        QVERIFY(!w.IsModified()); // a new invoice closes without a question
        ui(w).Akce_ZavritFakturu->trigger();
        QVERIFY(ui(w).Akce_ZmenaObdobi->isEnabled());
    }
};

QTEST_MAIN(PeriodChangeTest)
#include "period_change_test.moc"
