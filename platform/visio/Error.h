#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tess {

/// The program's one error type. A failing host call, settings call or engine step throws it;
/// a trap (app/ErrorReport.h) catches it at a procedure's boundary and shows its number and
/// description. Host failures carry their HRESULT (negative), settings failures 1000 to 1002,
/// failures of the program itself the small runtime numbers below.
class Error : public std::runtime_error {
public:
    Error(int32_t number, std::string description);

    int32_t Number() const noexcept { return m_number; }
    const std::string& Description() const noexcept { return m_description; }

private:
    int32_t m_number;
    std::string m_description;
};

[[noreturn]] void Raise(int32_t number, std::string description);
/// Raises one of the program's own errors below with the description that goes with it.
[[noreturn]] void Raise(int32_t number);

/// Error numbers raised by the program itself, with the descriptions users know them by.
namespace err {
inline constexpr int32_t kInvalidProcedureCall = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kInternal = 51;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kDuplicateKey = 457;
/// A tree node added under a key already in use, or under a parent key that is not there.
inline constexpr int32_t kElementNotFound = 35601;
inline constexpr int32_t kKeyNotUnique = 35602;
/// An object address or tree key that is malformed or names nothing there is.
inline constexpr int32_t kNoSuchObject = 1100;
/// A member asked for by name that the object does not have (DISP_E_UNKNOWNNAME).
inline constexpr int32_t kUnknownName = static_cast<int32_t>(0x80020006u);

/// The description that goes with one of the numbers above; empty for any other number.
const char* DescriptionOf(int32_t number);
}  // namespace err

}  // namespace tess
