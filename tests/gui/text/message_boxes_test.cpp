// The message boxes as the user sees them (real boxes, answered by keys and clicks), the
// recording seam, and the desktop helpers OpenDocument, LinkLabel and EnableOkButton.
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>

#include "app/application.h"
#include "support/modal_dialog.h"
#include "text/gui_helpers.h"
#include "text/message_boxes.h"

using namespace tarvela;

namespace {

// What a real box showed before it was answered.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    bool closeButton = true;
    bool modal = false;
};

// Once the next modal box appears, records it and lets `answer` close it.
void WhenBoxAppears(SeenBox& seen, std::function<void(QMessageBox*)> answer) {
    tarvela::test::OnNextModal([&seen, answer](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY2(box, "the modal window is not a message box");
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        if (auto* def = box->defaultButton())
            seen.defaultButton = def->text();
        seen.closeButton = box->windowFlags().testFlag(Qt::WindowCloseButtonHint);
        seen.modal = box->windowModality() == Qt::ApplicationModal;
        answer(box);
    });
}

void PressEnter(QMessageBox* box) {
    QTest::keyClick(box, Qt::Key_Return);
}

QAbstractButton* ButtonWithText(QMessageBox* box, const QString& text) {
    for (QAbstractButton* b : box->buttons())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Receives the web addresses the desktop was asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
    }
    ~UrlCatcher() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

class MessageBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void infoBoxes_data();
    void infoBoxes();
    void questionDefaultsToNo();
    void questionAnsweredYes();
    void yesNoCancelAnsweredByKeysAndClicks_data();
    void yesNoCancelAnsweredByKeysAndClicks();
    void yesNoCancelRecorded();
    void outOfMemoryIsShownInCzech();
    void linkThatCannotBeOpenedSaysSo();
    void errorBoxFullStopRule_data();
    void errorBoxFullStopRule();
    void recorderQueuesAnswersAndNests();
    void openDocumentAsksTheDesktop();
    void linkLabel();
    void enableOkButton();
    void typingLimit();
    void czechTranslationsAndLocale();
};

void MessageBoxesTest::infoBoxes_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");
    QTest::newRow("ShowInfo") << 0 << "Tarvela" << int(QMessageBox::Information);
    QTest::newRow("ShowInfoCaption") << 1 << "Upozornění" << int(QMessageBox::Information);
    QTest::newRow("ShowWarning") << 2 << "Upozornění" << int(QMessageBox::Warning);
    QTest::newRow("ErrorBox") << 3 << "Tarvela" << int(QMessageBox::Critical);
}

void MessageBoxesTest::infoBoxes() {
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    const QString text = QStringLiteral("První řádek!\r\nDruhý řádek!");
    SeenBox seen;
    WhenBoxAppears(seen, PressEnter);
    switch (kind) {
    case 0:
        ShowInfo(text);
        break;
    case 1:
        ShowInfoCaption(QStringLiteral("Upozornění"), text);
        break;
    case 2:
        ShowWarning(QStringLiteral("Upozornění"), text);
        break;
    default:
        ErrorBox(text);
        break;
    }
    QCOMPARE(seen.caption, caption);
    QCOMPARE(seen.text, QStringLiteral("První řádek!\nDruhý řádek!"));
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(seen.defaultButton, QStringLiteral("OK"));
    QVERIFY(seen.modal);
}

void MessageBoxesTest::questionDefaultsToNo() {
    SeenBox seen;
    WhenBoxAppears(seen, PressEnter);
    const bool yes =
        AskYesNo(QStringLiteral("Pozor!"), QStringLiteral("Chcete opravdu smazat tuto položku?"));
    QVERIFY(!yes);
    QCOMPARE(seen.caption, QStringLiteral("Pozor!"));
    QCOMPARE(seen.text, QStringLiteral("Chcete opravdu smazat tuto položku?"));
    QCOMPARE(int(seen.icon), int(QMessageBox::Question));
    QCOMPARE(seen.buttons, (QStringList{QStringLiteral("Ano"), QStringLiteral("Ne")}));
    QCOMPARE(seen.defaultButton, QStringLiteral("Ne"));
    QVERIFY(!seen.closeButton);
}

