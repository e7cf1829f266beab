#include "platform/visio/Error.h"

#include <utility>

namespace tess {

Error::Error(int32_t number, std::string description)
    : std::runtime_error(description), m_number(number), m_description(std::move(description)) {}

void Raise(int32_t number, std::string description) {
    throw Error(number, std::move(description));
}

void Raise(int32_t number) {
    throw Error(number, err::DescriptionOf(number));
}

const char* err::DescriptionOf(int32_t number) {
    switch (number) {
        case kInvalidProcedureCall:
            return "Invalid procedure call or argument";
        case kOverflow:
            return "Overflow";
        case kOutOfMemory:
            return "Out of memory";
        case kSubscriptOutOfRange:
            return "Subscript out of range";
        case kTypeMismatch:
            return "Type mismatch";
        case kInternal:
            return "Internal error";
        case kObjectNotSet:
            return "Object variable or With block variable not set";
        case kDuplicateKey:
            return "This key is already associated with an element of this collection";
        case kElementNotFound:
            return "Element not found";
        case kKeyNotUnique:
            return "Key is not unique in collection";
        case kNoSuchObject:
            return "The object named does not exist";
        case kUnknownName:
            return "Object doesn't support this property or method";
        default:
            return "";
    }
}

}  // namespace tess
