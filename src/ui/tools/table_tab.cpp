#include "ui/tools/table_tab.hpp"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "core/commands/convert_table_command.hpp"
#include "core/commands/tools_texts.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/tool_controls.hpp"
#include "ui/tools/tool_runner.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

TableTab::TableTab(ToolsContext context, QWidget* parent) : QWidget(parent), context_(std::move(context)) {
    name_control(*this, "table_tab", texts::kTableTab);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    FileDialogs& dialogs = context_.dialogs;
    source_ = add_path_row(*form, dialogs, "convert_source", texts::kConvertSource, texts::kTableFiles, PathUse::open);
    source_encoding_ =
        add_choice_row(*form, "convert_encoding", texts::kSourceEncoding, {texts::kAutomatic, texts::kUtf8, texts::kGbk});
    out_encoding_ = add_choice_row(*form, "convert_out_encoding", texts::kOutEncoding, {texts::kGbk, texts::kUtf8});
    table2_ = add_path_row(*form, dialogs, "convert_table2", texts::kOutTable2, texts::kTableFiles, PathUse::save);
    table1_ = add_path_row(*form, dialogs, "convert_table1", texts::kOutTable1, texts::kTableFiles, PathUse::save);
    filter2_ = add_path_row(*form, dialogs, "convert_filter2", texts::kOutFilter2, texts::kTextFiles, PathUse::save);
    filter1_ = add_path_row(*form, dialogs, "convert_filter1", texts::kOutFilter1, texts::kTextFiles, PathUse::save);
    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    QPushButton* run = add_button(*buttons, "convert_run", texts::kConvert);
    buttons->addStretch(1);
    layout->addWidget(new QLabel(to_qt(texts::kReport), this));
    report_ = new QListWidget(this);
    name_control(*report_, "convert_report", texts::kReport);
    layout->addWidget(report_, 1);
    connect(run, &QPushButton::clicked, this, &TableTab::convert);
}

void TableTab::convert() {
    ConvertTableRequest request;
    request.source = to_path(source_->text());
    if (source_encoding_->currentIndex() == 1) request.encoding = table_conversion::SourceEncoding::utf8;
    if (source_encoding_->currentIndex() == 2) request.encoding = table_conversion::SourceEncoding::gbk;
    request.table1 = to_path(table1_->text());
    request.table2 = to_path(table2_->text());
    request.filter1 = to_path(filter1_->text());
    request.filter2 = to_path(filter2_->text());
    request.output = out_encoding_->currentIndex() == 1 ? text::Encoding::utf8 : text::Encoding::gbk;
    report_->clear();
    context_.runner.start(to_qt(texts::kWorking), [this, request](const CancelCheck& cancelled) mutable {
        request.cancelled = cancelled;
        auto result = std::make_shared<CommandResult<ConversionReport>>(run_convert_table(request));
        return [this, result] {
            for (const std::u16string& line : result->payload.lines) report_->addItem(to_qt(line));
            context_.show(result->message);
        };
    });
}

}  // namespace quillmere::ui
