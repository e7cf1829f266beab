// The package target's mutator. Random bytes in a zip package almost always break a checksum or
// the deflate stream, and the reader never gets past the zip. So most mutations unpack the
// input, mutate one part's content (an XML part mostly) and pack it again with the right
// checksums; the rest mutate the package's bytes as they are, for the zip layer itself.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "host/vsdx/Package.h"
#include "platform/visio/Error.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

using tess::vsdx::Package;

bool IsXml(const std::string& name) {
    const auto endsWith = [&](const char* suffix) {
        const size_t length = std::strlen(suffix);
        return name.size() >= length && name.compare(name.size() - length, length, suffix) == 0;
    };
    return endsWith(".xml") || endsWith(".rels");
}

/// Mutates the content of one part: an XML part nine times in ten.
void MutatePart(std::vector<Package::Output>& parts, std::minstd_rand& random) {
    std::vector<size_t> xml;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (IsXml(parts[i].name)) xml.push_back(i);
    }
    const size_t chosen =
        !xml.empty() && random() % 10 != 0 ? xml[random() % xml.size()] : random() % parts.size();
    std::string& content = parts[chosen].content;
    const size_t size = content.size();
    content.resize(size + 64 + size / 16);
    content.resize(
        LLVMFuzzerMutate(reinterpret_cast<uint8_t*>(content.data()), size, content.size()));
}

/// The package with one part mutated; none when the bytes are no package the reader takes.
std::optional<std::string> MutatedPackage(const uint8_t* data, size_t size,
                                          std::minstd_rand& random) {
    try {
        const Package package = Package::FromMemory(
            "fuzz.vsdx", std::string(reinterpret_cast<const char*>(data), size));
        if (package.Entries().empty()) return std::nullopt;
        std::vector<Package::Output> parts;
        for (const Package::Entry& entry : package.Entries())
            parts.push_back({entry.name, nullptr, package.Inflate(entry.name)});
        MutatePart(parts, random);
        std::string bytes;
        Package::WriteNew({{}, &bytes}, "fuzz.vsdx", parts);
        return bytes;
    } catch (const tess::Error&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed) {
    std::minstd_rand random(seed);
    if (random() % 8 != 0) {
        if (const std::optional<std::string> bytes = MutatedPackage(data, size, random);
            bytes && bytes->size() <= maxSize) {
            std::memcpy(data, bytes->data(), bytes->size());
            return bytes->size();
        }
    }
    return LLVMFuzzerMutate(data, size, maxSize);
}
