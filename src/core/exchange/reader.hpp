#pragma once
// Reads the units back from an exchange file's bytes. Each reader takes
// whatever it is given: it finds the units of the well-formed stretches and
// names the lines (counted from 1, as an editor shows them) that are not.

#include <string_view>

#include "core/exchange/unit.hpp"

namespace quillmere::exchange {

// A PO file in UTF-8: one unit per entry with a msgctxt (the key); msgid
// is the source, msgstr the target; "#, fuzzy" marks it. The header entry
// and obsolete entries (#~) are not units; plural entries are malformed.
UnitFile read_po(std::string_view bytes);

// A CSV table (RFC 4180, also with bare LF line ends) whose header row names
// the columns: address and target are needed, source is compared when
// present, the others are left alone. The file is read as UTF-8 when it
// starts with a byte-order mark or is well-formed UTF-8, else as
// `fallback` says. Blank rows are skipped.
UnitFile read_csv(std::string_view bytes, CsvEncoding fallback);

// A ParaTranz JSON array of objects: "key" (needed), "original" (compared
// when present), "translation" (empty when absent or null); other members
// are left alone.
UnitFile read_json(std::string_view bytes);

UnitFile read_units(Format format, std::string_view bytes, CsvEncoding csv_fallback);

}  // namespace quillmere::exchange
