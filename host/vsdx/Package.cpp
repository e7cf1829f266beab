#include "host/vsdx/Package.h"

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "platform/visio/Error.h"
#include "platform/visio/FileNames.h"

namespace tess::vsdx {
namespace {

constexpr std::string_view kZipMagic = "PK\x03\x04";
constexpr std::string_view kEmptyZipMagic = "PK\x05\x06";
constexpr std::string_view kCompoundFileMagic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

std::string FileName(const std::string& path) {
    return NameOf(PathOf(path).filename());
}

/// A compound (OLE) file holds either a Visio 2003-2010 binary drawing or an encrypted package.
[[noreturn]] void RefuseCompoundFile(const std::string& path, const std::string& bytes) {
    const std::string encrypted = [] {
        std::string utf16;
        for (char c : std::string_view("EncryptedPackage"))
            utf16 += {c, '\0'};
        return utf16;
    }();
    if (bytes.find(encrypted) != std::string::npos) {
        Fail(packerr::kEncrypted, path,
             "is protected with a password; remove the password in Visio and try again");
    }
    Fail(packerr::kLegacyFormat, path,
         "is a Visio binary file (.vsd, .vss, .vst); open it in Visio and save it as .vsdx, .vssx "
         "or .vstx");
}

bool IsSafeEntryName(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string_view::npos ||
        name.find(':') != std::string_view::npos || name.find('\0') != std::string_view::npos) {
        return false;
    }
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = std::min(name.find('/', start), name.size());
        if (name.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

std::string ZipError(zip_t* archive) {
    const char* message = zip_strerror(archive);
    return message ? message : "unknown error";
}

}  // namespace

std::string TemporaryBeside(const std::string& target) {
    std::random_device random;
    const std::filesystem::path path = PathOf(target);
    std::string name(1, '.');
    name += NameOf(path.filename());
    name += '.';
    name += std::to_string(random());
    name += std::to_string(random());
    name += ".tmp";
    return NameOf(path.parent_path() / PathOf(name));
}

Spill::~Spill() {
    if (!m_file.is_open()) return;
    m_file.close();
    std::error_code ignored;
    std::filesystem::remove(PathOf(m_path), ignored);
}

Spill::Span Spill::Append(std::string_view bytes, const std::string& target) {
    if (m_path.empty()) {
        const Span span{m_memory.size(), bytes.size()};
        m_memory += bytes;
        return span;
    }
    if (!m_file.is_open()) m_file.open(PathOf(m_path), std::ios::binary | std::ios::trunc);
    if (!m_file.is_open())
        Fail(packerr::kWriteFailed, target,
             "cannot be written (a working file beside it cannot be made)");
    const Span span{m_size, bytes.size()};
    if (!m_file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
        !m_file.flush()) {
        Fail(packerr::kWriteFailed, target,
             "cannot be written (the disk is full or refuses writing)");
    }
    m_size += bytes.size();
    return span;
}

void Fail(int32_t number, const std::string& path, const std::string& what) {
    Raise(number, "'" + FileName(path) + "' " + what + ".");
}

struct Package::Archive {
    zip_t* zip = nullptr;
    ~Archive() {
        if (zip) zip_discard(zip);
    }
};

Package::Package(Package&&) noexcept = default;
Package& Package::operator=(Package&&) noexcept = default;
Package::~Package() = default;

Package Package::Read(const std::string& path, const Limits& limits, bool hold) {
    Package package;
    package.m_path = path;
    auto file = std::make_unique<ReadFile>(path, limits.fileBytes, hold);
    package.m_version = file->Version();
    package.m_bytes = std::make_shared<std::string>(std::move(file->Bytes()));
    if (hold) package.m_held = std::move(file);
    package.Open(limits);
    return package;
}

Package Package::FromMemory(const std::string& name, std::string bytes, const Limits& limits) {
    if (bytes.size() > limits.fileBytes)
        Fail(packerr::kTooLarge, name, "is too large to be a drawing");
    Package package;
    package.m_path = name;
    package.m_bytes = std::make_shared<std::string>(std::move(bytes));
    package.Open(limits);
    return package;
}

void Package::Open(const Limits& limits) {
    const std::string& path = m_path;
    const std::string& bytes = *m_bytes;
    const std::string_view head = std::string_view(bytes).substr(0, 8);
    if (head == kCompoundFileMagic) RefuseCompoundFile(path, bytes);
    if (head.substr(0, 4) != kZipMagic && head.substr(0, 4) != kEmptyZipMagic) {
        Fail(packerr::kNotAPackage, path, "is not a Visio file (it is not a zip package)");
    }

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source)
        Fail(packerr::kDamaged, path, "cannot be read: " + std::string(zip_error_strerror(&error)));
    m_archive = std::make_unique<Archive>();
    m_archive->zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!m_archive->zip) {
        const std::string message = zip_error_strerror(&error);
        zip_source_free(source);
        zip_error_fini(&error);
        Fail(packerr::kDamaged, path, "is damaged or truncated (" + message + ")");
    }
    zip_error_fini(&error);

