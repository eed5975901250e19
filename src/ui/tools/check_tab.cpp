#include "ui/tools/check_tab.hpp"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <limits>
#include <memory>

#include "core/commands/messages.hpp"
#include "core/commands/messages_tools.hpp"
#include "core/commands/script_commands.hpp"
#include "core/commands/tools_texts.hpp"
#include "core/files/files.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/script_places.hpp"
#include "ui/tools/shared_panel.hpp"
#include "ui/tools/tool_controls.hpp"
#include "ui/tools/tool_runner.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

namespace {

constexpr int kMost = std::numeric_limits<int>::max();

struct CheckOutcome {
    CommandResult<ScriptPayload> result;
    QStringList lines;
};

}  // namespace

CheckTab::CheckTab(ToolsContext context, QWidget* parent) : QWidget(parent), context_(std::move(context)) {
    name_control(*this, "check_tab", texts::kCheckTab);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    FileDialogs& dialogs = context_.dialogs;
    script_ = add_path_row(*form, dialogs, "check_script", texts::kScript, texts::kTextFiles, PathUse::open);
    all_ = add_check_row(*form, "check_all", texts::kCheckAll);
    all_->setChecked(true);
    range_low_ = add_line_row(*form, "check_range_low", texts::kRangeLow, QStringLiteral("0"));
    range_high_ = add_line_row(*form, "check_range_high", texts::kRangeHigh, QStringLiteral("65535"));
    line_break_ = add_line_row(*form, "check_line_break", texts::kLineBreak);
    page_break_ = add_line_row(*form, "check_page_break", texts::kPageBreak);
    max_chars_ = add_limit_row(*form, "check_max_chars", texts::kMaxChars, kMost);
    max_lines_ = add_limit_row(*form, "check_max_lines", texts::kMaxLines, kMost);
    max_width_ = add_limit_row(*form, "check_max_width", texts::kMaxWidth, kMost);
    widths_ = add_path_row(*form, dialogs, "check_widths", texts::kWidths, texts::kTextFiles, PathUse::open);
    default_width_ = add_limit_row(*form, "check_default_width", texts::kDefaultWidth, kMost);
    pointers_ = add_path_row(*form, dialogs, "check_pointers", texts::kPointerList, texts::kTextFiles, PathUse::open);
    free_ = add_line_row(*form, "check_free", texts::kFreeBlocks);
    align_ = add_line_row(*form, "check_align", texts::kAlign, QStringLiteral("1"));
    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    QPushButton* run = add_button(*buttons, "check_run", texts::kCheck);
    buttons->addStretch(1);
    problems_ = make_table("check_problems", texts::kProblems, {texts::kAddress, texts::kLine, texts::kMessageColumn});
    layout->addWidget(problems_, 2);
    moves_ = new QListWidget(this);
    name_control(*moves_, "check_moves", texts::kMoves);
    layout->addWidget(moves_, 1);
    entry_ = new QPlainTextEdit(this);
    name_control(*entry_, "check_entry", texts::kEntryText);
    entry_->setReadOnly(true);
    layout->addWidget(entry_, 1);
    connect(run, &QPushButton::clicked, this, &CheckTab::check);
    connect(problems_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { show_entry(row); });
}

void CheckTab::check() {
    auto tables = context_.shared.tables();
    if (!tables) {
        context_.show(tables.error());
        return;
    }
    CheckRequest request;
    request.tables = std::move(*tables);
    request.preview = false;
    request.script_file = to_path(script_->text());
    request.range_low = line_text(*range_low_);
    request.range_high = line_text(*range_high_);
    request.all_entries = all_->isChecked();
    request.rom = context_.shared.rom();
    request.limits.line_break = line_text(*line_break_);
    request.limits.page_break = line_text(*page_break_);
    request.limits.max_chars = limit_of(*max_chars_);
    request.limits.max_lines = limit_of(*max_lines_);
    request.limits.max_width = limit_of(*max_width_);
    request.limits.widths_file = to_path(widths_->text());
    request.limits.default_width = limit_of(*default_width_);
    if (!pointers_->text().isEmpty()) {
        RelocationInput relocation;
        relocation.pointer_list = to_path(pointers_->text());
        for (const QString& block : free_->text().split(u' ', Qt::SkipEmptyParts))
            relocation.free_blocks.push_back(to_core(block));
        relocation.align = line_text(*align_);
        request.relocation = std::move(relocation);
    }
    fill_table(*problems_, {});
    moves_->clear();
    entry_->clear();
    context_.runner.start(to_qt(texts::kWorking), [this, request](const CancelCheck& cancelled) {
        auto outcome = std::make_shared<CheckOutcome>(CheckOutcome{run_check(request), {}});
        // The script again, only to point at its lines: the check has
        // read it whole, so it is there and of this size.
        if (!outcome->result.payload.entry_failures.empty())
            if (auto text = files::read_text_file(request.script_file, request.tables.encoding))
                outcome->lines = script_lines(to_qt(text->text));
        // The check writes nothing: a stopped one only drops its result.
        if (cancel_requested(cancelled))
            return ToolRunner::Continuation([this] { context_.show(messages::cancelled()); });
        return ToolRunner::Continuation([this, outcome] {
            const ScriptPayload& payload = outcome->result.payload;
            lines_ = outcome->lines;
            std::vector<QStringList> rows;
            for (const Message& failure : payload.entry_failures) {
                const QString text = to_qt(failure.text);
                const auto place = place_of(text, lines_);
                rows.push_back({place ? place->address : QString(), place ? QString::number(place->line) : QString(),
                                to_qt(messages::as_line(failure))});
            }
            fill_table(*problems_, rows);
            if (payload.null_pointers > 0) moves_->addItem(to_qt(messages::null_pointers_skipped(payload.null_pointers)));
            for (const std::u16string& move : payload.moves) moves_->addItem(to_qt(move));
            context_.show(outcome->result.message);
        });
    });
}

void CheckTab::show_entry(int row) {
    const QTableWidgetItem* line = problems_->item(row, 1);
    bool number = false;
    const int index = line ? line->text().toInt(&number) : 0;
    if (!number || index < 1 || index > lines_.size()) return;
    entry_->setPlainText(lines_[index - 1]);
}

}  // namespace quillmere::ui
