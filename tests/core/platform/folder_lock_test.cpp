#include "core/platform/folder_lock.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/support/process.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere::platform {
namespace {

namespace fs = std::filesystem;

// Waits until the helper has written its answer.
std::string answer_in(const fs::path& file) {
    for (int tries = 0; tries < 600; ++tries) {
        const auto bytes = testing::read_file(file);
        if (!bytes.empty()) return std::string(bytes.begin(), bytes.end());
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "no answer";
}

// The helper program takes the lock and keeps it until it is killed; a
// folder with a Chinese name is locked like any other.
TEST(folder_lock_test, one_holder_at_a_time_and_a_killed_holder_lets_go) {
    testing::TempDir dir;
    const fs::path folder = dir.path() / fs::path(u8"数据 目录");
    fs::create_directory(folder);
    {
        testing::RunningProgram holder(testing::test_child_program(),
                                       {"hold-lock", testing::utf8_string(folder), testing::utf8_string(dir / "ready")});
        ASSERT_TRUE(holder.started());
        ASSERT_EQ(answer_in(dir / "ready"), "1");
        auto second = FolderLock::acquire(folder);
        ASSERT_FALSE(second.has_value());
        EXPECT_EQ(second.error(), LockFailure::held_elsewhere);
        // Asking again, after a refusal, is refused again.
        EXPECT_EQ(FolderLock::acquire(folder).error(), LockFailure::held_elsewhere);
        holder.kill();
        EXPECT_TRUE(holder.wait().killed);
    }
    {
        auto lock = FolderLock::acquire(folder);
        EXPECT_TRUE(lock.has_value());
        // Within one process a second lock is refused too.
        EXPECT_EQ(FolderLock::acquire(folder).error(), LockFailure::held_elsewhere);
    }
    EXPECT_TRUE(FolderLock::acquire(folder).has_value());
    // No file is left behind once every holder has let go.
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(FolderLock::acquire(dir / "missing").error(), LockFailure::unavailable);
}

}  // namespace
}  // namespace quillmere::platform
