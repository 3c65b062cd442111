// The invoice book through the main window: the statuses on the boundary days, sorting by value,
// the filters and the sums per currency, marking an invoice paid (the bytes written), the refusal
// while the invoice has unsaved edits, opening an invoice from the book, the start-up notice and
// the reminder printed through the real print module.
#include "support/main_window_fixture.h"

#include "../printing/pdf_print_module.h"
#include "editor/tknihafaktur.h"
#include "support/controls.h"
#include "support/list_views.h"
#include "support/printing_fixtures.h"
#include "support/sample_invoices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTreeView>

using namespace tarvela;
using namespace tarvela::test;

namespace {

// One invoice of the period: one item row of `price` at `rate` %, the payment lines as given.
struct Invoice {
    const char* number;
    const char* due;
    const char* customer;
    const char* price;
    const char* rate;
    const char* paidOn;
    const char* currency;
    const char* paid;
};

QMap<int, QString> LinesOf(const Invoice& i) {
    return {{1, QString::fromUtf8(i.number)},
            {2, QString::fromUtf8(i.number)},
            {6, QStringLiteral("PP")},
            {7, QStringLiteral("1.2.2026")},
            {8, QStringLiteral("1.2.2026")},
            {9, QString::fromUtf8(i.due)},
            {11, QString::fromUtf8(i.customer)},
            {14, QStringLiteral("Mlýnská 5")},
            {15, QStringLiteral("62800")},
            {16, QStringLiteral("Brno")},
            {17, QStringLiteral("87654321")},
            {19, QStringLiteral("A1|Práce|ks|1|%1|%2|")
                     .arg(QString::fromUtf8(i.price), QString::fromUtf8(i.rate))},
            {46, QStringLiteral("0")},
            {47, QString::fromUtf8(i.paidOn)},
            {48, QString::fromUtf8(i.currency)},
            {49, QString::fromUtf8(i.paid)}};
}

// Today is 5.3.2026: due today, due yesterday, paid late in full, partly paid before the due
// date, another currency long overdue.
const Invoice kPeriod[] = {
    {"2026001", "5.3.2026", "Pekárna U Mlýna", "1000", "21", "", "CZK", ""},
    {"2026002", "4.3.2026", "Obec Lipová", "1000", "21", "", "CZK", ""},
    {"2026003", "1.2.2026", "Pekárna U Mlýna", "1000", "21", "20.2.2026", "CZK", "1210,00"},
    {"2026004", "10.3.2026", "Autodíly Brno", "1000", "21", "1.3.2026", "CZK", "500"},
    {"2026005", "20.2.2026", "Weber GmbH", "90", "0", "", "EUR", ""},
};

// The main window over a program folder with the invoices, today 5.3.2026.
struct BookWindow : MainWindowFixture {
    explicit BookWindow(const std::vector<Invoice>& invoices)
        : MainWindowFixture(Setup().Ini({}).Files([&](const TempProgramFolder& folder) {
              SaveSettings(folder.path(), PayerSettings());
              for (const Invoice& invoice : invoices)
                  folder.writeBytes(
                      QStringLiteral("2026/%1.tvl").arg(QString::fromUtf8(invoice.number)),
                      InvoiceFileBytes(LinesOf(invoice)));
              QFile source(tarvela::test::TemplatePath(QStringLiteral("Upominka.fr3")));
              if (source.open(QIODevice::ReadOnly)) // the build's template
                  folder.writeBytes(QStringLiteral("Ses/Upominka.fr3"), source.readAll());
          })) {}
    QString file(const char* number) const {
        return folder.file(QStringLiteral("2026/%1.tvl").arg(QString::fromUtf8(number)));
    }

