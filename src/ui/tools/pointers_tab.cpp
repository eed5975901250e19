#include "ui/tools/pointers_tab.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

#include "core/commands/messages.hpp"
#include "core/commands/messages_tools.hpp"
#include "core/commands/tools_texts.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/shared_panel.hpp"
#include "ui/tools/tool_controls.hpp"
#include "ui/tools/tool_runner.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

namespace {

QFormLayout* add_group(QVBoxLayout& layout, const char* name, std::u16string_view title) {
    auto* group = new QGroupBox(to_qt(title));
    name_control(*group, name, title);
    layout.addWidget(group);
    return new QFormLayout(group);
}

QPushButton* add_run(QFormLayout& form, const char* name, std::u16string_view label) {
    auto* button = new QPushButton(to_qt(label), form.parentWidget());
    name_control(*button, name, label);
    form.addRow(button);
    return button;
}

struct ListOutcome {
    CommandResult<PointerList> result;
    Message written = no_message();
};

}  // namespace

PointersTab::PointersTab(ToolsContext context, QWidget* parent) : QWidget(parent), context_(std::move(context)) {
    name_control(*this, "pointers_tab", texts::kPointersTab);
    FileDialogs& dialogs = context_.dialogs;
    auto* layout = new QVBoxLayout(this);
    QFormLayout* list = add_group(*layout, "pointer_list_group", texts::kListGroup);
    method_ = add_choice_row(*list, "pointer_method", texts::kListMethod, {texts::kByTable, texts::kByScan});
    size_ = add_line_row(*list, "pointer_size", texts::kPointerSize);
    order_ = add_line_row(*list, "pointer_order", texts::kPointerOrder);
    base_ = add_line_row(*list, "pointer_base", texts::kPointerBase);
    map_ = add_line_row(*list, "pointer_map", texts::kPointerMap);
    at_ = add_line_row(*list, "pointer_at", texts::kPointerAt);
    count_ = add_line_row(*list, "pointer_count", texts::kPointerCount);
    stride_ = add_line_row(*list, "pointer_stride", texts::kPointerStride);
    split_high_ = add_line_row(*list, "pointer_split_high", texts::kSplitHigh);
    split_bank_ = add_line_row(*list, "pointer_split_bank", texts::kSplitBank);
    null_ = add_line_row(*list, "pointer_null", texts::kNullValue, QStringLiteral("0"));
    scan_script_ = add_path_row(*list, dialogs, "pointer_scan_script", texts::kScanScript, texts::kTextFiles, PathUse::open);
    scan_align_ = add_line_row(*list, "pointer_scan_align", texts::kAlign, QStringLiteral("1"));
    min_run_ = add_line_row(*list, "pointer_min_run", texts::kMinRun, QStringLiteral("3"));
    max_stride_ = add_line_row(*list, "pointer_max_stride", texts::kMaxStride, QStringLiteral("16"));
    tables_only_ = add_check_row(*list, "pointer_tables_only", texts::kTablesOnly);
    list_out_ = add_path_row(*list, dialogs, "pointer_list_out", texts::kListOut, texts::kTextFiles, PathUse::save);
    QPushButton* list_run = add_run(*list, "pointer_list_run", texts::kMakeList);
    list_ = ui::make_table("pointer_list", texts::kListGroup,
                           {texts::kAddress, texts::kPointerSize, texts::kPointerOrder, texts::kPointerBase, texts::kListField});
    layout->addWidget(list_, 1);

    QFormLayout* import = add_group(*layout, "pointer_import_group", texts::kImportGroup);
    script_ = add_path_row(*import, dialogs, "pointer_import_script", texts::kScript, texts::kTextFiles, PathUse::open);
    fill_ = add_line_row(*import, "pointer_fill", texts::kFill);
    pointers_ = add_path_row(*import, dialogs, "pointer_import_list", texts::kPointerList, texts::kTextFiles, PathUse::open);
    free_ = add_line_row(*import, "pointer_free", texts::kFreeBlocks);
    align_ = add_line_row(*import, "pointer_align", texts::kAlign, QStringLiteral("1"));
    out_ = add_path_row(*import, dialogs, "pointer_import_out", texts::kImportOut, texts::kAllFiles, PathUse::save);
    QPushButton* plan_run = add_run(*import, "pointer_plan", texts::kPlan);
    QPushButton* import_run = add_run(*import, "pointer_import", texts::kImportRun);
    moves_ = new QListWidget(this);
    name_control(*moves_, "pointer_moves", texts::kPlanList);
    layout->addWidget(moves_, 1);

    connect(list_run, &QPushButton::clicked, this, &PointersTab::make_list);
    connect(plan_run, &QPushButton::clicked, this, &PointersTab::plan);
    connect(import_run, &QPushButton::clicked, this, &PointersTab::import_entries);
    // Each way reads only its own boxes.
    auto fit = [this] {
        const bool table = method_->currentIndex() == 0;
        for (QWidget* box : {at_, count_, stride_, split_high_, split_bank_, null_}) box->setEnabled(table);
        for (QWidget* box : std::initializer_list<QWidget*>{scan_script_, scan_align_, min_run_, max_stride_, tables_only_})
            box->setEnabled(!table);
    };
    connect(method_, &QComboBox::currentIndexChanged, this, fit);
    fit();
}

