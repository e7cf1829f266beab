// The cost of a copy through the COM host, against the stand-in Visio in its own process: a
// source with 200 Scratch rows copied to 100 destinations, one with 50 named User rows, and
// every section of a shape of a real drawing. Prints for each the calls per destination by
// member and the time per destination. Run under Wine (cmake/wine-run.sh) or on Windows.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <map>

#include "engine/CopyDriver.h"
#include "engine/SectionCatalogue.h"
#include "host/com/ComHost.h"
#include "platform/visio/Constants.h"
#include "support/Samples.h"
#include "support/ScriptedFrontEnd.h"
#include "support/ScriptedPrompt.h"
#include "tests/windows/StandInProcess.h"
#include "window/SectionsTab.h"

namespace {

using namespace tess;
using namespace tess::visio;

/// How many destinations each copy has; the first argument may give fewer, for a quick look.
int destinationCount = 100;
/// The drawing and shape whose every section the third run copies.
constexpr const char* kSample = "test6_shape_properties.vsdx";
constexpr const char* kSampleShape = "Sheet.1";

/// Gives the source count rows of a section (named ones when prefix is given), every cell of
/// each a formula of its row.
void FillSection(const ShapePtr& source, int16_t section, int count, const std::string& prefix) {
    source->AddSection(section);
    std::vector<int16_t> stream;
    std::vector<std::string> formulas;
    for (int i = 0; i < count; ++i) {
        const int16_t row =
            prefix.empty() ? source->AddRow(section, visRowLast, 0)
                           : source->AddNamedRow(section, prefix + std::to_string(i + 1), 0);
        const int16_t cells = source->RowsCellCount(section, row);
        for (int16_t cell = 0; cell < cells; ++cell) {
            stream.insert(stream.end(), {section, row, cell});
            formulas.push_back(cell == 0 ? std::to_string(i) + "+Width*0"
                                         : std::to_string(cell) + "+Width");
        }
    }
    source->SetFormulas(stream, formulas, visSetBlastGuards);
}

/// A request for the sections given, from source to destinationCount new rectangles of its page.
engine::CopyRequest RequestTo(const PagePtr& page, const ShapePtr& source,
                              std::vector<int16_t> sections) {
    engine::CopyRequest request;
    request.source = engine::CopyTarget{"source", source->Name(), source};
    for (int i = 0; i < destinationCount; ++i) {
        request.destinations.push_back(
            {"d" + std::to_string(i), "d",
             page->DrawRectangle(3 + i % 10, 1 + i / 10, 3.5 + i % 10, 1.5 + i / 10)});
    }
    request.sections = std::move(sections);
    return request;
}

/// Every section the source offers on the Sections tab.
std::vector<int16_t> EverySection(const ShapePtr& source) {
    test::ScriptedPrompt prompt;
    window::SectionBoxes boxes;
    window::EnableDisableSectionsShape(prompt, boxes, source);
    std::vector<int16_t> sections;
    for (const engine::CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (boxes.boxes[static_cast<size_t>(entry.index)].enabled) sections.push_back(entry.index);
    }
    return sections;
}

/// What the row-by-row copy (one AddRow, GetFormulas and SetFormulas per row) cost per
/// destination under Wine on the machine these figures were first taken on.
struct RowByRow {
    double calls;
    double milliseconds;
};

void Measure(const char* title, com::VisioConnection& visio, const engine::CopyRequest& request,
             RowByRow before) {
    test::ScriptedFrontEnd frontEnd;
    std::printf("%s: copying...\n", title);
    visio.Calls() = {};
    const auto start = std::chrono::steady_clock::now();
    engine::CopyDriver(visio.Application()).BeginCopy(request, frontEnd);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const com::CallCounts calls = visio.Calls();
    const double destinations = static_cast<double>(request.destinations.size());
    std::printf("%s, %zu destinations: %s\n", title, request.destinations.size(),
                frontEnd.Texts().empty() ? "?" : frontEnd.Texts().back().c_str());
    std::printf("  time per destination: %.1f ms (row by row: %.0f ms; whole run %.2f s)\n",
                seconds * 1000 / destinations, before.milliseconds, seconds);
    std::printf("  calls per destination: %.2f (row by row: %.0f); name look-ups in the run: "
                "%llu\n",
                static_cast<double>(calls.Total()) / destinations, before.calls,
                static_cast<unsigned long long>(calls.nameLookups));
    for (const auto& [member, count] : calls.calls)
        std::printf("    %-28s %8.2f\n", member.c_str(), static_cast<double>(count) / destinations);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) destinationCount = std::max(1, std::atoi(argv[1]));
    // Each figure as soon as it is known, also through a pipe.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    com::ComApartment apartment;
    test::StandInProcess standIn({test::SamplePath(kSample)});
    const std::unique_ptr<com::VisioConnection> connection = com::AttachToRunningVisio();
    const ApplicationPtr visio = connection->Application();

    const PagePtr page = visio->Documents()->Add("")->Pages()->Item(1);
    const ShapePtr scratch = page->DrawRectangle(1, 1, 2, 2);
    FillSection(scratch, visSectionScratch, 200, "");
    Measure("200 Scratch rows", *connection, RequestTo(page, scratch, {9}),
            {629, 1198});  // Scratch

    const ShapePtr user = page->DrawRectangle(1, 3, 2, 4);
    FillSection(user, visSectionUser, 50, "Value");
    Measure("50 named User rows", *connection, RequestTo(page, user, {2}),
            {581, 4077});  // User-defined Cells

    const PagePtr samplePage = visio->Documents()->Item(kSample)->Pages()->Item(1);
    const ShapePtr sample = samplePage->Shapes()->Item(kSampleShape);
    Measure("every section of a sample shape", *connection,
            RequestTo(samplePage, sample, EverySection(sample)), {223, 812});
    return 0;
}
