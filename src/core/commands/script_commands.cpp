#include "core/commands/script_commands.hpp"

#include "core/encoding/filter.hpp"
#include "core/encoding/hex.hpp"
#include "core/script/entry.hpp"
#include "core/script/entry_failure.hpp"
#include "core/import/fill.hpp"
#include "core/import/rom_file.hpp"
#include "core/script/script_source.hpp"
#include "core/script/table_loading.hpp"
#include "core/script/text_codes.hpp"
#include "core/layout/box_limits.hpp"
#include "core/layout/code_widths.hpp"
#include "core/files/files.hpp"
#include "core/text/lines.hpp"
#include "core/platform/mapped_file.hpp"

#include <algorithm>

namespace quillmere {
namespace {

// The double-byte codes the import's length test searches, whatever the
// range boxes hold.
constexpr CodeRange kAllDoubleCodes{0, 0xFFFF};

// One list: untick it when empty; parse it when ticked. A temporary file
// that cannot be written or read back counts as a badly filled list.
Expected<Done, Message> add_filter_list(FilterLookup& lookup, const FilterListInput& list,
                                        const std::optional<std::filesystem::path>& data_dir, text::Encoding encoding,
                                        bool double_byte, bool& untick) {
    auto lines = filter_list_lines(list, data_dir, double_byte ? kDoubleFilterTempFile : kSingleFilterTempFile,
                                   encoding);
    if (!lines) return unexpected(filter_failure_message(FilterFailure::bad_entry, double_byte));
    untick = lines->untick;
    if (!lines->lines) return Done{};
    auto added = double_byte ? lookup.add_double_list(*lines->lines) : lookup.add_single_list(*lines->lines);
    if (!added) return unexpected(filter_failure_message(added.error(), double_byte));
    return Done{};
}

struct Prepared {
    ScriptTables tables;
    ScriptSource script;
};

// What the check and the import share, in order: a script to read, the
// code tables, the filter lists (double-byte first), the script itself.
Expected<Prepared, Message> prepare(const CheckRequest& request, Outcome& outcome) {
    if (!request.preview && request.script_file.empty()) return unexpected(error_message(u"请选择一个文本"));
    auto reverse = load_reverse_tables(request.mode, request.double_table, request.single_table, request.encoding);
    if (!reverse) return unexpected(std::move(reverse.error()));
    FilterLookup filters;
    if (auto added = add_filter_list(filters, request.double_filter, request.data_dir, request.encoding, true,
                                     outcome.untick_double_filter);
        !added)
        return unexpected(std::move(added.error()));
    if (auto added = add_filter_list(filters, request.single_filter, request.data_dir, request.encoding, false,
                                     outcome.untick_single_filter);
        !added)
        return unexpected(std::move(added.error()));
    auto script = open_script_source(request.preview, request.script_file, request.script_text, request.data_dir,
                                     request.encoding);
    if (!script) return unexpected(std::move(script.error()));
    return Prepared{ScriptTables{std::move(*reverse), std::move(filters), request.hex_bytes}, std::move(*script)};
}

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

// How a walk over the entries ended.
struct [[nodiscard]] WalkEnd {
    std::optional<Message> failure;
    bool reread = false;  // the reader gave up on the bytes: nothing else holds
};

// Walks the non-empty lines of the script. `on_entry(entry, offset)` returns
// the message of an entry that fails, if any. A line that cannot be split, or
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
            end.failure = std::move(message);
            return false;
        }
        failures->push_back(std::move(message));
        return true;
    };
    auto reread = [&] {
        end = {std::nullopt, true};
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
            std::optional<Message> message =
                offset ? on_entry(Entry<Char>{address, length, fields.text}, static_cast<std::uint64_t>(*offset))
                       : std::optional<Message>(unprocessable_message(address));
            if (reader.must_reread()) return reread();
            return !message || failed(std::move(*message));
        },
        [&](std::basic_string_view<Char> unsplit) {
            if (entries) ++*entries;
            const std::u16string_view address = reader.field(unsplit, address_text);
            if (reader.must_reread()) return reread();
            return failed(unprocessable_message(address));
        });
    return end;
}

