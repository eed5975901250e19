// The POSIX side of replacing a file: symbolic links are followed, the
// permission bits carried over.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "core/platform/replace_file.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere::platform {
namespace {

namespace fs = std::filesystem;
using testing::bytes_of;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(replace_file_test, replaces_through_links_and_keeps_permissions) {
    TempDir dir;
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    write_file(dir / "b" / "real.txt", "old");
    ::chmod((dir / "b" / "real.txt").c_str(), 0640);
    fs::create_symlink("../b/real.txt", dir / "a" / "link.txt");
    fs::create_symlink("link.txt", dir / "a" / "link2.txt");

    ASSERT_TRUE(replace_file(dir / "a" / "link2.txt", bytes_of("new")).has_value());
    EXPECT_TRUE(fs::is_symlink(dir / "a" / "link.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / "a" / "link2.txt"));
    EXPECT_EQ(read_file(dir / "b" / "real.txt"), bytes_of("new"));
    struct stat status {};
    ASSERT_EQ(::stat((dir / "b" / "real.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(names_in(dir / "b"), std::vector<std::string>{"real.txt"});

    // A link to nothing yet makes the file it names.
    fs::create_symlink("made.txt", dir / "a" / "dangling.txt");
    ASSERT_TRUE(replace_file(dir / "a" / "dangling.txt", bytes_of("")).has_value());
    EXPECT_TRUE(fs::is_regular_file(dir / "a" / "made.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / "a" / "dangling.txt"));
}

}  // namespace
}  // namespace quillmere::platform
