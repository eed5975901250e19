// quillmere-cli patch create|apply|info, and quillmere-cli diff.

#include <memory>
#include <ostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/cli_help_patch.hpp"
#include "core/commands/patch_command.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {
namespace {

// The lines on standard output, the warnings and the message on standard error.
int deliver(const CommandResult<PatchReport>& result, const Streams& streams) {
    for (const std::u16string& line : result.payload.lines) streams.out << text::to_utf8(line) << '\n';
    streams.out.flush();
    for (const std::u16string& warning : result.payload.warnings) streams.err << text::to_utf8(warning) << '\n';
    print_message(result.message, streams);
    return exit_status(result.message);
}

void add_create(CLI::App& patch, Runner& run) {
    struct Options {
        std::string original, modified, format = "bps", out, metadata;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = patch.add_subcommand("create", cli_help::kPatchCreate);
    command->footer(cli_help::kPatchCreateDetails);
    command->add_option("--original", options->original, cli_help::kPatchOriginal)->required();
    command->add_option("--modified", options->modified, cli_help::kPatchModified)->required();
    command->add_option("--format", options->format, cli_help::kPatchFormat)
        ->check(CLI::IsMember({"bps", "ips"}))
        ->capture_default_str();
    command->add_option("--out", options->out, cli_help::kPatchOut)->required();
    command->add_option("--metadata", options->metadata, cli_help::kPatchMetadata);
    command->callback([options, &run] {
        run = [options](const Streams& streams) {
            PatchCreateRequest request;
            request.original = path_of(options->original);
            request.modified = path_of(options->modified);
            request.format = options->format == "ips" ? patch::PatchFormat::ips : patch::PatchFormat::bps;
            request.out = path_of(options->out);
            request.metadata = path_of(options->metadata);
            return deliver(run_patch_create(request), streams);
        };
    });
}

void add_apply(CLI::App& patch, Runner& run) {
    struct Options {
        std::string original, patch, out;
        bool ignore_checksum = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = patch.add_subcommand("apply", cli_help::kPatchApply);
    command->footer(cli_help::kPatchApplyDetails);
    command->add_option("--original", options->original, cli_help::kPatchOriginal)->required();
    command->add_option("--patch", options->patch, cli_help::kPatchFile)->required();
    command->add_option("--out", options->out, cli_help::kPatchResult)->required();
    command->add_flag("--ignore-checksum", options->ignore_checksum, cli_help::kIgnoreChecksum);
    command->callback([options, &run] {
        run = [options](const Streams& streams) {
            PatchApplyRequest request;
            request.original = path_of(options->original);
            request.patch = path_of(options->patch);
            request.out = path_of(options->out);
            request.ignore_checksum = options->ignore_checksum;
            return deliver(run_patch_apply(request), streams);
        };
    });
}

void add_info(CLI::App& patch, Runner& run) {
    auto file = std::make_shared<std::string>();
    CLI::App* command = patch.add_subcommand("info", cli_help::kPatchInfo);
    command->footer(cli_help::kPatchInfoDetails);
    command->add_option("patch", *file, cli_help::kPatchFile)->required();
    command->callback([file, &run] {
        run = [file](const Streams& streams) { return deliver(run_patch_info(path_of(*file)), streams); };
    });
}

}  // namespace

void add_patch_command(CLI::App& app, Runner& run) {
    CLI::App* patch = app.add_subcommand("patch", cli_help::kPatch);
    patch->require_subcommand(1);
    add_create(*patch, run);
    add_apply(*patch, run);
    add_info(*patch, run);
}

void add_diff_command(CLI::App& app, Runner& run) {
    struct Options {
        std::string original, modified, script, pointers;
        std::vector<std::string> free;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand("diff", cli_help::kDiff);
    command->footer(cli_help::kDiffDetails);
    command->add_option("--original", options->original, cli_help::kDiffOriginal)->required();
    command->add_option("--modified", options->modified, cli_help::kDiffModified)->required();
    command->add_option("--script", options->script, cli_help::kDiffScript);
    command->add_option("--pointers", options->pointers, cli_help::kDiffPointers);
    command->add_option("--free", options->free, cli_help::kDiffFree);
    command->callback([options, &run] {
        run = [options](const Streams& streams) {
            DiffRequest request;
            request.original = path_of(options->original);
            request.modified = path_of(options->modified);
            request.script = path_of(options->script);
            request.pointer_list = path_of(options->pointers);
            for (const std::string& block : options->free) request.free_blocks.push_back(text_of(block));
            return deliver(run_diff(request), streams);
        };
    });
}

}  // namespace quillmere::cli
