// Section preparation on the embedded model: rows, named rows, Geometry sections and text runs
// made on the destination before the copy; the shape text with its fields.
#include <gtest/gtest.h>

#include "engine/CopyFixture.h"
#include "engine/SectionPreparation.h"
#include "platform/visio/Constants.h"

namespace tess::test {
namespace {

using namespace visio;

class SectionPreparation : public CopyPairTest {};

TEST_F(SectionPreparation, IndexedSectionsGetOneRowPerChosenSourceRow) {
    engine::PrepareSection(run, source, destination, visSectionScratch, engine::CF_OVERWRITE);
    EXPECT_FALSE(destination->SectionExists(visSectionScratch, 0));  // the source has none

    AddRows(source, visSectionScratch, {{"1"}, {"2"}, {"3"}, {"4"}});
    request.rows[visSectionScratch] = {1, 1, 0, 1, 0};
    AddRows(destination, visSectionScratch, {{"0"}, {"0"}});
    engine::PrepareSection(run, source, destination, visSectionScratch, engine::CF_APPEND);
    EXPECT_EQ(destination->RowCount(visSectionScratch), 5);
    engine::PrepareSection(run, source, destination, visSectionScratch, engine::CF_OVERWRITE);
    EXPECT_EQ(destination->RowCount(visSectionScratch), 3);
}

TEST_F(SectionPreparation, NamedRowsAreAddedOnlyWhereTheNameIsMissing) {
    AddNamedRow(source, visSectionUser, "Width2", {"Width*2"});
    AddNamedRow(source, visSectionUser, "Height2", {"Height*2"});
    AddNamedRow(destination, visSectionUser, "Height2", {"1"});
    engine::PrepareSection(run, source, destination, visSectionUser, engine::CF_APPEND);
    ASSERT_EQ(destination->RowCount(visSectionUser), 2);
    EXPECT_EQ(destination->CellsSRC(visSectionUser, 0, 0)->RowName(), "Height2");
    EXPECT_EQ(destination->CellsSRC(visSectionUser, 1, 0)->RowName(), "Width2");

    // Overwrite empties the section first: the rows come back in the source's order.
    engine::PrepareSection(run, source, destination, visSectionUser, engine::CF_OVERWRITE);
    ASSERT_EQ(destination->RowCount(visSectionUser), 2);
    EXPECT_EQ(destination->CellsSRC(visSectionUser, 0, 0)->RowName(), "Width2");
}

TEST_F(SectionPreparation, TextSectionsKeepTheirRowsInOverwrite) {
    source->Characters()->SetText("ab");
    destination->Characters()->SetText("xyz");
    destination->Characters()->SetCharProps(visCharacterColor, 2);
    const int16_t before = destination->RowCount(visSectionCharacter);
    engine::PrepareSection(run, source, destination, visSectionCharacter, engine::CF_OVERWRITE);
    EXPECT_EQ(destination->RowCount(visSectionCharacter), before);
}

TEST_F(SectionPreparation, GeometryIsAppendedBehindTheDestinationsSections) {
    destination->AddSection(visSectionFirstComponent + 1);
    ASSERT_EQ(destination->GeometryCount(), 2);
    engine::PrepareGeometrySection(run, source, destination, engine::CF_APPEND);
    ASSERT_EQ(destination->GeometryCount(), 3);
    EXPECT_EQ(destination->RowCount(visSectionFirstComponent + 2),
              source->RowCount(visSectionFirstComponent));
    for (int16_t r = 0; r < source->RowCount(visSectionFirstComponent); ++r) {
        EXPECT_EQ(destination->RowType(visSectionFirstComponent + 2, r),
                  source->RowType(visSectionFirstComponent, r));
    }

    // A section none of whose rows is chosen is not prepared.
    request.geometryRows = {{0, visSectionFirstComponent, 0}, {0, visSectionFirstComponent, 1}};
    engine::PrepareGeometrySection(run, source, destination, engine::CF_APPEND);
    EXPECT_EQ(destination->GeometryCount(), 3);

    // Overwrite starts from no Geometry at all.
    request.geometryRows = {{0, visSectionFirstComponent, 0}, {1, visSectionFirstComponent, 1}};
    engine::PrepareGeometrySection(run, source, destination, engine::CF_OVERWRITE);
    ASSERT_EQ(destination->GeometryCount(), 1);
    // The chosen row comes after a component row of the section's own, which every Geometry
    // section begins with.
    ASSERT_EQ(destination->RowCount(visSectionFirstComponent), 2);
    EXPECT_EQ(destination->RowType(visSectionFirstComponent, 0), visTagComponent);
    EXPECT_EQ(destination->RowType(visSectionFirstComponent, 1),
              source->RowType(visSectionFirstComponent, 1));
}

TEST_F(SectionPreparation, TextIsCopiedWithItsFieldsPastTheLock) {
    source->Characters()->SetText("Size ");
    const CharactersPtr end = source->Characters();
    end->SetBegin(5);
    end->AddCustomField(source->NameID() + "!Width", 0);
    destination->Cells("LockTextEdit")->SetFormula("GUARD(1)");
    engine::SetCharacterText(run, source, destination, true);
    EXPECT_EQ(destination->Characters()->Text(), source->Characters()->Text());
    const CharactersPtr field = destination->Characters();
    field->SetBegin(5);
    EXPECT_TRUE(field->IsField());
    EXPECT_EQ(field->FieldFormula(), source->NameID() + "!Width");
    EXPECT_EQ(destination->Cells("LockTextEdit")->Formula(), "GUARD(1)");

    // Without fields the text arrives as text; an unlocked destination's lock stays as it is.
    const ShapePtr plain = Rectangle(6, 6, 7, 7);
    const std::string lock = plain->Cells("LockTextEdit")->Formula();
    engine::SetCharacterText(run, source, plain, false);
    EXPECT_EQ(plain->Characters()->Text(), source->Characters()->Text());
    EXPECT_FALSE(plain->Characters()->IsField());
    EXPECT_EQ(plain->Cells("LockTextEdit")->Formula(), lock);

    // An empty source changes nothing with fields on.
    const ShapePtr empty = Rectangle(8, 8, 9, 9);
    plain->Characters()->SetText("kept");
    engine::SetCharacterText(run, empty, plain, true);
    EXPECT_EQ(plain->Characters()->Text(), "kept");
}

TEST_F(SectionPreparation, DestinationRunsTakeTheSourceRunsRows) {
    source->Characters()->SetText("aaabbb");
    const CharactersPtr second = source->Characters();
    second->SetBegin(3);
    second->SetEnd(6);
    second->SetCharProps(visCharacterColor, 4);
    destination->Characters()->SetText("cccddd");
    engine::PrepareCharactersSection(run, source, destination);
    const CharactersPtr check = destination->Characters();
    check->SetBegin(4);
    check->SetEnd(5);
    EXPECT_EQ(check->CharPropsRow(visBiasLeft), second->CharPropsRow(visBiasLeft));
}

}  // namespace
}  // namespace tess::test
