#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formula/Evaluate.h"

// How the file format names sections and row types, and how it writes values.
namespace tess::vsdx {

inline constexpr const char* kVisioNamespace =
    "http://schemas.microsoft.com/office/visio/2012/main";
inline constexpr const char* kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

/// What a file name's extension makes of a package: the kind its main part's content type
/// names, and whether it may hold macros.
struct PackageKind {
    std::string_view extension;
    std::string_view kind;
    bool macros;
    std::string ContentType() const;
    /// The kind of the same package that may hold macros.
    const PackageKind& WithMacros() const;
};
/// The kind a file name gives a package (case aside); null for a name no Visio package has.
const PackageKind* PackageKindOf(std::string_view path);

/// The section a Section element's N names (Geometry sections also need IX); -1 when unknown.
int16_t SectionFromXml(std::string_view name, int ix);
/// The N of a section's element.
std::string_view SectionXmlName(int16_t section);
/// Row tags of Geometry rows from and to the T attribute; 0 and nullptr when unknown.
int16_t RowTagFromXml(std::string_view type);
const char* RowTagXmlName(int16_t tag);

/// Units as the model keeps them with each cell: a code for each U attribute value (0: none).
uint8_t UnitCode(std::string_view unit);
std::string_view UnitName(uint8_t code);

/// The value a V attribute holds, given its unit U and error E attributes.
formula::Value ValueFromXml(std::string_view v, std::string_view unit, std::string_view error);
/// A formula that gives the value a bare V attribute holds, in the unit U names.
std::string FormulaFromXmlValue(std::string_view v, std::string_view unit);
/// A value as a V attribute writes it (a value the model cannot know, as Visio writes a themed
/// one).
std::string XmlValueText(const formula::Value& value);

}  // namespace tess::vsdx
