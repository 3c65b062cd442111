// The item grid of the main window: drawing, the current row, totals and the item actions.
#include "app/thlavni.h"

namespace tarvela {

// Filled in by the item grid work.
void THlavni::SetUpGrid1Drawing() {}

void THlavni::Grid1Click() {}

void THlavni::RecomputeRow(int row) {
    Q_UNUSED(row);
}

void THlavni::ShowTotals() {}

void THlavni::Akce_ZkopirovatPolozkuExecute() {}

void THlavni::Akce_VlozitPolozkuExecute() {}

void THlavni::Akce_SmazatPolozkuExecute() {}

void THlavni::Akce_PolozkaDoluExecute() {}

void THlavni::Akce_PolozkaNahoruExecute() {}

} // namespace tarvela
