// The About box: its layout and texts, the rights notice by the clock, closing it, its link, and
// the main window's action with and without the print module.
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <functional>
#include <memory>

#include "help/about_box.h"
#include "printing/print_module.h"
#include "support/modal_dialog.h"
#include "support/test_support.h"
#include "support/thlavni_access.h"
#include "text/clock.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

using namespace tarvela;
using tarvela::test::TempProgramFolder;
using tarvela::test::WithModal;

namespace {

const QColor kCaptionBlue(3, 63, 113);

struct AboutRow {
    const char* caption;
    const char* captionText;
    const char* value;
};
const AboutRow kRows[6] = {
    {"La_VerzeProgramu", "Verze programu:", "La_CisloVerze"},
    {"La_VerzeFR", "Verze tiskového modulu:", "La_CisloVerzeFR"},
    {"La_AutorProgramu", "Autor programu:", "La_Autor"},
    {"La_HotLine", "HotLine:", "La_Telefon"},
    {"La_Copyright", "Copyright:", "La_AutorskaPrava"},
    {"La_DomovskaStranka", "Domovská stránka:", "La_URL"},
};

QString Text(const QWidget* box, const char* name) {
    const auto* label = box->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// A print module that answers the version query with a fixed label.
class VersionModule : public PrintModule {
public:
    explicit VersionModule(QString label) : label_(std::move(label)) {}
    void runStandardReport(const QString&, const QString&, const QString&, const QString&,
                           const ReportDataSet&) override {}
    void runPlainReport(const QString&, const QString&, const QString&, const QString&) override {}
    QString printModuleVersion(const QString&) override { return label_; }
    bool saveStandardReportPdf(const QString&, const QString&, const QString&, const QString&,
                               const ReportDataSet&, const QString&) override {
        return false;
    }

private:
    QString label_;
};

} // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void layoutAndTexts() {
        ScopedToday today(QDate(2026, 3, 1));
        std::unique_ptr<QDialog> box(CreateAboutBox(
            QStringLiteral("1.0"), QStringLiteral("2022-07-08"), QStringLiteral("PRM1  3.2")));
        QCOMPARE(box->windowTitle(), QStringLiteral("O programu Tarvela"));
        QCOMPARE(box->size(), QSize(520, 229));
        QCOMPARE(box->minimumSize(), box->maximumSize());
        QVERIFY(box->autoFillBackground());
        QCOMPARE(box->palette().color(QPalette::Window), QColor(Qt::white));

        for (int i = 0; i < 6; ++i) {
            const auto* caption = box->findChild<QLabel*>(QString::fromLatin1(kRows[i].caption));
            const auto* value = box->findChild<QLabel*>(QString::fromLatin1(kRows[i].value));
            QVERIFY(caption && value);
            QCOMPARE(caption->text(), QString::fromUtf8(kRows[i].captionText));
            QCOMPARE(caption->pos(), QPoint(80, 16 + 24 * i));
            QVERIFY(caption->font().bold());
            QCOMPARE(caption->palette().color(QPalette::WindowText), kCaptionBlue);
            QCOMPARE(value->pos(), QPoint(240, 16 + 24 * i));
            QVERIFY(!value->font().bold());
            // Nothing is cut off.
            QVERIFY(caption->width() >= caption->sizeHint().width());
            QVERIFY(value->width() >= value->sizeHint().width());
            QVERIFY(value->geometry().right() < 520);
            QVERIFY(caption->geometry().right() < 240); // the columns do not run together
        }
        QCOMPARE(Text(box.get(), "La_CisloVerze"), QStringLiteral("1.0     2022-07-08"));
        QCOMPARE(Text(box.get(), "La_CisloVerzeFR"), QStringLiteral("PRM1  3.2"));
        QVERIFY(Text(box.get(), "La_Autor").contains(QStringLiteral("Tarvela")));
        QVERIFY(Text(box.get(), "La_Telefon").contains(QStringLiteral("Tarvela")));
        QCOMPARE(Text(box.get(), "La_AutorskaPrava"), QStringLiteral("© 2021-2026 Tarvela"));

        auto* link = box->findChild<LinkLabel*>(QStringLiteral("La_URL"));
        QVERIFY(link);
        QCOMPARE(link->text(), QStringLiteral("tarvela.cz"));
        QVERIFY(link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(128, 0, 0));

        auto* ok = box->findChild<QPushButton*>(QStringLiteral("Tl_Ok"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("Ok"));
        QCOMPARE(ok->pos(), QPoint(376, 164));
    }

