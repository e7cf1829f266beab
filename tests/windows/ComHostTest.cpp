// The COM host against the stand-in Visio in a process of its own: values and arrays cross
// intact, failures carry the host's number and text, names are looked up once, and the copy
// engine leaves the same drawing through COM as on the embedded model directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>

#include "engine/CopyFixture.h"
#include "host/com/ComHost.h"
#include "host/com/Dispatch.h"
#include "host/embedded/HostErrors.h"
#include "tests/windows/StandInProcess.h"

namespace tess::test {
namespace {

using namespace visio;

/// The stand-in's own members, reached late-bound as the host reaches Visio's.
class StandInControl {
public:
    StandInControl() {
        CLSID clsid{};
        com::Check(CLSIDFromProgID(L"Visio.Application", &clsid), "ProgID");
        com::Ref<IUnknown> running;
        com::Check(GetActiveObject(clsid, nullptr, running.Put()), "running object");
        com::Ref<IDispatch> object;
        com::Check(running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object.Put())),
                   "IDispatch");
        m_application.emplace(std::move(object), "StandIn");
    }
    std::string Dump() { return m_application->Call("StandInDump").AsString(); }
    void InjectFailure(int32_t n) { m_application->Call("StandInInjectFailure", {com::Variant::Long(n)}); }
    int32_t HostCalls() { return m_application->Call("StandInHostCalls").AsLong(); }
    /// Makes an empty master in a drawing (Visio's come from files), reached as Visio's are.
    MasterPtr AddMaster(const DocumentPtr& document, const std::string& name) {
        m_application->Call("StandInAddMaster",
                            {com::Variant::String(document->Name()), com::Variant::String(name)});
        return document->Masters()->Item(name);
    }

private:
    std::optional<com::Dispatch> m_application;
};

/// The request and the answers of copy runs, owned by each test.
class CopyState {
public:
    engine::CopyTarget Target(const ShapePtr& sheet) {
        return {"target" + std::to_string(++m_targets), sheet->Name(), sheet};
    }
    engine::CopyTarget Target(const PagePtr& page) { return Target(page->PageSheet()); }
    void Choose(std::initializer_list<int16_t> boxes) { request.sections.assign(boxes); }
    void Run(const ApplicationPtr& application, const engine::CopyTarget& source,
             std::vector<engine::CopyTarget> destinations) {
        request.source = source;
        request.destinations = std::move(destinations);
        engine::CopyDriver(application).BeginCopy(request, frontEnd);
    }

    engine::CopyRequest request;
    ScriptedFrontEnd frontEnd;

private:
    int m_targets = 0;
};

void AddRows(const ShapePtr& shape, int16_t section, std::vector<std::vector<std::string>> rows) {
    if (!shape->SectionExists(section, 1)) shape->AddSection(section);
    for (auto& cells : rows) {
        const int16_t row = shape->AddRow(section, visRowLast, 0);
        std::vector<int16_t> stream;
        std::vector<std::string> formulas;
        for (size_t c = 0; c < cells.size(); ++c) {
            stream.insert(stream.end(), {section, row, static_cast<int16_t>(c)});
            formulas.push_back(cells[c]);
        }
        shape->SetFormulas(stream, formulas, visSetBlastGuards);
    }
}

void AddNamedRow(const ShapePtr& shape, int16_t section, const std::string& name,
                 const std::vector<std::string>& cells) {
    if (!shape->SectionExists(section, 1)) shape->AddSection(section);
    const int16_t row = shape->AddNamedRow(section, name, 0);
    for (size_t c = 0; c < cells.size(); ++c)
        shape->CellsSRC(section, row, static_cast<int16_t>(c))->SetFormula(cells[c]);
}

/// A dump with the GUIDs that each model makes for itself blanked out.
std::string WithoutGuids(const std::string& dump) {
    static const std::regex guid(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})");
    return std::regex_replace(dump, guid, "{GUID}");
}

using AddMasterFn = std::function<MasterPtr(const DocumentPtr&, const std::string&)>;

