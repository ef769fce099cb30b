// A window that takes the keyboard focus and prints, for every key pressed,
// the keysym (modifier keys aside) it received in the layout the compositor announced: "key 0x63"
// for a Latin c, "key 0x6d3" for a Cyrillic es.
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRasterWindow>

#include <cstdio>

namespace {

class FocusedWindow final : public QRasterWindow {
protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Modifier keys are not what a shortcut types.
        if (event->key() >= Qt::Key_Shift && event->key() <= Qt::Key_ScrollLock)
            return;
        std::printf("key 0x%x\n", event->nativeVirtualKey());
        std::fflush(stdout);
    }
    void focusInEvent(QFocusEvent*) override {
        std::printf("focused\n");
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    FocusedWindow window;
    window.resize(400, 300);
    window.show();
    return app.exec();
}
