// The import: every entry measured, encoded and placed before any byte is
// written, so that a script that fails anywhere leaves the ROM as it was.
#include "core/commands/script_commands.hpp"

#include "core/commands/output_file.hpp"
#include "core/commands/entry_layout.hpp"
#include "core/files/files.hpp"
#include "core/import/fill.hpp"
#include "core/import/rom_file.hpp"
#include "core/platform/mapped_file.hpp"

namespace quillmere {
namespace {

using namespace script_reading;
using Result = CommandResult<ScriptPayload>;

// The changes into the ROM file, all at once and synced; refused when the
// file is gone or has changed its size meanwhile, or the write fails.
Expected<Done, Message> write_in_place(const std::filesystem::path& path, std::uint64_t size,
                                       const RomPatches& patches) {
    auto rom = RomFile::open(path);
    if (!rom || rom->size() != size || !rom->write(patches)) return unexpected(messages::rom_write_failed());
    return Done{};
}

// The ROM with the changes laid over it, into a new file.
Expected<Done, Message> write_changed_copy(const std::filesystem::path& path, std::span<const std::uint8_t> rom,
                                           const RomPatches& patches) {
    memory::ByteBuffer image(rom.begin(), rom.end());
    patches.apply_to(image);
    if (!files::write_bytes(path, image)) return unexpected(messages::rom_write_failed());
    return Done{};
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
Expected<Placement, Message> encode_for_import(const Entry<Char>& entry, const LengthField& length, std::uint64_t offset,
                                               EntryReader& reader, CodeRange range, std::u16string_view fill_value,
                                               std::uint64_t rom_size, bool may_move, memory::ByteBuffer& bytes) {
    auto codes = reader.encode(entry.text, TagRanges{kAllDoubleCodes, range}, &bytes);
    if (!codes) return unexpected(messages::measuring_failure(entry.address, codes.error()));
    const auto excess = excess_of(length, entry.original_length, codes->count);
    if (excess && !may_move) return unexpected(messages::excess(entry.address, *excess));
    if (codes->encoding_failure)
        return unexpected(messages::encoding_failure(entry.address, *codes->encoding_failure));
    if (excess) return Placement::moves;
    const std::int64_t original =
        length.digits_only ? static_cast<std::int64_t>(length.bytes) : leading_number(entry.original_length);
    auto fill = fill_for(fill_value, original - static_cast<std::int64_t>(codes->count));
    if (!fill) return unexpected(messages::unprocessable(entry.address));
    const std::uint64_t total = bytes.size() + fill->byte_count();
    if (total > 0 && (offset >= rom_size || total > rom_size - offset))
        return unexpected(messages::unprocessable(entry.address));
    fill->append_to(bytes);
    return Placement::own_place;
}

// A shared tail, measured and encoded into `bytes` for the comparison with
// its outer entry once the walk is over; it writes nothing itself.
template <class Char>
EntryEnd encode_tail(const Entry<Char>& entry, std::uint64_t offset, const TailMark& tail, EntryReader& reader,
                     CodeRange range, EntryLayout& layout, memory::ByteBuffer& bytes) {
    auto codes = reader.encode(entry.text, TagRanges{kAllDoubleCodes, range}, &bytes);
    if (!codes || codes->encoding_failure) {
        layout.add(offset, 0);
        if (!codes) return unexpected(messages::measuring_failure(entry.address, codes.error()));
        return unexpected(messages::encoding_failure(entry.address, *codes->encoding_failure));
    }
    layout.add_tail(entry.address, offset, tail, bytes);
    return Done{};
}

// The import that builds the whole result before writing any of it: with a
// relocation, or into a new file. The ROM is read once; the changed
// stretches are written in place, or the changed image goes to the new file.
template <class Char>
Result import_whole(const ImportRequest& request, std::basic_string_view<Char> script, EntryReader& reader,
                    CodeRange range, Result result) {
    ScriptPayload& payload = result.payload;
    auto finish = [&](Message message) {
        result.message = std::move(message);
        if (result.failed()) payload.moves.clear();
        return std::move(result);
    };
    if (!request.out.empty()) {
        std::error_code ec;
        if (std::filesystem::equivalent(request.out, request.rom, ec)) return finish(messages::output_is_rom());
    }
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) return finish(messages::rom_unreadable());
    const std::uint64_t rom_size = rom->bytes().size();
    std::optional<EntryMover> mover;
    if (request.relocation) {
        auto made = EntryMover::make(*request.relocation, rom->bytes());
        if (!made) return finish(std::move(made.error()));
        mover.emplace(std::move(*made));
        payload.null_pointers = mover->null_pointers();
    }
    // Every change, in script order (a later one wins where two overlap).
    RomPatches patches;
    patches.reserve(script.size());

    std::size_t entries = 0;
    memory::ByteBuffer bytes;
    EntryLayout layout(script.size());
    auto walked = for_each_entry(script, reader, [&](const Entry<Char>& entry, std::uint64_t offset) -> EntryEnd {
        const LengthField length = read_length(entry.original_length);
        if (length.tail) {
            EntryEnd encoded = encode_tail(entry, offset, *length.tail, reader, range, layout, bytes);
            entries += encoded.has_value();
            return encoded;
        }
        const PlacedEntry place{entry.address, static_cast<std::uint32_t>(offset), length.bytes};
        layout.add(offset, length.bytes);
        if (mover)
            if (auto free = mover->check(place); !free) return free;
        auto placement =
            encode_for_import(entry, length, offset, reader, range, request.fill, rom_size, mover.has_value(), bytes);
        if (!placement) return unexpected(std::move(placement.error()));
        ++entries;
        if (*placement == Placement::moves) {
            auto move = mover->move(place, bytes.size());
            if (!move) return unexpected(std::move(move.error()));
            layout.moved(move->new_offset);
            payload.moves.push_back(mover->describe(*move));
            patches.add(move->new_offset, bytes);
            return Done{};
        }
        patches.add(offset, bytes);
        return Done{};
    });
    if (walked.reread) return result;
    if (!walked.end) return finish(std::move(walked.end.error()));
    auto settled = settle(script, reader, layout, TagRanges{kAllDoubleCodes, range}, mover ? &*mover : nullptr, nullptr,
                          payload.moves);
    if (!settled) return finish(std::move(settled.error()));
    // Pointers last: an entry written over a pointer does not undo its move.
    if (mover)
        for (const auto& [at, value] : mover->pointer_bytes()) patches.add(at, value);

    auto written = request.out.empty() ? write_in_place(request.rom, rom_size, patches)
                                       : write_changed_copy(request.out, rom->bytes(), patches);
    if (!written) return finish(std::move(written.error()));
    payload.entries_written = entries;
    return finish(messages::imported());
}

// The import that writes each entry in its place in the ROM.
template <class Char>
Result import_in_place(const ImportRequest& request, std::basic_string_view<Char> script, EntryReader& reader,
                       CodeRange range, Result result) {
    // A ROM that cannot be opened for writing leaves no target: the first
    // entry then cannot be processed, and a script without entries succeeds.
    auto rom = RomFile::open(request.rom);
    memory::ByteBuffer bytes;
    RomPatches patches;
    patches.reserve(script.size());
    EntryLayout layout(script.size());
    std::size_t entries = 0;

    auto walked = for_each_entry(script, reader, [&](const Entry<Char>& entry, std::uint64_t offset) -> EntryEnd {
        if (!rom) return unexpected(messages::unprocessable(entry.address));
        const LengthField length = read_length(entry.original_length);
        if (length.tail) {
            EntryEnd encoded = encode_tail(entry, offset, *length.tail, reader, range, layout, bytes);
            entries += encoded.has_value();
            return encoded;
        }
        layout.add(offset, length.bytes);
        auto placement = encode_for_import(entry, length, offset, reader, range, request.fill, rom->size(), false, bytes);
        if (!placement) return unexpected(std::move(placement.error()));
        patches.add(offset, bytes);
        ++entries;
        return Done{};
    });
    if (walked.reread) return result;
    if (walked.end)
        if (auto settled = settle(script, reader, layout, TagRanges{kAllDoubleCodes, range}, nullptr, nullptr, result.payload.moves); !settled)
            walked.end = std::move(settled);
    if (!walked.end) {
        result.message = std::move(walked.end.error());
        return result;
    }
    // Success only once the bytes are on the disk.
    if (rom && !rom->write(patches)) {
        result.message = messages::rom_write_failed();
        return result;
    }
    if (rom) result.payload.entries_written = entries;
    result.message = messages::imported();
    return result;
}

}  // namespace

CommandResult<ScriptPayload> run_import(const ImportRequest& request) {
    Result result;
    if (request.rom.empty()) {
        result.message = messages::choose_rom();
        return result;
    }
    auto prepared = prepare(request, result.payload.untick);
    if (!prepared) {
        result.message = std::move(prepared.error());
        return result;
    }
    const CodeRange range = code_range(request.range_low, request.range_high);
    const bool whole = request.relocation || !request.out.empty();
    return walk_script(prepared->script, prepared->tables, [&](auto script, EntryReader& reader) {
        return whole ? import_whole(request, script, reader, range, result)
                     : import_in_place(request, script, reader, range, result);
    });
}

}  // namespace quillmere
