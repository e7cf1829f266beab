#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/Prompt.h"
#include "platform/registry/Registry.h"
#include "window/CopyWindow.h"

// The copy options stored between runs in the settings store, one string value each.
namespace tess::window {

/// The key the options live under, below HKEY_CURRENT_USER.
inline constexpr const char* kSettingsKey = "Software\\Quorvantis\\Plexaware_2003\\Tessaline 2003";

/// Sets the options from the stored values, writing the defaults of values not there. A failure
/// is reported through prompt and ends the reading; the options read before it keep their new
/// state.
void ReadRegistrySettings(registry::Registry& store, app::IPrompt& prompt, StoredOptions& options);
/// Stores the options as they stand.
void WriteRegistrySettings(registry::Registry& store, app::IPrompt& prompt,
                           const StoredOptions& options);

/// The number at the start of a text, read as Basic's Val reads it: blanks skipped, a sign,
/// digits with a decimal point and an exponent; 0 when there are no digits.
double LeadingNumber(std::string_view text);
/// A number rounded to a 16-bit integer, halves to the even neighbour; out of range fails with
/// an overflow.
int16_t ToInteger(double number);

}  // namespace tess::window
