#include "ui/termination_watcher.hpp"

#include <QSocketNotifier>

#include "core/commands/shut_down_requests.hpp"

namespace quillmere::ui {

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent) {
    const int descriptor = watch_shut_down_requests();
    if (descriptor < 0) return;  // the signals keep their default action
    notifier_ = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        drain_shut_down_requests();
        Q_EMIT requested();
    });
}

}  // namespace quillmere::ui