    void theRightsNoticeEndsWithTheCurrentYearButNeverBefore2021() {
        const std::pair<QDate, QString> cases[] = {
            {QDate(2020, 12, 31), QStringLiteral("© 2021-2021 Tarvela")},
            {QDate(2021, 1, 1), QStringLiteral("© 2021-2021 Tarvela")},
            {QDate(2030, 6, 15), QStringLiteral("© 2021-2030 Tarvela")},
        };
        for (const auto& [date, expected] : cases) {
            ScopedToday today(date);
            std::unique_ptr<QDialog> box(
                CreateAboutBox(QStringLiteral("1.0"), QStringLiteral("x"), QString()));
            QCOMPARE(Text(box.get(), "La_AutorskaPrava"), expected);
        }
    }

    void okAndEscCloseTheBox() {
        WithModal([] { ShowAboutBox(QStringLiteral("1.0"), QStringLiteral("d"), QString()); },
                  [](QWidget* box) {
                      auto* ok = box->findChild<QPushButton*>(QStringLiteral("Tl_Ok"));
                      QVERIFY(ok);
                      QTest::mouseClick(ok, Qt::LeftButton);
                      QVERIFY(!box->isVisible());
                  });
        WithModal([] { ShowAboutBox(QStringLiteral("1.0"), QStringLiteral("d"), QString()); },
                  [](QWidget* box) {
                      QTest::keyClick(box, Qt::Key_Escape);
                      QVERIFY(!box->isVisible());
                  });
        // Enter presses Ok, the box's only button.
        WithModal([] { ShowAboutBox(QStringLiteral("1.0"), QStringLiteral("d"), QString()); },
                  [](QWidget* box) {
                      QTest::keyClick(box, Qt::Key_Return);
                      QVERIFY(!box->isVisible());
                  });
    }

    void theLinkOpensTheHomePage() {
        std::unique_ptr<QDialog> box(
            CreateAboutBox(QStringLiteral("1.0"), QStringLiteral("d"), QString()));
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        auto* link = box->findChild<LinkLabel*>(QStringLiteral("La_URL"));
        UrlCatcher catcher;
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("http://tarvela.cz"))});
    }

    void theActionShowsTheModulesVersion() {
        TempProgramFolder folder;
        THlavni window(folder.path(), QStringLiteral(","));
        VersionModule module(QStringLiteral("2.4 (2026)"));
        PrintModuleOverride use(module);
        MessageBoxRecorder boxes;
        WithModal([&] { ui(window).Akce_OProgramu->trigger(); },
                  [](QWidget* box) {
                      QCOMPARE(box->windowTitle(), QStringLiteral("O programu Tarvela"));
                      QCOMPARE(Text(box, "La_CisloVerzeFR"), QStringLiteral("PRM1  2.4 (2026)"));
                      QCOMPARE(Text(box, "La_CisloVerze"),
                               ProgramVersionText() + QStringLiteral("     2022-07-08"));
                      QTest::keyClick(box, Qt::Key_Escape);
                  });
        QVERIFY(boxes.shown().isEmpty());
    }

    void withoutTheModuleTheBoxOpensAfterItsMessage() {
        TempProgramFolder folder; // no print module in it
        THlavni window(folder.path(), QStringLiteral(","));
        MessageBoxRecorder boxes;
        WithModal([&] { ui(window).Akce_OProgramu->trigger(); },
                  [&boxes](QWidget* box) {
                      // The module's message came first.
                      QCOMPARE(boxes.shown().size(), 1);
                      QCOMPARE(boxes.shown()[0].text, QStringLiteral("Nelze načíst DLL!"));
                      QCOMPARE(Text(box, "La_CisloVerzeFR"), QStringLiteral("PRM1  "));
                      QTest::keyClick(box, Qt::Key_Escape);
                  });
        QCOMPARE(boxes.shown().size(), 1);
    }

    void withTheRealModuleBesideTheProgram() {
        TempProgramFolder folder;
        QVERIFY(QFile::copy(QStringLiteral(TARVELA_PRM1_FILE), folder.file(PrintModuleFileName())));
        THlavni window(folder.path(), QStringLiteral(","));
        MessageBoxRecorder boxes;
        WithModal([&] { ui(window).Akce_OProgramu->trigger(); },
                  [](QWidget* box) {
                      const QString text = Text(box, "La_CisloVerzeFR");
                      QVERIFY(text.startsWith(QStringLiteral("PRM1  ")));
                      QVERIFY(text.size() > 6);
                      QTest::keyClick(box, Qt::Key_Escape);
                  });
        QVERIFY(boxes.shown().isEmpty());
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
