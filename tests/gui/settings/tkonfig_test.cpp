#include "settings/tkonfig.h"

#include "settings/settings_file.h"
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

#include <csignal>
#include <sys/resource.h>

using tarvela::AppSettings;
using tarvela::MessageBoxRecorder;
using tarvela::SymbolType;
using tarvela::TKonfig;
using tarvela::TUpDown;
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

// While it lives, no file of this process may grow beyond `bytes`: a write past it fails
// (the signal that would end the process is ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*previousHandler_)(int) = nullptr;
    bool ok_ = false;
};

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
    Symbol
};

} // namespace

class TKonfigTest : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsTheDesign() {
        TempProgramFolder folder;
        TKonfig dlg(SampleSettings(), folder.path());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Konfigurace"));
        QCOMPARE(dlg.size(), QSize(448, 483));
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
        QCOMPARE(dlg.Ok->geometry(), QRect(256, 448, 75, 25));
        QCOMPARE(dlg.Storno->geometry(), QRect(336, 448, 75, 25));
        QVERIFY(!dlg.Ok->isDefault() && !dlg.Ok->autoDefault());
        QCOMPARE(dlg.PageControl1->geometry(), QRect(8, 8, 433, 425));
        QCOMPARE(dlg.PageControl1->tabText(0), QStringLiteral("Obecné"));
        QCOMPARE(dlg.PageControl1->tabText(1), QStringLiteral("Údaje dodavatele"));