void MessageBoxesTest::questionAnsweredYes() {
    SeenBox seen;
    WhenBoxAppears(seen, [](QMessageBox* box) {
        QTest::mouseClick(ButtonWithText(box, QStringLiteral("Ano")), Qt::LeftButton);
    });
    QVERIFY(AskYesNo(QStringLiteral("Upozornění"),
                     QStringLiteral("Ve faktuře byly provedeny změny, chcete je uložit?")));
    QCOMPARE(seen.caption, QStringLiteral("Upozornění"));
}

void MessageBoxesTest::yesNoCancelAnsweredByKeysAndClicks_data() {
    QTest::addColumn<QString>("how"); // a key name or the caption of the button clicked
    QTest::addColumn<int>("answer");
    QTest::newRow("Enter") << "Enter" << int(Answer::Cancel);
    QTest::newRow("Escape") << "Escape" << int(Answer::Cancel);
    QTest::newRow("Alt+A") << "Alt+A" << int(Answer::Yes);
    QTest::newRow("Alt+N") << "Alt+N" << int(Answer::No);
    QTest::newRow("Ano") << "&Ano" << int(Answer::Yes);
    QTest::newRow("Ne") << "&Ne" << int(Answer::No);
    QTest::newRow("Storno") << "&Storno" << int(Answer::Cancel);
}

void MessageBoxesTest::yesNoCancelAnsweredByKeysAndClicks() {
    QFETCH(QString, how);
    QFETCH(int, answer);
    SeenBox seen;
    WhenBoxAppears(seen, [how](QMessageBox* box) {
        // Mnemonics are shortcuts: they reach only the active window.
        box->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(box));
        if (how == QLatin1String("Enter"))
            QTest::keyClick(box, Qt::Key_Return);
        else if (how == QLatin1String("Escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (how == QLatin1String("Alt+A"))
            QTest::keyClick(box, Qt::Key_A, Qt::AltModifier);
        else if (how == QLatin1String("Alt+N"))
            QTest::keyClick(box, Qt::Key_N, Qt::AltModifier);
        else
            QTest::mouseClick(ButtonWithText(box, how), Qt::LeftButton);
    });
    const Answer got =
        AskYesNoCancel(QStringLiteral("Upozornění"),
                       QStringLiteral("Ve faktuře byly provedeny změny, chcete je uložit?"));
    QCOMPARE(int(got), answer);
    QCOMPARE(seen.caption, QStringLiteral("Upozornění"));
    QCOMPARE(int(seen.icon), int(QMessageBox::Question));
    QStringList buttons = seen.buttons;
    buttons.sort();
    QCOMPARE(buttons, (QStringList{QStringLiteral("&Ano"), QStringLiteral("&Ne"),
                                   QStringLiteral("&Storno")}));
    QCOMPARE(seen.defaultButton, QStringLiteral("&Storno"));
    QVERIFY(seen.modal);
}

void MessageBoxesTest::yesNoCancelRecorded() {
    MessageBoxRecorder boxes;
    boxes.queueAnswer(Answer::No);
    boxes.queueAnswer(true);
    QCOMPARE(int(AskYesNoCancel("a", "1")), int(Answer::No));
    QCOMPARE(int(AskYesNoCancel("a", "2")), int(Answer::Yes));
    QCOMPARE(int(AskYesNoCancel("a", "3")), int(Answer::Cancel)); // the default button
    QCOMPARE(boxes.shown().at(0), (ShownBox{BoxKind::YesNoCancel, "a", "1"}));
}

void MessageBoxesTest::outOfMemoryIsShownInCzech() {
    MessageBoxRecorder boxes;
    bool after = false;
    RunGuarded([&] {
        throw std::bad_alloc();
        after = true;
    });
    QVERIFY(!after);
    QCOMPARE(boxes.shown(),
             (QList<ShownBox>{{BoxKind::Error, QStringLiteral("Tarvela"),
                               QStringLiteral("Pro tuto operaci není dost paměti. Zavřete jiné "
                                              "programy a zkuste to znovu.")}}));
}

void MessageBoxesTest::linkThatCannotBeOpenedSaysSo() {
    // No URL handler and no browser on the offscreen platform: the desktop refuses.
    MessageBoxRecorder boxes;
    QVERIFY(!OpenDocumentOrSay(QStringLiteral("http://www.example.cz")));
    LinkLabel link(QStringLiteral("www.example.cz"));
    link.resize(120, 20);
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(10, 10));
    const ShownBox expected{BoxKind::Warning, QStringLiteral("Upozornění"),
                            QStringLiteral("Adresu „http://www.example.cz“ se nepodařilo otevřít: "
                                           "na tomto počítači není nastaven webový prohlížeč ani "
                                           "jiný program, který by ji otevřel.")};
    QCOMPARE(boxes.shown(), (QList<ShownBox>{expected, expected}));
    // With a browser, nothing is said.
    UrlCatcher catcher;
    QVERIFY(OpenDocumentOrSay(QStringLiteral("http://www.example.cz")));
    QCOMPARE(boxes.shown().size(), 2);
}

