#include "ui/tools/tools_settings.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QWidget>
#include <string>

#include "core/commands/messages_tools.hpp"
#include "core/commands/tools_texts.hpp"
#include "core/files/files.hpp"
#include "core/text/gbk.hpp"
#include "ui/qt_text.hpp"

namespace quillmere::ui {

std::filesystem::path tools_settings_file(const std::filesystem::path& data_dir) {
    return data_dir / std::filesystem::path(std::u16string(tools_texts::kSettingsFile));
}

ToolsSettings read_tools_settings(const std::filesystem::path& file) {
    ToolsSettings settings;
    auto lines = files::read_text_lines(file);
    if (!lines) return settings;
    for (const std::u16string& line : *lines) {
        const auto equals = line.find(u'=');
        if (equals == std::u16string::npos || equals == 0) continue;
        settings[to_qt(std::u16string_view(line).substr(0, equals))] = to_qt(std::u16string_view(line).substr(equals + 1));
    }
    return settings;
}

CommandResult<> write_tools_settings(const std::filesystem::path& file, const ToolsSettings& settings) {
    std::u16string contents;
    for (const auto& [name, value] : settings) {
        if (value.contains(u'\n') || value.contains(u'\r')) continue;
        std::u16string line = to_core(name) + u"=" + to_core(value);
        if (!text::encode_gbk_round_trip(line)) continue;
        contents += line + u"\r\n";
    }
    if (!files::write_text_file(file, contents)) return {messages::tools_settings_not_saved()};
    return {no_message()};
}

namespace {

bool kept(const QWidget& control, const QWidget& root) {
    // Qt names the parts of its own widgets "qt_…".
    if (control.objectName().isEmpty() || control.objectName().startsWith(QStringLiteral("qt_"))) return false;
    for (const QWidget* widget = &control; widget && widget != &root; widget = widget->parentWidget())
        if (widget->property("transient").toBool()) return false;
    return true;
}

}  // namespace

ToolsSettings settings_of(const QWidget& root) {
    ToolsSettings settings;
    for (const QLineEdit* box : root.findChildren<QLineEdit*>())
        if (kept(*box, root)) settings[box->objectName()] = box->text();
    for (const QComboBox* box : root.findChildren<QComboBox*>())
        if (kept(*box, root)) settings[box->objectName()] = QString::number(box->currentIndex());
    for (const QCheckBox* box : root.findChildren<QCheckBox*>())
        if (kept(*box, root)) settings[box->objectName()] = box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    for (const QSpinBox* box : root.findChildren<QSpinBox*>())
        if (kept(*box, root)) settings[box->objectName()] = QString::number(box->value());
    return settings;
}

void apply_settings(QWidget& root, const ToolsSettings& settings) {
    auto value = [&](const QWidget& control) -> const QString* {
        if (!kept(control, root)) return nullptr;
        auto found = settings.find(control.objectName());
        return found == settings.end() ? nullptr : &found->second;
    };
    for (QLineEdit* box : root.findChildren<QLineEdit*>())
        if (const QString* text = value(*box)) box->setText(*text);
    for (QComboBox* box : root.findChildren<QComboBox*>()) {
        const QString* text = value(*box);
        bool number = false;
        const int index = text ? text->toInt(&number) : -1;
        if (number && index >= 0 && index < box->count()) box->setCurrentIndex(index);
    }
    for (QCheckBox* box : root.findChildren<QCheckBox*>())
        if (const QString* text = value(*box)) box->setChecked(*text == QStringLiteral("1"));
    for (QSpinBox* box : root.findChildren<QSpinBox*>()) {
        const QString* text = value(*box);
        bool number = false;
        const int number_value = text ? text->toInt(&number) : 0;
        if (number) box->setValue(number_value);
    }
}

}  // namespace quillmere::ui
