// One round of the package fuzz target: bytes opened as a drawing package from memory, every
// object listed and found again by its address, one section copied between two objects the bytes
// pick, the result saved to memory and read back.
#include "fuzz/PackageRound.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "engine/CopyDriver.h"
#include "engine/SectionCatalogue.h"
#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Error.h"
#include "platform/visio/Resolver.h"
#include "window/Recipe.h"
#include "window/RowListing.h"
#include "window/SectionsTab.h"

namespace tess::fuzz {
namespace {

using namespace tess::visio;

/// A front end nobody sits at: every copy error is answered Continue, and the messages kept.
class QuietFrontEnd : public engine::ICopyFrontEnd, public app::IPrompt {
public:
    void Progress(int, int, Stage) override {}
    bool GoOn() override { return true; }
    void SetCopyErrorDetails(const std::vector<std::string>&, const ShapePtr&) override {}
    CopyErrorAnswer ShowCopyError(const std::string& message) override {
        messages.push_back(message);
        return CopyErrorAnswer::Continue;
    }
    void ShowMessage(const engine::RunMessage& message) override {
        messages.push_back(message.text);
    }
    app::Answer MsgBox(const std::string& text, app::Style style, const std::string&) override {
        messages.push_back(text);
        return style == app::Style::Question ? app::Answer::No : app::Answer::Ok;
    }

