#include "ui/tools/shared_panel.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

#include "core/commands/filter_lists.hpp"
#include "core/commands/messages.hpp"
#include "core/commands/tools_texts.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/tool_controls.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

namespace {

// In the order of the mode box.
constexpr RomMode kModes[] = {RomMode::single_byte, RomMode::double_byte, RomMode::both};

}  // namespace

SharedPanel::SharedPanel(FileDialogs& dialogs, QWidget* parent) : QGroupBox(to_qt(texts::kShared), parent) {
    setObjectName(QStringLiteral("shared"));
    setAccessibleName(to_qt(texts::kShared));
    auto* form = new QFormLayout(this);
    rom_ = add_path_row(*form, dialogs, "rom", texts::kRom, texts::kAllFiles, PathUse::open);
    mode_ = add_choice_row(*form, "mode", texts::kMode, {texts::kModeSingle, texts::kModeDouble, texts::kModeBoth});
    mode_->setCurrentIndex(1);
    table2_ = add_path_row(*form, dialogs, "table2", texts::kTable2, texts::kTableFiles, PathUse::open);
    table1_ = add_path_row(*form, dialogs, "table1", texts::kTable1, texts::kTableFiles, PathUse::open);
    filter2_ = add_path_row(*form, dialogs, "filter2", texts::kFilter2, texts::kTextFiles, PathUse::open);
    filter1_ = add_path_row(*form, dialogs, "filter1", texts::kFilter1, texts::kTextFiles, PathUse::open);
    encoding_ = add_choice_row(*form, "encoding", texts::kEncoding, {texts::kGbk, texts::kUtf8});
    hex_bytes_ = add_check_row(*form, "hex_bytes", texts::kHexBytes);
    // Naming a file puts the main window's list aside for good.
    connect(filter2_, &QLineEdit::textEdited, this, [this] {
        main_double_.reset();
        filter2_->setPlaceholderText({});
    });
    connect(filter1_, &QLineEdit::textEdited, this, [this] {
        main_single_.reset();
        filter1_->setPlaceholderText({});
    });
}

void SharedPanel::fill(const ToolsStart& start) {
    rom_->setText(to_qt(start.rom.u16string()));
    for (int i = 0; i < 3; ++i)
        if (kModes[i] == start.tables.mode) mode_->setCurrentIndex(i);
    table2_->setText(to_qt(start.tables.double_table.u16string()));
    table1_->setText(to_qt(start.tables.single_table.u16string()));
    auto take = [](QLineEdit& box, const FilterListInput& list, std::optional<FilterListInput>& kept) {
        box.clear();
        kept.reset();
        box.setPlaceholderText({});
        if (!list.ticked) return;
        kept = list;
        box.setPlaceholderText(to_qt(texts::kFromMainWindow));
    };
    take(*filter2_, start.tables.double_filter, main_double_);
    take(*filter1_, start.tables.single_filter, main_single_);
    encoding_->setCurrentIndex(start.tables.encoding == text::Encoding::utf8 ? 1 : 0);
    hex_bytes_->setChecked(start.tables.hex_bytes);
}

std::filesystem::path SharedPanel::rom() const { return to_path(rom_->text()); }

text::Encoding SharedPanel::encoding() const {
    return encoding_->currentIndex() == 1 ? text::Encoding::utf8 : text::Encoding::gbk;
}

Expected<FilterListInput, Message> SharedPanel::filter(const QLineEdit& box,
                                                       const std::optional<FilterListInput>& from_main) const {
    if (box.text().isEmpty()) return from_main.value_or(FilterListInput{});
    auto list = filter_list_from_file(to_path(box.text()), encoding());
    if (!list) return unexpected(messages::filter_file_unreadable(to_core(box.text())));
    return std::move(*list);
}

Expected<TableSetup, Message> SharedPanel::tables() const {
    TableSetup setup;
    setup.encoding = encoding();
    auto double_filter = filter(*filter2_, main_double_);
    if (!double_filter) return unexpected(std::move(double_filter.error()));
    auto single_filter = filter(*filter1_, main_single_);
    if (!single_filter) return unexpected(std::move(single_filter.error()));
    setup.mode = kModes[std::max(0, mode_->currentIndex())];
    setup.double_table = to_path(table2_->text());
    setup.single_table = to_path(table1_->text());
    setup.double_filter = std::move(*double_filter);
    setup.single_filter = std::move(*single_filter);
    setup.hex_bytes = hex_bytes_->isChecked();
    return setup;
}

}  // namespace quillmere::ui
