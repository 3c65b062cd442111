#pragma once

#include <QString>

#include <functional>

namespace tarvela {

// The till certificate's password, kept in the desktop's secret store (QtKeychain) under the
// program folder's name, never in Tarvela.ini. Where no store answers, it is kept for this run
// only and asked again at the next start.
class EetPassword {
public:
    // The password known in this run (typed or read from the store); empty when none.
    static QString Known(const QString& programFolder);
    // Remembers it for this run and writes it to the secret store in the background.
    static void Store(const QString& programFolder, const QString& password);
    // Reads it from the secret store in the background; `done` gets it (empty when the store has
    // none or there is no store) from the event loop.
    static void Read(const QString& programFolder, std::function<void(const QString&)> done);
};

} // namespace tarvela
