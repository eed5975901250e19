#include "floor.hpp"

#include <cstring>
#include <fstream>
#include <iterator>

#include "floor_support.hpp"

namespace quillmere::bench::floor {
namespace {

std::string join(std::initializer_list<std::string_view> parts) {
    std::string joined;
    for (std::string_view part : parts) joined.append(part);
    return joined;
}

void set_piece(DumpTables& tables, Piece& piece, std::string_view text, std::uint8_t span) {
    piece.text = static_cast<std::uint32_t>(tables.pool.size());
    piece.length = static_cast<std::uint8_t>(text.size());
    piece.span = span;
    tables.pool += text;
}

void add_filter(DumpTables& tables, std::string_view list, bool pairs) {
    for_each_filter_line(list, [&](unsigned code, std::string_view key, std::string_view value) {
        Piece& piece = pairs ? tables.pair[code & 0xFFFF] : tables.single[code & 0xFF];
        const auto span = static_cast<std::uint8_t>(pairs ? 2 : 1);
        if (value == "over") {
            set_piece(tables, piece, join({"{", kEndWord, key, "}\r\n\r\n"}), span);
            piece.ends = true;
        } else if (value.starts_with("turn")) {
            set_piece(tables, piece, join({"{", kJumpWord, key, kColon}), span);
            piece.params = static_cast<std::uint8_t>(std::stoi(std::string(value.substr(4))));
        } else {
            set_piece(tables, piece, join({"{", value, "}"}), span);
        }
    });
}

}  // namespace

std::vector<std::uint8_t> read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DumpTables dump_tables(const Sources& sources) {
    DumpTables tables;
    // Filters come after the tables: a control code or tag wins over a
    // character of the same width, as in the export.
    for_each_table_line(sources.single_table,
                        [&](unsigned code, std::string_view value) { set_piece(tables, tables.single[code & 0xFF], value, 1); });
    for_each_table_line(sources.double_table,
                        [&](unsigned code, std::string_view value) { set_piece(tables, tables.pair[code & 0xFFFF], value, 2); });
    add_filter(tables, sources.single_filter, false);
    add_filter(tables, sources.double_filter, true);
    tables.pool.append(16, '\0');
    return tables;
}

LoadTables load_tables(const Sources& sources) {
    LoadTables tables;
    // The first line that holds a character gives its code; the single-byte
    // table is asked first.
    auto add = [&](unsigned code, std::string_view value, bool pairs) {
        Code c;
        c.length = pairs ? 2 : 1;
        c.bytes[0] = static_cast<std::uint8_t>(pairs ? code >> 8 : code);
        c.bytes[1] = static_cast<std::uint8_t>(code);
        const auto* v = reinterpret_cast<const std::uint8_t*>(value.data());
        Code& slot = value.size() == 1 ? tables.single[v[0]] : tables.pair[(v[0] << 8) | v[1]];
        if (slot.length == 0 && (value.size() == 1 || value.size() == 2)) slot = c;
    };
    for_each_table_line(sources.single_table, [&](unsigned code, std::string_view value) { add(code, value, false); });
    for_each_table_line(sources.double_table, [&](unsigned code, std::string_view value) { add(code, value, true); });
    auto add_tags = [&](std::string_view list, bool pairs) {
        for_each_filter_line(list, [&](unsigned code, std::string_view, std::string_view value) {
            if (value == "over" || value.starts_with("turn")) return;
            Code c;
            c.length = pairs ? 2 : 1;
            c.bytes[0] = static_cast<std::uint8_t>(pairs ? code >> 8 : code);
            c.bytes[1] = static_cast<std::uint8_t>(code);
            tables.tags.emplace(join({"{", value, "}"}), c);
        });
    };
    add_tags(sources.single_filter, false);
    add_tags(sources.double_filter, true);
    return tables;
}

bool dump(const DumpTables& tables, const std::filesystem::path& rom_path, const std::filesystem::path& out_path) {
    const Mapped rom_file(rom_path);
    if (!rom_file) return false;
    const int fd = create(out_path);
    if (fd < 0) return false;
    const std::span<const std::uint8_t> rom = rom_file.bytes();
    const char* const pool = tables.pool.data();

    std::vector<char> chunk(kChunk + 512);
    char* const begin = chunk.data();
    char* out = begin;
    bool ok = true;
    bool in_line = false;
    const std::size_t n = rom.size();
    std::size_t pos = 0;
    while (pos < n && ok) {
        const std::uint8_t b1 = rom[pos];
        const Piece* piece = &tables.single[b1];
        if (piece->span == 0) piece = pos + 1 < n ? &tables.pair[(b1 << 8) | rom[pos + 1]] : nullptr;
        if (piece == nullptr || piece->span == 0) {
            // A byte nothing reads ends the line.
            if (in_line) {
                std::memcpy(out, "\r\n\r\n", 4);
                out += 4;
                in_line = false;
            }
            ++pos;
        } else {
            // Table texts are short: one fixed 16-byte copy (the pool and
            // the chunk have room past their ends) serves nearly all.
            if (piece->length <= 16) {
                std::memcpy(out, pool + piece->text, 16);
            } else {
                std::memcpy(out, pool + piece->text, piece->length);
            }
            out += piece->length;
            pos += piece->span;
            in_line = !piece->ends;
            if (piece->params != 0) {
                for (std::uint8_t i = 0; i < piece->params && pos < n; ++i, ++pos) {
                    *out++ = kHex[rom[pos] >> 4];
                    *out++ = kHex[rom[pos] & 15];
                }
                *out++ = '}';
            }
        }
        if (static_cast<std::size_t>(out - begin) >= kChunk) {
            ok = write_all(fd, reinterpret_cast<const std::uint8_t*>(begin), static_cast<std::size_t>(out - begin));
            out = begin;
        }
    }
    ok = ok && write_all(fd, reinterpret_cast<const std::uint8_t*>(begin), static_cast<std::size_t>(out - begin));
    return finish(fd, ok);
}

bool load_into(const LoadTables& tables, std::span<const std::uint8_t> script, std::span<std::uint8_t> image,
               std::size_t& written) {
    const std::uint8_t* p = script.data();
    const std::uint8_t* const end = p + script.size();
    const std::size_t size = image.size();
    while (p < end) {
        if (*p == '\r' || *p == '\n') {
            ++p;
            continue;
        }
        // ADDRESS "," LENGTH "," TEXT
        std::size_t at = 0;
        for (int d; p < end && (d = hex_digit(*p)) >= 0; ++p) at = at * 16 + static_cast<std::size_t>(d);
        if (p == end || *p != ',') return false;
        ++p;
        while (p < end && *p != ',') ++p;
        if (p == end) return false;
        ++p;
        auto put = [&](const std::uint8_t* bytes, std::size_t count) {
            if (at + count > size) return false;
            std::memcpy(image.data() + at, bytes, count);
            at += count;
            written += count;
            return true;
        };
        auto put_hex = [&](const std::uint8_t* from, const std::uint8_t* to) {
            // Pairs of hexadecimal digits, the colon skipped.
            while (from < to) {
                if (*from == 0xA3) {
                    from += 2;
                    continue;
                }
                if (to - from < 2) return false;
                const int high = hex_digit(from[0]), low = hex_digit(from[1]);
                if (high < 0 || low < 0) return false;
                const auto byte = static_cast<std::uint8_t>(high * 16 + low);
                if (!put(&byte, 1)) return false;
                from += 2;
            }
            return true;
        };
        while (p < end && *p != '\r') {
            const std::uint8_t c = *p;
            if (c == '{') {
                // Walk characters to the closing brace: "}" is also a second byte.
                const std::uint8_t* close = p + 1;
                while (close < end && *close != '}' && *close != '\r') close += *close >= 0x81 ? 2 : 1;
                if (close >= end || *close != '}') return false;
                const std::string_view token(reinterpret_cast<const char*>(p), static_cast<std::size_t>(close + 1 - p));
                const std::string_view word = token.substr(1, 6);
                if (word == kEndWord || word == kJumpWord) {
                    if (!put_hex(p + 7, close)) return false;
                } else {
                    const auto tag = tables.tags.find(token);
                    if (tag == tables.tags.end() || !put(tag->second.bytes, tag->second.length)) return false;
                }
                p = close + 1;
            } else if (c < 0x80) {
                const Code& code = tables.single[c];
                if (code.length == 0 || !put(code.bytes, code.length)) return false;
                ++p;
            } else {
                if (end - p < 2) return false;
                const Code& code = tables.pair[(c << 8) | p[1]];
                if (code.length == 0 || !put(code.bytes, code.length)) return false;
                p += 2;
            }
        }
    }
    return true;
}

bool load(const LoadTables& tables, const std::filesystem::path& script_path, const std::filesystem::path& rom_path,
          const std::filesystem::path& out_path) {
    const Mapped script(script_path);
    const Mapped rom(rom_path);
    if (!script || !rom) return false;
    std::vector<std::uint8_t> image(rom.bytes().begin(), rom.bytes().end());
    std::size_t written = 0;
    if (!load_into(tables, script.bytes(), image, written)) return false;
    const int fd = create(out_path);
    if (fd < 0) return false;
    bool ok = true;
    for (std::size_t at = 0; at < image.size() && ok; at += kChunk)
        ok = write_all(fd, image.data() + at, std::min(kChunk, image.size() - at));
    return finish(fd, ok);
}

}  // namespace quillmere::bench::floor
