// The item editor, the template and customer pickers, the payment date and the period change.
#include "app/thlavni.h"

namespace tarvela {

// Filled in by the item editor and pickers work.
void THlavni::Akce_EditovatPolozkuExecute() {}

void THlavni::Grid1DblClick() {}

void THlavni::Tl_VybratVzorFakturyClick() {}

void THlavni::Tl_VybratOdberateleClick() {}

void THlavni::Tl_DatumClick() {}

void THlavni::Tl_ZrusitClick() {}

void THlavni::Akce_ZmenaObdobiExecute() {}

} // namespace tarvela
