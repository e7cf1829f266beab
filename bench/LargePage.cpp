#include "LargePage.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <pugixml.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>

#include "support/Samples.h"

extern char** environ;

namespace tess::bench {
namespace {

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

}  // namespace

std::pair<int, int> BuildLargePage(const std::string& sample, const std::string& target,
                                   int minimumShapes) {
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
    for (int copy = 1; count < minimumShapes; ++copy) {
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

ProcessTime RunTimed(const std::vector<std::string>& arguments, int highestStatus) {
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
    if (spawned != 0) return {};
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
    };
    if (!WIFEXITED(status) || WEXITSTATUS(status) > highestStatus) return {};
    return {wall, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

double TimeProcess(const std::vector<std::string>& arguments, int highestStatus) {
    return RunTimed(arguments, highestStatus).wall;
}

ProcessTime BestOf(const std::vector<std::string>& arguments, int runs, int highestStatus) {
    ProcessTime best{1e9, 1e9};
    for (int i = 0; i < runs; ++i) {
        const ProcessTime time = RunTimed(arguments, highestStatus);
        if (time.wall < 0) return time;
        if (time.wall < best.wall) best.wall = time.wall;
        if (time.cpu < best.cpu) best.cpu = time.cpu;
    }
    return best;
}

double Best(const std::vector<std::string>& arguments, int runs, int highestStatus) {
    return BestOf(arguments, runs, highestStatus).wall;
}

}  // namespace tess::bench
