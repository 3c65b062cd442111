// "Načíst výpis z banky…" from the main window: the review of the statement's payments, with the
// open invoice guarded as the invoice book guards it.
#include "app/thlavni.h"

#include "bank/tvypiszbanky.h"

namespace tarvela {

void THlavni::Akce_NacistVypisExecute() {
    BookHost host;
    host.HasUnsavedChanges = [this](const QString& path) { return modified_ && ShowsFile(path); };
    const QStringList written = ImportBankStatements(this, ProgramFolder, Settings, host);
    for (const QString& path : written)
        PaymentWritten(path);
    if (!written.isEmpty())
        UpdateOverdueNotice(-1);
}

} // namespace tarvela
