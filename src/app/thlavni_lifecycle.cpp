// The invoice lifecycle of the main window: new, open, save, close and emptying the window.
#include "app/thlavni.h"

namespace tarvela {

// Filled in by the invoice lifecycle work.
void THlavni::Akce_NovaFakturaExecute() {}

void THlavni::Akce_OtevritFakturuExecute() {}

void THlavni::Akce_UlozitFakturuExecute() {}

void THlavni::Akce_ZavritFakturuExecute() {}

void THlavni::ClearInvoice() {}

} // namespace tarvela
