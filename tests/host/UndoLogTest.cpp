#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/embedded/CallGate.h"
#include "host/embedded/HostErrors.h"
#include "host/embedded/UndoLog.h"
#include "platform/visio/Error.h"

namespace tess::embedded {
namespace {

/// A value changed the way the model's primitives change sheets: each change records its
/// inverse, which records the change again when it runs.
struct Value {
    UndoLog& log;
    int current = 0;

    void Set(int value) {
        const int old = std::exchange(current, value);
        log.Record([this, old] { Set(old); });
        log.Changed();
    }
};

/// Runs a script: a digit sets the value, B begins a scope, C commits and D discards the
/// innermost one, U undoes, R redoes, X turns recording off and E on again.
void Play(UndoLog& log, Value& value, const std::string& script) {
    std::vector<int32_t> scopes;
    for (const char op : script) {
        if (op >= '0' && op <= '9') {
            value.Set(op - '0');
        } else if (op == 'B') {
            scopes.push_back(log.BeginScope(std::string("scope ") + std::to_string(scopes.size())));
        } else if (op == 'C' || op == 'D') {
            log.EndScope(scopes.back(), op == 'C');
            scopes.pop_back();
        } else if (op == 'U') {
            log.Undo();
        } else if (op == 'R') {
            log.Redo();
        } else {
            log.SetEnabled(op == 'E');
        }
    }
}

struct Script {
    const char* name;
    const char* script;
    int value;
    size_t undoDepth;
    size_t redoDepth;
};

TEST(UndoLog, ScriptsOfScopesUndoAndRedo) {
    const Script scripts[] = {
        {"each change outside a scope is a step", "12", 2, 2, 0},
        {"undo takes back the last step", "12U", 1, 1, 1},
        {"redo does it again", "12UUR", 1, 1, 1},
        {"undoing past the first step does nothing", "1UUU", 0, 0, 1},
        {"a committed scope is one step", "B123C", 3, 1, 0},
        {"undoing a scope takes back all of it", "5B123CU", 5, 1, 1},
        {"redoing a scope does all of it again", "B123CUR", 3, 1, 0},
        {"a discarded scope leaves no trace", "4B12D", 4, 1, 0},
        {"a change in a scope forgets redo, even when discarded", "12UB3D", 1, 1, 0},
        {"a nested scope joins the outer one", "BB12C3C", 3, 1, 0},
        {"discarding the outer scope takes back a committed inner one", "BB12CD", 0, 0, 0},
        {"discarding the inner scope keeps the outer one's changes", "B1B2DC", 1, 1, 0},
        {"an empty scope is no step", "BC", 0, 0, 0},
        {"a new change forgets what redo would do", "12U3", 3, 2, 0},
        {"changes made while recording is off are no step", "1X2E", 2, 1, 0},
        {"undo and redo of several steps keep their order", "123UUURRR", 3, 3, 0},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        UndoLog log;
        Value value{log};
        Play(log, value, script.script);
        EXPECT_EQ(value.current, script.value);
        EXPECT_EQ(log.UndoDepth(), script.undoDepth);
        EXPECT_EQ(log.RedoDepth(), script.redoDepth);
        EXPECT_FALSE(log.ScopeOpen());
    }
}

TEST(UndoLog, StepsKeepTheNamesOfTheirScopes) {
    UndoLog log;
    Value value{log};
    EXPECT_EQ(log.UndoName(), "");
    log.EndScope(log.BeginScope("Copy"), true);  // empty: no step
    EXPECT_EQ(log.UndoName(), "");
    const int32_t scope = log.BeginScope("Copy");
    value.Set(1);
    log.EndScope(scope, true);
    EXPECT_EQ(log.UndoName(), "Copy");
    log.Undo();
    EXPECT_EQ(log.UndoName(), "");
    EXPECT_EQ(log.RedoName(), "Copy");
}

TEST(UndoLog, UnbalancedScopesAndUndoInsideAScopeAreRefused) {
    UndoLog log;
    Value value{log};
    value.Set(1);
    const int32_t outer = log.BeginScope("outer");
    const int32_t inner = log.BeginScope("inner");
    const auto refuses = [](const auto& call) {
        try {
            call();
        } catch (const Error& error) {
            return error.Number() == hosterr::kUndoScope;
        }
        return false;
    };
    EXPECT_TRUE(refuses([&] { log.EndScope(outer, true); }));
    EXPECT_TRUE(refuses([&] { log.EndScope(inner + 100, true); }));
    EXPECT_TRUE(refuses([&] { log.Undo(); }));
    EXPECT_TRUE(refuses([&] { log.Redo(); }));
    EXPECT_TRUE(refuses([&] { log.RequireNoOpenScope(); }));
    EXPECT_EQ(value.current, 1);
    log.EndScope(inner, true);
    log.EndScope(outer, true);
    EXPECT_FALSE(refuses([&] { log.RequireNoOpenScope(); }));
    EXPECT_EQ(log.UndoDepth(), 1u);
}

TEST(UndoLog, EveryChangeAndEveryReversalCountsAsAChange) {
    UndoLog log;
    Value value{log};
    uint64_t before = log.ChangeCount();
    for (const char* script : {"1", "U", "R", "B2D", "B3C", "U"}) {
        SCOPED_TRACE(script);
        Play(log, value, script);
        EXPECT_GT(log.ChangeCount(), before);
        before = log.ChangeCount();
    }
}

TEST(UndoLog, ForgettingDropsUndoAndRedoButNotTheState) {
    UndoLog log;
    Value value{log};
    Play(log, value, "123U");
    log.Forget();
    EXPECT_EQ(value.current, 2);
    EXPECT_EQ(log.UndoDepth(), 0u);
    EXPECT_EQ(log.RedoDepth(), 0u);
    log.Undo();
    EXPECT_EQ(value.current, 2);
}

TEST(CallGate, CountsCallsAndFailsTheInjectedOne) {
    CallGate gate;
    gate.Gate("Shape.Name");
    gate.Gate("Shape.Name");
    gate.Gate("Cell.Formula");
    EXPECT_EQ(gate.CallCount("Shape.Name"), 2u);
    EXPECT_EQ(gate.CallCount("Cell.Formula"), 1u);
    EXPECT_EQ(gate.CallCount("Page.Drop"), 0u);
    EXPECT_EQ(gate.TotalCalls(), 3u);

    gate.InjectFailure(2, -2147467259, "Unspecified error");
    gate.Gate("Shape.Name");  // the first call from now passes
    try {
        gate.Gate("Cell.Formula");
        ADD_FAILURE() << "the second call from now did not fail";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), -2147467259);
        EXPECT_EQ(error.Description(), "Unspecified error");
    }
    gate.Gate("Cell.Formula");  // a failure fires once
    EXPECT_EQ(gate.CallCount("Cell.Formula"), 3u);

    gate.InjectFailure(1);
    try {
        gate.Gate("Shape.Name");
        ADD_FAILURE() << "the next call did not fail";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), hosterr::kInjected);
        EXPECT_EQ(error.Description(), hosterr::Describe(hosterr::kInjected));
    }

    gate.InjectFailure(1);
    gate.ClearInjectedFailure();
    gate.Gate("Shape.Name");
    gate.ResetCallCounts();
    EXPECT_EQ(gate.TotalCalls(), 0u);
    EXPECT_TRUE(gate.CallCounts().empty());
}

}  // namespace
}  // namespace tess::embedded
