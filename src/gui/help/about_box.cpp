#include "help/about_box.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <memory>

#include "help/help_links.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

namespace tarvela {

namespace {

constexpr int kCaptionLeft = 80;
constexpr int kValueLeft = 240;
constexpr int kFirstRowTop = 16;
constexpr int kRowStep = 24;
constexpr int kWidth = 520;

QLabel* AddLabel(QDialog* box, QLabel* label, const char* name, const QString& text, int left,
                 int top) {
    label->setParent(box);
    label->setObjectName(QString::fromLatin1(name));
    label->setText(text);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    return label;
}

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
    auto* box =
        new QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    box->setObjectName(QStringLiteral("OProgramu"));
    box->setWindowTitle(QStringLiteral("O programu ") + QLatin1String(kApplicationTitle));
    QFont f(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(8);
    box->setFont(f);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, Qt::white);
    box->setPalette(pal);
    box->setAutoFillBackground(true);

    struct Row {
        const char* captionName;
        const char* caption;
        const char* valueName;
        QString value;
        QLabel* valueLabel;
    };
    const Row rows[] = {
        {"La_VerzeProgramu", "Verze programu:", "La_CisloVerze",
         programVersion + QStringLiteral("     ") + buildDate, new QLabel},
        {"La_VerzeFR", "Verze tiskového modulu:", "La_CisloVerzeFR", printModuleText, new QLabel},
        {"La_AutorProgramu", "Autor programu:", "La_Autor", QString::fromUtf8(kAboutAuthor),
         new QLabel},
        {"La_HotLine", "HotLine:", "La_Telefon", QString::fromUtf8(kAboutHotLine), new QLabel},
        {"La_Copyright", "Copyright:", "La_AutorskaPrava", AboutRightsNotice(), new QLabel},
        {"La_DomovskaStranka", "Domovská stránka:", "La_URL", QString::fromLatin1(kHomePageAddress),
         new LinkLabel},
    };

    QFont captionFont = f;
    captionFont.setBold(true);
    QPalette captionPalette = pal;
    captionPalette.setColor(QPalette::WindowText, QColor(3, 63, 113));

    int top = kFirstRowTop;
    int lastTop = top;
    for (const Row& row : rows) {
        QLabel* caption = AddLabel(box, new QLabel, row.captionName, QString::fromUtf8(row.caption),
                                   kCaptionLeft, top);
        caption->setFont(captionFont);
        caption->setPalette(captionPalette);
        caption->adjustSize();
        AddLabel(box, row.valueLabel, row.valueName, row.value, kValueLeft, top);
        lastTop = top;
        top += kRowStep;
    }

    auto* ok = new QPushButton(QStringLiteral("Ok"), box);
    ok->setObjectName(QStringLiteral("Tl_Ok"));
    ok->setGeometry(376, lastTop + 28, 75, 25);
    ok->setDefault(true);
    // Ok is also the cancel button: Esc rejects the dialog, which closes it the same way.
    QObject::connect(ok, &QPushButton::clicked, box, &QDialog::accept);

    box->setFixedSize(kWidth, lastTop + 93);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        box->move(screen->availableGeometry().center() - box->rect().center());
    return box;
}

void ShowAboutBox(const QString& programVersion, const QString& buildDate,
                  const QString& printModuleText, QWidget* parent) {
    std::unique_ptr<QDialog> box(
        CreateAboutBox(programVersion, buildDate, printModuleText, parent));
    box->exec();
}

} // namespace tarvela
