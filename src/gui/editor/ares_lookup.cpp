#include "editor/ares_lookup.h"

#include "editor/customer_book.h"
#include "net/ares_fetcher.h"
#include "settings/service_settings.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

#include <QProgressDialog>
#include <QPushButton>

namespace tarvela {

QString AresCaption() {
    return QStringLiteral("Načíst z ARES");
}

AresLookup::AresLookup(QWidget* window, const QString& programFolder)
    : QObject(window), programFolder_(programFolder), window_(window) {}

AresLookup::~AresLookup() = default;

bool AresLookup::Start(const QString& ic) {
    const QString typed = TrimText(ic);
    if (typed.isEmpty()) {
        ShowInfoCaption(AresCaption(), QStringLiteral("Zadejte IČ odběratele; podle něj se údaje "
                                                      "v registru ARES vyhledají."));
        return false;
    }
    if (!IsValidIC(typed)) {
        ShowWarning(AresCaption(),
                    ICWarning(typed) + QStringLiteral("\r\nV registru ARES se hledá jen podle "
                                                      "platného IČ."));
        return false;
    }
    // The fetcher is made when first needed, so a test's address override made before counts.
    if (!fetcher_) {
        const ServiceSettings services = LoadServiceSettings(programFolder_);
        fetcher_ = new AresFetcher(services.aresUrl, this);
        fetcher_->setTrustedCertificates(services.trustedTls);
        connect(fetcher_, &AresFetcher::subjectReady, this,
                Guarded([this](const AresSubject& subject) {
                    Finish();
                    emit found(subject);
                }));
        connect(fetcher_, &AresFetcher::failed, this, Guarded([this](const QString& message) {
                    Finish();
                    ShowWarning(AresCaption(), message);
                }));
    }
    if (!progress_) {
        progress_ = new QProgressDialog(window_);
        progress_->setObjectName(QStringLiteral("ProgressAres"));
        progress_->setWindowTitle(AresCaption());
        progress_->setCancelButtonText(QStringLiteral("Storno"));
        progress_->setRange(0, 0);
        progress_->setMinimumDuration(0);
        progress_->setAutoReset(false);
        progress_->setAutoClose(false);
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumWidth(320);
        connect(progress_, &QProgressDialog::canceled, this, Guarded([this] { Cancel(); }));
    }
    progress_->setLabelText(
        QStringLiteral("Načítám údaje subjektu s IČ %1 z registru ARES…").arg(typed));
    progress_->show();
    fetcher_->fetch(typed);
    return true;
}

void AresLookup::Cancel() {
    if (fetcher_)
        fetcher_->cancel();
    Finish();
}

void AresLookup::Finish() {
    if (progress_)
        progress_->hide();
}

} // namespace tarvela
