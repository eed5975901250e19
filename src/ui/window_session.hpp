#pragma once
// The window's whole life on one data directory: it takes the directory for
// itself, starts up, runs, and shuts down whichever way it is ended: closed,
// terminated by a signal, or by the end of the desktop session.

#include <filesystem>

namespace quillmere::ui {

class FileDialogs;
class MessageBoxes;

// Needs a QApplication. Returns the program's exit status: 1, after
// "数据目录正被另一个窗口使用：" (错误), when another window holds the
// directory; no file is touched then.
int run_window(const std::filesystem::path& data_dir, MessageBoxes& boxes, FileDialogs& dialogs);
// The tools window on its own. It shares the data directory with a main
// window that may be open, writing there only its own settings file, so it
// does not take the directory.
int run_tools_window(const std::filesystem::path& data_dir, FileDialogs& dialogs);

}  // namespace quillmere::ui
