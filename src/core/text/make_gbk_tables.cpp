// Run by the build: asks ICU's code page 936 converter once for every code
// and every BMP character, and writes the answers as C++ arrays, so that the
// tool decodes and encodes by table lookup without building the tables at
// run time. Usage: make_gbk_tables OUTPUT.cpp
//
// The arrays (see gbk_tables.hpp):
// single, pairs and codes; a code or character the converter rejects gets
// the table's "none" value.

#include <unicode/uclean.h>
#include <unicode/ucnv.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

#include "core/text/gbk_tables.hpp"

namespace {

namespace tables = quillmere::text::gbk_tables;
using tables::kNoCharacter;
using tables::kNoCode;
constexpr std::size_t kPairCount = (tables::kLastLead - tables::kFirstLead + 1) * tables::kTrailCount;

struct Closer {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

std::unique_ptr<UConverter, Closer> open_stopping_converter() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, Closer> converter(ucnv_open("windows-936-2000", &status));
    if (U_FAILURE(status)) return nullptr;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status)) return nullptr;
    return converter;
}

// The one character `size` bytes decode to, or kNoCharacter.
char16_t decode(UConverter* converter, const char* code, int size) {
    ucnv_resetToUnicode(converter);
    UChar units[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter, units, 4, code, size, &status);
    return U_SUCCESS(status) && length == 1 ? static_cast<char16_t>(units[0]) : kNoCharacter;
}

// The code one character encodes to, or kNoCode.
std::uint16_t encode(UConverter* converter, char16_t character) {
    ucnv_resetFromUnicode(converter);
    char bytes[8];
    UErrorCode status = U_ZERO_ERROR;
    const UChar unit = character;
    const int32_t length = ucnv_fromUChars(converter, bytes, sizeof bytes, &unit, 1, &status);
    if (U_FAILURE(status)) return kNoCode;
    const auto first = static_cast<std::uint8_t>(bytes[0]);
    if (length == 1) return first;
    if (length == 2 && first >= 0x81 && first <= 0xFE) return static_cast<std::uint16_t>(first << 8 | static_cast<std::uint8_t>(bytes[1]));
    return kNoCode;
}

void write_array(std::ostream& out, const char* type, const char* name, const std::vector<std::uint16_t>& values) {
    out << "const " << type << ' ' << name << '[' << values.size() << "] = {";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i % 16 == 0) out << "\n   ";
        char number[12];
        std::snprintf(number, sizeof number, " 0x%04X,", values[i]);
        out << number;
    }
    out << "\n};\n\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_gbk_tables OUTPUT.cpp\n";
        return 2;
    }
    std::vector<std::uint16_t> single_bytes(256, kNoCharacter), pairs(kPairCount, kNoCharacter), codes(65536, kNoCode);
    {
        auto converter = open_stopping_converter();
        if (!converter) {
            std::cerr << "make_gbk_tables: ICU has no windows-936-2000 converter\n";
            return 1;
        }
        for (int byte = 0; byte < 256; ++byte) {
            if (byte >= 0x81 && byte <= 0xFE) continue;  // lead bytes
            const char code = static_cast<char>(byte);
            single_bytes[static_cast<std::size_t>(byte)] = decode(converter.get(), &code, 1);
        }
        for (int first = 0x81; first <= 0xFE; ++first)
            for (int second = 0x40; second <= 0xFE; ++second) {
                const char code[2] = {static_cast<char>(first), static_cast<char>(second)};
                pairs[static_cast<std::size_t>(first - 0x81) * tables::kTrailCount + static_cast<std::size_t>(second - 0x40)] = decode(converter.get(), code, 2);
            }
        for (int character = 0; character < 0x10000; ++character) {
            if (character >= 0xD800 && character <= 0xDFFF) continue;
            codes[static_cast<std::size_t>(character)] = encode(converter.get(), static_cast<char16_t>(character));
        }
    }
    u_cleanup();

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "// Made by make_gbk_tables from ICU's windows-936-2000 converter. Do not edit.\n"
           "#include \"core/text/gbk_tables.hpp\"\n\n"
           "namespace quillmere::text::gbk_tables {\n\n";
    write_array(out, "char16_t", "single", single_bytes);
    write_array(out, "char16_t", "pairs", pairs);
    write_array(out, "std::uint16_t", "codes", codes);
    out << "}  // namespace quillmere::text::gbk_tables\n";
    out.close();
    if (!out) {
        std::cerr << "make_gbk_tables: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