// Runs `walk(script, reader)` over the script's bytes when it has them, and
// over its decoded text when it has not or they are not well-formed.
template <class Walk>
Outcome walk_script(ScriptSource& script, const ScriptTables& tables, Walk&& walk) {
    if (script.has_bytes()) {
        EntryReader reader(tables, true);
        Outcome outcome = walk(script.bytes(), reader);
        if (!reader.must_reread()) return outcome;
    }
    EntryReader reader(tables, false);
    return walk(script.text(), reader);
}

std::u16string decimal_text(std::int64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// The widths file, when a pixel limit asks for it.
Expected<std::optional<CodeWidths>, Message> load_widths(const BoxLimitInput& input, const ReverseTables& tables) {
    if (!input.max_width) return std::optional<CodeWidths>{};
    auto lines = files::read_text_lines(input.widths_file);
    if (!lines) return unexpected(error_message(u"宽度表读取错误"));
    auto widths = CodeWidths::parse(*lines, input.default_width, tables);
    if (!widths) {
        const WidthsFailure& failure = widths.error();
        if (failure.kind == WidthsFailure::Kind::missing_code)
            return unexpected(error_message(u"宽度表中缺少[" + failure.what + u"]的宽度"));
        return unexpected(error_message(u"宽度表里" + failure.what + u"行填写错误"));
    }
    return std::optional<CodeWidths>(std::move(*widths));
}

Message limit_message(std::u16string_view address, const LimitBreach& breach) {
    std::u16string_view what = u"超出行宽";
    if (breach.kind == LimitBreach::Kind::lines) what = u"超出行数";
    if (breach.kind == LimitBreach::Kind::pixels) what = u"超出像素宽度";
    return error_message(std::u16string(address) + u"行第" + decimal_text(static_cast<std::int64_t>(breach.line)) +
                         u"行" + std::u16string(what) + u"：" + decimal_text(breach.measured) + u">" +
                         decimal_text(breach.limit));
}

// The entry as the mover names it.
PlacedEntry placed(std::u16string_view address, std::u16string_view original_length, std::uint64_t offset) {
    const std::int64_t length = leading_number(original_length);
    return {address, static_cast<std::uint32_t>(offset), static_cast<std::uint64_t>(std::max<std::int64_t>(length, 0))};
}

Message rom_write_failed() { return error_message(u"ROM写入失败"); }

// The changes into the ROM file, all at once and synced; false when the
// file is gone or has changed its size meanwhile, or the write fails.
bool write_in_place(const std::filesystem::path& path, std::uint64_t size, const RomPatches& patches) {
    std::optional<RomFile> rom = RomFile::open(path);
    return rom && rom->size() == size && rom->write(patches);
}

// The ROM with the changes laid over it, into a new file.
bool write_changed_copy(const std::filesystem::path& path, std::span<const std::uint8_t> rom,
                        const RomPatches& patches) {
    memory::ByteBuffer image(rom.begin(), rom.end());
    patches.apply_to(image);
    return files::write_bytes(path, image).has_value();
}

// Where an entry's bytes go: its own place, or, too long for it, a free
// block it moves to.
enum class Placement { own_place, moves };

// The import of one entry: measured and encoded into `bytes`; keeping its
// place, filled to its original length and held inside a ROM of `rom_size`
// bytes (the ROM keeps its length; an entry of no bytes writes nothing,
// wherever it stands). Too long for its place, it is refused unless
// `may_move`. The message that refuses it otherwise.
template <class Char>
Expected<Placement, Message> encode_for_import(const Entry<Char>& entry, std::uint64_t offset, EntryReader& reader,
                                               CodeRange range, std::u16string_view fill_value,
                                               std::uint64_t rom_size, bool may_move, memory::ByteBuffer& bytes) {
    auto codes = reader.encode(entry.text, TagRanges{kAllDoubleCodes, range}, &bytes);
    if (!codes) return unexpected(measuring_message(entry.address, codes.error()));
    const auto excess = length_excess(entry.original_length, codes->count);
    if (excess && !may_move) return unexpected(excess_message(entry.address, *excess));
    if (codes->encoding_failure) return unexpected(encoding_message(entry.address, *codes->encoding_failure));
    if (excess) return Placement::moves;
    auto fill =
        fill_for(fill_value, leading_number(entry.original_length) - static_cast<std::int64_t>(codes->count));
    if (!fill) return unexpected(unprocessable_message(entry.address));
    const std::uint64_t total = bytes.size() + fill->byte_count();
    if (total > 0 && (offset >= rom_size || total > rom_size - offset))
        return unexpected(unprocessable_message(entry.address));
    fill->append_to(bytes);
    return Placement::own_place;
}

// The import that builds the whole result before writing any of it: with a
// relocation, or into a new file. The ROM is read once; the changed
// stretches are written in place, or the changed image goes to the new file.
template <class Char>
Outcome import_whole(const ImportRequest& request, std::basic_string_view<Char> script, EntryReader& reader,
                     CodeRange range, Outcome outcome) {
    auto finish = [&](Message message) {
        outcome.message = std::move(message);
        if (outcome.message.severity == Severity::error) outcome.moves.clear();
        return std::move(outcome);
    };
    if (!request.out.empty()) {
        std::error_code ec;
        if (std::filesystem::equivalent(request.out, request.rom, ec))
            return finish(error_message(u"输出文件不能是ROM本身"));
    }
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) return finish(error_message(u"ROM读取失败"));
    const std::uint64_t rom_size = rom->bytes().size();
    std::optional<EntryMover> mover;
    if (request.relocation) {
        auto made = EntryMover::make(*request.relocation, rom->bytes());
        if (!made) return finish(std::move(made.error()));
        mover.emplace(std::move(*made));
    }
    // Every change, in script order (a later one wins where two overlap).
    RomPatches patches;
    patches.reserve(script.size());

    std::size_t entries = 0;
    memory::ByteBuffer bytes;
    auto walked = for_each_entry(script, reader, [&](const Entry<Char>& entry,
                                                     std::uint64_t offset) -> std::optional<Message> {
        if (mover)
            if (auto overlap = mover->check(placed(entry.address, entry.original_length, offset))) return overlap;
        auto placement =
            encode_for_import(entry, offset, reader, range, request.fill, rom_size, mover.has_value(), bytes);
        if (!placement) return std::move(placement.error());
        ++entries;
        if (*placement == Placement::moves) {
            auto move = mover->move(placed(entry.address, entry.original_length, offset), bytes.size());
            if (!move) return std::move(move.error());
            outcome.moves.push_back(mover->describe(*move));
            patches.add(move->new_offset, bytes);
            return std::nullopt;
        }
        patches.add(offset, bytes);
        return std::nullopt;
    });
    if (walked.reread) return outcome;
    if (walked.failure) return finish(std::move(*walked.failure));
    // Pointers last: an entry written over a pointer does not undo its move.
    if (mover)
        for (const auto& [at, value] : mover->pointer_bytes()) patches.add(at, value);

    const bool written = request.out.empty() ? write_in_place(request.rom, rom_size, patches)
                                             : write_changed_copy(request.out, rom->bytes(), patches);
    if (!written) return finish(rom_write_failed());
    outcome.entries_written = entries;
    return finish(notice_message(u"文本导入成功"));
}

