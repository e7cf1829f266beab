// The cost of a copy through the COM host: a source with 200 Scratch rows copied to 100
// destinations through the stand-in Visio in its own process. Prints the calls per destination
// by member and the time per destination. Run under Wine (cmake/wine-run.sh) or on Windows.
#include <chrono>
#include <cstdio>
#include <map>

#include "engine/CopyDriver.h"
#include "host/com/ComHost.h"
#include "platform/visio/Constants.h"
#include "support/ScriptedFrontEnd.h"
#include "tests/windows/StandInProcess.h"

namespace {

using namespace tess;
using namespace tess::visio;

constexpr int kRows = 200;
constexpr int kDestinations = 100;

}  // namespace

int main() {
    com::ComApartment apartment;
    test::StandInProcess standIn;
    test::ScriptedFrontEnd frontEnd;
    const ApplicationPtr visio = com::GetRunningVisio();
    const PagePtr page = visio->Documents()->Add("")->Pages()->Item(1);

    const ShapePtr source = page->DrawRectangle(1, 1, 2, 2);
    source->AddSection(visSectionScratch);
    std::vector<int16_t> stream;
    std::vector<std::string> formulas;
    for (int16_t row = 0; row < kRows; ++row) {
        source->AddRow(visSectionScratch, visRowLast, 0);
        for (int16_t cell = 0; cell < 6; ++cell) {
            stream.insert(stream.end(), {visSectionScratch, row, cell});
            formulas.push_back(cell == 0 ? "Scratch.X" + std::to_string(row + 1) + "*0+" +
                                               std::to_string(row)
                                         : std::to_string(cell) + "+Width");
        }
    }
    source->SetFormulas(stream, formulas, visSetBlastGuards);

    engine::CopyRequest request;
    request.source = engine::CopyTarget{"source", source->Name(), source};
    for (int i = 0; i < kDestinations; ++i) {
        request.destinations.push_back(
            {"d" + std::to_string(i), "d",
             page->DrawRectangle(3 + i % 10, 1 + i / 10, 3.5 + i % 10, 1.5 + i / 10)});
    }
    request.sections = {9};  // Scratch

    com::ResetCalls();
    const auto start = std::chrono::steady_clock::now();
    engine::CopyDriver(visio).BeginCopy(request, frontEnd);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const com::CallCounts calls = com::Calls();

    std::printf("copy of %d Scratch rows to %d destinations through COM: %s\n", kRows,
                kDestinations, frontEnd.Texts().empty() ? "?" : frontEnd.Texts().back().c_str());
    std::printf("time per destination: %.1f ms (whole run %.2f s)\n",
                seconds * 1000 / kDestinations, seconds);
    std::printf("calls per destination: %.2f; name look-ups in the run: %llu\n",
                static_cast<double>(calls.Total()) / kDestinations,
                static_cast<unsigned long long>(calls.nameLookups));
    for (const auto& [member, count] : calls.calls)
        std::printf("  %-28s %8.2f\n", member.c_str(), static_cast<double>(count) / kDestinations);
    return 0;
}