    zip_t* zip = m_archive->zip;
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    if (count < 0 || static_cast<uint64_t>(count) > limits.entries) {
        Fail(packerr::kTooLarge, path, "has more parts than any drawing");
    }
    uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat) != 0) {
            Fail(packerr::kDamaged, path, "is damaged (" + ZipError(zip) + ")");
        }
        const std::string name = stat.name ? stat.name : "";
        if (!IsSafeEntryName(name)) {
            Fail(packerr::kUnsafeEntry, path,
                 "holds an entry that points outside the package ('" + name + "')");
        }
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
            Fail(packerr::kEncrypted, path, "has encrypted parts ('" + name + "')");
        }
        if (stat.size > limits.entryBytes) {
            Fail(packerr::kTooLarge, path,
                 "holds a part that inflates far beyond any drawing ('" + name + "')");
        }
        total += stat.size;
        if (total > limits.totalBytes)
            Fail(packerr::kTooLarge, path, "inflates far beyond any drawing");
        m_entries.push_back({name, stat.size, static_cast<uint64_t>(i)});
    }
    m_verified.assign(m_entries.size(), false);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_index.emplace(m_entries[i].name, i).second) {
            Fail(packerr::kDamaged, path, "holds the part '" + m_entries[i].name + "' twice");
        }
    }
}

const Package::Entry* Package::Find(std::string_view name) const {
    const auto found = m_index.find(name);
    return found == m_index.end() ? nullptr : &m_entries[found->second];
}

const Package::Entry& Package::Existing(std::string_view name) const {
    const Entry* entry = Find(name);
    if (!entry) Fail(packerr::kMissingPart, m_path, "lacks its part '" + std::string(name) + "'");
    return *entry;
}

std::string Package::Inflate(std::string_view name) const {
    const Entry& entry = Existing(name);
    std::string content;
    content.reserve(static_cast<size_t>(entry.size));
    Verify(entry, [&](std::string_view piece) { content += piece; });
    return content;
}

void Package::Inflate(std::string_view name,
                      const std::function<void(std::string_view)>& piece) const {
    Verify(Existing(name), piece);
}

void Package::Verify(const Entry& entry,
                     const std::function<void(std::string_view)>& piece) const {
    zip_file_t* file = zip_fopen_index(m_archive->zip, entry.index, 0);
    if (!file) {
        Fail(packerr::kDamaged, m_path,
             "cannot read '" + entry.name + "' (" + ZipError(m_archive->zip) + ")");
    }
    // Reading to the end is what makes libzip compare the checksum. Nothing past the size the
    // directory entry claims is handed on.
    char buffer[1 << 16];
    uint64_t read = 0;
    bool longer = false;
    try {
        for (;;) {
            const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
            if (got <= 0) break;
            read += static_cast<uint64_t>(got);
            if (read > entry.size) {
                longer = true;  // more than its directory entry claims
                break;
            }
            if (piece) piece({buffer, static_cast<size_t>(got)});
        }
    } catch (...) {
        zip_fclose(file);
        throw;
    }
    const std::string fileError = zip_error_strerror(zip_file_get_error(file));
    const bool failed =
        longer || read != entry.size || zip_file_get_error(file)->zip_err != ZIP_ER_OK;
    zip_fclose(file);
    if (failed) {
        Fail(packerr::kDamaged, m_path,
             "is damaged or truncated in '" + entry.name + "' (" + fileError + ")");
    }
    m_verified[static_cast<size_t>(&entry - m_entries.data())] = true;
}

