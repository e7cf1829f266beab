#pragma once

#include <string>
#include <vector>

#include "engine/CopyDriver.h"
#include "engine/CopyError.h"
#include "engine/CopyRequest.h"
#include "host/EmbeddedFixture.h"
#include "support/ModelDump.h"
#include "support/ScriptedFrontEnd.h"

namespace tess::test {

/// A drawing in the embedded model with a copy request of its own, a run on it for the
/// primitives, and a scripted front end.
class CopyTest : public EmbeddedDrawing {
protected:
    /// A request's target for a shape, page sheet or document sheet, under a key of its own.
    engine::CopyTarget Target(const visio::ShapePtr& sheet) {
        return {"target" + std::to_string(++m_targets), sheet->Name(), sheet};
    }
    engine::CopyTarget Target(const visio::PagePtr& target) { return Target(target->PageSheet()); }
    engine::CopyTarget Target(const visio::DocumentPtr& target) {
        return Target(target->DocumentSheet());
    }

    void Source(const engine::CopyTarget& target) { request.source = target; }
    void Destinations(std::vector<engine::CopyTarget> targets) {
        request.destinations = std::move(targets);
    }
    /// Adds the entries of these box indices to the sections copied.
    void Choose(std::initializer_list<int16_t> boxes) {
        request.sections.insert(request.sections.end(), boxes.begin(), boxes.end());
    }
    engine::CopyReport Run() { return driver.BeginCopy(request, frontEnd); }

    engine::CopyRequest request;
    ScriptedFrontEnd frontEnd;
    engine::CopyRun run{request, frontEnd};
    engine::CopyDriver driver{app};

private:
    int m_targets = 0;
};

/// A copy from a rectangle, the source, to another.
class CopyPairTest : public CopyTest {
protected:
    void SetUp() override {
        CopyTest::SetUp();
        source = Rectangle();
        destination = Rectangle(4, 4, 5, 5);
        Source(Target(source));
    }

    visio::ShapePtr source;
    visio::ShapePtr destination;
};

}  // namespace tess::test
