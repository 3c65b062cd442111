// The invoice header as a user fills it: the date fields typed into, the due date that follows
// the date of issue, the prefilled variable symbol, the first start without settings, and the
// correction and exchange-rate fields with the bank's rate fetched from a local server.
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include "gui/settings/tkonfig_controls.h"
#include "net/cnb_fetcher.h"
#include "settings/service_settings.h"
#include "settings/settings_file.h"
#include "settings/tkonfig.h"
#include "support/local_http_server.h"
#include "support/main_window_fixture.h"
#include "text/dates.h"

using namespace tarvela;
using namespace tarvela::test;

namespace {

QLineEdit* LineOf(QDateEdit* field) {
    return field->findChild<QLineEdit*>();
}

// The focused control; the window itself when nothing has the focus.
QWidget* Focused() {
    QWidget* focused = QApplication::focusWidget();
    return focused ? focused : QApplication::activeWindow();
}

// How the field is entered before typing.
void Enter(THlavni& w, QDateEdit* field, const QString& how) {
    if (how == QLatin1String("click")) {
        QLineEdit* line = LineOf(field);
        QTest::mouseClick(line, Qt::LeftButton, {}, QPoint(line->width() - 12, line->height() / 2));
    } else if (how == QLatin1String("tab")) {
        ui(w).Ed_Fa5->setFocus();
        // Tab on from a field before it in the tab order.
        for (int i = 0; i < 20 && QApplication::focusWidget() != LineOf(field) &&
                        QApplication::focusWidget() != field;
             ++i)
            QTest::keyClick(Focused(), Qt::Key_Tab);
        QVERIFY(field->hasFocus());
    } else if (how == QLatin1String("ctrl+a")) {
        field->setFocus(Qt::OtherFocusReason);
        QTest::mouseClick(LineOf(field), Qt::LeftButton); // a click inside: no new focus
        QTest::keyClick(LineOf(field), Qt::Key_A, Qt::ControlModifier);
    } else { // "again": a second click into the field that has the focus already
        field->setFocus(Qt::OtherFocusReason);
        QTest::mouseClick(LineOf(field), Qt::LeftButton);
        QTest::keyClick(LineOf(field), Qt::Key_A, Qt::ControlModifier);
    }
}

// A stored invoice of 49 lines in EUR with one item whose total the window computes the same.
QByteArray FileWithoutNewLines() {
    QStringList lines{
        "2026004",     "7788",     "OBJ-1",     "Sklad", "Praha 9",           "PP",
        "7.3.2026",    "8.3.2026", "22.3.2026", "K-01",  "Řeznictví Šťastný", "a syn",
        "Jan Šťastný", "Dlouhá 5", "60200",     "Brno",  "12345678",          "CZ12345678"};
    lines << "A1|Oprava|ks|2|150,00|21|";
    for (int i = 0; i < 24; ++i)
        lines << "||||||";
    lines << "Děkujeme"
          << ""
          << "363,00"
          << ""
          << "EUR"
          << "";
    return FileOfLines(lines);
}

// The four new fields as the window shows them.
QStringList NewFields(THlavni& w) {
    return {ui(w).Ed_OpravovanyDoklad->text(), ui(w).Ed_DuvodOpravy->text(), ui(w).Ed_Kurz->text(),
            ui(w).Ed_DatumKurzu->text()};
}

// Saves the open invoice after an edit that is taken back, so that Save is enabled.
void SaveUnchanged(THlavni& w) {
    const QString order = ui(w).Ed_Fa3->text();
    TypeInto(ui(w).Ed_Fa3, QStringLiteral("X"));
    ui(w).Ed_Fa3->setText(order);
    ui(w).Akce_UlozitFakturu->trigger();
}

} // namespace

