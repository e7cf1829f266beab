#include "support/Samples.h"

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <stdexcept>

#include "platform/visio/FileNames.h"

namespace tess::test {

std::string SamplePath(const std::string& fileName) {
    return std::string(TESSALINE_TEST_DATA_DIR) + "/samples/" + fileName;
}

std::vector<std::string> SampleFiles() {
    std::vector<std::string> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(TESSALINE_TEST_DATA_DIR) + "/samples")) {
        const std::string extension = entry.path().extension().string();
        if (extension.size() == 5 && extension.rfind(".vs", 0) == 0)
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<ZipEntry> ReadZip(const std::string& path) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive) throw std::runtime_error("cannot open " + path);
    std::vector<ZipEntry> entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        std::string content(static_cast<size_t>(stat.size), '\0');
        if (file) {
            zip_fread(file, content.data(), stat.size);
            zip_fclose(file);
        }
        entries.push_back({stat.name, std::move(content)});
    }
    zip_close(archive);
    return entries;
}

void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) throw std::runtime_error("cannot write " + path);
    for (const ZipEntry& entry : entries) {
        zip_source_t* source =
            zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
        if (!source || zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            throw std::runtime_error("cannot add " + entry.name + " to " + path);
        }
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        throw std::runtime_error("cannot finish " + path);
    }
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(PathOf(path), std::ios::binary) << bytes;
}

void CorruptChecksum(const std::string& package, const std::string& part) {
    std::string bytes = FileBytes(package);
    // The local header holds the CRC at 14 and the name at 30; the central directory's, at 16
    // and 46. Both name lengths are 16-bit little-endian, at 26 and 28.
    const auto spoil = [&](std::string_view signature, size_t crc, size_t nameLength, size_t name) {
        for (size_t at = bytes.find(signature); at != std::string::npos;
             at = bytes.find(signature, at + 1)) {
            const size_t length = static_cast<unsigned char>(bytes[at + nameLength]) |
                                  static_cast<unsigned char>(bytes[at + nameLength + 1]) << 8;
            if (bytes.compare(at + name, length, part) == 0 && length == part.size())
                bytes[at + crc] = static_cast<char>(bytes[at + crc] ^ 0x5A);
        }
    };
    spoil(std::string_view("PK\x03\x04", 4), 14, 26, 30);
    spoil(std::string_view("PK\x01\x02", 4), 16, 28, 46);
    WriteBytes(package, bytes);
}

std::vector<std::string> FormulasInPackage(const std::string& path) {
    std::vector<std::string> formulas;
    for (const ZipEntry& entry : ReadZip(path)) {
        if (entry.name.rfind("visio/", 0) != 0 || entry.name.find(".xml") == std::string::npos)
            continue;
        pugi::xml_document document;
        if (!document.load_buffer(entry.content.data(), entry.content.size())) continue;
        for (const pugi::xpath_node& cell : document.select_nodes("//*[local-name()='Cell'][@F]")) {
            const std::string formula = cell.node().attribute("F").value();
            if (formula != "Inh" && formula != "No Formula") formulas.push_back(formula);
        }
    }
    return formulas;
}

}  // namespace tess::test
