#pragma once

#include <memory>
#include <string>

#include "app/Application.h"
#include "app/Globals.h"
#include "engine/CopyFixture.h"

namespace tess::test {

/// The embedded application, reporting whatever version a test sets.
class VersionedHost : public visio::IApplication {
public:
    explicit VersionedHost(visio::ApplicationPtr inner) : m_inner(std::move(inner)) {}
    visio::DocumentsPtr Documents() override { return m_inner->Documents(); }
    visio::DocumentPtr ActiveDocument() override { return m_inner->ActiveDocument(); }
    visio::PagePtr ActivePage() override { return m_inner->ActivePage(); }
    visio::WindowPtr ActiveWindow() override { return m_inner->ActiveWindow(); }
    std::string Version() override { return version; }
    int32_t BeginUndoScope(const std::string& name) override {
        return m_inner->BeginUndoScope(name);
    }
    void EndUndoScope(int32_t scope, bool commit) override { m_inner->EndUndoScope(scope, commit); }
    void Undo() override { m_inner->Undo(); }
    void Redo() override { m_inner->Redo(); }
    void Quit() override { m_inner->Quit(); }
    void AddEventSink(visio::IApplicationEvents* sink) override { m_inner->AddEventSink(sink); }
    void RemoveEventSink(visio::IApplicationEvents* sink) override {
        m_inner->RemoveEventSink(sink);
    }

    std::string version = "16.0";

private:
    visio::ApplicationPtr m_inner;
};

class NoWindows : public app::IWindows {
public:
    void DisplayMainWindow() override {}
    void Unload(std::string_view) override {}
};

/// A copy test with the program's host connection made to a VersionedHost over its drawing, as
/// the engine's version tests and details texts need it.
class HostedCopyTest : public CopyTest {
protected:
    void SetUp() override {
        CopyTest::SetUp();
        host = std::make_shared<VersionedHost>(app);
        app::g_oApplication = std::make_unique<app::Application>(windows);
        app::g_oApplication->Display(host);
    }
    void TearDown() override {
        app::g_oApplication.reset();
        CopyTest::TearDown();
    }

    NoWindows windows;
    std::shared_ptr<VersionedHost> host;
};

}  // namespace tess::test
