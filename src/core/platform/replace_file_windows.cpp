#include <algorithm>
#include <random>
#include <string>
#include <utility>

#include "core/platform/replace_file.hpp"
#include "core/platform/windows_api.hpp"

namespace quillmere::platform {
namespace {

namespace fs = std::filesystem;
using windows::handle_of;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A link (a symbolic link or a junction) is replaced in the file it leads
// to, as on POSIX: the path the system opens through it. Anything else, and
// a link to nothing, is its own target.
fs::path link_target(const fs::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return path;
    const HANDLE file =
        ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return path;
    std::wstring final_path(MAX_PATH, L'\0');
    DWORD length = ::GetFinalPathNameByHandleW(file, final_path.data(), static_cast<DWORD>(final_path.size()), 0);
    if (length >= final_path.size()) {
        final_path.resize(length + 1);
        length = ::GetFinalPathNameByHandleW(file, final_path.data(), static_cast<DWORD>(final_path.size()), 0);
    }
    ::CloseHandle(file);
    if (length == 0 || length >= final_path.size()) return {};
    final_path.resize(length);
    return fs::path(final_path);
}

// Whether the file exists; `known` is false when that cannot be told (its
// folder is missing, say).
bool exists(const fs::path& target, bool& known) {
    known = true;
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = ::GetLastError();
    known = error == ERROR_FILE_NOT_FOUND;
    return false;
}

// Whether it is a regular file the caller may write: a read-only file keeps
// its content, even though the folder would let it be replaced.
bool may_write(const fs::path& target) {
    const HANDLE file = ::CreateFileW(target.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool regular = ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &information) &&
                         (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    ::CloseHandle(file);
    return regular;
}

// Creates a new file beside `target`, written through to the disk, named
// so that it is seen for what it is if a kill leaves it.
HANDLE create_temporary(const fs::path& target, fs::path& temporary) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = L".";
        name += target.filename().wstring();
        name += L'.';
        name += std::to_wstring(random());
        name += L".tmp";
        temporary = target.parent_path() / name;
        const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool move_into_place(const fs::path& temporary, const fs::path& target) {
    return ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

Expected<FileReplacement, FileError> FileReplacement::begin(const fs::path& path, ReplaceHooks hooks) {
    if (path.empty()) return unexpected(FileError::cannot_open);
    const fs::path target = link_target(path);
    if (target.empty() || target.filename().empty()) return unexpected(FileError::cannot_open);

    bool known = false;
    const bool replaces = exists(target, known);
    if (!known) return unexpected(FileError::cannot_open);
    if (replaces && !may_write(target)) return unexpected(FileError::cannot_open);

    FileReplacement replacement;
    const HANDLE file = create_temporary(target, replacement.temporary_);
    if (file == INVALID_HANDLE_VALUE) return unexpected(FileError::cannot_open);
    replacement.handle_ = windows::value_of(file);
    replacement.target_ = target;
    replacement.replaces_ = replaces;
    replacement.hooks_ = std::move(hooks);
    return replacement;
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)), replaces_(other.replaces_), owner_(other.owner_),
      group_(other.group_), mode_(other.mode_), hooks_(std::move(other.hooks_)), written_(other.written_),
      failed_(other.failed_) {
    other.temporary_.clear();
}

FileReplacement& FileReplacement::operator=(FileReplacement&& other) noexcept {
    if (this != &other) {
        discard();
        handle_ = std::exchange(other.handle_, -1);
        target_ = std::move(other.target_);
        temporary_ = std::move(other.temporary_);
        other.temporary_.clear();
        replaces_ = other.replaces_;
        hooks_ = std::move(other.hooks_);
        written_ = other.written_;
        failed_ = other.failed_;
    }
    return *this;
}

FileReplacement::~FileReplacement() { discard(); }

// The temporary file goes, unless it became the target.
void FileReplacement::discard() {
    if (windows::is_open(handle_)) ::CloseHandle(handle_of(std::exchange(handle_, -1)));
    if (!temporary_.empty()) ::DeleteFileW(temporary_.c_str());
    temporary_.clear();
}

Expected<Done, FileError> FileReplacement::write(std::span<const std::uint8_t> bytes) {
    while (!failed_ && !bytes.empty()) {
        std::size_t chunk = std::min<std::size_t>(bytes.size(), windows::kLargestPiece);
        if (hooks_.fail_after_bytes) {
            // A full disk, as the test asks for it.
            const std::size_t allowed = *hooks_.fail_after_bytes > written_ ? *hooks_.fail_after_bytes - written_ : 0;
            if (allowed == 0) failed_ = true;
            chunk = std::min(chunk, allowed);
        }
        if (failed_) break;
        DWORD put = 0;
        if (::WriteFile(handle_of(handle_), bytes.data(), static_cast<DWORD>(chunk), &put, nullptr) == 0 || put == 0) {
            failed_ = true;
            break;
        }
        bytes = bytes.subspan(put);
        written_ += put;
    }
    if (failed_ || !windows::is_open(handle_)) return unexpected(FileError::cannot_write);
    return Done{};
}

Expected<Done, FileError> FileReplacement::commit() {
    if (!windows::is_open(handle_)) return unexpected(FileError::cannot_write);
    const HANDLE file = handle_of(std::exchange(handle_, -1));
    bool written = !failed_ && ::FlushFileBuffers(file) != 0;
    written = ::CloseHandle(file) != 0 && written;
    if (!written) {
        discard();
        return unexpected(FileError::cannot_write);
    }
    if (hooks_.before_rename) hooks_.before_rename();
    // ReplaceFileW keeps what the old file had besides its content. Where it
    // fails it may have taken the old file away already (it says so, and
    // then the target is gone): the move then still puts the new content in
    // its place. Only while the target is there is the temporary file
    // dropped; otherwise it is the one copy of the content and stays.
    const bool replaced =
        (replaces_ && ::ReplaceFileW(target_.c_str(), temporary_.c_str(), nullptr,
                                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                                     nullptr) != 0) ||
        move_into_place(temporary_, target_);
    if (!replaced) {
        if (::GetFileAttributesW(target_.c_str()) != INVALID_FILE_ATTRIBUTES) discard();
        temporary_.clear();
        return unexpected(FileError::cannot_write);
    }
    temporary_.clear();
    return Done{};
}

Expected<Done, FileError> replace_file(const fs::path& path, std::span<const std::uint8_t> bytes,
                                       const ReplaceHooks& hooks) {
    auto replacement = FileReplacement::begin(path, hooks);
    if (!replacement) return unexpected(replacement.error());
    if (!replacement->write(bytes)) return unexpected(FileError::cannot_write);
    return replacement->commit();
}

}  // namespace quillmere::platform
