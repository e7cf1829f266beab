#include "platform/visio/Host.h"

namespace tess::visio {

std::string NameIDOf(const ObjectPtr& object) {
    auto shape = std::dynamic_pointer_cast<IShape>(object);
    if (!shape) {
        Required(object);
        Raise(err::kUnknownName);
    }
    return shape->NameID();
}

}  // namespace tess::visio
