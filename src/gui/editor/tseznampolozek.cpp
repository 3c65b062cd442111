#include "editor/tseznampolozek.h"

#include "editor/pickers.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

#include <functional>

namespace tarvela {
namespace {

// The list in report view, telling its window about clicks, double clicks and keys after it
// has handled them itself.
class ItemListView : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    std::function<void()> clicked;
    std::function<void()> doubleClicked;
    std::function<void()> keyDown;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTreeWidget::mouseReleaseEvent(event);
        if (clicked && event->button() == Qt::LeftButton)
            clicked();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QTreeWidget::mouseDoubleClickEvent(event);
        if (doubleClicked && event->button() == Qt::LeftButton)
            doubleClicked();
    }
    void keyPressEvent(QKeyEvent* event) override {
        QTreeWidget::keyPressEvent(event);
        if (keyDown)
            keyDown();
    }
};

enum Column { ColKod, ColDodavka, ColMJ, ColCena, ColDPH };

} // namespace

TSeznamPolozek::TSeznamPolozek(const QString& programFolder, bool platce, QWidget* owner)
    : QDialog(owner), programFolder_(programFolder), platce_(platce) {
    setObjectName(QStringLiteral("TSeznamPolozek"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(635, 515);

    auto* list = new ItemListView(this);
    ListView1 = list;
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(8, 8, 617, 457);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSortingEnabled(false);
    ListView1->header()->setSectionsClickable(false);
    ListView1->header()->setSectionsMovable(false);
    ListView1->setHeaderLabels({QStringLiteral("Kód"), QStringLiteral("Označení dodávky"),
                                QStringLiteral("MJ"), QStringLiteral("Cena MJ")});
    ListView1->setColumnWidth(ColKod, 60);
    ListView1->setColumnWidth(ColDodavka, 340);
    ListView1->setColumnWidth(ColMJ, 60);
    ListView1->setColumnWidth(ColCena, 80);
    ListView1->headerItem()->setTextAlignment(ColMJ, Qt::AlignCenter);
    ListView1->headerItem()->setTextAlignment(ColCena, Qt::AlignRight | Qt::AlignVCenter);
    list->clicked = Guarded([this] { ListView1Click(); });
    list->doubleClicked = Guarded([this] { ListView1DblClick(); });
    list->keyDown = Guarded([this] { ListView1KeyDown(); });

    Ed_Vyraz = new QLineEdit(this);
    Ed_Vyraz->setObjectName(QStringLiteral("Ed_Vyraz"));
    Ed_Vyraz->setGeometry(128, 484, 121, 21);
    Ed_Vyraz->setFocusPolicy(Qt::ClickFocus); // not a tab stop

    Tl_Filtr = new QPushButton(QStringLiteral("Filtr"), this);
    Tl_Filtr->setObjectName(QStringLiteral("Tl_Filtr"));
    Tl_Filtr->setGeometry(256, 480, 75, 25);
    Tl_Filtr->setAutoDefault(false);

    Tl_Ok = new QPushButton(QStringLiteral("Ok"), this);
    Tl_Ok->setObjectName(QStringLiteral("Tl_Ok"));
    Tl_Ok->setGeometry(432, 480, 75, 25);
    Tl_Ok->setDefault(true);

    Tl_Storno = new QPushButton(QStringLiteral("Storno"), this);
    Tl_Storno->setObjectName(QStringLiteral("Tl_Storno"));
    Tl_Storno->setGeometry(512, 480, 75, 25);
    Tl_Storno->setAutoDefault(false);

    La_Pocitadlo = new QLabel(this);
    La_Pocitadlo->setObjectName(QStringLiteral("La_Pocitadlo"));
    La_Pocitadlo->move(8, 489);
    La_Pocitadlo->resize(110, La_Pocitadlo->sizeHint().height());

    setTabOrder(ListView1, Tl_Filtr);
    setTabOrder(Tl_Filtr, Tl_Ok);
    setTabOrder(Tl_Ok, Tl_Storno);

    ConnectGuarded(Tl_Filtr, &QPushButton::clicked, this, &TSeznamPolozek::Tl_FiltrClick);
    // Pressing Ok: its click handler first, then the dialog closes with Ok.
    ConnectGuarded(Tl_Ok, &QPushButton::clicked, this, [this] {
        Tl_OkClick();
        accept();
    });
    connect(Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TSeznamPolozek::FormCreate() {
    if (platce_) {
        ListView1->setColumnCount(5);
        ListView1->headerItem()->setText(ColDPH, QStringLiteral("DPH"));
        ListView1->headerItem()->setTextAlignment(ColDPH, Qt::AlignCenter);
        ListView1->setColumnWidth(ColDPH, 40);
    }
    Tl_Ok->setEnabled(false);
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
    QString folder = programFolder_;
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    LoadItemCatalog(folder + year_);
    FillItemList(QString());
}

void TSeznamPolozek::LoadItemCatalog(const QString& folder) {
    Catalog.clear();
    Catalog = tarvela::LoadItemCatalog(folder, ProcessPaintEvents);
}

void TSeznamPolozek::FillItemList(const QString& filter) {
    ListView1->setUpdatesEnabled(false);
    ListView1->clear();
    rows_.clear();
    QList<QTreeWidgetItem*> items;
    for (const ItemCatalogEntry& entry : Catalog) {
        if (!ItemMatchesFilter(entry, filter))
            continue;
        auto* item = new QTreeWidgetItem(
            QStringList{entry.Kod, entry.Dodavka, entry.MJ, entry.Cena, entry.DPH});
        item->setTextAlignment(ColMJ, Qt::AlignCenter);
        item->setTextAlignment(ColCena, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(ColDPH, Qt::AlignCenter);
        items.append(item);
        rows_.append(entry);
    }
    ListView1->addTopLevelItems(items);
    ListView1->setUpdatesEnabled(true);
    if (!items.isEmpty())
        ListView1->setCurrentItem(items.first());
    UpdateCounter();
}

int TSeznamPolozek::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (selected.isEmpty())
        return -1;
    return ListView1->indexOfTopLevelItem(selected.first());
}

void TSeznamPolozek::UpdateCounter() {
    La_Pocitadlo->setText(
        QStringLiteral("%1 z %2").arg(SelectedRow() + 1).arg(ListView1->topLevelItemCount()));
}

std::optional<ItemCatalogEntry> TSeznamPolozek::SelectedEntry() const {
    const int row = SelectedRow();
    if (row < 0 || row >= rows_.size())
        return std::nullopt;
    return rows_[row];
}

void TSeznamPolozek::ListView1Click() {
    Tl_Ok->setEnabled(SelectedRow() >= 0);
    UpdateCounter();
}

void TSeznamPolozek::ListView1KeyDown() {
    UpdateCounter();
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
        Tl_Filtr->setText(QStringLiteral("Filtr"));
        return;
    }
    const QString expression = TrimText(Ed_Vyraz->text());
    if (expression.isEmpty()) {
        ShowInfo(QStringLiteral("Není zadaný výraz pro filtr."));
        return;
    }
    FillItemList(FilterLowerCase(expression));
    filterOn_ = true;
    Tl_Filtr->setText(QStringLiteral("Zrušit"));
}

void TSeznamPolozek::Tl_OkClick() {
    if (SelectedRow() < 0)
        ShowInfo(QStringLiteral("Není vybrána žádná položka"));
}

void TSeznamPolozek::FormClose() {
    Catalog.clear();
}

void TSeznamPolozek::done(int result) {
    // Callers read SelectedEntry() after closing: keep the shown rows, empty the catalog.
    FormClose();
    QDialog::done(result);
}

} // namespace tarvela
