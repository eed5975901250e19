#include "ui/tools/find_tab.hpp"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

#include "core/commands/messages_tools.hpp"
#include "core/commands/tools_texts.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/shared_panel.hpp"
#include "ui/tools/tool_controls.hpp"
#include "ui/tools/tool_runner.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

namespace {

// In the order of the mode list.
constexpr FindMode kModes[] = {FindMode::relative, FindMode::values, FindMode::pattern, FindMode::text};

}  // namespace

FindTab::FindTab(ToolsContext context, QWidget* parent) : QWidget(parent), context_(std::move(context)) {
    name_control(*this, "find_tab", texts::kFindTab);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    mode_ = add_choice_row(*form, "find_mode", texts::kFindMode,
                           {texts::kFindRelative, texts::kFindValues, texts::kFindPattern, texts::kFindText});
    text_ = add_line_row(*form, "find_text", texts::kFindQuery);
    sequence_ = add_line_row(*form, "find_sequence", texts::kFindSequence, QStringLiteral("latin"));
    values_ = add_line_row(*form, "find_values", texts::kFindValueList);
    range_ = add_line_row(*form, "find_range", texts::kFindRange);
    width_ = add_number_row(*form, "find_width", texts::kFindWidth, 1, 2, 1);
    order_ = add_choice_row(*form, "find_order", texts::kFindOrder, {texts::kLittleEndian, texts::kBigEndian});
    max_ = add_number_row(*form, "find_max", texts::kFindMax, 0, 1000000, 100);
    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    QPushButton* run_find = add_button(*buttons, "find_run", texts::kFind);
    buttons->addStretch(1);
    hits_ = ui::make_table("find_hits", texts::kHits, {texts::kAddress, texts::kHitMap, texts::kHitPreview});
    layout->addWidget(hits_, 1);
    auto* table_form = new QFormLayout;
    layout->addLayout(table_form);
    table_file_ = add_path_row(*table_form, context_.dialogs, "find_table_file", texts::kMakeTableFile,
                               texts::kTableFiles, PathUse::save);
    auto* table_buttons = new QHBoxLayout;
    layout->addLayout(table_buttons);
    QPushButton* run_table = add_button(*table_buttons, "find_make_table", texts::kMakeTable);
    table_buttons->addStretch(1);
    connect(run_find, &QPushButton::clicked, this, &FindTab::find);
    connect(run_table, &QPushButton::clicked, this, &FindTab::make_table);
    // Each search reads only some of the boxes.
    auto fit = [this] {
        const FindMode mode = kModes[std::max(0, mode_->currentIndex())];
        sequence_->setEnabled(mode == FindMode::relative);
        values_->setEnabled(mode == FindMode::values);
        width_->setEnabled(mode != FindMode::text);
        order_->setEnabled(mode != FindMode::text);
    };
    connect(mode_, &QComboBox::currentIndexChanged, this, fit);
    fit();
}

Expected<FindRequest, Message> FindTab::request() const {
    FindRequest request;
    request.mode = kModes[std::max(0, mode_->currentIndex())];
    request.rom = context_.shared.rom();
    request.range = line_text(*range_);
    request.form.width = width_->value();
    request.form.order = order_->currentIndex() == 1 ? find::ByteOrder::big : find::ByteOrder::little;
    request.max = static_cast<std::size_t>(max_->value());
    request.text = line_text(*text_);
    if (request.mode == FindMode::relative) request.sequence = line_text(*sequence_);
    if (request.mode == FindMode::values) request.values = line_text(*values_);
    if (request.mode == FindMode::text) {
        auto tables = context_.shared.tables();
        if (!tables) return unexpected(std::move(tables.error()));
        request.tables = std::move(*tables);
    }
    return request;
}

void FindTab::find() {
    auto made = request();
    if (!made) return context_.show(made.error());
    run(std::move(*made), true);
}

void FindTab::make_table() {
    auto made = request();
    if (!made) return context_.show(made.error());
    const int row = hits_->currentRow();
    made->make_table = to_path(table_file_->text());
    // No place chosen asks for place 0, which the command names as missing.
    made->hit = row < 0 ? 0 : static_cast<std::size_t>(row) + 1;
    run(std::move(*made), false);
}

void FindTab::run(FindRequest request, bool list_places) {
    if (list_places) fill_table(*hits_, {});
    context_.runner.start(to_qt(texts::kWorking), [this, request, list_places](const CancelCheck& cancelled) mutable {
        request.cancelled = cancelled;
        auto result = std::make_shared<CommandResult<FindPayload>>(run_find(request));
        if (cancel_requested(cancelled) && request.make_table.empty())
            return ToolRunner::Continuation([this] { context_.show(messages::cancelled()); });
        return ToolRunner::Continuation([this, result, list_places] {
            if (list_places) {
                std::vector<QStringList> rows;
                for (const std::u16string& line : result->payload.lines) rows.push_back(to_qt(line).split(u'\t'));
                fill_table(*hits_, rows);
            }
            context_.show(result->message);
        });
    });
}

}  // namespace quillmere::ui
