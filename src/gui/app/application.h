#pragma once

#include <QApplication>

namespace tarvela {

// The GUI application. Its notify is the last net for a failure that escaped every handler
// guard: the failure is shown in the error box and the program goes on.
class TarvelaApplication : public QApplication {
public:
    TarvelaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// What the program sets before its main window exists: the title "Tarvela", Czech as the
// widgets' default locale (month and day names) and Qt's own Czech translations (standard
// buttons, context menus of edit fields). The system locale, which the decimal-separator check
// reads, is left alone.
void SetUpApplication(QApplication& app);

} // namespace tarvela