void PointersTab::make_list() {
    const bool table = method_->currentIndex() == 0;
    PointerTableRequest by_table;
    PointerScanRequest by_scan;
    if (table) {
        by_table = {context_.shared.rom(), line_text(*at_), line_text(*count_), line_text(*size_), line_text(*order_),
                    line_text(*base_), line_text(*map_), line_text(*stride_), line_text(*split_high_),
                    line_text(*split_bank_), line_text(*null_)};
    } else {
        by_scan = {context_.shared.rom(), to_path(scan_script_->text()), line_text(*size_), line_text(*order_),
                   line_text(*base_), line_text(*map_), line_text(*scan_align_), line_text(*min_run_),
                   line_text(*max_stride_), tables_only_->isChecked()};
    }
    const std::filesystem::path out = to_path(list_out_->text());
    fill_table(*list_, {});
    context_.runner.start(to_qt(texts::kWorking), [=, this](const CancelCheck& cancelled) {
        auto outcome = std::make_shared<ListOutcome>(
            ListOutcome{table ? run_pointer_table(by_table) : run_pointer_scan(by_scan)});
        if (cancel_requested(cancelled))
            return ToolRunner::Continuation([this] { context_.show(messages::cancelled()); });
        if (outcome->result.payload.list && !out.empty())
            outcome->written = write_pointer_list_file(out, *outcome->result.payload.list).message;
        return ToolRunner::Continuation([this, outcome] { show_list(outcome->result, outcome->written); });
    });
}

void PointersTab::show_list(const CommandResult<PointerList>& result, const Message& written) {
    std::vector<QStringList> rows;
    if (result.payload.list)
        for (const QString& line : to_qt(*result.payload.list).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            rows.push_back(line.split(u',').mid(0, 4) + QStringList{line.section(u',', 4)});
    for (const std::u16string& warning : result.payload.warnings) rows.push_back({QString(), QString(), QString(), QString(), to_qt(warning)});
    fill_table(*list_, rows);
    // As the command line: a list that could not be saved says so instead.
    context_.show(written.severity == Severity::error ? written : result.message);
}

bool PointersTab::import_request(ImportRequest& request) const {
    auto tables = context_.shared.tables();
    if (!tables) {
        context_.show(tables.error());
        return false;
    }
    request.tables = std::move(*tables);
    request.script_file = to_path(script_->text());
    request.rom = context_.shared.rom();
    request.fill = line_text(*fill_);
    if (!pointers_->text().isEmpty()) {
        RelocationInput relocation;
        relocation.pointer_list = to_path(pointers_->text());
        for (const QString& block : free_->text().split(u' ', Qt::SkipEmptyParts))
            relocation.free_blocks.push_back(to_core(block));
        relocation.align = line_text(*align_);
        request.relocation = std::move(relocation);
    }
    request.out = to_path(out_->text());
    return true;
}

void PointersTab::plan() {
    ImportRequest request;
    if (!import_request(request)) return;
    CheckRequest check = request;
    moves_->clear();
    context_.runner.start(to_qt(texts::kWorking), [this, check](const CancelCheck& cancelled) {
        auto result = std::make_shared<CommandResult<ScriptPayload>>(run_check(check));
        if (cancel_requested(cancelled)) return ToolRunner::Continuation([this] { context_.show(messages::cancelled()); });
        return ToolRunner::Continuation([this, result] { show_moves(*result); });
    });
}

void PointersTab::import_entries() {
    ImportRequest request;
    if (!import_request(request)) return;
    // Never over the ROM the plan was made from: it stays the clean original.
    if (request.out.empty()) return context_.show(messages::choose_import_out());
    moves_->clear();
    context_.runner.start(to_qt(texts::kWorking), [this, request](const CancelCheck& cancelled) mutable {
        request.cancelled = cancelled;
        auto result = std::make_shared<CommandResult<ScriptPayload>>(run_import(request));
        return ToolRunner::Continuation([this, result] { show_moves(*result); });
    });
}

void PointersTab::show_moves(const CommandResult<ScriptPayload>& result) {
    const ScriptPayload& payload = result.payload;
    if (payload.null_pointers > 0) moves_->addItem(to_qt(messages::null_pointers_skipped(payload.null_pointers)));
    for (const std::u16string& move : payload.moves) moves_->addItem(to_qt(move));
    context_.show(result.message);
}

}  // namespace quillmere::ui
