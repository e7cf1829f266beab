#include "support/TempFolder.h"

#include <random>
#include <stdexcept>

namespace tess::test {

TempFolder::TempFolder() {
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate =
            std::filesystem::temp_directory_path() / ("tessaline-test-" + std::to_string(seed()));
        if (std::filesystem::create_directory(candidate)) {
            m_root = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

}  // namespace tess::test
