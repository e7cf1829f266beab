#pragma once

#include <string>
#include <vector>

namespace tess::test {

/// The real drawings and stencils in tests/data/samples, as full paths.
std::vector<std::string> SampleFiles();
std::string SamplePath(const std::string& fileName);

/// The entries of a zip package: name and inflated content.
struct ZipEntry {
    std::string name;
    std::string content;
};
std::vector<ZipEntry> ReadZip(const std::string& path);
/// Writes a zip package of the entries, compressed, in order.
void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);

/// A file's bytes, and a file written with bytes.
std::string FileBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

/// Spoils the stored checksum of a package's part (in its local header and in the central
/// directory), as damage on the way would: the part still inflates, to bytes that fail the check.
void CorruptChecksum(const std::string& package, const std::string& part);

/// Every formula (F attribute of a Cell) written in the XML parts of a package, except the
/// markers "Inh" (inherited) and "No Formula".
std::vector<std::string> FormulasInPackage(const std::string& path);

}  // namespace tess::test
