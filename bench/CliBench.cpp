// tessaline-cli as a whole process: one copy from one shape to every top-level shape of a page
// of more than 2,000 shapes, beside the same open and save without the copy. The page is built
// by repeating the top-level shapes of a sample page, renumbered.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <pugixml.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "host/embedded/Model.h"
#include "host/vsdx/Vsdx.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

extern char** environ;

namespace {

using namespace tess;

constexpr int kMinimumShapes = 2000;

std::string& Part(std::vector<test::ZipEntry>& entries, const std::string& name) {
    for (auto& entry : entries) {
        if (entry.name == name) return entry.content;
    }
    throw std::runtime_error("the sample has no " + name);
}

void CollectIds(const pugi::xml_node& shapes, std::set<int>& ids) {
    for (pugi::xml_node shape : shapes.children("Shape")) {
        ids.insert(shape.attribute("ID").as_int());
        CollectIds(shape.child("Shapes"), ids);
    }
}

/// Moves every shape ID of a copied subtree, and the references to them in its formulas.
void Renumber(pugi::xml_node shape, int offset, const std::set<int>& ids) {
    static const std::regex reference(R"(Sheet\.(\d+)!)");
    shape.attribute("ID").set_value(shape.attribute("ID").as_int() + offset);
    for (const pugi::xpath_node& found : shape.select_nodes(".//Cell[@F]")) {
        pugi::xml_node node = found.node();
        const std::string formula = node.attribute("F").value();
        std::string renumbered;
        auto last = formula.cbegin();
        for (std::sregex_iterator match(formula.begin(), formula.end(), reference), end;
             match != end; ++match) {
            renumbered.append(last, (*match)[0].first);
            const int id = std::stoi((*match)[1].str());
            renumbered += "Sheet." + std::to_string(ids.count(id) ? id + offset : id) + "!";
            last = (*match)[0].second;
        }
        renumbered.append(last, formula.cend());
        node.attribute("F").set_value(renumbered.c_str());
    }
    for (pugi::xml_node member : shape.child("Shapes").children("Shape"))
        Renumber(member, offset, ids);
}

/// A copy of the sample whose first page holds at least kMinimumShapes top-level shapes.
/// Returns the number of top-level shapes and the ID of the source shape.
std::pair<int, int> BuildLargePage(const std::string& sample, const std::string& target) {
    auto entries = test::ReadZip(sample);
    std::string& part = Part(entries, "visio/pages/page1.xml");
    pugi::xml_document page;
    page.load_string(part.c_str(), pugi::parse_default | pugi::parse_ws_pcdata);
    pugi::xml_node shapes = page.document_element().child("Shapes");
    std::set<int> ids;
    CollectIds(shapes, ids);
    std::vector<pugi::xml_node> originals;
    for (pugi::xml_node shape : shapes.children("Shape"))
        originals.push_back(shape);
    const int stride = *ids.rbegin() + 1;
    int count = static_cast<int>(originals.size());
    for (int copy = 1; count < kMinimumShapes; ++copy) {
        for (const pugi::xml_node& original : originals) {
            Renumber(shapes.append_copy(original), copy * stride, ids);
            ++count;
        }
    }
    std::ostringstream out;
    page.save(out, "", pugi::format_raw);
    part = out.str();
    test::WriteZip(target, entries);
    return {count, originals.back().attribute("ID").as_int()};
}

/// Runs a program with the arguments and waits for it; returns the wall time in seconds, or a
/// negative number when it failed.
double TimeProcess(const std::vector<std::string>& arguments) {
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (auto& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

double Best(const std::vector<std::string>& arguments, int runs) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double seconds = TimeProcess(arguments);
        if (seconds < 0) return seconds;
        best = std::min(best, seconds);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    // Run again by the measurement: open the drawing, read its page, save it. Nothing more.
    if (argc == 4 && std::string(argv[1]) == "--open-save") {
        embedded::Model model;
        const auto document = vsdx::OpenDocument(model, argv[2]);
        for (const auto& page : document->pages)
            model.LoadShapes(*page);
        vsdx::SaveDocument(model, *document, argv[3]);
        return 0;
    }
    test::TempFolder folder;
    const std::string drawing = folder.Path("large page.vsdx");
    const auto [shapes, sourceId] = BuildLargePage(test::SamplePath("BFlowcht.vsdx"), drawing);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string out = folder.Path("out.vsdx");
    const std::vector<std::string> copy = {TESSALINE_CLI,
                                           "copy",
                                           drawing,
                                           "--from",
                                           "page:Overview/Sheet." + std::to_string(sourceId),
                                           "--to",
                                           "page:Overview/*",
                                           "--all-sections",
                                           "-o",
                                           out};
    const std::vector<std::string> openSave = {self, "--open-save", drawing, out};
    constexpr int kRuns = 3;
    const double copySeconds = Best(copy, kRuns);
    const double openSaveSeconds = Best(openSave, kRuns);
    std::printf("Page of %d top-level shapes (%.1f MB package)\n", shapes,
                static_cast<double>(std::filesystem::file_size(drawing)) / (1 << 20));
    std::printf("tessaline-cli copy, every section to %d shapes: %8.1f ms (best of %d)\n",
                shapes - 1, copySeconds * 1e3, kRuns);
    std::printf("The same open and save without the copy:       %8.1f ms (best of %d)\n",
                openSaveSeconds * 1e3, kRuns);
    if (copySeconds > 0 && openSaveSeconds > 0) {
        std::printf("Copy per destination: %.1f us; whole process / open and save: %.2f\n",
                    (copySeconds - openSaveSeconds) * 1e6 / (shapes - 1),
                    copySeconds / openSaveSeconds);
    } else {
        std::printf("A run failed (status other than 0)\n");
    }
    return 0;
}
