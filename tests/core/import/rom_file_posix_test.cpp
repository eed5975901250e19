// Writing a ROM in place under a file size limit, as on a full disk: a
// limit only POSIX sets for one process.
#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "core/import/rom_file.hpp"
#include "core/support/child_process.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::TempDir;

// Bytes a patch repeats are not written: under a file size limit, as on a
// full disk, patches that change nothing past the limit succeed; a change
// past it fails and the change made before it goes back.
TEST(rom_file_test, only_changed_bytes_are_written_and_a_failed_write_is_put_back) {
    TempDir dir;
    std::vector<std::uint8_t> original(100000);
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<std::uint8_t>(i % 251);
    testing::write_file(dir / "rom.bin", original);
    const auto slice = [&](std::size_t offset, std::size_t length) {
        return std::vector<std::uint8_t>(original.begin() + static_cast<std::ptrdiff_t>(offset),
                                         original.begin() + static_cast<std::ptrdiff_t>(offset + length));
    };
    const auto end = testing::run_in_child([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int failed = 0;
        {
            RomPatches same;
            same.add(5000, slice(5000, 20000));
            same.add(90000, slice(90000, 10000));
            const std::vector<std::uint8_t> changed(10, 0xFF);
            same.add(10, changed);  // below the limit: written
            auto rom = RomFile::open(dir / "rom.bin");
            if (!rom || !rom->write(same)) failed |= 1;
        }
        {
            RomPatches change;
            change.add(20, std::vector<std::uint8_t>(10, 0xEE));  // written, then put back
            auto bytes = slice(50000, 100);
            bytes[99] ^= 1;  // past the limit
            change.add(50000, bytes);
            auto rom = RomFile::open(dir / "rom.bin");
            if (!rom || rom->write(change)) failed |= 2;
        }
        return failed;
    });
    EXPECT_FALSE(end.killed);
    EXPECT_EQ(end.status, 0);
    auto expected = original;
    std::fill_n(expected.begin() + 10, 10, 0xFF);
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), expected);
}

}  // namespace
}  // namespace quillmere