    // Runs `whileUp` on the book opened through its action.
    void withBook(const std::function<void(TKnihaFaktur*)>& whileUp) {
        WithModal([this] { ui(*window).Akce_KnihaFaktur->trigger(); },
                  [&](QWidget* modal) {
                      auto* book = qobject_cast<TKnihaFaktur*>(modal);
                      QVERIFY2(book, "the book did not open");
                      whileUp(book);
                      if (book->isVisible())
                          book->reject();
                  });
    }
};

QTreeView* List(TKnihaFaktur* book) {
    return Control<QTreeView>(book, "ListView1");
}

// The texts of the row of the invoice with that number, as the list shows them.
QStringList Row(TKnihaFaktur* book, const QString& number) {
    const QModelIndexList found = test::RowsWith(List(book), number);
    return found.isEmpty() ? QStringList() : test::RowTexts(List(book), found.first().row());
}

// The numbers of the rows shown, top to bottom.
QStringList ShownNumbers(TKnihaFaktur* book) {
    QStringList numbers;
    for (int row = 0; row < test::RowCount(List(book)); ++row)
        numbers << test::Cell(List(book), row, 0);
    return numbers;
}

// The lines of the sums list: "CZK 4 4840,00 1710,00 3130,00".
QStringList Sums(TKnihaFaktur* book) {
    QStringList lines;
    auto* sums = Control<QTreeView>(book, "ListSoucty");
    for (int row = 0; row < test::RowCount(sums); ++row)
        lines << test::RowTexts(sums, row).join(QLatin1Char(' '));
    return lines;
}

void ClickRow(TKnihaFaktur* book, const QString& number, bool twice = false) {
    QTreeView* list = List(book);
    const QModelIndexList found = test::RowsWith(list, number);
    QVERIFY2(!found.isEmpty(), qPrintable(number));
    list->scrollTo(found.first());
    const QPoint at = list->visualRect(found.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void ClickHeader(TKnihaFaktur* book, int column) {
    QHeaderView* header = List(book)->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, 5));
}

// Marks the row paid through the payment dialog, typing the date and the amount.
void MarkPaid(TKnihaFaktur* book, const QString& number, const QString& date,
              const QString& amount) {
    ClickRow(book, number);
    WithModal([book] { Control<QPushButton>(book, "Tl_Uhrazeno")->click(); },
              [&](QWidget* dialog) {
                  QLineEdit* dateEdit = Control<QLineEdit>(dialog, "Ed_Datum");
                  QLineEdit* amountEdit = Control<QLineEdit>(dialog, "Ed_Castka");
                  QCOMPARE(dateEdit->text(), QStringLiteral("5.3.2026"));
                  dateEdit->clear();
                  QTest::keyClicks(dateEdit, date);
                  amountEdit->clear();
                  QTest::keyClicks(amountEdit, amount);
                  Control<QPushButton>(dialog, "Tl_Ok")->click();
              });
}

} // namespace

class InvoiceBookWindowTest : public QObject {
    Q_OBJECT
private slots:
    void statusesSortingFilterAndSums();
    void markingPaidRewritesOnlyThePaymentLines();
    void openInvoiceWithEditsRefusesThePayment();
    void doubleClickAndEnterOpenTheInvoice();
    void startUpNoticeOpensTheOverdueOnes();
    void noticeFollowsTheShownWindow();
    void windowShownBeforeItsForm();
    void bookClosesWhileReading();
    void savingAnInvoiceRefreshesTheNotice();
    void reminderPrintsWithTheQrOfWhatIsOwed();
};

