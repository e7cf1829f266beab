#pragma once

#include <filesystem>
#include <string>

// File names as the program holds them, in UTF-8, made paths of the file system and back.
// (Windows reads a narrow name in its own code page, not UTF-8; std::filesystem does the same
// with std::string there.)
namespace tess {

std::filesystem::path PathOf(const std::string& name);
std::string NameOf(const std::filesystem::path& path);

}  // namespace tess
