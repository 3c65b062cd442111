#include "settings/tkonfig.h"
#include "tkonfig_controls.h"

#include "settings/settings_file.h"
#include "support/file_size_limit.h"
#include "support/form_checks.h"
#include "support/test_support.h"
#include "text/codec.h"
#include "text/message_boxes.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using tarvela::AppSettings;
using tarvela::BoxKind;
using tarvela::MessageBoxRecorder;
using tarvela::ShownBox;
using tarvela::SymbolType;
using tarvela::TKonfig;
using tarvela::TUpDown;
using tarvela::test::FileSizeLimit;
using tarvela::test::K;
using tarvela::test::KonfigControls;
using tarvela::test::TempProgramFolder;

namespace {

QByteArray Crlf(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return tarvela::EncodeCp1250(t);
}

AppSettings SampleSettings() {
    AppSettings s;
    s.AktualniRok = 2026;
    s.VychoziMena = QStringLiteral("EUR");
    s.Platce = true;
    s.SazbaDPH1 = 21;
    s.SazbaDPH2 = 12;
    s.SazbaDPH3 = 5;
    s.DobaSplatnosti = 30;
    s.TypSymbolu = SymbolType::Constant;
    s.Dodavatel.Nazev = QStringLiteral("Šťastný s.r.o.");
    s.Dodavatel.Jmeno = QStringLiteral("Jan Novák");
    s.Dodavatel.IBAN = QStringLiteral("CZ6508000000192000145399");
    s.Dodavatel.Osoba = QStringLiteral("Petr Ýbl");
    return s;
}

// Types any text, also letters that QTest::keyClicks cannot send.
void TypeText(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void ShowAndActivate(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

// The eight kinds of change the dialog tracks, each as the user makes it.
enum class Change {
    Currency,
    Supplier,
    PayerTick,
    Rate1,
    Rate2,
    Rate3,
    DaysArrow,
    DaysKey,
    Symbol,
    Note
};

} // namespace

class TKonfigTest : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsTheDesign() {
        TempProgramFolder folder;
        TKonfig dlg(SampleSettings(), folder.path());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Konfigurace"));
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
        const KonfigControls c(dlg);
        QVERIFY(!c.Ok->isDefault() && !c.Ok->autoDefault());
        QCOMPARE(c.PageControl1->tabText(0), QStringLiteral("Obecné"));
        QCOMPARE(c.PageControl1->tabText(1), QStringLiteral("Údaje dodavatele"));
        QCOMPARE(c.Ed_VychoziMena->maxLength(), 3);
        const QLineEdit* rateEdits[] = {c.Ed_SazbaDPH1, c.Ed_SazbaDPH2, c.Ed_SazbaDPH3};
        const TUpDown* rateSpins[] = {c.UpDown_SazbaDPH1, c.UpDown_SazbaDPH2, c.UpDown_SazbaDPH3};
        const QLabel* rateLabels[] = {c.La_SazbaDPH1, c.La_SazbaDPH2, c.La_SazbaDPH3};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(rateEdits[i]->isReadOnly());
            QCOMPARE(rateEdits[i]->focusPolicy(), Qt::NoFocus);
            QCOMPARE(rateSpins[i]->Min(), 0);
            QCOMPARE(rateSpins[i]->Max(), 99);
            QCOMPARE(rateSpins[i]->Buddy(), rateEdits[i]);
            QCOMPARE(rateLabels[i]->text(), QStringLiteral("Sazba DPH %1 (v %)").arg(i + 1));
            QVERIFY(rateLabels[i]->alignment() & Qt::AlignRight);
            // Each label stands on the row of its edit, left of it.
            QVERIFY(rateLabels[i]->geometry().right() < rateEdits[i]->x());
            QVERIFY(qAbs(rateLabels[i]->geometry().center().y() -
                         rateEdits[i]->geometry().center().y()) <= 2);
        }
        QVERIFY(c.Text_DobaSplatnosti->isReadOnly());
        QCOMPARE(c.DobaSplatnosti->Buddy(), c.Text_DobaSplatnosti);
        QCOMPARE(c.DobaSplatnosti->Min(), 0);
        QCOMPARE(c.DobaSplatnosti->Max(), 90);

        // The supplier rows: caption and edit on one row, in the order of the field table.
        const auto labels = c.TabSheet2->findChildren<QLabel*>();
        QCOMPARE(labels.size(), 16);
        for (int i = 0; i < 16; ++i) {
            QLineEdit* edit = c.SupplierEdits[i];
            QCOMPARE(edit->parentWidget(), c.TabSheet2);
            QCOMPARE(edit->maxLength(), 32767); // no limit of its own
            const QLabel* label = labels[i];
            QCOMPARE(label->text(), QString::fromUtf8(tarvela::kSupplierFields[i].caption));
            QVERIFY(label->alignment() & Qt::AlignRight);
            QVERIFY(label->geometry().right() < edit->x());
            QVERIFY(qAbs(label->geometry().center().y() - edit->geometry().center().y()) <= 2);
            if (i > 0)
                QVERIFY(edit->y() > c.SupplierEdits[i - 1]->geometry().bottom());
        }
        QCOMPARE(c.Ed_Osoba, c.SupplierEdits[15]);

        // Nothing cut off, nothing on top of anything else, on either page.
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        for (int page = 0; page < 2; ++page) {
            c.PageControl1->setCurrentIndex(page);
            QStringList faults = tarvela::test::CaptionsThatDoNotFit(&dlg);
            faults << tarvela::test::OverlappingControls(&dlg);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        }
    }

