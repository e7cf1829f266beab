// Peak memory of the drawing-file operations against the size of the drawing's XML: a sample's
// first page filled with copies of its own shapes (3,400 top-level shapes by default; give another count as argument), then
// open, copy a section to every shape of the page, replace the sub-shapes of every shape of the
// page, and save. Each operation runs in a child process of its own, whose peak resident size
// (VmHWM) less what it held when it started is its figure: the model it opened included. Each
// figure is printed against the drawing's XML before the operation and against the larger of
// that and the XML of the drawing the operation made (replacing sub-shapes makes more XML).
// The copies are measured again with the save that follows counted ("copy+save", "replace+save").
// Further arguments name the operations to run ("open", "copy", "replace", "save", "copy+save",
// "replace+save"); all by default.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "SilentFrontEnd.h"
#include "engine/CopyDriver.h"
#include "engine/SectionCatalogue.h"
#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "support/Samples.h"
#include "support/TempFolder.h"
#include "ui/LargeDrawing.h"

namespace {

using namespace tess;

constexpr const char* kSample = "ppbt-architecture.vsdx";

/// A kilobyte figure of /proc/self/status ("VmHWM", "VmRSS").
long StatusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    }
    throw std::runtime_error("no " + field + " in /proc/self/status");
}

/// Runs work in a child process and returns what it measured, in kilobytes: by default its
/// peak resident size above the size it started with. Throws when the child fails.
long InChild(const std::function<long()>& work) {
    int channel[2];
    if (pipe(channel) != 0) throw std::runtime_error("no pipe");
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("no fork");
    if (child == 0) {
        close(channel[0]);
        long figure = -1;
        try {
            figure = work();
        } catch (const std::exception& fault) {
            std::fprintf(stderr, "%s\n", fault.what());
        }
        const bool written = write(channel[1], &figure, sizeof figure) == sizeof figure;
        _exit(written && figure >= 0 ? 0 : 1);
    }
    close(channel[1]);
    long figure = -1;
    const bool read = ::read(channel[0], &figure, sizeof figure) == sizeof figure;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("an operation failed");
    return figure;
}

/// Peak resident size of operation above the process's size before it, in kilobytes; then,
/// not counted, afterwards (which saves what the operation made, to weigh its XML).
long PeakOf(const std::function<void()>& operation, const std::function<void()>& afterwards = {}) {
    return InChild([&] {
        // The peak counted from here: the resident size now, not what the parent once held.
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = StatusKilobytes("VmRSS");
        operation();
        const long peak = StatusKilobytes("VmHWM") - before;
        if (afterwards) afterwards();
        return peak;
    });
}

/// Bytes of XML in the package, unpacked.
long XmlBytes(const std::string& path) {
    return InChild([&] {
        long bytes = 0;
        for (const test::ZipEntry& entry : test::ReadZip(path)) {
            if (entry.name.ends_with(".xml") || entry.name.ends_with(".rels"))
                bytes += static_cast<long>(entry.content.size());
        }
        return bytes;
    });
}

using Silent = bench::SilentFrontEnd;

/// The drawing opened, its first page's shapes loaded.
struct Opened {
    std::shared_ptr<embedded::EmbeddedApplication> app =
        std::make_shared<embedded::EmbeddedApplication>();
    std::shared_ptr<embedded::DocumentData> document;
    std::vector<embedded::SheetPtr> shapes;

    explicit Opened(const std::string& path)
        : document(vsdx::OpenDocument(app->TheModel(), path)) {
        for (const auto& page : document->pages)
            app->TheModel().LoadShapes(*page);
        shapes = document->pages.front()->shapes;
    }
};

/// A copy from the first top-level shape that matches to every other top-level shape.
void CopyToEveryShape(Opened& drawing, const std::function<bool(const embedded::SheetPtr&)>& source,
                      int16_t section, engine::SubShapes subShapes) {
    const auto& model = drawing.app->ModelPtr();
    engine::CopyRequest request;
    for (const embedded::SheetPtr& shape : drawing.shapes) {
        const visio::ShapePtr wrapped = embedded::WrapShape(model, shape);
        if (!request.source && source(shape)) {
            request.source = engine::CopyTarget{"source", wrapped->Name(), wrapped};
        } else {
            request.destinations.push_back({wrapped->Name(), wrapped->Name(), wrapped});
        }
    }
    if (!request.source) throw std::runtime_error("the page has no shape to copy from");
    request.sections.push_back(section);
    request.options.subShapes = subShapes;
    Silent frontEnd;
    engine::CopyDriver(drawing.app).BeginCopy(request, frontEnd);
    if (!frontEnd.Completed()) throw std::runtime_error("the copy did not complete");
}

