#pragma once
// The main window. It gathers the control values, runs one core command per
// click and shows what the command returns; it holds no logic of its own.
// The long commands run on a worker thread (CommandRunner), one at a time:
// a click on a command button while one runs is ignored.

#include <QString>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>

#include "core/commands/export_command.hpp"
#include "core/commands/message.hpp"
#include "core/commands/records_commands.hpp"
#include "core/commands/script_commands.hpp"
#include "core/commands/table_setup.hpp"
#include "ui/command_runner.hpp"

class QLineEdit;
class QPlainTextEdit;

namespace Ui {
class Form1;
}

namespace quillmere::ui {

class FileDialogs;
class MessageBoxes;
class ToolsWindow;

class Form1 : public QWidget {
    Q_OBJECT

public:
    // Start-up runs here, from `data_dir`; the boxes and dialogs must outlive
    // the window.
    Form1(std::filesystem::path data_dir, MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent = nullptr);
    ~Form1() override;

    // Writes the filter lists to the data directory, as shut-down does;
    // shows the failure message when asked to.
    void save_filter_lists(bool report_failure);

    // A command is running (on the worker, or showing its result).
    bool busy() const { return commands_.busy(); }
    // Processes events until the running command, if any, is done.
    void wait_for_command() { commands_.wait(); }
    // The runner the command buttons use; tests hand it work of their own.
    CommandRunner& command_runner() { return commands_; }
    // Ctrl+T: the tools window, filled with this window's ROM, tables, mode
    // and ticked filter lists; made on first use, raised after.
    ToolsWindow& open_tools();

Q_SIGNALS:
    // A command has shown its result.
    void command_finished();

protected:
    // Shut-down, once: a running command finishes first, then the filter
    // lists are written, and the window closes even when that fails.
    void closeEvent(QCloseEvent* event) override;

private:
    struct ExportOutcome;

    void connect_commands();
    void start_up();

    // form1_commands.cpp: the commands that run on the worker.
    void export_clicked();
    void show_export(const std::shared_ptr<ExportOutcome>& outcome);
    void save_text_clicked();
    void check_clicked();
    void import_clicked();
    void choose_translation();
    void load_translation();
    TableSetup table_setup() const;
    // The check's values; `script` gets text10's raw text when it is the script.
    CheckRequest check_request(QString& script) const;

    void add_clicked();
    void delete_clicked();
    void modify_clicked();
    void select_record(int row);
    void show_records(std::optional<std::size_t> selection);
    void take_records(CommandResult<RecordsPayload> result, std::optional<std::size_t> selection);
    std::optional<std::size_t> selection() const;
    Record typed_record() const;

    bool choose_file(QLineEdit* box, const QString& filter_list);
    std::optional<QString> save_dialog();
    void set_mode(RomMode mode);
    void set_preview(bool on);

    RomMode mode() const;
    void untick_filters(const FilterUnticks& untick);
    void show_message(const Message& message);
    bool confirm(const Message& question);

    std::filesystem::path data_dir_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    // The controls, as form1.ui lays them out.
    std::unique_ptr<Ui::Form1> ui_;
    RecordList records_;
    // The shared file dialog's file name, offered by its next use.
    QString remembered_file_name_;
    // The folder of the last file chosen or saved: every dialog opens there.
    QString last_folder_;
    bool shut_down_ = false;
    // A window of its own, owned here so that it closes with this one.
    std::unique_ptr<ToolsWindow> tools_;
    // Last, so that it goes first: it waits for a running work.
    CommandRunner commands_;
};

}  // namespace quillmere::ui
