#include "core/commands/convert_table_command.hpp"

#include <array>

#include "core/commands/messages.hpp"
#include "core/commands/messages_tools.hpp"
#include "core/commands/output_file.hpp"
#include "core/files/files.hpp"
#include "core/table_conversion/field_table.hpp"

namespace quillmere {

CommandResult<ConversionReport> run_convert_table(const ConvertTableRequest& request) {
    const std::array<const std::filesystem::path*, 4> outputs{&request.table1, &request.table2, &request.filter1,
                                                              &request.filter2};
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (outputs[i]->empty()) return {messages::four_outputs_needed()};
        bool clash = names_one_file(*outputs[i], request.source);
        for (std::size_t j = 0; j < i && !clash; ++j) clash = names_one_file(*outputs[i], *outputs[j]);
        if (clash) return {messages::output_name_clash(*outputs[i])};
    }
    auto bytes = files::read_bytes(request.source);
    if (!bytes) return {messages::source_table_unreadable(request.source)};
    auto converted = table_conversion::convert_table(*bytes, request.encoding, request.output);
    if (!converted) return {messages::conversion_refused(converted.error())};
    // Every value was found encodable line by line, so only the file system
    // can fail from here on.
    const std::array<const std::vector<std::u16string>*, 4> contents{&converted->table1, &converted->table2,
                                                                     &converted->filter1, &converted->filter2};
    if (cancel_requested(request.cancelled)) return {messages::cancelled()};
    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (!files::write_text_file(*outputs[i], table_conversion::file_text(*contents[i]), request.output))
            return {messages::cannot_write_file(*outputs[i])};
    return {messages::conversion_summary(converted->table1.size(), converted->table2.size(),
                                         converted->filter1.size() + converted->filter2.size()),
            {messages::conversion_report(*converted)}};
}

}  // namespace quillmere