/// The copy scenarios of the engine's own tests, through the host interface only, so that they
/// run alike on any host: user cells, scratch rows appended with their references shifted,
/// Geometry appended, refused formulas answered Continue and Cancel Run, sub-shapes, a shape in
/// a master (through its edit copy) and a page sheet.
void CopyScenarios(const ApplicationPtr& application, const AddMasterFn& addMaster,
                   CopyState& state) {
    const DocumentPtr document = application->Documents()->Add("");
    const PagePtr page = document->Pages()->Item(1);
    const ShapePtr source = page->DrawRectangle(1, 1, 3, 2);
    AddNamedRow(source, visSectionUser, "Twice", {"Width*2", "\"Twice the width — ±\""});
    AddRows(source, visSectionScratch, {{"1", "Scratch.X1+1"}, {"Scratch.X1*3", source->NameID() + "!Height"}});
    source->Cells("LineWeight")->SetFormula("Width/100");

    // Overwrite to a shape on this page and one on another.
    const ShapePtr first = page->DrawRectangle(4, 4, 5, 5);
    const PagePtr second = document->Pages()->Add();
    const ShapePtr other = second->DrawRectangle(1, 1, 2, 2);
    state.Choose({2, 9, 13});
    state.Run(application, state.Target(source), {state.Target(first), state.Target(other)});

    // Append chosen rows in a new order, with Geometry, to a shape that has rows of its own.
    const ShapePtr appended = page->DrawRectangle(6, 6, 7, 7);
    AddRows(appended, visSectionScratch, {{"7"}, {"8"}, {"9"}});
    state.Choose({2, 9, 8});
    state.request.options.copyType = engine::CopyType::Append;
    state.request.rows[visSectionScratch] = {1, 1, 0};
    state.request.orders[visSectionScratch] = {1, 0, 0};
    state.Run(application, state.Target(source), {state.Target(appended)});
    state.request.options.copyType = engine::CopyType::Overwrite;
    state.request.rows.clear();
    state.request.orders.clear();

    // Refused formulas: Continue, then Cancel Run.
    const ShapePtr refusing = page->DrawRectangle(1, 5, 2, 6);
    AddNamedRow(refusing, visSectionUser, "Only", {"1"});
    AddRows(refusing, visSectionScratch, {{"User.Only"}});
    refusing->Cells("LinePattern")->SetFormula("User.Only");
    state.Choose({9, 13});
    state.Run(application, state.Target(refusing), {state.Target(page->DrawRectangle(2, 5, 3, 6))});
    state.frontEnd.answers = {engine::ICopyFrontEnd::CopyErrorAnswer::CancelRun};
    state.Run(application, state.Target(refusing),
              {state.Target(page->DrawRectangle(3, 5, 4, 6)),
               state.Target(page->DrawRectangle(4, 5, 5, 6))});

    // Sub-shapes: the chosen cells go to the destination's sub-shapes of the same name.
    const auto makeGroup = [&](double x) {
        const ShapePtr inner = page->DrawRectangle(x, 7, x + 1, 8);
        inner->SetName("Inner");
        inner->ConvertToGroup();
        return page->Shapes()->Item(page->Shapes()->Count());
    };
    const ShapePtr sourceGroup = makeGroup(1);
    AddNamedRow(sourceGroup->Shapes()->Item(1), visSectionUser, "Deep", {"PinX*2"});
    const ShapePtr destinationGroup = makeGroup(3);
    state.request.options.subShapes = engine::SubShapes::CopyCells;
    state.Choose({2});
    state.Run(application, state.Target(sourceGroup), {state.Target(destinationGroup)});
    state.request.options.subShapes = engine::SubShapes::Ignore;

    // A shape in a master, copied to through the master's edit copy.
    const MasterPtr box = addMaster(document, "Box");
    box->Drop(page->DrawRectangle(6, 1, 7, 2), 0, 0);
    page->Drop(box, 3, 3);
    state.Choose({2, 9});
    state.Run(application, state.Target(source), {state.Target(box->Shapes()->Item(1))});

    // A page sheet to another page's.
    AddNamedRow(page->PageSheet(), visSectionUser, "Scale", {"2"});
    state.Choose({2});
    state.Run(application, state.Target(page), {state.Target(second)});
}

