// Windows files, by their UTF-16 names: read through one handle, so that the bytes and the
// version are of one file even when another program replaces it meanwhile. A file is held by a
// named semaphore of its identity (volume and file index) rather than by the open file: Windows
// does not replace a file that is open, and the run that holds a file saves over it. (A mutex
// would let one thread take the same file twice.) The semaphore goes with the last handle to it,
// so a run that ends without letting go leaves nothing held.
#include <algorithm>
#include <string>
#include <system_error>

#include "host/vsdx/FileAccess.h"
#include "host/vsdx/Package.h"
#include "platform/visio/FileNames.h"
#include "platform/windows/Windows.h"

namespace tess::vsdx {
namespace {

// A run that finds the file it held replaced by the run that held it before reads the new one;
// more replacements than this while it tries are another program's doing.
constexpr int kHoldAttempts = 8;

std::string SystemError(DWORD error = GetLastError()) {
    std::string text = std::system_category().message(static_cast<int>(error));
    while (!text.empty() && (text.back() == '.' || text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

/// A handle closed with its owner.
struct Handle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    explicit Handle(HANDLE opened) : handle(opened) {}
    ~Handle() {
        if (handle != INVALID_HANDLE_VALUE && handle != nullptr) CloseHandle(handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
};

FileVersion VersionOf(const BY_HANDLE_FILE_INFORMATION& info) {
    const auto wide = [](DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; };
    // FILETIME counts hundreds of nanoseconds.
    const uint64_t written =
        wide(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    return {info.dwVolumeSerialNumber, wide(info.nFileIndexHigh, info.nFileIndexLow),
            wide(info.nFileSizeHigh, info.nFileSizeLow), static_cast<int64_t>(written * 100)};
}

HANDLE Open(const std::string& path, DWORD access, DWORD flags) {
    return CreateFileW(PathOf(path).c_str(), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, flags, nullptr);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(PathOf(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

/// The semaphore named for the file, taken while this run holds the file.
struct ReadFile::Hold {
    HANDLE semaphore = nullptr;
    ~Hold() {
        if (!semaphore) return;
        ReleaseSemaphore(semaphore, 1, nullptr);
        CloseHandle(semaphore);
    }

    /// Takes the file of that version; false when another run holds it.
    bool Take(const FileVersion& version) {
        const std::wstring name = L"Local\\tessaline-file-" + std::to_wstring(version.device) +
                                  L"-" + std::to_wstring(version.inode);
        semaphore = CreateSemaphoreW(nullptr, 1, 1, name.c_str());
        if (semaphore && WaitForSingleObject(semaphore, 0) == WAIT_OBJECT_0) return true;
        if (semaphore) CloseHandle(semaphore);
        semaphore = nullptr;
        return false;
    }
};

ReadFile::ReadFile(const std::string& path, uint64_t limit, bool hold) {
    BY_HANDLE_FILE_INFORMATION info{};
    std::unique_ptr<Handle> file;
    std::unique_ptr<Hold> held;
    for (int attempt = 0;; ++attempt) {
        file = std::make_unique<Handle>(Open(path, GENERIC_READ, FILE_ATTRIBUTE_NORMAL));
        if (!file->Valid()) {
            const DWORD error = GetLastError();
            if (IsFolder(path)) Fail(packerr::kNotFound, path, "cannot be read: it is not a file");
            Fail(packerr::kNotFound, path, "cannot be read: " + SystemError(error));
        }
        if (!GetFileInformationByHandle(file->handle, &info))
            Fail(packerr::kNotFound, path, "cannot be read: " + SystemError());
        held = hold ? std::make_unique<Hold>() : nullptr;
        if (held && !held->Take(VersionOf(info)))
            Fail(packerr::kLocked, path,
                 "is being saved by another run of this program; try again when it is done");
        // The run that held the file before may have put a new one in its place: read that.
        if (!hold || attempt + 1 >= kHoldAttempts || VersionAt(path) == VersionOf(info)) break;
    }
    m_version = VersionOf(info);
    if (GetFileType(file->handle) != FILE_TYPE_DISK)
        Fail(packerr::kNotFound, path, "cannot be read: it is not a file");
    if (m_version.size > limit)
        Fail(packerr::kTooLarge, path, "is larger than any drawing this program opens");
    m_bytes.resize(static_cast<size_t>(m_version.size));
    size_t done = 0;
    while (done < m_bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(m_bytes.size() - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(file->handle, m_bytes.data() + done, chunk, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    if (done != m_bytes.size()) Fail(packerr::kNotFound, path, "could not be read completely");
    m_hold = std::move(held);
}

ReadFile::~ReadFile() = default;

std::optional<FileVersion> VersionAt(const std::string& path) {
    // Asking for no access opens even a file another program keeps from readers.
    const Handle file(Open(path, 0, FILE_FLAG_BACKUP_SEMANTICS));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.Valid() || !GetFileInformationByHandle(file.handle, &info)) return std::nullopt;
    return VersionOf(info);
}

void PutInPlace(const std::string& written, const std::string& target) {
    const std::wstring from = PathOf(written).wstring();
    const std::wstring to = PathOf(target).wstring();
    // Replacing keeps the old file's attributes, security and creation time; where there is no
    // old file the new one is moved into place. A failure leaves the target as it was.
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        Fail(packerr::kWriteFailed, target, "cannot be replaced (it is a folder)");
    const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
    // Windows carries these over itself; Wine does not, so the new file is given them first.
    constexpr DWORD kCarried = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (replacing && (attributes & kCarried))
        SetFileAttributesW(from.c_str(), attributes & kCarried);
    const bool done = replacing ? ReplaceFileW(to.c_str(), from.c_str(), nullptr,
                                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                                : MoveFileExW(from.c_str(), to.c_str(),
                                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!done) Fail(packerr::kWriteFailed, target, "cannot be replaced (" + SystemError() + ")");
}

}  // namespace tess::vsdx
