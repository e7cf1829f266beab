// The copy engine over the embedded model: every section of a rich source (every shape entry of
// the catalogue, 208 rows, Geometry included) copied to 1,000 destinations in one run. Prints
// the time per destination and the host calls per destination by member, beside the time of
// one batched SetFormulas writing as many cells as one destination receives.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

#include "SilentFrontEnd.h"
#include "engine/CopyDriver.h"
#include "engine/SectionCatalogue.h"
#include "host/embedded/Objects.h"
#include "platform/visio/Constants.h"
#include "window/SectionsTab.h"

namespace {

using namespace tess;
using namespace tess::visio;

constexpr int kDestinations = 1000;

using Silent = bench::SilentFrontEnd;

/// Adds rows whose cells (by index) get the formulas given, each numbered by its row.
void AddRows(const ShapePtr& shape, int16_t section, int count,
             const std::vector<std::pair<int16_t, std::string>>& cells,
             const std::string& namePrefix = {}) {
    if (!shape->SectionExists(section, 1)) shape->AddSection(section);
    for (int i = 0; i < count; ++i) {
        const int16_t row =
            namePrefix.empty() ? shape->AddRow(section, visRowLast, 0)
                               : shape->AddNamedRow(section, namePrefix + std::to_string(i + 1), 0);
        std::vector<int16_t> stream;
        std::vector<std::string> formulas;
        for (const auto& [cell, formula] : cells) {
            stream.insert(stream.end(), {section, row, cell});
            std::string numbered = formula;
            if (formula.front() != '"') {
                numbered += '+';
                numbered += std::to_string(i);
            }
            formulas.push_back(std::move(numbered));
        }
        shape->SetFormulas(stream, formulas, visSetBlastGuards);
    }
}

/// A source with every shape section of the catalogue, and 1,000 rectangles to copy it to.
struct Drawing {
    std::shared_ptr<embedded::EmbeddedApplication> app =
        std::make_shared<embedded::EmbeddedApplication>();
    PagePtr page = app->Documents()->Add("")->Pages()->Item(1);
    ShapePtr source = page->DrawRectangle(1, 1, 3, 2);
    std::vector<ShapePtr> destinations;
    int rows = 0;

    Drawing() {
        for (int16_t row : {visRowXForm1D, visRowForeign, visRowImage, visRowGroup,
                            visRowShapeLayout, visRowAlign, visRowLock, visRowLayerMem, visRowEvent,
                            visRowMisc, visRowText, visRowTextXForm}) {
            if (!source->RowExists(visSectionObject, row, 0))
                source->AddRow(visSectionObject, row, 0);
        }
        const std::string self = source->NameID() + "!";
        AddRows(source, visSectionUser, 40, {{0, "Width*2"}, {1, "\"Prompt\""}}, "Value");
        AddRows(source, visSectionProp, 40,
                {{0, "12.5"}, {1, "\"How much\""}, {2, "\"Cost\""}, {5, "2"}}, "Cost");
        AddRows(source, visSectionScratch, 40,
                {{0, "Width*0.1"},
                 {1, "Height*0.1"},
                 {2, "Scratch.X1"},
                 {3, "Scratch.Y1"},
                 {4, "1"},
                 {5, self + "Width"}});
        AddRows(source, visSectionConnectionPts, 20, {{0, "Width*0.5"}, {1, "Height*0"}});
        AddRows(source, visSectionAction, 10, {{0, "\"Menu\""}, {4, "0"}, {5, "0"}}, "Act");
        AddRows(source, visSectionControls, 10, {{0, "Width*0.5"}, {1, "Height*0.5"}}, "Ctl");
        AddRows(source, visSectionHyperlink, 10,
                {{0, "\"Link\""}, {1, "\"https://tools.tessaline.example\""}}, "Link");
        AddRows(source, visSectionSmartTag, 10, {{0, "Width"}, {1, "Height"}}, "Tag");
        source->AddSection(visSectionFirstComponent + 1);
        source->AddRow(visSectionFirstComponent + 1, visRowComponent, visTagComponent);
        source->AddRow(visSectionFirstComponent + 1, visRowLast, visTagMoveTo);
        for (int i = 0; i < 14; ++i)
            source->AddRow(visSectionFirstComponent + 1, visRowLast, visTagLineTo);
        source->Characters()->SetText("Size: ");
        const CharactersPtr end = source->Characters();
        end->SetBegin(6);
        end->AddCustomField(self + "Width", 0);
        for (int16_t section :
             {visSectionUser, visSectionProp, visSectionScratch, visSectionConnectionPts,
              visSectionAction, visSectionControls, visSectionHyperlink, visSectionSmartTag,
              int16_t(visSectionFirstComponent), int16_t(visSectionFirstComponent + 1),
              visSectionTextField, visSectionCharacter, visSectionParagraph}) {
            rows += source->RowCount(section);
        }
        for (int i = 0; i < kDestinations; ++i) {
            destinations.push_back(
                page->DrawRectangle(4 + i % 40, 4 + i / 40, 5 + i % 40, 5 + i / 40));
        }
    }

