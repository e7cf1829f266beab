// Throughput of the three list rewrites of a copy over a million formulas shaped like real
// ShapeSheet formulas: 5 to 300 characters, 0 to 6 references each.
//
// Each iteration rewrites the same list and the next one rewrites it back (Sheet.5 <-> Sheet.12,
// shift +2 <-> -2, Geometry1 <-> Geometry3), so every pass does the same work without copying.
#include <benchmark/benchmark.h>

#include <numeric>
#include <random>

#include "engine/ReferenceResolution.h"

namespace {

using tess::engine::FormulaList;

/// Where a rewrite would report a failure; none is expected.
class Quiet : public tess::app::IPrompt {
public:
    tess::app::Answer MsgBox(const std::string&, tess::app::Style, const std::string&) override {
        return tess::app::Answer::Ok;
    }
};

constexpr size_t kFormulas = 1'000'000;

FormulaList MakeFormulas() {
    static const char* const kReferences[] = {"Sheet.5!Width",
                                              "Sheet.5!PinX",
                                              "Scratch.X1",
                                              "Scratch.Y3",
                                              "Geometry1.X2",
                                              "Geometry1.Y1",
                                              "Geometry2.A4",
                                              "User.Row_1",
                                              "Prop.Cost",
                                              "Width",
                                              "Height",
                                              "Connections.X2",
                                              "Sheet.12!User.Flag",
                                              "ThePage!PageScale",
                                              "Controls.Row_1.Y"};
    static const char* const kFillers[] = {"*0.5",
                                           "+",
                                           "IF(",
                                           ",",
                                           ")",
                                           "-1 mm",
                                           "GUARD(",
                                           "2",
                                           "&\"x\"",
                                           "/2",
                                           "THEMEVAL(\"LineColor\",0)",
                                           "RGB(255,0,0)",
                                           "*",
                                           "0.25 in",
                                           "MAX(",
                                           ","};
    std::mt19937 random(20261205);
    std::uniform_int_distribution<size_t> length(5, 300);
    std::uniform_int_distribution<int> references(0, 6);
    std::uniform_int_distribution<size_t> pickReference(0, std::size(kReferences) - 1);
    std::uniform_int_distribution<size_t> pickFiller(0, std::size(kFillers) - 1);

    FormulaList formulas;
    formulas.reserve(kFormulas);
    for (size_t i = 0; i < kFormulas; ++i) {
        const size_t target = length(random);
        const int count = references(random);
        std::string formula;
        for (int r = 0; r < count && formula.size() < target; ++r) {
            formula += kReferences[pickReference(random)];
            formula += kFillers[pickFiller(random)];
        }
        while (formula.size() < target)
            formula += kFillers[pickFiller(random)];
        formula.resize(target);
        formulas.push_back(std::move(formula));
    }
    return formulas;
}

const FormulaList& Formulas() {
    static FormulaList formulas = MakeFormulas();
    return formulas;
}

size_t TotalBytes(const FormulaList& formulas) {
    return std::accumulate(formulas.begin(), formulas.end(), size_t{0},
                           [](size_t sum, const std::string& f) { return sum + f.size(); });
}

void Report(benchmark::State& state, const FormulaList& formulas) {
    const double bytes = static_cast<double>(TotalBytes(formulas)) * state.iterations();
    state.counters["MB"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
    state.counters["formulas"] = benchmark::Counter(
        static_cast<double>(formulas.size() * state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ResolveReferences(benchmark::State& state) {
    Quiet reports;
    FormulaList formulas = Formulas();
    tess::app::StringCollection forth, back;
    forth.Add("Sheet.5!|Sheet.12!", "Sheet.5");
    back.Add("Sheet.12!|Sheet.5!", "Sheet.12");
    bool even = true;
    for (auto _ : state) {
        tess::engine::ResolveReferences(reports, formulas, even ? forth : back);
        even = !even;
        benchmark::ClobberMemory();
    }
    Report(state, formulas);
}

void BM_ResolveReferencesToSelf(benchmark::State& state) {
    Quiet reports;
    FormulaList formulas = Formulas();
    int16_t shift = 2;
    for (auto _ : state) {
        tess::engine::ResolveReferencesToSelf(reports, formulas, shift, 6);
        shift = static_cast<int16_t>(-shift);
        benchmark::ClobberMemory();
    }
    Report(state, formulas);
}

void BM_ResolveGeometryReferencesToSelf(benchmark::State& state) {
    Quiet reports;
    FormulaList formulas = Formulas();
    bool even = true;
    for (auto _ : state) {
        tess::engine::ResolveGeometryReferencesToSelf(reports, formulas, even ? 10 : 12,
                                                      even ? 12 : 10);
        even = !even;
        benchmark::ClobberMemory();
    }
    Report(state, formulas);
}

BENCHMARK(BM_ResolveReferences)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResolveReferencesToSelf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResolveGeometryReferencesToSelf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