class HeaderInputTest : public QObject {
    Q_OBJECT
private slots:
    void typedDates_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("leave"); // "tab" or "enter"
        QTest::addColumn<QDate>("date");    // what the field holds afterwards
        QTest::addColumn<QString>("message");
        const QString impossible =
            QStringLiteral("Datum plnění: „%1“ není platné datum; zadejte den.měsíc.rok, "
                           "například 5.3.2026.");
        QTest::newRow("click + type") << "click"
                                      << "12.3.2026"
                                      << "tab" << QDate(2026, 3, 12) << "";
        QTest::newRow("tab + type") << "tab"
                                    << "1.4.2026"
                                    << "tab" << QDate(2026, 4, 1) << "";
        QTest::newRow("ctrl+a + type") << "ctrl+a"
                                       << "28.2.2026"
                                       << "enter" << QDate(2026, 2, 28) << "";
        QTest::newRow("comma for the dot") << "click"
                                           << "7,3,2026"
                                           << "tab" << QDate(2026, 3, 7) << "";
        QTest::newRow("leading zeros") << "tab"
                                       << "09.03.2026"
                                       << "enter" << QDate(2026, 3, 9) << "";
        QTest::newRow("31.2. refused") << "click"
                                       << "31.2.2026"
                                       << "tab" << QDate(2026, 3, 5) << impossible.arg("31.2.2026");
        QTest::newRow("29.2. of a common year")
            << "ctrl+a"
            << "29.2.2027"
            << "enter" << QDate(2026, 3, 5) << impossible.arg("29.2.2027");
        QTest::newRow("month 13") << "tab"
                                  << "1.13.2026"
                                  << "tab" << QDate(2026, 3, 5) << impossible.arg("1.13.2026");
        QTest::newRow("day only") << "click"
                                  << "12"
                                  << "tab" << QDate(2026, 3, 5) << impossible.arg("12");
        QTest::newRow("29.2. of a leap year") << "again"
                                              << "29.2.2028"
                                              << "tab" << QDate(2028, 2, 29) << "";
    }

    void typedDates() {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(QString, leave);
        QFETCH(QDate, date);
        QFETCH(QString, message);
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(ui(w).Datum_Fa7->date(), QDate(2026, 3, 5));
        Enter(w, ui(w).Datum_Fa7, how);
        QTest::keyClicks(Focused(), typed);
        QCOMPARE(LineOf(ui(w).Datum_Fa7)->text(), QString(typed).replace(QLatin1Char(','), '.'));
        QTest::keyClick(Focused(), leave == QLatin1String("tab") ? Qt::Key_Tab : Qt::Key_Return);
        QCOMPARE(ui(w).Datum_Fa7->date(), date);
        QCOMPARE(LineOf(ui(w).Datum_Fa7)->text(), FormatInvoiceDate(date));
        if (message.isEmpty()) {
            QVERIFY(f.boxes.shown().isEmpty());
        } else {
            QCOMPARE(f.boxes.shown(),
                     (QList<ShownBox>{{BoxKind::Error, QStringLiteral("Tarvela"), message}}));
        }
        // The other dates were not touched.
        QCOMPARE(ui(w).Datum_Fa8->date(), QDate(2026, 3, 5));
        // What the field holds is what is saved (a refused date changed nothing: the customer's
        // name makes the invoice savable).
        ui(w).Ed_Od2->setText(QStringLiteral("Odběratel"));
        ui(w).Akce_UlozitFakturu->trigger();
        QVERIFY(f.periodBytes(QStringLiteral("2026001"))
                    .contains("\r\n" + FormatInvoiceDate(date).toLatin1() + "\r\n"));
    }

    void dueDateFollowsTheDateOfIssueUntilSetByHand() {
        MainWindowFixture f; // 14 days
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(ui(w).Datum_Fa9->date(), QDate(2026, 3, 19));
        Enter(w, ui(w).Datum_Fa8, QStringLiteral("click"));
        QTest::keyClicks(Focused(), QStringLiteral("10.3.2026"));
        QTest::keyClick(Focused(), Qt::Key_Tab);
        QCOMPARE(ui(w).Datum_Fa8->date(), QDate(2026, 3, 10));
        QCOMPARE(ui(w).Datum_Fa9->date(), QDate(2026, 3, 24));
        ui(w).Datum_Fa8->setFocus();
        QTest::keyClick(ui(w).Datum_Fa8, Qt::Key_Up); // the arrow keys too
        QVERIFY(ui(w).Datum_Fa8->date() != QDate(2026, 3, 10));
        QCOMPARE(ui(w).Datum_Fa9->date(), ui(w).Datum_Fa8->date().addDays(14));

        // Set by hand, it stays; one before the date of issue is warned about once.
        Enter(w, ui(w).Datum_Fa9, QStringLiteral("click"));
        QTest::keyClicks(Focused(), QStringLiteral("1.3.2026"));
        QTest::keyClick(Focused(), Qt::Key_Tab);
        QCOMPARE(ui(w).Datum_Fa9->date(), QDate(2026, 3, 1));
        const QDate issue = ui(w).Datum_Fa8->date();
        QCOMPARE(f.boxes.shown(),
                 (QList<ShownBox>{{BoxKind::Warning, QStringLiteral("Upozornění"),
                                   QStringLiteral("Datum splatnosti 1.3.2026 je dřívější než "
                                                  "datum vystavení %1.")
                                       .arg(FormatInvoiceDate(issue))}}));
        Enter(w, ui(w).Datum_Fa8, QStringLiteral("click"));
        QTest::keyClicks(Focused(), QStringLiteral("20.2.2026"));
        QTest::keyClick(Focused(), Qt::Key_Tab);
        QCOMPARE(ui(w).Datum_Fa9->date(), QDate(2026, 3, 1));
        QCOMPARE(f.boxes.shown().size(), 1);
    }

    void firstStartAsksForTheSupplier() {
        TempProgramFolder folder;
        ScopedToday today(QDate(2026, 3, 5));
        MessageBoxRecorder boxes;
        THlavni w(folder.path(), QStringLiteral(","));
        QVERIFY(w.FirstStart());
        int page = -1;
        QString focused; // the name: the dialog is gone when it is compared
        OnNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<TKonfig*>(modal);
            QVERIFY(dialog);
            page = K(*dialog).PageControl1->currentIndex();
            if (QWidget* widget = dialog->focusWidget()) // the dialog's focus, active or not yet
                focused = widget->objectName();
            // QTest types ASCII keys only: the Czech letters go in as an input method would.
            K(*dialog).Ed_Nazev->insert(QStringLiteral("Truhlářství Dvořák"));
            QTest::mouseClick(K(*dialog).Ok, Qt::LeftButton);
        });
        w.FormFirstStart();
        QCOMPARE(page, 1); // "Údaje dodavatele"
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown()[0].text.startsWith(QStringLiteral("Vítejte v programu Tarvela.")));
        QCOMPARE(w.Settings().Dodavatel.Nazev, QStringLiteral("Truhlářství Dvořák"));
        QVERIFY(ReadFileBytes(folder.file(QStringLiteral("Tarvela.ini")))
                    .contains(EncodeCp1250(QStringLiteral("Nazev=Truhlářství Dvořák\r\n"))));
        QCOMPARE(focused, QStringLiteral("Ed_Nazev"));
        // With settings, the next start is an ordinary one.
        THlavni again(folder.path(), QStringLiteral(","));
        QVERIFY(!again.FirstStart());
    }

    // The corrected document, the reason, the exchange rate and its date are optional lines
    // after line 49: a file without them is saved byte for byte as it was read; typed in, they
    // are saved and read back; a new invoice starts without them.
    void correctionAndExchangeRateRoundTrip() {
        MainWindowFixture f;
        THlavni& w = f.w();
        const QByteArray original = FileWithoutNewLines();
        f.writePeriodFile(QStringLiteral("2026004"), original);
        OpenThroughDialog(w, QStringLiteral("2026004"));
        QCOMPARE(NewFields(w), QStringList(4));
        SaveUnchanged(w);
        QVERIFY(f.boxes.shown().isEmpty());
        QCOMPARE(f.periodBytes(QStringLiteral("2026004")), original);

        const QStringList typed{"2026001", "Vrácení zboží", "25,125", "4.3.2026"};
        const QList<QLineEdit*> edits{ui(w).Ed_OpravovanyDoklad, ui(w).Ed_DuvodOpravy,
                                      ui(w).Ed_Kurz, ui(w).Ed_DatumKurzu};
        for (int i = 0; i < edits.size(); ++i)
            TypeInto(edits[i], typed[i]);
        QVERIFY(w.IsModified());
        ui(w).Akce_UlozitFakturu->trigger();
        QVERIFY(f.boxes.shown().isEmpty());
        QCOMPARE(f.periodBytes(QStringLiteral("2026004")),
                 original + EncodeCp1250(QStringLiteral("OpravovanyDoklad=2026001\r\n"
                                                        "DuvodOpravy=Vrácení zboží\r\n"
                                                        "Kurz=25,125\r\nDatumKurzu=4.3.2026\r\n")));

        ui(w).Akce_ZavritFakturu->trigger();
        QCOMPARE(NewFields(w), QStringList(4));
        OpenThroughDialog(w, QStringLiteral("2026004"));
        QCOMPARE(NewFields(w), typed);
        ui(w).Akce_ZavritFakturu->trigger();
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(NewFields(w), QStringList(4));
    }

    // A typed exchange rate or rate date that does not read stops the save with a message
    // naming the field, which gets the focus; nothing is written.
    void unreadableRateOrRateDateIsRefusedBySave_data() {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("message");
        QTest::newRow("text") << "kurz"
                              << "4.3.2026"
                              << "Kurz: „kurz“ není kurz; zadejte počet korun za jednotku měny od "
                                 "0,0001 do 100000, nejvýš 6 desetinných míst, například 25,125.";
        QTest::newRow("zero") << "0"
                              << ""
                              << "Kurz: „0“ není kurz; zadejte počet korun za jednotku měny od "
                                 "0,0001 do 100000, nejvýš 6 desetinných míst, například 25,125.";
        QTest::newRow("31.2.") << "25,125"
                               << "31.2.2026"
                               << "Datum kurzu: „31.2.2026“ není platné datum; zadejte "
                                  "den.měsíc.rok, například 5.3.2026.";
        QTest::newRow("both read") << "25,125"
                                   << "4.3.2026"
                                   << "";
    }
    void unreadableRateOrRateDateIsRefusedBySave() {
        QFETCH(QString, rate);
        QFETCH(QString, date);
        QFETCH(QString, message);
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        TypeInto(ui(w).Ed_Kurz, rate);
        TypeInto(ui(w).Ed_DatumKurzu, date);
        ui(w).Ed_Od2->setFocus();
        ui(w).Akce_UlozitFakturu->trigger();
        if (message.isEmpty()) {
            QVERIFY(f.boxes.shown().isEmpty());
            QVERIFY(f.periodBytes(QStringLiteral("2026001"))
                        .endsWith("\r\nKurz=" + rate.toLatin1() +
                                  "\r\nDatumKurzu=" + date.toLatin1() + "\r\n"));
            return;
        }
        QCOMPARE(f.boxes.shown(),
                 (QList<ShownBox>{{BoxKind::Error, QStringLiteral("Tarvela"), message}}));
        QVERIFY(!QFileInfo::exists(f.periodFile(QStringLiteral("2026001"))));
        QCOMPARE(QApplication::focusWidget(),
                 message.startsWith(QLatin1String("Kurz")) ? ui(w).Ed_Kurz : ui(w).Ed_DatumKurzu);
        QVERIFY(w.IsModified());
    }

    // "Kurz ČNB" asks the bank (here a server on 127.0.0.1) for the rate of the invoice's
    // currency on the date of taxable supply. The window goes on while it waits, with a progress
    // box whose Storno abandons the question; the answer fills the rate and its date, a failure
    // says why and leaves the rate to be typed.
    void bankRateFetchedWithoutBlocking_data() {
        QTest::addColumn<QString>("server"); // "found", "offline", "silent"
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QStringList>("fields"); // rate and its date afterwards
        QTest::addColumn<QString>("message");
        QTest::newRow("euro found") << "found"
                                    << "EUR" << QStringList{"24,335", "5.3.2026"} << "";
        QTest::newRow("yen, per one") << "found"
                                      << "jpy" << QStringList{"0,16123", "5.3.2026"} << "";
        QTest::newRow("not listed")
            << "found"
            << "XYZ" << QStringList{"", ""} << "ČNB nevyhlašuje kurz měny XYZ. Zadejte kurz ručně.";
        QTest::newRow("offline") << "offline"
                                 << "EUR" << QStringList{"", ""} << CnbOfflineMessage();
        QTest::newRow("Storno") << "silent"
                                << "EUR" << QStringList{"", ""} << "";
        QTest::newRow("crowns, by Alt+K")
            << "found"
            << "CZK" << QStringList{"", ""}
            << "Faktura je v měně CZK. Kurz ČNB se zadává jen u faktury v cizí měně.";
    }
    void bankRateFetchedWithoutBlocking() {
        QFETCH(QString, server);
        QFETCH(QString, currency);
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        LocalHttpServer found(200, kCnbDailySample);
        QTcpServer silent; // takes the connection and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        MainWindowFixture f;
        THlavni& w = f.w();
        WriteIniString(
            SettingsFilePath(f.folder.path()), QLatin1String(kServicesSection),
            QStringLiteral("AdresaCNB"),
            server == QLatin1String("found") ? found.url(QStringLiteral("/denni_kurz.txt"))
            : server == QLatin1String("offline")
                ? QStringLiteral("http://127.0.0.1:%1/denni_kurz.txt")
                      .arg(LocalHttpServer::ClosedPort())
                : QStringLiteral("http://127.0.0.1:%1/denni_kurz.txt").arg(silent.serverPort()));
        ui(w).Akce_NovaFaktura->trigger();
        ui(w).Ed_Mena->setText(currency);
        ui(w).Datum_Fa7->setDate(QDate(2026, 3, 7)); // a Saturday: the bank's Thursday rate

        if (currency == QLatin1String("CZK")) {
            // By the keyboard as well: Alt+K presses the button.
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            ui(w).Ed_Fa3->setFocus();
            QTest::keyClick(ui(w).Ed_Fa3, Qt::Key_K, Qt::AltModifier);
            QTRY_COMPARE(f.boxes.shown().size(), 1); // the button is pressed after its animation
            QCOMPARE(ui(w).Ed_Fa3->text(), QString());
        } else {
            QTest::mouseClick(ui(w).Tl_KurzCNB, Qt::LeftButton);
        }
        if (currency != QLatin1String("CZK")) {
            // The click has returned before any answer: the progress box is up with Storno.
            auto* progress = w.findChild<QProgressDialog*>(QStringLiteral("KurzCNBProgress"));
            QVERIFY(progress);
            QVERIFY(progress->isVisible());
            QVERIFY(f.boxes.shown().isEmpty());
            QCOMPARE(ui(w).Ed_Kurz->text(), QString());
            if (server == QLatin1String("silent")) {
                QTRY_VERIFY(silent.hasPendingConnections()); // asked, no answer yet
                auto* storno = progress->findChild<QPushButton*>();
                QVERIFY(storno);
                QCOMPARE(storno->text(), QStringLiteral("Storno"));
                QTest::mouseClick(storno, Qt::LeftButton);
            }
            QTRY_VERIFY(!w.findChild<QProgressDialog*>(QStringLiteral("KurzCNBProgress")));
        }
        QCOMPARE((QStringList{ui(w).Ed_Kurz->text(), ui(w).Ed_DatumKurzu->text()}), fields);
        if (message.isEmpty())
            QVERIFY(f.boxes.shown().isEmpty());
        else
            QCOMPARE(f.boxes.shown(),
                     (QList<ShownBox>{{BoxKind::Info, QStringLiteral("Tarvela"), message}}));
        if (server == QLatin1String("found") && currency != QLatin1String("CZK"))
            QCOMPARE(found.requestLine, QByteArray("GET /denni_kurz.txt?date=07.03.2026 HTTP/1.1"));
        if (!fields.first().isEmpty()) {
            QVERIFY(w.IsModified());
            QVERIFY(w.statusBar()->currentMessage().contains(fields.first()));
        }
    }

    void newInvoiceInAnotherPeriodGetsDatesInsideIt() {
        MainWindowFixture f(QByteArray("[NASTAVENI]\r\nAktualniRok=2027\r\nDobaSplatnosti=14\r\n"
                                       "TypSymbolu=1\r\n"));
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(ui(w).Ed_Fa1->text(), QStringLiteral("2027001"));
        QCOMPARE(ui(w).Ed_Fa2->text(), QStringLiteral("2027001")); // the variable symbol
        QCOMPARE(ui(w).Datum_Fa7->date(), QDate(2027, 1, 1));
        QCOMPARE(ui(w).Datum_Fa8->date(), QDate(2027, 1, 1));
        QCOMPARE(ui(w).Datum_Fa9->date(), QDate(2027, 1, 15));
        QVERIFY(w.statusBar()->currentMessage().contains(QStringLiteral("1.1.2027")));
        QVERIFY(!w.IsModified());
    }
};

QTEST_MAIN(HeaderInputTest)
#include "header_input_test.moc"
