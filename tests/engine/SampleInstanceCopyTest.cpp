// Copies from members of master instances in real drawings: every section the member offers goes
// to a new shape of its page without a refusal, and every sheet a copied formula names by ID is the
// destination itself or a shape the member's own formulas name on that page.
#include <gtest/gtest.h>

#include <set>

#include "engine/CopyFixture.h"
#include "engine/SectionCatalogue.h"
#include "formula/Formula.h"
#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "support/Samples.h"
#include "support/ScriptedPrompt.h"
#include "window/SectionsTab.h"

namespace tess::test {
namespace {

using namespace visio;

/// The IDs of the shapes of its own page or master that a formula names.
std::set<int32_t> ShapeIdsNamed(const std::string& text) {
    std::set<int32_t> ids;
    for (const formula::Reference& reference : formula::Parse(text).formula.references) {
        if (reference.sheet.kind == formula::SheetKind::ById && reference.sheet.collection.empty())
            ids.insert(reference.sheet.id);
    }
    return ids;
}

/// Every formula a shape shows, its own or inherited, read a row at a time.
std::vector<std::string> Formulas(const ShapePtr& shape) {
    std::vector<std::string> all;
    for (int16_t section = 0; section < 256; ++section) {
        if (!shape->SectionExists(section, visExistsAnywhere)) continue;
        for (int16_t row = 0; row < shape->RowCount(section); ++row) {
            if (!shape->RowExists(section, row, visExistsAnywhere)) continue;
            std::vector<int16_t> stream;
            for (int16_t cell = 0; cell < shape->RowsCellCount(section, row); ++cell) {
                if (shape->CellsSRCExists(section, row, cell, visExistsAnywhere))
                    stream.insert(stream.end(), {section, row, cell});
            }
            for (std::string& text : shape->GetFormulas(stream))
                all.push_back(std::move(text));
        }
    }
    return all;
}

struct Member {
    ShapePtr shape;
    int depth;  // the groups it sits in
};

/// The members of master instances on a page (shapes inside an instance's group, at any depth).
void CollectMembers(const ShapePtr& shape, int depth, bool insideInstance,
                    std::vector<Member>& members) {
    const bool instance = embedded::SheetOf(shape)->masterShape != nullptr;
    if (insideInstance && instance) members.push_back({shape, depth});
    for (int16_t i = 1; i <= shape->Shapes()->Count(); ++i)
        CollectMembers(shape->Shapes()->Item(i), depth + 1, insideInstance || instance, members);
}

/// The entries the Sections tab enables for a shape: all a copy of it can take.
std::vector<int16_t> EveryEntryOf(const ShapePtr& shape) {
    ScriptedPrompt prompt;
    window::SectionBoxes boxes;
    window::EnableDisableSectionsShape(prompt, boxes, shape);
    std::vector<int16_t> entries;
    for (const engine::CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (boxes.boxes[static_cast<size_t>(entry.index)].enabled) entries.push_back(entry.index);
    }
    return entries;
}

bool OnPage(const PagePtr& page, int32_t id) {
    try {
        return page->Shapes()->ItemFromID(id) != nullptr;
    } catch (const Error&) {
        return false;
    }
}

TEST(SampleInstanceCopy, EverySectionOfAMemberCopiesWithoutRefusalAndNamesTheRightSheets) {
    size_t copies = 0, nested = 0;
    for (const std::string& path : SampleFiles()) {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const auto data = vsdx::OpenDocument(app->TheModel(), path);
        const DocumentPtr document = embedded::WrapDocument(app->ModelPtr(), data);
        for (int16_t p = 1; p <= document->Pages()->Count(); ++p) {
            const PagePtr page = document->Pages()->Item(p);
            std::vector<Member> members;
            for (int16_t i = 1; i <= page->Shapes()->Count(); ++i)
                CollectMembers(page->Shapes()->Item(i), 0, false, members);
            if (members.size() > 6) members.resize(6);  // enough of each page, in a bounded time
            for (const auto& [member, depth] : members) {
                SCOPED_TRACE(path + " " + page->Name() + " " + member->NameID());
                nested += depth >= 2;
                ScriptedFrontEnd frontEnd;
                const ShapePtr destination = page->DrawRectangle(20, 20, 21, 21);
                engine::CopyRequest request;
                request.source = engine::CopyTarget{"source", member->Name(), member};
                request.destinations = {{"destination", destination->Name(), destination}};
                request.sections = EveryEntryOf(member);

                const engine::CopyReport report =
                    engine::CopyDriver(app).BeginCopy(request, frontEnd);
                EXPECT_EQ(report.outcome, engine::CopyOutcome::Complete);
                EXPECT_EQ(frontEnd.shown, std::vector<std::string>{});
                EXPECT_EQ(frontEnd.Texts().back(), "Clone Complete.");

                std::set<int32_t> named = {destination->ID()};
                for (const std::string& text : Formulas(member)) {
                    for (int32_t id : ShapeIdsNamed(text))
                        named.insert(id);
                }
                for (const std::string& text : Formulas(destination)) {
                    for (int32_t id : ShapeIdsNamed(text)) {
                        EXPECT_TRUE(named.count(id) && OnPage(page, id))
                            << "'" << text << "' names Sheet." << id;
                    }
                }
                ++copies;
            }
        }
    }
    EXPECT_GE(copies, 20u);
    EXPECT_GT(nested, 0u);  // members of groups inside groups are among them
}

}  // namespace
}  // namespace tess::test