class ComHost : public ::testing::Test {
protected:
    com::ComApartment apartment;
    StandInProcess standIn;
    StandInControl control;
    ApplicationPtr visio = com::GetRunningVisio();
};

TEST_F(ComHost, ValuesAndArraysCrossIntactAndNamesAreLookedUpOnce) {
    com::ResetCalls();
    const DocumentPtr document = visio->Documents()->Add("");
    const ShapePtr shape = document->Pages()->Item(1)->DrawRectangle(1, 1, 3, 2);
    EXPECT_EQ(shape->Type(), visTypeShape);
    EXPECT_DOUBLE_EQ(shape->Cells("Width")->ResultIU(), 2);
    AddNamedRow(shape, visSectionUser, "Text", {"\"héllo — ✓\"", ""});
    AddRows(shape, visSectionScratch, {{"1", "2"}, {"3", "4"}});
    const std::vector<int16_t> stream = {visSectionScratch, 1, 1, visSectionUser, 0, 0,
                                         visSectionScratch, 0, 0};
    EXPECT_EQ(shape->GetFormulas(stream),
              (std::vector<std::string>{"4", "\"héllo — ✓\"", "1"}));
    EXPECT_EQ(shape->SetFormulas(stream, std::vector<std::string>{"40", "\"\"", "Width"},
                                 visSetBlastGuards),
              3);
    EXPECT_EQ(shape->GetFormulas(stream), (std::vector<std::string>{"40", "\"\"", "Width"}));
    EXPECT_TRUE(shape->GetFormulas({}).empty());
    EXPECT_EQ(std::dynamic_pointer_cast<IPage>(shape->Parent())->Name(),
              document->Pages()->Item(1)->Name());
    EXPECT_EQ(NameIDOf(document->Pages()->Item(1)->PageSheet()), "ThePage");

    // Each member name crossed once, however often it was called.
    const auto& calls = com::Calls();
    EXPECT_GT(calls.calls.at("Shape.GetFormulas"), 1u);
    const uint64_t lookups = calls.nameLookups;
    shape->GetFormulas(stream);
    shape->Cells("Height");
    EXPECT_EQ(com::Calls().nameLookups, lookups);
}

TEST_F(ComHost, AFailedCallCarriesTheHostsNumberAndText) {
    const ShapePtr shape = visio->Documents()->Add("")->Pages()->Item(1)->DrawRectangle(1, 1, 2, 2);
    AddRows(shape, visSectionScratch, {{"1"}, {"2"}});
    const std::vector<int16_t> stream = {visSectionScratch, 0, 0, visSectionScratch, 1, 0};
    try {
        shape->SetFormulas(stream, std::vector<std::string>{"5", "NoSuchCell+1"}, 0);
        ADD_FAILURE() << "a refused formula was written";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), embedded::hosterr::kBadFormula);
        EXPECT_EQ(error.Description().rfind(
                      embedded::hosterr::Describe(embedded::hosterr::kBadFormula), 0),
                  0u);
        EXPECT_NE(error.Description().find("NoSuchCell"), std::string::npos);
    }
    EXPECT_EQ(shape->GetFormulas(stream), (std::vector<std::string>{"5", "2"}));  // the first stays
    try {
        shape->CellsSRC(visSectionScratch, 9, 0)->Formula();
        ADD_FAILURE() << "a missing row was read";
    } catch (const Error& error) {
        EXPECT_LT(error.Number(), 0);
        EXPECT_FALSE(error.Description().empty());
    }
    control.InjectFailure(1);
    try {
        shape->Name();
        ADD_FAILURE() << "the injected failure did not come";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), embedded::hosterr::kInjected);
    }
    EXPECT_EQ(shape->Name(), "Sheet.1");
}

}  // namespace
}  // namespace tess::test

