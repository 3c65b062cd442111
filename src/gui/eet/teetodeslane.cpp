#include "eet/teetodeslane.h"

#include "eet/eet_service.h"
#include "printing/money.h"
#include "text/message_boxes.h"
#include "ui_teetodeslane.h"

#include <QAbstractTableModel>
#include <QHeaderView>

#include <iterator>

namespace tarvela {

namespace {

QString StateText(const eet::OutboxEntry& e, const QDateTime& now) {
    switch (e.state) {
    case eet::OutboxEntry::State::Confirmed:
        return e.testPok ? QStringLiteral("potvrzeno (playground)") : QStringLiteral("potvrzeno");
    case eet::OutboxEntry::State::Refused:
        return QStringLiteral("odmítnuto – opravte");
    case eet::OutboxEntry::State::Waiting:
        break;
    }
    return e.isLate(now) ? QStringLiteral("čeká na odeslání déle než 40 hodin!")
                         : QStringLiteral("čeká na odeslání");
}

} // namespace

// The registrations as the window lists them: the waiting ones first, then the confirmed ones,
// newest first.
class EetSentModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setEntries(QList<eet::OutboxEntry> entries, const QDateTime& now) {
        beginResetModel();
        entries_ = std::move(entries);
        now_ = now;
        endResetModel();
    }
    const eet::OutboxEntry& entry(int row) const { return entries_.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(entries_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(std::size(kCaptions));
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
            return {};
        const eet::OutboxEntry& e = entry(index.row());
        switch (index.column()) {
        case 0:
            return e.reference;
        case 1:
            return FormatHalere(e.amountHalere);
        case 2:
            return e.registered.toLocalTime().toString(QStringLiteral("d.M.yyyy H:mm"));
        case 3:
            return StateText(e, now_);
        case 4:
            return e.pok;
        case 5:
            return e.lastError.isEmpty() ? e.warnings.join(QLatin1Char(' ')) : e.lastError;
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= columnCount())
            return QAbstractTableModel::headerData(section, orientation, role);
        return QString::fromUtf8(kCaptions[section]);
    }

private:
    static constexpr const char* kCaptions[] = {"Doklad", "Částka", "Zapsáno",
                                                "Stav",   "POK",    "Poslední chyba"};
    QList<eet::OutboxEntry> entries_;
    QDateTime now_;
};

TEetOdeslane::TEetOdeslane(EetService& service, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TEetOdeslane>()), service_(service) {
    ui_->setupUi(this);
    model_ = new EetSentModel(this);
    ui_->Tab_Trzby->setModel(model_);
    ui_->Tab_Trzby->horizontalHeader()->setStretchLastSection(true);
    ConnectGuarded(ui_->Tl_Zavrit, &QPushButton::clicked, this, [this] { accept(); });
    ConnectGuarded(ui_->Tl_OdeslatNyni, &QPushButton::clicked, this,
                   [this] { service_.dispatcher().sendNow(); });
    ConnectGuarded(ui_->Tl_OdeslatZnovu, &QPushButton::clicked, this, [this] {
        const QModelIndex current = ui_->Tab_Trzby->currentIndex();
        if (!current.isValid())
            return;
        const QString id = model_->entry(current.row()).id;
        service_.dispatcher().outbox().retry(id);
        service_.dispatcher().sendNow();
        refresh();
    });
    ConnectGuarded(&service_, &EetService::changed, this, &TEetOdeslane::refresh);
    refresh();
}

TEetOdeslane::~TEetOdeslane() = default;

void TEetOdeslane::refresh() {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    eet::Outbox& box = service_.dispatcher().outbox();
    const QList<eet::OutboxEntry> pending = box.pending();
    const QList<eet::OutboxEntry> confirmed = box.confirmed();
    QList<eet::OutboxEntry> shown = pending;
    for (auto it = confirmed.crbegin(); it != confirmed.crend(); ++it)
        shown.append(*it);
    int late = 0;
    int refused = 0;
    for (const eet::OutboxEntry& e : shown) {
        late += e.isLate(now) ? 1 : 0;
        refused += e.state == eet::OutboxEntry::State::Refused ? 1 : 0;
    }
    model_->setEntries(std::move(shown), now);
    ui_->Tab_Trzby->resizeColumnsToContents();
    QString summary = QStringLiteral("Čeká na odeslání: %1, odesláno a potvrzeno: %2.")
                          .arg(pending.size())
                          .arg(confirmed.size());
    if (late > 0)
        summary += QStringLiteral(" Pozor: %1 tržeb čeká déle než 40 hodin – zákon dovoluje "
                                  "nejvýše 48 hodin. Zkontrolujte připojení k internetu.")
                       .arg(late);
    if (refused > 0)
        summary += QStringLiteral(" %1 tržeb služba odmítla: opravte nastavení podle chyby a "
                                  "odešlete je znovu.")
                       .arg(refused);
    if (!service_.problem().isEmpty())
        summary += QLatin1Char(' ') + service_.problem();
    ui_->La_Souhrn->setText(summary);
}

} // namespace tarvela
