#pragma once
// Why one entry of a translation script cannot be measured or encoded.

#include <cstdint>
#include <string>
#include <string_view>


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

}  // namespace quillmere
