#include "ui/window_session.hpp"

#include <QApplication>
#include <QSessionManager>

#include "core/commands/data_dir_lock.hpp"
#include "ui/form1.hpp"
#include "ui/message_boxes.hpp"
#include "ui/qt_text.hpp"
#include "ui/termination_watcher.hpp"
#include "ui/tools/tools_window.hpp"

namespace quillmere::ui {

int run_window(const std::filesystem::path& data_dir, MessageBoxes& boxes, FileDialogs& dialogs) {
    auto lock = lock_data_dir(data_dir);
    if (!lock) {
        boxes.show(nullptr, to_qt(lock.error().title()), to_qt(lock.error().text), Buttons::ok, Icon::none);
        return 1;
    }
    Form1 window(data_dir, boxes, dialogs);
    // A signal ends the program as closing the window does; it may arrive
    // while a dialog is open, whose loop must end too. The loops are told
    // first, so that a command still running, which shut-down waits for,
    // opens no dialog of its own.
    TerminationWatcher watcher;
    QObject::connect(&watcher, &TerminationWatcher::requested, &window, [&window] {
        QCoreApplication::exit(0);
        window.close();
    });
    // The session asks for the data before it ends; it may yet be cancelled,
    // so the window stays open.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.save_filter_lists(false); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &window, [&window] { window.close(); });
    window.show();
    return QApplication::exec();
}

int run_tools_window(const std::filesystem::path& data_dir, FileDialogs& dialogs) {
    ToolsWindow window(data_dir, dialogs, std::nullopt);
    TerminationWatcher watcher;
    QObject::connect(&watcher, &TerminationWatcher::requested, &window, [&window] {
        QCoreApplication::exit(0);
        window.close();
    });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &window, [&window] { window.close(); });
    window.show();
    return QApplication::exec();
}

}  // namespace quillmere::ui
