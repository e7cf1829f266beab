#pragma once

#include <filesystem>
#include <string>

namespace tess::test {

/// A folder of its own under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path(const std::string& fileName) const { return (m_root / fileName).string(); }
    const std::filesystem::path& Root() const { return m_root; }

private:
    std::filesystem::path m_root;
};

}  // namespace tess::test
