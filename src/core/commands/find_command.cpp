#include "core/commands/find_command.hpp"

#include <optional>

#include "core/commands/messages.hpp"
#include "core/commands/messages_find.hpp"
#include "core/commands/output_file.hpp"
#include "core/encoding/hex.hpp"
#include "core/files/files.hpp"
#include "core/find/hit_map.hpp"
#include "core/find/sequence.hpp"
#include "core/find/shape_scan.hpp"
#include "core/find/text_search.hpp"
#include "core/platform/mapped_file.hpp"

namespace quillmere {
namespace {

using Result = CommandResult<FindPayload>;

// What a search gives the command: its lines, the count, and the table of
// the place asked for (empty when none was asked for).
struct Found {
    std::vector<std::u16string> lines;
    std::size_t total = 0;
    std::u16string table;
};

std::u16string address_text(std::size_t offset) {
    constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text;
    do {
        text.insert(text.begin(), kDigits[offset & 0xF]);
        offset >>= 4;
    } while (offset != 0);
    return text;
}

std::u16string line_of(std::size_t offset, std::u16string_view map, std::u16string_view preview) {
    return address_text(offset) + u'\t' + std::u16string(map) + u'\t' + std::u16string(preview);
}

bool is_builtin_sequence(std::u16string_view name) {
    return name == u"latin" || name == u"hiragana" || name == u"katakana";
}

Expected<find::Sequence, Message> sequence_of(std::u16string_view name) {
    if (name == u"latin") return find::Sequence::latin();
    if (name == u"hiragana") return find::Sequence::hiragana();
    if (name == u"katakana") return find::Sequence::katakana();
    const std::filesystem::path path(name);
    auto file = files::read_text_file(path);
    if (!file || file->bad_sequences > 0) return unexpected(messages::sequence_unreadable(path));
    auto sequence = find::Sequence::from_text(file->text);
    if (sequence.empty()) return unexpected(messages::empty_sequence(path));
    return sequence;
}

// The stretch searched: the range typed, which must lie inside the ROM, or
// the whole ROM (none for an empty one).
Expected<std::optional<find::Stretch>, Message> stretch_of(std::u16string_view range, std::size_t rom_size) {
    if (range.empty()) {
        if (rom_size == 0) return std::optional<find::Stretch>{};
        return std::optional<find::Stretch>{find::Stretch{0, rom_size - 1}};
    }
    const std::size_t dash = range.find(u'-');
    if (dash == std::u16string_view::npos) return unexpected(messages::bad_find_range(range));
    const auto first = hex2num(range.substr(0, dash));
    const auto last = hex2num(range.substr(dash + 1));
    if (!first || !last || *first > *last) return unexpected(messages::bad_find_range(range));
    if (static_cast<std::size_t>(*last) >= rom_size) return unexpected(messages::find_range_outside_rom());
    return std::optional<find::Stretch>{
        find::Stretch{static_cast<std::size_t>(*first), static_cast<std::size_t>(*last)}};
}

struct OpenedRom {
    platform::MappedFile file;
    std::optional<find::Stretch> stretch;
};

Expected<OpenedRom, Message> open_rom(const FindRequest& request) {
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) return unexpected(messages::rom_unreadable());
    auto stretch = stretch_of(request.range, rom->bytes().size());
    if (!stretch) return unexpected(std::move(stretch.error()));
    return OpenedRom{std::move(*rom), *stretch};
}

Expected<Found, Message> find_shapes(const FindRequest& request) {
    std::optional<find::Sequence> sequence;
    Expected<find::ShapeQuery, find::QueryFailure> query = find::ShapeQuery{};
    switch (request.mode) {
        case FindMode::relative: {
            auto order = sequence_of(request.sequence);
            if (!order) return unexpected(std::move(order.error()));
            sequence = std::move(*order);
            query = find::relative_query(request.text, *sequence);
            break;
        }
        case FindMode::values: query = find::values_query(request.values, request.text); break;
        default: query = find::pattern_query(request.text); break;
    }
    if (!query) return unexpected(messages::query_failure(query.error()));
    auto rom = open_rom(request);
    if (!rom) return unexpected(std::move(rom.error()));
    if (!rom->stretch) return Found{};
    const auto bytes = rom->file.bytes();
    const std::size_t pick = request.make_table.empty() ? 0 : request.hit;
    const find::Hits hits = find::find_shapes(bytes, *query, request.form, *rom->stretch, request.max, pick);

    const find::Sequence* fill = sequence ? &*sequence : nullptr;
    Found found;
    found.total = hits.total;
    for (const std::size_t offset : hits.offsets) {
        const find::DerivedMap map = find::derived_map(bytes, offset, *query, request.form, fill);
        found.lines.push_back(line_of(offset, find::map_text(map), find::preview(bytes, offset, map)));
    }
    if (!request.make_table.empty()) {
        if (!hits.picked) return unexpected(messages::no_such_hit(request.hit, hits.total));
        found.table = find::table_text(find::derived_map(bytes, *hits.picked, *query, request.form, fill));
        if (found.table.empty()) return unexpected(messages::no_characters_for_table());
    }
    return found;
}

Expected<Found, Message> find_through_tables(const FindRequest& request) {
    FilterUnticks untick;
    auto tables = load_script_tables(request.tables, untick);
    if (!tables) return unexpected(messages::setup_failure(tables.error()));
    auto files = read_code_tables(request.tables);
    if (!files) return unexpected(messages::setup_failure(files.error()));
    const TableLines none;
    const TableLines& double_lines = files->double_table ? *files->double_table : none;
    const TableLines& single_lines = files->single_table ? *files->single_table : none;
    auto query = find::text_query(request.text, double_lines.lines, single_lines.lines, *tables);
    if (!query) return unexpected(messages::query_failure(query.error()));
    CodeTables forward;
    if (files->double_table) forward.double_byte = double_byte_table(double_lines).table;
    if (files->single_table) forward.single = single_byte_table(single_lines).table;

    auto rom = open_rom(request);
    if (!rom) return unexpected(std::move(rom.error()));
    if (!rom->stretch) return Found{};
    const auto bytes = rom->file.bytes();
    const find::TextHits hits = find::find_text(bytes, *query, *rom->stretch, request.max);
    Found found;
    found.total = hits.total;
    for (const find::TextHit& hit : hits.hits)
        found.lines.push_back(
            line_of(hit.offset, find::text_map(*query, hit), find::table_preview(bytes, hit.offset, forward)));
    return found;
}

}  // namespace

