#include <gtest/gtest.h>

#include "host/EmbeddedFixture.h"
#include "host/embedded/HostErrors.h"

namespace tess::embedded {
namespace {

using namespace visio;
using Text = test::EmbeddedDrawing;

std::pair<int32_t, int32_t> RunAt(const CharactersPtr& characters, int32_t position,
                                  int16_t runType) {
    characters->SetBegin(position);
    characters->SetEnd(position);
    return {characters->RunBegin(runType), characters->RunEnd(runType)};
}

TEST_F(Text, RangesTextAndWordAndParagraphRuns) {
    const ShapePtr shape = Rectangle();
    const CharactersPtr characters = shape->Characters();
    EXPECT_EQ(characters->CharCount(), 0);
    characters->SetText("Hello, big world\nSecond line");
    EXPECT_EQ(characters->Begin(), 0);
    EXPECT_EQ(characters->End(), 28);
    EXPECT_EQ(shape->Characters()->Text(), "Hello, big world\nSecond line");
    EXPECT_EQ(RunAt(characters, 2, visWordRun), std::make_pair(0, 5));   // "Hello"
    EXPECT_EQ(RunAt(characters, 5, visWordRun), std::make_pair(5, 7));   // ", "
    EXPECT_EQ(RunAt(characters, 7, visWordRun), std::make_pair(7, 11));  // "big "
    EXPECT_EQ(RunAt(characters, 20, visParaRun), std::make_pair(17, 28));
    EXPECT_EQ(RunAt(characters, 3, visParaRun), std::make_pair(0, 17));
    EXPECT_EQ(RunAt(characters, 3, visCharPropRow), std::make_pair(0, 28));

    characters->SetBegin(7);
    characters->SetEnd(10);
    EXPECT_EQ(characters->Text(), "big");
    characters->SetText("small");
    EXPECT_EQ(characters->End(), 12);
    EXPECT_EQ(shape->Characters()->Text(), "Hello, small world\nSecond line");
    characters->SetBegin(100);
    EXPECT_EQ(characters->Begin(), 30);
}

TEST_F(Text, PositionsCountCharactersNotBytesAndBadBytesAreReplaced) {
    const CharactersPtr characters = Rectangle()->Characters();
    characters->SetText("Gr\u00fc\u00dfe \u6771\u4eac \U0001F600!");  // 2-, 3- and 4-byte characters
    EXPECT_EQ(characters->End(), 11);
    characters->SetBegin(6);
    characters->SetEnd(8);
    EXPECT_EQ(characters->Text(), "\u6771\u4eac");

    const CharactersPtr damaged = Rectangle()->Characters();
    damaged->SetText(std::string("a\xC3(b\xFF", 5));
    EXPECT_EQ(damaged->Text(), "a\uFFFD(b\uFFFD");
    EXPECT_EQ(damaged->End(), 5);
}

TEST_F(Text, CharacterAndParagraphRunsTakeRowsOfTheirOwn) {
    const ShapePtr shape = Rectangle();
    const CharactersPtr characters = shape->Characters();
    characters->SetText("aaabbbccc");
    EXPECT_EQ(shape->RowCount(visSectionCharacter), 1);
    characters->SetBegin(3);
    characters->SetEnd(6);
    characters->SetCharProps(visCharacterColor, 4);
    EXPECT_EQ(shape->RowCount(visSectionCharacter), 2);
    EXPECT_EQ(characters->CharPropsRow(visBiasLeft), 1);
    EXPECT_EQ(shape->CellsSRC(visSectionCharacter, 1, visCharacterColor)->Formula(), "4");
    EXPECT_EQ(RunAt(characters, 4, visCharPropRow), std::make_pair(3, 6));
    EXPECT_EQ(RunAt(characters, 7, visCharPropRow), std::make_pair(6, 9));
    // An insertion point takes the row on the side the bias asks for.
    characters->SetBegin(3);
    characters->SetEnd(3);
    EXPECT_EQ(characters->CharPropsRow(visBiasLeft), 0);
    EXPECT_EQ(characters->CharPropsRow(visBiasRight), 1);
    characters->SetBegin(0);
    characters->SetEnd(9);
    EXPECT_EQ(characters->CharPropsRow(visBiasLeft), -1);

    characters->SetBegin(0);
    characters->SetEnd(9);
    characters->SetParaProps(visIndentFirst, 2);
    EXPECT_EQ(characters->ParaPropsRow(visBiasLeft), 0);
    EXPECT_EQ(shape->CellsSRC(visSectionParagraph, 0, visIndentFirst)->Formula(), "2");
}

TEST_F(Text, FieldsShowTheirFormulasValueAndAreRunsOfTheirOwn) {
    const ShapePtr shape = Rectangle(0, 0, 2, 1);
    const CharactersPtr characters = shape->Characters();
    characters->SetText("Width: ");
    characters->SetBegin(7);
    characters->AddCustomField("Width*2", 0);
    EXPECT_EQ(shape->Characters()->Text(), "Width: 4");
    EXPECT_EQ(RunAt(characters, 7, visWordRun), std::make_pair(7, 8));
    EXPECT_EQ(RunAt(characters, 7, visFieldRun), std::make_pair(7, 8));
    EXPECT_EQ(RunAt(characters, 2, visFieldRun), std::make_pair(0, 7));
    characters->SetBegin(7);
    characters->SetEnd(8);
    ASSERT_TRUE(characters->IsField());
    EXPECT_EQ(characters->FieldFormula(), "Width*2");
    EXPECT_EQ(characters->FieldCategory(), 0);
    EXPECT_EQ(shape->RowCount(visSectionTextField), 1);
    EXPECT_EQ(shape->Cells("Fields.Value")->Formula(), "Width*2");

    const ShapePtr other = Rectangle();
    const CharactersPtr text = other->Characters();
    text->AddField(5, 3, 0);  // page number
    text->SetBegin(0);
    text->SetEnd(text->RunEnd(visFieldRun));
    ASSERT_TRUE(text->IsField());
    EXPECT_EQ(text->FieldCategory(), 5);
    EXPECT_EQ(text->FieldCode(), 3);
    EXPECT_EQ(text->FieldFormula(), "PAGENUMBER()");
    EXPECT_EQ(ErrorOf([&] { text->AddField(9, 9, 0); }), hosterr::kBadArgument);
    EXPECT_EQ(ErrorOf([&] { text->AddCustomField("Sheet.99!Width", 0); }), hosterr::kBadFormula);
    characters->SetBegin(0);
    characters->SetEnd(3);
    EXPECT_FALSE(characters->IsField());
    EXPECT_EQ(ErrorOf([&] { characters->FieldFormula(); }), hosterr::kNotAllowed);
}

TEST_F(Text, AFieldsRowGoesWithTheFieldWhenItsTextIsReplaced) {
    const ShapePtr shape = Rectangle(0, 0, 2, 1);
    const CharactersPtr text = shape->Characters();
    text->SetText("a b c");
    for (const auto& [at, formula] : {std::pair{0, "Width"}, {3, "Height"}, {6, "Width*3"}}) {
        text->SetBegin(at);  // before a, b and c: each field shows one character
        text->SetEnd(at);
        text->AddCustomField(formula, 0);
    }
    ASSERT_EQ(shape->Characters()->Text(), "2a 1b 6c");
    ASSERT_EQ(shape->RowCount(visSectionTextField), 3);
    // The middle field replaced by text: its row goes, the last field's moves up.
    text->SetBegin(3);
    text->SetEnd(4);
    text->SetText("x");
    EXPECT_EQ(shape->RowCount(visSectionTextField), 2);
    text->SetBegin(6);
    text->SetEnd(7);
    ASSERT_TRUE(text->IsField());
    EXPECT_EQ(text->FieldFormula(), "Width*3");
    // A field written over the first one takes its place: still two rows, each field its own.
    text->SetBegin(0);
    text->SetEnd(1);
    text->AddField(5, 3, 0);
    EXPECT_EQ(shape->RowCount(visSectionTextField), 2);
    text->SetBegin(0);
    text->SetEnd(1);
    ASSERT_TRUE(text->IsField());
    EXPECT_EQ(text->FieldFormula(), "PAGENUMBER()");
    // All the text replaced: no field, no row; undone, both again.
    const int32_t scope = app->BeginUndoScope("Tessaline");
    shape->Characters()->SetText("plain");
    EXPECT_EQ(shape->RowCount(visSectionTextField), 0);
    app->EndUndoScope(scope, false);
    EXPECT_EQ(shape->RowCount(visSectionTextField), 2);
    EXPECT_EQ(shape->Characters()->Text(), "1a xb 6c");
}

TEST_F(Text, AnInstanceShowsItsMastersTextUntilItHasItsOwn) {
    const auto masterData = Model().Shapes().AddMaster(DocumentOf(document), "Label");
    const ShapePtr masterShape =
        WrapShape(app->ModelPtr(), Model().Shapes().DrawRectangle(masterData, 0, 0, 1, 1));
    masterShape->Characters()->SetText("From the master");
    const ShapePtr instance = page->Drop(document->Masters()->Item("Label"), 1, 1);
    EXPECT_EQ(instance->Characters()->Text(), "From the master");
    instance->Characters()->SetText("Own");
    EXPECT_EQ(instance->Characters()->Text(), "Own");
    EXPECT_EQ(masterShape->Characters()->Text(), "From the master");
    EXPECT_EQ(ErrorOf([&] { page->PageSheet()->Characters(); }), hosterr::kNotAllowed);
}

}  // namespace
}  // namespace tess::embedded
