#include "host/embedded/HostErrors.h"

#include "platform/visio/Error.h"

namespace tess::embedded::hosterr {

std::string Describe(int32_t number) {
    switch (number) {
        case kBadFormula:
            return "#NAME? The formula refers to a cell, row or shape that does not exist.";
        case kFormulaSyntax:
            return "Error in formula.";
        case kNoSuchCell:
            return "Inexistent cell, row or section.";
        case kNoSuchObject:
            return "Object name not found.";
        case kObjectDeleted:
            return "Object has been deleted.";
        case kBadArgument:
            return "Invalid parameter.";
        case kNotAllowed:
            return "Requested operation is presently disabled.";
        case kLocked:
            return "Requested operation is presently disabled: the object is locked.";
        case kUndoScope:
            return "Invalid undo scope.";
        case kInjected:
            return "An exception occurred.";
        default:
            return "An exception occurred.";
    }
}

void Raise(int32_t number, const std::string& detail) {
    std::string description = Describe(number);
    if (!detail.empty()) description += "\n" + detail;
    tess::Raise(number, std::move(description));
}

}  // namespace tess::embedded::hosterr
