// Help, home page and report manual: the addresses the program hands to the desktop, the help
// pages and the manual that those addresses reach, and the main window's three actions.
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>
#include <QtTest>

#include "help/help_links.h"
#include "support/test_support.h"
#include "support/thlavni_access.h"
#include "text/message_boxes.h"

using namespace tarvela;
using tarvela::test::TempProgramFolder;

namespace {

// Catches what the program asks the desktop to open, instead of starting a browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlCatcher() override {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }
};

QString ReadText(const QString& path) {
    return QString::fromUtf8(tarvela::test::ReadFileBytes(path));
}

} // namespace

class HelpLinksTest : public QObject {
    Q_OBJECT

private slots:
    void addressesAreLocalFilesBesideTheProgram() {
        const QString folder = QStringLiteral("/opt/Moje faktury #2/Tarvela/");
        const QString help = HelpPageAddress(folder, QStringLiteral("page0000"));
        QVERIFY(help.startsWith(HelpIndexAddress(folder)));
        QVERIFY(help.endsWith(QStringLiteral("?STRANA=page0000")));
        const QUrl url(help);
        QVERIFY(url.isLocalFile());
        QCOMPARE(url.toLocalFile(), folder + QStringLiteral("help/index.html"));
        QCOMPARE(url.query(), QStringLiteral("STRANA=page0000"));

        const QUrl manual(ReportManualAddress(QStringLiteral("/opt/Tarvela")));
        QCOMPARE(manual.toLocalFile(), QStringLiteral("/opt/Tarvela/help/sablony.html"));
        QCOMPARE(HomePageUrl(), QStringLiteral("http://tarvela.cz"));
    }

    void theWindowsActionsOpenHelpHomePageAndManual() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("help/index.html"), "<html></html>");
        THlavni window(folder.path(), QStringLiteral(","));
        UrlCatcher catcher;

        ui(window).Akce_Napoveda->trigger();
        QCOMPARE(catcher.urls.size(), 1);
        const QUrl help = catcher.urls.takeFirst();
        QVERIFY(help.isLocalFile());
        QCOMPARE(QDir::cleanPath(help.toLocalFile()),
                 QDir::cleanPath(folder.file(QStringLiteral("help/index.html"))));
        QCOMPARE(QUrlQuery(help).queryItemValue(QStringLiteral("STRANA")),
                 QStringLiteral("page0000"));

        ui(window).Akce_WebDomu->trigger();
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls.takeFirst(), QUrl(QStringLiteral("http://tarvela.cz")));

        ui(window).Akce_NavodFR->trigger();
        QCOMPARE(catcher.urls.size(), 1);
        const QUrl manual = catcher.urls.takeFirst();
        QVERIFY(manual.isLocalFile());
        QVERIFY(!manual.hasQuery());
        QCOMPARE(QDir::cleanPath(manual.toLocalFile()),
                 QDir::cleanPath(folder.file(QStringLiteral("help/sablony.html"))));

        for (QAction* a : {ui(window).Akce_Napoveda, ui(window).Akce_WebDomu,
                           ui(window).Akce_NavodFR, ui(window).Akce_OProgramu})
            QVERIFY(a->isEnabled());
    }

    // Without a browser (the offscreen desktop has none) or without the help file, "Nápověda"
    // says so in a box that names the help file's path.
    void helpThatCannotBeShownNamesItsFile() {
        TempProgramFolder folder;
        MessageBoxRecorder boxes;
        THlavni window(folder.path(), QStringLiteral(","));
        const QString path =
            QDir::toNativeSeparators(folder.file(QStringLiteral("help/index.html")));
        QCOMPARE(HelpFilePath(folder.path()), path);

        ui(window).Akce_Napoveda->trigger();
        QCOMPARE(boxes.takeShown(),
                 (QList<ShownBox>{{BoxKind::Warning, QStringLiteral("Upozornění"),
                                   QStringLiteral("Nápověda nebyla nalezena: soubor „%1“ "
                                                  "neexistuje. Nainstalujte program znovu "
                                                  "(scripts/run.sh).")
                                       .arg(path)}}));

        folder.writeBytes(QStringLiteral("help/index.html"), "<html></html>");
        ui(window).Akce_Napoveda->trigger();
        QCOMPARE(boxes.takeShown(),
                 (QList<ShownBox>{{BoxKind::Warning, QStringLiteral("Upozornění"),
                                   QStringLiteral("Nápovědu se nepodařilo otevřít: na tomto "
                                                  "počítači není nastaven webový prohlížeč ani "
                                                  "jiný program, který by ji zobrazil.\r\n"
                                                  "Nápověda je v souboru „%1“; otevřete jej v "
                                                  "prohlížeči.")
                                       .arg(path)}}));
    }

    // The build puts the help beside the program; every address above must reach a page.
    void theBuiltHelpHonoursThePageKeyAndLeadsSomewhere() {
        const QString dir = QStringLiteral(TARVELA_HELP_DIR) + QLatin1Char('/');
        const QString index = ReadText(dir + QStringLiteral("index.html"));
        QVERIFY(index.contains(QStringLiteral("id=\"page0000\"")));
        QVERIFY(index.contains(QStringLiteral("STRANA=")));
        QVERIFY(index.contains(QStringLiteral("Tarvela")));

        const QString manual = ReadText(dir + QStringLiteral("sablony.html"));
        QVERIFY(manual.contains(QStringLiteral("<h1>")));
        QVERIFY(manual.contains(QStringLiteral("</html>")));

        // Every local link of every page names a file that is there.
        const QStringList pages = QDir(dir).entryList({QStringLiteral("*.html")}, QDir::Files);
        QVERIFY(pages.size() >= 3);
        const QRegularExpression href(
            QStringLiteral("(?:href|src)=\"(?![a-z0-9]+:)([^\"#?]+)[^\"]*\""));
        for (const QString& page : pages) {
            auto it = href.globalMatch(ReadText(dir + page));
            while (it.hasNext()) {
                const QString target = it.next().captured(1);
                QVERIFY2(QFile::exists(dir + target), qPrintable(page + " -> " + target));
            }
        }
    }
};

QTEST_MAIN(HelpLinksTest)
#include "help_links_test.moc"
