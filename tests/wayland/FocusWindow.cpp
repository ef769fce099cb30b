// A window of the application named by the first argument (its Wayland
// app_id, on X11 its class), open until standard input closes: a desktop
// focuses it as it focuses any new window.
#include <QGuiApplication>
#include <QRasterWindow>
#include <QSocketNotifier>

#include <unistd.h>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc > 1) {
        QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[1]));
        QGuiApplication::setApplicationName(QString::fromLocal8Bit(argv[1]));
    }
    QRasterWindow window;
    window.resize(320, 200);
    window.show();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&] {
        char byte;
        if (::read(STDIN_FILENO, &byte, 1) <= 0)
            QGuiApplication::quit();
    });
    return QGuiApplication::exec();
}
