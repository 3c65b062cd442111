#include "preview.h"

#include "report_data.h"
#include "report_layout.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>

namespace tarvela::prm1 {
namespace {

// Qt's own texts of the preview and print dialogs in Czech, for as long as the preview is
// shown, unless the program already has them translated.
class CzechQtTexts {
public:
    CzechQtTexts() {
        const char* probe = "Print Preview";
        if (QCoreApplication::translate("QPrintPreviewDialog", probe) != QLatin1String(probe))
            return;
        if (translator_.load(QStringLiteral("qtbase_cs"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            installed_ = QCoreApplication::installTranslator(&translator_);
    }
    ~CzechQtTexts() {
        if (installed_)
            QCoreApplication::removeTranslator(&translator_);
    }
    CzechQtTexts(const CzechQtTexts&) = delete;
    CzechQtTexts& operator=(const CzechQtTexts&) = delete;

private:
    QTranslator translator_;
    bool installed_ = false;
};

// A file name for the PDF in the user's documents folder: the name the program proposes
// ("Faktura 2026001"), else the report title in letters, digits and a few signs.
QString SuggestedPdfName(const RenderedReport& report) {
    QString name;
    for (const QChar c : report.fileName) {
        if (!QStringLiteral("/\\:*?\"<>|").contains(c) && c.unicode() >= 32)
            name += c;
    }
    name = name.trimmed();
    for (const QChar c : name.isEmpty() ? report.title.simplified() : QString()) {
        if (c.isLetterOrNumber() || c == u'-' || c == u'_')
            name += c;
        else if (c == u' ' && !name.endsWith(u'_'))
            name += u'_';
    }
    if (name.isEmpty())
        name = QStringLiteral("sestava");
    // The user's documents folder; the home folder where there is none (the file dialog would
    // otherwise open the working folder, which may be the program's).
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

void SaveAsPdf(QWidget* parent, const RenderedReport& report) {
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Uložit jako PDF"),
                                                SuggestedPdfName(report),
                                                QStringLiteral("Dokument PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    try {
        WritePdf(report, path);
    } catch (const ReportError& e) {
        QMessageBox::warning(parent, QStringLiteral("Upozornění"), e.message());
    } catch (const std::exception&) {
        QMessageBox::warning(parent, QStringLiteral("Upozornění"),
                             QStringLiteral("Soubor PDF \"%1\" nelze zapsat.").arg(path));
    }
}

} // namespace

QWidget* ModuleParentWindow() {
    return QApplication::activeWindow();
}

void ShowPreview(const RenderedReport& report) {
    CzechQtTexts czech;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    printer.setFullPage(true);
    printer.setDocName(report.title);
    printer.setCreator(QStringLiteral("Tarvela PRM1"));

    QPrintPreviewDialog dialog(&printer, ModuleParentWindow());
    dialog.setObjectName(QStringLiteral("PRM1_Nahled"));
    dialog.setWindowTitle(report.title.isEmpty()
                              ? QStringLiteral("Náhled sestavy")
                              : QStringLiteral("Náhled sestavy - ") + report.title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter* target) {
                         try {
                             PaintReport(report, *target);
                         } catch (const ReportError& e) {
                             QMessageBox::warning(ModuleParentWindow(),
                                                  QStringLiteral("Upozornění"), e.message());
                         } catch (const std::exception&) {
                             // Exceptions must not cross Qt's event loop; the page stays empty.
                         }
                     });

    auto* save = new QAction(QStringLiteral("Uložit jako PDF"), &dialog);
    save->setObjectName(QStringLiteral("Akce_UlozitPDF"));
    save->setToolTip(QStringLiteral("Uložit sestavu jako soubor PDF"));
    QObject::connect(save, &QAction::triggered, &dialog,
                     [&dialog, &report] { SaveAsPdf(&dialog, report); });
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        bar->addSeparator();
        bar->addAction(save);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(save)))
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        dialog.addAction(save);
    }
    // Why the payment code is missing or shortened, so the user can mend the data: one line
    // below the page (in the tool bar it would fall into the bar's overflow menu), shown here
    // only, never printed.
    if (!report.qrReason.isEmpty()) {
        auto* reason = new QLabel(report.qrReason, &dialog);
        reason->setObjectName(QStringLiteral("La_QRDuvod"));
        reason->setStyleSheet(QStringLiteral("color: #8a1c1c; padding: 4px 8px;"));
        if (auto* layout = qobject_cast<QBoxLayout*>(dialog.layout()))
            layout->addWidget(reason);
        else
            reason->hide();
    }
    dialog.resize(900, 1000);
    dialog.exec();
}

} // namespace tarvela::prm1
