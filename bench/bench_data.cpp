#include "bench_data.hpp"

#include <random>

#include "core/encoding/hex.hpp"
#include "core/pointers/pointer_list.hpp"
#include "core/pointers/pointer_value.hpp"
#include "core/files/files.hpp"
#include "core/text/lines.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::bench {
namespace {

struct Code {
    std::uint8_t first, second;
};

std::vector<Code> hanzi_codes() {
    std::vector<Code> codes;
    for (int first = 0xB0; first <= 0xF7; ++first)
        for (int second = 0xA1; second <= 0xFE; ++second) {
            std::uint8_t pair[2] = {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second)};
            auto decoded = text::decode_gbk(pair);
            if (decoded.bad_sequences == 0 && decoded.text.size() == 1 && decoded.text[0] < 0xE000)
                codes.push_back({pair[0], pair[1]});
        }
    return codes;
}

void append_table_line(std::u16string& out, Code code) {
    std::uint8_t pair[2] = {code.first, code.second};
    append_hex_byte(out, code.first);
    append_hex_byte(out, code.second);
    out += u'=';
    out += text::decode_gbk(pair).text;
    out += u"\r\n";
}

}  // namespace

std::u16string double_byte_table_text() {
    std::u16string out;
    for (Code code : hanzi_codes()) append_table_line(out, code);
    return out;
}

std::u16string single_byte_table_text() {
    std::u16string out;
    for (int byte = 0x20; byte <= 0x7E; ++byte) {
        if (byte == '{' || byte == '}') continue;  // braces open and close tokens in a script
        append_hex_byte(out, static_cast<std::uint8_t>(byte));
        out += u'=';
        out += static_cast<char16_t>(byte);
        out += u"\r\n";
    }
    return out;
}

std::u16string large_table_text(std::size_t lines) {
    std::u16string out;
    std::size_t written = 0;
    for (int first = 0x81; first <= 0xFE && written < lines; ++first)
        for (int second = 0x40; second <= 0xFE && written < lines; ++second) {
            if (second == 0x7F) continue;
            std::uint8_t pair[2] = {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second)};
            auto decoded = text::decode_gbk(pair);
            if (decoded.bad_sequences != 0 || decoded.text.size() != 1) continue;
            append_table_line(out, {pair[0], pair[1]});
            ++written;
        }
    return out;
}

std::u16string single_byte_filter_text() { return u"00=over\r\n01=turn2\r\n02=name"; }

std::u16string double_byte_filter_text() { return u"FE01=over\r\nFE02=player"; }

Bytes make_rom(std::size_t size, std::uint32_t seed) {
    const std::vector<Code> codes = hanzi_codes();
    std::mt19937 random(seed);
    auto below = [&](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
    Bytes rom;
    rom.reserve(size + 64);
    while (rom.size() < size) {
        // One string: 8 to 40 pieces, mostly double-byte characters.
        std::uint32_t pieces = 8 + below(33);
        for (std::uint32_t i = 0; i < pieces; ++i) {
            std::uint32_t kind = below(100);
            if (kind < 70) {
                Code code = codes[below(static_cast<std::uint32_t>(codes.size()))];
                rom.push_back(code.first);
                rom.push_back(code.second);
            } else if (kind < 92) {
                auto byte = static_cast<std::uint8_t>(0x20 + below(0x5F));
                rom.push_back(byte == '{' || byte == '}' ? std::uint8_t{'A'} : byte);
            } else if (kind < 95) {
                rom.push_back(0x01);
                rom.push_back(static_cast<std::uint8_t>(below(256)));
                rom.push_back(static_cast<std::uint8_t>(below(256)));
            } else if (kind < 98) {
                rom.push_back(0x02);
            } else {
                rom.push_back(0xFE);
                rom.push_back(0x02);
            }
        }
        if (below(2) == 0) {
            rom.push_back(0x00);
        } else {
            rom.push_back(0xFE);
            rom.push_back(0x01);
        }
        // Bytes between strings that no table or filter reads.
        for (std::uint32_t gap = below(4); gap > 0; --gap) rom.push_back(static_cast<std::uint8_t>(0x80 + below(0x20)));
    }
    rom.resize(size);
    return rom;
}

std::u16string broken_script(std::u16string_view export_text, std::size_t every) {
    std::u16string script;
    script.reserve(export_text.size() + export_text.size() / every + 64);
    std::size_t index = 0;
    std::size_t broken = 0;
    while (!export_text.empty()) {
        std::size_t end = export_text.find(u"\r\n\r\n");
        end = end == std::u16string_view::npos ? export_text.size() : end + 4;
        const std::u16string_view record = export_text.substr(0, end);
        export_text.remove_prefix(end);
        if (index++ % every != every / 2) {
            script += record;
            continue;
        }
        const std::size_t first = record.find(u',');
        const std::size_t second = record.find(u',', first + 1);
        if (broken++ % 2 == 0) {
            // A GBK character outside GB2312, in no table.
            script += record.substr(0, second + 1);
            script += u'丂';
            script += record.substr(second + 1);
        } else {
            script += record.substr(0, first + 1);
            script += u'0';
            script += record.substr(second);
        }
    }
    return script;
}

bool write_pointer_data(const DataFiles& files, const Bytes& rom, std::u16string_view export_text) {
    // The records, and every tenth lengthened by one double-byte character
    // at the front of its text.
    std::vector<std::uint32_t> offsets;
    std::u16string lengthened;
    lengthened.reserve(export_text.size() + export_text.size() / 64);
    std::size_t n = 0;
    text::for_each_line(export_text, [&](std::u16string_view line) {
        if (!line.empty()) {
            const std::size_t first = line.find(u',');
            const std::size_t second = line.find(u',', first + 1);
            offsets.push_back(static_cast<std::uint32_t>(hex2num(line.substr(0, first)).value_or(0)));
            if (n++ % 10 == 0) {
                lengthened += line.substr(0, second + 1);
                lengthened += u'啊';
                lengthened += line.substr(second + 1);
            } else {
                lengthened += line;
            }
        }
        lengthened += u"\r\n";
    });
    Bytes image = rom;
    std::vector<Pointer> pointers;
    pointers.reserve(offsets.size());
    for (std::uint32_t offset : offsets) {
        const Pointer pointer{static_cast<std::uint32_t>(image.size()), 4, ByteOrder::little, kPointerBase};
        image.resize(image.size() + 4);
        write_value(offset + kPointerBase, 4, ByteOrder::little, image.data() + pointer.address);
        pointers.push_back(pointer);
    }
    image.resize(image.size() + kPointerFreeBytes, 0xFF);
    return files::write_bytes(files.pointer_rom(), image) &&
           files::write_text_file(files.pointer_list(), format_pointer_list(pointers)) &&
           files::write_text_file(files.lengthened_script(), lengthened);
}

ExportRequest whole_rom_export(const DataFiles& files, std::size_t mebibytes) {
    ExportRequest request;
    request.rom = files.rom(mebibytes);
    request.start = to_hex(0);
    request.end = to_hex(static_cast<std::uint32_t>((mebibytes << 20) - 1));
    request.tables.mode = RomMode::both;
    request.tables.double_table = files.double_table();
    request.tables.single_table = files.single_table();
    request.tables.double_filter = {double_byte_filter_text(), true};
    request.tables.single_filter = {single_byte_filter_text(), true};
    request.preview = true;
    return request;
}

}  // namespace quillmere::bench
