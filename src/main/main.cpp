#include "app/application.h"
#include "app/thlavni.h"

int main(int argc, char** argv) {
    tarvela::TarvelaApplication app(argc, argv);
    tarvela::SetUpApplication(app);

    tarvela::THlavni window;
    if (window.TerminateRequested)
        return 0;
    window.show();
    return app.exec();
}
