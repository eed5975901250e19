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
#include <QSignalBlocker>
#include <utility>

#include "core/commands/export_command.hpp"
#include "core/commands/save_source_text.hpp"
#include "core/commands/translation_text.hpp"
#include "core/records/session.hpp"
#include "core/version.hpp"
#include "ui/app_icon.hpp"
#include "ui/file_dialogs.hpp"
#include "ui/form1_controls.hpp"
#include "ui/message_boxes.hpp"
#include "ui/qt_text.hpp"
#include "ui_form1.h"

namespace quillmere::ui {
namespace {

const QString kRomFilter = QStringLiteral(
    "*.gba;*.bin;*.gb;*.gbc;*.sfc;*.fc;*.wsc;*.ws|*.gba;*.bin;*.gb;*.gbc;*.sfc;*.fc;*.wsc;*.ws|全部文件 (*.*)|*.*");
const QString kCodeTableFilter = QStringLiteral("TBL文件 (*.tbl);TXT文件 (*.txt)|*.tbl;*.txt|全部文件 (*.*)|*.*");
const QString kTranslationFilter = QStringLiteral("TXT文件 (*.txt)|*.txt|全部文件 (*.*)|*.*");
const QString kTextFileFilter = QStringLiteral("*.txt|*.txt");

}  // namespace

Form1::Form1(std::filesystem::path data_dir, MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent)
    : QWidget(parent), data_dir_(std::move(data_dir)), boxes_(boxes), dialogs_(dialogs),
      ui_(std::make_unique<Ui::Form1>()) {
    set_up_form1(*this, *ui_);
    // The version comes from the project, so the caption is set here.
    setWindowTitle(QStringLiteral("Quillmere V") + QString::fromLatin1(kVersion));
    setWindowIcon(quillmere_icon());
    set_preview(false);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect_commands();
    start_up();
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

    connect(ui_->openrom, &QPushButton::clicked, this, [this] { choose_file(ui_->Text1, kRomFilter); });
    connect(ui_->opentlb, &QPushButton::clicked, this, [this] { choose_file(ui_->Text2, kCodeTableFilter); });
    connect(ui_->Command6, &QPushButton::clicked, this, [this] { choose_file(ui_->Text13, kCodeTableFilter); });
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
    records::StartupState state = records::start_up(data_dir_);
    records_ = std::move(state.records);
    show_records(std::nullopt);
    set_editor_text(*ui_->Text6, state.single_filter_text);
    set_editor_text(*ui_->Text12, state.double_filter_text);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!shut_down_) {
        shut_down_ = true;
        save_filter_lists(true);
    }
    event->accept();
}

void Form1::save_filter_lists(bool report_failure) {
    auto failure = records::shut_down(data_dir_, editor_text(*ui_->Text6), editor_text(*ui_->Text12));
    if (failure && report_failure) show_message(*failure);
}

// ---- export, save, check, import

void Form1::export_clicked() {
    ExportRequest request;
    request.rom = to_path(ui_->Text1->text());
    request.start = line_text(*ui_->Text4);
    request.end = line_text(*ui_->Text5);
    request.mode = mode();
    request.double_table = to_path(ui_->Text2->text());
    request.single_table = to_path(ui_->Text13->text());
    request.double_filter = {editor_text(*ui_->Text12), ui_->Check2->isChecked()};
    request.single_filter = {editor_text(*ui_->Text6), ui_->Check3->isChecked()};
    request.minimum = line_text(*ui_->Text15);
    request.preview = ui_->Check4->isChecked();
    request.name = line_text(*ui_->Text3);
    request.data_dir = data_dir_;

    ExportOutcome outcome = run_export(request);
    untick_filters(outcome.untick_double_filter, outcome.untick_single_filter);
    if (outcome.clear_preview) ui_->text9->clear();
    if (outcome.message) {
        if (request.preview && outcome.export_text) set_editor_text(*ui_->text9, *outcome.export_text);
        show_message(*outcome.message);
        return;
    }
    if (!outcome.export_text) return;
    const auto path = save_dialog();
    if (!path) return;
    show_message(write_export_file(to_path(*path), *outcome.export_text, request.rom));
}

void Form1::save_text_clicked() {
    if (auto refusal = check_source_text_name(line_text(*ui_->Text3))) {
        show_message(*refusal);
        return;
    }
    const auto path = save_dialog();
    if (!path) return;
    show_message(quillmere::save_source_text(to_path(*path), editor_text(*ui_->text9), to_path(ui_->Text1->text())));
}