    /// Every section the source has, with its text, to every destination.
    engine::CopyRequest Request(app::IPrompt& prompt) {
        engine::CopyRequest request;
        request.source = engine::CopyTarget{"source", source->Name(), source};
        for (size_t i = 0; i < destinations.size(); ++i)
            request.destinations.push_back({"d" + std::to_string(i), "d", destinations[i]});
        request.options.copyShapeText = true;
        window::SectionBoxes boxes;
        window::EnableDisableSectionsShape(prompt, boxes, source);
        for (const engine::CatalogueEntry& entry : engine::CatalogueEntries()) {
            if (boxes.boxes[static_cast<size_t>(entry.index)].enabled)
                request.sections.push_back(entry.index);
        }
        return request;
    }
};

struct RunFigures {
    int rows = 0;  // rows of the source's multi-row sections, each copied to every destination
    double secondsPerDestination = 0;
    std::map<std::string, double> callsPerDestination;
    double cellsPerDestination = 0;
};

RunFigures CopyOnce() {
    Drawing drawing;
    Silent prompt;
    const engine::CopyRequest request = drawing.Request(prompt);
    embedded::Model& model = drawing.app->TheModel();
    model.Calls().ResetCallCounts();
    engine::CopyDriver driver(drawing.app);
    const auto start = std::chrono::steady_clock::now();
    driver.BeginCopy(request, prompt);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (prompt.last != "Clone Complete." || prompt.others > 0) {
        std::fprintf(stderr, "The run ended with \"%s\" after %d other messages, the first:\n%s\n",
                     prompt.last.c_str(), prompt.others, prompt.first.c_str());
    }
    RunFigures figures;
    figures.secondsPerDestination = seconds / kDestinations;
    for (const auto& [member, count] : model.Calls().CallCounts()) {
        figures.callsPerDestination[member] = static_cast<double>(count) / kDestinations;
    }
    figures.rows = drawing.rows;
    std::printf("Source: %d rows in its multi-row sections\n", drawing.rows);
    return figures;
}

/// The cells one destination receives: the destination's cells written by SetFormulas, counted
/// on a copy to a single destination.
size_t CellsWrittenPerDestination() {
    Drawing drawing;
    Silent prompt;
    engine::CopyRequest request = drawing.Request(prompt);
    request.destinations.resize(1);
    size_t cells = 0;
    engine::CopyDriver driver(drawing.app);
    // Every cell of the destination's multi-row sections is written once by the copy.
    const ShapePtr destination = drawing.destinations.front();
    driver.BeginCopy(request, prompt);
    for (int16_t section = 0; section < 252; ++section) {
        if (section == visSectionObject) continue;
        for (int16_t row = 0; row < destination->RowCount(section); ++row) {
            cells += static_cast<size_t>(destination->RowsCellCount(section, row));
        }
    }
    return cells;
}

}  // namespace

static void BatchedSetFormulas(benchmark::State& state) {
    const auto cells = static_cast<int16_t>(state.range(0));
    auto app = std::make_shared<embedded::EmbeddedApplication>();
    const ShapePtr shape = app->Documents()->Add("")->Pages()->Item(1)->DrawRectangle(1, 1, 2, 2);
    std::vector<int16_t> stream;
    std::vector<std::string> formulas;
    shape->AddSection(visSectionScratch);
    for (int16_t row = 0; row * 6 < cells; ++row) {
        shape->AddRow(visSectionScratch, visRowLast, 0);
        for (int16_t cell = 0; cell < 6 && row * 6 + cell < cells; ++cell) {
            stream.insert(stream.end(), {visSectionScratch, row, cell});
            formulas.push_back("Width*0.1+" + std::to_string(row));
        }
    }
    for (auto _ : state)
        shape->SetFormulas(stream, formulas, visSetBlastGuards);
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const RunFigures copy = CopyOnce();
    const size_t cells = CellsWrittenPerDestination();
    std::printf("Copy: %.1f us per destination (%d destinations in one run)\n",
                copy.secondsPerDestination * 1e6, kDestinations);
    std::printf("Host calls per destination, by member:\n");
    double total = 0;
    for (const auto& [member, count] : copy.callsPerDestination) {
        std::printf("  %-28s %8.2f\n", member.c_str(), count);
        total += count;
    }
    std::printf("  %-28s %8.2f\n", "(all)", total);
    // Calls that grow faster than the rows copied show here first.
    const auto most =
        std::max_element(copy.callsPerDestination.begin(), copy.callsPerDestination.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    if (most != copy.callsPerDestination.end()) {
        std::printf("Most called: %s, %.2f calls per copied row\n", most->first.c_str(),
                    most->second / copy.rows);
    }

    benchmark::RegisterBenchmark("BatchedSetFormulas", BatchedSetFormulas)
        ->Arg(static_cast<int64_t>(cells))
        ->Unit(benchmark::kMicrosecond);
    struct Keep : benchmark::ConsoleReporter {
        double micros = 0;
        void ReportRuns(const std::vector<Run>& runs) override {
            for (const Run& run : runs)
                micros = run.GetAdjustedRealTime();
            ConsoleReporter::ReportRuns(runs);
        }
    } reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf(
        "One batched SetFormulas of %zu cells: %.1f us; copy per destination / batched write: "
        "%.2f\n",
        cells, reporter.micros, copy.secondsPerDestination * 1e6 / reporter.micros);
    benchmark::Shutdown();
    return 0;
}
