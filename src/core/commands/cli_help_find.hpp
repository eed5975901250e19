#pragma once
// The command line's help of quillmere-cli find.

namespace quillmere::cli_help {

inline constexpr const char* kFind = "Find a word in a ROM whose code table does not exist yet, or through the tables.";
inline constexpr const char* kFindDetails =
    "One line per place on standard output (UTF-8), in address order: ADDRESS<TAB>MAP<TAB>PREVIEW. ADDRESS is "
    "hexadecimal; MAP gives each character of the query once, in its order, with the code it has there (字=HEX, "
    "the code's bytes as they stand in the ROM, as a code table writes them); PREVIEW is 32 codes from ADDRESS read "
    "through those codes, \".\" for a code they do not know. On standard error: 共找到N处, and how many places "
    "--max left out.";
inline constexpr const char* kFindRelative = "Find a word by the differences between its characters' codes.";
inline constexpr const char* kFindRelativeDetails =
    "Finds the places whose codes differ as the characters' places in --sequence differ (a game's codes for a, b, c "
    "are rarely 61, 62, 63, but they usually run in order). Lower-case letters, upper-case letters and digits are "
    "three groups, each anchored on its own. * matches any code. At least 3 characters other than *. With "
    "--make-table the table holds every character of each group the place anchors (a found b=42 gives a=41 to "
    "z=5A).";
inline constexpr const char* kFindValues =
    "Find codes that differ as given numbers differ (glyph numbers from a tile viewer).";
inline constexpr const char* kFindValuesDetails =
    "Finds the places whose codes differ as the numbers of --values differ. MAP names a number [1F] unless --text "
    "gives its character; PREVIEW shows such codes as #. At least 3 numbers other than *. --make-table needs "
    "--text.";
inline constexpr const char* kFindPattern =
    "Find a word by which of its characters are equal, in a font of no known order.";
inline constexpr const char* kFindPatternDetails =
    "Finds the places where equal characters of --text have equal codes and different characters different codes, "
    "whatever the codes' order. * matches any code.";
inline constexpr const char* kFindText = "Find a text through the code tables, in every encoding they allow.";
inline constexpr const char* kFindTextDetails =
    "Encodes --text through the tables and filter lists as check does ({tags}, markers, and with --hex-bytes "
    "{$XX}), in every way they allow: a character in both tables or under several codes, a run of characters "
    "that one longer value covers, a tag under each of its codes. MAP gives each value or tag of the encoding "
    "found; PREVIEW reads the tables.";

inline constexpr const char* kFindRom = "ROM image";
inline constexpr const char* kFindRange =
    "START-END, hexadecimal, both included: places lie wholly inside (default: the whole ROM)";
inline constexpr const char* kFindWidth = "bytes per code: 1 or 2";
inline constexpr const char* kFindOrder = "byte order of 2-byte codes: LE or BE";
inline constexpr const char* kFindMax = "places listed; how many more there were is said on standard error";
inline constexpr const char* kFindMakeTable =
    "write the codes of place --hit as a code table (GBK, CR LF, XX=字 or XXXX=字 in code order, the codes' bytes "
    "as they stand in the ROM): exporting the place with it gives the query's text back";
inline constexpr const char* kFindHit = "the place --make-table takes, counting the lines from 1";
inline constexpr const char* kFindRelativeText = "the word; * matches any code";
inline constexpr const char* kFindSequence =
    "the font's order: latin (a-z, A-Z, 0-9), hiragana or katakana (あ … ん, が … ぽ, ぁ … ょ っ), or a text file "
    "(GBK, or UTF-8 with a byte-order mark) holding the font's characters in its order";
inline constexpr const char* kFindValuesList =
    "hexadecimal numbers separated by commas, * for any code (e.g. 1F,08,*,0D)";
inline constexpr const char* kFindValuesText =
    "the characters the numbers stand for, one per number (* for none); a character given to a * takes the code "
    "found there";
inline constexpr const char* kFindPatternText = "the word; * matches any code";
inline constexpr const char* kFindTextText = "the text, as a script writes it ({tags}, markers)";

}  // namespace quillmere::cli_help
