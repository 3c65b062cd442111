// The item grid of the main window driven offscreen: the current row and the totals, copy,
// paste, delete, move, and how the quantity, price and rate cells are drawn.
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QTableWidget>

#include "support/main_window_fixture.h"

using namespace tarvela;
using namespace tarvela::test;

namespace {

const QString kRow21 = QStringLiteral("A1|Oprava|ks|2|150,00|21|");
const QString kRow15 = QStringLiteral("B2|Montáž|hod|2|150,00|15|");

struct Labels {
    QString base, vat1, vat2, vat3, row, sumBase, sumVat1, sumVat2, sumVat3, total;
    bool operator==(const Labels&) const = default;
};

Labels Shown(const THlavni& w) {
    return {ui(w).La_APCelkem->text(),     ui(w).La_APDPH1->text(),      ui(w).La_APDPH2->text(),
            ui(w).La_APDPH3->text(),       ui(w).La_CelkemRadek->text(), ui(w).La_SACelkem->text(),
            ui(w).La_SADPH1->text(),       ui(w).La_SADPH2->text(),      ui(w).La_SADPH3->text(),
            ui(w).La_CelkemFaktura->text()};
}

// A window with a new invoice on the page "Položky".
struct GridFixture : MainWindowFixture {
    GridFixture() {
        ui(w()).Akce_NovaFaktura->trigger();
        ui(w()).PageControl1->setCurrentIndex(1);
        if (!QTest::qWaitForWindowExposed(&w()))
            qWarning("main window not exposed");
    }
};

} // namespace

namespace QTest {
template <> char* toString(const Labels& l) {
    return qstrdup(QStringList{l.base, l.vat1, l.vat2, l.vat3, l.row, l.sumBase, l.sumVat1,
                               l.sumVat2, l.sumVat3, l.total}
                       .join(QLatin1Char(' '))
                       .toUtf8()
                       .constData());
}
} // namespace QTest

class GridTest : public QObject {
    Q_OBJECT
private slots:
    void totalsFollowTheCurrentRow() {
        GridFixture f;
        THlavni& w = f.w();
        PasteRow(w, 1, kRow21);
        QCOMPARE(Shown(w), (Labels{"300,00", "63,00", "0,00", "0,00", "363,00", "300,00", "63,00",
                                   "0,00", "0,00", "363,00"}));
        PasteRow(w, 2, kRow15);
        const Labels both{"300,00", "0,00",  "45,00", "0,00", "345,00",
                          "600,00", "63,00", "45,00", "0,00", "708,00"};
        QCOMPARE(Shown(w), both);

        ClickRow(w, 1);
        QCOMPARE(ui(w).La_APDPH1->text(), QStringLiteral("63,00"));
        QCOMPARE(ui(w).La_CelkemRadek->text(), QStringLiteral("363,00"));

        // By keyboard.
        ui(w).Grid1->setFocus();
        QTest::keyClick(ui(w).Grid1, Qt::Key_Down);
        QCOMPARE(editor(w).CurrentRow(), 2);
        QCOMPARE(Shown(w), both);

        // By the program.
        editor(w).SetCurrentRow(3);
        QCOMPARE(ui(w).La_APCelkem->text(), QStringLiteral("0,00"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("708,00"));
    }

    void equalRatesPutTheTaxInTheLastColumn() {
        MainWindowFixture f(QByteArray("[NASTAVENI]\r\nAktualniRok=2026\r\nPlatce=1\r\n"
                                       "SazbaDPH1=21\r\nSazbaDPH2=12\r\nSazbaDPH3=12\r\n"));
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        PasteRow(w, 1, QStringLiteral("|x|ks|1|100,00|12|"));
        QCOMPARE(Shown(w), (Labels{"100,00", "0,00", "0,00", "12,00", "112,00", "100,00", "0,00",
                                   "0,00", "12,00", "112,00"}));
    }

    void basesAreSummedUnrounded() {
        GridFixture f;
        THlavni& w = f.w();
        for (int row = 1; row <= 3; ++row)
            PasteRow(w, row, QStringLiteral("|Drobnost|ks|3|0,333|0|"));
        for (int row = 1; row <= 3; ++row) {
            ClickRow(w, row);
            QCOMPARE(ui(w).La_APCelkem->text(), QStringLiteral("1,00"));
        }
        QCOMPARE(ui(w).La_SACelkem->text(), QStringLiteral("3,00"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("3,00"));
    }

    void rowChangedElsewhereIsRecomputedWhenCurrent() {
        GridFixture f;
        THlavni& w = f.w();
        PasteRow(w, 1, kRow21);
        ClickRow(w, 2);
        editor(w).SetCell(5, 1, QStringLiteral("200,00"));
        editor(w).SetCell(6, 1, QString()); // a rate that names nothing charges no tax
        ClickRow(w, 1);
        QCOMPARE(ui(w).La_APCelkem->text(), QStringLiteral("400,00"));
        QCOMPARE(ui(w).La_APDPH1->text(), QStringLiteral("0,00"));
        editor(w).SetCell(6, 1, QStringLiteral("0"));
        ClickRow(w, 2);
        ClickRow(w, 1);
        QCOMPARE(ui(w).La_APDPH1->text(), QStringLiteral("0,00"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("400,00"));
    }

    void unreadableNumberIsReportedAndKeepsTheFigures() {
        GridFixture f;
        THlavni& w = f.w();
        PasteRow(w, 1, kRow21);
        ui(w).Akce_UlozitFakturu->trigger();
        QVERIFY(!w.IsModified());
        const Labels before = Shown(w);

        PasteRow(w, 2, QStringLiteral("|Chyba|ks|1.5|10|21|"));
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown().first(),
                 (ShownBox{BoxKind::Error, QStringLiteral("Tarvela"),
                           QStringLiteral("Počet MJ: „1.5“ není číslo.")}));
        QCOMPARE(RowText(w, 2), QStringLiteral("||||||")); // the row is not written
        QVERIFY(!w.IsModified());
        QCOMPARE(ui(w).La_CelkemFaktura->text(), before.total);
    }

    void copyAndPaste() {
        GridFixture f;
        THlavni& w = f.w();
        PasteRow(w, 1, kRow21);
        ui(w).Akce_UlozitFakturu->trigger();

        ClickRow(w, 1);
        ui(w).Akce_ZkopirovatPolozku->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), kRow21);
        QVERIFY(!w.IsModified());

        ClickRow(w, 4);
        ui(w).Akce_VlozitPolozku->trigger();
        QCOMPARE(RowText(w, 4), kRow21);
        QVERIFY(w.IsModified());
        QVERIFY(ui(w).Akce_UlozitFakturu->isEnabled());
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("726,00"));
        // The clipboard keeps the row for further pastes.
        ClickRow(w, 5);
        ui(w).Akce_VlozitPolozku->trigger();
        QCOMPARE(RowText(w, 5), kRow21);

