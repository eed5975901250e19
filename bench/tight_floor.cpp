#include "tight_floor.hpp"

#include <cstring>

#include "floor_support.hpp"

namespace quillmere::bench::tight {
namespace {

using floor::hex_digit;

std::uint32_t packed(unsigned code, bool pair) {
    return pair ? (2u << 16) | ((code & 0xFF) << 8) | ((code >> 8) & 0xFF) : (1u << 16) | (code & 0xFF);
}

// One pass over the script: `put(at, code)` takes each code (bytes in bits
// 0-15, count in 16-17) at ROM offset `at`; `record(address, length, end)`
// each record once its text is read. False on anything it cannot read.
template <class Put, class Record>
bool walk(const Tables& tables, std::span<const std::uint8_t> script, Put put, Record record) {
    const std::uint8_t* p = script.data();
    const std::uint8_t* const end = p + script.size();
    const std::uint32_t* const codes = tables.codes.data();
    while (p < end) {
        if (*p == '\r' || *p == '\n') {
            ++p;
            continue;
        }
        std::size_t address = 0;
        for (int d; p < end && (d = hex_digit(*p)) >= 0; ++p) address = address * 16 + static_cast<std::size_t>(d);
        if (p == end || *p != ',') return false;
        std::size_t length = 0;
        for (++p; p < end && *p >= '0' && *p <= '9'; ++p) length = length * 10 + (*p - '0');
        if (p == end || *p != ',') return false;
        ++p;
        std::size_t at = address;
        while (p < end && *p != '\r') {
            const std::uint8_t c = *p;
            if (c == '{') {
                const std::uint8_t* close = p + 1;
                while (close < end && *close != '}' && *close != '\r') close += *close >= 0x81 ? 2 : 1;
                if (close >= end || *close != '}') return false;
                const std::size_t size = static_cast<std::size_t>(close + 1 - p);
                switch (p[1]) {
                case 0xBD:  // 结束符XX
                case 0xCC:  // 跳跃符XX：YY
                    for (const std::uint8_t* h = p + 7; h < close;) {
                        if (*h == 0xA3) {
                            h += 2;
                            continue;
                        }
                        const int high = hex_digit(h[0]), low = hex_digit(h[1]);
                        if (high < 0 || low < 0) return false;
                        put(at++, (1u << 16) | static_cast<unsigned>(high * 16 + low));
                        h += 2;
                    }
                    break;
                default: {
                    const Tables::Tag* found = nullptr;
                    for (const Tables::Tag& tag : tables.tags)
                        if (tag.token.size() == size && std::memcmp(tag.token.data(), p, size) == 0) found = &tag;
                    if (!found) return false;
                    put(at, found->code);
                    at += found->code >> 16;
                }
                }
                p = close + 1;
                continue;
            }
            std::uint32_t code;
            if (c < 0x80) {
                code = codes[c];
                ++p;
            } else {
                code = codes[(c << 8) | p[1]];
                p += 2;
            }
            if (code == 0) return false;
            put(at, code);
            at += code >> 16;
        }
        if (!record(address, length, at)) return false;
    }
    return true;
}

}  // namespace

Tables tables(const floor::Sources& sources) {
    Tables tables;
    // The first line that holds a character gives its code; the single-byte
    // table is asked first, as the tool's reverse tables do.
    auto add = [&](unsigned code, std::string_view value, bool pair) {
        const auto* v = reinterpret_cast<const std::uint8_t*>(value.data());
        if (value.size() != 1 && value.size() != 2) return;
        std::uint32_t& slot = tables.codes[value.size() == 1 ? v[0] : (v[0] << 8) | v[1]];
        if (slot == 0) slot = packed(code, pair);
    };
    floor::for_each_table_line(sources.single_table, [&](unsigned code, std::string_view value) { add(code, value, false); });
    floor::for_each_table_line(sources.double_table, [&](unsigned code, std::string_view value) { add(code, value, true); });
    auto add_tags = [&](std::string_view list, bool pair) {
        floor::for_each_filter_line(list, [&](unsigned code, std::string_view, std::string_view value) {
            if (value == "over" || value.starts_with("turn")) return;
            std::string token(1, '{');
            token.append(value);
            token.push_back('}');
            tables.tags.push_back({std::move(token), packed(code, pair)});
        });
    };
    add_tags(sources.single_filter, false);
    add_tags(sources.double_filter, true);
    return tables;
}

bool scan(const Tables& tables, std::span<const std::uint8_t> script) {
    return walk(
        tables, script, [](std::size_t, std::uint32_t) {},
        [](std::size_t address, std::size_t length, std::size_t end) { return end - address == length; });
}

bool scan_file(const Tables& tables, const std::filesystem::path& script) {
    const floor::Mapped file(script, true);
    return file && scan(tables, file.bytes());
}

bool load_into(const Tables& tables, std::span<const std::uint8_t> script, std::span<std::uint8_t> image) {
    std::uint8_t* const rom = image.data();
    const std::size_t size = image.size();
    return walk(
        tables, script,
        [&](std::size_t at, std::uint32_t code) {
            if (at + 2 <= size) {
                rom[at] = static_cast<std::uint8_t>(code);
                if ((code >> 16) == 2) rom[at + 1] = static_cast<std::uint8_t>(code >> 8);
            } else if (at < size) {
                rom[at] = static_cast<std::uint8_t>(code);
            }
        },
        [&](std::size_t, std::size_t, std::size_t end) { return end <= size; });
}

bool load(const Tables& tables, const std::filesystem::path& script_path, const std::filesystem::path& rom_path) {
    const floor::Mapped script(script_path, true);
    const int fd = ::open(rom_path.c_str(), O_RDWR);
    if (!script || fd < 0) return false;
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0 && st.st_size > 0;
    const auto size = static_cast<std::size_t>(st.st_size);
    void* mapped = sized ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd, 0) : MAP_FAILED;
    ::close(fd);
    if (mapped == MAP_FAILED) return false;
    const bool ok = load_into(tables, script.bytes(), std::span(static_cast<std::uint8_t*>(mapped), size));
    const bool synced = ::msync(mapped, size, MS_SYNC) == 0;
    ::munmap(mapped, size);
    return ok && synced;
}

bool dump(const floor::DumpTables& tables, const std::filesystem::path& rom, const std::filesystem::path& out) {
    std::string name(1, '.');
    name.append(out.filename().string());
    name.append(".tmp");
    const std::filesystem::path temporary = out.parent_path() / name;
    if (!floor::dump(tables, rom, temporary)) return false;
    if (::rename(temporary.c_str(), out.c_str()) != 0) return false;
    const int folder = ::open(out.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (folder < 0) return false;
    const bool synced = ::fsync(folder) == 0;
    return ::close(folder) == 0 && synced;
}

}  // namespace quillmere::bench::tight