        QCOMPARE(dlg.GBox_Mena->geometry(), QRect(8, 8, 409, 57));
        QCOMPARE(dlg.GBox_Mena->title(), QStringLiteral("Výchozí označení měny"));
        QCOMPARE(dlg.Ed_VychoziMena->geometry(), QRect(24, 24, 57, 21));
        QCOMPARE(dlg.Ed_VychoziMena->maxLength(), 3);
        QCOMPARE(dlg.La_KodMeny->text(),
                 QStringLiteral("Kód měny (např. CZK, EUR, GBP, USD ... )"));
        QCOMPARE(dlg.GBox_DPH->geometry(), QRect(8, 72, 409, 145));
        QCOMPARE(dlg.GBox_DPH->title(), QStringLiteral("Daň z přidané hodnoty"));
        QCOMPARE(dlg.Platce->geometry(), QRect(24, 24, 97, 17));
        QCOMPARE(dlg.Platce->text(), QStringLiteral("Plátce DPH"));
        const QLineEdit* rateEdits[] = {dlg.Ed_SazbaDPH1, dlg.Ed_SazbaDPH2, dlg.Ed_SazbaDPH3};
        const TUpDown* rateSpins[] = {dlg.UpDown_SazbaDPH1, dlg.UpDown_SazbaDPH2,
                                      dlg.UpDown_SazbaDPH3};
        const QLabel* rateLabels[] = {dlg.La_SazbaDPH1, dlg.La_SazbaDPH2, dlg.La_SazbaDPH3};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(rateEdits[i]->geometry(), QRect(208, 48 + 32 * i, 49, 21));
            QVERIFY(rateEdits[i]->isReadOnly());
            QCOMPARE(rateEdits[i]->focusPolicy(), Qt::NoFocus);
            QCOMPARE(rateSpins[i]->geometry(), QRect(257, 48 + 32 * i, 16, 21));
            QCOMPARE(rateSpins[i]->Min(), 1);
            QCOMPARE(rateSpins[i]->Max(), 99);
            QCOMPARE(rateLabels[i]->text(), QStringLiteral("Sazba DPH %1 (v %)").arg(i + 1));
            QCOMPARE(rateLabels[i]->geometry().topLeft(), QPoint(80, 52 + 32 * i));
            QCOMPARE(rateLabels[i]->width(), 113);
            QVERIFY(rateLabels[i]->alignment() & Qt::AlignRight);
        }
        QCOMPARE(dlg.GBox_VychoziSplatnost->geometry(), QRect(8, 224, 409, 57));
        QCOMPARE(dlg.GBox_VychoziSplatnost->title(), QStringLiteral("Výchozí doba splatnosti"));
        QCOMPARE(dlg.Text_DobaSplatnosti->geometry(), QRect(24, 24, 57, 21));
        QVERIFY(dlg.Text_DobaSplatnosti->isReadOnly());
        QCOMPARE(dlg.DobaSplatnosti->geometry(), QRect(81, 24, 16, 21));
        QCOMPARE(dlg.DobaSplatnosti->Min(), 0);
        QCOMPARE(dlg.DobaSplatnosti->Max(), 90);
        QCOMPARE(dlg.RBox_TypSymbolu->geometry(), QRect(8, 288, 409, 57));
        QCOMPARE(dlg.RBox_TypSymbolu->title(), QStringLiteral("Typ symbolu v hlavičce faktury"));
        QCOMPARE(dlg.RBox_TypSymbolu0->text(), QStringLiteral("Konstantní symbol"));
        QCOMPARE(dlg.RBox_TypSymbolu1->text(), QStringLiteral("Variabilní symbol"));

        const char* captions[16] = {"Název",      "Jméno",  "Ulice, číslo", "Město",
                                    "IČO",        "DIČ",    "Registrace",   "Peněžní ústav",
                                    "Číslo účtu", "IBAN",   "BIC (SWIFT)",  "Telefon",
                                    "Fax",        "E-mail", "WWW",          "Odpovědná osoba"};
        const int widths[16] = {305, 305, 305, 305, 129, 129, 305, 225,
                                129, 305, 129, 129, 129, 225, 225, 225};
        const auto labels = dlg.TabSheet2->findChildren<QLabel*>();
        QCOMPARE(labels.size(), 16);
        for (int i = 0; i < 16; ++i) {
            QLineEdit* edit = dlg.SupplierEdits[i];
            QCOMPARE(edit->parentWidget(), dlg.TabSheet2);
            QCOMPARE(edit->geometry(), QRect(112, 8 + 24 * i, widths[i], 21));
            QCOMPARE(edit->maxLength(), 32767); // no limit of its own
            const QLabel* label = labels[i];
            QCOMPARE(label->text(), QString::fromUtf8(captions[i]));
            QCOMPARE(label->geometry().topLeft(), QPoint(8, 12 + 24 * i));
            QCOMPARE(label->width(), 97);
        }
        QCOMPARE(dlg.Ed_Nazev->objectName(), QStringLiteral("Ed_Nazev"));
        QCOMPARE(dlg.Ed_Osoba, dlg.SupplierEdits[15]);
    }

    void formCreateFillsTheControlsAndLeavesOkDisabled() {
        TempProgramFolder folder;
        AppSettings s = SampleSettings();
        TKonfig dlg(s, folder.path());
        QCOMPARE(dlg.Ed_VychoziMena->text(), QStringLiteral("EUR"));
        QVERIFY(dlg.Platce->isChecked());
        QCOMPARE(dlg.Ed_SazbaDPH1->text(), QStringLiteral("21"));
        QCOMPARE(dlg.Ed_SazbaDPH2->text(), QStringLiteral("12"));
        QCOMPARE(dlg.Ed_SazbaDPH3->text(), QStringLiteral("5"));
        QVERIFY(dlg.UpDown_SazbaDPH1->isEnabled() && dlg.Ed_SazbaDPH3->isEnabled());
        QCOMPARE(dlg.Text_DobaSplatnosti->text(), QStringLiteral("30"));
        QVERIFY(dlg.RBox_TypSymbolu0->isChecked());
        QCOMPARE(dlg.Ed_Nazev->text(), QStringLiteral("Šťastný s.r.o."));
        QCOMPARE(dlg.Ed_Jmeno->text(), QStringLiteral("Jan Novák"));
        QCOMPARE(dlg.Ed_IBAN->text(), QStringLiteral("CZ6508000000192000145399"));
        QCOMPARE(dlg.Ed_Osoba->text(), QStringLiteral("Petr Ýbl"));
        QVERIFY(dlg.Ed_Ulice->text().isEmpty());
        QVERIFY(!dlg.Ok->isEnabled());
        QCOMPARE(dlg.PageControl1->currentIndex(), 0);

        // A non-payer: the rate controls are off. A symbol type above 1 shows as variable.
        s.Platce = false;
        s.TypSymbolu = static_cast<SymbolType>(5);
        TKonfig other(s, folder.path());
        for (QWidget* w : std::initializer_list<QWidget*>{
                 other.Ed_SazbaDPH1, other.Ed_SazbaDPH2, other.Ed_SazbaDPH3, other.UpDown_SazbaDPH1,
                 other.UpDown_SazbaDPH2, other.UpDown_SazbaDPH3})
            QVERIFY(!w->isEnabled());
        QVERIFY(other.RBox_TypSymbolu1->isChecked());
        QVERIFY(!other.Ok->isEnabled());
    }

    void tabOrderWalksTheControls() {
        TempProgramFolder folder;
        TKonfig dlg(SampleSettings(), folder.path());
        ShowAndActivate(&dlg);
        // Ok comes first but is disabled until a change: the focus starts on Storno.
        QCOMPARE(QApplication::focusWidget(), dlg.Storno);
        const QList<QWidget*> page1 = {
            dlg.PageControl1->tabBar(), dlg.Ed_VychoziMena,   dlg.Platce,
            dlg.UpDown_SazbaDPH1,       dlg.UpDown_SazbaDPH2, dlg.UpDown_SazbaDPH3,
            dlg.Text_DobaSplatnosti,    dlg.RBox_TypSymbolu0, dlg.Storno};
        for (QWidget* expected : page1) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected);
        }
        // Once enabled, Ok is the first stop.
        QTest::keyClick(dlg.Storno, Qt::Key_Tab);
        QTest::mouseClick(dlg.Platce, Qt::LeftButton);
        dlg.RBox_TypSymbolu0->setFocus();
        QTest::keyClick(dlg.RBox_TypSymbolu0, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg.Ok);
        QTest::keyClick(dlg.Ok, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg.Storno);
        dlg.PageControl1->setCurrentIndex(1);
        dlg.Ed_Nazev->setFocus();
        for (int i = 1; i < 16; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), dlg.SupplierEdits[i]);
        }

        // The symbol type is one stop: the selected item.
        AppSettings variable = SampleSettings();
        variable.TypSymbolu = SymbolType::Variable;
        TKonfig other(variable, folder.path());
        ShowAndActivate(&other);
        other.Text_DobaSplatnosti->setFocus();
        QTest::keyClick(other.Text_DobaSplatnosti, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), other.RBox_TypSymbolu1);
        QTest::keyClick(other.RBox_TypSymbolu1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), other.Storno);
    }

    void enterActsAsTabInTheSupplierFieldsOnly() {
        TempProgramFolder folder;
        TKonfig dlg(SampleSettings(), folder.path());
        ShowAndActivate(&dlg);
        dlg.PageControl1->setCurrentIndex(1);
        dlg.Ed_Nazev->setFocus();
        for (int i = 1; i < 16; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), dlg.SupplierEdits[i]);
        }
        QTest::keyClick(dlg.Ed_Osoba, Qt::Key_Enter);      // the keypad's Enter as well
        QCOMPARE(QApplication::focusWidget(), dlg.Storno); // Ok is still disabled
        QVERIFY(dlg.isVisible());
        QVERIFY(!dlg.Ok->isEnabled()); // moving on is no change

        // In the currency field Enter neither moves nor presses Ok.
        dlg.PageControl1->setCurrentIndex(0);
        dlg.Ed_VychoziMena->setFocus();
        QTest::keyClicks(dlg.Ed_VychoziMena, QStringLiteral("X"));
        QTest::keyClick(dlg.Ed_VychoziMena, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dlg.Ed_VychoziMena);
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
    }

    void everyKindOfChangeEnablesOk() {
        QFETCH(int, change);
        TempProgramFolder folder;
        TKonfig dlg(SampleSettings(), folder.path());
        ShowAndActivate(&dlg);
        QVERIFY(!dlg.Ok->isEnabled());
        switch (Change(change)) {
        case Change::Currency:
            dlg.Ed_VychoziMena->setFocus();
            QTest::keyClick(dlg.Ed_VychoziMena, Qt::Key_Backspace);
            break;
        case Change::Supplier:
            dlg.PageControl1->setCurrentIndex(1);
            dlg.Ed_WWW->setFocus();
            QTest::keyClicks(dlg.Ed_WWW, QStringLiteral("w"));
            break;
        case Change::PayerTick:
            QTest::mouseClick(dlg.Platce, Qt::LeftButton);
            break;
        case Change::Rate1:
            QTest::mouseClick(dlg.UpDown_SazbaDPH1->UpButton(), Qt::LeftButton);
            break;
        case Change::Rate2:
            QTest::mouseClick(dlg.UpDown_SazbaDPH2->DownButton(), Qt::LeftButton);
            break;
        case Change::Rate3:
            dlg.UpDown_SazbaDPH3->setFocus();
            QTest::keyClick(dlg.UpDown_SazbaDPH3, Qt::Key_Up);
            break;
        case Change::DaysArrow:
            QTest::mouseClick(dlg.DobaSplatnosti->DownButton(), Qt::LeftButton);
            break;
        case Change::DaysKey:
            dlg.Text_DobaSplatnosti->setFocus();
            QTest::keyClick(dlg.Text_DobaSplatnosti, Qt::Key_Up);
            QCOMPARE(dlg.Text_DobaSplatnosti->text(), QStringLiteral("31"));
            break;
        case Change::Symbol:
            QTest::mouseClick(dlg.RBox_TypSymbolu1, Qt::LeftButton);
            break;
        }
        QVERIFY(dlg.Ok->isEnabled());

        // Undoing the change does not disable Ok again.
        if (Change(change) == Change::Currency)
            QTest::keyClicks(dlg.Ed_VychoziMena, QStringLiteral("R"));
        if (Change(change) == Change::PayerTick)
            QTest::mouseClick(dlg.Platce, Qt::LeftButton);
        if (Change(change) == Change::Symbol)
            QTest::mouseClick(dlg.RBox_TypSymbolu0, Qt::LeftButton);
        QVERIFY(dlg.Ok->isEnabled());
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
            dlg.SetApplyHook([&](const AppSettings&) { ++hookCalls; });
            ShowAndActivate(&dlg);
            QTest::keyClicks(dlg.Ed_VychoziMena, QStringLiteral("EUR"));
            QTest::mouseClick(dlg.Platce, Qt::LeftButton);
            QTest::mouseClick(dlg.Storno, Qt::LeftButton);
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QVERIFY(!dlg.Saved());
            QCOMPARE(dlg.Settings(), given);
            QCOMPARE(hookCalls, 0);
        }
        {
            TKonfig dlg(given, folder.path());
            ShowAndActivate(&dlg);
            QTest::mouseClick(dlg.UpDown_SazbaDPH1->UpButton(), Qt::LeftButton);
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
        dlg.SetApplyHook([&](const AppSettings& s) {
            applied = s;
            folderExistedAtHook = folder.exists(QStringLiteral("2030"));
        });
        ShowAndActivate(&dlg);

        dlg.Ed_VychoziMena->clear(); // an empty currency is saved as it is
        QTest::mouseClick(dlg.Platce, Qt::LeftButton);
        QTest::mouseClick(dlg.UpDown_SazbaDPH1->DownButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.UpDown_SazbaDPH3->UpButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.DobaSplatnosti->UpButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.RBox_TypSymbolu0, Qt::LeftButton);
        dlg.PageControl1->setCurrentIndex(1);
        dlg.Ed_Nazev->selectAll();
        dlg.Ed_Nazev->setFocus();
        TypeText(dlg.Ed_Nazev, QStringLiteral("Žluťoučký kůň"));
        dlg.Ed_Osoba->setFocus();
        TypeText(dlg.Ed_Osoba, QStringLiteral("Ďábel"));
        QTest::mouseClick(dlg.Ok, Qt::LeftButton);

        QVERIFY(!dlg.isVisible());
        QVERIFY(dlg.Saved());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        AppSettings expected = given;
        expected.VychoziMena = QString();
        expected.Platce = true;
        expected.SazbaDPH1 = 20;
        expected.SazbaDPH3 = 11;
        expected.DobaSplatnosti = 15;
        expected.TypSymbolu = SymbolType::Constant;
        expected.Dodavatel.Nazev = QStringLiteral("Žluťoučký kůň");
        expected.Dodavatel.Osoba = QStringLiteral("Ďábel");
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
        QVERIFY(bytes.contains("Platce=1\r\nSazbaDPH1=20\r\nSazbaDPH2=15\r\nSazbaDPH3=11\r\n"
                               "DobaSplatnosti=15\r\nTypSymbolu=0\r\n"));
        QVERIFY(!bytes.contains("Stará"));
        QCOMPARE(tarvela::LoadSettings(folder.path()), expected);
    }

    void untickingThePayerKeepsTheRatesSaved() {
        TempProgramFolder folder;
        AppSettings given = SampleSettings();
        TKonfig dlg(given, folder.path());
        ShowAndActivate(&dlg);
        QTest::mouseClick(dlg.UpDown_SazbaDPH2->UpButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.Platce, Qt::LeftButton);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 dlg.Ed_SazbaDPH1, dlg.Ed_SazbaDPH2, dlg.Ed_SazbaDPH3, dlg.UpDown_SazbaDPH1,
                 dlg.UpDown_SazbaDPH2, dlg.UpDown_SazbaDPH3})
            QVERIFY(!w->isEnabled());
        // A disabled spin control does not step.
        QTest::mouseClick(dlg.UpDown_SazbaDPH1->UpButton(), Qt::LeftButton);
        QCOMPARE(dlg.Ed_SazbaDPH1->text(), QStringLiteral("21"));
        QTest::mouseClick(dlg.Ok, Qt::LeftButton);
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
        s.SazbaDPH2 = 1;
        s.DobaSplatnosti = 0;
        TKonfig dlg(s, folder.path());
        ShowAndActivate(&dlg);
        QTest::mouseClick(dlg.UpDown_SazbaDPH1->UpButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.UpDown_SazbaDPH2->DownButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.DobaSplatnosti->DownButton(), Qt::LeftButton);
        QCOMPARE(dlg.Ed_SazbaDPH1->text(), QStringLiteral("99"));
        QCOMPARE(dlg.Ed_SazbaDPH2->text(), QStringLiteral("1"));
        QCOMPARE(dlg.Text_DobaSplatnosti->text(), QStringLiteral("0"));
        for (int i = 0; i < 100; ++i)
            dlg.DobaSplatnosti->Step(+1);
        QCOMPARE(dlg.Text_DobaSplatnosti->text(), QStringLiteral("90"));
        QVERIFY(dlg.Ok->isEnabled());
    }

    void valuesOutsideTheRangesAreShownClampedAndKeptUnlessStepped() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("Tarvela.ini"),
                          Crlf(QStringLiteral("[NASTAVENI]\nPlatce=1\nSazbaDPH1=150\n"
                                              "SazbaDPH2=0\nSazbaDPH3=-4\n"
                                              "DobaSplatnosti=120\nTypSymbolu=7\n")));
        const AppSettings given = tarvela::LoadSettings(folder.path());
        TKonfig dlg(given, folder.path());
        QCOMPARE(dlg.Ed_SazbaDPH1->text(), QStringLiteral("99"));
        QCOMPARE(dlg.Ed_SazbaDPH2->text(), QStringLiteral("1"));
        QCOMPARE(dlg.Ed_SazbaDPH3->text(), QStringLiteral("1"));
        QCOMPARE(dlg.Text_DobaSplatnosti->text(), QStringLiteral("90"));
        ShowAndActivate(&dlg);
        // Only rate 3 is stepped: it is saved as shown; the others go back as they were.
        QTest::mouseClick(dlg.UpDown_SazbaDPH3->UpButton(), Qt::LeftButton);
        QCOMPARE(dlg.Ed_SazbaDPH3->text(), QStringLiteral("2"));
        QTest::mouseClick(dlg.Ok, Qt::LeftButton);
        QVERIFY(dlg.Saved());
        const AppSettings read = tarvela::LoadSettings(folder.path());
        QCOMPARE(read.SazbaDPH1, 150);
        QCOMPARE(read.SazbaDPH2, 0);
        QCOMPARE(read.SazbaDPH3, 2);
        QCOMPARE(read.DobaSplatnosti, 120);
        QCOMPARE(read.TypSymbolu, SymbolType::Variable); // shown as variable, saved as shown

        // Stepping the days at the upper limit saves the clamped value.
        TKonfig again(read, folder.path());
        ShowAndActivate(&again);
        QTest::mouseClick(again.DobaSplatnosti->UpButton(), Qt::LeftButton);
        QTest::mouseClick(again.Ok, Qt::LeftButton);
        QCOMPARE(tarvela::LoadSettings(folder.path()).DobaSplatnosti, 90);
    }

    void aFailedWriteKeepsTheDialogOpenWithTheUsersValues() {
        TempProgramFolder folder;
        // The settings file's name is taken by a folder: the file cannot be written.
        QVERIFY(QDir().mkpath(folder.file(QStringLiteral("Tarvela.ini"))));
        const AppSettings given = SampleSettings();
        TKonfig dlg(given, folder.path());
        int hookCalls = 0;
        dlg.SetApplyHook([&](const AppSettings&) { ++hookCalls; });
        ShowAndActivate(&dlg);
        QTest::mouseClick(dlg.Platce, Qt::LeftButton);
        dlg.Ed_VychoziMena->setFocus();
        dlg.Ed_VychoziMena->end(false);
        QTest::keyClick(dlg.Ed_VychoziMena, Qt::Key_Backspace);
        QTest::keyClicks(dlg.Ed_VychoziMena, QStringLiteral("X"));
        {
            MessageBoxRecorder boxes;
            QTest::mouseClick(dlg.Ok, Qt::LeftButton);
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
        QVERIFY(!dlg.Platce->isChecked());
        QCOMPARE(dlg.Ed_VychoziMena->text(), QStringLiteral("EUX"));
        QVERIFY(dlg.Ok->isEnabled());
        QVERIFY(!folder.exists(QStringLiteral("2026")));

        // Once the way is clear the user retries with the same values.
        QVERIFY(QDir(folder.file(QStringLiteral("Tarvela.ini"))).removeRecursively());
        QTest::mouseClick(dlg.Ok, Qt::LeftButton);
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
        dlg.SetApplyHook([&](const AppSettings&) { ++hookCalls; });
        ShowAndActivate(&dlg);
        dlg.PageControl1->setCurrentIndex(1);
        dlg.Ed_Nazev->setFocus();
        QTest::keyClicks(dlg.Ed_Nazev, QStringLiteral("Truhlarstvi Novak"));
        // The folder (a USB stick, a network share) goes away while the dialog is open.
        QVERIFY(QDir(folder.path()).removeRecursively());
        {
            MessageBoxRecorder boxes;
            QTest::mouseClick(dlg.Ok, Qt::LeftButton);
            QCOMPARE(boxes.shown().size(), 1);
            QCOMPARE(boxes.shown()[0].kind, tarvela::BoxKind::Error);
            QVERIFY(boxes.shown()[0].text.contains(QStringLiteral("Tarvela.ini")));
        }
        QVERIFY(dlg.isVisible());
        QVERIFY(!dlg.Saved());
        QCOMPARE(dlg.Settings(), given);
        QCOMPARE(hookCalls, 0);
        QCOMPARE(dlg.Ed_Nazev->text(), QStringLiteral("Truhlarstvi Novak"));
        QVERIFY(!QFileInfo::exists(folder.path())); // nothing recreated it half-way

        // The folder is back: the same values are saved.
        QVERIFY(QDir().mkpath(folder.path()));
        QTest::mouseClick(dlg.Ok, Qt::LeftButton);
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
        dlg.SetApplyHook([&](const AppSettings&) { ++hookCalls; });
        ShowAndActivate(&dlg);
        QTest::mouseClick(dlg.Platce, Qt::LeftButton);
        dlg.PageControl1->setCurrentIndex(1);
        dlg.Ed_Nazev->setFocus();
        QTest::keyClicks(dlg.Ed_Nazev, QStringLiteral("Firma"));
        {
            FileSizeLimit limit(120); // room for a few keys, not for all of them
            QVERIFY(limit.ok());
            MessageBoxRecorder boxes;
            QTest::mouseClick(dlg.Ok, Qt::LeftButton);
            QCOMPARE(boxes.shown().size(), 1);
            QVERIFY(boxes.shown()[0].text.startsWith(
                QStringLiteral("Nastavení nelze zapsat do souboru „")));
        }
        QVERIFY(dlg.isVisible());
        QVERIFY(!dlg.Saved());
        QCOMPARE(dlg.Settings(), given);
        QCOMPARE(hookCalls, 0);
        QCOMPARE(dlg.Ed_Nazev->text(), QStringLiteral("Firma"));
        // The keys written before the failure are whole; the file is no torn copy.
        const QByteArray partial = folder.readBytes(QStringLiteral("Tarvela.ini"));
        QVERIFY(partial.startsWith(Crlf(QStringLiteral("; poznámka\n[NASTAVENI]\n"))));
        QVERIFY(partial.size() <= 120);
        QVERIFY(partial.endsWith("\r\n"));
        QVERIFY(!partial.contains("Nazev"));

        QTest::mouseClick(dlg.Ok, Qt::LeftButton); // without the limit
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
        dlg.PageControl1->setCurrentIndex(1);
        dlg.Ed_Email->setFocus();
        TypeText(dlg.Ed_Email, QStringLiteral("a€b✓"));
        MessageBoxRecorder boxes;
        QTest::mouseClick(dlg.Ok, Qt::LeftButton);
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.Settings(), given);
        QCOMPARE(dlg.Ed_Email->text(), QStringLiteral("a€b✓"));
    }
};

QTEST_MAIN(TKonfigTest)
#include "tkonfig_test.moc"
