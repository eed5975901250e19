#include "ui/command_runner.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <new>
#include <utility>

#include "core/commands/messages.hpp"

namespace quillmere::ui {
namespace {

// How long a command works before the window says it is busy: quick
// commands should not flash a dialog.
constexpr int kBusyDelayMs = 300;

}  // namespace

// The busy indication: a bar that runs without an end, no cancel button,
// and neither Esc nor the title bar closes it, since the work cannot be
// stopped halfway.
class BusyDialog final : public QDialog {
public:
    explicit BusyDialog(QWidget* parent)
        : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), label_(new QLabel(this)) {
        setWindowModality(Qt::WindowModal);
        auto* bar = new QProgressBar(this);
        bar->setRange(0, 0);
        bar->setTextVisible(false);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label_);
        layout->addWidget(bar);
    }
    void set_label(const QString& text) { label_->setText(text); }
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }

private:
    QLabel* label_;
};

CommandRunner::CommandRunner(QWidget& window, std::function<void(const Message&)> report)
    : window_(window), report_(std::move(report)) {
    busy_delay_.setSingleShot(true);
    busy_delay_.setInterval(kBusyDelayMs);
    connect(&busy_delay_, &QTimer::timeout, this, &CommandRunner::show_busy);
    connect(&watcher_, &QFutureWatcher<Continuation>::finished, this, &CommandRunner::work_done);
}

CommandRunner::~CommandRunner() {
    if (!working_) return;
    future_.waitForFinished();
    // Dropped here, on the window's thread, which owns what it holds.
    if (future_.resultCount() > 0) static_cast<void>(future_.takeResult());
    hide_busy();
}

bool CommandRunner::start(const QString& label, Work work) {
    if (busy()) return false;
    launch(label, std::move(work));
    return true;
}

void CommandRunner::then(const QString& label, Work work) { launch(label, std::move(work)); }

void CommandRunner::launch(const QString& label, Work work) {
    working_ = true;
    label_ = label;
    future_ = QtConcurrent::run([work = std::move(work), this]() -> Continuation {
        // The window's one catch: a command that cannot finish tells the
        // user so, and its result, and whatever it would have written, is
        // left out.
        try {
            return work();
        } catch (const std::bad_alloc&) {
            return [this] { report_(messages::out_of_memory()); };
        } catch (...) {
            return [this] { report_(messages::unexpected_failure()); };
        }
    });
    watcher_.setFuture(future_);
    busy_delay_.start();
}

void CommandRunner::work_done() {
    if (!working_) return;
    Continuation next = future_.takeResult();
    working_ = false;
    future_ = QFuture<Continuation>();
    hide_busy();
    ++continuing_;
    if (next) next();
    --continuing_;
    if (!busy()) Q_EMIT finished();
}

void CommandRunner::wait() {
    while (working_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void CommandRunner::show_busy() {
    if (!working_) return;
    if (!progress_) progress_ = new BusyDialog(&window_);
    progress_->set_label(label_);
    progress_->show();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    cursor_set_ = true;
}

void CommandRunner::hide_busy() {
    busy_delay_.stop();
    if (progress_) progress_->hide();
    if (cursor_set_) QApplication::restoreOverrideCursor();
    cursor_set_ = false;
}

}  // namespace quillmere::ui