// The import that writes each entry in its place in the ROM.
template <class Char>
Outcome import_in_place(const ImportRequest& request, std::basic_string_view<Char> script, EntryReader& reader,
                        CodeRange range, Outcome outcome) {
    // A ROM that cannot be opened for writing leaves no target: the first
    // entry then cannot be processed, and a script without entries succeeds.
    std::optional<RomFile> rom = RomFile::open(request.rom);
    memory::ByteBuffer bytes;
    RomPatches patches;
    patches.reserve(script.size());

    // Every entry is measured, encoded and placed before any byte is
    // written: a script that fails anywhere leaves the ROM as it was.
    auto walked = for_each_entry(script, reader, [&](const Entry<Char>& entry,
                                                     std::uint64_t offset) -> std::optional<Message> {
        if (!rom) return unprocessable_message(entry.address);
        auto placement = encode_for_import(entry, offset, reader, range, request.fill, rom->size(), false, bytes);
        if (!placement) return std::move(placement.error());
        patches.add(offset, bytes);
        return std::nullopt;
    });
    if (walked.reread) return outcome;
    std::optional<Message> failure = std::move(walked.failure);
    if (!failure && rom) {
        // Success only once the bytes are on the disk.
        if (rom->write(patches)) {
            outcome.entries_written = patches.count();
        } else {
            failure = rom_write_failed();
        }
    }
    outcome.message = failure ? std::move(*failure) : notice_message(u"文本导入成功");
    return outcome;
}

