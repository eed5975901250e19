#include "ui/termination_watcher.hpp"

#include <QtGlobal>
#if defined(Q_OS_WIN)
#include <QWinEventNotifier>
#else
#include <QSocketNotifier>
#endif

#include "core/commands/shut_down_requests.hpp"

namespace quillmere::ui {

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent) {
    const std::intptr_t watched = watch_shut_down_requests();
    if (watched == -1) return;  // the requests keep their default action
    // A descriptor that turns readable on POSIX, an event that is set on Windows.
#if defined(Q_OS_WIN)
    auto* notifier = new QWinEventNotifier(reinterpret_cast<Qt::HANDLE>(watched), this);
    connect(notifier, &QWinEventNotifier::activated, this, [this] {
        drain_shut_down_requests();
        Q_EMIT requested();
    });
#else
    auto* notifier = new QSocketNotifier(static_cast<qintptr>(watched), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        drain_shut_down_requests();
        Q_EMIT requested();
    });
#endif
    notifier_ = notifier;
}

}  // namespace quillmere::ui
