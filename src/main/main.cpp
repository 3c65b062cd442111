#include "app/application.h"
#include "app/thlavni.h"
#include "text/message_boxes.h"

#include <QTimer>

int main(int argc, char** argv) {
    tarvela::TarvelaApplication app(argc, argv);
    tarvela::SetUpApplication(app);

    // The window is mapped before its form is made; the form is made before its first painting.
    tarvela::THlavni window(tarvela::THlavni::Making::FrameFirst);
    if (window.TerminateRequested())
        return 0;
    window.show();
    window.MakeForm();
    if (window.FirstStart())
        QTimer::singleShot(0, &window, tarvela::Guarded([&window] { window.FormFirstStart(); }));
    return app.exec();
}
