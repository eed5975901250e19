#include "ui/tools/charset_tab.hpp"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <memory>

#include "core/commands/tools_texts.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/shared_panel.hpp"
#include "ui/tools/tool_controls.hpp"
#include "ui/tools/tool_runner.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

namespace {

// In the order of the order list.
constexpr CharacterOrder kOrders[] = {CharacterOrder::appearance, CharacterOrder::frequency, CharacterOrder::gbk};

std::vector<std::u16string> ranges_of(const QLineEdit& box) {
    std::vector<std::u16string> ranges;
    for (const QString& range : box.text().split(u' ', Qt::SkipEmptyParts)) ranges.push_back(to_core(range));
    return ranges;
}

}  // namespace

SheetView::SheetView(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void SheetView::show_sheet(const QPixmap& sheet, const CharsetPayload& cells) {
    cells_ = cells;
    setPixmap(sheet);
    resize(sheet.size());
}

QString SheetView::cell_at(QPoint point) const {
    if (cells_.columns <= 0 || cells_.cell_width <= 0 || cells_.cell_height <= 0 || point.x() < 0 || point.y() < 0)
        return {};
    const int column = point.x() / cells_.cell_width;
    if (column >= cells_.columns) return {};
    const std::size_t index = static_cast<std::size_t>(point.y() / cells_.cell_height) * cells_.columns + column;
    if (index >= cells_.cell_codes.size()) return {};
    const QString code = QStringLiteral("%1").arg(cells_.cell_codes[index], 4, 16, QChar(u'0')).toUpper();
    const std::optional<char32_t> character = cells_.cell_characters[index];
    if (!character) return code + to_qt(texts::kEmptyCell);
    return code + u'=' + QString::fromUcs4(&*character, 1);
}

void SheetView::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT cell_hovered(cell_at(event->position().toPoint()));
    QLabel::mouseMoveEvent(event);
}

CharsetTab::CharsetTab(ToolsContext context, QWidget* parent) : QWidget(parent), context_(std::move(context)) {
    name_control(*this, "charset_tab", texts::kCharsetTab);
    FileDialogs& dialogs = context_.dialogs;
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    layout->addLayout(left, 1);
    auto* form = new QFormLayout;
    left->addLayout(form);
    script_ = add_path_row(*form, dialogs, "charset_script", texts::kScript, texts::kTextFiles, PathUse::open);
    keep_ = add_path_row(*form, dialogs, "charset_keep", texts::kKeepTable, texts::kTableFiles, PathUse::open);
    start_code_ = add_line_row(*form, "charset_start_code", texts::kStartCode);
    skip_ = add_line_row(*form, "charset_skip", texts::kSkip);
    trail_ = add_line_row(*form, "charset_trail", texts::kTrail);
    order_ = add_choice_row(*form, "charset_order", texts::kOrder,
                            {texts::kOrderAppearance, texts::kOrderFrequency, texts::kOrderGbk});
    out_ = add_path_row(*form, dialogs, "charset_out", texts::kNewTable, texts::kTableFiles, PathUse::save);
    chars_ = add_path_row(*form, dialogs, "charset_chars", texts::kCharsFile, texts::kTextFiles, PathUse::save);
    sheet_ = add_path_row(*form, dialogs, "charset_sheet", texts::kSheetFile, texts::kPngFiles, PathUse::save);
    glyph_ = add_line_row(*form, "charset_glyph", texts::kGlyph, QStringLiteral("16x16"));
    font_ = add_path_row(*form, dialogs, "charset_font", texts::kFontFile, texts::kFontFiles, PathUse::open);
    columns_ = add_number_row(*form, "charset_columns", texts::kColumns, 1, 256, 16);
    auto* buttons = new QHBoxLayout;
    left->addLayout(buttons);
    QPushButton* run = add_button(*buttons, "charset_run", texts::kMake);
    buttons->addStretch(1);
    table_ = new QPlainTextEdit(this);
    name_control(*table_, "charset_table", texts::kTableText);
    table_->setReadOnly(true);
    left->addWidget(table_, 1);

    auto* right = new QVBoxLayout;
    layout->addLayout(right, 1);
    cell_ = new QLabel(this);
    name_control(*cell_, "charset_cell", texts::kCellUnderMouse);
    right->addWidget(cell_);
    auto* scroll = new QScrollArea(this);
    name_control(*scroll, "charset_sheet_area", texts::kSheetImage);
    sheet_view_ = new SheetView;
    name_control(*sheet_view_, "charset_sheet_view", texts::kSheetImage);
    scroll->setWidget(sheet_view_);
    right->addWidget(scroll, 1);
    connect(run, &QPushButton::clicked, this, &CharsetTab::make);
    connect(sheet_view_, &SheetView::cell_hovered, cell_, &QLabel::setText);
}

void CharsetTab::make() {
    auto tables = context_.shared.tables();
    if (!tables) return context_.show(tables.error());
    CharsetRequest request;
    request.script = to_path(script_->text());
    request.tables = std::move(*tables);
    // The command line's charset reads no hex bytes.
    request.tables.hex_bytes = false;
    request.keep = to_path(keep_->text());
    request.start_code = line_text(*start_code_);
    request.skip = ranges_of(*skip_);
    request.trail = ranges_of(*trail_);
    request.order = kOrders[std::max(0, order_->currentIndex())];
    request.out = to_path(out_->text());
    request.chars = to_path(chars_->text());
    const QString sheet_file = sheet_->text();
    if (!sheet_file.isEmpty())
        request.sheet = FontSheetRequest{to_path(sheet_file), to_path(font_->text()), line_text(*glyph_),
                                         columns_->value()};
    table_->clear();
    cell_->clear();
    sheet_view_->show_sheet(QPixmap(), {});
    context_.runner.start(to_qt(texts::kWorking), [this, request, sheet_file](const CancelCheck& cancelled) mutable {
        request.cancelled = cancelled;
        auto result = std::make_shared<CommandResult<CharsetPayload>>(run_charset(request));
        return ToolRunner::Continuation([this, result, sheet_file] { show_result(*result, sheet_file); });
    });
}

void CharsetTab::show_result(const CommandResult<CharsetPayload>& result, const QString& sheet_file) {
    context_.show(result.message);
    if (result.failed()) return;
    table_->setPlainText(to_editor_text(result.payload.table));
    if (!result.payload.cell_codes.empty()) sheet_view_->show_sheet(QPixmap(sheet_file), result.payload);
}

}  // namespace quillmere::ui
