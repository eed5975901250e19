#pragma once
// Carrying a translation to the files translation teams work in (PO, CSV,
// ParaTranz JSON) and back into a translation script.

#include <cstddef>
#include <filesystem>
#include <vector>

#include "core/commands/command_result.hpp"
#include "core/commands/script_commands.hpp"
#include "core/commands/table_setup.hpp"
#include "core/exchange/unit.hpp"

namespace quillmere {

struct ExchangeExportRequest {
    std::filesystem::path script;       // the original script: one unit per record, in its order
    std::filesystem::path translation;  // a translation script whose texts become the targets; empty: none
    exchange::Format format = exchange::Format::po;
    exchange::CsvEncoding csv_encoding = exchange::CsvEncoding::utf8;
    std::filesystem::path out;
    // As the check takes them: the encoding of both scripts; the code tables
    // and filter lists are read only when a pixel limit needs the widths
    // file checked, as the check reads it.
    TableSetup tables;
    // Stated in every unit's note for the translator.
    BoxLimitInput limits;
};

struct ExchangeImportRequest {
    std::filesystem::path from;  // the exchange file
    exchange::Format format = exchange::Format::po;
    std::filesystem::path script;  // the original script it was made from
    std::filesystem::path out;     // the translation script to write
    bool require_all = false;      // refuse when a record has no translation
    bool use_fuzzy = false;        // take the targets of fuzzy PO entries
    // A CSV file that neither starts with a byte-order mark nor is UTF-8.
    exchange::CsvEncoding csv_fallback = exchange::CsvEncoding::gbk;
    // Of the original script and of the script written.
    text::Encoding encoding = text::Encoding::gbk;
};

struct ExchangePayload {
    std::size_t units = 0;       // export: units written; import: records written
    std::size_t translated = 0;  // of them, with a translation
    // Every problem of a refusal, one message each, in order; the result's
    // message then counts them.
    std::vector<Message> problems;
};

CommandResult<ExchangePayload> run_exchange_export(const ExchangeExportRequest& request);
CommandResult<ExchangePayload> run_exchange_import(const ExchangeImportRequest& request);

}  // namespace quillmere
