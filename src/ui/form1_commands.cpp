// Form1's commands that run on the worker thread: export, save text, check,
// import and loading the translation. Each gathers the control values here,
// on the window's thread, hands the worker plain values (the large texts as
// the editors' raw QStrings, converted on the worker) and shows the result
// back here, dialogs and message boxes in the order the command gives.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QThread>
#include <utility>

#include "core/commands/messages.hpp"
#include "core/commands/text_area.hpp"
#include "ui/form1.hpp"
#include "ui/qt_text.hpp"
#include "ui_form1.h"

namespace quillmere::ui {

using Continuation = CommandRunner::Continuation;

struct Form1::ExportOutcome {
    CommandResult<ExportPayload> result;
    std::filesystem::path rom;
    // Built on the worker from the preview's text.
    std::unique_ptr<QTextDocument> preview;
};

TableSetup Form1::table_setup() const {
    TableSetup setup;
    setup.mode = mode();
    setup.double_table = to_path(ui_->Text2->text());
    setup.single_table = to_path(ui_->Text13->text());
    setup.double_filter.text = editor_text(*ui_->Text12);
    setup.double_filter.ticked = ui_->Check2->isChecked();
    setup.single_filter.text = editor_text(*ui_->Text6);
    setup.single_filter.ticked = ui_->Check3->isChecked();
    setup.data_dir = data_dir_;
    return setup;
}

void Form1::export_clicked() {
    if (busy()) return;
    ExportRequest request;
    request.tables = table_setup();
    request.rom = to_path(ui_->Text1->text());
    request.start = line_text(*ui_->Text4);
    request.end = line_text(*ui_->Text5);
    request.minimum = line_text(*ui_->Text15);
    request.preview = ui_->Check4->isChecked();
    request.name = line_text(*ui_->Text3);
    commands_.start(
        to_qt(messages::working_on_export()),
        [this, request, font = ui_->text9->font(), owner = thread()]() -> Continuation {
            auto outcome = std::make_shared<ExportOutcome>(ExportOutcome{run_export(request), request.rom, {}});
            if (auto& text = outcome->result.payload.text)
                outcome->preview = editor_document(std::exchange(*text, {}), font, owner);
            return [this, outcome] { show_export(outcome); };
        });
}

void Form1::show_export(const std::shared_ptr<ExportOutcome>& outcome) {
    const CommandResult<ExportPayload>& result = outcome->result;
    untick_filters(result.payload.untick);
    if (result.payload.clear_preview) ui_->text9->clear();
    if (result.message.shown()) {
        if (outcome->preview) show_document(*ui_->text9, std::move(outcome->preview));
        show_message(result.message);
        return;
    }
    // Without the preview the scan has the file's bytes ready; they are
    // saved where the user says.
    const auto path = save_dialog();
    if (!path) return;
    commands_.then(to_qt(messages::working_on_export()), [this, outcome, path = to_path(*path)]() -> Continuation {
        auto written = write_export_file(path, outcome->result.payload, outcome->rom);
        return [this, message = std::move(written.message)] { show_message(message); };
    });
}

void Form1::save_text_clicked() {
    if (busy()) return;
    const auto named = check_source_text_name(line_text(*ui_->Text3));
    if (named.message.shown()) {
        show_message(named.message);
        return;
    }
    const auto path = save_dialog();
    if (!path) return;
    commands_.start(to_qt(messages::working_on_save()),
                    [this, raw = ui_->text9->document()->toRawText(), path = to_path(*path),
                     rom = to_path(ui_->Text1->text())]() mutable -> Continuation {
                        auto saved = save_source_text(path, core_text(std::exchange(raw, {})), rom);
                        return [this, message = std::move(saved.message)] { show_message(message); };
                    });
}

CheckRequest Form1::check_request(QString& script) const {
    CheckRequest request;
    request.tables = table_setup();
    request.preview = ui_->Check4->isChecked();
    request.script_file = to_path(ui_->Text8->text());
    // The translation area is read only when it is the script.
    if (request.preview) script = ui_->text10->document()->toRawText();
    request.range_low = line_text(*ui_->Text16);
    request.range_high = line_text(*ui_->Text17);
    return request;
}

void Form1::check_clicked() {
    if (busy()) return;
    QString script;
    CheckRequest request = check_request(script);
    commands_.start(to_qt(messages::working_on_check()), [this, request, script]() mutable -> Continuation {
        if (request.preview) request.script_text = core_text(std::exchange(script, {}));
        auto result = run_check(request);
        return [this, untick = result.payload.untick, message = std::move(result.message)] {
            untick_filters(untick);
            show_message(message);
        };
    });
}

void Form1::import_clicked() {
    if (busy()) return;
    QString script;
    ImportRequest request;
    static_cast<CheckRequest&>(request) = check_request(script);
    request.rom = to_path(ui_->Text1->text());
    request.fill = line_text(*ui_->Text14);
    commands_.start(to_qt(messages::working_on_import()), [this, request, script]() mutable -> Continuation {
        if (request.preview) request.script_text = core_text(std::exchange(script, {}));
        auto result = run_import(request);
        return [this, untick = result.payload.untick, message = std::move(result.message)] {
            untick_filters(untick);
            show_message(message);
        };
    });
}

void Form1::choose_translation() {
    if (busy()) return;
    if (choose_file(ui_->Text8, to_qt(messages::translation_file_types())) && ui_->Check4->isChecked())
        load_translation();
}

void Form1::load_translation() {
    struct Loaded {
        Message message;
        std::unique_ptr<QTextDocument> document;
    };
    commands_.start(
        to_qt(messages::working_on_load()),
        [this, path = to_path(ui_->Text8->text()), font = ui_->text10->font(), owner = thread()]() -> Continuation {
            auto result = quillmere::load_translation(path);
            auto loaded = std::make_shared<Loaded>();
            // A file that cannot be read leaves the area as it is, silently.
            if (!result.payload) return {};
            loaded->message = std::move(result.message);
            loaded->document = editor_document(std::exchange(*result.payload, {}), font, owner);
            return [this, loaded] {
                show_document(*ui_->text10, std::move(loaded->document));
                show_message(loaded->message);
            };
        });
}

}  // namespace quillmere::ui
