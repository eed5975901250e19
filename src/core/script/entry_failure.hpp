#pragma once
// Why one entry of a translation script cannot be measured or encoded, and
// the message each cause gives.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/message.hpp"

namespace quillmere {

enum class EntryFault {
    unprocessable,      // bad marker, unclosed "{", unusable table key or address, no room in the ROM
    missing_character,  // plain text no table value covers
    missing_tag,        // a token in braces no filter list names
    // Bytes of a script that are not well-formed code page 936; the script
    // is then read through the decoder, which gives the user's message.
    not_code_page_936,
};

struct EntryFailure {
    EntryFault fault = EntryFault::unprocessable;
    std::u16string what;  // the character or the token

    friend bool operator==(const EntryFailure&, const EntryFailure&) = default;
};

inline EntryFailure unprocessable() { return {EntryFault::unprocessable, {}}; }

// address + "行文本处理错误"
Message unprocessable_message(std::u16string_view address);

// A failure while measuring (`textlen`): every cause carries the address,
// address + "行出错，" + "码表中缺少[" + C + "]字" and its kin.
Message measuring_message(std::u16string_view address, const EntryFailure& failure);

// A failure while encoding (`text2code`): a missing tag is named without the
// address, "过滤区中缺少[" + T + "]"; an unusable entry still names it.
Message encoding_message(std::u16string_view address, const EntryFailure& failure);

// address + "行的文本超出原长" + " " + excess + "个字节"
Message excess_message(std::u16string_view address, std::u16string_view excess);

}  // namespace quillmere
