#include "editor/totevrit.h"
#include "ui_totevrit.h"

#include "editor/invoice_list.h"
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
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>

#include <functional>

namespace tarvela {

namespace {

// Where a list row keeps the name of its file.
constexpr int kFileNameRole = Qt::UserRole;

struct ListColumn {
    const char* header;
    int width;
    Qt::Alignment alignment;
};

const ListColumn kColumns[] = {
    {"Číslo", 60, Qt::AlignLeft},      {"Datum", 70, Qt::AlignRight},
    {"Odběratel", 220, Qt::AlignLeft}, {"Celkem", 80, Qt::AlignRight},
    {"Splatnost", 70, Qt::AlignRight}, {"Uhrazeno", 70, Qt::AlignRight},
    {"Měna", 50, Qt::AlignLeft},
};

} // namespace

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

    ui_->ListView1->setSortingEnabled(false);
    ui_->ListView1->header()->setSectionsClickable(false);
    ui_->ListView1->header()->setSectionsMovable(false);
    ui_->ListView1->header()->setStretchLastSection(false);
    ui_->ListView1->setColumnCount(static_cast<int>(std::size(kColumns)));
    auto* header = new QTreeWidgetItem;
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        header->setText(i, QString::fromUtf8(kColumns[i].header));
        header->setTextAlignment(i, kColumns[i].alignment | Qt::AlignVCenter);
    }
    ui_->ListView1->setHeaderItem(header);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
        ui_->ListView1->setColumnWidth(i, kColumns[i].width);

    ConnectGuarded(ui_->Tl_Ok, &QPushButton::clicked, this, [this] { PressOk(); });
    // Ok is enabled while a row is selected, however it was selected (click, arrow keys); Enter
    // then presses it as the default button.
    connect(ui_->ListView1, &QTreeWidget::itemSelectionChanged, this, Guarded([this] {
                ui_->Tl_Ok->setEnabled(!ui_->ListView1->selectedItems().isEmpty());
            }));
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
    ui_->ListView1->clear();
    ui_->La_Nacitani->setText(QStringLiteral("Načítám faktury…"));
    ui_->La_Nacitani->show();
    // Rows are handed to the list in batches, one per slice of reading: every insertion makes
    // the list lay out all its rows again at the next event processing, which over a full
    // period would cost seconds. A slow disk still shows the list growing.
    struct Reading {
        QString folder;
        QStringList names;
        qsizetype next = -1; // -1: the folder is not listed yet
        QList<QTreeWidgetItem*> pending;
        ~Reading() { qDeleteAll(pending); }
    };
    auto reading = std::make_shared<Reading>();
    reading->folder = folder;
    const auto flush = [this, reading] {
        ui_->ListView1->addTopLevelItems(reading->pending);
        reading->pending.clear();
        if (reading->next >= 0)
            ui_->La_Nacitani->setText(QStringLiteral("Načítám faktury… %1 z %2")
                                          .arg(ui_->ListView1->topLevelItemCount())
                                          .arg(reading->names.size()));
    };
    const auto step = [reading] {
        if (reading->next < 0) {
            reading->names = ListInvoiceFileNames(reading->folder);
            reading->next = 0;
            return !reading->names.isEmpty();
        }
        const InvoiceListEntry entry =
            ReadInvoiceListEntry(reading->folder, reading->names[reading->next++]);
        auto* item =
            new QTreeWidgetItem(QStringList{entry.Cislo, entry.Datum, entry.Odberatel, entry.Celkem,
                                            entry.Splatnost, entry.Uhrazeno, entry.Mena});
        for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
            if (kColumns[i].alignment & Qt::AlignRight)
                item->setTextAlignment(i, Qt::AlignRight | Qt::AlignVCenter);
        }
        item->setData(0, kFileNameRole, entry.FileName);
        reading->pending.append(item);
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
    ui_->ListView1->clearSelection();
    const int count = ui_->ListView1->topLevelItemCount();
    if (count == 0) {
        ui_->ListView1->setCurrentItem(nullptr, 0, QItemSelectionModel::NoUpdate);
        return;
    }
    QTreeWidgetItem* newest = ui_->ListView1->topLevelItem(count - 1);
    ui_->ListView1->setCurrentItem(newest);
    newest->setSelected(true);
    ui_->ListView1->scrollToItem(newest);
}

void TOtevrit::ListView1Click() {
    ui_->Tl_Ok->setEnabled(!ui_->ListView1->selectedItems().isEmpty());
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
    const QList<QTreeWidgetItem*> selected = ui_->ListView1->selectedItems();
    if (selected.isEmpty()) {
        ShowInfo(QStringLiteral("Není vybrána žádná položka"));
        return;
    }
    // The row keeps the file's own name, so a file whose extension is written in capitals is
    // found on a file system that tells the cases apart.
    const QString path = programFolder_ + year_ + QDir::separator() +
                         selected.first()->data(0, kFileNameRole).toString();
    if (QFileInfo(path).isFile())
        SelectedFile = path;
}

} // namespace tarvela