CheckRequest Form1::check_request() const {
    CheckRequest request;
    request.preview = ui_->Check4->isChecked();
    request.script_file = to_path(ui_->Text8->text());
    // The translation area is read only when it is the script.
    if (request.preview) request.script_text = editor_text(*ui_->text10);
    request.mode = mode();
    request.double_table = to_path(ui_->Text2->text());
    request.single_table = to_path(ui_->Text13->text());
    request.double_filter = {editor_text(*ui_->Text12), ui_->Check2->isChecked()};
    request.single_filter = {editor_text(*ui_->Text6), ui_->Check3->isChecked()};
    request.range_low = line_text(*ui_->Text16);
    request.range_high = line_text(*ui_->Text17);
    request.data_dir = data_dir_;
    return request;
}

void Form1::check_clicked() {
    Outcome outcome = run_check(check_request());
    untick_filters(outcome.untick_double_filter, outcome.untick_single_filter);
    show_message(outcome.message);
}

void Form1::import_clicked() {
    ImportRequest request;
    static_cast<CheckRequest&>(request) = check_request();
    request.rom = to_path(ui_->Text1->text());
    request.fill = line_text(*ui_->Text14);
    Outcome outcome = run_import(request);
    untick_filters(outcome.untick_double_filter, outcome.untick_single_filter);
    show_message(outcome.message);
}

// ---- records

records::Record Form1::typed_record() const {
    return {line_text(*ui_->Text3), line_text(*ui_->Text4), line_text(*ui_->Text5)};
}

std::optional<std::size_t> Form1::selected_record() const {
    const int row = ui_->List1->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= records_.size() || !ui_->List1->currentItem()->isSelected())
        return std::nullopt;
    return static_cast<std::size_t>(row);
}

void Form1::show_records(std::optional<std::size_t> selection) {
    const QSignalBlocker blocker(ui_->List1);
    ui_->List1->clear();
    for (const records::Record& record : records_) ui_->List1->addItem(to_qt(record.name));
    if (selection && *selection < records_.size()) {
        ui_->List1->setCurrentRow(static_cast<int>(*selection));
    } else {
        ui_->List1->setCurrentRow(-1);
    }
}

void Form1::add_clicked() {
    const auto selection = selected_record();
    records::Change change = records::add_record(records_, typed_record(), records::settings_file_path(data_dir_));
    if (change.changed) {
        records_ = std::move(change.records);
        show_records(selection);
    }
    if (change.message) show_message(*change.message);
}

void Form1::delete_clicked() {
    const bool confirmed = confirm(records::delete_question());
    records::Change change = records::delete_record(records_, selected_record(), confirmed,
                                                    records::settings_file_path(data_dir_));
    if (change.changed) {
        records_ = std::move(change.records);
        show_records(std::nullopt);
    }
    if (change.message) show_message(*change.message);
}

void Form1::modify_clicked() {
    const bool confirmed = confirm(records::modify_question());
    const auto selection = selected_record();
    records::Change change = records::modify_record(records_, selection, typed_record(), confirmed,
                                                    records::settings_file_path(data_dir_));
    if (change.changed) {
        records_ = std::move(change.records);
        show_records(selection);
    }
    if (change.message) show_message(*change.message);
}

void Form1::select_record(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= records_.size()) return;
    const records::Record& record = records::select_record(records_, static_cast<std::size_t>(row));
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
    auto path = dialogs_.save(this, kTextFileFilter, last_folder_, remembered_file_name_);
    if (!path) return std::nullopt;
    remembered_file_name_ = *path;
    last_folder_ = QFileInfo(*path).absolutePath();
    return path;
}

void Form1::choose_translation() {
    if (choose_file(ui_->Text8, kTranslationFilter) && ui_->Check4->isChecked()) load_translation();
}

void Form1::load_translation() {
    const auto text = load_translation_text(to_path(ui_->Text8->text()));
    if (!text) return;
    set_editor_text(*ui_->text10, *text);
    show_message(translation_loaded_message());
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

void Form1::untick_filters(bool double_filter, bool single_filter) {
    if (double_filter) ui_->Check2->setChecked(false);
    if (single_filter) ui_->Check3->setChecked(false);
}

void Form1::show_message(const Message& message) {
    boxes_.show(this, to_qt(message.title()), to_qt(message.text), Buttons::ok, Icon::none);
}

bool Form1::confirm(const Message& question) {
    return boxes_.show(this, to_qt(question.title()), to_qt(question.text), Buttons::yes_no, Icon::information) ==
           Answer::yes;
}

}  // namespace quillmere::ui
