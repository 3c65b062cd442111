#include "eet/eet_password.h"

#include "eet/eet_module.h"
#include "text/message_boxes.h"

#include <QHash>

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
    // The secret store is reached through the EET module (eet/eet_module.h), loaded now.
    eet::LoadedEetModule().storeSecret(kService, programFolder, password);
}

void EetPassword::Read(const QString& programFolder, std::function<void(const QString&)> done) {
    eet::LoadedEetModule().readSecret(kService, programFolder,
                                      [programFolder, done](const QString& password) {
                                          RunGuarded([&] {
                                              if (!password.isEmpty())
                                                  RunPasswords().insert(programFolder, password);
                                              done(password);
                                          });
                                      });
}

} // namespace tarvela