    void formCreateFillsTheControlsAndLeavesOkDisabled() {
        TempProgramFolder folder;
        AppSettings s = SampleSettings();
        TKonfig dlg(s, folder.path());
        QCOMPARE(K(dlg).Ed_VychoziMena->text(), QStringLiteral("EUR"));
        QVERIFY(K(dlg).Platce->isChecked());
        QCOMPARE(K(dlg).Ed_SazbaDPH1->text(), QStringLiteral("21"));
        QCOMPARE(K(dlg).Ed_SazbaDPH2->text(), QStringLiteral("12"));
        QCOMPARE(K(dlg).Ed_SazbaDPH3->text(), QStringLiteral("5"));
        QVERIFY(K(dlg).UpDown_SazbaDPH1->isEnabled() && K(dlg).Ed_SazbaDPH3->isEnabled());
        QCOMPARE(K(dlg).Text_DobaSplatnosti->text(), QStringLiteral("30"));
        QVERIFY(K(dlg).RBox_TypSymbolu0->isChecked());
        QCOMPARE(K(dlg).Ed_Nazev->text(), QStringLiteral("Šťastný s.r.o."));
        QCOMPARE(K(dlg).Ed_Jmeno->text(), QStringLiteral("Jan Novák"));
        QCOMPARE(K(dlg).Ed_IBAN->text(), QStringLiteral("CZ6508000000192000145399"));
        QCOMPARE(K(dlg).Ed_Osoba->text(), QStringLiteral("Petr Ýbl"));
        QVERIFY(K(dlg).Ed_Ulice->text().isEmpty());
        QVERIFY(!K(dlg).Ok->isEnabled());
        QCOMPARE(K(dlg).PageControl1->currentIndex(), 0);

        // A non-payer: the rate controls are off. A symbol type above 1 shows as variable.
        s.Platce = false;
        s.TypSymbolu = static_cast<SymbolType>(5);
        TKonfig other(s, folder.path());
        for (QWidget* w : std::initializer_list<QWidget*>{
                 K(other).Ed_SazbaDPH1, K(other).Ed_SazbaDPH2, K(other).Ed_SazbaDPH3,
                 K(other).UpDown_SazbaDPH1, K(other).UpDown_SazbaDPH2, K(other).UpDown_SazbaDPH3,
                 K(other).Ed_PoznamkaOsvobozeni})
            QVERIFY(!w->isEnabled());
        QVERIFY(K(other).RBox_TypSymbolu1->isChecked());
        QVERIFY(!K(other).Ok->isEnabled());
    }

