// The settings dialog, help, web pages and the About box, started from the main window.
#include "app/thlavni.h"

namespace tarvela {

// Filled in by the settings and help work.
void THlavni::Akce_KonfiguraceExecute() {}

void THlavni::Akce_NapovedaExecute() {}

void THlavni::Akce_WebDomuExecute() {}

void THlavni::Akce_NavodFRExecute() {}

void THlavni::Akce_OProgramuExecute() {}

} // namespace tarvela
