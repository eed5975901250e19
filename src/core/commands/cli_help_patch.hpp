#pragma once
// The command line's help for patches and the diff (part of the message
// catalogue, as cli_help.hpp).

namespace quillmere::cli_help {

inline constexpr const char* kPatch = "Make, apply or describe a release patch (IPS, BPS or UPS).";
inline constexpr const char* kPatchCreate = "Make a patch that turns the original ROM into the modified one.";
inline constexpr const char* kPatchCreateDetails =
    "BPS (the default) reads unchanged stretches in place and copies text found elsewhere in the original or "
    "earlier in the result, so moved and relocated text costs little. IPS holds results of at most 16 MiB; a "
    "shorter result is cut to length after EOF. Standard output: the size, CRC32, MD5 and SHA-1 of the original "
    "and of the modified ROM, for the release notes.";
inline constexpr const char* kPatchApply = "Apply an IPS, BPS or UPS patch to a clean copy of the ROM.";
inline constexpr const char* kPatchApplyDetails =
    "The format is told by the patch's first bytes. A BPS or UPS patch made for another ROM is refused "
    "(补丁不适用于此ROM：CRC32应为X，实为Y), a damaged or cut patch is refused with the offset of the damage in "
    "bytes, counted from 0 (补丁在第N字节处损坏). --out is written only when the whole patch applied and the "
    "checksums matched. Standard output: the size, CRC32, MD5 and SHA-1 of the original and of the result.";
inline constexpr const char* kPatchInfo = "Show a patch's format, sizes, checksums and metadata.";
inline constexpr const char* kPatchInfoDetails =
    "Reads the whole patch: a damaged one is refused with the offset of the damage, a BPS or UPS patch whose own "
    "checksum does not match is shown and reported as damaged (exit status 1).";
inline constexpr const char* kPatchOriginal = "the original ROM";
inline constexpr const char* kPatchModified = "the translated ROM";
inline constexpr const char* kPatchFormat = "patch format: bps or ips";
inline constexpr const char* kPatchOut = "the patch to write";
inline constexpr const char* kPatchMetadata = "BPS only: a file whose bytes the patch carries as its metadata";
inline constexpr const char* kPatchFile = "the patch";
inline constexpr const char* kPatchResult = "the patched ROM to write (never the original)";
inline constexpr const char* kIgnoreChecksum =
    "apply even when a checksum does not match, naming each on standard error";

inline constexpr const char* kDiff = "List what changed between two ROM images.";
inline constexpr const char* kDiffDetails =
    "One line per changed range on standard output: START-END N字节 (hexadecimal, both included; N changed "
    "bytes), after the checksums of both images. With --script, --pointers or --free each range is named by what "
    "explains it: a record of the script over its original length (ADDRESS行), a pointer of the list (指针ADDRESS) "
    "or a free block (空闲区START-END), all the changed bytes of one of them on one line; a change nothing "
    "explains is listed as 未说明的改动：START-END and the exit status is 1. After import --out, this checks that "
    "the import changed only what the script and the pointer list explain.";
inline constexpr const char* kDiffOriginal = "the original ROM";
inline constexpr const char* kDiffModified = "the changed ROM";
inline constexpr const char* kDiffScript = "the translation script that was imported";
inline constexpr const char* kDiffPointers = "the pointer list the import rewrote";
inline constexpr const char* kDiffFree = "a free block START-END the import moved entries into (repeatable)";

}  // namespace quillmere::cli_help
