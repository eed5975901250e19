#pragma once
// What the floors share: mapping a file, writing it whole and synced, and
// reading the table and filter files of the benchmark data.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace quillmere::bench::floor {

std::vector<std::uint8_t> read_file(const std::filesystem::path& path);

inline constexpr std::size_t kChunk = std::size_t{1} << 20;

// GBK bytes of the marker words and of the full-width colon.
inline constexpr std::string_view kEndWord = "\xBD\xE1\xCA\xF8\xB7\xFB";   // 结束符
inline constexpr std::string_view kJumpWord = "\xCC\xF8\xD4\xBE\xB7\xFB";  // 跳跃符
inline constexpr std::string_view kColon = "\xA3\xBA";                     // ：
inline constexpr char kHex[] = "0123456789ABCDEF";

class Mapped {
public:
    // `populate`: the pages are read in at once, as the tool maps its files.
    explicit Mapped(const std::filesystem::path& path, bool populate = false) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd < 0) return;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_size > 0) {
            void* p = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ,
                             MAP_PRIVATE | (populate ? MAP_POPULATE : 0), fd, 0);
            if (p != MAP_FAILED) {
                data_ = static_cast<const std::uint8_t*>(p);
                size_ = static_cast<std::size_t>(st.st_size);
            }
        }
        ::close(fd);
    }
    ~Mapped() {
        if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
    }
    Mapped(const Mapped&) = delete;
    Mapped& operator=(const Mapped&) = delete;
    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

inline bool write_all(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The tool replaces its files safely and syncs them before it reports
// success; the floor syncs too, so that both pay for the disk.
inline bool finish(int fd, bool ok) {
    ok = ok && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

inline int create(const std::filesystem::path& path) { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644); }

inline int hex_digit(std::uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "CODE=VALUE" lines of a table file, VALUE kept as the file's bytes.
template <typename Each>
void for_each_table_line(const std::filesystem::path& path, Each each) {
    const std::vector<std::uint8_t> file = read_file(path);
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 2;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        unsigned code = 0;
        for (char c : line.substr(0, equals)) code = code * 16 + static_cast<unsigned>(hex_digit(static_cast<std::uint8_t>(c)));
        each(code, line.substr(equals + 1));
    }
}

template <typename Each>
void for_each_filter_line(std::string_view list, Each each) {
    std::size_t at = 0;
    while (at < list.size()) {
        std::size_t end = list.find("\r\n", at);
        if (end == std::string_view::npos) end = list.size();
        const std::string_view line = list.substr(at, end - at);
        at = end + 2;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        unsigned code = 0;
        for (char c : line.substr(0, equals)) code = code * 16 + static_cast<unsigned>(hex_digit(static_cast<std::uint8_t>(c)));
        each(code, line.substr(0, equals), line.substr(equals + 1));
    }
}

}  // namespace quillmere::bench::floor