void InvoiceBookWindowTest::statusesSortingFilterAndSums() {
    BookWindow bw(std::vector<Invoice>(std::begin(kPeriod), std::end(kPeriod)));
    bw.withBook([](TKnihaFaktur* book) {
        const struct {
            const char* number;
            const char* total;
            const char* paid;
            const char* status;
        } expected[] = {
            {"2026001", "1210,00", "", "Neuhrazeno"},
            {"2026002", "1210,00", "", "Po splatnosti 1 den"},
            {"2026003", "1210,00", "1210,00", "Uhrazeno"},
            {"2026004", "1210,00", "500,00", "Částečně uhrazeno"},
            {"2026005", "90,00", "", "Po splatnosti 13 dní"},
        };
        for (const auto& e : expected) {
            const QStringList row = Row(book, QString::fromUtf8(e.number));
            QVERIFY2(!row.isEmpty(), e.number);
            QCOMPARE(row.at(4), QString::fromUtf8(e.total));
            QCOMPARE(row.at(7), QString::fromUtf8(e.paid));
            QCOMPARE(row.at(8), QString::fromUtf8(e.status));
        }
        QCOMPARE(ShownNumbers(book),
                 QStringList({"2026001", "2026002", "2026003", "2026004", "2026005"}));
        QCOMPARE(Sums(book),
                 QStringList({"CZK 4 4840,00 1710,00 3130,00", "EUR 1 90,00 0,00 90,00"}));

        // Dates and amounts sort as values: as text "10.3." would come before "4.3." and
        // "90,00" after "1210,00".
        ClickHeader(book, 3);
        QCOMPARE(ShownNumbers(book),
                 QStringList({"2026003", "2026005", "2026002", "2026001", "2026004"}));
        ClickHeader(book, 4);
        QCOMPARE(ShownNumbers(book).first(), QStringLiteral("2026005"));
        ClickHeader(book, 0);

        // The text without accents finds the customer; the status filter keeps the overdue.
        // The chosen row the filter leaves out is not replaced by another one.
        ClickRow(book, QStringLiteral("2026002"));
        QVERIFY(Control<QPushButton>(book, "Tl_Uhrazeno")->isEnabled());
        QTest::keyClicks(Control<QLineEdit>(book, "Ed_Hledat"), QStringLiteral("mlyna"));
        QCOMPARE(ShownNumbers(book), QStringList({"2026001", "2026003"}));
        QVERIFY(List(book)->selectionModel()->selectedRows().isEmpty());
        QVERIFY(!Control<QPushButton>(book, "Tl_Uhrazeno")->isEnabled());
        QCOMPARE(Sums(book), QStringList({"CZK 2 2420,00 1210,00 1210,00"}));
        Control<QLineEdit>(book, "Ed_Hledat")->clear();
        Control<QComboBox>(book, "CBox_Stav")->setCurrentText(QStringLiteral("Po splatnosti"));
        QCOMPARE(ShownNumbers(book), QStringList({"2026002", "2026005"}));
        Control<QComboBox>(book, "CBox_Stav")->setCurrentText(QStringLiteral("Neuhrazené"));
        QCOMPARE(ShownNumbers(book), QStringList({"2026001", "2026002", "2026004", "2026005"}));
    });
    QVERIFY(bw.boxes.shown().isEmpty());
}

void InvoiceBookWindowTest::markingPaidRewritesOnlyThePaymentLines() {
    const Invoice due = kPeriod[0];
    BookWindow bw({due});
    const QByteArray before = ReadFileBytes(bw.file(due.number));
    bw.withBook([&](TKnihaFaktur* book) {
        // A date that does not exist is refused and nothing is written.
        ClickRow(book, QStringLiteral("2026001"));
        WithModal([book] { Control<QPushButton>(book, "Tl_Uhrazeno")->click(); },
                  [&](QWidget* dialog) {
                      QLineEdit* date = Control<QLineEdit>(dialog, "Ed_Datum");
                      date->setText(QStringLiteral("31.2.2026"));
                      Control<QPushButton>(dialog, "Tl_Ok")->click();
                      QVERIFY(dialog->isVisible());
                      QCOMPARE(bw.boxes.shown().size(), 1);
                      QVERIFY(bw.boxes.shown().first().text.contains(QStringLiteral("31.2.2026")));
                      Control<QPushButton>(dialog, "Tl_Storno")->click();
                  });
        QCOMPARE(ReadFileBytes(bw.file(due.number)), before);

        // A partial payment, typed with a full stop for the decimal comma.
        MarkPaid(book, QStringLiteral("2026001"), QStringLiteral("4.3.2026"),
                 QStringLiteral("600.5"));
        QCOMPARE(Row(book, QStringLiteral("2026001")).value(8),
                 QStringLiteral("Částečně uhrazeno"));
        QCOMPARE(Row(book, QStringLiteral("2026001")).value(6), QStringLiteral("4.3.2026"));
        QCOMPARE(Sums(book), QStringList({"CZK 1 1210,00 600,50 609,50"}));
    });
    QMap<int, QString> lines = LinesOf(due);
    lines[47] = QStringLiteral("4.3.2026");
    lines[49] = QStringLiteral("600,50");
    QCOMPARE(ReadFileBytes(bw.file(due.number)), InvoiceFileBytes(lines));
}

