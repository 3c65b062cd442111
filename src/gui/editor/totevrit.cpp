#include "editor/totevrit.h"
#include "ui_totevrit.h"

#include "editor/invoice_list.h"
#include "editor/invoice_list_model.h"
#include "text/form_font.h"
#include "text/helpers.h"
#include "text/message_boxes.h"
#include "text/sliced_work.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeView>

#include <functional>

namespace tarvela {

TOtevrit::TOtevrit(const QString& programFolder, QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TOtevrit>()),
      programFolder_(programFolder.isEmpty() ? programFolder
                                             : WithTrailingSeparator(programFolder)) {

    ui_->setupUi(this);
    SetUpFixedDialog(this);
    fill_ = std::make_unique<WindowFill>(this, std::initializer_list<QWidget*>{ui_->Tl_Storno});
    ConnectGuarded(ui_->ListView1, &InvoiceListView::leftClickHandled, this,
                   &TOtevrit::ListView1Click);
    ConnectGuarded(ui_->ListView1, &InvoiceListView::leftDoubleClickHandled, this,
                   &TOtevrit::ListView1DblClick);

    invoices_ = new InvoiceListModel(this);
    ui_->ListView1->setModel(invoices_);
    ui_->ListView1->setSortingEnabled(false);
    ui_->ListView1->header()->setSectionsClickable(false);
    ui_->ListView1->header()->setSectionsMovable(false);
    ui_->ListView1->header()->setStretchLastSection(false);
    for (int i = 0; i < invoices_->columnCount(); ++i)
        ui_->ListView1->setColumnWidth(i, InvoiceListModel::ColumnWidth(i));

    ConnectGuarded(ui_->Tl_Ok, &QPushButton::clicked, this, [this] { PressOk(); });
    // Ok is enabled while a row is selected, however it was selected (click, arrow keys); Enter
    // then presses it as the default button.
    ConnectGuarded(ui_->ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                   [this] { ui_->Tl_Ok->setEnabled(SelectedRow() >= 0); });
    connect(ui_->Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

TOtevrit::~TOtevrit() = default;

void TOtevrit::SetYear(const QString& year) {
    year_ = year.left(4);
}

void TOtevrit::FormCreate() {
    SelectedFile.clear();
    ui_->Tl_Ok->setEnabled(false);
}

void TOtevrit::FormShow() {
    setWindowTitle(QStringLiteral("Otevřít fakturu, rok ") + year_);
    FillInvoiceList(programFolder_ + year_);
}

void TOtevrit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || shown_)
        return;
    shown_ = true;
    RunGuarded([this] { FormShow(); });
}

bool TOtevrit::Filling() const {
    return fill_->Filling();
}

void TOtevrit::FillInvoiceList(const QString& folder) {
    invoices_->clear();
    ui_->La_Nacitani->setText(QStringLiteral("Načítám faktury…"));
    ui_->La_Nacitani->show();
    // Rows are handed to the list in batches, one per slice of reading: every insertion makes
    // the list lay out its rows again at the next event processing. A slow disk still shows the
    // list growing.
    struct Reading {
        QString folder;
        QStringList names;
        qsizetype next = -1; // -1: the folder is not listed yet
        std::vector<InvoiceListEntry> pending;
    };
    auto reading = std::make_shared<Reading>();
    reading->folder = folder;
    const auto flush = [this, reading] {
        invoices_->append(std::move(reading->pending));
        reading->pending.clear();
        if (reading->next >= 0)
            ui_->La_Nacitani->setText(QStringLiteral("Načítám faktury… %1 z %2")
                                          .arg(invoices_->rowCount())
                                          .arg(reading->names.size()));
    };
    const auto step = [reading] {
        if (reading->next < 0) {
            reading->names = ListInvoiceFileNames(reading->folder);
            reading->next = 0;
            return !reading->names.isEmpty();
        }
        reading->pending.push_back(
            ReadInvoiceListEntry(reading->folder, reading->names[reading->next++]));
        return reading->next < reading->names.size();
    };
    fill_->StartWhenShown(
        step,
        [this, flush] {
            flush();
            FillFinished();
        },
        flush);
}

void TOtevrit::FillFinished() {
    ui_->La_Nacitani->hide();
    SelectNewestRow();
    ui_->ListView1->setFocus(Qt::OtherFocusReason); // Enter opens it, the arrow keys move at once
}

void TOtevrit::SelectNewestRow() {
    // The list is in the order of the numbers: the last row is the newest invoice, the one
    // most often opened again. It is selected, so Enter and Ok take it at once.
    QTreeView* list = ui_->ListView1;
    list->clearSelection();
    const int count = invoices_->rowCount();
    if (count == 0) {
        list->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
        return;
    }
    const QModelIndex newest = invoices_->index(count - 1, 0);
    list->setCurrentIndex(newest);
    list->scrollTo(newest);
}

int TOtevrit::SelectedRow() const {
    const QModelIndexList selected = ui_->ListView1->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TOtevrit::ListView1Click() {
    ui_->Tl_Ok->setEnabled(SelectedRow() >= 0);
}

void TOtevrit::ListView1DblClick() {
    PressOk();
}

void TOtevrit::PressOk() {
    // The click handler runs first; the button closes the dialog with Ok in any case.
    RunGuarded([this] { Tl_OkClick(); });
    accept();
}

void TOtevrit::Tl_OkClick() {
    const int row = SelectedRow();
    if (row < 0) {
        ShowInfo(QStringLiteral("Není vybrána žádná položka"));
        return;
    }
    // The row keeps the file's own name, so a file whose extension is written in capitals is
    // found on a file system that tells the cases apart.
    const QString path =
        programFolder_ + year_ + QDir::separator() + invoices_->entry(row).FileName;
    if (QFileInfo(path).isFile())
        SelectedFile = path;
}

} // namespace tarvela
