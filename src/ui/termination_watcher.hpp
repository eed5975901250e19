#pragma once
// Termination requests from outside the window (SIGTERM, SIGHUP) delivered
// as a Qt signal on the window's thread, where the window can shut down as
// if it were closed.

#include <QObject>

class QSocketNotifier;

namespace quillmere::ui {

class TerminationWatcher : public QObject {
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject* parent = nullptr);

Q_SIGNALS:
    void requested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quillmere::ui
