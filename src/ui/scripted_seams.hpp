#pragma once
// Message boxes and file dialogs that answer from a script and record what
// they were asked: for the tests and for rendering the window unattended.

#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "ui/file_dialogs.hpp"
#include "ui/message_boxes.hpp"

namespace quillmere::ui {

struct ShownBox {
    QString title;
    QString text;
    Buttons buttons;
    Icon icon;
};

class ScriptedMessageBoxes final : public MessageBoxes {
public:
    // Answers for Yes/No boxes, used in order; without one the answer is No.
    void answer_next(Answer answer) { answers_.push_back(answer); }
    Answer show(QWidget* parent, const QString& title, const QString& text, Buttons buttons, Icon icon) override;

    std::vector<ShownBox> shown;

private:
    std::deque<Answer> answers_;
};

struct DialogCall {
    enum class Kind { open, save } kind;
    QString filter_list;
    QString folder;
    QString initial_name;
};

class ScriptedFileDialogs final : public FileDialogs {
public:
    // The path the next dialog returns; nullopt cancels it. Without an
    // answer a dialog is cancelled.
    void answer_next(std::optional<QString> path) { answers_.push_back(std::move(path)); }
    std::optional<QString> open(QWidget* parent, const QString& filter_list, const QString& folder,
                                const QString& initial_name) override;
    std::optional<QString> save(QWidget* parent, const QString& filter_list, const QString& folder,
                                const QString& initial_name) override;

    std::vector<DialogCall> calls;

private:
    std::optional<QString> next();
    std::deque<std::optional<QString>> answers_;
};

}  // namespace quillmere::ui
