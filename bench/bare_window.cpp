// The baseline of the start-up benchmark: a bare Qt Widgets window, built with the same flags as
// the program, shown at once. It reads nothing and loads nothing but Qt Widgets.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tarvela"));
    window.resize(759, 640);
    window.show();
    return app.exec();
}
