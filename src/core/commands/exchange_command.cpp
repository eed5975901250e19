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
#include "core/platform/mapped_file.hpp"
#include "core/platform/replace_file.hpp"
#include "core/script/script_source.hpp"

namespace quillmere {
namespace {

using Result = CommandResult<ExchangePayload>;
template <class Char>
using View = std::basic_string_view<Char>;

Result refused(Result result) {
    result.message = messages::exchange_problems(result.payload.problems.size());
    return result;
}

Result failed(Message message) {
    Result result;
    result.message = std::move(message);
    return result;
}

// A field of a script as a message names it: code page 936 bytes decoded.
std::u16string text_of(std::u16string_view text) { return std::u16string(text); }
std::u16string text_of(std::string_view bytes) {
    return text::decode_gbk(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())).text;
}

// The original script's problems: a script whose records are not all there,
// or not all told apart, cannot be carried there and back.
template <class Char>
void original_problems(const exchange::BasicScriptRecords<Char>& original, std::vector<Message>& problems) {
    using Kind = typename exchange::BasicRecordProblem<Char>::Kind;
    for (const auto& problem : original.problems)
        problems.push_back(problem.kind == Kind::unsplit ? messages::original_unsplit(text_of(problem.address))
                                                         : messages::original_twice(text_of(problem.address)));
}

template <class Char>
void unit_problems(const exchange::BasicMatched<Char>& matched, std::vector<Message>& problems) {
    using Kind = typename exchange::BasicUnitProblem<Char>::Kind;
    for (const auto& problem : matched.problems) {
        const std::u16string key = text_of(problem.key);
        switch (problem.kind) {
        case Kind::malformed: problems.push_back(messages::malformed_line(problem.line)); break;
        case Kind::not_in_original: problems.push_back(messages::key_not_in_original(key)); break;
        case Kind::twice: problems.push_back(messages::key_twice(key)); break;
        case Kind::source_changed: problems.push_back(messages::source_changed(key)); break;
        case Kind::line_break: problems.push_back(messages::target_breaks_record(key)); break;
        }
    }
}

// The targets an export takes from a translation script: its records
// matched by address, as the import would match the units.
template <class Char>
exchange::BasicMatched<Char> translation_targets(const exchange::BasicScriptRecords<Char>& original,
                                                 std::optional<View<Char>> translation,
                                                 std::vector<Message>& problems) {
    exchange::BasicMatched<Char> matched;
    if (!translation) {
        matched.targets.resize(original.records.size());
        return matched;
    }
    const auto script = exchange::script_records(*translation);
    using Kind = typename exchange::BasicRecordProblem<Char>::Kind;
    for (const auto& problem : script.problems)
        problems.push_back(problem.kind == Kind::unsplit ? messages::translation_unsplit(text_of(problem.address))
                                                         : messages::key_twice(text_of(problem.address)));
    std::vector<exchange::BasicUnitView<Char>> units;
    units.reserve(script.records.size());
    for (const auto& record : script.records) units.push_back({record.address, {}, record.text, false, false, 0});
    matched = exchange::match_units<Char>(units, original.records, true);
    // A repeated address is named once, by the script's own problems.
    std::erase_if(matched.problems, [](const auto& p) { return p.kind == exchange::BasicUnitProblem<Char>::Kind::twice; });
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

// The file that will replace the output as the bytes come, begun only when
// no refusal is certain yet: a refused command writes nothing.
Expected<std::optional<platform::FileReplacement>, Message> replacement_for(const std::filesystem::path& out,
                                                                          bool refusing) {
    if (refusing) return std::optional<platform::FileReplacement>();
    auto file = platform::FileReplacement::begin(out);
    if (!file) return unexpected(messages::cannot_write_file(out));
    return std::optional<platform::FileReplacement>(std::move(*file));
}

// A problem found while writing: what was written goes, and the rest is only
// looked through.
void stop_writing(std::optional<platform::FileReplacement>& file, exchange::Writer& writer) {
    writer.stream_to(nullptr);
    if (file) file->discard();
    file.reset();
}

// The byte count as the note gives it; digits are the same in either form.
void append_length(std::u16string& note, std::u16string_view length) { note += length; }
void append_length(std::u16string& note, std::string_view length) {
    for (const char c : length)
        if (static_cast<unsigned char>(c) >= 0x80) {
            note += text_of(length);
            return;
        }
    note.append(length.begin(), length.end());
}

// The export over the scripts in one form: code page 936 bytes as they stand
// (nullopt when they are not all codes of the code page, to be read again
// decoded), or characters.
template <class Char>
std::optional<Result> export_units(const ExchangeExportRequest& request, View<Char> script,
                                   std::optional<View<Char>> translation) {
    Result result;
    std::vector<Message>& problems = result.payload.problems;
    const auto original = exchange::script_records(script);
    original_problems(original, problems);
    const auto matched = translation_targets(original, translation, problems);

    exchange::Writer writer(request.format, request.csv_encoding);
    auto file = replacement_for(request.out, !problems.empty());
    if (!file) return failed(std::move(file.error()));
    writer.stream_to(file->has_value() ? &**file : nullptr);
    const messages::UnitNote note = messages::unit_note(request.limits);
    std::u16string context;
    for (std::size_t i = 0; i < original.records.size(); ++i) {
        const auto& record = original.records[i];
        context.assign(note.before);
        append_length(context, record.length);
        context.append(note.after);
        const View<Char> target = matched.targets[i].value_or(View<Char>());
        const auto character = writer.add(exchange::BasicUnitOut<Char>{record.address, record.length, record.text, target, context});
        if (writer.undecodable()) return std::nullopt;
        if (character) {
            problems.push_back(messages::not_gbk_in(text_of(record.address), *character));
            stop_writing(*file, writer);
        }
    }
    if (!problems.empty()) return refused(std::move(result));
    if (!writer.finish().flush() || !(*file)->commit()) return failed(messages::cannot_write_file(request.out));
    result.payload.units = original.records.size();
    result.payload.translated = matched.translated;
    result.message = messages::exchange_exported(result.payload.units, result.payload.translated);
    return result;
}

}  // namespace

CommandResult<ExchangePayload> run_exchange_export(const ExchangeExportRequest& request) {
    if (names_one_file(request.out, request.script) ||
        (!request.translation.empty() && names_one_file(request.out, request.translation)))
        return failed(messages::output_is_input(request.out));
    const text::Encoding encoding = request.tables.encoding;
    auto original = open_script_source(false, request.script, {}, std::nullopt, encoding);
    if (!original) return failed(messages::original_unreadable(request.script));
    std::optional<ScriptSource> translation;
    if (!request.translation.empty()) {
        auto read = open_script_source(false, request.translation, {}, std::nullopt, encoding);
        if (!read) return failed(messages::translation_unreadable(request.translation));
        translation.emplace(std::move(*read));
    }
    if (auto problem = widths_problem(request)) return failed(std::move(*problem));
    // A script file in code page 936 is written straight from its bytes; a
    // decoded script, or bytes the code page does not define, as characters.
    if (original->has_bytes() && (!translation || translation->has_bytes())) {
        auto done = export_units<char>(request, original->bytes(),
                                       translation ? std::optional(translation->bytes()) : std::nullopt);
        if (done) return std::move(*done);
    }
    return *export_units<char16_t>(request, original->text(),
                                   translation ? std::optional(translation->text()) : std::nullopt);
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
    const exchange::ScriptRecords original = exchange::script_records(std::u16string_view(*script_text));
    original_problems(original, problems);
    const std::span<const std::uint8_t> bytes = file->bytes();
    const exchange::UnitFile units = exchange::read_units(
        request.format, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
        request.csv_fallback);
    const exchange::Matched matched = exchange::match_units(units, original.records, request.use_fuzzy);
    unit_problems(matched, problems);
    std::vector<Message> untranslated;
    if (request.require_all)
        for (std::size_t i = 0; i < original.records.size(); ++i)
            if (!matched.targets[i] && !original.records[i].text.empty())
                untranslated.push_back(messages::untranslated(original.records[i].address));

    auto replacement = replacement_for(request.out, !problems.empty() || !untranslated.empty());
    if (!replacement) return failed(std::move(replacement.error()));
    exchange::Output out;
    out.stream_to(replacement->has_value() ? &**replacement : nullptr);
    const auto unencodable = exchange::write_script(original.records, matched.targets, request.encoding, out);
    for (const exchange::Unencodable& record : unencodable)
        problems.push_back(messages::not_gbk_in(original.records[record.record].address, record.character));
    problems.insert(problems.end(), untranslated.begin(), untranslated.end());
    if (!problems.empty()) return refused(std::move(result));
    if (!out.flush() || !(*replacement)->commit()) return failed(messages::cannot_write_file(request.out));
    result.payload.units = original.records.size();
    result.payload.translated = matched.translated;
    result.message = messages::exchange_imported(result.payload.units, result.payload.translated);
    return result;
}

}  // namespace quillmere