namespace {

/// A new archive to write: a file, or a buffer when the sink is memory (kept past the close,
/// which writes it).
struct OutArchive {
    zip_t* zip = nullptr;
    zip_source_t* memory = nullptr;

    OutArchive(const Package::Sink& sink, const std::string& target) {
        zip_error_t error;
        zip_error_init(&error);
        if (sink.memory) {
            memory = zip_source_buffer_create(nullptr, 0, 0, &error);
            if (memory) {
                zip_source_keep(memory);
                zip = zip_open_from_source(memory, ZIP_TRUNCATE, &error);
                if (!zip) zip_source_free(memory);  // the reference the archive did not take
            }
        } else {
            int code = 0;
            zip = zip_open(sink.file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
            if (!zip) zip_error_set(&error, code, 0);
        }
        if (!zip) {
            const std::string message = zip_error_strerror(&error);
            zip_error_fini(&error);
            if (memory) zip_source_free(memory);
            Fail(packerr::kWriteFailed, target, "cannot be written (" + message + ")");
        }
        zip_error_fini(&error);
    }
    ~OutArchive() {
        if (zip) zip_discard(zip);
        if (memory) zip_source_free(memory);
    }
    OutArchive(const OutArchive&) = delete;
    OutArchive& operator=(const OutArchive&) = delete;

    /// Closes the archive, which writes it; false when that fails (the archive stays open).
    bool Close() {
        if (zip_close(zip) != 0) return false;
        zip = nullptr;
        return true;
    }
    /// The bytes written to memory.
    bool Read(std::string& bytes) {
        zip_stat_t stat;
        if (zip_source_stat(memory, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
            zip_source_open(memory) != 0) {
            return false;
        }
        bytes.resize(static_cast<size_t>(stat.size));
        const zip_int64_t got = zip_source_read(memory, bytes.data(), stat.size);
        zip_source_close(memory);
        return got == static_cast<zip_int64_t>(stat.size);
    }
};

zip_source_t* PartSource(zip_t* out, zip_t* source, const Package::Output& part) {
    if (part.original) return zip_source_zip(out, source, part.original->index, 0, 0, 0);
    if (part.spill && part.spill->Path().empty()) {
        return zip_source_buffer(out, part.spill->Memory().data() + part.span.offset,
                                 part.span.length, 0);
    }
    if (part.spill) {
        return zip_source_file(out, part.spill->Path().c_str(), part.span.offset,
                               static_cast<zip_int64_t>(part.span.length));
    }
    return zip_source_buffer(out, part.content.data(), part.content.size(), 0);
}

void WriteParts(const Package::Sink& sink, const std::string& target,
                const std::vector<Package::Output>& parts, zip_t* source) {
    OutArchive out(sink, target);
    const auto abandon = [&](const std::string& why) {
        if (!sink.memory) {
            zip_discard(out.zip);
            out.zip = nullptr;
            std::error_code ignored;
            std::filesystem::remove(PathOf(sink.file), ignored);
        }
        Fail(packerr::kWriteFailed, target, "cannot be written (" + why + ")");
    };
    for (const auto& part : parts) {
        zip_source_t* data = PartSource(out.zip, source, part);
        if (!data) abandon(ZipError(out.zip));
        const zip_int64_t index =
            zip_file_add(out.zip, part.name.c_str(), data, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(data);
            abandon(ZipError(out.zip));
        }
    }
    if (!out.Close()) abandon(ZipError(out.zip));
    if (sink.memory && !out.Read(*sink.memory)) abandon("the written package cannot be read back");
}

}  // namespace

void Package::Write(const Sink& sink, const std::string& target,
                    const std::vector<Output>& parts) const {
    // Parts are copied compressed as they are, which passes on whatever damage they carry: each
    // is checked first, unless reading it did.
    for (const Output& part : parts) {
        if (part.original && !m_verified[static_cast<size_t>(part.original - m_entries.data())])
            Verify(*part.original);
    }
    WriteParts(sink, target, parts, m_archive->zip);
}

void Package::WriteNew(const Sink& sink, const std::string& target,
                       const std::vector<Output>& parts) {
    WriteParts(sink, target, parts, nullptr);
}

}  // namespace tess::vsdx
