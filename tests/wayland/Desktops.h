#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace velmora::test {

// A real desktop of its own, headless, with the layouts "ru,us,de". Each
// asks for its layout and selects one as any other client of it does.
class Desktop {
public:
    // "Sway" (as the user velmora-test: sway refuses root), "KWin" (on a private
    // bus), "Gnome" (GNOME Shell and Velmora's extension, in private namespaces).
    static std::unique_ptr<Desktop> create(const QString& name);
    virtual ~Desktop() { kill(); }

    // False, with error() saying why, when the desktop cannot start here.
    virtual bool start() = 0;
    QString error() const { return error_; }
    // What a client of the desktop needs in its environment.
    virtual QProcessEnvironment environment() const = 0;
    virtual int layout() = 0; // -1 when it does not answer
    virtual bool select(int index) = 0;
    // The desktop's own settings get a new layout list (sway only).
    virtual bool setLayouts(const QByteArray&) { return false; }
    // Ends the desktop as a crash does; restart() brings it back where it can.
    void kill();
    virtual bool restart() { return false; }

protected:
    bool fail(const QString& why);

    QTemporaryDir home_;
    QString error_;
    QProcess desktop_;
};

} // namespace velmora::test
