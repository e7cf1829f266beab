// Parse + resolve throughput of the formula library over every formula of the sample drawings,
// repeated to a million formulas.
#include <benchmark/benchmark.h>

#include "formula/Evaluate.h"
#include "support/Samples.h"

namespace {

using namespace tess::formula;

constexpr size_t kFormulas = 1'000'000;

/// Answers every sheet and cell, so that the figure is the formula library's own cost.
class EverythingResolver : public ISheetResolver {
public:
    Sheet FindSheet(const SheetSelector&) override { return this; }
    std::optional<int16_t> FindRow(Sheet, const CellName& cell) override { return cell.row; }
    Value CellValue(Sheet, int16_t, int16_t, int16_t) override { return Value::Number(1); }
};

const std::vector<std::string>& SampleFormulas() {
    static const std::vector<std::string> formulas = [] {
        std::vector<std::string> all;
        for (const std::string& path : tess::test::SampleFiles()) {
            for (std::string& formula : tess::test::FormulasInPackage(path))
                all.push_back(std::move(formula));
        }
        return all;
    }();
    return formulas;
}

void BM_ParseAndResolve(benchmark::State& state) {
    const auto& formulas = SampleFormulas();
    EverythingResolver resolver;
    size_t references = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < kFormulas; ++i) {
            const ParseResult parsed = Parse(formulas[i % formulas.size()]);
            const auto resolved = ResolveReferences(parsed.formula, resolver);
            references += resolved.size();
            benchmark::DoNotOptimize(resolved.data());
        }
    }
    state.counters["formulas"] = benchmark::Counter(
        static_cast<double>(kFormulas * state.iterations()), benchmark::Counter::kIsRate);
    state.counters["distinct sample formulas"] = static_cast<double>(formulas.size());
    state.counters["references/formula"] =
        static_cast<double>(references) / static_cast<double>(kFormulas * state.iterations());
}

void BM_ParseResolveAndEvaluate(benchmark::State& state) {
    const auto& formulas = SampleFormulas();
    EverythingResolver resolver;
    for (auto _ : state) {
        for (size_t i = 0; i < kFormulas; ++i) {
            const ParseResult parsed = Parse(formulas[i % formulas.size()]);
            benchmark::DoNotOptimize(Evaluate(parsed.formula, resolver));
        }
    }
    state.counters["formulas"] = benchmark::Counter(
        static_cast<double>(kFormulas * state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ParseAndResolve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseResolveAndEvaluate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