        ClickRow(w, 9);
        ui(w).Akce_ZkopirovatPolozku->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("||||||"));
    }

    void pastedTexts_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("row");
        QTest::newRow("no bar: description only") << "Jen text"
                                                  << "A1|Jen text|ks|2|150,00|21|";
        QTest::newRow("empty clipboard") << ""
                                         << "A1||ks|2|150,00|21|";
        QTest::newRow("more than six pieces") << "1|2|3|4|5|0|7|8|"
                                              << "1|2|3|4|5|0|";
        QTest::newRow("one piece") << "X|Y"
                                   << "X|Oprava|ks|2|150,00|21|";
        QTest::newRow("first line only") << "B|Druhý|m|1|5|15|\r\nC|Třetí|m|1|5|15|"
                                         << "B|Druhý|m|1|5|15|";
        QTest::newRow("first line of a text") << "Řádek jedna\nŘádek dvě"
                                              << "A1|Řádek jedna|ks|2|150,00|21|";
    }
    void pastedTexts() {
        QFETCH(QString, clipboard);
        QFETCH(QString, row);
        GridFixture f;
        THlavni& w = f.w();
        PasteRow(w, 1, kRow21);
        if (clipboard.isEmpty())
            QGuiApplication::clipboard()->clear();
        else
            QGuiApplication::clipboard()->setText(clipboard);
        ui(w).Akce_VlozitPolozku->trigger();
        QCOMPARE(RowText(w, 1), row);
        QVERIFY(f.boxes.shown().isEmpty());
    }

    // A payer's pasted row keeps 0 or a rate of the settings (21, 15, 10); another rate is refused
    // with the allowed ones named, and the row stays as it was.
    void pastedRateIsOneOfTheSettings_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<bool>("refused");
        QTest::newRow("15") << kPayerIni << "15" << false;
        QTest::newRow("0") << kPayerIni << "0" << false;
        QTest::newRow("empty") << kPayerIni << "" << false;
        QTest::newRow("20") << kPayerIni << "20" << true;
        QTest::newRow("12") << kPayerIni << "12" << true;
        QTest::newRow("non-payer")
            << QByteArray("[NASTAVENI]\r\nAktualniRok=2026\r\nPlatce=0\r\n") << "20" << false;
    }
    void pastedRateIsOneOfTheSettings() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, rate);
        QFETCH(bool, refused);
        MainWindowFixture f(ini);
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        PasteRow(w, 1, kRow21);
        const QString pasted = QStringLiteral("B|Jiná|ks|1|10,00|%1|").arg(rate);
        PasteRow(w, 1, pasted);
        if (refused) {
            QCOMPARE(f.boxes.shown().size(), 1);
            QCOMPARE(f.boxes.shown().first().text,
                     QStringLiteral("Sazba DPH „%1“ není v nastavení. Povolené sazby: 21 %, "
                                    "15 %, 10 % nebo 0 %.")
                         .arg(rate));
            QCOMPARE(RowText(w, 1), kRow21);
            QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("363,00"));
        } else if (ini.contains("Platce=0")) {
            // A non-payer's rate is kept as typed, with a warning that it charges nothing.
            QCOMPARE(f.boxes.shown().size(), 2); // the first row's "21" and the pasted rate
            QVERIFY(f.boxes.shown().last().text.contains(QStringLiteral("sazba „20“ se nepočítá")));
            QCOMPARE(RowText(w, 1), pasted);
            QCOMPARE(ui(w).La_SADPH1->text(), QStringLiteral("0,00"));
        } else {
            QVERIFY(f.boxes.shown().isEmpty());
            QCOMPARE(RowText(w, 1), pasted);
        }
    }

    void deleteAsksEvenForAnEmptyRow() {
        GridFixture f;
        THlavni& w = f.w();
        for (int row = 1; row <= 7; ++row)
            PasteRow(w, row, kRow21);
        ui(w).Akce_UlozitFakturu->trigger();
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("2541,00"));

        ClickRow(w, 5);
        f.boxes.queueAnswer(false);
        ui(w).Akce_SmazatPolozku->trigger();
        const ShownBox question{BoxKind::YesNo, QStringLiteral("Pozor!"),
                                QStringLiteral("Chcete opravdu smazat tuto položku?")};
        QCOMPARE(f.boxes.takeShown(), QList<ShownBox>{question});
        QCOMPARE(RowText(w, 5), kRow21);
        QVERIFY(!w.IsModified());

        f.boxes.queueAnswer(true);
        ui(w).Akce_SmazatPolozku->trigger();
        QCOMPARE(f.boxes.takeShown(), QList<ShownBox>{question});
        QCOMPARE(RowText(w, 5), QStringLiteral("||||||"));
        QCOMPARE(RowText(w, 6), kRow21);
        QCOMPARE(ui(w).La_APCelkem->text(), QStringLiteral("0,00"));
        QCOMPARE(ui(w).La_CelkemRadek->text(), QStringLiteral("0,00"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("2178,00"));
        QVERIFY(w.IsModified());

        ClickRow(w, 20);
        f.boxes.queueAnswer(true);
        ui(w).Akce_SmazatPolozku->trigger();
        QCOMPARE(f.boxes.takeShown(), QList<ShownBox>{question});
    }

    void deleteOnTheFirstPageTellsNoItem() {
        GridFixture f;
        THlavni& w = f.w();
        ui(w).PageControl1->setCurrentIndex(0);
        QVERIFY(!ui(w).Akce_SmazatPolozku->isEnabled());
        editor(w).DeleteItem(); // the item action's handler, as the editor offers it
        QCOMPARE(f.boxes.shown(),
                 (QList<ShownBox>{{BoxKind::Info, QStringLiteral("Tarvela"),
                                   QStringLiteral("Není vybraná žádná položka.")}}));
    }

    void moveDownAndUp() {
        GridFixture f;
        THlavni& w = f.w();
        PasteRow(w, 2, kRow21);
        PasteRow(w, 3, kRow15);
        ui(w).Akce_UlozitFakturu->trigger();
        const QString total = ui(w).La_CelkemFaktura->text();

        ClickRow(w, 3);
        ui(w).Akce_PolozkaNahoru->trigger();
        QCOMPARE(RowText(w, 2), kRow15);
        QCOMPARE(RowText(w, 3), kRow21);
        QCOMPARE(editor(w).CurrentRow(), 2);
        QCOMPARE(ui(w).La_APDPH2->text(), QStringLiteral("45,00"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), total);
        QVERIFY(w.IsModified());
        for (int row = 1; row <= 3; ++row)
            QCOMPARE(ui(w).Grid1->verticalHeaderItem(row - 1)->text(), QString::number(row));

        // Down past an empty row leaves the empty row above.
        ClickRow(w, 3);
        ui(w).Akce_PolozkaDolu->trigger();
        QCOMPARE(RowText(w, 3), QStringLiteral("||||||"));
        QCOMPARE(RowText(w, 4), kRow21);
        QCOMPARE(editor(w).CurrentRow(), 4);
        QCOMPARE(ui(w).La_APDPH1->text(), QStringLiteral("63,00"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), total);

        // The amounts move with the rows; a rate that names nothing charges no tax.
        editor(w).SetCell(6, 4, QStringLiteral("19"));
        ui(w).Grid1->setFocus();
        QTest::keyClick(ui(w).Grid1, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(editor(w).CurrentRow(), 3);
        QCOMPARE(ui(w).La_APDPH1->text(), QStringLiteral("0,00"));
        QCOMPARE(ui(w).La_CelkemRadek->text(), ui(w).La_APCelkem->text());
    }

    void moveStopsAtTheEnds() {
        GridFixture f;
        THlavni& w = f.w();
        PasteRow(w, 1, kRow21);
        PasteRow(w, 25, kRow15);
        ui(w).Akce_UlozitFakturu->trigger();
        ClickRow(w, 1);
        ui(w).Akce_PolozkaNahoru->trigger();
        QCOMPARE(RowText(w, 1), kRow21);
        QCOMPARE(editor(w).CurrentRow(), 1);
        QVERIFY(!w.IsModified());
        ClickRow(w, 25);
        ui(w).Akce_PolozkaDolu->trigger();
        QCOMPARE(RowText(w, 25), kRow15);
        QCOMPARE(editor(w).CurrentRow(), 25);
        QVERIFY(!w.IsModified());
    }

    void quantityPriceAndRateDrawnRightAligned() {
        GridFixture f;
        THlavni& w = f.w();
        PasteRow(w, 1, QStringLiteral("KOD|Popis|ks|8888|8888|10|"));
        PasteRow(w, 2, QStringLiteral("KOD|Popis|ks|8888|8888|10|"));
        ClickRow(w, 2);
        ui(w).Grid1->clearFocus();
        const QImage image = ui(w).Grid1->viewport()->grab().toImage();

        auto inkColumns = [&](int tableRow, int col) {
            const QRect cell = ui(w).Grid1->visualItemRect(ui(w).Grid1->item(tableRow, col));
            const QRgb background = image.pixel(cell.x() + 1, cell.bottom() - 1);
            int left = -1;
            int right = -1;
            for (int x = cell.left(); x <= cell.right(); ++x)
                for (int y = cell.top(); y < cell.bottom(); ++y)
                    if (image.pixel(x, y) != background &&
                        qAbs(qGray(image.pixel(x, y)) - qGray(background)) > 60) {
                        if (left < 0)
                            left = x;
                        right = x;
                    }
            return std::tuple{cell, left, right, background};
        };
        for (int col = 3; col <= 5; ++col) {
            for (int tableRow : {0, 1}) {
                const auto [cell, left, right, background] = inkColumns(tableRow, col);
                const int cellRight = cell.x() + cell.width(); // the cell's right edge
                QVERIFY2(left >= 0, "text drawn");
                QVERIFY2(right < cellRight - 2 && right >= cellRight - 5,
                         qPrintable(QStringLiteral("column %1: ink ends at %2, cell edge %3")
                                        .arg(col)
                                        .arg(right)
                                        .arg(cellRight)));
                QVERIFY(left > cell.x() + cell.width() / 3);
            }
        }
        // Code and description stay left-aligned.
        const auto [codeCell, codeLeft, codeRight, codeBackground] = inkColumns(0, 0);
        QVERIFY(codeLeft < codeCell.x() + 8);
        // The selected row keeps its highlight under the right-aligned cells.
        const auto [selCell, selLeft, selRight, selBackground] = inkColumns(1, 4);
        QCOMPARE(selBackground, std::get<3>(inkColumns(1, 1)));
        QVERIFY(selBackground != std::get<3>(inkColumns(0, 4)));
    }
};

QTEST_MAIN(GridTest)
#include "thlavni_grid_test.moc"
