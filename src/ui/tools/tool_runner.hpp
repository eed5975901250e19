#pragma once
// The tools window's commands run on a worker thread, one at a time, with a
// progress bar and a 取消 button beside it. 取消 raises a flag the command
// asks before it writes a file (CancelCheck): a command that sees it writes
// nothing and says so. The work returns what runs back on the window's
// thread.

#include <QFuture>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

#include "core/commands/cancel_check.hpp"
#include "core/commands/message.hpp"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quillmere::ui {

class ToolRunner : public QWidget {
    Q_OBJECT

public:
    using Continuation = std::function<void()>;
    // Runs on the worker; touches no widget.
    using Work = std::function<Continuation(const CancelCheck& cancelled)>;

    // `report` shows the message of a work that threw.
    ToolRunner(std::function<void(const Message&)> report, QWidget* parent = nullptr);
    // Cancels and waits for a running work; its result is dropped.
    ~ToolRunner() override;

    bool busy() const { return working_; }
    // Does nothing and returns false while a work runs.
    bool start(const QString& label, Work work);
    void cancel();
    // Processes events until no work runs.
    void wait();
    // The one thread the works run on, their own: a work never waits for
    // Qt's threads, nor they for it. Tests hold it to catch a work queued.
    QThreadPool& pool() { return pool_; }

Q_SIGNALS:
    void busy_changed(bool busy);

private:
    void work_done();

    std::function<void(const Message&)> report_;
    QThreadPool pool_;
    QFuture<Continuation> future_;
    QFutureWatcher<Continuation> watcher_;
    std::shared_ptr<std::atomic<bool>> cancel_flag_;
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    bool working_ = false;
};

}  // namespace quillmere::ui
