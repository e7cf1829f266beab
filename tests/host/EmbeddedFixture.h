#pragma once

#include <gtest/gtest.h>

#include "host/embedded/Objects.h"
#include "platform/visio/Constants.h"

namespace tess::test {

/// A new drawing in the embedded model: one page, reached through the host objects.
class EmbeddedDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        document = app->Documents()->Add("");
        page = document->Pages()->Item(1);
    }

    embedded::Model& Model() { return app->TheModel(); }

    visio::ShapePtr Rectangle(double x1 = 1, double y1 = 1, double x2 = 3, double y2 = 2) {
        return page->DrawRectangle(x1, y1, x2, y2);
    }

    /// Writes formulas to cells named as formulas name them, in one SetFormulas call.
    static void Write(const visio::ShapePtr& shape,
                      std::vector<std::pair<std::string, std::string>> cells) {
        std::vector<int16_t> stream;
        std::vector<std::string> formulas;
        for (auto& [name, formula] : cells) {
            const auto cell = shape->Cells(name);
            stream.insert(stream.end(), {cell->Section(), cell->Row(), cell->Column()});
            formulas.push_back(std::move(formula));
        }
        shape->SetFormulas(stream, formulas, visio::visSetBlastGuards);
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

    /// The error number a call fails with; 0 when it does not fail.
    template <class Body>
    static int32_t ErrorOf(Body&& body) {
        try {
            body();
        } catch (const Error& error) {
            return error.Number();
        }
        return 0;
    }

    std::shared_ptr<embedded::EmbeddedApplication> app =
        std::make_shared<embedded::EmbeddedApplication>();
    visio::DocumentPtr document;
    visio::PagePtr page;
};

}  // namespace tess::test
