#include "core/find/sequence.hpp"

#include "core/find/code_form.hpp"

namespace quillmere::find {
namespace {

// Plain kana in gojūon order, voiced and half-voiced, small.
constexpr std::u16string_view kHiragana =
    u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
    u"がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ"
    u"ぁぃぅぇぉゃゅょっ";
constexpr std::u16string_view kKatakana =
    u"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"
    u"ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ"
    u"ァィゥェォャュョッ";

std::u32string run(char32_t first, char32_t last) {
    std::u32string characters;
    for (char32_t c = first; c <= last; ++c) characters += c;
    return characters;
}

}  // namespace

Sequence::Sequence(std::vector<std::u32string> groups) : groups_(std::move(groups)) {
    for (std::size_t g = 0; g < groups_.size(); ++g)
        for (std::size_t i = 0; i < groups_[g].size(); ++i)
            places_.try_emplace(groups_[g][i], Place{static_cast<std::uint32_t>(g), static_cast<std::uint32_t>(i)});
}

Sequence Sequence::latin() { return Sequence({run(U'a', U'z'), run(U'A', U'Z'), run(U'0', U'9')}); }
Sequence Sequence::hiragana() { return Sequence({code_points(kHiragana)}); }
Sequence Sequence::katakana() { return Sequence({code_points(kKatakana)}); }

Sequence Sequence::from_text(std::u16string_view text) {
    std::u32string characters;
    for (char32_t c : code_points(text))
        if (c != U'\r' && c != U'\n') characters += c;
    return Sequence({std::move(characters)});
}

}  // namespace quillmere::find
