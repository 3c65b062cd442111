#include "eet/teetodeslane.h"

#include "eet/eet_service.h"
#include "printing/money.h"
#include "text/message_boxes.h"
#include "ui_teetodeslane.h"

#include <QHeaderView>

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

TEetOdeslane::TEetOdeslane(EetService& service, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TEetOdeslane>()), service_(service) {
    ui_->setupUi(this);
    ui_->Tab_Trzby->horizontalHeader()->setStretchLastSection(true);
    ConnectGuarded(ui_->Tl_Zavrit, &QPushButton::clicked, this, [this] { accept(); });
    ConnectGuarded(ui_->Tl_OdeslatNyni, &QPushButton::clicked, this,
                   [this] { service_.dispatcher().sendNow(); });
    ConnectGuarded(ui_->Tl_OdeslatZnovu, &QPushButton::clicked, this, [this] {
        const int row = ui_->Tab_Trzby->currentRow();
        if (row < 0)
            return;
        const QString id = ui_->Tab_Trzby->item(row, 0)->data(Qt::UserRole).toString();
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
    QTableWidget* table = ui_->Tab_Trzby;
    table->setRowCount(0);
    int late = 0;
    int refused = 0;
    const auto add = [&](const eet::OutboxEntry& e) {
        const int row = table->rowCount();
        table->insertRow(row);
        const QStringList cells = {
            e.reference,
            FormatHalere(e.amountHalere),
            e.registered.toLocalTime().toString(QStringLiteral("d.M.yyyy H:mm")),
            StateText(e, now),
            e.pok,
            e.lastError.isEmpty() ? e.warnings.join(QLatin1Char(' ')) : e.lastError};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 0)
                item->setData(Qt::UserRole, e.id);
            table->setItem(row, c, item);
        }
        late += e.isLate(now) ? 1 : 0;
        refused += e.state == eet::OutboxEntry::State::Refused ? 1 : 0;
    };
    for (const eet::OutboxEntry& e : pending)
        add(e);
    for (auto it = confirmed.crbegin(); it != confirmed.crend(); ++it)
        add(*it);
    table->resizeColumnsToContents();
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
