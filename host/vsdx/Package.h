#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/vsdx/FileAccess.h"

// A zip package read whole into memory, with the checks a file from anywhere needs, and the
// atomic writing of a new one beside its target.
namespace tess::vsdx {

/// Errors of reading and writing packages; each description names the file and the fault.
namespace packerr {
inline constexpr int32_t kNotFound = static_cast<int32_t>(0x86DB0B01u);
inline constexpr int32_t kNotAPackage = static_cast<int32_t>(0x86DB0B02u);
inline constexpr int32_t kLegacyFormat = static_cast<int32_t>(0x86DB0B03u);
inline constexpr int32_t kEncrypted = static_cast<int32_t>(0x86DB0B04u);
inline constexpr int32_t kDamaged = static_cast<int32_t>(0x86DB0B05u);
inline constexpr int32_t kUnsafeEntry = static_cast<int32_t>(0x86DB0B06u);
inline constexpr int32_t kTooLarge = static_cast<int32_t>(0x86DB0B07u);
inline constexpr int32_t kMalformed = static_cast<int32_t>(0x86DB0B08u);
inline constexpr int32_t kMissingPart = static_cast<int32_t>(0x86DB0B09u);
inline constexpr int32_t kWriteFailed = static_cast<int32_t>(0x86DB0B0Au);
inline constexpr int32_t kLocked = static_cast<int32_t>(0x86DB0B0Bu);
inline constexpr int32_t kChanged = static_cast<int32_t>(0x86DB0B0Cu);
inline constexpr int32_t kWrongKind = static_cast<int32_t>(0x86DB0B0Du);
}  // namespace packerr

[[noreturn]] void Fail(int32_t number, const std::string& path, const std::string& what);
/// A new file name beside target, hidden and unlikely to be taken.
std::string TemporaryBeside(const std::string& target);

/// Limits no real drawing comes near: they stop zip bombs and absurd files early.
struct Limits {
    uint64_t entryBytes = 512ull << 20;  // one inflated part
    uint64_t totalBytes = 2ull << 30;    // all inflated parts
    uint64_t entries = 100000;
    uint64_t fileBytes = 1ull << 30;  // the package itself
};

/// Parts written before the package is, kept in a file beside its target rather than in memory
/// (a save can write every page again). The file goes with the object. A package written to
/// memory keeps them in memory too (no path).
class Spill {
public:
    explicit Spill(std::string path) : m_path(std::move(path)) {}
    ~Spill();
    Spill(const Spill&) = delete;
    Spill& operator=(const Spill&) = delete;

    struct Span {
        uint64_t offset = 0;
        uint64_t length = 0;
    };
    /// Adds bytes to the file; throws kWriteFailed, naming target, when they cannot be written.
    Span Append(std::string_view bytes, const std::string& target);
    const std::string& Path() const { return m_path; }
    /// What was appended, when kept in memory.
    const std::string& Memory() const { return m_memory; }

private:
    std::string m_path;
    std::string m_memory;
    std::ofstream m_file;
    uint64_t m_size = 0;
};

class Package {
public:
    struct Entry {
        std::string name;
        uint64_t size = 0;   // inflated
        uint64_t index = 0;  // in the original archive
    };

    /// Reads and checks a package: a zip whose entries stay inside it and inflate within limits.
    /// A held package keeps its file from other runs of this program while it lives.
    static Package Read(const std::string& path, const Limits& limits = {}, bool hold = false);
    /// Checks a package held in memory the same way; name stands for its file in messages.
    static Package FromMemory(const std::string& name, std::string bytes,
                              const Limits& limits = {});

    const std::string& Path() const { return m_path; }
    /// The version of the file the package was read from.
    const FileVersion& Version() const { return m_version; }
    const std::vector<Entry>& Entries() const { return m_entries; }
    bool Has(std::string_view name) const { return Find(name) != nullptr; }
    /// The entry of that name; null when there is none.
    const Entry* Find(std::string_view name) const;
    /// The inflated bytes of an entry, checked against its checksum; throws kMissingPart when
    /// there is none and kDamaged when they are not what was stored.
    std::string Inflate(std::string_view name) const;
    /// The same bytes handed on piece by piece as they are inflated, for a part too large to
    /// hold whole; the checks are the same, made once all pieces are handed on.
    void Inflate(std::string_view name, const std::function<void(std::string_view)>& piece) const;

    /// A package being written: parts copied from the original or new, in order.
    struct Output {
        std::string name;
        const Entry* original = nullptr;  // copied byte for byte when set
        std::string content;              // otherwise these bytes,
        const Spill* spill = nullptr;     // or these, when set
        Spill::Span span;
    };
    /// Where a package is written: a new file, or bytes in memory when memory is set.
    struct Sink {
        std::string file;
        std::string* memory = nullptr;
    };
    /// Writes the parts to a new package (target names the package in messages). An original
    /// part is checked against its checksum before it is copied: a damaged one throws kDamaged,
    /// naming it, and no file is left.
    void Write(const Sink& sink, const std::string& target, const std::vector<Output>& parts) const;
    /// Writes a package made only of new parts, the same way.
    static void WriteNew(const Sink& sink, const std::string& target,
                         const std::vector<Output>& parts);

    Package(Package&&) noexcept;
    Package& operator=(Package&&) noexcept;
    ~Package();

private:
    Package() = default;
    /// Reads an entry to its end, which checks it against its checksum, and remembers that it
    /// was; throws kDamaged. Its bytes go to piece when that is given.
    void Verify(const Entry& entry,
                const std::function<void(std::string_view)>& piece = nullptr) const;
    const Entry& Existing(std::string_view name) const;
    /// Opens and checks the package's bytes.
    void Open(const Limits& limits);

    struct Archive;
    std::string m_path;
    FileVersion m_version;
    std::unique_ptr<ReadFile> m_held;
    std::shared_ptr<std::string> m_bytes;
    std::unique_ptr<Archive> m_archive;
    std::vector<Entry> m_entries;
    mutable std::vector<bool> m_verified;                  // by entry
    std::unordered_map<std::string_view, size_t> m_index;  // entries by name
};

}  // namespace tess::vsdx
