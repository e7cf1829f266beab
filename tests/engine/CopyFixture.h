#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "engine/CopyDriver.h"
#include "engine/CopyError.h"
#include "engine/RowStores.h"
#include "engine/WindowState.h"
#include "host/EmbeddedFixture.h"
#include "support/ModelDump.h"
#include "support/ScriptedPrompt.h"

namespace tess::test {

/// The copy error dialog, answered from a script (Continue once the script is used up).
class ScriptedCopyErrorDialog : public engine::ICopyErrorDialog {
public:
    void SetMessage(const std::string& text) override { message = text; }
    Answer ShowModal(const engine::CopyErrorDetails& details) override {
        shown.push_back(message);
        formulasShown = details.formulas;
        if (answers.empty()) return Answer::Continue;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::string message;
    std::vector<std::string> shown;
    std::vector<std::string> formulasShown;  // the details of the last dialog shown
    std::deque<Answer> answers;
};

/// The shape tree as a map from keys to objects.
class MapTree : public engine::INodeResolver {
public:
    visio::ObjectPtr GetNodeObject(const std::string& key) override {
        const auto found = objects.find(key);
        return found == objects.end() ? nullptr : found->second;
    }
    std::map<std::string, visio::ObjectPtr> objects;
};

/// A drawing in the embedded model with a window state of its own, a run on it for the
/// primitives, a scripted prompt and copy error dialog, and a tree that resolves the items made
/// by Item().
class CopyTest : public EmbeddedDrawing {
protected:
    void SetUp() override {
        EmbeddedDrawing::SetUp();
        engine::SetCopyErrorDialog(&dialog);
        window.tree = &tree;
    }
    void TearDown() override { engine::SetCopyErrorDialog(nullptr); }

    engine::CopyWindow& Window() { return window; }

    /// A list item for a shape, page or document; the tree resolves it.
    engine::ListItem Item(const visio::ObjectPtr& object, int16_t image, const std::string& text) {
        const std::string key = "node" + std::to_string(tree.objects.size() + 1);
        tree.objects[key] = object;
        return {key, text, image};
    }
    engine::ListItem Item(const visio::ShapePtr& shape) {
        return Item(shape, shape->Shapes()->Count() > 0 ? engine::kImageGroup : engine::kImageShape,
                    shape->Name());
    }

    void Source(const engine::ListItem& item) { Window().source = {item}; }
    void Destinations(std::vector<engine::ListItem> items) {
        Window().destinations = std::move(items);
        Window().options.copyTypeFrameEnabled = !Window().destinations.empty();
    }
    /// Checks and enables the boxes of these entries.
    void Choose(std::initializer_list<int16_t> boxes) {
        for (int16_t box : boxes)
            Window().sections.boxes[static_cast<size_t>(box)] = {1, true};
    }

    /// Adds rows to a section (made when missing) and writes their cells' formulas.
    static void AddRows(const visio::ShapePtr& shape, int16_t section,
                        std::vector<std::vector<std::string>> rows) {
        if (!shape->SectionExists(section, 1)) shape->AddSection(section);
        for (auto& cells : rows) {
            const int16_t row = shape->AddRow(section, visio::visRowLast, 0);
            for (size_t c = 0; c < cells.size(); ++c) {
                if (!cells[c].empty())
                    shape->CellsSRC(section, row, static_cast<int16_t>(c))->SetFormula(cells[c]);
            }
        }
    }
    static void AddNamedRow(const visio::ShapePtr& shape, int16_t section, const std::string& name,
                            std::vector<std::string> cells) {
        if (!shape->SectionExists(section, 1)) shape->AddSection(section);
        const int16_t row = shape->AddNamedRow(section, name, 0);
        for (size_t c = 0; c < cells.size(); ++c) {
            if (!cells[c].empty())
                shape->CellsSRC(section, row, static_cast<int16_t>(c))->SetFormula(cells[c]);
        }
    }
    /// A group on the page whose members have these names, in this order.
    visio::ShapePtr Group(const std::vector<std::string>& names) {
        const visio::ShapePtr first = Rectangle();
        first->ConvertToGroup();
        const visio::ShapePtr group = std::dynamic_pointer_cast<visio::IShape>(first->Parent());
        first->SetName(names.front());
        for (size_t i = 1; i < names.size(); ++i)
            group->DrawRectangle(1, 1, 2, 2)->SetName(names[i]);
        return group;
    }

    static std::string FormulaOf(const visio::ShapePtr& shape, int16_t section, int16_t row,
                                 int16_t cell) {
        return shape->CellsSRC(section, row, cell)->Formula();
    }

    engine::CopyWindow window;
    engine::CopyRun run{window};
    ScriptedPrompt prompt;
    ScriptedCopyErrorDialog dialog;
    MapTree tree;
    engine::CopyDriver driver{app};
};

/// A copy from a rectangle, the source item, to another.
class CopyPairTest : public CopyTest {
protected:
    void SetUp() override {
        CopyTest::SetUp();
        source = Rectangle();
        destination = Rectangle(4, 4, 5, 5);
        Source(Item(source));
    }

    visio::ShapePtr source;
    visio::ShapePtr destination;
};

}  // namespace tess::test
