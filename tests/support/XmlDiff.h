#pragma once

#include <string>
#include <vector>

namespace tess::test {

/// Where two XML documents differ, one line per difference: the path of the element (with its
/// N or ID attribute, as Visio's parts identify elements) and what differs there.
std::vector<std::string> XmlDifferences(const std::string& before, const std::string& after);

/// The parts of two packages whose bytes differ, in name order; a part only one package has counts.
std::vector<std::string> DifferentParts(const std::string& beforePackage,
                                        const std::string& afterPackage);

}  // namespace tess::test
