#include "ui/tools/patch_tab.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "core/commands/messages_tools.hpp"
#include "core/commands/tools_texts.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/tool_controls.hpp"
#include "ui/tools/tool_runner.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

namespace {

// A titled box with a form, and the button that runs it under the form.
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

}  // namespace

PatchTab::PatchTab(ToolsContext context, QWidget* parent) : QWidget(parent), context_(std::move(context)) {
    name_control(*this, "patch_tab", texts::kPatchTab);
    FileDialogs& dialogs = context_.dialogs;
    auto* layout = new QVBoxLayout(this);
    auto* images = new QFormLayout;
    layout->addLayout(images);
    original_ = add_path_row(*images, dialogs, "patch_original", texts::kOriginal, texts::kAllFiles, PathUse::open);
    modified_ = add_path_row(*images, dialogs, "patch_modified", texts::kModified, texts::kAllFiles, PathUse::open);

    QFormLayout* diff_form = add_group(*layout, "diff_group", texts::kDiffGroup);
    script_ = add_path_row(*diff_form, dialogs, "diff_script", texts::kDiffScript, texts::kTextFiles, PathUse::open);
    pointers_ = add_path_row(*diff_form, dialogs, "diff_pointers", texts::kPointerList, texts::kTextFiles, PathUse::open);
    free_ = add_line_row(*diff_form, "diff_free", texts::kFreeBlocks);
    QPushButton* diff_run = add_run(*diff_form, "diff_run", texts::kDiff);

    QFormLayout* create_form = add_group(*layout, "create_group", texts::kCreateGroup);
    format_ = add_choice_row(*create_form, "patch_format", texts::kPatchFormat, {u"BPS", u"IPS"});
    patch_out_ = add_path_row(*create_form, dialogs, "patch_out", texts::kPatchOut, texts::kPatchFiles, PathUse::save);
    metadata_ = add_path_row(*create_form, dialogs, "patch_metadata", texts::kMetadata, texts::kAllFiles, PathUse::open);
    QPushButton* create_run = add_run(*create_form, "patch_create", texts::kCreate);

    QFormLayout* apply_form = add_group(*layout, "apply_group", texts::kApplyGroup);
    patch_ = add_path_row(*apply_form, dialogs, "patch_file", texts::kPatchFile, texts::kPatchFiles, PathUse::open);
    result_ = add_path_row(*apply_form, dialogs, "patch_result", texts::kPatchResult, texts::kAllFiles, PathUse::save);
    ignore_checksum_ = add_check_row(*apply_form, "patch_ignore_checksum", texts::kIgnoreChecksum);
    QPushButton* apply_run = add_run(*apply_form, "patch_apply", texts::kApply);

    report_ = new QListWidget(this);
    name_control(*report_, "patch_report", texts::kReport);
    layout->addWidget(report_, 1);
    connect(diff_run, &QPushButton::clicked, this, &PatchTab::diff);
    connect(create_run, &QPushButton::clicked, this, &PatchTab::create);
    connect(apply_run, &QPushButton::clicked, this, &PatchTab::apply);
}

void PatchTab::diff() {
    DiffRequest request;
    request.original = to_path(original_->text());
    request.modified = to_path(modified_->text());
    request.script = to_path(script_->text());
    request.pointer_list = to_path(pointers_->text());
    for (const QString& block : free_->text().split(u' ', Qt::SkipEmptyParts))
        request.free_blocks.push_back(to_core(block));
    report_->clear();
    context_.runner.start(to_qt(texts::kWorking), [this, request](const CancelCheck& cancelled) {
        auto result = std::make_shared<CommandResult<PatchReport>>(run_diff(request));
        // The diff writes nothing: a stopped one only drops its result.
        if (cancel_requested(cancelled)) result = std::make_shared<CommandResult<PatchReport>>(
                                             CommandResult<PatchReport>{messages::cancelled(), {}});
        return ToolRunner::Continuation([this, result] { show(*result); });
    });
}

void PatchTab::create() {
    PatchCreateRequest request;
    request.original = to_path(original_->text());
    request.modified = to_path(modified_->text());
    request.format = format_->currentIndex() == 1 ? patch::PatchFormat::ips : patch::PatchFormat::bps;
    request.out = to_path(patch_out_->text());
    request.metadata = to_path(metadata_->text());
    report_->clear();
    context_.runner.start(to_qt(texts::kWorking), [this, request](const CancelCheck& cancelled) mutable {
        request.cancelled = cancelled;
        auto result = std::make_shared<CommandResult<PatchReport>>(run_patch_create(request));
        return ToolRunner::Continuation([this, result] { show(*result); });
    });
}

void PatchTab::apply() {
    PatchApplyRequest request;
    request.original = to_path(original_->text());
    request.patch = to_path(patch_->text());
    request.out = to_path(result_->text());
    request.ignore_checksum = ignore_checksum_->isChecked();
    report_->clear();
    context_.runner.start(to_qt(texts::kWorking), [this, request](const CancelCheck& cancelled) mutable {
        request.cancelled = cancelled;
        auto result = std::make_shared<CommandResult<PatchReport>>(run_patch_apply(request));
        return ToolRunner::Continuation([this, result] { show(*result); });
    });
}

void PatchTab::show(const CommandResult<PatchReport>& result) {
    for (const std::u16string& line : result.payload.lines) report_->addItem(to_qt(line));
    for (const std::u16string& warning : result.payload.warnings) report_->addItem(to_qt(warning));
    context_.show(result.message);
}

}  // namespace quillmere::ui
