#pragma once
// Measuring (`textlen`) and encoding (`text2code`) the text field of a
// translation script entry. Both walk the text the same way, so a text that
// measures n bytes encodes to n bytes:
//
// - "{" opens a token that runs to the next "}"; a "{" without one fails.
// - "{结束符" + 2 or 4 hex digits + "}" is an end marker, one byte per pair.
// - "{跳跃符" + 2 or 4 hex digits + "：" + an even number of hex digits + "}"
//   is a jump marker, one byte per pair, the jump code first.
// - Any other token that begins with either word fails: counting it one way
//   and writing it another would put wrong bytes into the ROM.
// - Any other token is a tag: the lowest single-byte code 0-FF that names
//   it, else the lowest double-byte code in the range, high byte first. A
//   fill marker typed into the script is a tag too; the import adds its own
//   fill bytes after the text.
// - With `hex_bytes`, a token "{$XX}" that no filter list names is the byte
//   XX.
// - Plain text is covered by the reverse tables, longest value first.

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.hpp"
#include "core/script/entry_failure.hpp"
#include "core/script/filter_lookup.hpp"
#include "core/script/gbk_reverse_tables.hpp"
#include "core/script/reverse_tables.hpp"
#include "core/memory/large_buffer.hpp"

namespace quillmere {

struct ScriptTables {
    ReverseTables reverse;
    FilterLookup filters;
    bool hex_bytes = false;  // "{$XX}" reads as the byte XX
};

// The tables for a script read as code page 936 bytes.
struct GbkScriptTables {
    explicit GbkScriptTables(const ScriptTables& script_tables);

    const ScriptTables& tables;
    GbkReverseTables reverse;
    // The marker words and the tags of the filter lists as code page 936
    // bytes; a tag those bytes cannot spell is left out.
    std::string end_word, jump_word, colon;
    // The tags by their bytes, for the lookup nearly every token makes.
    class TagIndex {
    public:
        void add(std::string bytes, FilterLookup::TagCodes codes);
        const FilterLookup::TagCodes* find(std::string_view token) const {
            if (slots_.empty()) return nullptr;
            for (std::size_t at = hash(token) & mask_;; at = (at + 1) & mask_) {
                const Slot& slot = slots_[at];
                if (!slot.used) return nullptr;
                if (slot.bytes == token) return &slot.codes;
            }
        }

    private:
        struct Slot {
            std::string bytes;
            FilterLookup::TagCodes codes;
            bool used = false;
        };
        // Tags are short: the length and the bytes at both ends make a
        // hash that costs less than the lookup.
        static std::size_t hash(std::string_view text) {
            std::uint64_t head = 0, tail = 0;
            const std::size_t n = std::min<std::size_t>(text.size(), 8);
            std::memcpy(&head, text.data(), n);
            std::memcpy(&tail, text.data() + text.size() - n, n);
            const std::uint64_t mixed = (head * 0x9E3779B97F4A7C15ull) ^ ((tail + text.size()) * 0xC2B2AE3D27D4EB4Full);
            return static_cast<std::size_t>(mixed >> 32 ^ mixed);
        }
        void grow();

        std::vector<Slot> slots_;
        std::size_t mask_ = 0;
        std::size_t used_ = 0;
    };
    TagIndex tags;
    // Where a token is decoded, reused from token to token.
    mutable std::u16string token;
};

// Where a tag's double-byte code is searched: `measure` for the count,
// `code` for the bytes (the import counts with every code and writes with
// the codes of the range boxes).
struct TagRanges {
    CodeRange measure;
    CodeRange code;
};

// An entry's text measured and encoded in one walk.
struct EntryCodes {
    std::size_t count = 0;  // the bytes `textlen` gives
    // The first thing `text2code` refuses where `textlen` does not: a tag
    // found only outside the code range.
    std::optional<EntryFailure> encoding_failure;
};

// `textlen` and, into `bytes` when given (emptied first), `text2code` in one
// walk; unexpected: the failure `textlen` gives.
Expected<EntryCodes, EntryFailure> encode_entry(std::u16string_view text, const ScriptTables& tables, TagRanges ranges,
                                                memory::ByteBuffer* bytes);
// The same for a text of code page 936 bytes, with the same results as for
// its decoded text; EntryFault::not_code_page_936 when the bytes walked are
// not well-formed, so that the caller reads the decoded text instead.
Expected<EntryCodes, EntryFailure> encode_entry(std::string_view text, const GbkScriptTables& tables,
                                                TagRanges ranges, memory::ByteBuffer* bytes);

// The bytes the text will take, or the first thing in it that cannot be
// encoded.
Expected<std::size_t, EntryFailure> textlen(std::u16string_view text, const ScriptTables& tables, CodeRange range);

// The bytes themselves, into `bytes` (emptied first), so that one buffer
// serves every entry of a script; nullopt on success.
std::optional<EntryFailure> text2code(std::u16string_view text, const ScriptTables& tables, CodeRange range,
                                      std::vector<std::uint8_t>& bytes);

// The bytes themselves.
Expected<std::vector<std::uint8_t>, EntryFailure> text2code(std::u16string_view text, const ScriptTables& tables,
                                                            CodeRange range);

}  // namespace quillmere
