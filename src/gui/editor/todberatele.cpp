#include "editor/todberatele.h"
#include "ui_todberatele.h"

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
#include <QTreeWidget>

namespace tarvela {
namespace {

enum Column { ColKod, ColNazev, ColIC, ColMesto, ColPocet, ColPosledni };

} // namespace

TOdberatele::TOdberatele(const QString& programFolder, QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TOdberatele>()), programFolder_(programFolder) {
    ui_->setupUi(this);
    SetUpFixedDialog(this, false);

    QTreeWidget* list = ui_->ListView1;
    list->setHeaderLabels({QStringLiteral("Kód"), QStringLiteral("Název"), QStringLiteral("IČ"),
                           QStringLiteral("Město"), QStringLiteral("Faktur"),
                           QStringLiteral("Poslední faktura")});
    const int widths[] = {70, 220, 70, 115, 45, 90};
    for (int col = 0; col < 6; ++col)
        list->setColumnWidth(col, widths[col]);
    list->header()->setSectionsMovable(false);
    list->headerItem()->setTextAlignment(ColPocet, Qt::AlignRight | Qt::AlignVCenter);

    ConnectGuarded(ui_->Ed_Hledat, &QLineEdit::textChanged, this, &TOdberatele::Ed_HledatChange);
    ConnectGuarded(ui_->Tl_Ok, &QPushButton::clicked, this, &TOdberatele::Tl_OkClick);
    connect(ui_->Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);
    ConnectGuarded(list, &QTreeWidget::itemDoubleClicked, this, &TOdberatele::Tl_OkClick);
    ConnectGuarded(list, &QTreeWidget::currentItemChanged, this, &TOdberatele::UpdateCounter);
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
    customers_.clear();
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
            customers_ = builder->take();
            FillList(ui_->Ed_Hledat->text());
        });
}

void TOdberatele::FillList(const QString& search) {
    QTreeWidget* list = ui_->ListView1;
    list->setUpdatesEnabled(false);
    list->clear();
    shown_.clear();
    QList<QTreeWidgetItem*> items;
    for (size_t i = 0; i < customers_.size(); ++i) {
        const CustomerEntry& entry = customers_[i];
        if (!MatchesCustomerSearch(entry, search))
            continue;
        auto* item = new QTreeWidgetItem(
            QStringList{entry.Fields[kKod], entry.Fields[kNazev1], entry.Fields[kIC],
                        entry.Fields[kMesto], QString::number(entry.PocetFaktur),
                        entry.PosledniFaktura.isValid() ? FormatInvoiceDate(entry.PosledniFaktura)
                                                        : QString()});
        item->setTextAlignment(ColPocet, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(ColNazev,
                         entry.Fields[kNazev2].isEmpty()
                             ? entry.Fields[kNazev1]
                             : entry.Fields[kNazev1] + QLatin1Char('\n') + entry.Fields[kNazev2]);
        items.append(item);
        shown_.push_back(i);
    }
    list->addTopLevelItems(items);
    list->setUpdatesEnabled(true);
    if (!items.isEmpty())
        list->setCurrentItem(items.first());
    UpdateCounter();
}

void TOdberatele::UpdateCounter() {
    if (customers_.empty()) {
        ui_->La_Pocet->setText(QStringLiteral("Žádná faktura dosud nemá odběratele."));
        return;
    }
    ui_->La_Pocet->setText(QStringLiteral("Zobrazeno %1 z %2")
                               .arg(ui_->ListView1->topLevelItemCount())
                               .arg(customers_.size()));
}

std::optional<CustomerEntry> TOdberatele::SelectedCustomer() const {
    QTreeWidgetItem* current = ui_->ListView1->currentItem();
    if (!current || !current->isSelected())
        return std::nullopt;
    const int row = ui_->ListView1->indexOfTopLevelItem(current);
    if (row < 0 || static_cast<size_t>(row) >= shown_.size())
        return std::nullopt;
    return customers_[shown_[static_cast<size_t>(row)]];
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
