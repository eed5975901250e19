#include "core/platform/regular_file.hpp"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

#include "core/support/temp_dir.hpp"

namespace quillmere::platform {
namespace {

namespace fs = std::filesystem;
using testing::bytes_of;
using testing::TempDir;
using testing::write_file;

// A socket bound to a path: the last kind of file that is no regular file.
void make_socket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

TEST(regular_file_test, only_regular_files_open_and_nothing_waits) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0666), 0);
    make_socket(dir / "socket");
    fs::create_directory(dir / "folder");
    fs::create_symlink("fifo", dir / "link-to-fifo");
    // No writer ever opens the FIFO: a blocking open would never return.
    for (auto access : {RegularFile::Access::read, RegularFile::Access::read_write}) {
        for (const fs::path& path : {dir / "fifo", dir / "link-to-fifo", dir / "socket", dir / "folder",
                                     fs::path("/dev/null"), dir / "missing", fs::path()}) {
            SCOPED_TRACE(path);
            auto file = RegularFile::open(path, access);
            ASSERT_FALSE(file.has_value());
            EXPECT_EQ(file.error(), FileError::cannot_open);
        }
    }
    write_file(dir / "rom.bin", "ABCDEF");
    auto file = RegularFile::open(dir / "rom.bin", RegularFile::Access::read_write);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->size(), 6u);
    // Reads block again once open: a whole file comes back in one call.
    EXPECT_EQ(file->read_all().value(), bytes_of("ABCDEF"));
    ASSERT_TRUE(file->write_at(2, bytes_of("xy")));
    ASSERT_TRUE(file->sync());
    std::vector<std::uint8_t> middle(3);
    ASSERT_TRUE(file->read_at(1, middle));
    EXPECT_EQ(middle, bytes_of("Bxy"));
    EXPECT_FALSE(file->read_at(5, middle));  // past the end
    EXPECT_TRUE(file->close());
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), bytes_of("ABxyEF"));
}

TEST(regular_file_test, same_file_sees_through_links_and_other_names) {
    TempDir dir;
    write_file(dir / "rom.gba", "ROM");
    write_file(dir / "other.gba", "ROM");
    fs::create_symlink("rom.gba", dir / "link.gba");
    fs::create_hard_link(dir / "rom.gba", dir / "hard.gba");
    fs::create_directory(dir / "sub");
    EXPECT_TRUE(same_file(dir / "rom.gba", dir / "rom.gba"));
    EXPECT_TRUE(same_file(dir / "link.gba", dir / "rom.gba"));
    EXPECT_TRUE(same_file(dir / "hard.gba", dir / "rom.gba"));
    EXPECT_TRUE(same_file(dir / "sub" / ".." / "rom.gba", dir / "link.gba"));
    EXPECT_FALSE(same_file(dir / "other.gba", dir / "rom.gba"));
    EXPECT_FALSE(same_file(dir / "missing.gba", dir / "missing.gba"));
    EXPECT_FALSE(same_file(fs::path(), dir / "rom.gba"));
}

}  // namespace
}  // namespace quillmere::platform
