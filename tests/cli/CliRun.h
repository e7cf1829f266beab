#pragma once

// Running the built tessaline-cli as a person would, and the drawing its tests work on.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "support/RunProgram.h"
#include "support/TempFolder.h"

namespace tess::test {

using Result = ProgramResult;

inline std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string Quoted(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class Cli : public ::testing::Test {
protected:
    /// Runs tessaline-cli with the arguments; standard output and error are kept apart.
    Result Run(const std::vector<std::string>& arguments) {
        return RunProgram(TESSALINE_CLI, arguments, folder.Path(""));
    }

    /// A drawing made here and saved: a source with user cells, scratch rows and properties,
    /// two targets, and a group with named members.
    std::string MakeDrawing(const std::string& name) {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const visio::DocumentPtr document = app->Documents()->Add("");
        const visio::PagePtr page = document->Pages()->Item(1);
        const visio::ShapePtr source = page->DrawRectangle(1, 1, 2, 2);
        source->SetName("Source");
        for (const char* row : {"Alpha", "Beta", "Gamma"}) {
            if (!source->SectionExists(visio::visSectionUser, 1))
                source->AddSection(visio::visSectionUser);
            const int16_t index = source->AddNamedRow(visio::visSectionUser, row, 0);
            source->CellsSRC(visio::visSectionUser, index, 0)
                ->SetFormula("Width*" + std::to_string(index + 1));
        }
        source->AddSection(visio::visSectionScratch);
        for (int i = 0; i < 3; ++i) {
            const int16_t row = source->AddRow(visio::visSectionScratch, visio::visRowLast, 0);
            source->CellsSRC(visio::visSectionScratch, row, 0)->SetFormula(std::to_string(10 + i));
        }
        source->Cells("LineWeight")->SetFormula("Width/50");
        source->Characters()->SetText("Label");
        page->DrawRectangle(3, 3, 4, 4)->SetName("Target");
        page->DrawRectangle(5, 5, 6, 6)->SetName("Other");
        const std::string path = folder.Path(name);
        vsdx::SaveDocument(app->TheModel(), *embedded::DocumentOf(document), path);
        return path;
    }

    TempFolder folder;
};

}  // namespace tess::test
