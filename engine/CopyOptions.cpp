#include "engine/CopyOptions.h"

#include <cmath>
#include <cstdint>

#include "app/ErrorReport.h"
#include "platform/registry/Registry.h"

namespace tess::engine {
namespace {

constexpr std::string_view kModule = "frmCellCopy";

struct StoredValue {
    const char* name;
    const char* defaultText;
};

constexpr StoredValue kCopyType{"CopyType", "0"};
constexpr StoredValue kSubShape{"SubShape", "1"};
constexpr StoredValue kCopyShapeText{"CopyShapeText", "0"};
constexpr StoredValue kCopyHelpString{"CopyHelpString", "0"};
constexpr StoredValue kCreateDestination{"CreateDestination", "1"};
constexpr StoredValue kLeaveRunning{"LeaveRunning", "1"};

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

/// A number rounded to a 16-bit integer, half to even; out of range is an overflow.
int16_t ToInteger(double number) {
    const double rounded = std::nearbyint(number);
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX))
        Raise(err::kOverflow, err::DescriptionOf(err::kOverflow));
    return static_cast<int16_t>(rounded);
}

/// Makes sure the value exists, then reads it as a number.
int16_t ReadNumber(const StoredValue& value) {
    registry::CreateRegistryValue(registry::HKEY_CURRENT_USER, kSettingsKey, value.name,
                                  value.defaultText);
    const std::string text =
        registry::GetRegistryString(registry::HKEY_CURRENT_USER, kSettingsKey, value.name);
    return ToInteger(LeadingNumber(Trimmed(text)));
}

void ReadCheckBox(const StoredValue& value, CheckBox& box) {
    if (ReadNumber(value) == 1) box.value = 1;
}

void Write(const StoredValue& value, const std::string& text) {
    registry::SetRegistryString(registry::HKEY_CURRENT_USER, kSettingsKey, value.name, text);
}

}  // namespace

double LeadingNumber(std::string_view text) {
    size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    skipBlanks();
    double sign = 1;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) sign = text[i++] == '-' ? -1 : 1;
    double number = 0;
    bool digits = false;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
         ++i, digits = true) {
        number = number * 10 + (text[i] - '0');
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
             ++i, digits = true) {
            number += (text[i] - '0') * scale;
            scale /= 10;
        }
    }
    if (!digits) return 0;
    if (i + 1 < text.size() &&
        (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        size_t j = i + 1;
        int exponentSign = 1;
        if (text[j] == '-' || text[j] == '+') exponentSign = text[j++] == '-' ? -1 : 1;
        int exponent = 0;
        bool exponentDigits = false;
        for (;
             j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])) && exponent < 400;
             ++j) {
            exponent = exponent * 10 + (text[j] - '0');
            exponentDigits = true;
        }
        if (exponentDigits) number *= std::pow(10.0, exponentSign * exponent);
    }
    return sign * number;
}

void ReadRegistrySettings(OptionControls& options) {
    app::Trap(kModule, "ReadRegistrySettings", [&] {
        if (ReadNumber(kCopyType) == 1) {
            options.SelectAppend();
        } else {
            options.SelectOverwrite();
        }
        switch (ReadNumber(kSubShape)) {
            case 2:
                options.SelectCopySubShapes();
                break;
            case 3:
                options.SelectReplaceSubShapes();
                break;
            default:
                options.SelectIgnoreSubShapes();
                break;
        }
        ReadCheckBox(kCopyShapeText, options.chkCopyShapeText);
        ReadCheckBox(kCopyHelpString, options.chkCopyHelpString);
        ReadCheckBox(kCreateDestination, options.chkCreateDestination);
        ReadCheckBox(kLeaveRunning, options.chkLeaveTessalineRunning);
    });
}

void WriteRegistrySettings(const OptionControls& options) {
    app::Trap(kModule, "WriteRegistrySettings", [&] {
        Write(kCopyType, options.optAppend ? "1" : "0");
        Write(kSubShape, options.optIgnoreSubShapes    ? "1"
                         : options.optCopySubShapes    ? "2"
                         : options.optReplaceSubShapes ? "3"
                                                       : "");
        Write(kCopyShapeText, std::to_string(options.chkCopyShapeText.value));
        Write(kCopyHelpString, std::to_string(options.chkCopyHelpString.value));
        Write(kCreateDestination, std::to_string(options.chkCreateDestination.value));
        Write(kLeaveRunning, std::to_string(options.chkLeaveTessalineRunning.value));
    });
}

}  // namespace tess::engine
