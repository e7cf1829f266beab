#include "sweep/Sweep.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "app/StringTable.h"
#include "cli/Check.h"
#include "engine/CopyError.h"
#include "platform/visio/Resolver.h"
#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "support/ModelDump.h"
#include "support/RunProgram.h"
#include "support/TempFolder.h"
#include "sweep/DrawingSweep.h"
#include "sweep/Oracle.h"

namespace tess::sweep {
namespace {

/// A seed of its own for each copy, so that a copy can be made again alone.
uint64_t CopySeed(uint64_t seed, size_t index) {
    uint64_t z = seed * 0x9E3779B97F4A7C15ull + index + 1;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

bool IsStencil(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    return extension == ".vssx" || extension == ".vssm";
}

/// The paths the other reader draws for a file; nullopt when it cannot read it.
std::optional<size_t> PathsDrawn(const std::string& path, const test::TempFolder& folder) {
    const test::ProgramResult result =
        test::RunProgram(IsStencil(path) ? "vss2raw" : "vsd2raw", {path}, folder.Path(""));
    if (result.status != 0 || result.out.find("ERROR") != std::string::npos) return std::nullopt;
    size_t paths = 0;
    for (size_t at = result.out.find("drawPath"); at != std::string::npos;
         at = result.out.find("drawPath", at + 1))
        ++paths;
    return paths;
}

/// Whether the chosen sections may leave the other reader fewer paths to draw: they say how
/// a shape is drawn, or replace members.
bool MayDrawLess(const CopyCase& copy) {
    if (copy.subShapes == CopyCase::SubShapes::Replace) return true;
    for (int16_t index : copy.entries) {
        switch (index) {
            case 0: case 1: case 8: case 11: case 12: case 13: case 14: case 21: case 40: case 41:
                return true;
            default:
                break;
        }
    }
    return false;
}

/// A run ends as the front ends expect: no unexpected failure, and a run stopped by a check only
/// where the sweep picks what the check refuses (the source and a destination one inside the
/// other, with sub-shapes replaced).
void CheckOutcome(const engine::CopyReport& report, std::vector<Violation>& violations) {
    std::vector<std::string> messages;
    for (const engine::RunMessage& message : report.messages)
        messages.push_back(message.text);
    if (report.outcome == engine::CopyOutcome::RolledBack)
        violations.push_back({"rolled back", "the run was undone by an unexpected failure"});
    for (const std::string& message : messages) {
        if (message.starts_with("Problem in")) violations.push_back({"error report", message});
    }
    const bool nested = std::find(messages.begin(), messages.end(),
                                  app::LoadResString(engine::kNestedReplaceText)) != messages.end();
    if (report.outcome == engine::CopyOutcome::Failed && !nested)
        violations.push_back({"failed", messages.empty() ? "no message" : messages.back()});
}

/// The first line where two dumps part, with the line of each.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::istringstream a(expected), b(actual);
    std::string left, right;
    for (size_t line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, left));
        const bool moreB = static_cast<bool>(std::getline(b, right));
        if (!moreA && !moreB) return "the same";
        if (!moreA || !moreB || left != right)
            return "line " + std::to_string(line) + ": '" + (moreA ? left : "") + "' became '" +
                   (moreB ? right : "") + "'";
    }
}

}  // namespace

DrawingSweep::DrawingSweep(std::string drawing, std::string partner,
                           const std::set<std::string>& emptyKinds, const SweepOptions& options,
                           const test::TempFolder& folder)
    : m_paths{std::move(drawing), std::move(partner)},
      m_emptyKinds(emptyKinds),
      m_options(options),
      m_folder(folder) {
    Open();
}

void DrawingSweep::Open() {
    m_files = std::make_unique<cli::Workspace>(m_paths);
    m_sheets = ListSheets(*m_files);
    m_dump = test::DumpModel(m_files->Model());
    const cli::CheckResult checked = cli::CheckDocuments(*m_files);
    m_broken = std::set<cli::BrokenFormula>(checked.broken.begin(), checked.broken.end());
}

const cli::Workspace::Document& DrawingSweep::Document(const std::string& name) const {
    for (const auto& document : m_files->Documents()) {
        if (document.data->name == name) return document;
    }
    return m_files->Documents().front();
}

bool DrawingSweep::Copy(uint64_t seed, CopyCase& copy, std::vector<Violation>& violations,
                        std::ostream& trace) {
    // A pick that finds nothing to copy (a source whose sections no destination offers) is
    // made again with the same generator, a few times.
    std::mt19937_64 random(seed);
    std::optional<CopyCase> picked;
    for (int attempt = 0; attempt < 20 && !picked; ++attempt)
        picked = PickCase(*m_files, m_sheets, random);
    if (!picked) return false;
    copy = std::move(*picked);
    if (m_options.trace) trace << "  " << copy.Text() << std::endl;
    violations = Check(copy);
    return true;
}

std::vector<Violation> DrawingSweep::Check(const CopyCase& copy) {
    std::vector<Violation> violations;
    embedded::Model& model = m_files->Model();
    const size_t depth = model.Undo().UndoDepth();
    try {
        const Expectation expected(*m_files, copy);
        m_report = RunCase(*m_files, copy);
        CheckOutcome(m_report, violations);
        for (Violation& violation : expected.Check(*m_files, m_report))
            violations.push_back(std::move(violation));
        CheckBroken(violations);
        std::set<std::string> documents;
        const visio::Resolver names(m_files->AppPtr());
        for (const std::string& address : copy.destinations) {
            const visio::ShapePtr sheet = names.Resolve(visio::ObjectPath::Parse(address)).sheet;
            documents.insert(m_files->DocumentOf(sheet).data->name);
        }
        for (const std::string& document : documents)
            CheckWritten(copy, m_written++, document, violations);
    } catch (const std::exception& failure) {
        violations.push_back({"exception", failure.what()});
    }
    if (model.Undo().UndoDepth() > depth) model.Undo().Undo();
    CheckUndo(violations);
    return violations;
}

