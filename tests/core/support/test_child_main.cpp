// The tests' helper program: what only a process of its own can show.
//   replace-and-die FILE SIZE   replaces FILE with SIZE bytes, killed just
//                               before the temporary file takes its place
//   hold-lock FOLDER READY      takes FOLDER's lock, writes "1" (held) or
//                               "0" to READY, and waits to be killed
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "core/platform/console.hpp"
#include "core/platform/folder_lock.hpp"
#include "core/platform/replace_file.hpp"
#include "core/support/process.hpp"

namespace {

using namespace quillmere;

std::filesystem::path path_of(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

int replace_and_die(const std::filesystem::path& file, std::size_t size) {
    std::vector<std::uint8_t> content(size);
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<std::uint8_t>(i % 251);
    platform::ReplaceHooks hooks;
    hooks.before_rename = [] { testing::kill_this_process(); };
    static_cast<void>(platform::replace_file(file, content, hooks));
    return 1;  // not killed: the replacement failed before the moment
}

int hold_lock(const std::filesystem::path& folder, const std::filesystem::path& ready) {
    auto lock = platform::FolderLock::acquire(folder);
    {
        std::ofstream out(ready, std::ios::binary);
        out << (lock ? '1' : '0');
    }
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = platform::utf8_arguments(argc, argv);
    const std::string command = args.size() > 1 ? args[1] : "";
    if (command == "replace-and-die" && args.size() == 4)
        return replace_and_die(path_of(args[2]), std::strtoul(args[3].c_str(), nullptr, 10));
    if (command == "hold-lock" && args.size() == 4) return hold_lock(path_of(args[2]), path_of(args[3]));
    return 2;
}
