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
