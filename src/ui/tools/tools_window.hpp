#pragma once
// The tools window (工具箱): every command beyond the main window's, one tab
// each, each a form over the command the command line runs. The shared
// settings sit above the tabs; the progress bar, 取消 and the last message
// below them. Its choices are kept in its own settings file in the data
// directory.

#include <QWidget>
#include <filesystem>
#include <optional>

#include "core/commands/message.hpp"
#include "ui/tools/shared_panel.hpp"

class QLabel;
class QTabWidget;

namespace quillmere::ui {

class FileDialogs;
class ToolRunner;

class ToolsWindow : public QWidget {
    Q_OBJECT

public:
    // The settings file is read here; `start`, when given, overrides the
    // shared settings kept in it. The dialogs must outlive the window.
    ToolsWindow(std::filesystem::path data_dir, FileDialogs& dialogs, const std::optional<ToolsStart>& start,
                QWidget* parent = nullptr);
    ~ToolsWindow() override;

    void fill(const ToolsStart& start);
    ToolRunner& runner() { return *runner_; }
    // Processes events until the running command, if any, is done.
    void wait_for_command();
    // Writes the settings file; its failure shows as the window's message.
    void save_settings();

Q_SIGNALS:
    // A command's result has been shown.
    void command_finished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void show_message(const Message& message);

    std::filesystem::path data_dir_;
    ToolRunner* runner_;
    SharedPanel* shared_;
    QTabWidget* tabs_;
    QLabel* message_;
};

}  // namespace quillmere::ui
