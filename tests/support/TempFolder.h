#pragma once

#include <filesystem>
#include <string>

#include "platform/visio/FileNames.h"

namespace tess::test {

/// A folder of its own under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    /// The path of a file in the folder; names are UTF-8, as everywhere in the program.
    std::string Path(const std::string& fileName) const {
        return NameOf(m_root / PathOf(fileName));
    }
    const std::filesystem::path& Root() const { return m_root; }

private:
    std::filesystem::path m_root;
};

}  // namespace tess::test
