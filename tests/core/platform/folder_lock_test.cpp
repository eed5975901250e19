#include "core/platform/folder_lock.hpp"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"

namespace quillmere::platform {
namespace {

TEST(folder_lock_test, one_holder_at_a_time_and_a_killed_holder_lets_go) {
    testing::TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        auto lock = FolderLock::acquire(dir.path());
        const char byte = lock ? 1 : 0;
        [[maybe_unused]] auto put = ::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1);
    auto second = FolderLock::acquire(dir.path());
    ASSERT_FALSE(second.has_value());
    EXPECT_EQ(second.error(), LockFailure::held_elsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(FolderLock::acquire(dir.path()).has_value());
    ::close(ready[0]);
    ::close(ready[1]);
    // The lock is no file: the folder stays empty.
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(FolderLock::acquire(dir / "missing").error(), LockFailure::unavailable);
}

}  // namespace
}  // namespace quillmere::platform
