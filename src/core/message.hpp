#pragma once
// What a command tells the user: one text under one of two titles.

#include <string>

namespace quillmere {

enum class Severity { notice, error };

struct Message {
    Severity severity = Severity::error;
    std::u16string text;

    // "提示" for an outcome, "错误" for a refusal or failure.
    std::u16string title() const { return severity == Severity::notice ? u"提示" : u"错误"; }

    friend bool operator==(const Message&, const Message&) = default;
};

inline Message error_message(std::u16string text) { return {Severity::error, std::move(text)}; }
inline Message notice_message(std::u16string text) { return {Severity::notice, std::move(text)}; }

}  // namespace quillmere
