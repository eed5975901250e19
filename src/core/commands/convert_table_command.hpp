#pragma once
// Converting a code table made for other tools into the tool's two tables
// and two filter lists.

#include <filesystem>
#include <string>
#include <vector>

#include "core/commands/cancel_check.hpp"
#include "core/commands/command_result.hpp"
#include "core/table_conversion/table_source.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

struct ConvertTableRequest {
    std::filesystem::path source;
    table_conversion::SourceEncoding encoding = table_conversion::SourceEncoding::automatic;
    std::filesystem::path table1, table2, filter1, filter2;  // the four files written
    // CR LF either way; UTF-8 (without a byte-order mark) keeps characters
    // code page 936 cannot hold, for export, check and import in UTF-8.
    text::Encoding output = text::Encoding::gbk;
    // Asked before the first file is written.
    CancelCheck cancelled{};
};

// After a success: the lines dropped, counted, and the names the filter
// lists could not keep, one comment line each.
struct ConversionReport {
    std::vector<std::u16string> lines;
};

// "单字节N行，双字节M行，过滤K行" (提示), or why nothing was written (错误).
// Writes nothing unless every line of the source converts.
CommandResult<ConversionReport> run_convert_table(const ConvertTableRequest& request);

}  // namespace quillmere
