// The address book, the IČ and DIČ warnings and "Načíst z ARES", driven through the real main
// window (and the settings dialog); the register is a local server on 127.0.0.1.
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeView>

#include "editor/customer_book.h"
#include "editor/todberatele.h"
#include "net/ares_fetcher.h"
#include "settings/tkonfig.h"
#include "support/controls.h"
#include "support/list_views.h"
#include "support/local_http_server.h"
#include "support/main_window_fixture.h"

using namespace tarvela;
using namespace tarvela::test;

namespace {

// Lines 1 to 18 of an invoice: its number, the date of issue and the nine customer fields.
QByteArray CustomerInvoice(const QString& number, const QString& issued,
                           const QStringList& customer) {
    QStringList lines{number, "", "", "", "", "PP", issued, issued, issued};
    lines << customer;
    return FileOfLines(lines);
}

const QStringList kAlfaOld{"K1",    "Alfa s.r.o.", "",         "Jan Novák", "Hlavní 1",
                           "60200", "Brno",        "25596641", "CZ25596641"};
const QStringList kAlfaNew{"K1",    "Alfa a.s.", "Divize",   "Eva Malá",  "Nová 2",
                           "67401", "Třebíč",    "25596641", "CZ25596641"};
const QStringList kBeta{"",      "Beta Praha", "",         "", "Vinohradská 5",
                        "12000", "Praha 2",    "27074358", ""};
const QStringList kGama{"G", "Gama", "", "", "Nádražní 9", "70200", "Ostrava", "", ""};

QStringList CustomerFieldsShown(const THlavni& w) {
    return {ui(w).Ed_Od1->text(), ui(w).Ed_Od2->text(), ui(w).Ed_Od3->text(),
            ui(w).Ed_Od4->text(), ui(w).Ed_Od5->text(), ui(w).Ed_Od6->text(),
            ui(w).Ed_Od7->text(), ui(w).Ed_Od8->text(), ui(w).Ed_Od9->text()};
}

QStringList NamesListed(QTreeView* list) {
    QStringList names;
    for (int i = 0; i < RowCount(list); ++i)
        names << Cell(list, i, 1);
    return names;
}

// A new invoice in an active window, so that leaving a field moves the focus for real.
void NewInvoice(THlavni& w) {
    ui(w).Akce_NovaFaktura->trigger();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// Types into a field and leaves it with Tab, as a user does; the warning comes after the focus
// has moved on.
void TypeAndLeave(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(!edit->hasFocus());
    QCoreApplication::processEvents(); // runs the check queued for after the focus moved on
}

const QByteArray kAsseco = R"({"ico":"27074358","obchodniJmeno":"Asseco Central Europe, a.s.",
    "sidlo":{"kodStatu":"CZ","nazevObce":"Praha","nazevMestskeCastiObvodu":"Praha 4",
    "nazevCastiObce":"Michle","nazevUlice":"Budějovická","cisloDomovni":778,
    "cisloOrientacni":3,"cisloOrientacniPismeno":"a","psc":14000,
    "textovaAdresa":"Budějovická 778/3a, Michle, 14000 Praha 4"},"dic":"CZ27074358"})";

} // namespace

class CustomersWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic)); }

    // Every period's customers, merged, narrowed as the user types; Enter fills the invoice.
    void addressBookSearchAndEnterFill() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.folder.writeBytes("2024/2024001.tvl", CustomerInvoice("2024001", "3.2.2024", kAlfaOld));
        f.folder.writeBytes("2026/2026002.tvl", CustomerInvoice("2026002", "5.1.2026", kAlfaNew));
        f.folder.writeBytes("2025/2025001.tvl", CustomerInvoice("2025001", "1.5.2025", kBeta));
        f.folder.writeBytes("2026/2026001.tvl", CustomerInvoice("2026001", "2.1.2026", kGama));
        QVERIFY(!ui(w).Akce_Odberatele->isEnabled());
        NewInvoice(w);
        QVERIFY(ui(w).Akce_Odberatele->isEnabled());
        QVERIFY(!w.IsModified());

        bool seen = false;
        OnNextModal([&seen](QWidget* modal) {
            auto* book = qobject_cast<TOdberatele*>(modal);
            QVERIFY(book);
            auto* list = Control<QTreeView>(book, "ListView1");
            auto* search = Control<QLineEdit>(book, "Ed_Hledat");
            QCOMPARE(NamesListed(list), (QStringList{"Alfa a.s.", "Beta Praha", "Gama"}));
            // The newest invoice's data, the number of invoices and the date of the last one.
            QCOMPARE(Cell(list, 0, 4), QStringLiteral("2"));
            QCOMPARE(Cell(list, 0, 5), QStringLiteral("5.1.2026"));
            QCOMPARE(Control<QLabel>(book, "La_Pocet")->text(), QStringLiteral("Zobrazeno 3 z 3"));
            const std::pair<QString, QStringList> searches[] = {
                {"trebic", {"Alfa a.s."}},      // town, without accents
                {"2707", {"Beta Praha"}},       // part of the IČ
                {"ALFA", {"Alfa a.s."}},        // name, any case
                {"xyz", {}},                    // nothing
                {"ra", {"Beta Praha", "Gama"}}, // name of one, town of the other
            };
            for (const auto& [text, names] : searches) {
                search->clear();
                QTest::keyClicks(search, text);
                QCOMPARE(NamesListed(list), names);
            }
            // Down in the search field moves in the list; Enter takes the row.
            QTest::keyClick(search, Qt::Key_Down);
            QTest::keyClick(search, Qt::Key_Return);
            seen = true;
        });
        QTest::mouseClick(ui(w).Tl_Odberatele, Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(CustomerFieldsShown(w), kGama);
        QVERIFY(w.IsModified());
        QVERIFY(ui(w).Akce_UlozitFakturu->isEnabled());
        QVERIFY(f.boxes.shown().isEmpty());
    }

    // The e-mail comes from the customer's newest invoice (its optional line after line 49).
    void addressBookFillsTheEmailOfTheNewestInvoice() {
        MainWindowFixture f;
        THlavni& w = f.w();
        const auto withEmail = [](QByteArray bytes, const char* email) {
            for (int line = 19; line <= 49; ++line)
                bytes += "\r\n";
            return bytes + "OdberatelEmail=" + email + "\r\n";
        };
        f.folder.writeBytes(
            "2024/2024001.tvl",
            withEmail(CustomerInvoice("2024001", "3.2.2024", kAlfaOld), "stara@alfa.cz"));
        f.folder.writeBytes(
            "2026/2026002.tvl",
            withEmail(CustomerInvoice("2026002", "5.1.2026", kAlfaNew), "nova@alfa.cz"));
        f.folder.writeBytes("2025/2025001.tvl", CustomerInvoice("2025001", "1.5.2025", kBeta));
        NewInvoice(w);
        const auto choose = [&](const QString& name) {
            OnNextModal([name](QWidget* modal) {
                auto* search = Control<QLineEdit>(modal, "Ed_Hledat");
                QTest::keyClicks(search, name);
                QTest::keyClick(search, Qt::Key_Return);
            });
            QTest::mouseClick(ui(w).Tl_Odberatele, Qt::LeftButton);
        };
        choose(QStringLiteral("Alfa"));
        QCOMPARE(CustomerFieldsShown(w), kAlfaNew);
        QCOMPARE(ui(w).Ed_OdberatelEmail->text(), QStringLiteral("nova@alfa.cz"));
        choose(QStringLiteral("Beta")); // a customer without one empties the field
        QCOMPARE(CustomerFieldsShown(w), kBeta);
        QCOMPARE(ui(w).Ed_OdberatelEmail->text(), QString());
        QVERIFY(f.boxes.shown().isEmpty());
    }

    // A wrong IČ or DIČ is told once when the field is left, and stays as typed.
    void idWarningsKeepTheValue_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("warning");
        QTest::newRow("IČ checksum") << "Ed_Od8"
                                     << "12345678" << ICWarning("12345678");
        QTest::newRow("IČ too short") << "Ed_Od8"
                                      << "2559664" << ICWarning("2559664");
        QTest::newRow("IČ valid") << "Ed_Od8"
                                  << "25596641" << QString();
        QTest::newRow("DIČ without CZ") << "Ed_Od9"
                                        << "25596641" << DICWarning("25596641");
        QTest::newRow("DIČ valid") << "Ed_Od9"
                                   << "CZ25596641" << QString();
        QTest::newRow("empty") << "Ed_Od9"
                               << "" << QString();
    }
    void idWarningsKeepTheValue() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, warning);
        MainWindowFixture f;
        THlavni& w = f.w();
        NewInvoice(w);
        auto* edit = Control<QLineEdit>(&w, qPrintable(field));
        edit->setText(QStringLiteral("x"));
        TypeAndLeave(edit, typed);
        QCOMPARE(edit->text(), typed);
        const QList<ShownBox> shown = f.boxes.takeShown();
        if (warning.isEmpty()) {
            QVERIFY(shown.isEmpty());
            return;
        }
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, BoxKind::Warning);
        QVERIFY2(shown[0].text.startsWith(warning), qPrintable(shown[0].text));
        // Leaving it again without a change says nothing more.
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Tab);
        QCoreApplication::processEvents();
        QVERIFY(f.boxes.shown().isEmpty());
        QCOMPARE(edit->text(), typed);
    }

    // The address book is up before a file is read, counts the files as it reads them, takes
    // no key but Esc meanwhile and closes at once: no customer is listed after.
    void addressBookClosesWhileReading() {
        TempProgramFolder folder;
        MessageBoxRecorder boxes;
        constexpr int kFiles = tarvela::test::kFilesBeyondOneSlice;
        for (int i = 0; i < kFiles; ++i) {
            const QString number = QStringLiteral("%1").arg(2010001 + i);
            QStringList customer = kGama;
            customer[1] = QStringLiteral("Zákazník %1").arg(i);
            folder.writeBytes(QStringLiteral("%1/%2.tvl").arg(2010 + i / 100).arg(number),
                              CustomerInvoice(number, "2.1.2026", customer));
        }
        TOdberatele book(folder.path());
        book.show();
        auto* list = Control<QTreeView>(&book, "ListView1");
        auto* counter = Control<QLabel>(&book, "La_Pocet");
        QVERIFY(book.Filling());
        QCOMPARE(counter->text(), QStringLiteral("Načítám odběratele ze všech období…"));
        QVERIFY(RunEventsUntil([&] { return counter->text().contains(':') || !book.Filling(); }));
        QVERIFY(book.Filling());
        QVERIFY(
            counter->text().startsWith(QStringLiteral("Načítám odběratele… přečteno faktur: ")));
        QTest::keyClicks(Control<QLineEdit>(&book, "Ed_Hledat"), QStringLiteral("Gama"));
        QVERIFY(Control<QLineEdit>(&book, "Ed_Hledat")->text().isEmpty());

        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!book.isVisible());
        QVERIFY(!book.Filling());
        for (int turn = 0; turn < 20; ++turn)
            QCoreApplication::processEvents();
        QCOMPARE(RowCount(list), 0);
        QVERIFY(boxes.shown().isEmpty());
    }

    // The supplier's IČ and DIČ in the settings dialog: warned, kept and saved as typed.
    void supplierIdWarningsAreSavedAsTyped() {
        TempProgramFolder folder;
        MessageBoxRecorder boxes;
        TKonfig dialog(AppSettings{}, folder.path());
        dialog.ShowPage(1);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        TypeAndLeave(Control<QLineEdit>(&dialog, "Ed_IC"), QStringLiteral("12345678"));
        TypeAndLeave(Control<QLineEdit>(&dialog, "Ed_DIC"), QStringLiteral("SK2020123456"));
        const QList<ShownBox> shown = boxes.takeShown();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[0].text.startsWith(ICWarning("12345678")));
        QVERIFY(shown[1].text.startsWith(DICWarning("SK2020123456")));
        QTest::mouseClick(Control<QPushButton>(&dialog, "Ok"), Qt::LeftButton);
        QVERIFY(dialog.Saved());
        QCOMPARE(LoadSettings(folder.path()).Dodavatel.ICO, QStringLiteral("12345678"));
        QCOMPARE(LoadSettings(folder.path()).Dodavatel.DIC, QStringLiteral("SK2020123456"));
    }

    // "Načíst z ARES" through the window's button against a local register.
    void aresFillsOrSaysWhy_data() {
        QTest::addColumn<int>("status"); // 0: the server never answers; -1: no server at all
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("ic");
        QTest::addColumn<bool>("storno");
        QTest::addColumn<QString>("message"); // the start of the box; empty when found
        const QString asked = "27074358";
        QTest::newRow("found") << 200 << kAsseco << asked << false << QString();
        QTest::newRow("not found")
            << 404 << QByteArray(R"({"kod":"NENALEZENO","popis":"Subjekt nebyl nalezen."})")
            << asked << false << "V registru ARES není žádný subjekt s IČ 27074358.";
        QTest::newRow("malformed answer") << 200 << QByteArray("<html>údržba</html>") << asked
                                          << false << "Registr ARES odpověděl v neočekávaném tvaru";
        QTest::newRow("server error")
            << 500 << QByteArray("{}") << asked << false << "Registr ARES odpověděl chybou 500.";
        QTest::newRow("timeout") << 0 << QByteArray() << asked << false
                                 << "Registr ARES neodpověděl do 1 s.";
        QTest::newRow("offline") << -1 << QByteArray() << asked << false << AresOfflineMessage();
        QTest::newRow("storno") << 0 << QByteArray() << asked << true << QString();
        QTest::newRow("invalid IČ refused before asking")
            << 200 << kAsseco << "27074359" << false << "IČ „27074359“ není platné";
    }
    void aresFillsOrSaysWhy() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, ic);
        QFETCH(bool, storno);
        QFETCH(QString, message);
        LocalHttpServer server(qMax(status, 0), body, "application/json");
        QVERIFY(server.isListening());
        const QString address =
            status < 0 ? QStringLiteral("http://127.0.0.1:%1").arg(LocalHttpServer::ClosedPort())
                       : server.url();
        AresServiceOverride register_(address, storno ? 60000 : 300);
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        ui(w).Ed_Od2->setText(QStringLiteral("Původní název"));
        ui(w).Ed_Od3->setText(QStringLiteral("Pobočka"));
        ui(w).Ed_Od8->setText(ic);
        const QStringList before = CustomerFieldsShown(w);

        QTest::mouseClick(ui(w).Tl_NacistZAres, Qt::LeftButton);
        auto* progress = w.findChild<QProgressDialog*>(QStringLiteral("ProgressAres"));
        const bool refused = message.startsWith(QStringLiteral("IČ "));
        if (refused) {
            QVERIFY(!progress || !progress->isVisible());
        } else {
            // The window goes on while the register is asked: the progress is up.
            QVERIFY(progress && progress->isVisible());
            QCOMPARE(progress->findChild<QPushButton*>()->text(), QStringLiteral("Storno"));
            if (storno) {
                QTRY_VERIFY(!server.requestLine.isEmpty());
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
            }
            QTRY_VERIFY_WITH_TIMEOUT(!progress->isVisible(), 5000);
        }
        if (status >= 0 && !refused)
            QCOMPARE(server.requestLine,
                     QByteArray("GET /ekonomicke-subjekty-v-be/rest/ekonomicke-subjekty/") +
                         ic.toLatin1() + " HTTP/1.1");
        if (refused)
            QVERIFY(server.requestLine.isEmpty());

        const QList<ShownBox> shown = f.boxes.takeShown();
        if (message.isEmpty() && !storno) {
            QVERIFY(shown.isEmpty());
            QCOMPARE(CustomerFieldsShown(w),
                     (QStringList{"", "Asseco Central Europe, a.s.", "Pobočka", "",
                                  "Budějovická 778/3a", "140 00", "Praha 4", ic, "CZ27074358"}));
            return;
        }
        QCOMPARE(CustomerFieldsShown(w), before);
        if (storno) {
            // The request is dropped at once (the hanging server sees its connection end), so
            // no answer, failure or time-out can come after Storno.
            QTRY_COMPARE(server.closedConnections, 1);
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            QVERIFY(shown.isEmpty() && f.boxes.shown().isEmpty());
            return;
        }
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, BoxKind::Warning);
        QVERIFY2(shown[0].text.startsWith(message), qPrintable(shown[0].text));
        if (status == 0) // a request given up closes its connection
            QTRY_COMPARE(server.closedConnections, 1);
    }
};

QTEST_MAIN(CustomersWindowTest)
#include "customers_window_test.moc"