int16_t EntryOfKind(engine::EntryKind kind) {
    for (const engine::CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (entry.kind == kind && entry.frame == engine::EntryFrame::Shape) return entry.index;
    }
    throw std::runtime_error("no such catalogue entry");
}

/// Whether the command line asks for the operation: every one when it names none.
bool Wanted(int argc, char** argv, const std::string& operation) {
    if (argc <= 2) return true;
    for (int i = 2; i < argc; ++i) {
        if (operation == argv[i]) return true;
    }
    return false;
}

/// One operation's line: its peak against the drawing's XML before it, and against the larger
/// of that and the XML of the drawing it made (sub-shape replacement makes a larger drawing).
void Print(const char* operation, long kilobytes, long xmlBytes, long xmlAfter) {
    const double megabytes = static_cast<double>(kilobytes) / 1024.0;
    const auto mb = [](long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); };
    std::printf("%-22s %9.1f %8.1f %8.1f %6.2f %6.2f\n", operation, megabytes, mb(xmlBytes),
                mb(xmlAfter), megabytes / mb(xmlBytes),
                megabytes / mb(std::max(xmlBytes, xmlAfter)));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const size_t shapes = argc > 1 ? std::stoul(argv[1]) : 3400;
        test::TempFolder folder;
        const std::string path = folder.Path("large.vsdx");
        const std::string saved = folder.Path("saved.vsdx");
        InChild([&] {
            const bench::LargeDrawing drawing =
                bench::BuildLargeDrawing(kSample, path, shapes);
            std::printf("%s filled to %zu top-level shapes, %zu at every depth, %zu groups\n",
                        kSample, drawing.topLevel, drawing.everyDepth, drawing.groups);
            std::fflush(stdout);
            return 0L;
        });
        const long xml = XmlBytes(path);
        std::printf("%-22s %9s %8s %8s %6s %6s\n", "operation", "peak MB", "XML MB", "after",
                    "ratio", "to max");
        // A copy to every shape of the page: its peak, and the XML of the drawing it made.
        // With the save counted too when thenSave says so.
        const auto copy = [&](const char* name, bool fromGroup, engine::SubShapes subShapes,
                              bool thenSave) {
            std::unique_ptr<Opened> drawing;
            const auto save = [&] {
                vsdx::SaveDocument(drawing->app->TheModel(), *drawing->document, saved);
            };
            const long peak = PeakOf(
                [&] {
                    drawing = std::make_unique<Opened>(path);
                    CopyToEveryShape(
                        *drawing,
                        [fromGroup](const auto& shape) { return shape->shapes.empty() != fromGroup; },
                        EntryOfKind(engine::EntryKind::GeometryRows), subShapes);
                    if (thenSave) save();
                },
                [&] {
                    if (!thenSave) save();
                });
            Print(name, peak, xml, XmlBytes(saved));
        };
        if (Wanted(argc, argv, "open"))
            Print("open", PeakOf([&] { Opened drawing(path); }), xml, xml);
        if (Wanted(argc, argv, "copy"))
            copy("copy Geometry", false, engine::SubShapes::Ignore, false);
        if (Wanted(argc, argv, "replace"))
            copy("replace sub-shapes", true, engine::SubShapes::ReplaceAll, false);
        if (Wanted(argc, argv, "copy+save"))
            copy("copy Geometry, save", false, engine::SubShapes::Ignore, true);
        if (Wanted(argc, argv, "replace+save"))
            copy("replace, save", true, engine::SubShapes::ReplaceAll, true);
        if (Wanted(argc, argv, "save")) {
            const long peak = PeakOf([&] {
                Opened drawing(path);
                vsdx::SaveDocument(drawing.app->TheModel(), *drawing.document, saved);
            });
            Print("open and save", peak, xml, XmlBytes(saved));
        }
        return 0;
    } catch (const std::exception& fault) {
        std::fprintf(stderr, "%s\n", fault.what());
        return 1;
    }
}
