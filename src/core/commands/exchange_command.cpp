// The exchange: a script (and its translation) out to a PO, CSV or JSON
// file, and the translated file back into a translation script. Either
// direction lists every problem it finds and then writes nothing.
#include "core/commands/exchange_command.hpp"

#include <optional>
#include <string>

#include "core/commands/messages_exchange.hpp"
#include "core/commands/output_file.hpp"
#include "core/commands/script_reading.hpp"
#include "core/exchange/matching.hpp"
#include "core/exchange/reader.hpp"
#include "core/exchange/script_writer.hpp"
#include "core/exchange/writer.hpp"
#include "core/files/files.hpp"
#include "core/platform/mapped_file.hpp"
#include "core/script/script_source.hpp"

namespace quillmere {
namespace {

using Result = CommandResult<ExchangePayload>;
using exchange::RecordProblem;
using exchange::UnitProblem;

Result refused(Result result) {
    result.message = messages::exchange_problems(result.payload.problems.size());
    return result;
}

Result failed(Message message) {
    Result result;
    result.message = std::move(message);
    return result;
}

std::span<const std::uint8_t> bytes_of(std::string_view bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

// The original script's problems: a script whose records are not all there,
// or not all told apart, cannot be carried there and back.
void original_problems(const exchange::ScriptRecords& original, std::vector<Message>& problems) {
    for (const RecordProblem& problem : original.problems)
        problems.push_back(problem.kind == RecordProblem::Kind::unsplit ? messages::original_unsplit(problem.address)
                                                                         : messages::original_twice(problem.address));
}

void unit_problems(const exchange::Matched& matched, std::vector<Message>& problems) {
    for (const UnitProblem& problem : matched.problems) {
        switch (problem.kind) {
        case UnitProblem::Kind::malformed: problems.push_back(messages::malformed_line(problem.line)); break;
        case UnitProblem::Kind::not_in_original: problems.push_back(messages::key_not_in_original(problem.key)); break;
        case UnitProblem::Kind::twice: problems.push_back(messages::key_twice(problem.key)); break;
        case UnitProblem::Kind::source_changed: problems.push_back(messages::source_changed(problem.key)); break;
        case UnitProblem::Kind::line_break: problems.push_back(messages::target_breaks_record(problem.key)); break;
        }
    }
}

// The targets an export takes from a translation script: its records
// matched by address, as the import would match the units.
Expected<exchange::Matched, Message> translation_targets(const ExchangeExportRequest& request,
                                                         const exchange::ScriptRecords& original,
                                                         std::u16string& text, std::vector<Message>& problems) {
    exchange::Matched matched;
    if (request.translation.empty()) {
        matched.targets.resize(original.records.size());
        return matched;
    }
    auto read = open_script(false, request.translation, {}, std::nullopt, request.tables.encoding);
    if (!read) return unexpected(messages::translation_unreadable(request.translation));
    text = std::move(*read);
    const exchange::ScriptRecords translation = exchange::script_records(text);
    for (const RecordProblem& problem : translation.problems)
        problems.push_back(problem.kind == RecordProblem::Kind::unsplit
                               ? messages::translation_unsplit(problem.address)
                               : messages::key_twice(problem.address));
    std::vector<exchange::UnitView> units;
    units.reserve(translation.records.size());
    for (const exchange::ScriptRecord& record : translation.records)
        units.push_back({record.address, {}, record.text, false, false, 0});
    matched = exchange::match_units(units, {}, original.records, true);
    // A repeated address is named once, by the script's own problems.
    std::erase_if(matched.problems, [](const UnitProblem& p) { return p.kind == UnitProblem::Kind::twice; });
    unit_problems(matched, problems);
    return matched;
}

// A pixel limit is only stated when the check could hold the text to it:
// the tables and the widths file are read as the check reads them.
std::optional<Message> widths_problem(const ExchangeExportRequest& request) {
    if (!request.limits.max_width) return std::nullopt;
    FilterUnticks untick;
    auto tables = load_script_tables(request.tables, untick);
    if (!tables) return messages::setup_failure(tables.error());
    auto widths = script_reading::load_widths(request.limits, tables->reverse);
    if (!widths) return std::move(widths.error());
    return std::nullopt;
}

}  // namespace

CommandResult<ExchangePayload> run_exchange_export(const ExchangeExportRequest& request) {
    if (names_one_file(request.out, request.script) ||
        (!request.translation.empty() && names_one_file(request.out, request.translation)))
        return failed(messages::output_is_input(request.out));
    auto script_text = open_script(false, request.script, {}, std::nullopt, request.tables.encoding);
    if (!script_text) return failed(messages::original_unreadable(request.script));
    if (auto problem = widths_problem(request)) return failed(std::move(*problem));

    Result result;
    std::vector<Message>& problems = result.payload.problems;
    const exchange::ScriptRecords original = exchange::script_records(*script_text);
    original_problems(original, problems);
    std::u16string translation_text;
    auto matched = translation_targets(request, original, translation_text, problems);
    if (!matched) return failed(std::move(matched.error()));

    exchange::Writer writer(request.format, request.csv_encoding);
    // UTF-8 takes three bytes for most characters of a script; the markup
    // around each unit is under 100 bytes.
    writer.reserve((script_text->size() + translation_text.size()) * 3 + original.records.size() * 100);
    const messages::UnitNote note = messages::unit_note(request.limits);
    std::u16string context;
    for (std::size_t i = 0; i < original.records.size(); ++i) {
        const exchange::ScriptRecord& record = original.records[i];
        context.assign(note.before).append(record.length).append(note.after);
        const std::u16string_view target = matched->targets[i].value_or(std::u16string_view());
        if (auto character = writer.add({record.address, record.length, record.text, target, context}))
            problems.push_back(messages::not_gbk_in(record.address, *character));
    }
    if (!problems.empty()) return refused(std::move(result));
    const std::string bytes = writer.finish();
    if (!files::write_bytes(request.out, bytes_of(bytes))) return failed(messages::cannot_write_file(request.out));
    result.payload.units = original.records.size();
    result.payload.translated = matched->translated;
    result.message = messages::exchange_exported(result.payload.units, result.payload.translated);
    return result;
}

CommandResult<ExchangePayload> run_exchange_import(const ExchangeImportRequest& request) {
    if (names_one_file(request.out, request.from) || names_one_file(request.out, request.script))
        return failed(messages::output_is_input(request.out));
    auto script_text = open_script(false, request.script, {}, std::nullopt, request.encoding);
    if (!script_text) return failed(messages::original_unreadable(request.script));
    auto file = platform::MappedFile::open(request.from);
    if (!file) return failed(messages::exchange_file_unreadable(request.from));

    Result result;
    std::vector<Message>& problems = result.payload.problems;
    const exchange::ScriptRecords original = exchange::script_records(*script_text);
    original_problems(original, problems);
    const std::span<const std::uint8_t> bytes = file->bytes();
    const exchange::UnitFile units = exchange::read_units(
        request.format, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
        request.csv_fallback);
    const std::vector<exchange::UnitView> views = exchange::unit_views(units);
    const exchange::Matched matched =
        exchange::match_units(views, units.malformed_lines, original.records, request.use_fuzzy);
    unit_problems(matched, problems);

    const exchange::ScriptBytes script = exchange::write_script(original.records, matched.targets, request.encoding);
    for (const exchange::Unencodable& unencodable : script.unencodable)
        problems.push_back(messages::not_gbk_in(original.records[unencodable.record].address, unencodable.character));
    if (request.require_all)
        for (std::size_t i = 0; i < original.records.size(); ++i)
            if (!matched.targets[i] && !original.records[i].text.empty())
                problems.push_back(messages::untranslated(original.records[i].address));
    if (!problems.empty()) return refused(std::move(result));
    if (!files::write_bytes(request.out, bytes_of(script.bytes)))
        return failed(messages::cannot_write_file(request.out));
    result.payload.units = original.records.size();
    result.payload.translated = matched.translated;
    result.message = messages::exchange_imported(result.payload.units, result.payload.translated);
    return result;
}

}  // namespace quillmere
