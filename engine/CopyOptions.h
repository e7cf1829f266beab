#pragma once

#include <string>
#include <string_view>

#include "engine/WindowState.h"

// The copy options stored between runs in the settings store, one string value each.
namespace tess::engine {

/// The key the options live under, below HKEY_CURRENT_USER.
inline constexpr const char* kSettingsKey = "Software\\Quorvantis\\Plexaware_2003\\Tessaline 2003";

/// Sets the option controls from the stored values, writing the defaults of values not there.
void ReadRegistrySettings(OptionControls& options);
/// Stores the option controls as they stand.
void WriteRegistrySettings(const OptionControls& options);

/// The number at the start of a text, read as Basic's Val reads it: blanks skipped, a sign,
/// digits with a decimal point and an exponent; 0 when there are no digits.
double LeadingNumber(std::string_view text);

}  // namespace tess::engine
