// diff: what changed between two images, and, given the script, the
// pointer list and the free blocks of an import, what explains each change.
#include <algorithm>

#include "core/commands/entry_moves.hpp"
#include "core/commands/messages.hpp"
#include "core/commands/messages_patch.hpp"
#include "core/commands/patch_command.hpp"
#include "core/commands/pointer_commands.hpp"
#include "core/encoding/hex.hpp"
#include "core/files/files.hpp"
#include "core/patch/checksums.hpp"
#include "core/patch/image_diff.hpp"
#include "core/platform/mapped_file.hpp"
#include "core/script/entry.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using Result = CommandResult<PatchReport>;

// What may change an image, in the order in which they claim a byte that
// several cover, and the names they are shown by.
struct Explanations {
    std::vector<patch::Explanation> spans;
    std::vector<std::u16string> names;

    void add(std::uint64_t first, std::uint64_t length, std::u16string name) {
        if (length == 0) return;
        spans.push_back({first, first + length - 1});
        names.push_back(std::move(name));
    }
};

// A field of the script as text; addresses and lengths are ASCII, and
// anything else is read as code page 936 for the message that names it.
std::u16string field_text(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::u16string(bytes.begin(), bytes.end());
    return text::decode_gbk(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())).text;
}

// The records of the script, each over its original length. The address
// and length are ASCII in either encoding the script may have, so its bytes
// are read as they are.
Expected<Done, Message> add_records(const std::filesystem::path& path, Explanations& explanations) {
    auto bytes = files::read_bytes(path);
    if (!bytes) return unexpected(messages::script_unreadable());
    std::string_view script(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    if (script.starts_with("\xEF\xBB\xBF")) script.remove_prefix(3);
    std::optional<Message> failure;
    for_each_entry(
        script,
        [&](const BasicScriptEntry<char>& entry) {
            const std::u16string address = field_text(entry.address);
            const auto offset = hex2num(address);
            if (!offset) {
                failure = messages::unprocessable(address);
                return false;
            }
            const std::int64_t length = leading_number(field_text(entry.original_length));
            if (length > 0)
                explanations.add(static_cast<std::uint64_t>(*offset), static_cast<std::uint64_t>(length),
                                 messages::record_explains(address));
            return true;
        },
        [&](std::string_view address) {
            failure = messages::unprocessable(field_text(address));
            return false;
        });
    if (failure) return unexpected(std::move(*failure));
    return Done{};
}

Expected<Explanations, Message> explanations_of(const DiffRequest& request) {
    Explanations explanations;
    // Pointers first: a pointer inside a record is named as a pointer.
    if (!request.pointer_list.empty()) {
        auto pointers = read_pointer_list(request.pointer_list);
        if (!pointers) return unexpected(std::move(pointers.error()));
        for (const Pointer& pointer : *pointers)
            explanations.add(pointer.address, pointer.size, messages::pointer_explains(pointer.address));
    }
    if (!request.script.empty())
        if (auto added = add_records(request.script, explanations); !added) return unexpected(std::move(added.error()));
    for (const std::u16string& text : request.free_blocks) {
        const auto block = parse_free_block(text);
        if (!block) return unexpected(messages::bad_free_block(text));
        explanations.add(block->start, std::uint64_t{block->end} - block->start + 1,
                         messages::free_block_explains(block->start, block->end));
    }
    return explanations;
}

}  // namespace

CommandResult<PatchReport> run_diff(const DiffRequest& request) {
    Result result;
    auto original = platform::MappedFile::open(request.original);
    if (!original) {
        result.message = messages::file_unreadable(request.original);
        return result;
    }
    auto modified = platform::MappedFile::open(request.modified);
    if (!modified) {
        result.message = messages::file_unreadable(request.modified);
        return result;
    }
    auto explanations = explanations_of(request);
    if (!explanations) {
        result.message = std::move(explanations.error());
        return result;
    }
    const bool explaining = !request.script.empty() || !request.pointer_list.empty() || !request.free_blocks.empty();

    std::vector<std::u16string>& lines = result.payload.lines;
    lines.push_back(messages::original_checksums(original->bytes().size(), patch::digests_of(original->bytes())));
    lines.push_back(messages::result_checksums(modified->bytes().size(), patch::digests_of(modified->bytes())));
    if (original->bytes().size() != modified->bytes().size())
        lines.push_back(messages::size_changed(original->bytes().size(), modified->bytes().size()));

    const auto ranges = patch::diff_images(original->bytes(), modified->bytes(), explanations->spans);
    std::size_t unexplained = 0;
    std::uint64_t changed = 0;
    for (const patch::ChangedRange& range : ranges) {
        changed += range.changed;
        if (range.explained_by) {
            lines.push_back(messages::explained_range(range.first, range.last, range.changed,
                                                      explanations->names[*range.explained_by]));
        } else if (explaining) {
            lines.push_back(messages::unexplained_range(range.first, range.last));
            ++unexplained;
        } else {
            lines.push_back(messages::changed_range(range.first, range.last, range.changed));
        }
    }
    result.message = unexplained > 0 ? messages::unexplained_changes(unexplained)
                                     : messages::diff_summary(ranges.size(), changed);
    return result;
}

}  // namespace quillmere
