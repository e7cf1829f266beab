#include "engine/SheetMap.h"

namespace tess::engine {
namespace {

using visio::ShapePtr;

/// The members of a group at any depth, each before its own members.
void CollectMembers(const ShapePtr& group, std::vector<ShapePtr>& members) {
    const visio::ShapesPtr shapes = group->Shapes();
    const int16_t count = shapes ? shapes->Count() : int16_t{0};
    for (int16_t i = 1; i <= count; ++i) {
        members.push_back(shapes->Item(i));
        CollectMembers(members.back(), members);
    }
}

/// Whether two shapes inherit from the same shape of the same master, or one is the shape of a
/// master the other inherits from.
bool SameMasterShape(const ShapePtr& a, const ShapePtr& b) {
    const ShapePtr first = a->MasterShape();
    const ShapePtr second = b->MasterShape();
    const ShapePtr one = first ? first : a;
    const ShapePtr other = second ? second : b;
    if (!first && !second) return false;
    if (one->ID() != other->ID()) return false;
    const visio::MasterPtr master = one->ContainingMaster();
    const visio::MasterPtr otherMaster = other->ContainingMaster();
    return master && otherMaster && master->Name() == otherMaster->Name() &&
           one->Document()->Name() == other->Document()->Name();
}

/// The member of a destination that stands for a member of the source: the one made from the
/// same master shape, else the first of the same name; null when there is none.
ShapePtr MatchingMember(const ShapePtr& member, const std::vector<ShapePtr>& candidates) {
    for (const ShapePtr& candidate : candidates) {
        if (SameMasterShape(member, candidate)) return candidate;
    }
    const std::string name = member->Name();
    for (const ShapePtr& candidate : candidates) {
        if (candidate->Name() == name) return candidate;
    }
    return nullptr;
}

}  // namespace

void AddSheetReplacement(app::StringCollection& map, const ShapePtr& source,
                         const ShapePtr& destination) {
    const std::string from = source->NameID();
    if (map.ContainsKey(from)) return;
    map.Add(from + "!|" + destination->NameID() + "!", from);
}

void AddMemberReplacements(app::StringCollection& map, std::vector<std::string>& unmatched,
                           const ShapePtr& source, const ShapePtr& destination) {
    std::vector<ShapePtr> members, candidates;
    CollectMembers(source, members);
    CollectMembers(destination, candidates);
    for (const ShapePtr& member : members) {
        if (const ShapePtr match = MatchingMember(member, candidates)) {
            AddSheetReplacement(map, member, match);
        } else {
            unmatched.push_back(member->NameID());
        }
    }
}

app::StringCollection SheetNameMap(const ShapePtr& source, const ShapePtr& destination) {
    app::StringCollection map;
    std::vector<std::string> unmatched;
    AddSheetReplacement(map, source, destination);
    AddMemberReplacements(map, unmatched, source, destination);
    return map;
}

}  // namespace tess::engine
