// POSIX files: read through one descriptor, so that the bytes, the version and the lock are
// all of one file even when another program replaces it meanwhile.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/vsdx/FileAccess.h"
#include "host/vsdx/Package.h"

namespace tess::vsdx {
namespace {

FileVersion VersionOf(const struct stat& status) {
    return {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino),
            static_cast<uint64_t>(status.st_size),
            static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

// A run that finds the file it locked replaced by the run that held it before reads the new
// one; more replacements than this while it tries are another program's doing.
constexpr int kLockAttempts = 8;

std::string SystemError() {
    return std::strerror(errno);
}

}  // namespace

/// The open file; its lock goes when it is closed.
struct ReadFile::Hold {
    int descriptor = -1;
    explicit Hold(int opened) : descriptor(opened) {}
    ~Hold() {
        if (descriptor >= 0) ::close(descriptor);
    }
};

ReadFile::ReadFile(const std::string& path, uint64_t limit, bool hold) {
    struct stat status {};
    std::unique_ptr<Hold> file;
    for (int attempt = 0;; ++attempt) {
        file = std::make_unique<Hold>(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (file->descriptor < 0)
            Fail(packerr::kNotFound, path, "cannot be read: " + SystemError());
        if (hold && ::flock(file->descriptor, LOCK_EX | LOCK_NB) != 0)
            Fail(packerr::kLocked, path,
                 "is being saved by another run of this program; try again when it is done");
        if (::fstat(file->descriptor, &status) != 0)
            Fail(packerr::kNotFound, path, "cannot be read: " + SystemError());
        // The run that held the file before may have put a new one in its place: read that.
        if (!hold || attempt + 1 >= kLockAttempts || VersionAt(path) == VersionOf(status)) break;
    }
    m_version = VersionOf(status);
    if (!S_ISREG(status.st_mode))
        Fail(packerr::kNotFound, path, "cannot be read: it is not a file");
    if (static_cast<uint64_t>(status.st_size) > limit)
        Fail(packerr::kTooLarge, path, "is larger than any drawing this program opens");
    m_bytes.resize(static_cast<size_t>(status.st_size));
    size_t done = 0;
    while (done < m_bytes.size()) {
        const ssize_t got = ::read(file->descriptor, m_bytes.data() + done, m_bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    if (done != m_bytes.size()) Fail(packerr::kNotFound, path, "could not be read completely");
    if (hold) m_hold = std::move(file);
}

ReadFile::~ReadFile() = default;

std::optional<FileVersion> VersionAt(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return VersionOf(status);
}

namespace {

/// Gives the file written the permissions and, where this user may, the owner and group of
/// target; nothing when target does not exist.
void KeepAttributes(const std::string& written, const std::string& target) {
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0) return;
    // Another owner's file stays theirs, and its group, where the system lets this user say so;
    // where it does not, the permissions below still keep it from readers it was closed to.
    if (::chown(written.c_str(), status.st_uid, status.st_gid) != 0 &&
        ::chown(written.c_str(), static_cast<uid_t>(-1), status.st_gid) != 0) {
        // Neither: the file is this user's, as any file this user writes.
    }
    if (::chmod(written.c_str(), status.st_mode & 07777) != 0)
        Fail(packerr::kWriteFailed, target,
             "cannot be replaced keeping its permissions: " + SystemError());
}

}  // namespace

void PutInPlace(const std::string& written, const std::string& target) {
    KeepAttributes(written, target);
    if (::rename(written.c_str(), target.c_str()) != 0)
        Fail(packerr::kWriteFailed, target, "cannot be replaced (" + SystemError() + ")");
}

}  // namespace tess::vsdx
