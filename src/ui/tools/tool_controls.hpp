#pragma once
// The rows the tools window's forms are made of: a label and its control,
// every control named (objectName for the tests and the settings file, a
// Chinese accessible name for screen readers). Rows are made in reading
// order, which is the order Tab walks.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QWidget;

namespace quillmere::ui {

class FileDialogs;

void name_control(QWidget& control, const char* object_name, std::u16string_view accessible_name);

enum class PathUse { open, save };

// A path box with its 浏览… button, which opens `filter_list`'s dialog in
// the folder of the path already given.
QLineEdit* add_path_row(QFormLayout& form, FileDialogs& dialogs, const char* name, std::u16string_view label,
                        std::u16string_view filter_list, PathUse use);
QLineEdit* add_line_row(QFormLayout& form, const char* name, std::u16string_view label, const QString& text = {});
QComboBox* add_choice_row(QFormLayout& form, const char* name, std::u16string_view label,
                          std::initializer_list<std::u16string_view> choices);
QCheckBox* add_check_row(QFormLayout& form, const char* name, std::u16string_view label);
// A number that may be left unset: its lowest value reads "不限".
QSpinBox* add_limit_row(QFormLayout& form, const char* name, std::u16string_view label, int maximum);
QSpinBox* add_number_row(QFormLayout& form, const char* name, std::u16string_view label, int minimum, int maximum,
                         int value);
QPushButton* add_button(QLayout& layout, const char* name, std::u16string_view label);
// A read-only table whose rows are chosen whole.
QTableWidget* make_table(const char* name, std::u16string_view label, std::initializer_list<std::u16string_view> heads);
void fill_table(QTableWidget& table, const std::vector<QStringList>& rows);

std::optional<std::int64_t> limit_of(const QSpinBox& box);

}  // namespace quillmere::ui
