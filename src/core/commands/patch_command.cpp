// patch create, patch apply and patch info.
#include "core/commands/patch_command.hpp"

#include "core/commands/messages.hpp"
#include "core/commands/messages_patch.hpp"
#include "core/commands/output_file.hpp"
#include "core/files/files.hpp"
#include "core/patch/checksums.hpp"
#include "core/patch/ips.hpp"
#include "core/patch/patch_file.hpp"
#include "core/platform/mapped_file.hpp"

namespace quillmere {
namespace {

using Result = CommandResult<PatchReport>;

Result refused(Message message) {
    Result result;
    result.message = std::move(message);
    return result;
}

// The checksums of both images, for the release notes.
void add_checksums(PatchReport& report, std::span<const std::uint8_t> original, std::span<const std::uint8_t> result) {
    report.lines.push_back(messages::original_checksums(original.size(), patch::digests_of(original)));
    report.lines.push_back(messages::result_checksums(result.size(), patch::digests_of(result)));
}

// The first of `inputs` that `out` names, as the message that refuses it.
std::optional<Message> output_over_input(const std::filesystem::path& out,
                                         std::initializer_list<const std::filesystem::path*> inputs) {
    for (const std::filesystem::path* input : inputs)
        if (!input->empty() && names_one_file(out, *input)) return messages::output_is_input(*input);
    return std::nullopt;
}

}  // namespace

CommandResult<PatchReport> run_patch_create(const PatchCreateRequest& request) {
    if (auto clash = output_over_input(request.out, {&request.original, &request.modified, &request.metadata}))
        return refused(*clash);
    const bool ips = request.format == patch::PatchFormat::ips;
    if (ips && !request.metadata.empty()) return refused(messages::ips_without_metadata());
    auto original = platform::MappedFile::open(request.original);
    if (!original) return refused(messages::file_unreadable(request.original));
    auto modified = platform::MappedFile::open(request.modified);
    if (!modified) return refused(messages::file_unreadable(request.modified));
    files::Bytes metadata;
    if (!request.metadata.empty()) {
        auto read = files::read_bytes(request.metadata);
        if (!read) return refused(messages::file_unreadable(request.metadata));
        metadata = std::move(*read);
    }

    patch::Bytes made;
    if (ips) {
        auto created = patch::create_ips(original->bytes(), modified->bytes());
        if (!created) return refused(messages::patch_failure(created.error()));
        made = std::move(*created);
    } else {
        made = patch::create_bps(original->bytes(), modified->bytes(), metadata);
    }
    if (!files::write_bytes(request.out, made)) return refused(messages::cannot_write_file(request.out));

    Result result;
    add_checksums(result.payload, original->bytes(), modified->bytes());
    result.message = messages::patch_created(request.format, made.size());
    return result;
}

CommandResult<PatchReport> run_patch_apply(const PatchApplyRequest& request) {
    if (auto clash = output_over_input(request.out, {&request.original, &request.patch})) return refused(*clash);
    auto original = platform::MappedFile::open(request.original);
    if (!original) return refused(messages::file_unreadable(request.original));
    auto patch_file = platform::MappedFile::open(request.patch);
    if (!patch_file) return refused(messages::file_unreadable(request.patch));

    patch::ApplyOptions options;
    options.ignore_checksums = request.ignore_checksum;
    auto applied = patch::apply_patch(original->bytes(), patch_file->bytes(), options);
    if (!applied) return refused(messages::patch_failure(applied.error()));
    if (!files::write_bytes(request.out, applied->bytes)) return refused(messages::cannot_write_file(request.out));

    Result result;
    for (const patch::PatchFailure& ignored : applied->ignored)
        result.payload.warnings.push_back(messages::ignored_checksum(ignored));
    add_checksums(result.payload, original->bytes(), applied->bytes);
    result.message = messages::patch_applied(*patch::format_of(patch_file->bytes()));
    return result;
}

CommandResult<PatchReport> run_patch_info(const std::filesystem::path& path) {
    auto patch_file = platform::MappedFile::open(path);
    if (!patch_file) return refused(messages::file_unreadable(path));
    auto info = patch::describe_patch(patch_file->bytes());
    if (!info) return refused(messages::patch_failure(info.error()));
    Result result;
    result.payload.lines = messages::patch_info_lines(*info);
    result.message = messages::patch_readable(info->format);
    if (info->format != patch::PatchFormat::ips && info->patch_crc != info->recorded_patch_crc)
        result.message = messages::patch_failure(
            {patch::PatchFault::patch_checksum, 0, info->recorded_patch_crc, info->patch_crc});
    return result;
}

}  // namespace quillmere
