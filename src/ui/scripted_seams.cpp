#include "ui/scripted_seams.hpp"

namespace quillmere::ui {

Answer ScriptedMessageBoxes::show(QWidget*, const QString& title, const QString& text, Buttons buttons, Icon icon) {
    shown.push_back({title, text, buttons, icon});
    if (buttons == Buttons::ok) return Answer::ok;
    if (answers_.empty()) return Answer::no;
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<QString> ScriptedFileDialogs::next() {
    if (answers_.empty()) return std::nullopt;
    // A copy: QString shares its text, and moving out of the optional trips
    // a false uninitialised-use warning in GCC 12.
    const std::optional<QString> answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<QString> ScriptedFileDialogs::open(QWidget*, const QString& filter_list, const QString& folder,
                                                 const QString& initial_name) {
    calls.push_back({DialogCall::Kind::open, filter_list, folder, initial_name});
    return next();
}

std::optional<QString> ScriptedFileDialogs::save(QWidget*, const QString& filter_list, const QString& folder,
                                                 const QString& initial_name) {
    calls.push_back({DialogCall::Kind::save, filter_list, folder, initial_name});
    return next();
}

}  // namespace quillmere::ui
