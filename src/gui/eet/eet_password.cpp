#include "eet/eet_password.h"

#include "text/message_boxes.h"

#include <QHash>

#include <qt6keychain/keychain.h>

namespace tarvela {

namespace {

const QString kService = QStringLiteral("Tarvela EET");

QHash<QString, QString>& RunPasswords() {
    static QHash<QString, QString> passwords;
    return passwords;
}

} // namespace

QString EetPassword::Known(const QString& programFolder) {
    return RunPasswords().value(programFolder);
}

void EetPassword::Store(const QString& programFolder, const QString& password) {
    RunPasswords().insert(programFolder, password);
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(programFolder);
    job->setTextData(password);
    job->start();
}

void EetPassword::Read(const QString& programFolder, std::function<void(const QString&)> done) {
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(programFolder);
    ConnectGuarded(job, &QKeychain::Job::finished, job, [programFolder, done](QKeychain::Job* j) {
        QString password;
        if (j->error() == QKeychain::NoError)
            password = static_cast<QKeychain::ReadPasswordJob*>(j)->textData();
        if (!password.isEmpty())
            RunPasswords().insert(programFolder, password);
        done(password);
    });
    job->start();
}

} // namespace tarvela
