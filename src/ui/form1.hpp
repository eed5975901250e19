#pragma once
// The main window. It gathers the control values, runs one core command per
// click and shows what the command returns; it holds no logic of its own.

#include <QString>
#include <QWidget>
#include <filesystem>
#include <memory>

#include "core/commands/script_commands.hpp"
#include "core/message.hpp"
#include "core/records/records.hpp"
#include "core/encoding/rom_mode.hpp"

class QLineEdit;

namespace Ui {
class Form1;
}

namespace quillmere::ui {

class FileDialogs;
class MessageBoxes;

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

protected:
    // Shut-down, once: the filter lists are written, and the window closes
    // even when that fails.
    void closeEvent(QCloseEvent* event) override;

private:
    void connect_commands();
    void start_up();

    void export_clicked();
    void save_text_clicked();
    void check_clicked();
    void import_clicked();

    void add_clicked();
    void delete_clicked();
    void modify_clicked();
    void select_record(int row);
    void show_records(std::optional<std::size_t> selection);
    std::optional<std::size_t> selected_record() const;
    records::Record typed_record() const;

    bool choose_file(QLineEdit* box, const QString& filter_list);
    std::optional<QString> save_dialog();
    void choose_translation();
    void load_translation();
    void set_mode(RomMode mode);
    void set_preview(bool on);

    RomMode mode() const;
    CheckRequest check_request() const;
    void untick_filters(bool double_filter, bool single_filter);
    void show_message(const Message& message);
    bool confirm(const Message& question);

    std::filesystem::path data_dir_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    // The controls, as form1.ui lays them out.
    std::unique_ptr<Ui::Form1> ui_;
    records::RecordList records_;
    // The shared file dialog's file name, offered by its next use.
    QString remembered_file_name_;
    // The folder of the last file chosen or saved: every dialog opens there.
    QString last_folder_;
    bool shut_down_ = false;
};

}  // namespace quillmere::ui
