#include "editor/pickers.h"

#include "editor/totevrit.h"
#include "invoice/invoice_store.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMenu>

namespace tarvela {
namespace {

const QString kItemPrefix = QStringLiteral("PMenu_Rok_");

QString PeriodFolderPath(const QString& programFolder, const QString& year) {
    return WithTrailingSeparator(programFolder) + year;
}

} // namespace

QMenu* NewPeriodMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("PMenu_Rok"));
    return menu;
}

bool BuildPeriodMenu(QMenu* menu, const QString& programFolder,
                     const std::function<void(QAction*)>& onPick) {
    const QStringList folders = InvoiceStore(programFolder).ListPeriodFolders(ProcessPaintEvents);
    if (folders.isEmpty())
        return false;
    menu->clear();
    for (qsizetype i = folders.size() - 1; i >= 0; --i) {
        QAction* item = menu->addAction(folders[i]);
        item->setObjectName(kItemPrefix + folders[i]);
        QObject::connect(item, &QAction::triggered, menu,
                         Guarded([item, onPick] { onPick(item); }));
    }
    return true;
}

QString PeriodMenuYear(const QAction* item) {
    return item->objectName().mid(kItemPrefix.size());
}

void PopUpPeriodMenu(QMenu* menu, const QPoint& screenPoint) {
    menu->popup(screenPoint);
}

bool CheckPeriodFolder(const QString& programFolder, const QString& year) {
    if (QFileInfo(PeriodFolderPath(programFolder, year)).isDir())
        return true;
    ShowInfo(MissingPeriodFolderMessage(year));
    return false;
}

std::optional<QString> ChooseInvoiceOfPeriod(QWidget* owner, const QString& programFolder,
                                             const QString& year) {
    TOtevrit dialog(programFolder, owner);
    dialog.SetYear(year);
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (!ok || dialog.SelectedFile.isEmpty())
        return std::nullopt;
    return dialog.SelectedFile;
}

std::optional<CustomerTaken> TakeCustomerFromInvoice(QWidget* owner, const QString& programFolder,
                                                     const QString& year) {
    if (!CheckPeriodFolder(programFolder, year))
        return std::nullopt;
    const std::optional<QString> file = ChooseInvoiceOfPeriod(owner, programFolder, year);
    if (!file)
        return std::nullopt;
    return TakeCustomerLines(FileLines::ReadFile(*file));
}

std::optional<TemplateTaken> TakeTemplateFromInvoice(QWidget* owner, const QString& programFolder,
                                                     const QString& year) {
    if (!CheckPeriodFolder(programFolder, year))
        return std::nullopt;
    const std::optional<QString> file = ChooseInvoiceOfPeriod(owner, programFolder, year);
    if (!file)
        return std::nullopt;
    return TakeTemplateLines(FileLines::ReadFile(*file));
}

} // namespace tarvela
