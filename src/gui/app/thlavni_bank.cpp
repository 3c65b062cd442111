// "Načíst výpis z banky…" from the main window: the review of the statement's payments, with the
// open invoice guarded as the invoice book guards it.
#include "app/thlavni.h"

#include "bank/tvypiszbanky.h"

namespace tarvela {

void THlavni::Akce_NacistVypisExecute() {
    BookHost host;
    host.HasUnsavedChanges = [this](const QString& path) { return modified_ && ShowsFile(path); };
    host.PaymentWritten = [this](const QString& path) { PaymentWritten(path); };
    if (ImportBankStatements(this, ProgramFolder, Settings, host))
        UpdateOverdueNotice(-1);
}

} // namespace tarvela
