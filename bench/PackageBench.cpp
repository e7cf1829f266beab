// Opening and saving a large drawing, beside the floor of simply inflating every entry of the
// same package with libzip; and the peak memory of opening and saving against the size of the
// unpacked XML. The drawing is built by replicating the pages of a sample until the package
// unpacks to at least 30 MB. A save checks every part it copies unchanged against its checksum,
// which inflates the parts the model did not read: the unchanged case pays about one floor more.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <sstream>

#include "host/embedded/Model.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

extern char** environ;

namespace {

using namespace tess;

constexpr uint64_t kUnpackedTarget = 30ull << 20;

std::string& Part(std::vector<test::ZipEntry>& entries, const std::string& name) {
    for (auto& entry : entries) {
        if (entry.name == name) return entry.content;
    }
    throw std::runtime_error("the sample has no " + name);
}

std::string Print(const pugi::xml_document& document) {
    std::ostringstream out;
    document.save(out, "", pugi::format_raw);
    return out.str();
}

/// Copies the sample's pages, with their relationships, until the package is large enough.
/// Returns the unpacked size of all entries and of the XML ones.
std::pair<uint64_t, uint64_t> BuildLargeDrawing(const std::string& sample,
                                                const std::string& target) {
    auto entries = test::ReadZip(sample);
    pugi::xml_document pages, pageRels, types;
    pages.load_string(Part(entries, "visio/pages/pages.xml").c_str());
    pageRels.load_string(Part(entries, "visio/pages/_rels/pages.xml.rels").c_str());
    types.load_string(Part(entries, "[Content_Types].xml").c_str());

    std::vector<pugi::xml_node> originals;
    for (pugi::xml_node page : pages.document_element().children("Page"))
        originals.push_back(page);
    std::map<std::string, std::string> targetOf;
    for (pugi::xml_node rel : pageRels.document_element().children("Relationship")) {
        targetOf[rel.attribute("Id").value()] = rel.attribute("Target").value();
    }
    uint64_t unpacked = 0;
    for (const auto& entry : entries)
        unpacked += entry.content.size();

    int next = static_cast<int>(originals.size());
    while (unpacked < kUnpackedTarget) {
        for (const pugi::xml_node& original : originals) {
            ++next;
            const std::string part = "page" + std::to_string(next) + ".xml";
            const std::string from = targetOf[original.child("Rel").attribute("r:id").value()];
            const std::string content = Part(entries, "visio/pages/" + from);
            entries.push_back({"visio/pages/" + part, content});
            unpacked += content.size();
            for (const auto& entry : std::vector<test::ZipEntry>(entries)) {
                if (entry.name == "visio/pages/_rels/" + from + ".rels") {
                    entries.push_back({"visio/pages/_rels/" + part + ".rels", entry.content});
                    unpacked += entry.content.size();
                }
            }
            pugi::xml_node copy = pages.document_element().append_copy(original);
            copy.attribute("ID").set_value(next + 1000);
            copy.attribute("Name").set_value(("Page-" + std::to_string(next)).c_str());
            if (copy.attribute("NameU"))
                copy.attribute("NameU").set_value(("Page-" + std::to_string(next)).c_str());
            const std::string id = "rIdCopy" + std::to_string(next);
            copy.child("Rel").attribute("r:id").set_value(id.c_str());
            pugi::xml_node rel = pageRels.document_element().append_child("Relationship");
            rel.append_attribute("Id").set_value(id.c_str());
            rel.append_attribute("Type").set_value(
                "http://schemas.microsoft.com/visio/2010/relationships/page");
            rel.append_attribute("Target").set_value(part.c_str());
            pugi::xml_node override = types.document_element().append_child("Override");
            override.append_attribute("PartName").set_value(("/visio/pages/" + part).c_str());
            override.append_attribute("ContentType").set_value("application/vnd.ms-visio.page+xml");
        }
    }
    Part(entries, "visio/pages/pages.xml") = Print(pages);
    Part(entries, "visio/pages/_rels/pages.xml.rels") = Print(pageRels);
    Part(entries, "[Content_Types].xml") = Print(types);
    test::WriteZip(target, entries);

    uint64_t all = 0, xml = 0;
    for (const auto& entry : entries) {
        all += entry.content.size();
        if (entry.name.ends_with(".xml") || entry.name.ends_with(".rels"))
            xml += entry.content.size();
    }
    return {all, xml};
}

struct Drawing {
    test::TempFolder folder;
    std::string path = folder.Path("large.vsdx");
    std::string saved = folder.Path("saved.vsdx");
    uint64_t unpacked = 0;
    uint64_t unpackedXml = 0;