void InvoiceBookWindowTest::openInvoiceWithEditsRefusesThePayment() {
    const Invoice due = kPeriod[1];
    BookWindow bw({due});
    bw.window->OpenInvoiceFile(bw.file(due.number));
    ui(*bw.window).Ed_Fa3->setText(QStringLiteral("OBJ-9"));
    QVERIFY(bw.window->IsModified());
    const QByteArray before = ReadFileBytes(bw.file(due.number));
    bw.withBook([&](TKnihaFaktur* book) {
        ClickRow(book, QStringLiteral("2026002"));
        Control<QPushButton>(book, "Tl_Uhrazeno")->click(); // refused before any dialog
        QCOMPARE(bw.boxes.shown().size(), 1);
        QCOMPARE(bw.boxes.shown().first().text,
                 QStringLiteral("Faktura 2026002 je otevřená v hlavním okně a má neuložené "
                                "změny. Uložte ji nebo ji zavřete, pak ji označte jako "
                                "uhrazenou."));
    });
    QCOMPARE(ReadFileBytes(bw.file(due.number)), before);

    // Saved, the payment goes through and the window shows it without a change to save.
    ui(*bw.window).Akce_UlozitFakturu->trigger();
    QVERIFY(!bw.window->IsModified());
    bw.withBook([&](TKnihaFaktur* book) {
        MarkPaid(book, QStringLiteral("2026002"), QStringLiteral("5.3.2026"),
                 QStringLiteral("1210,00"));
        QCOMPARE(Row(book, QStringLiteral("2026002")).value(8), QStringLiteral("Uhrazeno"));
    });
    QCOMPARE(ui(*bw.window).Ed_DatumUhrady->text(), QStringLiteral("5.3.2026"));
    QCOMPARE(ui(*bw.window).Ed_UhrazenaCastka->text(), QStringLiteral("1210,00"));
    QVERIFY(!bw.window->IsModified());
    QVERIFY(!ui(*bw.window).Akce_UlozitFakturu->isEnabled());
    QCOMPARE(bw.window->WindowRecord().Objednavka, QStringLiteral("OBJ-9"));
}

void InvoiceBookWindowTest::doubleClickAndEnterOpenTheInvoice() {
    BookWindow bw({kPeriod[0], kPeriod[1]});
    bw.withBook([](TKnihaFaktur* book) { ClickRow(book, QStringLiteral("2026002"), true); });
    QVERIFY(bw.window->InvoiceOpen());
    QCOMPARE(ui(*bw.window).Ed_Fa1->text(), QStringLiteral("2026002"));

    // With unsaved edits the usual question comes first; Storno keeps the open invoice.
    ui(*bw.window).Ed_Fa3->setText(QStringLiteral("OBJ-9"));
    bw.boxes.queueAnswer(Answer::Cancel);
    bw.withBook([](TKnihaFaktur* book) {
        ClickRow(book, QStringLiteral("2026001"));
        QTest::keyClick(List(book), Qt::Key_Return);
    });
    QCOMPARE(ui(*bw.window).Ed_Fa1->text(), QStringLiteral("2026002"));
    QCOMPARE(bw.boxes.shown().size(), 1);
    QCOMPARE(bw.boxes.shown().first().kind, BoxKind::YesNoCancel);

    // No: the edits are dropped and the chosen invoice opens.
    bw.boxes.queueAnswer(Answer::No);
    bw.withBook([](TKnihaFaktur* book) {
        ClickRow(book, QStringLiteral("2026001"));
        QTest::keyClick(List(book), Qt::Key_Return);
    });
    QCOMPARE(ui(*bw.window).Ed_Fa1->text(), QStringLiteral("2026001"));
    QVERIFY(!bw.window->IsModified());
}

