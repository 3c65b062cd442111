#include "editor/tseznampolozek.h"
#include "ui_tseznampolozek.h"

#include "editor/pickers.h"
#include "text/form_font.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>

#include <functional>

namespace tarvela {
TSeznamPolozek::TSeznamPolozek(const QString& programFolder, bool platce, QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TSeznamPolozek>()), programFolder_(programFolder),
      platce_(platce) {
    ui_->setupUi(this);
    setWindowFlags(FixedDialogFlags(false));
    setFixedSize(size());
    items_ = new ItemListModel(platce_, this);
    filtered_ = new ItemFilterProxy(this);
    filtered_->setSourceModel(items_);
    ui_->ListView1->setModel(filtered_);
    ui_->ListView1->setSortingEnabled(false);
    ui_->ListView1->header()->setSectionsClickable(false);
    ui_->ListView1->header()->setSectionsMovable(false);
    const int widths[] = {60, 340, 60, 80, 40};
    for (int column = 0; column < items_->columnCount(); ++column)
        ui_->ListView1->setColumnWidth(column, widths[column]);
    ConnectGuarded(ui_->ListView1, &ItemListView::leftClickHandled, this,
                   &TSeznamPolozek::ListView1Click);
    ConnectGuarded(ui_->ListView1, &ItemListView::leftDoubleClickHandled, this,
                   &TSeznamPolozek::ListView1DblClick);
    ConnectGuarded(ui_->ListView1, &ItemListView::keyHandled, this,
                   &TSeznamPolozek::ListView1KeyDown);

    ConnectGuarded(ui_->Tl_Filtr, &QPushButton::clicked, this, &TSeznamPolozek::Tl_FiltrClick);
    // Enter in the filter field filters (it does not press Ok).
    ui_->Ed_Vyraz->installEventFilter(this);
    // Pressing Ok: its click handler first, then the dialog closes with Ok.
    ConnectGuarded(ui_->Tl_Ok, &QPushButton::clicked, this, [this] {
        Tl_OkClick();
        accept();
    });
    connect(ui_->Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

TSeznamPolozek::~TSeznamPolozek() = default;

void TSeznamPolozek::FormCreate() {
    // The rate's column is the model's for a VAT payer only.
    ui_->Tl_Ok->setEnabled(false);
}

const ItemCatalog& TSeznamPolozek::Catalog() const {
    return items_->catalog();
}

void TSeznamPolozek::SetYear(const QString& year) {
    year_ = year.left(4);
}

void TSeznamPolozek::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    RunGuarded([this] { FormShow(); });
}

void TSeznamPolozek::FormShow() {
    setWindowTitle(QStringLiteral("Seznam položek, rok ") + year_);
    LoadItemCatalog(WithTrailingSeparator(programFolder_) + year_);
    FillItemList(QString());
}

void TSeznamPolozek::LoadItemCatalog(const QString& folder) {
    items_->setCatalog({});
    items_->setCatalog(tarvela::LoadItemCatalog(folder, ProcessPaintEvents));
}

void TSeznamPolozek::FillItemList(const QString& filter) {
    filtered_->setFilter(filter);
    if (filtered_->rowCount() > 0) {
        // The first row is chosen, so that Enter or Ok takes it at once.
        ui_->ListView1->setCurrentIndex(filtered_->index(0, 0));
    }
    ui_->Tl_Ok->setEnabled(SelectedRow() >= 0);
    UpdateCounter();
}

int TSeznamPolozek::SelectedRow() const {
    const QModelIndexList selected = ui_->ListView1->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TSeznamPolozek::UpdateCounter() {
    ui_->La_Pocitadlo->setText(
        QStringLiteral("%1 z %2").arg(SelectedRow() + 1).arg(filtered_->rowCount()));
}

std::optional<ItemCatalogEntry> TSeznamPolozek::SelectedEntry() const {
    if (chosen_)
        return chosen_;
    const int row = SelectedRow();
    if (row < 0)
        return std::nullopt;
    return items_->catalog().at(filtered_->mapToSource(filtered_->index(row, 0)).row());
}

void TSeznamPolozek::ListView1Click() {
    ui_->Tl_Ok->setEnabled(SelectedRow() >= 0);
    UpdateCounter();
}

void TSeznamPolozek::ListView1KeyDown() {
    ui_->Tl_Ok->setEnabled(SelectedRow() >= 0);
    UpdateCounter();
}

void TSeznamPolozek::Ed_VyrazEnter() {
    const QString expression = TrimText(ui_->Ed_Vyraz->text());
    if (expression.isEmpty() && !filterOn_) {
        ShowInfo(QStringLiteral("Není zadaný výraz pro filtr."));
        return;
    }
    if (expression.isEmpty()) {
        Tl_FiltrClick(); // the filter is cancelled
    } else {
        FillItemList(FilterLowerCase(expression));
        filterOn_ = true;
        ui_->Tl_Filtr->setText(QStringLiteral("Zrušit"));
    }
    // The next Enter takes the chosen row.
    ui_->ListView1->setFocus(Qt::OtherFocusReason);
}

bool TSeznamPolozek::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Ed_Vyraz && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            RunGuarded([this] { Ed_VyrazEnter(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSeznamPolozek::ListView1DblClick() {
    // Presses Ok as a click would, whether or not it is enabled.
    RunGuarded([this] { Tl_OkClick(); });
    accept();
}

void TSeznamPolozek::Tl_FiltrClick() {
    if (filterOn_) {
        FillItemList(QString());
        filterOn_ = false;
        ui_->Tl_Filtr->setText(QStringLiteral("Filtr"));
        return;
    }
    const QString expression = TrimText(ui_->Ed_Vyraz->text());
    if (expression.isEmpty()) {
        ShowInfo(QStringLiteral("Není zadaný výraz pro filtr."));
        return;
    }
    FillItemList(FilterLowerCase(expression));
    filterOn_ = true;
    ui_->Tl_Filtr->setText(QStringLiteral("Zrušit"));
}

void TSeznamPolozek::Tl_OkClick() {
    if (SelectedRow() < 0)
        ShowInfo(QStringLiteral("Není vybrána žádná položka"));
}

void TSeznamPolozek::FormClose() {
    items_->setCatalog({});
}

void TSeznamPolozek::done(int result) {
    // Callers read SelectedEntry() after closing: keep the chosen entry, empty the catalog.
    chosen_ = SelectedEntry();
    FormClose();
    QDialog::done(result);
}

} // namespace tarvela
