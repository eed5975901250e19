// Writes the benchmark data into a directory: ROMs of 4, 8, 16 and 32 MiB,
// the code tables, the filter lists, a 20000-line table and the export of the
// 32 MiB ROM as the translation script, whole and with 1 % of its entries broken.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bench_data.hpp"
#include "core/commands/export_command.hpp"
#include "core/commands/text_area.hpp"
#include "core/encoding/hex.hpp"
#include "core/files/files.hpp"

namespace {

using namespace quillmere;

bool write_text(const std::filesystem::path& path, std::u16string_view text) {
    if (files::write_text_file(path, text)) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bench_data DIR\n");
        return 2;
    }
    bench::DataFiles files{argv[1]};
    std::filesystem::create_directories(files.dir);
    bool ok = write_text(files.double_table(), bench::double_byte_table_text()) &&
              write_text(files.single_table(), bench::single_byte_table_text()) &&
              write_text(files.large_table(), bench::large_table_text(20000)) &&
              write_text(files.single_filter(), bench::single_byte_filter_text()) &&
              write_text(files.double_filter(), bench::double_byte_filter_text());
    if (!ok) return 1;

    const bench::Bytes rom = bench::make_rom(32u << 20);
    for (std::size_t mebibytes : {4, 8, 16, 32}) {
        std::span<const std::uint8_t> part(rom.data(), mebibytes << 20);
        if (!files::write_bytes(files.rom(mebibytes), part)) return 1;
    }

    const ExportRequest request = bench::whole_rom_export(files, rom.size() >> 20);
    CommandResult<ExportPayload> outcome = run_export(request);
    if (!outcome.payload.text) {
        std::fprintf(stderr, "the export of the benchmark ROM failed\n");
        return 1;
    }
    // Saved as the window saves its source text: the text and a CR LF.
    if (save_source_text(files.script(), *outcome.payload.text, files.rom(32)).failed()) return 1;
    if (save_source_text(files.broken_script(), bench::broken_script(*outcome.payload.text, 100), files.rom(32)).failed())
        return 1;
    if (!bench::write_pointer_data(files, rom, *outcome.payload.text)) {
        std::fprintf(stderr, "cannot write the pointer benchmark data\n");
        return 1;
    }
    std::printf("benchmark data in %s\n", files.dir.c_str());
    return 0;
}
