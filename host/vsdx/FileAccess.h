#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The operating system's side of reading and replacing drawing files: reading a file whole while
// holding it against other runs, telling whether a file changed since, and putting a new file in
// an old one's place as the old one was (through its links, with its permissions).
namespace tess::vsdx {

/// What tells one version of a file from another.
struct FileVersion {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileVersion&) const = default;
};

/// A file read whole. When held, no other run of this program can hold it until this object
/// goes: a run that saves a file over itself holds it from reading to saving.
class ReadFile {
public:
    /// Reads the file at path; throws kNotFound or kTooLarge, naming it, and kLocked when asked
    /// to hold a file another run holds.
    ReadFile(const std::string& path, uint64_t limit, bool hold);
    ~ReadFile();
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;

    std::string& Bytes() { return m_bytes; }
    const FileVersion& Version() const { return m_version; }

private:
    struct Hold;  // what keeps other runs off the file
    std::unique_ptr<Hold> m_hold;
    std::string m_bytes;
    FileVersion m_version;
};

/// The version of the file at path now; none when there is no file.
std::optional<FileVersion> VersionAt(const std::string& path);

/// The file a write to path changes: symbolic links followed to their target.
std::string WriteTargetOf(const std::string& path);

/// Puts the file written in target's place, giving it target's permissions and, where this user
/// may, its owner and group; throws kWriteFailed, naming target, when target cannot be replaced.
void PutInPlace(const std::string& written, const std::string& target);

}  // namespace tess::vsdx
