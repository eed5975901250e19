#pragma once
// The command line's help of exchange export and exchange import. Part of
// the message catalogue.

namespace quillmere::cli_help {

inline constexpr const char* kExchange = "Carry a script to PO, CSV or ParaTranz JSON files and translations back.";

inline constexpr const char* kExchangeExport = "Write a script's records as units of a PO, CSV or JSON file.";
inline constexpr const char* kExchangeExportDetails =
    "One unit per record of --script, in its order: the key is the record's ADDRESS (PO msgctxt, CSV column "
    "address, JSON key), the source its TEXT with tags and markers as written, the target the TEXT of the same "
    "ADDRESS in --translation (else empty), and a note for the translator gives the byte count and the limits "
    "of the limit options (PO #. comment, CSV column comment, JSON context), e.g. 长度：12字节. PO: UTF-8 with a "
    "header entry. CSV: RFC 4180, header row address,length,source,target,comment, UTF-8 with a byte-order mark "
    "(or GBK). JSON: an array of {\"key\",\"original\",\"translation\",\"context\"} objects, UTF-8. The table "
    "options of check are accepted as they are, and read only to check --widths when --max-width is given. Every "
    "problem of the scripts is listed, one line each, and then nothing is written.";
inline constexpr const char* kExchangeImport = "Write a translation script from a translated PO, CSV or JSON file.";
inline constexpr const char* kExchangeImportDetails =
    "Writes --out with the records of --script in its order (ADDRESS,LENGTH,TEXT, LENGTH from --script), TEXT "
    "the unit's target, or the record's own text when the target is empty or the unit missing; check and import "
    "take it as it is. Refused, with every problem listed one line each and nothing written: a malformed line "
    "(第N行格式错误; for CSV also a row with another number of fields than the header), a key not in --script "
    "(ADDRESS不在原文中), a key twice (ADDRESS出现了两次), a source that no longer matches (ADDRESS的原文已改变), a "
    "target with a carriage return, a character GBK cannot hold when writing GBK, and with --require-all every "
    "record left untranslated (ADDRESS未翻译).";

inline constexpr const char* kExchangeScript = "the original script: its records and their order";
inline constexpr const char* kExchangeTranslation = "a translation script: its texts become the targets, by ADDRESS";
inline constexpr const char* kExchangeFormat = "file format: po, csv or json";
inline constexpr const char* kExchangeExportOut = "the exchange file to write";
inline constexpr const char* kExchangeCsvEncoding =
    "encoding of a CSV file: utf-8 (with a byte-order mark) or gbk, for old spreadsheets";
inline constexpr const char* kExchangeExportEncoding =
    "encoding of the scripts read: gbk (a file that starts with a UTF-8 byte-order mark is read as UTF-8) or utf-8";
inline constexpr const char* kExchangeFrom = "the translated exchange file";
inline constexpr const char* kExchangeImportOut = "the translation script to write";
inline constexpr const char* kExchangeRequireAll = "refuse when a record has no translation, and list them";
inline constexpr const char* kExchangeUseFuzzy = "take the translations of PO entries marked fuzzy (else they count as untranslated)";
inline constexpr const char* kExchangeCsvFallback =
    "how a CSV file is read that neither starts with a byte-order mark nor is valid UTF-8";
inline constexpr const char* kExchangeImportEncoding =
    "encoding of --script and of the script written: gbk (CR LF) or utf-8 (without a byte-order mark)";

}  // namespace quillmere::cli_help
