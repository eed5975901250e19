// The check: every entry measured, and held to the box limits; with a
// relocation, an entry too long for its place passes when it can move.
#include "core/commands/script_commands.hpp"

#include "core/commands/entry_layout.hpp"
#include "core/commands/script_reading.hpp"
#include "core/layout/box_limits.hpp"
#include "core/layout/code_widths.hpp"
#include "core/platform/mapped_file.hpp"

namespace quillmere {
namespace {

using namespace script_reading;
using Result = CommandResult<ScriptPayload>;

// The ROM and the mover, when the check follows pointers.
struct Relocation {
    std::optional<platform::MappedFile> rom;
    std::optional<EntryMover> mover;
};

Expected<Relocation, Message> relocation_of(const CheckRequest& request) {
    Relocation relocation;
    if (!request.relocation) return relocation;
    if (request.rom.empty()) return unexpected(messages::choose_rom());
    auto mapped = platform::MappedFile::open(request.rom);
    if (!mapped) return unexpected(messages::rom_unreadable());
    relocation.rom.emplace(std::move(*mapped));
    auto made = EntryMover::make(*request.relocation, relocation.rom->bytes());
    if (!made) return unexpected(std::move(made.error()));
    relocation.mover.emplace(std::move(*made));
    return relocation;
}

template <class Char>
Result check_entries(const CheckRequest& request, std::basic_string_view<Char> script, EntryReader& reader,
                     const ReverseTables& tables, const BoxLimits& limits, Result result) {
    const CodeRange range = code_range(request.range_low, request.range_high);
    auto relocation = relocation_of(request);
    if (!relocation) {
        result.message = std::move(relocation.error());
        return result;
    }
    std::optional<EntryMover>& mover = relocation->mover;
    ScriptPayload& payload = result.payload;
    if (mover) payload.null_pointers = mover->null_pointers();
    EntryLayout layout(script.size());
    memory::ByteBuffer tail_bytes;
    std::size_t entries = 0;
    auto walked = for_each_entry(
        script, reader,
        [&](const Entry<Char>& entry, std::uint64_t offset) -> EntryEnd {
            const LengthField length = read_length(entry.original_length);
            if (length.tail) {
                // A tail's bytes are its outer entry's: they are compared
                // with them once the walk is over.
                auto codes = reader.encode(entry.text, TagRanges{range, range}, &tail_bytes);
                if (!codes) {
                    layout.add(offset, 0);
                    return unexpected(messages::measuring_failure(entry.address, codes.error()));
                }
                layout.add_tail(entry.address, offset, *length.tail, tail_bytes);
            } else {
                layout.add(offset, length.bytes);
                const PlacedEntry place{entry.address, static_cast<std::uint32_t>(offset), length.bytes};
                if (mover)
                    if (auto free = mover->check(place); !free) return free;
                auto codes = reader.encode(entry.text, TagRanges{range, range}, nullptr);
                if (!codes) return unexpected(messages::measuring_failure(entry.address, codes.error()));
                if (auto excess = excess_of(length, entry.original_length, codes->count)) {
                    if (!mover) return unexpected(messages::excess(entry.address, *excess));
                    auto move = mover->move(place, codes->count);
                    if (!move) return unexpected(std::move(move.error()));
                    layout.moved(move->new_offset);
                    payload.moves.push_back(mover->describe(*move));
                }
            }
            if (limits.any())
                if (auto breach = check_box_limits(reader.text(entry.text), tables, limits))
                    return unexpected(messages::limit_breach(entry.address, *breach));
            return Done{};
        },
        request.all_entries ? &payload.entry_failures : nullptr, &entries);
    if (walked.reread) return result;
    if (walked.end) {
        auto settled = settle(script, reader, layout, TagRanges{range, range}, mover ? &*mover : nullptr,
                              request.all_entries ? &payload.entry_failures : nullptr, payload.moves);
        if (!settled) walked.end = std::move(settled);
    }
    if (!walked.end)
        result.message = std::move(walked.end.error());
    else if (!payload.entry_failures.empty())
        result.message = messages::check_summary(entries, payload.entry_failures.size());
    else
        result.message = messages::script_valid();
    // Moves are decided only for a script that can be imported.
    if (result.failed()) payload.moves.clear();
    return result;
}

}  // namespace

CommandResult<ScriptPayload> run_check(const CheckRequest& request) {
    Result result;
    auto prepared = prepare(request, result.payload.untick);
    if (!prepared) {
        result.message = std::move(prepared.error());
        return result;
    }
    auto widths = load_widths(request.limits, prepared->tables.reverse);
    if (!widths) {
        result.message = std::move(widths.error());
        return result;
    }
    const BoxLimitInput& input = request.limits;
    const BoxLimits limits{input.line_break.empty() ? u"" : u"{" + input.line_break + u"}",
                           input.page_break.empty() ? u"" : u"{" + input.page_break + u"}",
                           input.max_chars, input.max_lines, input.max_width, *widths ? &**widths : nullptr};
    return walk_script(prepared->script, prepared->tables, [&](auto script, EntryReader& reader) {
        return check_entries(request, script, reader, prepared->tables.reverse, limits, result);
    });
}

}  // namespace quillmere
