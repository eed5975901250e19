#pragma once
// What the check and the import share: the tables and the script read in
// their order, and the walk over the script's entries, in either of the
// forms the script comes in.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/commands/entry_moves.hpp"
#include "core/commands/messages.hpp"
#include "core/commands/script_commands.hpp"
#include "core/encoding/hex.hpp"
#include "core/layout/code_widths.hpp"
#include "core/memory/large_buffer.hpp"
#include "core/script/entry.hpp"
#include "core/script/entry_failure.hpp"
#include "core/script/script_source.hpp"
#include "core/script/text_codes.hpp"

namespace quillmere::script_reading {

// The double-byte codes the import's length test searches, whatever the
// range boxes hold.
inline constexpr CodeRange kAllDoubleCodes{0, 0xFFFF};

struct Prepared {
    ScriptTables tables;
    ScriptSource script;
};

// What the check and the import share, in order: a script to read, the
// code tables, the filter lists (double-byte first), the script itself.
[[nodiscard]] Expected<Prepared, Message> prepare(const CheckRequest& request, FilterUnticks& untick);

// Reads the entries of a script in either form: its decoded text, or its
// code page 936 bytes as they stand. A walk over bytes that meets bytes
// which are not well-formed gives up (`must_reread`), and the command reads
// the decoded script instead, where the decoder's substitutes decide the
// message, exactly as for any decoded script.
class EntryReader {
public:
    EntryReader(const ScriptTables& tables, bool bytes) : tables_(tables) {
        if (bytes) gbk_.emplace(tables);
    }

    bool must_reread() const { return reread_; }

    // A field the messages name (address, original length), as text.
    std::u16string_view field(std::u16string_view text, std::u16string&) { return text; }
    std::u16string_view field(std::string_view bytes, std::u16string& buffer) {
        buffer.resize(bytes.size());
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<std::uint8_t>(bytes[i]);
            if (byte >= 0x80) return decoded(bytes, buffer);
            buffer[i] = byte;
        }
        return buffer;
    }

    // The text of an entry that measured, as text.
    std::u16string_view text(std::u16string_view text) { return text; }
    std::u16string_view text(std::string_view bytes) { return decoded(bytes, text_); }

    Expected<EntryCodes, EntryFailure> encode(std::u16string_view text, TagRanges ranges,
                                              memory::ByteBuffer* bytes) {
        return encode_entry(text, tables_, ranges, bytes);
    }
    Expected<EntryCodes, EntryFailure> encode(std::string_view text, TagRanges ranges,
                                              memory::ByteBuffer* bytes) {
        auto codes = encode_entry(text, *gbk_, ranges, bytes);
        if (!codes && codes.error().fault == EntryFault::not_code_page_936) reread_ = true;
        return codes;
    }

private:
    std::u16string_view decoded(std::string_view bytes, std::u16string& buffer) {
        text::Decoded text =
            text::decode_gbk(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
        if (text.bad_sequences != 0) reread_ = true;
        buffer = std::move(text.text);
        return buffer;
    }

    const ScriptTables& tables_;
    std::optional<GbkScriptTables> gbk_;
    std::u16string text_;
    bool reread_ = false;
};

// One entry: the fields the messages name, as text; the text as read.
template <class Char>
struct Entry {
    std::u16string_view address;
    std::u16string_view original_length;
    std::basic_string_view<Char> text;
};

// How an entry, or a walk over the entries, ended: the message of a
// failure.
using EntryEnd = Expected<Done, Message>;

struct [[nodiscard]] WalkEnd {
    EntryEnd end = Done{};
    bool reread = false;  // the reader gave up on the bytes: nothing else holds
};

// Walks the non-empty lines of the script. `on_entry(entry, offset)` returns
// an EntryEnd. A line that cannot be split, or
// whose address is not hexadecimal, cannot be processed; a line without any
// comma is named by the address of the entry before it. Without `failures`
// the first failing entry ends the walk and its message is returned; with it
// each failing entry's message is added there and the walk goes on.
template <class Char, class OnEntry>
WalkEnd for_each_entry(std::basic_string_view<Char> script, EntryReader& reader, OnEntry&& on_entry,
                       std::vector<Message>* failures = nullptr, std::size_t* entries = nullptr) {
    WalkEnd end;
    std::u16string address_text, length_text;
    // A failing entry ends the walk, unless every failure is wanted.
    auto failed = [&](Message message) {
        if (!failures) {
            end.end = unexpected(std::move(message));
            return false;
        }
        failures->push_back(std::move(message));
        return true;
    };
    auto reread = [&] {
        end = {Done{}, true};
        return false;
    };
    quillmere::for_each_entry(
        script,
        [&](const BasicScriptEntry<Char>& fields) {
            if (entries) ++*entries;
            const std::u16string_view address = reader.field(fields.address, address_text);
            const std::u16string_view length = reader.field(fields.original_length, length_text);
            if (reader.must_reread()) return reread();
            auto offset = hex2num(address);
            EntryEnd ended = offset ? on_entry(Entry<Char>{address, length, fields.text},
                                               static_cast<std::uint64_t>(*offset))
                                    : EntryEnd(unexpected(messages::unprocessable(address)));
            if (reader.must_reread()) return reread();
            return ended.has_value() || failed(std::move(ended.error()));
        },
        [&](std::basic_string_view<Char> unsplit) {
            if (entries) ++*entries;
            const std::u16string_view address = reader.field(unsplit, address_text);
            if (reader.must_reread()) return reread();
            return failed(messages::unprocessable(address));
        });
    return end;
}

// Runs `walk(script, reader)` over the script's bytes when it has them, and
// over its decoded text when it has not or they are not well-formed.
template <class Walk>
auto walk_script(ScriptSource& script, const ScriptTables& tables, Walk&& walk) {
    if (script.has_bytes()) {
        EntryReader reader(tables, true);
        auto result = walk(script.bytes(), reader);
        if (!reader.must_reread()) return result;
    }
    EntryReader reader(tables, false);
    return walk(script.text(), reader);
}

// The widths file, when a pixel limit asks for it; the check's and what the
// exchange states in its notes.
[[nodiscard]] Expected<std::optional<CodeWidths>, Message> load_widths(const BoxLimitInput& input,
                                                                       const ReverseTables& tables);

}  // namespace quillmere::script_reading
