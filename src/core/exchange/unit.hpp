#pragma once
// A translation carried to and from the files other tools read: one unit per
// record of a script, keyed by the record's address, with the record's text,
// its translation and a note for the translator.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory/large_buffer.hpp"

namespace quillmere::exchange {

enum class Format { po, csv, json };

// The encoding of a CSV file: spreadsheets of old expect code page 936.
enum class CsvEncoding { utf8, gbk };

// One unit as a writer takes it; views into the scripts, read as characters
// or as the code page 936 bytes of a script file (Char = char).
template <class Char>
struct BasicUnitOut {
    std::basic_string_view<Char> key;     // the record's address, as written
    std::basic_string_view<Char> length;  // the record's byte count, as written
    std::basic_string_view<Char> source;  // the record's text, tags and markers as written
    std::basic_string_view<Char> target;  // the translation; empty when there is none
    std::u16string_view context;          // the note for the translator
};
using UnitOut = BasicUnitOut<char16_t>;

// Where a text read from a file lies in UnitFile::pool.
struct Piece {
    std::size_t offset = 0;
    std::size_t size = 0;
};

// One unit as a reader found it.
struct UnitIn {
    Piece key, source, target;
    bool has_source = false;  // the file carries the source text (a CSV may leave out its column)
    bool fuzzy = false;       // a PO entry its translator marked as unsure
    std::size_t line = 0;     // where the unit starts in the file, from 1
};

// Where the readers put the texts they decode: grown without clearing, as
// every unit of it is written right away.
using TextPool = std::vector<char16_t, memory::UnsetAllocator<char16_t>>;

// What a reader found: the units in file order and the lines that are not
// well-formed. A unit is only taken from a well-formed stretch of the file.
struct UnitFile {
    TextPool pool;
    std::vector<UnitIn> units;
    std::vector<std::size_t> malformed_lines;  // ascending, each once

    std::u16string_view text(Piece piece) const { return std::u16string_view(pool.data() + piece.offset, piece.size); }
    void malformed(std::size_t line) { malformed_lines.push_back(line); }
    // Puts the malformed lines in order, each once; every reader ends so.
    void sort_malformed();
};

}  // namespace quillmere::exchange
