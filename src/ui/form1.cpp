#include "ui/form1.hpp"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <utility>

#include "core/commands/messages.hpp"
#include "core/version.hpp"
#include "ui/app_icon.hpp"
#include "ui/file_dialogs.hpp"
#include "ui/form1_controls.hpp"
#include "ui/message_boxes.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/tools_window.hpp"
#include "ui_form1.h"

namespace quillmere::ui {

Form1::Form1(std::filesystem::path data_dir, MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent)
    : QWidget(parent), data_dir_(std::move(data_dir)), boxes_(boxes), dialogs_(dialogs),
      ui_(std::make_unique<Ui::Form1>()), commands_(*this, [this](const Message& message) { show_message(message); }) {
    set_up_form1(*this, *ui_);
    // The version comes from the project, so the caption is set here.
    setWindowTitle(QStringLiteral("Quillmere V") + QString::fromLatin1(kVersion));
    setWindowIcon(quillmere_icon());
    set_preview(false);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(&commands_, &CommandRunner::finished, this, &Form1::command_finished);
    connect_commands();
    // A key and no control: the window stays as it is drawn.
    auto* tools = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    connect(tools, &QShortcut::activated, this, [this] { open_tools(); });
    start_up();
}

ToolsWindow& Form1::open_tools() {
    TableSetup tables = table_setup();
    // The main window's temporary files are its own.
    tables.data_dir.reset();
    const ToolsStart start{to_path(ui_->Text1->text()), std::move(tables)};
    if (!tools_)
        tools_ = std::make_unique<ToolsWindow>(data_dir_, dialogs_, start);
    else
        tools_->fill(start);
    tools_->show();
    tools_->raise();
    tools_->activateWindow();
    return *tools_;
}

Form1::~Form1() = default;

void Form1::connect_commands() {
    connect(ui_->gettext, &QPushButton::clicked, this, &Form1::export_clicked);
    connect(ui_->Command4, &QPushButton::clicked, this, &Form1::save_text_clicked);
    connect(ui_->Command5, &QPushButton::clicked, this, &Form1::check_clicked);
    connect(ui_->intext, &QPushButton::clicked, this, &Form1::import_clicked);

    connect(ui_->Command1, &QPushButton::clicked, this, &Form1::add_clicked);
    connect(ui_->Command2, &QPushButton::clicked, this, &Form1::delete_clicked);
    connect(ui_->Command3, &QPushButton::clicked, this, &Form1::modify_clicked);
    // A click on the entry already selected shows its values again.
    connect(ui_->List1, &QListWidget::currentRowChanged, this, &Form1::select_record);
    connect(ui_->List1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { select_record(ui_->List1->row(item)); });

    connect(ui_->openrom, &QPushButton::clicked, this,
            [this] { choose_file(ui_->Text1, to_qt(messages::rom_file_types())); });
    connect(ui_->opentlb, &QPushButton::clicked, this,
            [this] { choose_file(ui_->Text2, to_qt(messages::code_table_file_types())); });
    connect(ui_->Command6, &QPushButton::clicked, this,
            [this] { choose_file(ui_->Text13, to_qt(messages::code_table_file_types())); });
    connect(ui_->openyw, &QPushButton::clicked, this, &Form1::choose_translation);

    // However an option gets selected (click, arrow key), the enabled
    // states follow it.
    const std::pair<QRadioButton*, RomMode> options[] = {
        {ui_->Option1, RomMode::single_byte}, {ui_->Option2, RomMode::double_byte}, {ui_->Option3, RomMode::both}};
    for (const auto& [option, option_mode] : options) {
        connect(option, &QRadioButton::toggled, this, [this, option_mode](bool selected) {
            if (selected) set_mode(option_mode);
        });
    }
    connect(ui_->Check4, &QCheckBox::toggled, this, &Form1::set_preview);
}

void Form1::start_up() {
    ui_->Command6->setEnabled(false);
    ui_->Text13->setEnabled(false);
    StartUp state = run_start_up(data_dir_);
    records_ = std::move(state.records);
    show_records(std::nullopt);
    set_editor_text(*ui_->Text6, state.single_filter_text);
    set_editor_text(*ui_->Text12, state.double_filter_text);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!shut_down_) {
        shut_down_ = true;
        // An import stopped halfway would leave the ROM half written.
        commands_.wait();
        save_filter_lists(true);
        if (tools_) tools_->close();
    }
    event->accept();
}

