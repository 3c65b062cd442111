#pragma once

// The main window over a throw-away program folder, for the tests of the invoice lifecycle and
// the item grid: fixed date, recorded message boxes, helpers that click and type like a user.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <optional>

#include "editor/totevrit.h"
#include "support/controls.h"
#include "support/list_views.h"
#include "support/modal_dialog.h"
#include "support/test_support.h"
#include "support/thlavni_access.h"
#include "text/clock.h"
#include "text/codec.h"
#include "text/message_boxes.h"
#include "text/sliced_work.h"

namespace tarvela::test {

inline const QByteArray kPayerIni = "[NASTAVENI]\r\nAktualniRok=2026\r\nVychoziMena=CZK\r\n"
                                    "Platce=1\r\nSazbaDPH1=21\r\nSazbaDPH2=15\r\nSazbaDPH3=10\r\n"
                                    "DobaSplatnosti=14\r\nTypSymbolu=1\r\n";

// The tests' one main window: a throw-away program folder with the files a test needs, recorded
// message boxes, and the window started over them.
struct MainWindowFixture {
    // What the program folder and the window start with; each setter returns the setup.
    struct Setup {
        QByteArray ini = kPayerIni; // Tarvela.ini as written (none when empty)
        // Today as the program sees it; the machine's date when empty.
        std::optional<QDate> today = QDate(2026, 3, 5);
        bool show = true;                        // the window shown at once
        QString separator = QStringLiteral(","); // the decimal separator of the system
        // Writes what else the program folder holds before the window starts.
        std::function<void(const TempProgramFolder&)> files;

        Setup& Ini(const QByteArray& bytes) {
            ini = bytes;
            return *this;
        }
        Setup& MachineToday() {
            today.reset();
            return *this;
        }
        Setup& Hidden() {
            show = false;
            return *this;
        }
        Setup& Separator(const QString& text) {
            separator = text;
            return *this;
        }
        Setup& Files(std::function<void(const TempProgramFolder&)> write) {
            files = std::move(write);
            return *this;
        }
    };

    explicit MainWindowFixture(const QByteArray& ini = kPayerIni)
        : MainWindowFixture(Setup().Ini(ini)) {}
    explicit MainWindowFixture(const Setup& setup) {
        if (setup.today)
            today.emplace(*setup.today);
        if (!setup.ini.isEmpty())
            folder.writeBytes(QStringLiteral("Tarvela.ini"), setup.ini);
        if (setup.files)
            setup.files(folder);
        window = std::make_unique<THlavni>(folder.path(), setup.separator);
        if (setup.show)
            window->show();
    }

    THlavni& w() { return *window; }

    QString periodFile(const QString& number) const {
        return folder.file(QStringLiteral("2026") + QDir::separator() + number +
                           QStringLiteral(".tvl"));
    }
    QByteArray periodBytes(const QString& number) const {
        return ReadFileBytes(periodFile(number));
    }
    void writePeriodFile(const QString& number, const QByteArray& bytes) const {
        folder.writeBytes(QStringLiteral("2026/") + number + QStringLiteral(".tvl"), bytes);
    }

    TempProgramFolder folder;
    std::optional<ScopedToday> today;
    MessageBoxRecorder boxes;
    std::unique_ptr<THlavni> window;
};

// Invoice file bytes from 49 (or fewer) line texts: Windows-1250, CR LF after each line.
inline QByteArray FileOfLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += EncodeCp1250(line) + "\r\n";
    return bytes;
}

// Chooses Open and double-clicks the list row whose number is `number` (Storno when empty).
inline void OpenThroughDialog(THlavni& w, const QString& number) {
    OnNextModal([number](QWidget* modal) {
        auto* dialog = qobject_cast<TOtevrit*>(modal);
        if (!dialog) {
            QTest::qFail("the open dialog did not appear", __FILE__, __LINE__);
            return;
        }
        QTreeView* list = Control<QTreeView>(dialog, "ListView1");
        const QModelIndexList found = RowsWith(list, number);
        if (number.isEmpty() || found.isEmpty()) {
            Control<QPushButton>(dialog, "Tl_Storno")->click();
            return;
        }
        ChooseRow(list, found.first());
    });
    ui(w).Akce_OtevritFakturu->trigger();
}

// Shows the page "Položky" and clicks grid row `row` (1 to 25), column 2.
inline void ClickRow(THlavni& w, int row) {
    if (ui(w).PageControl1->currentIndex() != 1)
        ui(w).PageControl1->setCurrentIndex(1);
    QTableWidget* grid = ui(w).Grid1;
    grid->scrollToItem(grid->item(row - 1, 1));
    const QPoint at = grid->visualItemRect(grid->item(row - 1, 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
}

// Pastes a text into grid row `row` through the clipboard and the paste action.
inline void PasteRow(THlavni& w, int row, const QString& text) {
    ClickRow(w, row);
    QGuiApplication::clipboard()->setText(text);
    ui(w).Akce_VlozitPolozku->trigger();
}

// The six cells of a grid row as the item line of the file.
inline QString RowText(const THlavni& w, int row) {
    QString text;
    for (int col = 1; col <= 6; ++col)
        text += editor(w).Cell(col, row) + QLatin1Char('|');
    return text;
}

// Types a text key by key, accented letters included.
inline void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

} // namespace tarvela::test