// The check of every entry: measured and held to the box limits; with a
// relocation, an entry too long for its place passes when it can move.
template <class Char>
Outcome check_entries(const CheckRequest& request, std::basic_string_view<Char> script, EntryReader& reader,
                      const ReverseTables& tables, const BoxLimits& limits, Outcome outcome) {
    const CodeRange range = code_range(request.range_low, request.range_high);
    std::optional<platform::MappedFile> rom;
    std::optional<EntryMover> mover;
    if (request.relocation) {
        if (request.rom.empty()) {
            outcome.message = error_message(u"请先选择一个ROM");
            return outcome;
        }
        auto mapped = platform::MappedFile::open(request.rom);
        if (!mapped) {
            outcome.message = error_message(u"ROM读取失败");
            return outcome;
        }
        rom.emplace(std::move(*mapped));
        auto made = EntryMover::make(*request.relocation, rom->bytes());
        if (!made) {
            outcome.message = std::move(made.error());
            return outcome;
        }
        mover.emplace(std::move(*made));
    }
    std::size_t entries = 0;
    auto walked = for_each_entry(
        script, reader,
        [&](const Entry<Char>& entry, std::uint64_t offset) -> std::optional<Message> {
            if (mover)
                if (auto overlap = mover->check(placed(entry.address, entry.original_length, offset)))
                    return overlap;
            auto codes = reader.encode(entry.text, TagRanges{range, range}, nullptr);
            if (!codes) return measuring_message(entry.address, codes.error());
            if (auto excess = length_excess(entry.original_length, codes->count)) {
                if (!mover) return excess_message(entry.address, *excess);
                auto move = mover->move(placed(entry.address, entry.original_length, offset), codes->count);
                if (!move) return std::move(move.error());
                outcome.moves.push_back(mover->describe(*move));
            }
            if (limits.any())
                if (auto breach = check_box_limits(reader.text(entry.text), tables, limits))
                    return limit_message(entry.address, *breach);
            return std::nullopt;
        },
        request.all_entries ? &outcome.entry_failures : nullptr, &entries);
    if (walked.reread) return outcome;
    if (walked.failure)
        outcome.message = std::move(*walked.failure);
    else if (!outcome.entry_failures.empty())
        outcome.message = error_message(u"共" + decimal_text(static_cast<std::int64_t>(entries)) + u"条，" +
                                        decimal_text(static_cast<std::int64_t>(outcome.entry_failures.size())) +
                                        u"条出错");
    else
        outcome.message = notice_message(u"此文本为合法文本");
    // Moves are decided only for a script that can be imported.
    if (outcome.message.severity == Severity::error) outcome.moves.clear();
    return outcome;
}

}  // namespace

Outcome run_check(const CheckRequest& request) {
    Outcome outcome;
    auto prepared = prepare(request, outcome);
    if (!prepared) {
        outcome.message = std::move(prepared.error());
        return outcome;
    }
    auto widths = load_widths(request.limits, prepared->tables.reverse);
    if (!widths) {
        outcome.message = std::move(widths.error());
        return outcome;
    }
    const BoxLimitInput& input = request.limits;
    const BoxLimits limits{input.line_break.empty() ? u"" : u"{" + input.line_break + u"}",
                           input.page_break.empty() ? u"" : u"{" + input.page_break + u"}",
                           input.max_chars, input.max_lines, input.max_width, *widths ? &**widths : nullptr};
    return walk_script(prepared->script, prepared->tables, [&](auto script, EntryReader& reader) {
        return check_entries(request, script, reader, prepared->tables.reverse, limits, outcome);
    });
}

Outcome run_import(const ImportRequest& request) {
    Outcome outcome;
    if (request.rom.empty()) {
        outcome.message = error_message(u"请先选择一个ROM");
        return outcome;
    }
    auto prepared = prepare(request, outcome);
    if (!prepared) {
        outcome.message = std::move(prepared.error());
        return outcome;
    }
    const CodeRange range = code_range(request.range_low, request.range_high);
    const bool whole = request.relocation || !request.out.empty();
    return walk_script(prepared->script, prepared->tables, [&](auto script, EntryReader& reader) {
        return whole ? import_whole(request, script, reader, range, outcome)
                     : import_in_place(request, script, reader, range, outcome);
    });
}

}  // namespace quillmere
