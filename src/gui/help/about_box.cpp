#include "help/about_box.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <memory>
#include <utility>

#include "help/help_links.h"
#include "text/form_font.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"
#include "text/message_boxes.h"
#include "ui_about_box.h"

namespace tarvela {

namespace {

// The box as designed in about_box.ui; its controls are its own.
class AboutBox : public QDialog {
public:
    AboutBox(const QString& programVersion, const QString& buildDate,
             const QString& printModuleText, QWidget* parent)
        : QDialog(parent, FixedDialogFlags(true)) {
        ui_.setupUi(this);
        setWindowTitle(QStringLiteral("O programu ") + QLatin1String(kApplicationTitle));
        ApplyFormFont(this);
        const std::pair<QLabel*, QString> values[] = {
            {ui_.La_CisloVerze, programVersion + QStringLiteral("     ") + buildDate},
            {ui_.La_CisloVerzeFR, printModuleText},
            {ui_.La_Autor, QString::fromUtf8(kAboutAuthor)},
            {ui_.La_Telefon, QString::fromUtf8(kAboutHotLine)},
            {ui_.La_AutorskaPrava, AboutRightsNotice()},
            {ui_.La_URL, QString::fromLatin1(kHomePageAddress)},
        };
        for (const auto& [label, text] : values) {
            label->setText(text);
            label->adjustSize();
        }
        setFixedSize(size());
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }

private:
    Ui::OProgramu ui_;
};

} // namespace

QString AboutRightsNotice() {
    const int endYear = std::max(CurrentYear(), kAboutFirstYear);
    return QStringLiteral("© %1-%2 %3")
        .arg(kAboutFirstYear)
        .arg(endYear)
        .arg(QString::fromUtf8(kAboutRightsHolder));
}

QDialog* CreateAboutBox(const QString& programVersion, const QString& buildDate,
                        const QString& printModuleText, QWidget* parent) {
    return new AboutBox(programVersion, buildDate, printModuleText, parent);
}

void ShowAboutBox(const QString& programVersion, const QString& buildDate,
                  const QString& printModuleText, QWidget* parent) {
    std::unique_ptr<QDialog> box(
        CreateAboutBox(programVersion, buildDate, printModuleText, parent));
    box->exec();
}

} // namespace tarvela