void InvoiceBookWindowTest::startUpNoticeOpensTheOverdueOnes() {
    BookWindow bw(std::vector<Invoice>(std::begin(kPeriod), std::end(kPeriod)));
    QPushButton* notice = Control<QPushButton>(bw.window->statusBar(), "Tl_PoSplatnosti");
    QTRY_VERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QStringLiteral("2 faktury jsou po splatnosti"));
    QStringList shown;
    WithModal([&] { QTest::mouseClick(notice, Qt::LeftButton); },
              [&](QWidget* modal) {
                  auto* book = qobject_cast<TKnihaFaktur*>(modal);
                  QVERIFY(book);
                  shown = ShownNumbers(book);
                  QCOMPARE(Control<QComboBox>(book, "CBox_Stav")->currentText(),
                           QStringLiteral("Po splatnosti"));
                  MarkPaid(book, QStringLiteral("2026002"), QStringLiteral("5.3.2026"),
                           QStringLiteral("1210"));
                  book->reject();
              });
    QCOMPARE(shown, QStringList({"2026002", "2026005"}));
    QCOMPARE(notice->text(), QStringLiteral("1 faktura je po splatnosti"));

    BookWindow none({kPeriod[0], kPeriod[2]});
    QTRY_VERIFY(!none.window->OverdueNoticePending());
    QVERIFY(!Control<QPushButton>(none.window->statusBar(), "Tl_PoSplatnosti")->isVisible());
}

// Nothing of the period is read before the window is shown: the notice follows once the
// window is up and its files are counted, and the window takes input meanwhile.
void InvoiceBookWindowTest::noticeFollowsTheShownWindow() {
    TempProgramFolder folder;
    ScopedToday today{QDate(2026, 3, 5)};
    MessageBoxRecorder boxes;
    SaveSettings(folder.path(), PayerSettings());
    for (const Invoice& invoice : kPeriod)
        folder.writeBytes(QStringLiteral("2026/%1.tvl").arg(QString::fromUtf8(invoice.number)),
                          InvoiceFileBytes(LinesOf(invoice)));
    // What an interrupted save left an hour ago: removed once the window is up.
    folder.writeBytes(QStringLiteral("2026/2026009.tvl.aB3dE9"), "killed");
    const QString stale = folder.file(QStringLiteral("2026/2026009.tvl.aB3dE9"));
    {
        QFile file(stale);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
    }

    THlavni w(folder.path(), QStringLiteral(","));
    QPushButton* notice = Control<QPushButton>(w.statusBar(), "Tl_PoSplatnosti");
    for (int turn = 0; turn < 20; ++turn)
        QCoreApplication::processEvents();
    QVERIFY(!w.OverdueNoticePending());
    QVERIFY(!notice->isVisible());
    QVERIFY(QFileInfo::exists(stale));

    w.show();
    QVERIFY(w.OverdueNoticePending());
    QVERIFY(!notice->isVisible());
    QVERIFY(ui(w).Akce_NovaFaktura->isEnabled());
    QTRY_VERIFY(notice->isVisible());
    QVERIFY(!w.OverdueNoticePending());
    QCOMPARE(notice->text(), QStringLiteral("2 faktury jsou po splatnosti"));
    QVERIFY(!QFileInfo::exists(stale));
    QVERIFY(QFileInfo::exists(folder.file(QStringLiteral("2026/2026001.tvl"))));
}