void DrawingSweep::CheckBroken(std::vector<Violation>& violations) {
    for (const cli::BrokenFormula& broken : cli::CheckDocuments(*m_files).broken) {
        if (!m_broken.count(broken)) {
            violations.push_back({"broken reference", broken.address + " " + broken.cell + " = " +
                                                          broken.formula + ": " + broken.why});
        }
    }
}

void DrawingSweep::CheckWritten(const CopyCase& copy, size_t index, const std::string& name,
                                std::vector<Violation>& violations) {
    const cli::Workspace::Document& document = Document(name);
    const std::string written = m_folder.Path(name);
    vsdx::SaveDocument(m_files->Model(), *document.data, written);

    if (!m_facts.count(name)) m_facts[name] = ReadFacts(document.path);
    for (Violation& violation : CompareFacts(m_facts[name], ReadFacts(written), m_emptyKinds))
        violations.push_back(std::move(violation));

    if (m_options.otherReaderEvery > 0 && index % m_options.otherReaderEvery == 0 &&
        !MayDrawLess(copy)) {
        if (!m_drawn.count(name)) m_drawn[name] = PathsDrawn(document.path, m_folder);
        const std::optional<size_t> before = m_drawn[name];
        const std::optional<size_t> after = PathsDrawn(written, m_folder);
        if (before && !after) {
            violations.push_back({"other reader", name + ": the other reader cannot read it"});
        } else if (before && *after < *before) {
            violations.push_back({"other reader", name + ": " + std::to_string(*after) +
                                                      " paths drawn where " +
                                                      std::to_string(*before) + " were"});
        }
    }

    auto reader = std::make_shared<embedded::EmbeddedApplication>();
    const auto read = vsdx::OpenDocument(reader->TheModel(), written);
    const std::string saved = test::DumpDocument(m_files->Model(), *document.data);
    const std::string again = test::DumpDocument(reader->TheModel(), *read);
    if (saved != again)
        violations.push_back({"read back", name + ": " + FirstDifference(saved, again)});
    std::filesystem::remove(written);
}

void DrawingSweep::CheckUndo(std::vector<Violation>& violations) {
    const std::string dump = test::DumpModel(m_files->Model());
    if (dump == m_dump) return;
    violations.push_back({"undo", FirstDifference(m_dump, dump)});
    Open();  // the next copies start from the drawings as read
}

std::vector<std::string> SweepDrawings() {
    std::vector<std::string> drawings;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(TESSALINE_TEST_DATA_DIR)) {
        if (entry.is_regular_file() && vsdx::IsVisioPackageName(entry.path().string()))
            drawings.push_back(entry.path().string());
    }
    std::sort(drawings.begin(), drawings.end());
    return drawings;
}

size_t RunSweep(const SweepOptions& options, std::ostream& out) {
    const auto started = std::chrono::steady_clock::now();
    const std::vector<std::string> all = SweepDrawings();
    std::vector<size_t> chosen;  // positions in all
    for (size_t i = 0; i < all.size(); ++i) {
        if (std::filesystem::path(all[i]).filename().string().find(options.drawing) !=
            std::string::npos)
            chosen.push_back(i);
    }
    if (chosen.empty()) {
        out << "no drawing's name holds '" << options.drawing << "'\n";
        return 1;
    }
    std::vector<size_t> indices = options.only;
    if (indices.empty()) {
        for (size_t i = 0; i < options.count; ++i)
            indices.push_back(i);
    }
    // Each copy's drawing follows from its own seed; the copies of a drawing run together, so
    // that each drawing is read once.
    std::map<size_t, std::vector<size_t>> byDrawing;
    for (size_t index : indices)
        byDrawing[chosen[CopySeed(options.seed, index) % chosen.size()]].push_back(index);

    const std::set<std::string> emptyKinds = EmptyValueKinds(all);
    const test::TempFolder folder;
    std::map<std::string, size_t> counts;
    size_t copies = 0, skipped = 0, violationCount = 0, refused = 0, refusing = 0;
    for (const auto& [drawing, copyIndices] : byDrawing) {
        DrawingSweep sweep(all[drawing], all[(drawing + 1) % all.size()], emptyKinds, options,
                           folder);
        for (size_t index : copyIndices) {
            CopyCase copy;
            std::vector<Violation> violations;
            // The copy's own seed picks again what the drawing was picked by.
            if (options.trace) out << "copy " << index << std::endl;
            if (!sweep.Copy(CopySeed(options.seed, index) / chosen.size(), copy, violations, out)) {
                ++skipped;
                continue;
            }
            ++copies;
            size_t formulas = 0;
            for (const engine::DestinationReport& destination : sweep.Report().destinations)
                formulas += destination.refused.size();
            refused += formulas;
            refusing += formulas > 0 ? 1 : 0;
            for (const Violation& violation : violations) {
                ++counts[violation.kind];
                ++violationCount;
                out << "seed " << options.seed << " copy " << index << ": " << violation.kind
                    << ": " << violation.what << "\n    " << copy.Text() << "\n";
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    out << copies << " copies (" << skipped << " picks without a copy) across " << byDrawing.size()
        << " drawings in " << static_cast<int>(seconds) << " s: " << violationCount
        << " violations; " << refused << " formulas refused in " << refusing << " copies\n";
    for (const auto& [kind, count] : counts)
        out << "  " << kind << ": " << count << "\n";
    return violationCount;
}

}  // namespace tess::sweep