void Form1::save_filter_lists(bool report_failure) {
    const auto result = run_shut_down(data_dir_, editor_text(*ui_->Text6), editor_text(*ui_->Text12));
    if (report_failure) show_message(result.message);
}

// ---- records

Record Form1::typed_record() const { return {line_text(*ui_->Text3), line_text(*ui_->Text4), line_text(*ui_->Text5)}; }

std::optional<std::size_t> Form1::selection() const {
    const int row = ui_->List1->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= records_.size() || !ui_->List1->currentItem()->isSelected())
        return std::nullopt;
    return static_cast<std::size_t>(row);
}

void Form1::show_records(std::optional<std::size_t> selected) {
    const QSignalBlocker blocker(ui_->List1);
    ui_->List1->clear();
    for (const Record& record : records_) ui_->List1->addItem(to_qt(record.name));
    if (selected && *selected < records_.size()) {
        ui_->List1->setCurrentRow(static_cast<int>(*selected));
    } else {
        ui_->List1->setCurrentRow(-1);
    }
}

void Form1::take_records(CommandResult<RecordsPayload> result, std::optional<std::size_t> selected) {
    if (result.payload.changed) {
        records_ = std::move(result.payload.records);
        show_records(selected);
    }
    show_message(result.message);
}

void Form1::add_clicked() {
    if (busy()) return;
    const auto selected = selection();
    take_records(run_add_record(records_, typed_record(), data_dir_), selected);
}

void Form1::delete_clicked() {
    if (busy()) return;
    const bool confirmed = confirm(messages::delete_question());
    take_records(run_delete_record(records_, selection(), confirmed, data_dir_), std::nullopt);
}

void Form1::modify_clicked() {
    if (busy()) return;
    const bool confirmed = confirm(messages::modify_question());
    const auto selected = selection();
    take_records(run_modify_record(records_, selected, typed_record(), confirmed, data_dir_), selected);
}

void Form1::select_record(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= records_.size()) return;
    const Record& record = selected_record(records_, static_cast<std::size_t>(row));
    ui_->Text3->setText(to_qt(record.name));
    ui_->Text4->setText(to_qt(record.start));
    ui_->Text5->setText(to_qt(record.end));
}

// ---- files, mode, preview

bool Form1::choose_file(QLineEdit* box, const QString& filter_list) {
    const auto path = dialogs_.open(this, filter_list, last_folder_, remembered_file_name_);
    if (!path) return false;
    box->setText(*path);
    remembered_file_name_.clear();
    last_folder_ = QFileInfo(*path).absolutePath();
    return true;
}

// The save dialog of the export and of save text: it proposes the record
// name and leaves the chosen path as the name the next dialog offers.
std::optional<QString> Form1::save_dialog() {
    remembered_file_name_ = ui_->Text3->text();
    auto path = dialogs_.save(this, to_qt(messages::text_file_types()), last_folder_, remembered_file_name_);
    if (!path) return std::nullopt;
    remembered_file_name_ = *path;
    last_folder_ = QFileInfo(*path).absolutePath();
    return path;
}

void Form1::set_mode(RomMode mode) {
    const bool single = uses_single_byte_table(mode);
    const bool double_byte = uses_double_byte_table(mode);
    ui_->Text2->setEnabled(double_byte);
    ui_->opentlb->setEnabled(double_byte);
    ui_->Text13->setEnabled(single);
    ui_->Command6->setEnabled(single);
}

RomMode Form1::mode() const {
    if (ui_->Option1->isChecked()) return RomMode::single_byte;
    if (ui_->Option3->isChecked()) return RomMode::both;
    return RomMode::double_byte;
}

void Form1::set_preview(bool on) {
    // The text area lies right of the narrow window; hidden, not even its
    // border shows at the edge.
    ui_->Frame6->setVisible(on);
    setFixedSize(on ? kWideWidth : kNarrowWidth, kClientHeight);
}

// ---- messages

void Form1::untick_filters(const FilterUnticks& untick) {
    if (untick.double_filter) ui_->Check2->setChecked(false);
    if (untick.single_filter) ui_->Check3->setChecked(false);
}

void Form1::show_message(const Message& message) {
    if (!message.shown()) return;
    boxes_.show(this, to_qt(message.title()), to_qt(message.text), Buttons::ok, Icon::none);
}

bool Form1::confirm(const Message& question) {
    return boxes_.show(this, to_qt(question.title()), to_qt(question.text), Buttons::yes_no, Icon::information) ==
           Answer::yes;
}

}  // namespace quillmere::ui
