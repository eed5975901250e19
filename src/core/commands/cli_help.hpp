#pragma once
// The command line's help: each subcommand's one-sentence summary (the line
// of the top-level --help), the details shown by its own --help, and every
// option's description. Part of the message catalogue: the command line
// spells none of its texts itself.

namespace quillmere::cli_help {

inline constexpr const char* kProgram =
    "quillmere-cli: export, check and import the text of ROM images, and the tools around them";
inline constexpr const char* kVersion = "print the version and exit";

// ---- options several subcommands share
inline constexpr const char* kMode = "ROM mode: single, double or both";
inline constexpr const char* kTable1 = "single-byte code table";
inline constexpr const char* kTable2 = "double-byte code table";
inline constexpr const char* kFilter1 = "file holding the single-byte filter list (ticks it)";
inline constexpr const char* kFilter2 = "file holding the double-byte filter list (ticks it)";
inline constexpr const char* kEncoding =
    "encoding of the code tables, filter lists, script and export file: gbk (a file that starts with a UTF-8 "
    "byte-order mark is read as UTF-8) or utf-8 (read with or without the mark, written without it; characters "
    "GBK cannot hold are allowed)";

// ---- export
inline constexpr const char* kExport = "Export the text of a stretch of a ROM image.";
inline constexpr const char* kExportDetails =
    "Writes one record ADDRESS,LENGTH,TEXT per text run, to --out or to standard output. The stretch is "
    "--start/--end, one or more --range or --record, or the places a --pointers list points at.";
inline constexpr const char* kExportRom = "ROM image";
inline constexpr const char* kExportStart = "start address, hexadecimal";
inline constexpr const char* kExportEnd = "end address, hexadecimal, included";
inline constexpr const char* kExportRange =
    "START-END, hexadecimal, both included, instead of --start/--end; repeatable: the records of all ranges come "
    "out in address order, and ranges must not overlap";
inline constexpr const char* kExportDataDir = "the window's data directory, for --record and --data-filters";
inline constexpr const char* kExportRecord =
    "a record kept in --data-dir: its range is exported, as --range; repeatable";
inline constexpr const char* kExportDataFilters =
    "the filter lists kept in --data-dir (glq.dat, glq2.dat) instead of --filter1/--filter2";
inline constexpr const char* kExportPointers =
    "pointer list file, instead of --start/--end: one record for each distinct place its pointers point at, up "
    "to the end code that closes it; a record that begins inside another and ends with it is written as its tail "
    "(LENGTH N@OUTER); entries marked - are skipped and counted on standard error";
inline constexpr const char* kExportMin = "minimum run length: only longer runs are written";
inline constexpr const char* kExportOut = "export file (default: standard output)";
inline constexpr const char* kExportHexBytes =
    "write a byte no table or filter reads, inside a run, as {$XX} instead of ending the run there";
inline constexpr const char* kExportHexMax = "with --hex-bytes: more such bytes in a row than this end the run, unshown";
inline constexpr const char* kExportStretchNeeded = "--start and --end, --range, --record or --pointers";

// ---- check and import
inline constexpr const char* kCheck = "Check a translation script against the code tables.";
inline constexpr const char* kCheckDetails =
    "Measures every entry through the tables and filter lists and compares it with its original length; with "
    "--all every failing entry is reported, with the limit options each line and box is held to its limits. "
    "Entries that overlap in the ROM are refused unless one is marked as the other's tail (LENGTH N@OUTER), as "
    "for import.";
inline constexpr const char* kImport = "Write a translation script into the ROM image.";
inline constexpr const char* kImportDetails =
    "Checks every entry first: a script that fails anywhere leaves the ROM as it was. Shorter entries are filled "
    "with --fill; with --pointers an entry that outgrew its place moves into the --free blocks. Entries that "
    "overlap in the ROM are refused, unless one is marked as the other's tail (LENGTH N@OUTER): its text must "
    "stay the end of the outer entry's text, and when that end moves its pointers (from --pointers) follow it.";
inline constexpr const char* kScript = "the translation script";
inline constexpr const char* kRangeLow = "lowest double-byte code searched for a tag";
inline constexpr const char* kRangeHigh = "highest double-byte code searched for a tag";
inline constexpr const char* kScriptHexBytes = "read {$XX} as the byte XX (hexadecimal), unless a filter list names that tag";
inline constexpr const char* kScriptPointers =
    "pointer list: an entry longer than its original length moves into the free space and every pointer of the "
    "list that points at it is rewritten";
inline constexpr const char* kFree = "free space START-END, hexadecimal, both included (repeatable)";
inline constexpr const char* kAlign = "moved entries start at multiples of this";
inline constexpr const char* kCheckAll = "report every failing entry, in script order, then the count (共N条，K条出错)";
inline constexpr const char* kLineBreak = "the tag, as written inside {}, that starts a new line in the game";
inline constexpr const char* kPageBreak = "the tag, as written inside {}, that starts a new box";
inline constexpr const char* kMaxChars = "characters per line (a tag or marker counts 0)";
inline constexpr const char* kMaxLines = "lines per box (a --page-break tag starts a new box)";
inline constexpr const char* kWidths = "pixel widths of the codes: CODE=PIXELS lines, codes as in the tables";
inline constexpr const char* kMaxWidth = "pixels per line, by the --widths file";
inline constexpr const char* kDefaultWidth = "the width of every code --widths does not name";
inline constexpr const char* kCheckRom = "the ROM image, read to follow the pointers of --pointers";
inline constexpr const char* kImportRom = "the ROM image, changed in place unless --out is given";
inline constexpr const char* kFill = "fill value: 2 or 4 hexadecimal digits";
inline constexpr const char* kImportOut = "write the result to this file and leave the ROM as it is";

// ---- charset
inline constexpr const char* kCharset = "Make a code table (and a font sheet) for the characters of a translation.";
inline constexpr const char* kCharsetDetails =
    "Counts the characters of a translation and gives each a double-byte code: writes a new code table (GBK, "
    "CR LF, CODE=字 in code order) for importing the translation, and optionally the added characters and a font "
    "sheet to draw them into the game's font.";
inline constexpr const char* kCharsetMode =
    "ROM mode as for check: with single or both, text the single-byte table covers needs no double-byte code";
inline constexpr const char* kCharsetTable1 = "single-byte code table (mode single or both)";
inline constexpr const char* kCharsetTable2 =
    "double-byte code table, accepted as for check so the same table options serve every command; it does not "
    "change the new table (the game's codes are kept with --keep)";
inline constexpr const char* kCharsetFilter1 =
    "file holding the single-byte filter list, read as for check; it does not change the new table";
inline constexpr const char* kCharsetFilter2 =
    "file holding the double-byte filter list: its codes are never given to a character";
inline constexpr const char* kKeep =
    "the game's double-byte code table: characters it holds keep their codes, and no new character takes any code "
    "it uses";
inline constexpr const char* kStartCode = "first code for new characters, hexadecimal (e.g. 8140)";
inline constexpr const char* kCharsetOut = "the new double-byte code table to write";
inline constexpr const char* kSkip = "codes START-END (hexadecimal) no new character takes; repeatable";
inline constexpr const char* kTrail =
    "second bytes START-END a new code may have (e.g. --trail 40-7E --trail 80-FE); repeatable; default 00-FF";
inline constexpr const char* kOrder =
    "which new character gets the lower code: appearance (first use), frequency (most used first) or gbk (GBK code "
    "order)";
inline constexpr const char* kChars = "also write the added characters, in code order, as one GBK line";
inline constexpr const char* kSheet =
    "also draw a font sheet (PNG, 1 bit, black on white): one cell per code from --start-code on, in code order; a "
    "code without a character leaves its cell empty";
inline constexpr const char* kGlyph = "cell size of the sheet in pixels, W×H or WxH (e.g. 12x12)";
inline constexpr const char* kFont = "font file the sheet is drawn with (TrueType, OpenType, …)";
inline constexpr const char* kColumns = "cells per row of the sheet";
inline constexpr const char* kCharsetEncoding =
    "encoding of the script, the code tables, the filter list and the files written: gbk, or utf-8 (the new table "
    "may then hold characters GBK cannot)";
inline constexpr const char* kSheetNeeds = "--sheet needs --glyph and --font";

// ---- pointers
inline constexpr const char* kPointers = "Make pointer lists: list a pointer table, or find the pointers to records.";
inline constexpr const char* kPointerTable = "List the pointers of a table of N pointers.";
inline constexpr const char* kPointerTableDetails =
    "Lines ADDRESS,SIZE,ORDER,BASE[,MAP][,-]. The target of a pointer is its value minus BASE, through MAP: linear "
    "(the offset), lorom ((bank & 7F) * 8000 + address - 8000), hirom (address & 3FFFFF), gb:N (4000-7FFF is bank "
    "N), nes:N (after a 16-byte header, 8000-BFFF is bank N and C000-FFFF the last bank). A split table "
    "(--split-high, and --split-bank) lists each pointer by its places, LOW/HIGH[/BANK]. A pointer whose value is "
    "--null is listed with a last field - and skipped by export, check and import.";
inline constexpr const char* kPointerScan = "Find every place in the ROM that points at the address of a record of the script.";
inline constexpr const char* kPointerScanDetails =
    "Places that form a table (at least --min-run pointers one stride apart, the stride from the pointer size up "
    "to --max-stride, pointing at two or more records) are listed first, each table under a comment line; the "
    "places alone follow under a comment line of their own, unless --tables-only.";
inline constexpr const char* kPointerRom = "ROM image";
inline constexpr const char* kPointerSize =
    "pointer size in bytes: 2, 3 or 4; required, except for a split table, whose size is the number of its tables";
inline constexpr const char* kPointerOrder = "byte order: LE or BE; required, except for a split table (LE)";
inline constexpr const char* kPointerBase =
    "hexadecimal value of a pointer to address 0, - in front when negative (write --base=-HEX)";
inline constexpr const char* kPointerMap =
    "how addresses become file offsets: linear (default), lorom, hirom, gb:BANK or nes:BANK (BANK hexadecimal; "
    "the README gives each rule)";
inline constexpr const char* kSplitHigh = "a split table: the hexadecimal offset of the high bytes' table (the low bytes are at --at)";
inline constexpr const char* kSplitBank = "a split table: the hexadecimal offset of the bank bytes' table";
inline constexpr const char* kNullValue =
    "a pointer holding this hexadecimal value is a null entry, listed with - to be skipped; none: no value is";
inline constexpr const char* kMinRun = "pointers one stride apart that make a table (at least 2)";
inline constexpr const char* kMaxStride = "the longest step between a table's pointers, in bytes (at most 256)";
inline constexpr const char* kTablesOnly = "list only the pointers that are part of a table";
inline constexpr const char* kPointerOut = "pointer list file (default: standard output)";
inline constexpr const char* kPointerAt = "hexadecimal offset of the table's first pointer";
inline constexpr const char* kPointerCount = "number of pointers in the table";
inline constexpr const char* kPointerStride = "bytes from one pointer to the next (default: the size; 1 for a split table)";
inline constexpr const char* kPointerScript = "script whose record addresses are looked for";
inline constexpr const char* kPointerAlign = "look only at offsets that are multiples of this";

// ---- convert-table
inline constexpr const char* kConvertTable = "Convert a .tbl code table made for other tools.";
inline constexpr const char* kConvertTableDetails =
    "Writes the single-byte and double-byte tables and filter lists (GBK or, with --out-encoding utf-8, UTF-8; "
    "CR LF). Lines: XX=text and XXXX=text (characters), /XX[=label] (end code -> over), *XX[=label] (line break -> "
    "tag 换行 or the label), $XX=label,N (code followed by N parameter bytes -> turnN); #comments, blank lines, @id "
    "and -name lines are dropped. Table switches (!), bit entries (%), keys of three or more bytes or of an odd "
    "number of digits, a second @id and (in GBK) characters GBK cannot hold are refused with their line number, "
    "and then nothing is written.";
inline constexpr const char* kConvertSource = "the table to convert";
inline constexpr const char* kConvertEncoding =
    "encoding of the table: utf-8 or gbk (default: UTF-8 when it starts with a byte-order mark or is valid UTF-8 "
    "with non-ASCII text, otherwise GBK)";
inline constexpr const char* kConvertOutEncoding =
    "encoding of the four files written: gbk, or utf-8 (without a byte-order mark) to keep characters GBK cannot "
    "hold, for export, check and import with --encoding utf-8";
inline constexpr const char* kConvertTable1 = "single-byte code table to write";
inline constexpr const char* kConvertTable2 = "double-byte code table to write";
inline constexpr const char* kConvertFilter1 = "single-byte filter list to write";
inline constexpr const char* kConvertFilter2 = "double-byte filter list to write";

// ---- the window's own command line
inline constexpr const char* kWindow = "Quillmere: export, check and import the text of ROM images.";
inline constexpr const char* kWindowDataDir =
    "keep records and filter lists in DIR instead of data/ beside the program (or the user's data folder when the "
    "program's folder is not writable)";

}  // namespace quillmere::cli_help