void MessageBoxesTest::errorBoxFullStopRule_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Unable to write to x"
                            << "Unable to write to x.";
    QTest::newRow("closing quote") << "'12a' is not a valid floating point value'"
                                   << "'12a' is not a valid floating point value'";
    QTest::newRow("exclamation") << "Nelze načíst DLL!"
                                 << "Nelze načíst DLL!";
    QTest::newRow("full stop") << "Hotovo."
                               << "Hotovo.";
    QTest::newRow("slash (47)") << "C:/"
                                << "C:/.";
    QTest::newRow("minus (45)") << "a-"
                                << "a-";
    QTest::newRow("digit") << "chyba 5"
                           << "chyba 5.";
    QTest::newRow("accented") << "Chyba v souboru ě"
                              << "Chyba v souboru ě.";
    QTest::newRow("empty") << ""
                           << "";
}

void MessageBoxesTest::errorBoxFullStopRule() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    MessageBoxRecorder boxes;
    ErrorBox(message);
    QCOMPARE(boxes.shown(), (QList<ShownBox>{{BoxKind::Error, "Tarvela", shown}}));
}

void MessageBoxesTest::recorderQueuesAnswersAndNests() {
    MessageBoxRecorder outer;
    outer.queueAnswer(true);
    {
        MessageBoxRecorder inner;
        inner.queueAnswer(true);
        inner.queueAnswer(false);
        QVERIFY(AskYesNo("a", "1"));
        QVERIFY(!AskYesNo("a", "2"));
        QVERIFY(!AskYesNo("a", "3")); // an empty queue answers with the default button
        ShowWarning(QStringLiteral("Upozornění"), QStringLiteral("Nebyl nalezen modul tisku."));
        QCOMPARE(inner.shown().size(), 4);
        QCOMPARE(inner.shown().at(3), (ShownBox{BoxKind::Warning, QStringLiteral("Upozornění"),
                                                QStringLiteral("Nebyl nalezen modul tisku.")}));
    }
    QVERIFY(outer.shown().isEmpty());
    QCOMPARE(outer.pendingAnswers(), 1);
    QVERIFY(AskYesNo("b", "4"));
    ShowInfoCaption(QStringLiteral("Upozornění"), QStringLiteral("x"));
    QCOMPARE(outer.takeShown(),
             (QList<ShownBox>{{BoxKind::YesNo, "b", "4"},
                              {BoxKind::InfoCaption, QStringLiteral("Upozornění"), "x"}}));
    QVERIFY(outer.shown().isEmpty());
}

