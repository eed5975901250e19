#include "ui/tools/exchange_tab.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>
#include <memory>

#include "core/commands/messages.hpp"
#include "core/commands/tools_texts.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/shared_panel.hpp"
#include "ui/tools/tool_controls.hpp"
#include "ui/tools/tool_runner.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

namespace {

constexpr int kMost = std::numeric_limits<int>::max();
// In the order of the format lists.
constexpr exchange::Format kFormats[] = {exchange::Format::po, exchange::Format::csv, exchange::Format::json};

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

exchange::Format format_of(const QComboBox& box) { return kFormats[std::max(0, box.currentIndex())]; }
exchange::CsvEncoding csv_of(const QComboBox& box) {
    return box.currentIndex() == 1 ? exchange::CsvEncoding::gbk : exchange::CsvEncoding::utf8;
}

}  // namespace

ExchangeTab::ExchangeTab(ToolsContext context, QWidget* parent) : QWidget(parent), context_(std::move(context)) {
    name_control(*this, "exchange_tab", texts::kExchangeTab);
    FileDialogs& dialogs = context_.dialogs;
    auto* layout = new QVBoxLayout(this);
    QFormLayout* out = add_group(*layout, "exchange_export_group", texts::kExchangeExportGroup);
    script_ = add_path_row(*out, dialogs, "exchange_script", texts::kOriginalScript, texts::kTextFiles, PathUse::open);
    translation_ = add_path_row(*out, dialogs, "exchange_translation", texts::kTranslationScript, texts::kTextFiles,
                                PathUse::open);
    export_format_ = add_choice_row(*out, "exchange_format", texts::kExchangeFormat, {u"PO", u"CSV", u"JSON"});
    csv_encoding_ = add_choice_row(*out, "exchange_csv_encoding", texts::kCsvEncoding, {texts::kUtf8, texts::kGbk});
    out_ = add_path_row(*out, dialogs, "exchange_out", texts::kExchangeOut, texts::kExchangeFiles, PathUse::save);
    line_break_ = add_line_row(*out, "exchange_line_break", texts::kLineBreak);
    page_break_ = add_line_row(*out, "exchange_page_break", texts::kPageBreak);
    max_chars_ = add_limit_row(*out, "exchange_max_chars", texts::kMaxChars, kMost);
    max_lines_ = add_limit_row(*out, "exchange_max_lines", texts::kMaxLines, kMost);
    max_width_ = add_limit_row(*out, "exchange_max_width", texts::kMaxWidth, kMost);
    widths_ = add_path_row(*out, dialogs, "exchange_widths", texts::kWidths, texts::kTextFiles, PathUse::open);
    default_width_ = add_limit_row(*out, "exchange_default_width", texts::kDefaultWidth, kMost);
    QPushButton* export_run = add_run(*out, "exchange_export", texts::kExport);

    QFormLayout* in = add_group(*layout, "exchange_import_group", texts::kExchangeImportGroup);
    from_ = add_path_row(*in, dialogs, "exchange_from", texts::kExchangeFrom, texts::kExchangeFiles, PathUse::open);
    import_format_ = add_choice_row(*in, "exchange_import_format", texts::kExchangeFormat, {u"PO", u"CSV", u"JSON"});
    import_script_ = add_path_row(*in, dialogs, "exchange_import_script", texts::kOriginalScript, texts::kTextFiles,
                                  PathUse::open);
    import_out_ = add_path_row(*in, dialogs, "exchange_import_out", texts::kScriptOut, texts::kTextFiles, PathUse::save);
    require_all_ = add_check_row(*in, "exchange_require_all", texts::kRequireAll);
    use_fuzzy_ = add_check_row(*in, "exchange_use_fuzzy", texts::kUseFuzzy);
    csv_fallback_ = add_choice_row(*in, "exchange_csv_fallback", texts::kCsvEncoding, {texts::kGbk, texts::kUtf8});
    QPushButton* import_run = add_run(*in, "exchange_import", texts::kImport);

    problems_ = new QListWidget(this);
    name_control(*problems_, "exchange_problems", texts::kProblems);
    layout->addWidget(problems_, 1);
    connect(export_run, &QPushButton::clicked, this, &ExchangeTab::export_units);
    connect(import_run, &QPushButton::clicked, this, &ExchangeTab::import_units);
}

void ExchangeTab::export_units() {
    ExchangeExportRequest request;
    request.limits.line_break = line_text(*line_break_);
    request.limits.page_break = line_text(*page_break_);
    request.limits.max_chars = limit_of(*max_chars_);
    request.limits.max_lines = limit_of(*max_lines_);
    request.limits.max_width = limit_of(*max_width_);
    request.limits.widths_file = to_path(widths_->text());
    request.limits.default_width = limit_of(*default_width_);
    // The tables, and their filter list files, are read only for a pixel limit.
    if (request.limits.max_width) {
        auto tables = context_.shared.tables();
        if (!tables) return context_.show(tables.error());
        request.tables = std::move(*tables);
    }
    request.tables.encoding = context_.shared.encoding();
    request.script = to_path(script_->text());
    request.translation = to_path(translation_->text());
    request.format = format_of(*export_format_);
    request.csv_encoding = csv_of(*csv_encoding_);
    request.out = to_path(out_->text());
    run([request](const CancelCheck& cancelled) mutable {
        request.cancelled = cancelled;
        return run_exchange_export(request);
    });
}

void ExchangeTab::import_units() {
    ExchangeImportRequest request;
    request.from = to_path(from_->text());
    request.format = format_of(*import_format_);
    request.script = to_path(import_script_->text());
    request.out = to_path(import_out_->text());
    request.require_all = require_all_->isChecked();
    request.use_fuzzy = use_fuzzy_->isChecked();
    request.csv_fallback = csv_fallback_->currentIndex() == 1 ? exchange::CsvEncoding::utf8 : exchange::CsvEncoding::gbk;
    request.encoding = context_.shared.encoding();
    run([request](const CancelCheck& cancelled) mutable {
        request.cancelled = cancelled;
        return run_exchange_import(request);
    });
}

void ExchangeTab::run(std::function<CommandResult<ExchangePayload>(const CancelCheck&)> command) {
    problems_->clear();
    context_.runner.start(to_qt(texts::kWorking), [this, command](const CancelCheck& cancelled) {
        auto result = std::make_shared<CommandResult<ExchangePayload>>(command(cancelled));
        return ToolRunner::Continuation([this, result] {
            for (const Message& problem : result->payload.problems)
                problems_->addItem(to_qt(messages::as_line(problem)));
            context_.show(result->message);
        });
    });
}

}  // namespace quillmere::ui
