#pragma once
// The window's long commands (export, check, import, saving and loading the
// text areas) run on a worker thread, one at a time, so that the window
// keeps repainting. The window hands the work plain values; what the work
// returns runs back on the window's thread, where every dialog and message
// box opens. After a moment of work a busy indication shows.

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "core/commands/message.hpp"

class QWidget;

namespace quillmere::ui {

class BusyDialog;

class CommandRunner : public QObject {
    Q_OBJECT

public:
    // Runs on the window's thread with the work's result.
    using Continuation = std::function<void()>;
    // Runs on the worker thread; touches no widget.
    using Work = std::function<Continuation()>;

    // A work that throws shows `report`'s message instead of its result:
    // "内存不足…" for std::bad_alloc, "命令意外中止…" for anything else.
    CommandRunner(QWidget& window, std::function<void(const Message&)> report);
    // Waits for a running work; its result is dropped.
    ~CommandRunner() override;

    // From the start of a command to the end of its last continuation.
    bool busy() const { return working_ || continuing_ > 0; }
    // Starts a command; does nothing and returns false while one is busy.
    bool start(const QString& label, Work work);
    // Called from a continuation: the command's next step.
    void then(const QString& label, Work work);
    // Processes events until no work runs any more (continuations that
    // start no further work have run by then). Inside a continuation it
    // returns at once: that continuation is what the caller waits on.
    void wait();

Q_SIGNALS:
    // The command's last continuation has returned.
    void finished();

private:
    void launch(const QString& label, Work work);
    void work_done();
    void show_busy();
    void hide_busy();

    QWidget& window_;
    std::function<void(const Message&)> report_;
    QFuture<Continuation> future_;
    QFutureWatcher<Continuation> watcher_;
    QTimer busy_delay_;
    QString label_;
    BusyDialog* progress_ = nullptr;
    bool cursor_set_ = false;
    bool working_ = false;
    int continuing_ = 0;
};

}  // namespace quillmere::ui