// The program's start shows the bare frame first and makes the form before the first painting:
// nothing of the form exists while the frame is mapped, and once made it is the same window as
// one made whole, its notice counted after the form was made.
void InvoiceBookWindowTest::windowShownBeforeItsForm() {
    BookWindow whole(std::vector<Invoice>(std::begin(kPeriod), std::end(kPeriod)));
    QVERIFY(QTest::qWaitForWindowExposed(whole.window.get()));
    QTRY_VERIFY(!whole.window->OverdueNoticePending());
    whole.window->hide();

    THlavni frame(whole.folder.path(), QStringLiteral(","), THlavni::Making::FrameFirst);
    frame.show();
    QVERIFY(frame.isVisible());
    QVERIFY(frame.findChildren<QWidget*>().isEmpty());
    frame.MakeForm();
    QVERIFY(frame.OverdueNoticePending());
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_VERIFY(!frame.OverdueNoticePending());
    QCOMPARE(Control<QPushButton>(frame.statusBar(), "Tl_PoSplatnosti")->text(),
             QStringLiteral("2 faktury jsou po splatnosti"));
    QCOMPARE(frame.geometry(), whole.window->geometry());
    QCOMPARE(frame.grab().toImage(), whole.window->grab().toImage());
}

// The book is up before its files are read and closes while it reads them: its rows stop
// growing, and it claims no count of overdue invoices (the notice keeps what it showed).
void InvoiceBookWindowTest::bookClosesWhileReading() {
    TempProgramFolder folder;
    ScopedToday today{QDate(2026, 3, 5)};
    constexpr int kFiles = tarvela::test::kFilesBeyondOneSlice;
    for (int i = 0; i < kFiles; ++i) {
        Invoice invoice = kPeriod[1];
        const QByteArray number = QStringLiteral("F%1").arg(i, 4, 10, QLatin1Char('0')).toUtf8();
        invoice.number = number.constData();
        folder.writeBytes(QStringLiteral("2026/%1.tvl").arg(QString::fromUtf8(number)),
                          InvoiceFileBytes(LinesOf(invoice)));
    }
    TKnihaFaktur book(folder.path(), PayerSettings(), BookHost{});
    book.show();
    QTreeView* list = List(&book);
    auto* counter = Control<QLabel>(&book, "La_Soucty");
    QVERIFY(book.Filling());
    QCOMPARE(test::RowCount(list), 0);
    QCOMPARE(counter->text(), QStringLiteral("Načítám faktury…"));
    QVERIFY(RunEventsUntil([&] { return test::RowCount(list) > 0 || !book.Filling(); }));
    QVERIFY(book.Filling());
    QCOMPARE(counter->text(),
             QStringLiteral("Načítám faktury… %1 z %2").arg(test::RowCount(list)).arg(kFiles));
    QTest::mouseClick(Control<QCheckBox>(&book, "CB_VsechnaObdobi"), Qt::LeftButton);
    QVERIFY(!Control<QCheckBox>(&book, "CB_VsechnaObdobi")->isChecked());

    const int rowsAtClose = test::RowCount(list);
    QTest::mouseClick(Control<QPushButton>(&book, "Tl_Zavrit"), Qt::LeftButton);
    QVERIFY(!book.isVisible());
    QVERIFY(!book.Filling());
    for (int turn = 0; turn < 20; ++turn)
        QCoreApplication::processEvents();
    QCOMPARE(test::RowCount(list), rowsAtClose);
    QVERIFY(rowsAtClose < kFiles);
    QCOMPARE(book.OverdueCount(), -1);
}

