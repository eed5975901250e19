#pragma once
// 补丁: the changes between two images and what explains each
// (`quillmere-cli diff`), and release patches made and applied
// (`quillmere-cli patch create|apply`). The original and the modified image
// serve the three forms alike.

#include <QWidget>

#include "core/commands/patch_command.hpp"
#include "ui/tools/tools_context.hpp"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace quillmere::ui {

class PatchTab : public QWidget {
    Q_OBJECT

public:
    explicit PatchTab(ToolsContext context, QWidget* parent = nullptr);

private:
    void diff();
    void create();
    void apply();
    // The report's lines, then its warnings, as the command line prints them.
    void show(const CommandResult<PatchReport>& result);

    ToolsContext context_;
    QLineEdit *original_, *modified_;
    QLineEdit *script_, *pointers_, *free_;
    QComboBox* format_;
    QLineEdit *patch_out_, *metadata_;
    QLineEdit *patch_, *result_;
    QCheckBox* ignore_checksum_;
    QListWidget* report_;
};

}  // namespace quillmere::ui
