// A window of the application named by the first argument (its Wayland
// app_id, on X11 its class), open until the process ends: a desktop focuses
// it as it focuses any new window.
#include <QGuiApplication>
#include <QRasterWindow>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[argc - 1]));
    QGuiApplication::setApplicationName(QString::fromLocal8Bit(argv[argc - 1]));
    QRasterWindow window;
    window.resize(320, 200);
    window.show();
    return QGuiApplication::exec();
}