    Drawing() {
        std::tie(unpacked, unpackedXml) =
            BuildLargeDrawing(test::SamplePath("BFlowcht.vsdx"), path);
    }
};

Drawing& TheDrawing() {
    static Drawing drawing;
    return drawing;
}

/// The floor: every entry of the package inflated into memory.
void InflateEveryEntry(benchmark::State& state) {
    const Drawing& drawing = TheDrawing();
    for (auto _ : state) {
        int error = 0;
        zip_t* archive = zip_open(drawing.path.c_str(), ZIP_RDONLY, &error);
        const zip_int64_t count = zip_get_num_entries(archive, 0);
        uint64_t total = 0;
        for (zip_int64_t i = 0; i < count; ++i) {
            zip_stat_t stat;
            zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
            std::string content(stat.size, '\0');
            zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
            total += static_cast<uint64_t>(zip_fread(file, content.data(), stat.size));
            zip_fclose(file);
            benchmark::DoNotOptimize(content.data());
        }
        zip_discard(archive);
        if (total != drawing.unpacked) state.SkipWithError("inflated size differs");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * drawing.unpacked));
}
BENCHMARK(InflateEveryEntry)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

enum class Use { Nothing, ReadEveryPage, EditEveryPage };

void OpenAndSave(embedded::Model& model, const std::string& path, const std::string& saved,
                 Use use) {
    const auto document = vsdx::OpenDocument(model, path);
    if (use == Use::ReadEveryPage) {
        for (const auto& page : document->pages)
            model.LoadShapes(*page);
    }
    if (use == Use::EditEveryPage) {
        // One cell on every page: every page part is written again.
        for (const auto& page : document->pages) {
            model.LoadShapes(*page);
            if (!page->shapes.empty())
                model.SetFormula(page->shapes.front(), visio::visSectionObject, 1, 6, "12 deg");
        }
    }
    vsdx::SaveDocument(model, *document, saved);
}

void OpenAndSaveBench(benchmark::State& state, Use use) {
    const Drawing& drawing = TheDrawing();
    for (auto _ : state) {
        embedded::Model model;
        OpenAndSave(model, drawing.path, drawing.saved, use);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * drawing.unpacked));
}
// As the program is used: open, change what is needed, save. Pages are read when first used.
BENCHMARK_CAPTURE(OpenAndSaveBench, Unchanged, Use::Nothing)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);
// Every page read into the model, none changed.
BENCHMARK_CAPTURE(OpenAndSaveBench, EveryPageRead, Use::ReadEveryPage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);
// One cell changed on every page: every page part is written again.
BENCHMARK_CAPTURE(OpenAndSaveBench, EveryPageEdited, Use::EditEveryPage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);

/// Keeps the time per iteration of every benchmark, as well as showing it.
class Recorder : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                milliseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> milliseconds;
};

/// This process's peak resident memory, in bytes.
uint64_t PeakMemory() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
    }
    return 0;
}

/// The peak resident memory of this program run again with the arguments, as it reports it:
/// a process of its own, so that nothing else this run holds is counted.
uint64_t PeakOfChild(const std::vector<std::string>& arguments) {
    std::vector<std::string> all = {std::filesystem::read_symlink("/proc/self/exe").string()};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int channel[2];
    if (pipe(channel) != 0) return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, channel[0]);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    std::string output;
    char buffer[256];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(got));
    close(channel[0]);
    if (spawned != 0) return 0;
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || output.empty()) return 0;
    return std::stoull(output);
}

double Megabytes(uint64_t bytes) {
    return static_cast<double>(bytes) / (1 << 20);
}

}  // namespace

int main(int argc, char** argv) {
    // Run again by the memory measurement: one open and save, nothing else.
    if (argc == 5 && std::string(argv[1]) == "--open-save") {
        embedded::Model model;
        const std::string use = argv[4];
        OpenAndSave(model, argv[2], argv[3],
                    use == "read"   ? Use::ReadEveryPage
                    : use == "edit" ? Use::EditEveryPage
                                    : Use::Nothing);
        std::printf("%llu\n", static_cast<unsigned long long>(PeakMemory()));
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--idle") {
        std::printf("%llu\n", static_cast<unsigned long long>(PeakMemory()));
        return 0;
    }

    benchmark::Initialize(&argc, argv);
    const Drawing& drawing = TheDrawing();
    std::printf("Drawing: %.1f MB unpacked (%.1f MB of XML), %.1f MB packed\n",
                Megabytes(drawing.unpacked), Megabytes(drawing.unpackedXml),
                Megabytes(std::filesystem::file_size(drawing.path)));
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);

    const double floor = recorder.milliseconds["InflateEveryEntry/min_time:2.000/real_time"];
    for (const char* name : {"Unchanged", "EveryPageRead", "EveryPageEdited"}) {
        const double time = recorder.milliseconds["OpenAndSaveBench/" + std::string(name) +
                                                  "/min_time:2.000/real_time"];
        if (floor > 0 && time > 0) {
            std::printf("Open + save, %-16s %8.1f ms, inflate floor %6.1f ms, ratio %.2f\n", name,
                        time, floor, time / floor);
        }
    }
    const uint64_t idle = PeakOfChild({"--idle"});
    for (const char* mode : {"unchanged", "read", "edit"}) {
        const uint64_t peak = PeakOfChild({"--open-save", drawing.path, drawing.saved, mode});
        std::printf(
            "Peak memory, open + save %-9s %7.1f MB (program alone %.1f MB): %.2f x the unpacked "
            "XML\n",
            mode, Megabytes(peak), Megabytes(idle),
            static_cast<double>(peak) / static_cast<double>(drawing.unpackedXml));
    }
    benchmark::Shutdown();
    return 0;
}