void MessageBoxesTest::openDocumentAsksTheDesktop() {
    UrlCatcher catcher;
    QVERIFY(OpenDocument(QStringLiteral("https://www.example.cz/napoveda?STRANA=page0000")));
    QCOMPARE(catcher.opened,
             QList<QUrl>{QUrl(QStringLiteral("https://www.example.cz/napoveda?STRANA=page0000"))});
    QVERIFY(!OpenDocument(QString()));
    QCOMPARE(catcher.opened.size(), 1);
}

void MessageBoxesTest::linkLabel() {
    UrlCatcher catcher;
    LinkLabel link(QStringLiteral("www.example.cz"));
    link.resize(120, 20);
    QCOMPARE(link.palette().color(QPalette::WindowText), QColor(128, 0, 0));
    QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(link.font().underline());
    link.show();
    QVERIFY(QTest::qWaitForWindowExposed(&link));
    // The mouse over the label takes the underline away, leaving brings it back.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    QVERIFY(link.font().underline());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), link.mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(&link, &enter);
    QVERIFY(!link.font().underline());
    QApplication::sendEvent(&link, &leave);
    QVERIFY(link.font().underline());
    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl(QStringLiteral("http://www.example.cz"))});
    // A press that ends outside the label is no click.
    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(500, 5));
    QCOMPARE(catcher.opened.size(), 1);
}

void MessageBoxesTest::enableOkButton() {
    QDialog dialog;
    auto* ok = new QPushButton(QStringLiteral("Ok"), &dialog);
    ok->setObjectName(QStringLiteral("Tl_Ok"));
    ok->setEnabled(false);
    auto* inner = new QWidget(&dialog);
    auto* nestedOk = new QPushButton(QStringLiteral("Ok"), inner);
    nestedOk->setObjectName(QStringLiteral("Tl_Ok"));
    nestedOk->setEnabled(false);
    auto* storno = new QPushButton(QStringLiteral("Storno"), &dialog);
    storno->setObjectName(QStringLiteral("Tl_Storno"));
    storno->setEnabled(false);
    EnableOkButton(&dialog);
    QVERIFY(ok->isEnabled());
    QVERIFY(nestedOk->isEnabled());
    QVERIFY(!storno->isEnabled());
}

void MessageBoxesTest::typingLimit() {
    QLineEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    SetTypingLimit(&edit, 4);
    QCOMPARE(TypingLimit(&edit), 4);
    QTest::keyClicks(&edit, QStringLiteral("123456"));
    QCOMPARE(edit.text(), QStringLiteral("1234"));
    // Typing over a selection is allowed.
    edit.selectAll();
    QTest::keyClicks(&edit, QStringLiteral("ab"));
    QCOMPARE(edit.text(), QStringLiteral("ab"));
    // Paste is cut to the room left.
    QApplication::clipboard()->setText(QStringLiteral("XYZW"));
    QTest::keySequence(&edit, QKeySequence::Paste);
    QCOMPARE(edit.text(), QStringLiteral("abXY"));
    // The program's own texts are never cut.
    edit.setText(QStringLiteral("1234567"));
    QCOMPARE(edit.text(), QStringLiteral("1234567"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QStringLiteral("123456"));
    SetTypingLimit(&edit, 0);
    QTest::keyClicks(&edit, QStringLiteral("78"));
    QCOMPARE(edit.text(), QStringLiteral("12345678"));
}

void MessageBoxesTest::czechTranslationsAndLocale() {
    // Qt's own texts (context menus of edit fields, dialogs) come in Czech.
    QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Zpět"));
    // Widgets format in Czech by default: month and day names of the calendars.
    QCOMPARE(QLocale().monthName(1), QStringLiteral("ledna"));
    QCOMPARE(QLocale().standaloneMonthName(1), QStringLiteral("leden"));
    QCOMPARE(QLocale().dayName(1), QStringLiteral("pondělí"));
    // The system locale, which decides the decimal separator check, is left as the tests set it.
    QCOMPARE(QLocale::system().decimalPoint(), QStringLiteral("."));
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Tarvela"));
}

int main(int argc, char** argv) {
    TarvelaApplication app(argc, argv);
    SetUpApplication(app);
    MessageBoxesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "message_boxes_test.moc"