    void tabOrderWalksTheControls() {
        TempProgramFolder folder;
        TKonfig dlg(SampleSettings(), folder.path());
        ShowAndActivate(&dlg);
        // Ok comes first but is disabled until a change: the focus starts on Storno.
        QCOMPARE(QApplication::focusWidget(), K(dlg).Storno);
        const QList<QWidget*> page1 = {K(dlg).PageControl1->tabBar(),
                                       K(dlg).Ed_VychoziMena,
                                       K(dlg).Platce,
                                       K(dlg).UpDown_SazbaDPH1,
                                       K(dlg).UpDown_SazbaDPH2,
                                       K(dlg).UpDown_SazbaDPH3,
                                       K(dlg).Ed_PoznamkaOsvobozeni,
                                       K(dlg).Text_DobaSplatnosti,
                                       K(dlg).RBox_TypSymbolu0,
                                       K(dlg).Storno};
        for (QWidget* expected : page1) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected);
        }
        // Once enabled, Ok is the first stop.
        QTest::keyClick(K(dlg).Storno, Qt::Key_Tab);
        QTest::mouseClick(K(dlg).Platce, Qt::LeftButton);
        K(dlg).RBox_TypSymbolu0->setFocus();
        QTest::keyClick(K(dlg).RBox_TypSymbolu0, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), K(dlg).Ok);
        QTest::keyClick(K(dlg).Ok, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), K(dlg).Storno);
        K(dlg).PageControl1->setCurrentIndex(1);
        K(dlg).Ed_Nazev->setFocus();
        for (int i = 1; i < 16; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), K(dlg).SupplierEdits[i]);
        }

        // The symbol type is one stop: the selected item.
        AppSettings variable = SampleSettings();
        variable.TypSymbolu = SymbolType::Variable;
        TKonfig other(variable, folder.path());
        ShowAndActivate(&other);
        K(other).Text_DobaSplatnosti->setFocus();
        QTest::keyClick(K(other).Text_DobaSplatnosti, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), K(other).RBox_TypSymbolu1);
        QTest::keyClick(K(other).RBox_TypSymbolu1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), K(other).Storno);
    }

    void enterActsAsTabInTheSupplierFieldsOnly() {
        TempProgramFolder folder;
        TKonfig dlg(SampleSettings(), folder.path());
        ShowAndActivate(&dlg);
        K(dlg).PageControl1->setCurrentIndex(1);
        K(dlg).Ed_Nazev->setFocus();
        for (int i = 1; i < 16; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), K(dlg).SupplierEdits[i]);
        }
        QTest::keyClick(K(dlg).Ed_Osoba, Qt::Key_Enter);      // the keypad's Enter as well
        QCOMPARE(QApplication::focusWidget(), K(dlg).Storno); // Ok is still disabled
        QVERIFY(dlg.isVisible());
        QVERIFY(!K(dlg).Ok->isEnabled()); // moving on is no change

        // In the currency field Enter neither moves nor presses Ok.
        K(dlg).PageControl1->setCurrentIndex(0);
        K(dlg).Ed_VychoziMena->setFocus();
        QTest::keyClicks(K(dlg).Ed_VychoziMena, QStringLiteral("X"));
        QTest::keyClick(K(dlg).Ed_VychoziMena, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), K(dlg).Ed_VychoziMena);
        QVERIFY(dlg.isVisible());
        QVERIFY(!folder.exists(QStringLiteral("Tarvela.ini")));
    }

    void everyKindOfChangeEnablesOk_data() {
        QTest::addColumn<int>("change");
        QTest::newRow("currency") << int(Change::Currency);
        QTest::newRow("supplier") << int(Change::Supplier);
        QTest::newRow("payer") << int(Change::PayerTick);
        QTest::newRow("rate 1") << int(Change::Rate1);
        QTest::newRow("rate 2") << int(Change::Rate2);
        QTest::newRow("rate 3") << int(Change::Rate3);
        QTest::newRow("days arrow") << int(Change::DaysArrow);
        QTest::newRow("days key") << int(Change::DaysKey);
        QTest::newRow("symbol") << int(Change::Symbol);
        QTest::newRow("exemption note") << int(Change::Note);
    }

    void everyKindOfChangeEnablesOk() {
        QFETCH(int, change);
        TempProgramFolder folder;
        TKonfig dlg(SampleSettings(), folder.path());
        ShowAndActivate(&dlg);
        QVERIFY(!K(dlg).Ok->isEnabled());
        switch (Change(change)) {
        case Change::Currency:
            K(dlg).Ed_VychoziMena->setFocus();
            QTest::keyClick(K(dlg).Ed_VychoziMena, Qt::Key_Backspace);
            break;
        case Change::Supplier:
            K(dlg).PageControl1->setCurrentIndex(1);
            K(dlg).Ed_WWW->setFocus();
            QTest::keyClicks(K(dlg).Ed_WWW, QStringLiteral("w"));
            break;
        case Change::PayerTick:
            QTest::mouseClick(K(dlg).Platce, Qt::LeftButton);
            break;
        case Change::Rate1:
            QTest::mouseClick(K(dlg).UpDown_SazbaDPH1->UpButton(), Qt::LeftButton);
            break;
        case Change::Rate2:
            QTest::mouseClick(K(dlg).UpDown_SazbaDPH2->DownButton(), Qt::LeftButton);
            break;
        case Change::Rate3:
            K(dlg).UpDown_SazbaDPH3->setFocus();
            QTest::keyClick(K(dlg).UpDown_SazbaDPH3, Qt::Key_Up);
            break;
        case Change::DaysArrow:
            QTest::mouseClick(K(dlg).DobaSplatnosti->DownButton(), Qt::LeftButton);
            break;
        case Change::DaysKey:
            K(dlg).Text_DobaSplatnosti->setFocus();
            QTest::keyClick(K(dlg).Text_DobaSplatnosti, Qt::Key_Up);
            QCOMPARE(K(dlg).Text_DobaSplatnosti->text(), QStringLiteral("31"));
            break;
        case Change::Symbol:
            QTest::mouseClick(K(dlg).RBox_TypSymbolu1, Qt::LeftButton);
            break;
        case Change::Note:
            K(dlg).Ed_PoznamkaOsvobozeni->setFocus();
            QTest::keyClicks(K(dlg).Ed_PoznamkaOsvobozeni, QStringLiteral("O"));
            break;
        }
        QVERIFY(K(dlg).Ok->isEnabled());

        // Undoing the change does not disable Ok again.
        if (Change(change) == Change::Currency)
            QTest::keyClicks(K(dlg).Ed_VychoziMena, QStringLiteral("R"));
        if (Change(change) == Change::PayerTick)
            QTest::mouseClick(K(dlg).Platce, Qt::LeftButton);
        if (Change(change) == Change::Symbol)
            QTest::mouseClick(K(dlg).RBox_TypSymbolu0, Qt::LeftButton);
        QVERIFY(K(dlg).Ok->isEnabled());
    }

    void stornoAndEscWriteNothing() {
        TempProgramFolder folder;
        const QByteArray original = Crlf(QStringLiteral("; ruční poznámka\n[NASTAVENI]\n"
                                                        "VychoziMena=CZK\n"));
        folder.writeBytes(QStringLiteral("Tarvela.ini"), original);
        AppSettings given = tarvela::LoadSettings(folder.path());
        given.AktualniRok = 2031;
        {
            TKonfig dlg(given, folder.path());
            int hookCalls = 0;
            QObject::connect(&dlg, &TKonfig::settingsSaved,
                             [&](const AppSettings&) { ++hookCalls; });
            ShowAndActivate(&dlg);
            QTest::keyClicks(K(dlg).Ed_VychoziMena, QStringLiteral("EUR"));
            QTest::mouseClick(K(dlg).Platce, Qt::LeftButton);
            QTest::mouseClick(K(dlg).Storno, Qt::LeftButton);
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QVERIFY(!dlg.Saved());
            QCOMPARE(dlg.Settings(), given);
            QCOMPARE(hookCalls, 0);
        }
        {
            TKonfig dlg(given, folder.path());
            ShowAndActivate(&dlg);
            QTest::mouseClick(K(dlg).UpDown_SazbaDPH1->UpButton(), Qt::LeftButton);
            QTest::keyClick(&dlg, Qt::Key_Escape);
            QVERIFY(!dlg.isVisible());
            QVERIFY(!dlg.Saved());
        }
        QCOMPARE(folder.readBytes(QStringLiteral("Tarvela.ini")), original);
        QVERIFY(!folder.exists(QStringLiteral("2031")));
    }

    void okSavesEveryValueKeepsHandCommentsAndCreatesThePeriodFolder() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"),
                          Crlf(QStringLiteral("; Nastavení firmy – psáno ručně\n"
                                              "[NASTAVENI]\nAktualniRok=2030\nVychoziMena=CZK\n"
                                              "Poznamka=nechat\n; konec sekce\n"
                                              "[Dodavatel]\nNazev=Stará firma\n")));
        const AppSettings given = tarvela::LoadSettings(folder.path());
        TKonfig dlg(given, folder.path());
        AppSettings applied;
        bool folderExistedAtHook = true;
        QObject::connect(&dlg, &TKonfig::settingsSaved, [&](const AppSettings& s) {
            applied = s;
            folderExistedAtHook = folder.exists(QStringLiteral("2030"));
        });
        ShowAndActivate(&dlg);

        K(dlg).Ed_VychoziMena->clear(); // an empty currency is saved as it is
        QTest::mouseClick(K(dlg).Platce, Qt::LeftButton);
        QTest::mouseClick(K(dlg).UpDown_SazbaDPH1->DownButton(), Qt::LeftButton);
        QTest::mouseClick(K(dlg).UpDown_SazbaDPH3->UpButton(), Qt::LeftButton);
        QTest::mouseClick(K(dlg).DobaSplatnosti->UpButton(), Qt::LeftButton);
        QTest::mouseClick(K(dlg).RBox_TypSymbolu0, Qt::LeftButton);
        K(dlg).PageControl1->setCurrentIndex(1);
        K(dlg).Ed_Nazev->selectAll();
        K(dlg).Ed_Nazev->setFocus();
        TypeText(K(dlg).Ed_Nazev, QStringLiteral("Žluťoučký kůň"));
        K(dlg).PageControl1->setCurrentIndex(0);
        K(dlg).Ed_PoznamkaOsvobozeni->setFocus();
        TypeText(K(dlg).Ed_PoznamkaOsvobozeni,
                 QStringLiteral("Osvobozeno podle § 51 zákona o DPH."));
        K(dlg).PageControl1->setCurrentIndex(1);
        K(dlg).Ed_Osoba->setFocus();
        TypeText(K(dlg).Ed_Osoba, QStringLiteral("Ďábel"));
        QTest::mouseClick(K(dlg).Ok, Qt::LeftButton);

        QVERIFY(!dlg.isVisible());
        QVERIFY(dlg.Saved());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        AppSettings expected = given;
        expected.VychoziMena = QString();
        expected.Platce = true;
        expected.SazbaDPH1 = given.SazbaDPH1 - 1;
        expected.SazbaDPH3 = given.SazbaDPH3 + 1;
        expected.DobaSplatnosti = given.DobaSplatnosti + 1;
        expected.TypSymbolu = SymbolType::Constant;
        expected.Dodavatel.Nazev = QStringLiteral("Žluťoučký kůň");
        expected.Dodavatel.Osoba = QStringLiteral("Ďábel");
        expected.PoznamkaOsvobozeni = QStringLiteral("Osvobozeno podle § 51 zákona o DPH.");
        QCOMPARE(dlg.Settings().Dodavatel, expected.Dodavatel);
        QCOMPARE(dlg.Settings(), expected);
        QCOMPARE(applied, expected);
        QVERIFY(!folderExistedAtHook);
        QVERIFY(QFileInfo(folder.file(QStringLiteral("2030"))).isDir());

        const QByteArray bytes = folder.readBytes(QStringLiteral("Tarvela.ini"));
        QVERIFY(bytes.startsWith(Crlf(QStringLiteral("; Nastavení firmy – psáno ručně\n"
                                                     "[NASTAVENI]\nAktualniRok=2030\n"
                                                     "VychoziMena=\nPoznamka=nechat\n"))));
        QVERIFY(bytes.contains("; konec sekce\r\n"));
        QVERIFY(bytes.contains(Crlf(QStringLiteral("Nazev=Žluťoučký kůň\n"))));
        QVERIFY(bytes.contains("Platce=1\r\nSazbaDPH1=20\r\nSazbaDPH2=12\r\nSazbaDPH3=1\r\n"
                               "DobaSplatnosti=15\r\nTypSymbolu=0\r\nPoznamkaOsvobozeni="
                               "Osvobozeno podle \xA7 51 z\xE1kona o DPH.\r\n"));
        QVERIFY(!bytes.contains("Stará"));
        QCOMPARE(tarvela::LoadSettings(folder.path()), expected);
    }

    // An IBAN whose check digits do not agree is saved as typed, with a warning that the
    // documents go without a payment code until it is mended.
    void anInvalidIbanIsWarnedAbout_data() {
        QTest::addColumn<QString>("iban");
        QTest::addColumn<bool>("warned");
        QTest::newRow("valid") << "CZ65 0800 0000 1920 0014 5399" << false;
        QTest::newRow("wrong check") << "CZ65 0800 0000 1920 0014 5398" << true;
        QTest::newRow("too short") << "CZ65" << true;
        QTest::newRow("none") << "" << false;
    }
    void anInvalidIbanIsWarnedAbout() {
        QFETCH(QString, iban);
        QFETCH(bool, warned);
        TempProgramFolder folder;
        MessageBoxRecorder boxes;
        TKonfig dlg(SampleSettings(), folder.path());
        ShowAndActivate(&dlg);
        K(dlg).Ed_IBAN->setText(iban);
        QTest::mouseClick(K(dlg).Ok, Qt::LeftButton);
        QVERIFY(dlg.Saved());
        QCOMPARE(tarvela::LoadSettings(folder.path()).Dodavatel.IBAN, iban);
        if (warned)
            QCOMPARE(boxes.shown(),
                     (QList<ShownBox>{{BoxKind::Warning, QStringLiteral("Upozornění"),
                                       QStringLiteral("IBAN „%1“ není platný (nesouhlasí jeho "
                                                      "kontrolní číslice). Dokud jej neopravíte, "
                                                      "faktury se tisknou bez QR Platby.")
                                           .arg(iban)}}));
        else
            QVERIFY(boxes.shown().isEmpty());
    }

    void untickingThePayerKeepsTheRatesSaved() {
        TempProgramFolder folder;
        AppSettings given = SampleSettings();
        TKonfig dlg(given, folder.path());
        ShowAndActivate(&dlg);
        QTest::mouseClick(K(dlg).UpDown_SazbaDPH2->UpButton(), Qt::LeftButton);
        QTest::mouseClick(K(dlg).Platce, Qt::LeftButton);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 K(dlg).Ed_SazbaDPH1, K(dlg).Ed_SazbaDPH2, K(dlg).Ed_SazbaDPH3,
                 K(dlg).UpDown_SazbaDPH1, K(dlg).UpDown_SazbaDPH2, K(dlg).UpDown_SazbaDPH3})
            QVERIFY(!w->isEnabled());
        // A disabled spin control does not step.
        QTest::mouseClick(K(dlg).UpDown_SazbaDPH1->UpButton(), Qt::LeftButton);
        QCOMPARE(K(dlg).Ed_SazbaDPH1->text(), QStringLiteral("21"));
        QTest::mouseClick(K(dlg).Ok, Qt::LeftButton);
        QVERIFY(dlg.Saved());
        QCOMPARE(dlg.Settings().Platce, false);
        QCOMPARE(dlg.Settings().SazbaDPH1, 21);
        QCOMPARE(dlg.Settings().SazbaDPH2, 13);
        QCOMPARE(dlg.Settings().SazbaDPH3, 5);
        const AppSettings read = tarvela::LoadSettings(folder.path());
        QCOMPARE(read.Platce, false);
        QCOMPARE(read.SazbaDPH2, 13);
        QCOMPARE(read.SazbaDPH3, 5);
    }

    void spinControlsStopAtTheirLimits() {
        TempProgramFolder folder;
        AppSettings s = SampleSettings();
        s.SazbaDPH1 = 99;
        s.SazbaDPH2 = 0;
        s.DobaSplatnosti = 0;
        TKonfig dlg(s, folder.path());
        ShowAndActivate(&dlg);
        QTest::mouseClick(K(dlg).UpDown_SazbaDPH1->UpButton(), Qt::LeftButton);
        QTest::mouseClick(K(dlg).UpDown_SazbaDPH2->DownButton(), Qt::LeftButton);
        QTest::mouseClick(K(dlg).DobaSplatnosti->DownButton(), Qt::LeftButton);
        QCOMPARE(K(dlg).Ed_SazbaDPH1->text(), QStringLiteral("99"));
        QCOMPARE(K(dlg).Ed_SazbaDPH2->text(), QStringLiteral("0"));
        QCOMPARE(K(dlg).Text_DobaSplatnosti->text(), QStringLiteral("0"));
        for (int i = 0; i < 100; ++i)
            K(dlg).DobaSplatnosti->Step(+1);
        QCOMPARE(K(dlg).Text_DobaSplatnosti->text(), QStringLiteral("90"));
        QVERIFY(K(dlg).Ok->isEnabled());
    }

    void valuesOutsideTheRangesAreShownClampedAndKeptUnlessStepped() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"),
                          Crlf(QStringLiteral("[NASTAVENI]\nPlatce=1\nSazbaDPH1=150\n"
                                              "SazbaDPH2=0\nSazbaDPH3=-4\n"
                                              "DobaSplatnosti=120\nTypSymbolu=7\n")));
        const AppSettings given = tarvela::LoadSettings(folder.path());
        TKonfig dlg(given, folder.path());
        QCOMPARE(K(dlg).Ed_SazbaDPH1->text(), QStringLiteral("99"));
        QCOMPARE(K(dlg).Ed_SazbaDPH2->text(), QStringLiteral("0"));
        QCOMPARE(K(dlg).Ed_SazbaDPH3->text(), QStringLiteral("0"));
        QCOMPARE(K(dlg).Text_DobaSplatnosti->text(), QStringLiteral("90"));
        ShowAndActivate(&dlg);
        // Only rate 3 is stepped: it is saved as shown; the others go back as they were.
        QTest::mouseClick(K(dlg).UpDown_SazbaDPH3->UpButton(), Qt::LeftButton);
        QCOMPARE(K(dlg).Ed_SazbaDPH3->text(), QStringLiteral("1"));
        QTest::mouseClick(K(dlg).Ok, Qt::LeftButton);
        QVERIFY(dlg.Saved());
        const AppSettings read = tarvela::LoadSettings(folder.path());
        QCOMPARE(read.SazbaDPH1, 150);
        QCOMPARE(read.SazbaDPH2, 0);
        QCOMPARE(read.SazbaDPH3, 1);
        QCOMPARE(read.DobaSplatnosti, 120);
        QCOMPARE(read.TypSymbolu, SymbolType::Variable); // shown as variable, saved as shown

        // Stepping the days at the upper limit saves the clamped value.
        TKonfig again(read, folder.path());
        ShowAndActivate(&again);
        QTest::mouseClick(K(again).DobaSplatnosti->UpButton(), Qt::LeftButton);
        QTest::mouseClick(K(again).Ok, Qt::LeftButton);
        QCOMPARE(tarvela::LoadSettings(folder.path()).DobaSplatnosti, 90);
    }

    void aFailedWriteKeepsTheDialogOpenWithTheUsersValues() {
        TempProgramFolder folder;
        // The settings file's name is taken by a folder: the file cannot be written.
        QVERIFY(QDir().mkpath(folder.file(QStringLiteral("Tarvela.ini"))));
        const AppSettings given = SampleSettings();
        TKonfig dlg(given, folder.path());
        int hookCalls = 0;
        QObject::connect(&dlg, &TKonfig::settingsSaved, [&](const AppSettings&) { ++hookCalls; });
        ShowAndActivate(&dlg);
        QTest::mouseClick(K(dlg).Platce, Qt::LeftButton);
        K(dlg).Ed_VychoziMena->setFocus();
        K(dlg).Ed_VychoziMena->end(false);
        QTest::keyClick(K(dlg).Ed_VychoziMena, Qt::Key_Backspace);
        QTest::keyClicks(K(dlg).Ed_VychoziMena, QStringLiteral("X"));
        {
            MessageBoxRecorder boxes;
            QTest::mouseClick(K(dlg).Ok, Qt::LeftButton);
            QCOMPARE(boxes.shown().size(), 1);
            QCOMPARE(boxes.shown()[0].kind, tarvela::BoxKind::Error);
            QVERIFY(boxes.shown()[0].text.startsWith(
                QStringLiteral("Nastavení nelze zapsat do souboru „")));
            QVERIFY(boxes.shown()[0].text.contains(QStringLiteral("Tarvela.ini")));
        }
        QVERIFY(dlg.isVisible());
        QVERIFY(!dlg.Saved());
        QCOMPARE(dlg.Settings(), given);
        QCOMPARE(hookCalls, 0);
        QVERIFY(!K(dlg).Platce->isChecked());
        QCOMPARE(K(dlg).Ed_VychoziMena->text(), QStringLiteral("EUX"));
        QVERIFY(K(dlg).Ok->isEnabled());
        QVERIFY(!folder.exists(QStringLiteral("2026")));

        // Once the way is clear the user retries with the same values.
        QVERIFY(QDir(folder.file(QStringLiteral("Tarvela.ini"))).removeRecursively());
        QTest::mouseClick(K(dlg).Ok, Qt::LeftButton);
        QVERIFY(dlg.Saved());
        QVERIFY(!dlg.isVisible());
        QCOMPARE(hookCalls, 1);
        QCOMPARE(tarvela::LoadSettings(folder.path()).VychoziMena, QStringLiteral("EUX"));
    }

    void aVanishedProgramFolderKeepsTheDialogOpen() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"),
                          Crlf(QStringLiteral("[NASTAVENI]\nPlatce=0\n")));
        const AppSettings given = tarvela::LoadSettings(folder.path());
        TKonfig dlg(given, folder.path());
        int hookCalls = 0;
        QObject::connect(&dlg, &TKonfig::settingsSaved, [&](const AppSettings&) { ++hookCalls; });
        ShowAndActivate(&dlg);
        K(dlg).PageControl1->setCurrentIndex(1);
        K(dlg).Ed_Nazev->setFocus();
        QTest::keyClicks(K(dlg).Ed_Nazev, QStringLiteral("Truhlarstvi Novak"));
        // The folder (a USB stick, a network share) goes away while the dialog is open.
        QVERIFY(QDir(folder.path()).removeRecursively());
        {
            MessageBoxRecorder boxes;
            QTest::mouseClick(K(dlg).Ok, Qt::LeftButton);
            QCOMPARE(boxes.shown().size(), 1);
            QCOMPARE(boxes.shown()[0].kind, tarvela::BoxKind::Error);
            QVERIFY(boxes.shown()[0].text.contains(QStringLiteral("Tarvela.ini")));
        }
        QVERIFY(dlg.isVisible());
        QVERIFY(!dlg.Saved());
        QCOMPARE(dlg.Settings(), given);
        QCOMPARE(hookCalls, 0);
        QCOMPARE(K(dlg).Ed_Nazev->text(), QStringLiteral("Truhlarstvi Novak"));
        QVERIFY(!QFileInfo::exists(folder.path())); // nothing recreated it half-way

        // The folder is back: the same values are saved.
        QVERIFY(QDir().mkpath(folder.path()));
        QTest::mouseClick(K(dlg).Ok, Qt::LeftButton);
        QVERIFY(dlg.Saved());
        QCOMPARE(hookCalls, 1);
        QCOMPARE(tarvela::LoadSettings(folder.path()).Dodavatel.Nazev,
                 QStringLiteral("Truhlarstvi Novak"));
    }

    void aWriteCutOffByAFileSizeLimitKeepsTheDialogOpen() {
        TempProgramFolder folder;
        const QByteArray original = Crlf(QStringLiteral("; poznámka\n[NASTAVENI]\nPlatce=0\n"));
        folder.writeBytes(QStringLiteral("Tarvela.ini"), original);
        const AppSettings given = tarvela::LoadSettings(folder.path());
        TKonfig dlg(given, folder.path());
        int hookCalls = 0;
        QObject::connect(&dlg, &TKonfig::settingsSaved, [&](const AppSettings&) { ++hookCalls; });
        ShowAndActivate(&dlg);
        QTest::mouseClick(K(dlg).Platce, Qt::LeftButton);
        K(dlg).PageControl1->setCurrentIndex(1);
        K(dlg).Ed_Nazev->setFocus();
        QTest::keyClicks(K(dlg).Ed_Nazev, QStringLiteral("Firma"));
        {
            FileSizeLimit limit(120); // room for a few keys, not for all of them
            QVERIFY(limit.active());
            MessageBoxRecorder boxes;
            QTest::mouseClick(K(dlg).Ok, Qt::LeftButton);
            QCOMPARE(boxes.shown().size(), 1);
            QVERIFY(boxes.shown()[0].text.startsWith(
                QStringLiteral("Nastavení nelze zapsat do souboru „")));
        }
        QVERIFY(dlg.isVisible());
        QVERIFY(!dlg.Saved());
        QCOMPARE(dlg.Settings(), given);
        QCOMPARE(hookCalls, 0);
        QCOMPARE(K(dlg).Ed_Nazev->text(), QStringLiteral("Firma"));
        // The keys written before the failure are whole; the file is no torn copy.
        const QByteArray partial = folder.readBytes(QStringLiteral("Tarvela.ini"));
        QVERIFY(partial.startsWith(Crlf(QStringLiteral("; poznámka\n[NASTAVENI]\n"))));
        QVERIFY(partial.size() <= 120);
        QVERIFY(partial.endsWith("\r\n"));
        QVERIFY(!partial.contains("Nazev"));

        QTest::mouseClick(K(dlg).Ok, Qt::LeftButton); // without the limit
        QVERIFY(dlg.Saved());
        QCOMPARE(hookCalls, 1);
        const AppSettings read = tarvela::LoadSettings(folder.path());
        QCOMPARE(read.Platce, true);
        QCOMPARE(read.Dodavatel.Nazev, QStringLiteral("Firma"));
    }

    void aTextTheFileCannotHoldIsRefusedAndNothingIsTakenOver() {
        TempProgramFolder folder;
        const AppSettings given = SampleSettings();
        TKonfig dlg(given, folder.path());
        ShowAndActivate(&dlg);
        K(dlg).PageControl1->setCurrentIndex(1);
        K(dlg).Ed_Email->setFocus();
        TypeText(K(dlg).Ed_Email, QStringLiteral("a€b✓"));
        MessageBoxRecorder boxes;
        QTest::mouseClick(K(dlg).Ok, Qt::LeftButton);
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.Settings(), given);
        QCOMPARE(K(dlg).Ed_Email->text(), QStringLiteral("a€b✓"));
    }
};

QTEST_MAIN(TKonfigTest)
#include "tkonfig_test.moc"
