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
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
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

}  // namespace quillmere::testing
