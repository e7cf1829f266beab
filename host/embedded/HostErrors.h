#pragma once

#include <cstdint>
#include <string>

// The errors the embedded model raises, numbered in the range Visio's own automation errors
// use (facility 0x6DB, severity bit set), with descriptions in Visio's manner. Visio does not
// document the number of each fault; these stay fixed so that callers and tests can rely on them.
namespace tess::embedded::hosterr {

inline constexpr int32_t Code(uint32_t low) {
    return static_cast<int32_t>(0x86DB0000u | low);
}

inline constexpr int32_t kBadFormula = Code(0x0A41);     // #NAME?: a name that does not exist
inline constexpr int32_t kFormulaSyntax = Code(0x0A42);  // the formula does not parse
inline constexpr int32_t kNoSuchCell = Code(0x0A43);     // cell, row or section does not exist
inline constexpr int32_t kNoSuchObject = Code(0x0A44);   // item not found in a collection
inline constexpr int32_t kObjectDeleted = Code(0x0A45);  // the object no longer exists
inline constexpr int32_t kBadArgument = Code(0x0A46);    // an argument out of range
inline constexpr int32_t kNotAllowed = Code(0x0A47);     // the operation is not allowed here
inline constexpr int32_t kLocked = Code(0x0A48);         // protected by a lock cell
inline constexpr int32_t kUndoScope = Code(0x0A49);      // unbalanced or unknown undo scope
inline constexpr int32_t kInjected = Code(0x0A4F);       // a failure injected by a test

[[noreturn]] void Raise(int32_t number, const std::string& detail = {});
/// The description that goes with an error number of the model.
std::string Describe(int32_t number);

}  // namespace tess::embedded::hosterr
