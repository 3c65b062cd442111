// The EET windows driven as the user does: the settings page verifies the connection against the
// service imitated on 127.0.0.1 and says in Czech what came back; the outbox window lists the
// waiting, refused and confirmed payments with a warning for one older than 40 hours.
#include "eet/eet_service.h"
#include "eet/eet_settings_page.h"
#include "eet/teetodeslane.h"
#include "settings/settings_file.h"
#include "settings/tkonfig.h"
#include "support/eet_program_folder.h"
#include "support/list_views.h"
#include "support/test_support.h"
#include "text/message_boxes.h"
#include "ui_eet_settings_page.h"
#include "ui_teetodeslane.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using namespace tarvela;
using namespace tarvela::test;

namespace {} // namespace

class EetWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { EetPki(); }

    void verifyingTheConnectionSaysWhatCameBack() {
        TempProgramFolder folder;
        EetServiceImitation service;
        PointEetAtImitation(folder, service);
        EetSettingsPage page(folder.path());
        auto* password = page.findChild<QLineEdit*>(QStringLiteral("Ed_EetHeslo"));
        auto* button = page.findChild<QPushButton*>(QStringLiteral("Tl_EetOverit"));
        auto* status = page.findChild<QLabel*>(QStringLiteral("La_EetStav"));
        QVERIFY(password && button && status);
        password->setFocus();
        QTest::keyClicks(password, QStringLiteral("eet"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!button->isEnabled()); // the window does not wait for the answer
        QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 20000);
        QVERIFY2(status->text().startsWith(QStringLiteral("Spojení se službou EET je v pořádku")),
                 qPrintable(status->text()));
        QCOMPARE(service.requests.size(), 1);
        QCOMPARE(service.requests[0].verification, QByteArray("true"));
    }

    // The certificate is opened by the EET module, loaded for it: its refusal, raised there,
    // reaches the program's guard as any other.
    void aWrongPasswordIsRefusedThroughTheEetModule() {
        TempProgramFolder folder;
        EetServiceImitation service;
        PointEetAtImitation(folder, service);
        EetSettingsPage page(folder.path());
        auto* password = page.findChild<QLineEdit*>(QStringLiteral("Ed_EetHeslo"));
        auto* button = page.findChild<QPushButton*>(QStringLiteral("Tl_EetOverit"));
        QVERIFY(password && button);
        MessageBoxRecorder boxes;
        password->setFocus();
        QTest::keyClicks(password, QStringLiteral("spatne"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(boxes.shown(), (QList<ShownBox>{{BoxKind::Error, "Tarvela",
                                                  "EET: heslo k certifikátu není správné."}}));
        QVERIFY(button->isEnabled());
        QVERIFY(service.requests.isEmpty());
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray loaded = maps.readAll();
        QVERIFY(loaded.contains("libTarvelaEet.so"));
        QVERIFY(loaded.contains("libxmlsec1"));
    }

    void theSettingsDialogSavesThePageWithoutThePassword() {
        TempProgramFolder folder;
        EetServiceImitation service;
        PointEetAtImitation(folder, service);
        TKonfig dialog(LoadSettings(folder.path()), folder.path());
        auto* pokl = dialog.findChild<QLineEdit*>(QStringLiteral("Ed_EetIdPokl"));
        auto* password = dialog.findChild<QLineEdit*>(QStringLiteral("Ed_EetHeslo"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Ok"));
        QVERIFY(pokl && password && ok);
        pokl->selectAll();
        QTest::keyClicks(pokl, QStringLiteral("Pokladna 2"));
        QTest::keyClicks(password, QStringLiteral("tajne-heslo"));
        QVERIFY(ok->isEnabled());
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(eet::LoadEetSettings(folder.path()).idPokl, QStringLiteral("Pokladna 2"));
        QVERIFY(!folder.readBytes(QStringLiteral("Tarvela.ini")).contains("tajne-heslo"));
    }

    void theOutboxWindowListsEveryPaymentAndWarnsOfLateOnes() {
        TempProgramFolder folder;
        EetServiceImitation service;
        PointEetAtImitation(folder, service);
        eet::Outbox box(eet::EetFolder(folder.path()));
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const auto data = [](const char* porad) {
            eet::Sale sale;
            sale.eicPopl = QStringLiteral("CZ00000019");
            sale.idJednotky = QStringLiteral("181");
            sale.idPokl = QStringLiteral("1");
            sale.poradCis = QLatin1String(porad);
            sale.received = QDateTime::currentDateTime();
            sale.totalHalere = 12345;
            return eet::DataAttributes(sale);
        };
        box.add(data("1"), QStringLiteral("Faktura 2027001"), 12345, false,
                now.addSecs(-41 * 3600));
        box.add(data("2"), QStringLiteral("Příjmový doklad 2"), -500, false, now);
        TEetOdeslane window(EetService::Of(folder.path()));
        auto* table = window.findChild<QTableView*>(QStringLiteral("Tab_Trzby"));
        auto* summary = window.findChild<QLabel*>(QStringLiteral("La_Souhrn"));
        QCOMPARE(test::RowCount(table), 2);
        QCOMPARE(test::Cell(table, 0, 0), QStringLiteral("Faktura 2027001"));
        QCOMPARE(test::Cell(table, 0, 1), QStringLiteral("123,45"));
        QCOMPARE(test::Cell(table, 0, 3), QStringLiteral("čeká na odeslání déle než 40 hodin!"));
        QCOMPARE(test::Cell(table, 1, 1), QStringLiteral("-5,00"));
        QCOMPARE(test::Cell(table, 1, 3), QStringLiteral("čeká na odeslání"));
        QVERIFY(summary->text().contains(QStringLiteral("Pozor: 1 tržeb čeká déle než 40 hodin")));
    }
};

QTEST_MAIN(EetWindowsTest)
#include "eet_windows_test.moc"
