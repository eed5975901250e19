#pragma once
// Termination requests from outside the window (SIGTERM, SIGHUP; on Windows
// the console control events) delivered as a Qt signal on the window's
// thread, where the window can shut down as if it were closed.

#include <QObject>


namespace quillmere::ui {

class TerminationWatcher : public QObject {
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject* parent = nullptr);

Q_SIGNALS:
    void requested();

private:
    QObject* notifier_ = nullptr;  // a socket notifier on POSIX, an event notifier on Windows
};

}  // namespace quillmere::ui
