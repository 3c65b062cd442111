#include "editor/todberatele.h"
#include "ui_todberatele.h"

#include "editor/customer_list_model.h"
#include "editor/invoice_list.h"
#include "invoice/invoice_store.h"
#include "text/dates.h"
#include "text/form_font.h"
#include "text/message_boxes.h"
#include "text/sliced_work.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace tarvela {
TOdberatele::TOdberatele(const QString& programFolder, QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TOdberatele>()), programFolder_(programFolder) {
    ui_->setupUi(this);
    SetUpFixedDialog(this, false);

    customers_ = new CustomerListModel(this);
    shown_ = new CustomerSearchProxy(this);
    shown_->setSourceModel(customers_);
    QTreeView* list = ui_->ListView1;
    list->setModel(shown_);
    const int widths[] = {70, 220, 70, 115, 45, 90};
    for (int col = 0; col < CustomerListModel::ColumnCount; ++col)
        list->setColumnWidth(col, widths[col]);
    list->header()->setSectionsMovable(false);

    ConnectGuarded(ui_->Ed_Hledat, &QLineEdit::textChanged, this, &TOdberatele::Ed_HledatChange);
    ConnectGuarded(ui_->Tl_Ok, &QPushButton::clicked, this, &TOdberatele::Tl_OkClick);
    connect(ui_->Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);
    ConnectGuarded(list, &QTreeView::doubleClicked, this, &TOdberatele::Tl_OkClick);
    // The arrow keys in the search field move through the list.
    ui_->Ed_Hledat->installEventFilter(this);
    fill_ = std::make_unique<WindowFill>(this, std::initializer_list<QWidget*>{ui_->Tl_Storno});
    ConnectGuarded(fill_.get(), &SlicedWork::progressed, this, [this](int files) {
        ui_->La_Pocet->setText(
            QStringLiteral("Načítám odběratele… přečteno faktur: %1").arg(files));
    });
}

bool TOdberatele::Filling() const {
    return fill_->Filling();
}

TOdberatele::~TOdberatele() = default;

void TOdberatele::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (loaded_)
        return;
    loaded_ = true;
    ui_->Ed_Hledat->setFocus();
    RunGuarded([this] { Load(); });
}

void TOdberatele::Load() {
    ui_->La_Pocet->setText(QStringLiteral("Načítám odběratele ze všech období…"));
    customers_->setCustomers({});
    auto walk = std::make_shared<InvoiceFileWalk>(
        InvoiceFileWalk::AllPeriods(InvoiceStore(programFolder_)));
    auto builder = std::make_shared<CustomerBookBuilder>();
    fill_->StartWhenShown(
        [walk, builder] {
            const std::optional<InvoiceFileWalk::File> file = walk->Next();
            if (!file)
                return false;
            builder->addFile(file->Folder, file->Name, file->Year);
            return true;
        },
        [this, builder] {
            customers_->setCustomers(builder->take());
            FillList(ui_->Ed_Hledat->text());
        });
}

void TOdberatele::FillList(const QString& search) {
    shown_->setSearch(search);
    QTreeView* list = ui_->ListView1;
    if (shown_->rowCount() > 0)
        list->setCurrentIndex(shown_->index(0, 0));
    UpdateCounter();
}

void TOdberatele::UpdateCounter() {
    if (customers_->rowCount() == 0) {
        ui_->La_Pocet->setText(QStringLiteral("Žádná faktura dosud nemá odběratele."));
        return;
    }
    ui_->La_Pocet->setText(
        QStringLiteral("Zobrazeno %1 z %2").arg(shown_->rowCount()).arg(customers_->rowCount()));
}

std::optional<CustomerEntry> TOdberatele::SelectedCustomer() const {
    const QModelIndex current = ui_->ListView1->currentIndex();
    if (!current.isValid() || !ui_->ListView1->selectionModel()->isRowSelected(current.row()))
        return std::nullopt;
    return customers_->customer(shown_->mapToSource(current).row());
}

void TOdberatele::Ed_HledatChange() {
    FillList(ui_->Ed_Hledat->text());
}

void TOdberatele::Tl_OkClick() {
    if (!SelectedCustomer()) {
        ShowInfo(QStringLiteral("Není vybrán žádný odběratel."));
        return;
    }
    accept();
}

bool TOdberatele::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Ed_Hledat && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            QKeyEvent copy(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(ui_->ListView1, &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tarvela
