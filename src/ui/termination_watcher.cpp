#include "ui/termination_watcher.hpp"

#include <QSocketNotifier>

#include "core/platform/termination_signals.hpp"

namespace quillmere::ui {

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent) {
    const int descriptor = platform::watch_termination_requests();
    if (descriptor < 0) return;  // the signals keep their default action
    notifier_ = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        platform::drain_termination_requests();
        emit requested();
    });
}

}  // namespace quillmere::ui
