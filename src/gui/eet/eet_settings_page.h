#pragma once

#include "eet/eet_settings.h"

#include <QWidget>

#include <memory>

namespace Ui {
class EetSettingsPage;
}

namespace tarvela {

// The settings dialog's page "EET": whether the supplier registers, the evidence unit and the
// till, the certificate and its password, the environment, the answer timeout, the POK on the
// receipt, and "Ověřit spojení".
class EetSettingsPage : public QWidget {
    Q_OBJECT
public:
    EetSettingsPage(const QString& programFolder, QWidget* parent = nullptr);
    ~EetSettingsPage() override;

    // Checks and writes the page (the password to the secret store, never to Tarvela.ini).
    // ValidationError naming the field when a value cannot be used; nothing written then.
    void save();

    // What "Ověřit spojení" last said (also shown on the page).
    QString status() const;

signals:
    // The user changed a value of the page.
    void edited();

private:
    eet::EetSettings values() const;
    void chooseCertificate();
    void verify();

    std::unique_ptr<Ui::EetSettingsPage> ui_;
    QString programFolder_;
    eet::EetSettings loaded_;
    QString chosenCertificate_; // a newly chosen .p12 not yet copied
};

} // namespace tarvela
