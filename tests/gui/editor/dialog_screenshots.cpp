// Saves a picture of every dialog as a PNG file and its widget tree (class, name, geometry,
// text) as a text file, for comparing a layout before and after a change:
//   dialog_screenshots <folder> [<earlier folder>]
// With an earlier folder it also says, picture by picture, whether the pixels are the same.
// Built on request only (target dialog_screenshots); run it offscreen or under Xvfb.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <memory>

#include "editor/date_dialogs.h"
#include "editor/teditacepolozky.h"
#include "editor/todberatele.h"
#include "editor/totevrit.h"
#include "editor/tseznampolozek.h"
#include "help/about_box.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "settings/tkonfig.h"

using namespace tarvela;

namespace {

QString out;
QString earlier;

QString TextOf(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    return QString();
}

void Tree(QTextStream& s, const QWidget* w, int depth) {
    s << QString(depth * 2, QLatin1Char(' ')) << w->metaObject()->className() << ' '
      << w->objectName() << ' ' << w->geometry().x() << ',' << w->geometry().y() << ' '
      << w->width() << 'x' << w->height() << (w->isVisibleTo(w->window()) ? "" : " hidden") << " \""
      << TextOf(w) << "\" " << QFontInfo(w->font()).family() << ' '
      << QFontInfo(w->font()).pixelSize() << (w->font().bold() ? " bold" : "") << '\n';
    for (QObject* child : w->children())
        if (auto* cw = qobject_cast<QWidget*>(child); cw && !cw->isWindow())
            Tree(s, cw, depth + 1);
}

void Save(QWidget* w, const QString& name) {
    QTest::qWait(50);
    const QImage picture = w->grab().toImage();
    picture.save(out + QLatin1Char('/') + name + QStringLiteral(".png"));
    if (!earlier.isEmpty()) {
        const QImage before(earlier + QLatin1Char('/') + name + QStringLiteral(".png"));
        const bool same = before.convertToFormat(QImage::Format_ARGB32) ==
                          picture.convertToFormat(QImage::Format_ARGB32);
        QTextStream(stdout) << name << (same ? ": same pixels\n" : ": DIFFERENT\n");
    }
    QFile f(out + QLatin1Char('/') + name + QStringLiteral(".txt"));
    if (f.open(QIODevice::WriteOnly)) {
        QTextStream s(&f);
        s << w->windowTitle() << '\n';
        Tree(s, w, 0);
    }
}

void Show(QWidget* w, const QString& name) {
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        return;
    Save(w, name);
    w->close();
}

// Grabs the next modal dialog once it is up, then cancels it.
void GrabModal(const QString& name) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [name, poll] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            d && d->isVisible()) {
            Save(d, name);
            d->reject();
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    earlier = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(out);
    QTemporaryDir folder;
    const QString programFolder = folder.path() + QLatin1Char('/');
    QDir(programFolder).mkpath(QStringLiteral("2026"));

    AppSettings settings;
    settings.Platce = true;
    settings.Dodavatel.Nazev = QStringLiteral("Žluťoučký kůň s.r.o.");
    {
        TKonfig d(settings, programFolder);
        Show(&d, QStringLiteral("tkonfig_page1"));
        d.findChild<QTabWidget*>()->setCurrentIndex(1);
        Show(&d, QStringLiteral("tkonfig_page2"));
    }
    {
        InvoiceItemRow row;
        row.Kod = QStringLiteral("A1");
        row.Dodavka = QStringLiteral("Oprava čerpadla");
        TEditacePolozky d(row, RowAmount{}, settings, programFolder);
        Show(&d, QStringLiteral("teditacepolozky"));
    }
    {
        TSeznamPolozek d(programFolder, true);
        d.SetYear(QStringLiteral("2026"));
        Show(&d, QStringLiteral("tseznampolozek"));
    }
    {
        TOtevrit d(programFolder);
        d.SetYear(QStringLiteral("2026"));
        Show(&d, QStringLiteral("totevrit"));
    }
    {
        // A few customers over two periods for the address book.
        const InvoiceStore store(programFolder);
        const char* const names[][3] = {{"K1", "Žluťoučký kůň s.r.o.", "Třebíč"},
                                        {"", "Alfa stavby a.s.", "Praha 4"},
                                        {"G7", "Gama – instalatérství", "Ostrava"}};
        int n = 0;
        for (int year : {2025, 2026}) {
            store.EnsurePeriodFolder(year);
            for (const auto& customer : names) {
                InvoiceRecord r;
                r.Cislo = QStringLiteral("%1%2").arg(year).arg(++n, 3, 10, QLatin1Char('0'));
                r.DatumVystaveni = QDate(year, 1 + n % 12, 3);
                r.DatumPlneni = r.DatumSplatnosti = r.DatumVystaveni;
                r.OdberatelKod = QString::fromUtf8(customer[0]);
                r.OdberatelNazev1 = QString::fromUtf8(customer[1]);
                r.OdberatelMesto = QString::fromUtf8(customer[2]);
                r.OdberatelIC = QStringLiteral("25596641");
                WriteInvoiceFile(r, store.InvoiceFilePath(year, r.Cislo));
            }
        }
        TOdberatele d(programFolder);
        Show(&d, QStringLiteral("todberatele"));
    }
    {
        std::unique_ptr<QDialog> box(CreateAboutBox(
            QStringLiteral("1.0.0"), QStringLiteral("1. 12. 2026"), QStringLiteral("PRM1 1.0")));
        Show(box.get(), QStringLiteral("about"));
    }
    QDate date(2026, 12, 9);
    GrabModal(QStringLiteral("date"));
    AskDate(date, QStringLiteral("Datum plnění"));
    quint16 year = 2026;
    GrabModal(QStringLiteral("year"));
    AskYear(year, 2020, QStringLiteral("Změna období"));
    return 0;
}