namespace tess::test {
namespace {

TEST_F(ComHost, TheCopyScenariosLeaveTheSameDrawingAsOnTheEmbeddedModel) {
    std::string direct;
    std::vector<std::string> directPrompts, directDialogs;
    {
        const auto model = std::make_shared<embedded::EmbeddedApplication>();
        CopyState state;
        CopyScenarios(
            model,
            [&](const DocumentPtr& document, const std::string& name) {
                model->TheModel().Shapes().AddMaster(embedded::DocumentOf(document), name);
                return document->Masters()->Item(name);
            },
            state);
        direct = WithoutGuids(DumpModel(model->TheModel()));
        directPrompts = state.frontEnd.Texts();
        directDialogs = state.frontEnd.shown;
    }
    // The scenarios did copy: what they were to leave is there.
    EXPECT_NE(direct.find("=Width*2"), std::string::npos);
    EXPECT_NE(direct.find("=PinX*2"), std::string::npos);
    EXPECT_NE(direct.find("=Geometry2.X1"), std::string::npos);
    EXPECT_EQ(directDialogs.size(), 3u);  // two refusals with Continue, one with Cancel Run

    CopyState state;
    CopyScenarios(
        visio,
        [&](const DocumentPtr& document, const std::string& name) {
            return control.AddMaster(document, name);
        },
        state);
    EXPECT_EQ(WithoutGuids(control.Dump()), direct);
    EXPECT_EQ(state.frontEnd.Texts(), directPrompts);
    EXPECT_EQ(state.frontEnd.shown, directDialogs);
}

}  // namespace
}  // namespace tess::test

namespace tess::test {
namespace {

TEST_F(ComHost, AFailureAtAnyHostCallIsReportedWithItsNumberAndTheRunRolledBack) {
    const DocumentPtr document = visio->Documents()->Add("");
    const PagePtr page = document->Pages()->Item(1);
    const ShapePtr source = page->DrawRectangle(1, 1, 3, 2);
    AddNamedRow(source, visSectionUser, "Twice", {"Width*2"});
    AddRows(source, visSectionScratch, {{"1", "Scratch.X1+1"}});
    const ShapePtr destination = page->DrawRectangle(4, 4, 5, 5);
    CopyState state;
    state.Choose({2, 9});
    const engine::CopyTarget sourceItem = state.Target(source);
    const engine::CopyTarget destinationItem = state.Target(destination);
    const auto run = [&] { state.Run(visio, sourceItem, {destinationItem}); };

    const std::string before = control.Dump();
    const int32_t start = control.HostCalls();
    run();
    const int32_t calls = control.HostCalls() - start;
    ASSERT_EQ(state.frontEnd.Texts(), std::vector<std::string>{"Clone Complete."});
    visio->Undo();
    ASSERT_EQ(control.Dump(), before);

    const std::string number = "Error Number: " + std::to_string(embedded::hosterr::kInjected);
    int discarded = 0;
    int reports = 0;
    // Every host call is failed in turn in-process (CopyDriver's test of the same name); through
    // COM each run costs a few milliseconds per call, so failures are spread over the run: the
    // first calls, then evenly up to the last one.
    const int32_t step = std::max<int32_t>(1, calls / 40);
    const auto next = [&](int32_t n) { return n < 8 || n == calls ? n + 1 : std::min(n + step, calls); };
    for (int32_t n = 1; n <= calls; n = next(n)) {
        SCOPED_TRACE("failure at host call " + std::to_string(n));
        state.frontEnd.messages.clear();
        state.frontEnd.shown.clear();
        control.InjectFailure(n);
        run();
        control.InjectFailure(0);
        // An error report names the host's number; some failures the run expects and passes
        // over, and a refused formula goes to the copy-error dialog instead.
        for (const auto& message : state.frontEnd.messages) {
            if (message.text.rfind("Problem in ", 0) != 0) continue;
            ++reports;
            EXPECT_NE(message.text.find(number), std::string::npos) << message.text;
        }
        if (control.Dump() == before) {
            ++discarded;
        } else {
            visio->Undo();  // a failure the run passed over: one undo step
            ASSERT_EQ(control.Dump(), before);
        }
    }
    EXPECT_GT(discarded, 0);
    EXPECT_GT(reports, 0);
}

}  // namespace
}  // namespace tess::test
