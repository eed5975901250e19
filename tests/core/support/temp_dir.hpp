#pragma once
// A fresh directory for one test, removed afterwards, and small file helpers.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / std::string(name); }

private:
    std::filesystem::path path_;
};

using Bytes = std::vector<std::uint8_t>;

void write_file(const std::filesystem::path& path, const Bytes& bytes);
void write_file(const std::filesystem::path& path, std::string_view bytes);
// Writes the text in code page 936; fails the test if it cannot.
void write_gbk(const std::filesystem::path& path, std::u16string_view text);
Bytes read_file(const std::filesystem::path& path);
Bytes bytes_of(std::string_view raw);
Bytes gbk_bytes(std::u16string_view text);

// A path, or its last part, in UTF-8, on every system.
std::string utf8_string(const std::filesystem::path& path);
std::string utf8_name(const std::filesystem::path& path);
// A path from UTF-8, on every system.
std::filesystem::path utf8_path(std::string_view utf8);
// Whether this process writes files whatever their permissions say (root
// on POSIX), so that a read-only file cannot be shown to stay unwritten.
bool may_write_anything();

}  // namespace quillmere::testing
