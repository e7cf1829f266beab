// The embedded model: GetFormulas and SetFormulas throughput over a million cells, and the cost
// of ending an undo scope without commit after 1, 100 and 10,000 changes, in documents of 1,000
// and 100,000 shapes (it must follow the changes, not the document).
#include <benchmark/benchmark.h>

#include <random>

#include "host/embedded/Objects.h"
#include "platform/visio/Constants.h"

namespace {

using namespace tess;
using namespace tess::visio;

constexpr size_t kCells = 1'000'000;

/// A drawing with one shape carrying 100 Scratch rows of formulas shaped like real ones.
struct ScratchShape {
    std::shared_ptr<embedded::EmbeddedApplication> app =
        std::make_shared<embedded::EmbeddedApplication>();
    ShapePtr shape;
    std::vector<int16_t> stream;
    std::vector<std::string> formulas;

    ScratchShape() {
        const PagePtr page = app->Documents()->Add("")->Pages()->Item(1);
        page->DrawRectangle(0, 0, 1, 1);
        shape = page->DrawRectangle(1, 1, 3, 2);
        const char* const kFormulas[] = {"Width*0.5",       "Height*0.25+0.1 in", "Scratch.X1*2",
                                         "IF(Width>1,1,0)", "Sheet.1!Width",      "GUARD(12 pt)"};
        for (int16_t row = 0; row < 100; ++row) {
            shape->AddRow(visSectionScratch, visRowLast, 0);
            for (int16_t cell = 0; cell < 6; ++cell) {
                stream.insert(stream.end(), {visSectionScratch, row, cell});
                formulas.emplace_back(kFormulas[(row + cell) % 6]);
            }
        }
        shape->SetFormulas(stream, formulas, visSetBlastGuards);
    }
};

void BM_GetFormulas(benchmark::State& state) {
    ScratchShape drawing;
    const size_t perCall = drawing.formulas.size();
    for (auto _ : state) {
        for (size_t done = 0; done < kCells; done += perCall)
            benchmark::DoNotOptimize(drawing.shape->GetFormulas(drawing.stream));
    }
    state.counters["cells"] = benchmark::Counter(static_cast<double>(kCells * state.iterations()),
                                                 benchmark::Counter::kIsRate);
    state.counters["cells/call"] = static_cast<double>(perCall);
}

void BM_SetFormulas(benchmark::State& state) {
    ScratchShape drawing;
    const bool inScope = state.range(0) != 0;
    if (!inScope) drawing.app->TheModel().Undo().SetEnabled(false);
    const size_t perCall = drawing.formulas.size();
    for (auto _ : state) {
        for (size_t done = 0; done < kCells; done += perCall) {
            // Inside a scope, as a copy run writes: each batch is then rolled back.
            const int32_t scope = inScope ? drawing.app->BeginUndoScope("bench") : 0;
            drawing.shape->SetFormulas(drawing.stream, drawing.formulas, visSetBlastGuards);
            if (inScope) drawing.app->EndUndoScope(scope, false);
        }
    }
    state.SetLabel(inScope ? "in an undo scope, rolled back" : "undo off");
    state.counters["cells"] = benchmark::Counter(static_cast<double>(kCells * state.iterations()),
                                                 benchmark::Counter::kIsRate);
}

/// Ends a scope without commit after `changes` changes in a document of `shapes` rectangles.
void BM_EndUndoScopeWithoutCommit(benchmark::State& state) {
    const auto shapes = static_cast<size_t>(state.range(0));
    const auto changes = static_cast<size_t>(state.range(1));
    auto app = std::make_shared<embedded::EmbeddedApplication>();
    app->TheModel().Undo().SetEnabled(false);
    const PagePtr page = app->Documents()->Add("")->Pages()->Item(1);
    std::vector<ShapePtr> all;
    all.reserve(shapes);
    for (size_t i = 0; i < shapes; ++i)
        all.push_back(page->DrawRectangle(0, 0, 1, 1));
    app->TheModel().Undo().SetEnabled(true);
    std::mt19937 random(7);
    const std::vector<std::string> pin = {"2"};
    const std::vector<int16_t> pinX = {visSectionObject, visRowXFormOut, 0};
    for (auto _ : state) {
        state.PauseTiming();
        const int32_t scope = app->BeginUndoScope("bench");
        for (size_t i = 0; i < changes; ++i) {
            const ShapePtr& shape = all[random() % all.size()];
            if (i % 4 == 0) {
                shape->AddRow(visSectionScratch, visRowLast, 0);
            } else {
                shape->SetFormulas(pinX, pin, visSetBlastGuards);
            }
        }
        state.ResumeTiming();
        app->EndUndoScope(scope, false);
    }
    state.counters["shapes"] = static_cast<double>(shapes);
    state.counters["changes"] = static_cast<double>(changes);
}

BENCHMARK(BM_GetFormulas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetFormulas)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EndUndoScopeWithoutCommit)
    ->ArgsProduct({{1000, 100000}, {1, 100, 10000}})
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