    std::vector<std::string> messages;
};

/// Picks from the input: successive choices from one hash of its bytes.
class Picker {
public:
    explicit Picker(std::string_view bytes) {
        for (const char c : bytes)
            m_state = (m_state ^ static_cast<uint8_t>(c)) * 0x100000001b3ull;  // FNV-1a
    }
    size_t Below(size_t count) {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return count == 0 ? 0 : static_cast<size_t>((m_state >> 33) % count);
    }

private:
    uint64_t m_state = 0xcbf29ce484222325ull;
};

/// A sheet as listed: what the resolver calls it and finds by that name.
struct Listed {
    ShapePtr sheet;
    int16_t image;
    std::string address;
};

void ListShapes(const Resolver& resolver, const ShapesPtr& shapes, std::vector<Listed>& listed) {
    for (int16_t i = 1; i <= shapes->Count(); ++i) {
        const ShapePtr shape = shapes->Item(i);
        const std::string address = resolver.AddressOf(shape);
        const ResolvedObject found = resolver.Resolve(ObjectPath::Parse(address));
        listed.push_back({shape, found.image, address});
        ListShapes(resolver, shape->Shapes(), listed);
    }
}

/// Every sheet of the document, as list shows them: the document sheet, each master's shapes,
/// each page's sheet and shapes; each found again by its address.
std::vector<Listed> ListEverything(const ApplicationPtr& application, const DocumentPtr& document) {
    const Resolver resolver(application);
    std::vector<Listed> listed;
    const ShapePtr documentSheet = document->DocumentSheet();
    listed.push_back({documentSheet, kImageDrawing, resolver.AddressOf(documentSheet)});
    const MastersPtr masters = document->Masters();
    for (int16_t i = 1; i <= masters->Count(); ++i) {
        const MasterPtr master = masters->Item(i);
        resolver.AddressOfMaster(master);
        ListShapes(resolver, master->Shapes(), listed);
    }
    const PagesPtr pages = document->Pages();
    for (int16_t i = 1; i <= pages->Count(); ++i) {
        const PagePtr page = pages->Item(i);
        const std::string address = resolver.AddressOfPage(page);
        const ResolvedObject found = resolver.Resolve(ObjectPath::Parse(address));
        listed.push_back({page->PageSheet(), found.image, address});
        ListShapes(resolver, page->Shapes(), listed);
    }
    return listed;
}

/// Rows of the entry the input chooses (some of the source's, maybe reordered) into the
/// recipe's section; every row half the time.
void ChooseRows(Picker& pick, const Listed& source, const engine::CatalogueEntry& entry,
                window::Recipe::Section& section) {
    const std::vector<window::ListedRow> rows = window::ListEntryRows(source.sheet, entry);
    if (rows.empty() || pick.Below(2) == 0) return;
    std::vector<std::string> chosen;
    for (const window::ListedRow& row : rows) {
        if (pick.Below(3) != 0) chosen.push_back(row.NameOrLabel());
    }
    if (chosen.empty()) chosen.push_back(rows[pick.Below(rows.size())].NameOrLabel());
    section.rows = chosen;
    if (!window::Orderable(entry) || pick.Below(2) == 0) return;
    for (size_t i = chosen.size(); i > 1; --i)
        std::swap(chosen[i - 1], chosen[pick.Below(i)]);
    section.order = chosen;
}

/// A request the copy window could make, through a recipe as the command line makes it: one
/// section the source offers, rows and options from the input. None when the source offers
/// nothing, or the recipe asks for what it lacks.
std::optional<engine::CopyRequest> RequestFor(Picker& pick, QuietFrontEnd& prompt,
                                              const Listed& source, const Listed& destination) {
    window::SectionBoxes boxes;
    window::EnableDisableSections(prompt, boxes, source.image, source.sheet);
    std::vector<const engine::CatalogueEntry*> offered;
    for (const engine::CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (boxes.boxes[static_cast<size_t>(entry.index)].enabled) offered.push_back(&entry);
    }
    if (offered.empty()) return std::nullopt;
    const engine::CatalogueEntry& entry = *offered[pick.Below(offered.size())];
    window::Recipe recipe;
    recipe.sections.push_back({window::CaptionOf(entry), {}, {}});
    ChooseRows(pick, source, entry, recipe.sections.back());
    recipe.options.copyType =
        pick.Below(2) ? engine::CopyType::Append : engine::CopyType::Overwrite;
    recipe.options.subShapes = static_cast<engine::SubShapes>(pick.Below(3));
    recipe.options.copyShapeText = pick.Below(2);
    recipe.options.copyHelpString = pick.Below(2);
    window::AppliedRecipe applied =
        window::ApplyRecipe(prompt, recipe, source.sheet, source.image, "fuzz recipe");
    if (!applied.problems.empty()) return std::nullopt;
    applied.request.source = engine::CopyTarget{source.address, source.address, source.sheet};
    applied.request.destinations = {{destination.address, destination.address, destination.sheet}};
    return std::move(applied.request);
}

/// Opens the bytes, lists them, copies once and returns the saved package.
std::string OpenCopySave(Picker& pick, std::string bytes, const char* name, RoundResult& result,
                         bool show) {
    auto application = std::make_shared<embedded::EmbeddedApplication>();
    const auto data = vsdx::OpenDocumentFromMemory(application->TheModel(), name, std::move(bytes));
    const DocumentPtr document = embedded::WrapDocument(application->ModelPtr(), data);
    const std::vector<Listed> listed = ListEverything(application, document);
    if (listed.size() >= 2) {
        const size_t from = pick.Below(listed.size());
        const size_t to = (from + 1 + pick.Below(listed.size() - 1)) % listed.size();
        QuietFrontEnd frontEnd;
        if (const auto request = RequestFor(pick, frontEnd, listed[from], listed[to])) {
            result.copy = listed[from].address + " to " + listed[to].address + ", " +
                          window::RecipeText(window::RecipeOf(*request));
            if (show) std::fprintf(stderr, "copying %s\n", result.copy.c_str());
            engine::CopyDriver(application).BeginCopy(*request, frontEnd);
        }
        result.messages = std::move(frontEnd.messages);
    }
    return vsdx::SaveDocumentToMemory(application->TheModel(), *data, name);
}

/// What the program wrote must read back and list.
void ReadBack(std::string bytes, const char* name) {
    auto application = std::make_shared<embedded::EmbeddedApplication>();
    const auto data = vsdx::OpenDocumentFromMemory(application->TheModel(), name, std::move(bytes));
    ListEverything(application, embedded::WrapDocument(application->ModelPtr(), data));
}

}  // namespace

RoundResult PackageRound(std::string bytes, bool show) {
    // A package with macros is read as the kind that holds them (its part names are plain in
    // the zip's directory), so that its save is not refused for them.
    constexpr const char* kNames[] = {"fuzz.vsdx", "fuzz.vssx", "fuzz.vstx"};
    constexpr const char* kMacroNames[] = {"fuzz.vsdm", "fuzz.vssm", "fuzz.vstm"};
    const bool macros = bytes.find("vbaProject") != std::string::npos;
    Picker pick(bytes);
    const char* name = (macros ? kMacroNames : kNames)[pick.Below(std::size(kNames))];
    RoundResult result;
    std::string written;
    try {
        written = OpenCopySave(pick, std::move(bytes), name, result, show);
    } catch (const Error& error) {
        result.refusal = error.what();
        if (show) std::fprintf(stderr, "refused: %s\n", error.what());
        return result;
    }
    try {
        ReadBack(std::move(written), name);
    } catch (const Error& error) {
        result.readBackFailure = error.what();
    }
    return result;
}

}  // namespace tess::fuzz
