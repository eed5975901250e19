#pragma once
// What a command tells the user: one text under one of two titles, or
// nothing at all. Every text comes from the message catalogue (messages.hpp).

#include <string>

namespace quillmere {

// notice: an outcome ("提示"); error: a refusal or failure ("错误"); none:
// nothing to show (yet), as when an export waits for the file to save to.
enum class Severity { none, notice, error };

struct Message {
    Severity severity = Severity::error;
    std::u16string text;

    std::u16string title() const;
    bool shown() const { return severity != Severity::none; }

    friend bool operator==(const Message&, const Message&) = default;
};

inline Message error_message(std::u16string text) { return {Severity::error, std::move(text)}; }
inline Message notice_message(std::u16string text) { return {Severity::notice, std::move(text)}; }
inline Message no_message() { return {Severity::none, {}}; }

}  // namespace quillmere
