#include "ui/tools/tool_runner.hpp"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>
#include <new>
#include <utility>

#include "core/commands/messages.hpp"
#include "core/commands/tools_texts.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/tool_controls.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

ToolRunner::ToolRunner(std::function<void(const Message&)> report, QWidget* parent)
    : QWidget(parent),
      report_(std::move(report)),
      label_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      cancel_(new QPushButton(to_qt(texts::kCancel), this)) {
    name_control(*bar_, "progress", texts::kProgress);
    name_control(*cancel_, "cancel", texts::kCancel);
    // The commands tell no fraction done: the bar runs without an end while
    // one works, and stands empty otherwise.
    bar_->setRange(0, 1);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    cancel_->setEnabled(false);
    pool_.setMaxThreadCount(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_);
    layout->addWidget(bar_, 1);
    layout->addWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, this, &ToolRunner::cancel);
    connect(&watcher_, &QFutureWatcher<Continuation>::finished, this, &ToolRunner::work_done);
}

ToolRunner::~ToolRunner() {
    if (!working_) return;
    cancel();
    future_.waitForFinished();
    if (future_.resultCount() > 0) static_cast<void>(future_.takeResult());
}

bool ToolRunner::start(const QString& label, Work work) {
    if (working_) return false;
    working_ = true;
    cancel_flag_ = std::make_shared<std::atomic<bool>>(false);
    CancelCheck cancelled = [flag = cancel_flag_] { return flag->load(); };
    future_ = QtConcurrent::run(&pool_, [work = std::move(work), cancelled, this]() -> Continuation {
        try {
            return work(cancelled);
        } catch (const std::bad_alloc&) {
            return [this] { report_(messages::out_of_memory()); };
        } catch (...) {
            return [this] { report_(messages::unexpected_failure()); };
        }
    });
    watcher_.setFuture(future_);
    label_->setText(label);
    bar_->setRange(0, 0);
    cancel_->setEnabled(true);
    Q_EMIT busy_changed(true);
    return true;
}

void ToolRunner::cancel() {
    if (working_ && cancel_flag_) cancel_flag_->store(true);
    cancel_->setEnabled(false);
}

void ToolRunner::wait() {
    while (working_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void ToolRunner::work_done() {
    if (!working_) return;
    Continuation next = future_.takeResult();
    future_ = QFuture<Continuation>();
    working_ = false;
    label_->clear();
    bar_->setRange(0, 1);
    bar_->setValue(0);
    cancel_->setEnabled(false);
    if (next) next();
    Q_EMIT busy_changed(false);
}

}  // namespace quillmere::ui
