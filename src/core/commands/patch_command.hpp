#pragma once
// Release patches: made from an original and a modified ROM, applied to a
// clean copy, and described; each prints the checksums translators put in
// their release notes.

#include <filesystem>
#include <string>
#include <vector>

#include "core/commands/command_result.hpp"
#include "core/patch/patch_types.hpp"

namespace quillmere {

struct PatchCreateRequest {
    std::filesystem::path original, modified;
    patch::PatchFormat format = patch::PatchFormat::bps;
    std::filesystem::path out;
    std::filesystem::path metadata;  // BPS only; empty: none
};

struct PatchApplyRequest {
    std::filesystem::path original, patch, out;
    // Checksums that do not match are named as warnings instead of refusing.
    bool ignore_checksum = false;
};

// What the command line shows beside the message.
struct PatchReport {
    std::vector<std::u16string> lines;     // standard output: checksums, the patch's details, the changes
    std::vector<std::u16string> warnings;  // standard error, before the message
};

// Writes the patch, or nothing when refused.
CommandResult<PatchReport> run_patch_create(const PatchCreateRequest& request);
// Writes the result only when the whole patch applied and every checksum
// matched (or was let through).
CommandResult<PatchReport> run_patch_apply(const PatchApplyRequest& request);
CommandResult<PatchReport> run_patch_info(const std::filesystem::path& patch);

// ---- the diff of two images, and what explains each change

struct DiffRequest {
    std::filesystem::path original, modified;
    // Any of these makes each change named by what explains it, and a
    // change nothing explains a failure.
    std::filesystem::path script;        // its records, at their original lengths
    std::filesystem::path pointer_list;  // its pointers
    std::vector<std::u16string> free_blocks;  // "START-END", where moved entries go
};

CommandResult<PatchReport> run_diff(const DiffRequest& request);

}  // namespace quillmere