CommandResult<FindPayload> run_find(const FindRequest& request) {
    if (request.rom.empty()) return {messages::choose_rom(), {}};
    const bool making_table = !request.make_table.empty();
    if (making_table) {
        if (request.mode == FindMode::text) return {messages::no_table_from_text(), {}};
        const bool reads_sequence = request.mode == FindMode::relative && !is_builtin_sequence(request.sequence);
        if (names_one_file(request.make_table, request.rom) ||
            (reads_sequence && names_one_file(request.make_table, std::filesystem::path(request.sequence))))
            return {messages::outputs_clash(request.make_table), {}};
    }
    auto found = request.mode == FindMode::text ? find_through_tables(request) : find_shapes(request);
    if (!found) return {std::move(found.error()), {}};
    if (making_table && found->table.empty()) return {messages::no_such_hit(request.hit, found->total), {}};

    const std::size_t listed = found->lines.size();
    Result result{messages::places_found(found->total, listed), {std::move(found->lines), found->total}};
    if (!making_table) return result;
    auto written = files::write_text_file(request.make_table, found->table);
    if (!written) {
        if (written.error().kind == files::TextWriteFailure::Kind::unencodable)
            return {messages::not_in_gbk(find::utf16_of(written.error().character)), {}};
        return {messages::cannot_write_file(request.make_table), {}};
    }
    result.message = messages::table_from_hit(found->total, listed, request.hit, request.make_table);
    return result;
}

}  // namespace quillmere
