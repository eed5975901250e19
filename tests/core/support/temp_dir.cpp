#include "core/support/temp_dir.hpp"


#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "core/text/gbk.hpp"

namespace quillmere::testing {

TempDir::TempDir() {
    std::random_device random;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("quillmere-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) break;
    }
}

TempDir::~TempDir() {
    // Read-only files and folders a test made go too (Windows deletes no
    // read-only file).
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

void write_file(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

void write_file(const std::filesystem::path& path, std::string_view bytes) { write_file(path, bytes_of(bytes)); }

void write_gbk(const std::filesystem::path& path, std::u16string_view text) { write_file(path, gbk_bytes(text)); }

Bytes read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes bytes_of(std::string_view raw) { return Bytes(raw.begin(), raw.end()); }

Bytes gbk_bytes(std::u16string_view text) {
    auto encoded = text::encode_gbk(text);
    EXPECT_TRUE(encoded.has_value()) << "text not encodable in code page 936";
    return encoded ? *encoded : Bytes{};
}

std::string utf8_string(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string utf8_name(const std::filesystem::path& path) { return utf8_string(path.filename()); }

std::filesystem::path utf8_path(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool may_write_anything() {
    // Asked of the system rather than guessed: root on POSIX, and Wine run
    // by root, write read-only files.
    TempDir dir;
    const std::filesystem::path file = dir / "read-only";
    { std::ofstream(file, std::ios::binary) << 'x'; }
    std::filesystem::permissions(file, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                           std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    std::fstream opened(file, std::ios::in | std::ios::out | std::ios::binary);
    return opened.is_open();
}

}  // namespace quillmere::testing
