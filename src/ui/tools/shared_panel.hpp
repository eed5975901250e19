#pragma once
// The settings every tab shares, as the command line's table options give
// them: the ROM, its mode, the code tables, the filter list files and the
// encoding of the text files. Opened from the main window, the panel takes
// that window's values; its filter lists are then the main window's texts
// until a file is named instead.

#include <QGroupBox>
#include <filesystem>
#include <optional>

#include "core/commands/message.hpp"
#include "core/commands/table_setup.hpp"
#include "core/expected.hpp"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace quillmere::ui {

class FileDialogs;

// What the main window hands over.
struct ToolsStart {
    std::filesystem::path rom;
    TableSetup tables;
};

class SharedPanel : public QGroupBox {
    Q_OBJECT

public:
    SharedPanel(FileDialogs& dialogs, QWidget* parent = nullptr);

    void fill(const ToolsStart& start);
    std::filesystem::path rom() const;
    text::Encoding encoding() const;
    // The tables as the command line's table_setup builds them: a filter
    // list file that cannot be read refuses with the same message.
    Expected<TableSetup, Message> tables() const;

private:
    Expected<FilterListInput, Message> filter(const QLineEdit& box,
                                              const std::optional<FilterListInput>& from_main) const;

    QLineEdit* rom_;
    QComboBox* mode_;
    QLineEdit *table2_, *table1_, *filter2_, *filter1_;
    QComboBox* encoding_;
    QCheckBox* hex_bytes_;
    // The main window's ticked lists, until a file is named.
    std::optional<FilterListInput> main_double_, main_single_;
};

}  // namespace quillmere::ui
