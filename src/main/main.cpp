#include "app/application.h"
#include "app/thlavni.h"
#include "text/message_boxes.h"

#include <QTimer>

int main(int argc, char** argv) {
    tarvela::TarvelaApplication app(argc, argv);
    tarvela::SetUpApplication(app);

    tarvela::THlavni window;
    if (window.TerminateRequested())
        return 0;
    window.show();
    if (window.FirstStart())
        QTimer::singleShot(0, &window, tarvela::Guarded([&window] { window.FormFirstStart(); }));
    return app.exec();
}