void InvoiceBookWindowTest::savingAnInvoiceRefreshesTheNotice() {
    // The period starts with 2026002 and 2026005 overdue.
    const struct {
        const char* number;
        std::function<void(THlavni&)> edit;
        const char* notice;
    } cases[] = {
        {"2026002",
         [](THlavni& w) {
             ui(w).Ed_DatumUhrady->setText(QStringLiteral("5.3.2026"));
             ui(w).Ed_UhrazenaCastka->setText(QStringLiteral("1210,00"));
         },
         "1 faktura je po splatnosti"},
        {"2026001", [](THlavni& w) { ui(w).Datum_Fa9->setDate(QDate(2026, 3, 4)); },
         "3 faktury jsou po splatnosti"},
        {"2026005", [](THlavni& w) { ui(w).Ed_Fa3->setText(QStringLiteral("OBJ-1")); },
         "2 faktury jsou po splatnosti"},
    };
    for (const auto& c : cases) {
        BookWindow bw(std::vector<Invoice>(std::begin(kPeriod), std::end(kPeriod)));
        bw.window->OpenInvoiceFile(bw.file(c.number));
        c.edit(*bw.window);
        QVERIFY(bw.window->IsModified());
        ui(*bw.window).Akce_UlozitFakturu->trigger();
        QVERIFY2(!bw.window->IsModified(), c.number);
        // Saved while the notice was still being counted, and again once it is known.
        QTRY_COMPARE(Control<QPushButton>(bw.window->statusBar(), "Tl_PoSplatnosti")->text(),
                     QString::fromUtf8(c.notice));
        ui(*bw.window).Ed_Komentar1->setText(QStringLiteral("Znovu"));
        ui(*bw.window).Akce_UlozitFakturu->trigger();
        QVERIFY(!bw.window->OverdueNoticePending());
        QCOMPARE(Control<QPushButton>(bw.window->statusBar(), "Tl_PoSplatnosti")->text(),
                 QString::fromUtf8(c.notice));
    }
}

void InvoiceBookWindowTest::reminderPrintsWithTheQrOfWhatIsOwed() {
    LoadedModule loaded;
    QVERIFY2(loaded.isLoaded(), qPrintable(loaded.errorString()));
    const Invoice owed = {"2026006", "1.2.2026",  "Obec Lipová", "1000",
                          "21",      "10.2.2026", "CZK",         "210,00"};
    BookWindow bw({owed, kPeriod[0]});
    PdfPrintModule module(bw.folder.file(QStringLiteral("upominka.pdf")));
    bw.withBook([&](TKnihaFaktur* book) {
        ClickRow(book, QStringLiteral("2026001"));
        QVERIFY(!Control<QPushButton>(book, "Tl_Upominka")->isEnabled()); // not overdue
        ClickRow(book, QStringLiteral("2026006"));
        Control<QPushButton>(book, "Tl_Upominka")->click();
    });
    QVERIFY2(bw.boxes.shown().isEmpty(), qPrintable(bw.boxes.shown().value(0).text));
    QCOMPARE(module.calls, 1);
    QVERIFY2(module.result >= 1, qPrintable(module.message));

    const QString pdf = bw.folder.file(QStringLiteral("upominka.pdf"));
    const QString text = PdfText(pdf).simplified();
    for (const char* expected :
         {"UPOMÍNKA", "2026006", "Obec Lipová", "1.2.2026", "Dnů po splatnosti: 32",
          "je faktura 32 dní po splatnosti", "Zbývá uhradit: 1000,00 CZK", "Již uhrazeno: 210,00",
          "Variabilní symbol: 2026006", "2001234567/2010", "Truhlářství Dvořák s.r.o."})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
    QCOMPARE(DecodeQrCodes(pdf, 1),
             QStringList({"SPD*1.0*ACC:CZ6508000000192000145399*AM:1000.00*CC:CZK*X-VS:2026006"}));
}

QTEST_MAIN(InvoiceBookWindowTest)
#include "invoice_book_window_test.moc"
