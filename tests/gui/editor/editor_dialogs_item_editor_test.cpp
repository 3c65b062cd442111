#include "editor/teditacepolozky.h"
#include "editor/tseznampolozek.h"
#include "support/controls.h"
#include "support/form_checks.h"
#include "support/list_views.h"
#include "support/modal_dialog.h"
#include "support/sample_invoices.h"
#include "text/message_boxes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include <memory>

using namespace tarvela;
using namespace tarvela::test;

namespace {

// Three distinct rates besides 0, as a payer set them.
AppSettings Settings(bool platce) {
    AppSettings s;
    s.AktualniRok = 2026;
    s.Platce = platce;
    s.SazbaDPH1 = 21;
    s.SazbaDPH2 = 15;
    s.SazbaDPH3 = 10;
    return s;
}

QString Info(const MessageBoxRecorder& boxes, int i = 0) {
    return i < boxes.shown().size() ? boxes.shown()[i].text : QString();
}

// The editor as the window opens it, shown and active, with the hooks recorded.
struct Editor {
    TempProgramFolder folder;
    std::unique_ptr<TEditacePolozky> dialog;
    QList<InvoiceItemRow> written;
    QList<RowAmount> amounts;
    int confirmed = 0;

    Editor(const InvoiceItemRow& row, bool platce, const RowAmount& start = {}) {
        dialog = std::make_unique<TEditacePolozky>(row, start, Settings(platce), folder.path());
        La_Kod = Find<QLabel>("La_Kod");
        Ed_Kod = Find<QLineEdit>("Ed_Kod");
        La_OznaceniDodavky = Find<QLabel>("La_OznaceniDodavky");
        Ed_OznaceniDodavky = Find<QLineEdit>("Ed_OznaceniDodavky");
        Tl_SeznamPolozek = Find<QPushButton>("Tl_SeznamPolozek");
        La_MJ = Find<QLabel>("La_MJ");
        Ed_MJ = Find<QLineEdit>("Ed_MJ");
        La_PocetMJ = Find<QLabel>("La_PocetMJ");
        Ed_PocetMJ = Find<QLineEdit>("Ed_PocetMJ");
        La_CenaMJ = Find<QLabel>("La_CenaMJ");
        Ed_CenaMJ = Find<QLineEdit>("Ed_CenaMJ");
        La_SazbaDPH = Find<QLabel>("La_SazbaDPH");
        SazbaDPH = Find<QComboBox>("SazbaDPH");
        La_CenaSA = Find<QLabel>("La_CenaSA");
        Ed_CenaSA = Find<QLineEdit>("Ed_CenaSA");
        Tl_Vyprazdnit = Find<QPushButton>("Tl_Vyprazdnit");
        Tl_VyprazdnitCenu = Find<QPushButton>("Tl_VyprazdnitCenu");
        Tl_Ok = Find<QPushButton>("Tl_Ok");
        Tl_Storno = Find<QPushButton>("Tl_Storno");
        PMenu_Rok = Find<QMenu>("PMenu_Rok");
        QObject::connect(dialog.get(), &TEditacePolozky::rowWritten,
                         [this](const InvoiceItemRow& r) { written.append(r); });
        QObject::connect(dialog.get(), &TEditacePolozky::amountsChanged,
                         [this](const RowAmount& a) { amounts.append(a); });
        QObject::connect(dialog.get(), &TEditacePolozky::confirmed, [this] { ++confirmed; });
        dialog->show();
        dialog->activateWindow();
        QApplication::setActiveWindow(dialog.get());
        if (!QTest::qWaitForWindowActive(dialog.get()))
            qWarning("the editor did not become active");
    }
    TEditacePolozky* operator->() const { return dialog.get(); }

    // The dialog's controls, found by their names.
    template <class T> T* Find(const char* name) const { return Control<T>(dialog.get(), name); }
    QLabel* La_Kod = nullptr;
    QLineEdit* Ed_Kod = nullptr;
    QLabel* La_OznaceniDodavky = nullptr;
    QLineEdit* Ed_OznaceniDodavky = nullptr;
    QPushButton* Tl_SeznamPolozek = nullptr;
    QLabel* La_MJ = nullptr;
    QLineEdit* Ed_MJ = nullptr;
    QLabel* La_PocetMJ = nullptr;
    QLineEdit* Ed_PocetMJ = nullptr;
    QLabel* La_CenaMJ = nullptr;
    QLineEdit* Ed_CenaMJ = nullptr;
    QLabel* La_SazbaDPH = nullptr;
    QComboBox* SazbaDPH = nullptr;
    QLabel* La_CenaSA = nullptr;
    QLineEdit* Ed_CenaSA = nullptr;
    QPushButton* Tl_Vyprazdnit = nullptr;
    QPushButton* Tl_VyprazdnitCenu = nullptr;
    QPushButton* Tl_Ok = nullptr;
    QPushButton* Tl_Storno = nullptr;
    QMenu* PMenu_Rok = nullptr;
};

QWidget* Focused() {
    QWidget* w = QApplication::focusWidget();
    // The rate combo's own line edit stands for the combo.
    if (w && qobject_cast<QComboBox*>(w->parentWidget()))
        return w->parentWidget();
    return w;
}

void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void Type(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->setCursorPosition(static_cast<int>(field->text().size()));
    QTest::keyClicks(field, text);
}

void Paste(QWidget* field, const QString& clipboard) {
    QGuiApplication::clipboard()->setText(clipboard);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

// Leaves the focused field to the next control, as Tab does.
void Leave(QWidget* field) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
}

const InvoiceItemRow kPricedRow{"A1", "Oprava", "ks", "2", "150,00", "21"};

} // namespace

class EditorDialogsItemEditorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic)); }

    void controlsSitWhereTheFormPutsThem() {
        Editor e(kPricedRow, true);
        QCOMPARE(e->windowTitle(), QStringLiteral("Editace položky"));
        QCOMPARE(e->size(), QSize(508, 176));
        // Every caption fits and no two controls overlap (the places themselves are the form's).
        QVERIFY2(CaptionsThatDoNotFit(e.dialog.get()).isEmpty(),
                 qPrintable(CaptionsThatDoNotFit(e.dialog.get()).join(QLatin1Char('\n'))));
        QVERIFY2(OverlappingControls(e.dialog.get()).isEmpty(),
                 qPrintable(OverlappingControls(e.dialog.get()).join(QLatin1Char('\n'))));
        // The clearing buttons keep at least the form's sizes and grow to their captions.
        QCOMPARE(e.Tl_Vyprazdnit->pos(), QPoint(16, 136));
        QVERIFY(e.Tl_Vyprazdnit->width() >= 81);
        QVERIFY(e.Tl_VyprazdnitCenu->x() >= 104);
        QVERIFY(e.Tl_VyprazdnitCenu->width() >= 129);
        QCOMPARE(e.Tl_VyprazdnitCenu->x(), e.Tl_Vyprazdnit->geometry().right() + 8);
        for (QPushButton* b : {e.Tl_Vyprazdnit, e.Tl_VyprazdnitCenu})
            QVERIFY(b->sizeHint().width() <= b->width());
        QVERIFY(e.Tl_VyprazdnitCenu->geometry().right() < e.Tl_Ok->x());
        QCOMPARE(e.La_OznaceniDodavky->text(), QStringLiteral("Označení dodávky"));
        QCOMPARE(e.La_CenaSA->text(), QStringLiteral("Celkem bez DPH"));
        QCOMPARE(e.Tl_VyprazdnitCenu->text(), QStringLiteral("Vyprázdnit &cenové údaje"));
        QCOMPARE(e.Tl_SeznamPolozek->toolTip(),
                 QStringLiteral("Přenést text z jiné existující faktury"));
        QCOMPARE(Focused(), e.Ed_Kod);
        QVERIFY(!e.Tl_Ok->isEnabled());
        QCOMPARE(e.Ed_Kod->text(), QStringLiteral("A1"));
        QCOMPARE(e.Ed_CenaMJ->text(), QStringLiteral("150,00"));
        QCOMPARE(e.Ed_CenaSA->text(), QString());
    }

    void rateComboIsPickOnlyForAKnownRateAndEditableOtherwise() {
        struct Case {
            QString rate;
            bool editable;
            int index;
        };
        const Case cases[] = {{"21", false, 1}, {"15", false, 2}, {"10", false, 3},
                              {"0", false, 0},  {"19", true, -2}, {"", true, -2}};
        for (const Case& c : cases) {
            InvoiceItemRow row = kPricedRow;
            row.DPH = c.rate;
            Editor e(row, true);
            QCOMPARE(e.SazbaDPH->count(), 4);
            QCOMPARE(e.SazbaDPH->itemText(1), QStringLiteral("21"));
            QCOMPARE(e.SazbaDPH->isEditable(), c.editable);
            QCOMPARE(e.SazbaDPH->currentText(), c.rate);
            if (c.index >= 0)
                QCOMPARE(e.SazbaDPH->currentIndex(), c.index);
            QVERIFY(!e.Tl_Ok->isEnabled());
        }
        Editor nonPayer(kPricedRow, false);
        QVERIFY(nonPayer.SazbaDPH->isHidden());
        QVERIFY(nonPayer.La_SazbaDPH->isHidden());
    }

    void enterAndCtrlArrowsWalkTheVisibleEnabledTabStops() {
        // A payer: the rate combo is on the way; Ok is still disabled, so Enter ends at Storno.
        Editor e(kPricedRow, true);
        const QList<QWidget*> walk{e.Ed_OznaceniDodavky, e.Ed_MJ,     e.Ed_PocetMJ, e.Ed_CenaMJ,
                                   e.SazbaDPH,           e.Ed_CenaSA, e.Tl_Storno};
        for (QWidget* next : walk) {
            PressKey(Qt::Key_Return);
            QCOMPARE(Focused(), next);
        }
        e.Ed_CenaSA->setFocus();
        PressKey(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(Focused(), e.SazbaDPH);
        PressKey(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(Focused(), e.Ed_CenaMJ);
        PressKey(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(Focused(), e.SazbaDPH);

        // A non-payer skips the hidden combo; an enabled Ok is the stop after Ed_CenaSA.
        Editor n(kPricedRow, false);
        Type(n.Ed_Kod, QStringLiteral("X"));
        n.Ed_CenaMJ->setFocus();
        PressKey(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(Focused(), n.Ed_CenaSA);
        PressKey(Qt::Key_Return);
        QCOMPARE(Focused(), n.Tl_Ok);
        QVERIFY(n->isVisible());
        QVERIFY(n.written.isEmpty());
    }

    void escapeClosesTheDialogAsStorno() {
        Editor e(kPricedRow, true);
        Type(e.Ed_PocetMJ, QStringLiteral("5"));
        PressKey(Qt::Key_Escape);
        QVERIFY(!e->isVisible());
        QCOMPARE(e->result(), int(QDialog::Rejected));
        QVERIFY(e.written.isEmpty());
        QCOMPARE(e.confirmed, 0);
    }

    void ctrlEnterConfirmsFromAnyField() {
        // From the quantity: the field is completed as leaving it would, and the row written.
        for (const char* field : {"Ed_Kod", "Ed_PocetMJ", "Ed_CenaMJ", "SazbaDPH"}) {
            MessageBoxRecorder boxes;
            Editor e(kPricedRow, true);
            Type(e.Ed_PocetMJ, QStringLiteral(",5"));
            e.Find<QWidget>(field)->setFocus();
            PressKey(Qt::Key_Return, Qt::ControlModifier);
            QVERIFY2(!e->isVisible(), field);
            QCOMPARE(e->result(), int(QDialog::Accepted));
            QCOMPARE(e.written.size(), 1);
            QCOMPARE(e.written[0].PocetMJ, QStringLiteral("2,5"));
            QCOMPARE(e.confirmed, 1);
            QVERIFY(boxes.shown().isEmpty());
        }
        // Nothing changed: Ctrl+Enter closes as Storno would.
        Editor e(kPricedRow, true);
        PressKey(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        QVERIFY(!e->isVisible());
        QVERIFY(e.written.isEmpty());
    }

    void completionOnLeavingQuantityAndPrice() {
        struct Case {
            QString quantity, price, quantityAfter, priceAfter, net;
        };
        const Case cases[] = {
            {"5,", "10", "5,0", "10,00", "50,00"},
            {"", "", "0", "0,00", "0,00"},
            {"2", "150", "2", "150,00", "300,00"},
            {"3", "0,333", "3", "0,333", "1,00"},
            {"5,5", "12,5", "5,5", "12,50", "68,75"},
            {"1", "12,", "1", "12,", "12,00"},
            // The document model's row amount: exact, a half rounded away from zero.
            {"1", "0,125", "1", "0,125", "0,13"},
            {"1,5", "0,67", "1,5", "0,67", "1,01"},
        };
        for (const Case& c : cases) {
            Editor e(InvoiceItemRow{}, false);
            e.Ed_PocetMJ->setText(c.quantity);
            e.Ed_CenaMJ->setText(c.price);
            Leave(e.Ed_PocetMJ);
            QCOMPARE(e.Ed_PocetMJ->text(), c.quantityAfter);
            QCOMPARE(Focused(), e.Ed_CenaMJ);
            Leave(e.Ed_CenaMJ);
            QCOMPARE(e.Ed_CenaMJ->text(), c.priceAfter);
            QCOMPARE(e.Ed_CenaSA->text(), c.net);
        }
    }

    void numberFieldsRefuseOtherKeysByName() {
        MessageBoxRecorder boxes;
        Editor e(InvoiceItemRow{}, false);
        Type(e.Ed_PocetMJ, QStringLiteral(","));
        QCOMPARE(e.Ed_PocetMJ->text(), QStringLiteral("0,"));
        Type(e.Ed_PocetMJ, QStringLiteral("5,7"));
        QCOMPARE(e.Ed_PocetMJ->text(), QStringLiteral("0,57"));
        Type(e.Ed_CenaMJ, QStringLiteral("-1.5"));
        QCOMPARE(e.Ed_CenaMJ->text(), QStringLiteral("-1,5")); // the full stop is the comma
        QTest::keyClick(e.Ed_CenaMJ, Qt::Key_Backspace);
        QCOMPARE(e.Ed_CenaMJ->text(), QStringLiteral("-1,"));
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(e.Tl_Ok->isEnabled());

        // "1e20" does not silently become 120: each refused key says which field refused it.
        const QString takes = QStringLiteral(" do pole nepatří. Pole bere jen číslice, znaménko "
                                             "minus a desetinnou čárku (například 1250,50).");
        for (QLineEdit* field : {e.Ed_PocetMJ, e.Ed_CenaMJ}) {
            field->clear();
            Type(field, QStringLiteral("1e20"));
            Type(field, QStringLiteral("x"));
            const QString caption =
                field == e.Ed_PocetMJ ? QStringLiteral("Počet MJ") : QStringLiteral("Cena MJ");
            QCOMPARE(
                boxes.takeShown(),
                (QList<ShownBox>{
                    {BoxKind::Info, "Tarvela", caption + QStringLiteral(": znak „e“") + takes},
                    {BoxKind::Info, "Tarvela", caption + QStringLiteral(": znak „x“") + takes}}));
            QCOMPARE(field->text(), QStringLiteral("120"));
        }
    }

    void pastingIntoNumberFields() {
        MessageBoxRecorder boxes;
        Editor e(InvoiceItemRow{"", "", "", "7", "", ""}, false);
        Paste(e.Ed_PocetMJ, QStringLiteral("  12,50 \t"));
        QCOMPARE(e.Ed_PocetMJ->text(), QStringLiteral("12,50"));
        Paste(e.Ed_PocetMJ, QStringLiteral("12 ks"));
        QCOMPARE(e.Ed_PocetMJ->text(), QStringLiteral("12,50"));
        QCOMPARE(Info(boxes), QStringLiteral("Počet MJ: vložená hodnota obsahuje jeden nebo více "
                                             "nečíselných znaků!"));
        Paste(e.Ed_CenaMJ, QStringLiteral("1|2"));
        QCOMPARE(e.Ed_CenaMJ->text(), QString());
        Paste(e.Ed_CenaMJ, QStringLiteral("12345678901234567890"));
        QCOMPARE(e.Ed_CenaMJ->text(), QString());
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(Info(boxes, 1), QStringLiteral("Cena MJ: vložená hodnota obsahuje jeden nebo "
                                                "více nečíselných znaků!"));
    }

    void aCellSeparatorNeverGetsIntoACell() {
        Editor e(InvoiceItemRow{"", "", "", "", "", "1"}, true);
        Type(e.Ed_Kod, QStringLiteral("A|1"));
        QCOMPARE(e.Ed_Kod->text(), QStringLiteral("A1"));
        Paste(e.Ed_OznaceniDodavky, QStringLiteral("Oprava|stroje|"));
        QCOMPARE(e.Ed_OznaceniDodavky->text(), QStringLiteral("Opravastroje"));
        Type(e.Ed_MJ, QStringLiteral("|ks|"));
        QCOMPARE(e.Ed_MJ->text(), QStringLiteral("ks"));
        QLineEdit* rate = e.SazbaDPH->lineEdit();
        QVERIFY(rate);
        rate->setFocus();
        rate->end(false);
        QTest::keyClicks(rate, QStringLiteral("|5"));
        QCOMPARE(e.SazbaDPH->currentText(), QStringLiteral("15"));
        QTest::mouseClick(e.Tl_Ok, Qt::LeftButton);
        QCOMPARE(e.written.size(), 1);
        QCOMPARE(ItemRowText(e.written[0]), QStringLiteral("A1|Opravastroje|ks|||15|"));
    }

    void okChecksForAPayer() {
        struct Case {
            QString quantity, price, rate;
            QString message;
            const char* focus; // where the focus goes, empty: stays
        };
        const Case cases[] = {
            {"2", "", "21", "Je zadaný počet jednotek, schází zadat cenu.", "Ed_CenaMJ"},
            {"", "150,00", "21", "Je zadaná cena, schází zadat počet jednotek.", "Ed_PocetMJ"},
            {"2", "150,00", "", "Jste plátci DPH! Musíte zadat sazbu DPH.", ""},
        };
        for (const Case& c : cases) {
            MessageBoxRecorder boxes;
            Editor e(InvoiceItemRow{"K", "Popis", "ks", "", "", c.rate}, true);
            e.Ed_PocetMJ->setText(c.quantity);
            e.Ed_CenaMJ->setText(c.price);
            e.Ed_OznaceniDodavky->setFocus();
            e->Tl_OkClick(); // as a click, without the focus moving to the button
            QCOMPARE(Info(boxes), c.message);
            QCOMPARE(boxes.shown()[0].caption, QStringLiteral("Tarvela"));
            QCOMPARE(Focused()->objectName(),
                     QString::fromLatin1(*c.focus ? c.focus : "Ed_OznaceniDodavky"));
            QVERIFY(e->isVisible());
            QVERIFY(e.written.isEmpty());
            QCOMPARE(e.Ed_PocetMJ->text(), c.quantity);
        }
    }

    void okWithoutRateForANonPayerAndForATextOnlyRow() {
        {
            MessageBoxRecorder boxes;
            Editor e(InvoiceItemRow{}, false);
            e.Ed_PocetMJ->setText("2");
            e.Ed_CenaMJ->setText("150,00");
            QTest::mouseClick(e.Tl_Ok, Qt::LeftButton);
            QVERIFY(boxes.shown().isEmpty());
            QCOMPARE(e->result(), int(QDialog::Accepted));
            QCOMPARE(e->Row(), (InvoiceItemRow{"", "", "", "2", "150,00", ""}));
            QCOMPARE(e->Amounts().Base, qint64(30000));
        }
        {
            // A payer's empty row: a description alone passes without a rate.
            MessageBoxRecorder boxes;
            Editor e(InvoiceItemRow{}, true);
            QVERIFY(e.SazbaDPH->isEditable());
            Type(e.Ed_OznaceniDodavky, QStringLiteral("Jen text"));
            QTest::mouseClick(e.Tl_Ok, Qt::LeftButton);
            QVERIFY(boxes.shown().isEmpty());
            QCOMPARE(e.written.size(), 1);
            QCOMPARE(ItemRowText(e.written[0]), QStringLiteral("|Jen text|||||"));
            QCOMPARE(e.confirmed, 1);
        }
        {
            // Tabbing through an empty row's numbers makes "0" and "0,00"; Ok then wants a rate.
            MessageBoxRecorder boxes;
            Editor e(InvoiceItemRow{}, true);
            e.Ed_PocetMJ->setFocus();
            PressKey(Qt::Key_Return);
            PressKey(Qt::Key_Return);
            QCOMPARE(e.Ed_PocetMJ->text(), QStringLiteral("0"));
            QCOMPARE(e.Ed_CenaMJ->text(), QStringLiteral("0,00"));
            QVERIFY(e.Tl_Ok->isEnabled());
            e->Tl_OkClick();
            QCOMPARE(Info(boxes), QStringLiteral("Jste plátci DPH! Musíte zadat sazbu DPH."));
        }
    }

    void okWritesTheCellsAndRecomputesTheRow() {
        Editor e(InvoiceItemRow{"A1", "Oprava", "ks", "1", "100,00", "15"}, true,
                 RowAmount{10000, 0, 1500, 0});
        e.Ed_PocetMJ->setText("2");
        e.Ed_CenaMJ->setText("150,00");
        e.SazbaDPH->setCurrentIndex(1);
        QTest::mouseClick(e.Tl_Ok, Qt::LeftButton);
        QCOMPARE(e->result(), int(QDialog::Accepted));
        QCOMPARE(e.written, QList<InvoiceItemRow>{kPricedRow});
        QCOMPARE(e.amounts, QList<RowAmount>{(RowAmount{30000, 6300, 0, 0})});
        QCOMPARE(e.confirmed, 1);
    }

    // A payer's row takes 0 or a rate of the settings (21, 15, 10 here); any other rate is
    // refused by Ok with the allowed ones named, and nothing reaches the grid. A non-payer's
    // rate is not checked.
    void onlyTheRatesOfTheSettingsAreWritten_data() {
        QTest::addColumn<bool>("platce");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<bool>("refused");
        QTest::newRow("21") << true << "21" << false;
        QTest::newRow("15") << true << "15" << false;
        QTest::newRow("10") << true << "10" << false;
        QTest::newRow("0") << true << "0" << false;
        QTest::newRow("19, an old rate") << true << "19" << true;
        QTest::newRow("12, not in these settings") << true << "12" << true;
        QTest::newRow("21,0") << true << "21,0" << true;
        QTest::newRow("text") << true << "x" << true;
        QTest::newRow("non-payer") << false << "19" << false;
    }
    void onlyTheRatesOfTheSettingsAreWritten() {
        QFETCH(bool, platce);
        QFETCH(QString, rate);
        QFETCH(bool, refused);
        MessageBoxRecorder boxes;
        Editor e(InvoiceItemRow{"A1", "Oprava", "ks", "2", "100,00", rate}, platce,
                 RowAmount{20000, 3800, 0, 0});
        Type(e.Ed_OznaceniDodavky, QStringLiteral(" motoru"));
        QTest::mouseClick(e.Tl_Ok, Qt::LeftButton);
        if (refused) {
            QCOMPARE(boxes.shown().size(), 1);
            QCOMPARE(boxes.shown()[0].text,
                     QStringLiteral("Sazba DPH „%1“ není v nastavení. Povolené sazby: 21 %, "
                                    "15 %, 10 % nebo 0 %.")
                         .arg(rate));
            QVERIFY(e->isVisible());
            QVERIFY(e.written.isEmpty());
            QCOMPARE(e.confirmed, 0);
            QCOMPARE(Focused(), e.SazbaDPH);
            QCOMPARE(e->Amounts(), (RowAmount{20000, 3800, 0, 0}));
        } else {
            // A non-payer's rate is written as typed, with a warning that it charges nothing.
            QCOMPARE(boxes.shown().size(), platce ? 0 : 1);
            if (!platce)
                QVERIFY(boxes.shown().first().text.contains(QStringLiteral("není plátcem DPH")));
            QCOMPARE(e.written.size(), 1);
            QCOMPARE(e.written[0].DPH, rate);
            QCOMPARE(e.written[0].Dodavka, QStringLiteral("Oprava motoru"));
            QCOMPARE(e.confirmed, 1);
        }
    }

    void aFailedConversionKeepsTheDialogOpen() {
        MessageBoxRecorder boxes;
        Editor e(InvoiceItemRow{"A1", "Oprava", "ks", "1", "10,00", "21"}, true,
                 RowAmount{1000, 210, 0, 0});
        e.Ed_PocetMJ->setText("1.5");
        Leave(e.Ed_PocetMJ);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown()[0].kind, BoxKind::Error);
        QCOMPARE(boxes.shown()[0].text, QStringLiteral("Počet MJ: „1.5“ není číslo."));
        QCOMPARE(e.Ed_CenaSA->text(), QString());

        // Ok refuses the row: nothing reaches the grid, the amounts stay, the quantity has the
        // focus to be mended.
        QTest::mouseClick(e.Tl_Ok, Qt::LeftButton);
        QVERIFY(boxes.shown().size() >= 2);
        for (const ShownBox& box : boxes.shown())
            QCOMPARE(box.text, QStringLiteral("Počet MJ: „1.5“ není číslo."));
        QVERIFY(e->isVisible());
        QVERIFY(e.written.isEmpty());
        QCOMPARE(Focused(), e.Ed_PocetMJ);
        QVERIFY(e.amounts.isEmpty());
        QCOMPARE(e->Amounts(), (RowAmount{1000, 210, 0, 0}));
        QCOMPARE(e.confirmed, 0);
    }

    // What is typed key by key into quantity and price, and what Ok does with it.
    void typedNumbersAreKeptOrRefusedByName_data() {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("shownQuantity"); // what the field holds after typing
        QTest::addColumn<QString>("message");       // empty: Ok writes the row
        QTest::newRow("dot is the comma") << "1.5"
                                          << "10"
                                          << "1,5"
                                          << "";
        QTest::newRow("largest price") << "1"
                                       << "999999999,99"
                                       << "1"
                                       << "";
        QTest::newRow("price beyond the limit")
            << "1"
            << "100000000000000000000"
            << "1"
            << "Cena MJ: „100000000000000000000,00“ je větší, než pole pojme; největší hodnota "
               "je 999999999,99.";
        QTest::newRow("row beyond the limit")
            << "100000"
            << "100000"
            << "100000"
            << "Celkem bez DPH: „10000000000,00“ je větší, než pole pojme; největší hodnota je "
               "999999999,99.";
    }

    void typedNumbersAreKeptOrRefusedByName() {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, shownQuantity);
        QFETCH(QString, message);
        MessageBoxRecorder boxes;
        Editor e(InvoiceItemRow{}, false, RowAmount{500, 0, 0, 0});
        Type(e.Ed_Kod, QStringLiteral("K"));
        Type(e.Ed_PocetMJ, quantity);
        QCOMPARE(e.Ed_PocetMJ->text(), shownQuantity);
        Type(e.Ed_CenaMJ, price);
        e.Ed_Kod->setFocus();
        QTest::mouseClick(e.Tl_Ok, Qt::LeftButton);
        if (message.isEmpty()) {
            QVERIFY(boxes.shown().isEmpty());
            QCOMPARE(e.written.size(), 1);
            QCOMPARE(e.written[0].PocetMJ, shownQuantity);
            QCOMPARE(e->result(), int(QDialog::Accepted));
            return;
        }
        QVERIFY(!boxes.shown().isEmpty());
        QCOMPARE(boxes.shown().last(), (ShownBox{BoxKind::Error, "Tarvela", message}));
        QVERIFY(e->isVisible());
        QVERIFY(e.written.isEmpty());
        QCOMPARE(e->Amounts(), (RowAmount{500, 0, 0, 0}));
        // Storno leaves without a trace.
        QTest::mouseClick(e.Tl_Storno, Qt::LeftButton);
        QCOMPARE(e->result(), int(QDialog::Rejected));
        QVERIFY(e.written.isEmpty());
        QCOMPARE(e.confirmed, 0);
    }

    void enterPressesTheFocusedButtonAndPicksFromTheOpenRateList() {
        {
            Editor e(kPricedRow, true);
            Type(e.Ed_Kod, QStringLiteral("X"));
            e.SazbaDPH->setFocus();
            e.SazbaDPH->showPopup();
            QTRY_VERIFY(e.SazbaDPH->view()->isVisible());
            QCOMPARE(e.SazbaDPH->currentText(), QStringLiteral("21"));
            QTest::keyClick(e.SazbaDPH->view(), Qt::Key_Down);
            QTest::keyClick(e.SazbaDPH->view(), Qt::Key_Return);
            QTRY_VERIFY(!e.SazbaDPH->view()->isVisible());
            QCOMPARE(e.SazbaDPH->currentIndex(), 2); // the highlighted rate was picked
            QVERIFY(e->isVisible());
            e.Tl_Ok->setFocus();
            PressKey(Qt::Key_Return);
            QCOMPARE(e->result(), int(QDialog::Accepted));
            QCOMPARE(e.written.size(), 1);
            QCOMPARE(e.written[0].DPH, e.SazbaDPH->itemText(2));
        }
        {
            Editor e(kPricedRow, true);
            e.Tl_Storno->setFocus();
            PressKey(Qt::Key_Return);
            QCOMPARE(e->result(), int(QDialog::Rejected));
            QVERIFY(e.written.isEmpty());
        }
    }

    void clearingButtonsAskFirst() {
        // "Vyprázdnit vše" (Alt+V) asks, and Ne (the default) keeps everything.
        MessageBoxRecorder boxes;
        Editor e(kPricedRow, true, RowAmount{300, 63, 0, 0});
        QTest::mouseClick(e.Tl_Vyprazdnit, Qt::LeftButton);
        QTest::mouseClick(e.Tl_VyprazdnitCenu, Qt::LeftButton);
        QCOMPARE(boxes.shown(),
                 (QList<ShownBox>{{BoxKind::YesNo, QStringLiteral("Upozornění"),
                                   QStringLiteral("Opravdu vyprázdnit všechny údaje položky?")},
                                  {BoxKind::YesNo, QStringLiteral("Upozornění"),
                                   QStringLiteral("Opravdu vyprázdnit cenové údaje položky?")}}));
        QVERIFY(e.amounts.isEmpty());
        QCOMPARE(e.Ed_CenaMJ->text(), QStringLiteral("150,00"));
        QCOMPARE(e.Ed_Kod->text(), QStringLiteral("A1"));
    }

    void clearingButtonsZeroTheAmountsAtOnce() {
        MessageBoxRecorder boxes;
        for (int i = 0; i < 2; ++i)
            boxes.queueAnswer(true);
        {
            Editor e(kPricedRow, true, RowAmount{30000, 6300, 0, 0});
            QTest::mouseClick(e.Tl_Vyprazdnit, Qt::LeftButton);
            QCOMPARE(e.amounts, QList<RowAmount>{RowAmount{}});
            for (QLineEdit* f :
                 {e.Ed_Kod, e.Ed_OznaceniDodavky, e.Ed_MJ, e.Ed_PocetMJ, e.Ed_CenaMJ, e.Ed_CenaSA})
                QCOMPARE(f->text(), QString());
            QCOMPARE(e.SazbaDPH->currentIndex(), -1);
            QCOMPARE(e.SazbaDPH->currentText(), QString());
            QVERIFY(e.Tl_Ok->isEnabled());
            QTest::mouseClick(e.Tl_Storno, Qt::LeftButton);
            QVERIFY(e.written.isEmpty()); // the amounts stay cleared; the cells are untouched
        }
        {
            Editor e(kPricedRow, true, RowAmount{30000, 6300, 0, 0});
            QTest::mouseClick(e.Tl_VyprazdnitCenu, Qt::LeftButton);
            QCOMPARE(e.amounts, QList<RowAmount>{RowAmount{}});
            QCOMPARE(e.Ed_Kod->text(), QStringLiteral("A1"));
            QCOMPARE(e.Ed_OznaceniDodavky->text(), QStringLiteral("Oprava"));
            QCOMPARE(e.Ed_MJ->text(), QString());
            QTest::mouseClick(e.Tl_Ok, Qt::LeftButton);
            QCOMPARE(ItemRowText(e->Row()), QStringLiteral("A1|Oprava|||||"));
        }
    }

    void itemTakenFromTheListOfAPeriod() {
        Editor e(InvoiceItemRow{}, true);
        WriteInvoice(
            e.folder, "2024/2024001.tvl",
            InvoiceLines("2024001", {"K1|Oprava stroje|h|2|150|15|", "K2|Materiál|kg|1|80,5|21|"}));
        QDir().mkpath(e.folder.path() + "2025");
        QDir().mkpath(e.folder.path() + "Ses");

        QTest::mouseClick(e.Tl_SeznamPolozek, Qt::LeftButton);
        QStringList years;
        for (QAction* a : e.PMenu_Rok->actions())
            years << a->text();
        QCOMPARE(years, (QStringList{"2025", "2024"}));
        QCOMPARE(e.PMenu_Rok->actions()[1]->objectName(), QStringLiteral("PMenu_Rok_2024"));
        e.PMenu_Rok->hide();

        QString caption, counter;
        OnNextModal(
            [&](QWidget* modal) {
                auto* list = qobject_cast<TSeznamPolozek*>(modal);
                QVERIFY(list);
                caption = list->windowTitle();
                QTreeView* view = Control<QTreeView>(list, "ListView1");
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, RowCentre(view, 1));
                counter = Control<QLabel>(list, "La_Pocitadlo")->text();
                QTest::mouseClick(Control<QPushButton>(list, "Tl_Ok"), Qt::LeftButton);
            },
            e.dialog.get());
        e.PMenu_Rok->actions()[1]->trigger();
        QCOMPARE(caption, QStringLiteral("Seznam položek, rok 2024"));
        QCOMPARE(counter, QStringLiteral("2 z 2"));
        QCOMPARE(e.Ed_Kod->text(), QStringLiteral("K2"));
        QCOMPARE(e.Ed_OznaceniDodavky->text(), QStringLiteral("Materiál"));
        QCOMPARE(e.Ed_MJ->text(), QStringLiteral("kg"));
        QCOMPARE(e.Ed_CenaMJ->text(), QStringLiteral("80,5"));
        QCOMPARE(e.Ed_PocetMJ->text(), QStringLiteral("0"));
        QCOMPARE(e.SazbaDPH->currentText(), QStringLiteral("21"));
        QCOMPARE(e->focusWidget(), e.Ed_Kod);
        QVERIFY(e.Tl_Ok->isEnabled());

        // A quantity already typed stays.
        e.Ed_PocetMJ->setText("3");
        OnNextModal(
            [](QWidget* modal) {
                // Ok is enabled by a click in the list; the first row is selected already.
                auto* list = static_cast<TSeznamPolozek*>(modal);
                QTreeView* view = Control<QTreeView>(list, "ListView1");
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, RowCentre(view, 0));
                QTest::mouseClick(Control<QPushButton>(list, "Tl_Ok"), Qt::LeftButton);
            },
            e.dialog.get());
        e.PMenu_Rok->actions()[1]->trigger();
        QCOMPARE(e.Ed_Kod->text(), QStringLiteral("K1"));
        QCOMPARE(e.Ed_CenaMJ->text(), QStringLiteral("150,00"));
        QCOMPARE(e.Ed_PocetMJ->text(), QStringLiteral("3"));
        QCOMPARE(e.SazbaDPH->currentText(), QStringLiteral("15"));
    }

    void aVanishedPeriodFolderIsReported() {
        MessageBoxRecorder boxes;
        Editor e(kPricedRow, true);
        QDir().mkpath(e.folder.path() + "2025");
        QTest::mouseClick(e.Tl_SeznamPolozek, Qt::LeftButton);
        QCOMPARE(e.PMenu_Rok->actions().size(), 1);
        e.PMenu_Rok->hide();
        QDir(e.folder.path() + "2025").removeRecursively();
        e.PMenu_Rok->actions()[0]->trigger();
        QCOMPARE(Info(boxes), QStringLiteral("Nebyl nalezen adresář \"2025\" do kterého se "
                                             "ukládají vytvořené faktury."));
        QCOMPARE(e.Ed_Kod->text(), QStringLiteral("A1"));
        QVERIFY(!e.Tl_Ok->isEnabled());
    }

    void noPeriodFolderNoMenu() {
        Editor e(kPricedRow, true);
        QTest::mouseClick(e.Tl_SeznamPolozek, Qt::LeftButton);
        QVERIFY(e.PMenu_Rok->actions().isEmpty());
        QVERIFY(!e.PMenu_Rok->isVisible());
    }
};

QTEST_MAIN(EditorDialogsItemEditorTest)
#include "editor_dialogs_item_editor_test.moc"
