#include "window/Settings.h"

#include <cmath>

#include "app/ErrorReport.h"

namespace tess::window {
namespace {

using engine::CopyType;
using engine::SubShapes;
using registry::HKEY_CURRENT_USER;

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

/// Makes sure the value exists, then reads it as a number.
int16_t ReadNumber(registry::Registry& store, const StoredValue& value) {
    store.CreateRegistryValue(HKEY_CURRENT_USER, kSettingsKey, value.name, value.defaultText);
    const std::string text = store.GetRegistryString(HKEY_CURRENT_USER, kSettingsKey, value.name);
    return ToInteger(LeadingNumber(Trimmed(text)));
}

/// A check box's value: 1 checks it, anything else leaves it as it was.
void ReadCheckBox(registry::Registry& store, const StoredValue& value, bool& checked) {
    if (ReadNumber(store, value) == 1) checked = true;
}

void Write(registry::Registry& store, const StoredValue& value, const std::string& text) {
    store.SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, value.name, text);
}

std::string CheckBoxText(bool checked) {
    return checked ? "1" : "0";
}

}  // namespace

int16_t ToInteger(double number) {
    const double rounded = std::nearbyint(number);
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX)) Raise(err::kOverflow);
    return static_cast<int16_t>(rounded);
}

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

void ReadRegistrySettings(registry::Registry& store, app::IPrompt& prompt, StoredOptions& options) {
    app::Trap(prompt, app::proc::ReadRegistrySettings, [&] {
        engine::CopyOptions& copy = options.copy;
        copy.copyType = ReadNumber(store, kCopyType) == 1 ? CopyType::Append : CopyType::Overwrite;
        switch (ReadNumber(store, kSubShape)) {
            case 2:
                copy.subShapes = SubShapes::CopyCells;
                break;
            case 3:
                copy.subShapes = SubShapes::ReplaceAll;
                break;
            default:
                copy.subShapes = SubShapes::Ignore;
                break;
        }
        ReadCheckBox(store, kCopyShapeText, copy.copyShapeText);
        ReadCheckBox(store, kCopyHelpString, copy.copyHelpString);
        ReadCheckBox(store, kCreateDestination, copy.createDestination);
        ReadCheckBox(store, kLeaveRunning, options.leaveRunning);
    });
}

void WriteRegistrySettings(registry::Registry& store, app::IPrompt& prompt,
                           const StoredOptions& options) {
    app::Trap(prompt, app::proc::WriteRegistrySettings, [&] {
        const engine::CopyOptions& copy = options.copy;
        Write(store, kCopyType, copy.copyType == CopyType::Append ? "1" : "0");
        Write(store, kSubShape,
              copy.subShapes == SubShapes::Ignore      ? "1"
              : copy.subShapes == SubShapes::CopyCells ? "2"
                                                       : "3");
        Write(store, kCopyShapeText, CheckBoxText(copy.copyShapeText));
        Write(store, kCopyHelpString, CheckBoxText(copy.copyHelpString));
        Write(store, kCreateDestination, CheckBoxText(copy.createDestination));
        Write(store, kLeaveRunning, CheckBoxText(options.leaveRunning));
    });
}

}  // namespace tess::window
