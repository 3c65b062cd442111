#include "eet/eet_settings_page.h"

#include "eet/eet_password.h"
#include "eet/eet_service.h"
#include "net/eet_sender.h"
#include "text/errors.h"
#include "text/message_boxes.h"
#include "ui_eet_settings_page.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>

namespace tarvela {

EetSettingsPage::EetSettingsPage(const QString& programFolder, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::EetSettingsPage>()), programFolder_(programFolder),
      loaded_(eet::LoadEetSettings(programFolder)) {
    ui_->setupUi(this);
    // Laid out at once: a tab page not shown yet would otherwise keep its controls at their
    // initial sizes until it is first shown.
    layout()->setGeometry(rect());
    ui_->Cb_EetEviduje->setChecked(loaded_.registers);
    ui_->Ed_EetIdJednotky->setText(loaded_.idJednotky);
    ui_->Ed_EetIdPokl->setText(loaded_.idPokl);
    if (QFile::exists(eet::CertificatePath(programFolder)))
        ui_->Ed_EetCertifikat->setText(loaded_.eic.isEmpty()
                                           ? QStringLiteral("vybrán")
                                           : QStringLiteral("vybrán (%1)").arg(loaded_.eic));
    ui_->Ed_EetHeslo->setText(EetPassword::Known(programFolder));
    ui_->Cb_EetProstredi->setCurrentIndex(loaded_.playground ? 1 : 0);
    ui_->Sp_EetTimeout->setValue(loaded_.timeoutMs / 1000);
    ui_->Cb_EetTiskPOK->setChecked(loaded_.printPok);
    ConnectGuarded(ui_->Tl_EetCertifikat, &QPushButton::clicked, this,
                   &EetSettingsPage::chooseCertificate);
    ConnectGuarded(ui_->Tl_EetOverit, &QPushButton::clicked, this, &EetSettingsPage::verify);
    for (QCheckBox* box : {ui_->Cb_EetEviduje, ui_->Cb_EetTiskPOK})
        connect(box, &QCheckBox::clicked, this, &EetSettingsPage::edited);
    for (QLineEdit* edit : {ui_->Ed_EetIdJednotky, ui_->Ed_EetIdPokl, ui_->Ed_EetHeslo})
        connect(edit, &QLineEdit::textEdited, this, &EetSettingsPage::edited);
    connect(ui_->Cb_EetProstredi, &QComboBox::activated, this, &EetSettingsPage::edited);
    connect(ui_->Sp_EetTimeout, &QSpinBox::valueChanged, this, &EetSettingsPage::edited);
}

EetSettingsPage::~EetSettingsPage() = default;

QString EetSettingsPage::status() const {
    return ui_->La_EetStav->text();
}

eet::EetSettings EetSettingsPage::values() const {
    eet::EetSettings s = loaded_;
    s.registers = ui_->Cb_EetEviduje->isChecked();
    s.idJednotky = ui_->Ed_EetIdJednotky->text().trimmed();
    s.idPokl = ui_->Ed_EetIdPokl->text().trimmed();
    s.playground = ui_->Cb_EetProstredi->currentIndex() == 1;
    s.timeoutMs = ui_->Sp_EetTimeout->value() * 1000;
    s.printPok = ui_->Cb_EetTiskPOK->isChecked();
    return s;
}

void EetSettingsPage::chooseCertificate() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Certifikát pro EET"), QString(),
        QStringLiteral("Certifikát (*.p12 *.pfx);;Všechny soubory (*)"));
    if (path.isEmpty())
        return;
    chosenCertificate_ = path;
    emit edited();
    ui_->Ed_EetCertifikat->setText(QDir::toNativeSeparators(path));
    ui_->Ed_EetHeslo->clear();
    ui_->Ed_EetHeslo->setFocus();
}

void EetSettingsPage::save() {
    eet::EetSettings s = values();
    if (s.registers) {
        // the values the service refuses are refused here, naming the field
        eet::DataAttributes(eet::TillSale(s, s.eic.isEmpty() ? QStringLiteral("CZ00000000") : s.eic,
                                          QStringLiteral("1"), QDateTime::currentDateTime(), 0));
    }
    const QString password = ui_->Ed_EetHeslo->text();
    if (!chosenCertificate_.isEmpty()) {
        s.eic = eet::ImportCertificate(programFolder_, chosenCertificate_, password);
        chosenCertificate_.clear();
    }
    eet::SaveEetSettings(programFolder_, s);
    if (!password.isEmpty())
        EetPassword::Store(programFolder_, password);
    loaded_ = s;
    EetService::Of(programFolder_).start();
}

void EetSettingsPage::verify() {
    const eet::EetSettings s = values();
    const QString file =
        chosenCertificate_.isEmpty() ? eet::CertificatePath(programFolder_) : chosenCertificate_;
    const QString password = ui_->Ed_EetHeslo->text();
    QFile p12(file);
    if (!p12.open(QIODevice::ReadOnly)) {
        ui_->La_EetStav->setText(QStringLiteral("Nejprve vyberte certifikát pro EET."));
        return;
    }
    const eet::TaxpayerCertificate cert = eet::TaxpayerCertificate::Load(p12.readAll(), password);
    const QString warning = cert.expiryWarning(QDateTime::currentDateTimeUtc());
    // a message in verification mode, signed with this certificate, to the chosen environment
    auto* once = new EetDispatcher(
        QString(), [cert](QString*) { return std::optional<eet::TaxpayerCertificate>(cert); },
        this);
    once->setConnection(EetConnectionFor(s));
    connect(once, &EetDispatcher::verified, this, [this, once, warning](const eet::Answer& a) {
        once->deleteLater();
        ui_->Tl_EetOverit->setEnabled(true);
        QString text =
            a.outcome == eet::Outcome::Verified
                ? QStringLiteral("Spojení se službou EET je v pořádku. %1").arg(a.message)
                : a.message;
        if (!warning.isEmpty())
            text += QLatin1Char(' ') + warning;
        ui_->La_EetStav->setText(text);
    });
    ui_->Tl_EetOverit->setEnabled(false);
    ui_->La_EetStav->setText(QStringLiteral("Ověřuji spojení se službou EET…"));
    once->verify(
        eet::TillSale(s, cert.eic(), QStringLiteral("overeni"), QDateTime::currentDateTime(), 100));
}

} // namespace tarvela
