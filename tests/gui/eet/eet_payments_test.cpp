// Payments received in person registered with EET through the real windows, against the service
// imitated on 127.0.0.1: a cash invoice saved, an invoice marked paid by card in the book, and
// nothing at all while the supplier does not register.
#include "../printing/recording_print_module.h"
#include "editor/tknihafaktur.h"
#include "eet/eet_password.h"
#include "eet/eet_service.h"
#include "eet/eet_settings.h"
#include "settings/settings_file.h"
#include "support/controls.h"
#include "support/eet_program_folder.h"
#include "support/list_views.h"
#include "support/main_window_fixture.h"
#include "support/modal_dialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QTreeWidget>
#include <QtTest>

using namespace tarvela;
using namespace tarvela::test;

namespace {

constexpr char kPok[] = "2feb2e70-a642-4188-a6e6-986a62bc9598-01";

// The program folder's EET settings pointed at the imitation, the test certificate installed and
// its password known.
void RegisterWith(const TempProgramFolder& folder, const EetServiceImitation& service) {
    PointEetAtImitation(folder, service);
    EetPassword::Store(folder.path(), QStringLiteral("eet"));
}

// The value of the invoice file's line "Eet=", empty when it has none.
QByteArray EetLine(const QByteArray& bytes) {
    for (const QByteArray& line : bytes.split('\n'))
        if (line.startsWith("Eet="))
            return line.mid(4).trimmed();
    return QByteArray();
}

void NewCashInvoice(THlavni& w, const QString& row) {
    ui(w).Akce_NovaFaktura->trigger();
    ui(w).CBox_Fa6->setCurrentIndex(1); // H – hotově
    PasteRow(w, 1, row);
}

} // namespace

class EetPaymentsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { EetPki(); }

    // Saved, the cash invoice's payment waits in the outbox (the window does not wait for the
    // service); the confirmation's POK is then written into the file and shown.
    void aCashInvoiceSavedIsRegisteredAndShowsItsPok() {
        MainWindowFixture f;
        EetServiceImitation service;
        RegisterWith(f.folder, service);
        THlavni& w = f.w();
        NewCashInvoice(w, QStringLiteral("A|Zboží|ks|1|650,00|21|"));
        ui(w).Akce_UlozitFakturu->trigger();
        QVERIFY(f.boxes.shown().isEmpty());
        const QList<QByteArray> waiting =
            EetLine(f.periodBytes(QStringLiteral("2026001"))).split(';');
        QCOMPARE(waiting.size(), 3);
        QCOMPARE(waiting[1], QByteArray("78700")); // what the receipt asks, in whole crowns
        QCOMPARE(waiting[2], EncodeCp1250(QStringLiteral("čeká na odeslání")));
        QCOMPARE(ui(w).Ed_Eet->text(), QStringLiteral("čeká na odeslání"));

        QTRY_COMPARE_WITH_TIMEOUT(ui(w).Ed_Eet->text(),
                                  QStringLiteral("POK ") + QLatin1String(kPok), 20000);
        QCOMPARE(service.requests.size(), 1);
        QVERIFY(service.requests[0].data.contains("porad_cis=\"2026001/1\""));
        QVERIFY(service.requests[0].data.contains("celk_trzba=\"787.00\""));
        QCOMPARE(EetLine(f.periodBytes(QStringLiteral("2026001"))), waiting[0] + ";78700;" + kPok);
        QVERIFY(!ui(w).Akce_UlozitFakturu->isEnabled()); // the window shows what the file holds

        // A cash credit note pays money out: registered as a negative amount.
        ui(w).Akce_ZavritFakturu->trigger();
        NewCashInvoice(w, QStringLiteral("A|Vrácené zboží|ks|-1|650,00|21|"));
        ui(w).Akce_UlozitFakturu->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(service.requests.size(), 2, 20000);
        QVERIFY(service.requests[1].data.contains("porad_cis=\"2026002/1\""));
        QVERIFY(service.requests[1].data.contains("celk_trzba=\"-787.00\""));
    }

    // Settings the service would refuse stop the save with a message naming the field; the
    // payment is not recorded either, so the save after the settings are mended registers it.
    void aPaymentThatCannotBeRegisteredIsNotRecordedUntilItCanBe() {
        MainWindowFixture f;
        EetServiceImitation service;
        RegisterWith(f.folder, service);
        eet::EetSettings broken = eet::LoadEetSettings(f.folder.path());
        broken.idJednotky = QStringLiteral("0181");
        eet::SaveEetSettings(f.folder.path(), broken);
        THlavni& w = f.w();
        NewCashInvoice(w, QStringLiteral("A|Zboží|ks|1|650,00|21|"));
        ui(w).Akce_UlozitFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        QVERIFY2(f.boxes.shown()[0].text.contains(QStringLiteral("id_jednotky")),
                 qPrintable(f.boxes.shown()[0].text));
        QVERIFY(!QFileInfo::exists(f.periodFile(QStringLiteral("2026001"))));
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QString());

        broken.idJednotky = QStringLiteral("181");
        eet::SaveEetSettings(f.folder.path(), broken);
        ui(w).Akce_UlozitFakturu->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        QVERIFY(EetLine(f.periodBytes(QStringLiteral("2026001"))).contains(";78700;"));
    }

    // Marked paid in the book: by card the part received now is registered and its state shows
    // in the book's EET column; by transfer nothing is registered.
    void aPaymentMarkedInTheBookByCardIsRegistered() {
        MainWindowFixture f;
        EetServiceImitation service;
        RegisterWith(f.folder, service);
        THlavni& w = f.w();
        for (int i = 0; i < 2; ++i) {
            ui(w).Akce_NovaFaktura->trigger(); // by transfer: nothing paid on save
            PasteRow(w, 1, QStringLiteral("A|Práce|h|2|500,00|21|"));
            ui(w).Akce_UlozitFakturu->trigger();
            ui(w).Akce_ZavritFakturu->trigger();
        }
        QVERIFY(EetLine(f.periodBytes(QStringLiteral("2026001"))).isEmpty());

        TKnihaFaktur book(f.folder.path(), LoadSettings(f.folder.path()), BookHost{});
        book.show();
        auto* list = Control<QTreeView>(&book, "ListView1");
        QTRY_VERIFY(!book.Filling());
        QCOMPARE(test::RowCount(list), 2);
        const auto markPaid = [&](int row, int way) {
            list->setCurrentIndex(list->model()->index(row, 0));
            WithModal([&] { Control<QPushButton>(&book, "Tl_Uhrazeno")->click(); },
                      [&](QWidget* dialog) {
                          auto* ways = Control<QComboBox>(dialog, "CBox_Zpusob");
                          QCOMPARE(ways->currentText(), QStringLiteral("převodem"));
                          ways->setFocus();
                          for (int k = 0; k < way; ++k)
                              QTest::keyClick(ways, Qt::Key_Down);
                          Control<QPushButton>(dialog, "Tl_Ok")->click();
                      });
        };
        markPaid(0, 2); // kartou
        QCOMPARE(test::Cell(list, 0, 9), QStringLiteral("čeká na odeslání"));
        QTRY_COMPARE_WITH_TIMEOUT(service.requests.size(), 1, 20000);
        QVERIFY(service.requests[0].data.contains("celk_trzba=\"1210.00\""));
        QTRY_VERIFY_WITH_TIMEOUT(EetLine(f.periodBytes(QStringLiteral("2026001"))).endsWith(kPok),
                                 20000);
        markPaid(1, 0); // převodem
        QCOMPARE(test::Cell(list, 1, 7), QStringLiteral("1210,00"));
        QCOMPARE(test::Cell(list, 1, 9), QString());
        QVERIFY(EetLine(f.periodBytes(QStringLiteral("2026002"))).isEmpty());
        QCOMPARE(service.requests.size(), 1);
    }

    // The cash receipt carries the POK of the production service when the user chose so; the
    // playground's only as "ověřovací režim"; nothing while the payment waits.
    void theCashReceiptPrintsOnlyARealPokAsPok() {
        MainWindowFixture f;
        f.folder.writeBytes(QStringLiteral("Ses/PrijmovyDoklad.fr3"), "<p>{{EetPok}}</p>");
        THlavni& w = f.w();
        NewCashInvoice(w, QStringLiteral("A|Zboží|ks|1|650,00|21|"));
        ui(w).Akce_UlozitFakturu->trigger();
        ui(w).Akce_ZavritFakturu->trigger();
        const QByteArray plain = f.periodBytes(QStringLiteral("2026001"));
        const struct {
            const char* line;
            bool printPok;
            QString printed;
        } cases[] = {
            {"1-a;78700;2feb2e70-a642-4188-a6e6-986a62bc9598-01", true,
             QStringLiteral("POK: ") + QLatin1String(kPok)},
            {"1-a;78700;2feb2e70-a642-4188-a6e6-986a62bc9598-01", false,
             QStringLiteral("<missing>")},
            {"1-a;78700;2feb2e70-a642-4188-a6e6-986a62bc9598-ff;ověřovací režim", true,
             QStringLiteral("ověřovací režim")},
            {"1-a;78700;čeká na odeslání", true, QStringLiteral("<missing>")},
        };
        for (const auto& c : cases) {
            eet::EetSettings settings;
            settings.printPok = c.printPok;
            eet::SaveEetSettings(f.folder.path(), settings);
            f.writePeriodFile(QStringLiteral("2026001"),
                              plain + "Eet=" + EncodeCp1250(QString::fromUtf8(c.line)) + "\r\n");
            w.OpenInvoiceFile(f.periodFile(QStringLiteral("2026001")));
            RecordingPrintModule module;
            ui(w).Akce_SestavaPrijmovyDoklad->trigger();
            QCOMPARE(module.calls.size(), 1);
            QCOMPARE(module.calls[0].value(QStringLiteral("EetPok")), c.printed);
            ui(w).Akce_ZavritFakturu->trigger();
        }
    }

    // What waits from the last run is sent once the window has been shown, not while it is
    // being made.
    void theWaitingPaymentsAreSentOnceTheWindowIsShown() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"), kPayerIni);
        EetServiceImitation service;
        RegisterWith(folder, service);
        eet::Sale sale =
            eet::TillSale(eet::LoadEetSettings(folder.path()), QStringLiteral("CZ00000019"),
                          QStringLiteral("2026009/1"), QDateTime::currentDateTime(), 12300);
        eet::Outbox(eet::EetFolder(folder.path()))
            .add(eet::DataAttributes(sale), QStringLiteral("Faktura 2026009"), 12300, false,
                 QDateTime::currentDateTimeUtc());
        THlavni w(folder.path(), QStringLiteral(","));
        QCoreApplication::processEvents();
        QVERIFY(!EetService::Of(folder.path()).settings().registers); // not started yet
        w.show();
        QTRY_COMPARE_WITH_TIMEOUT(service.requests.size(), 1, 20000);
        QVERIFY(service.requests[0].data.contains("porad_cis=\"2026009/1\""));
    }

    // A supplier who does not register: the cash invoice is written as before, the payment
    // dialog asks nothing more, and nothing goes to the outbox.
    void withoutRegistrationNothingChanges() {
        MainWindowFixture f;
        THlavni& w = f.w();
        NewCashInvoice(w, QStringLiteral("A|Zboží|ks|1|650,00|21|"));
        ui(w).Akce_UlozitFakturu->trigger();
        QCOMPARE(f.periodBytes(QStringLiteral("2026001")).count("\r\n"), 49);
        QVERIFY(ui(w).GBox_Eet->isHidden());
        TUhrada dialog(QStringLiteral("2026001"), QDate(2026, 3, 5), 78700, QStringLiteral("CZK"));
        dialog.show();
        QVERIFY(Control<QComboBox>(&dialog, "CBox_Zpusob")->isHidden());
        QVERIFY(!QDir(eet::EetFolder(f.folder.path()) + QStringLiteral("/cekajici")).exists());
    }
};

QTEST_MAIN(EetPaymentsTest)
#include "eet_payments_test.moc"
