#pragma once
// Units the exchange tests write and compare: texts that a careless writer
// or reader would change.

#include <string>
#include <vector>

#include "core/exchange/reader.hpp"
#include "core/exchange/writer.hpp"

namespace quillmere::exchange::testing {

struct Unit {
    std::u16string key, length, source, target, context;
    friend bool operator==(const Unit&, const Unit&) = default;
};

// Quotes, backslashes, commas, line ends inside a text, tags and {$XX},
// blanks at either end, tabs and other control characters, a character
// outside the BMP, an empty text.
inline std::vector<Unit> tricky_units() {
    return {
        {u"10", u"40", u"Hello, \"traveller\"!{换行}Welcome.{结束符00}", u"你好，“旅行者”！{换行}欢迎。{结束符00}",
         u"长度：40字节"},
        {u"3A", u"12", u"C:\\path\\{$FF}\\", u" 前后空格 ", u"长度：12字节；每行最多20字"},
        {u"7F", u"9", u"line\nbreak\ttab", u"换\n行", u"长度：9字节"},
        {u"100", u"0", u"", u"", u"长度：0字节"},
        {u"1F0", u"5", u"\a\b\f\v\x01\x7F end", u"𠀀𠀁", u"多行\n说明"},
        {u"200", u"3", u"=1+2", u"-1", u"\"引号\""},
    };
}

inline std::string write_units(Format format, const std::vector<Unit>& units,
                               CsvEncoding csv_encoding = CsvEncoding::utf8) {
    Writer writer(format, csv_encoding);
    for (const Unit& unit : units) static_cast<void>(writer.add({unit.key, unit.length, unit.source, unit.target, unit.context}));
    return std::string(writer.finish().view());
}

// Key, source and target of every unit read (length and note are not read back).
inline std::vector<Unit> units_read(const UnitFile& file) {
    std::vector<Unit> units;
    for (const UnitIn& unit : file.units)
        units.push_back({std::u16string(file.text(unit.key)), u"", std::u16string(file.text(unit.source)),
                         std::u16string(file.text(unit.target)), u""});
    return units;
}

inline std::vector<Unit> without_length_and_note(std::vector<Unit> units) {
    for (Unit& unit : units) unit.length.clear(), unit.context.clear();
    return units;
}

}  // namespace quillmere::exchange::testing
