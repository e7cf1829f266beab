#include "formula/CellCatalogue.h"

#include <gtest/gtest.h>

namespace tess::formula {
namespace {

struct Decoded {
    const char* name;
    int16_t section, row, cell;
    const char* rowName;
};

TEST(DecodeCellName, DecodesEveryFormOfCellName) {
    const Decoded cases[] = {
        {"PinX", 1, 1, 0, ""},
        {"LOCKTEXTEDIT", 1, 15, 11, ""},
        {"EventDblClick", 1, 5, 2, ""},
        {"PageWidth", 1, 10, 0, ""},
        {"Scratch.X1", 6, 0, 0, ""},
        {"Scratch.D12", 6, 11, 5, ""},
        {"Connections.Y3", 7, 2, 1, ""},
        {"Connections.A2", 7, 1, 2, ""},
        {"Connections.DirX[4]", 7, 3, 2, ""},
        {"Connections.Type", 7, 0, 4, ""},
        {"Connections.Top.X", 7, 0, 0, "Top"},
        {"Geometry1.X1", 10, 1, 0, ""},
        {"Geometry2.Y4", 11, 4, 1, ""},
        {"Geometry3.E2", 12, 2, 6, ""},
        {"geometry1.nofill", 10, 0, 0, ""},
        {"Geometry230.X1", 239, 1, 0, ""},
        {"Char.Size", 3, 0, 7, ""},
        {"Char.Size[2]", 3, 1, 7, ""},
        {"Char.DoubleStrikethrough", 3, 0, 13, ""},
        {"Para.IndFirst", 4, 0, 0, ""},
        {"Para.HorzAlign[3]", 4, 2, 6, ""},
        {"Fields.Value", 8, 0, 0, ""},
        {"Fields.ObjectKind[2]", 8, 1, 10, ""},
        {"Layers.Locked[2]", 241, 1, 7, ""},
        {"User.Name", 242, 0, 0, "Name"},
        {"User.Name.Prompt", 242, 0, 1, "Name"},
        {"Prop.Cost", 243, 0, 0, "Cost"},
        {"Prop.Cost.Label", 243, 0, 2, "Cost"},
        {"Prop.Cost.Verify", 243, 0, 7, "Cost"},
        {"Actions.Go.Action", 240, 0, 3, "Go"},
        {"Actions.Go.Checked", 240, 0, 4, "Go"},
        {"Controls.Handle", 9, 0, 0, "Handle"},
        {"Controls.Handle.Y", 9, 0, 1, "Handle"},
        {"Controls.Handle.Prompt", 9, 0, 8, "Handle"},
        {"Hyperlink.Home", 244, 0, 0, "Home"},
        {"Hyperlink.Home.Address", 244, 0, 1, "Home"},
        {"SmartTags.Tag.X", 247, 0, 0, "Tag"},
        {"SmartTags.Tag.Description", 247, 0, 15, "Tag"},
        {"Reviewer.Initials", 245, 0, 1, ""},
        {"Annotation.Comment[2]", 246, 1, 5, ""},
    };
    for (const auto& c : cases) {
        const auto decoded = DecodeCellName(c.name);
        ASSERT_TRUE(decoded) << c.name;
        EXPECT_EQ(decoded->section, c.section) << c.name;
        EXPECT_EQ(decoded->cell, c.cell) << c.name;
        EXPECT_EQ(decoded->rowName, c.rowName) << c.name;
        if (!decoded->named) {
            EXPECT_EQ(decoded->row, c.row) << c.name;
        }
        EXPECT_EQ(decoded->named, *c.rowName != 0) << c.name;
    }
}

TEST(DecodeCellName, RefusesNamesNoSheetCanHave) {
    for (const char* name :
         {"Widht", "Scratch.X0", "Scratch.Z1", "Scratch.X", "Geometry0.X1", "Geometry231.X1",
          "Geometry1.Q1", "Geometry1.X0", "Char.Bold", "Char.Size[0]", "User.Name.Label", "User",
          "Prop.a.b.c", "Nonsense.X1", "PinX[2]", "Char.Size[", "Scratch.X99999", "Inh", ""}) {
        EXPECT_FALSE(DecodeCellName(name)) << name;
    }
}

TEST(CellNameText, NamesCellsAsFormulasDo) {
    EXPECT_EQ(CellNameText(1, 1, 0), "PinX");
    EXPECT_EQ(CellNameText(1, 15, 11), "LockTextEdit");
    EXPECT_EQ(CellNameText(6, 0, 0), "Scratch.X1");
    EXPECT_EQ(CellNameText(6, 2, 3), "Scratch.B3");
    EXPECT_EQ(CellNameText(10, 0, 2), "Geometry1.NoShow");
    EXPECT_EQ(CellNameText(11, 3, 1), "Geometry2.Y3");
    EXPECT_EQ(CellNameText(3, 0, 7), "Char.Size");
    EXPECT_EQ(CellNameText(3, 1, 7), "Char.Size[2]");
    EXPECT_EQ(CellNameText(7, 1, 0), "Connections.X2");
    EXPECT_EQ(CellNameText(7, 1, 2), "Connections.DirX[2]");
    EXPECT_EQ(CellNameText(7, 1, 0, "Top"), "Connections.Top.X");
    EXPECT_EQ(CellNameText(243, 4, 2, "Cost"), "Prop.Cost.Label");
    EXPECT_EQ(CellNameText(240, 0, 3, "Go"), "Actions.Go.Action");
    EXPECT_EQ(CellNameText(1, 16, 99), "");
    // Every name round-trips through the decoder.
    for (const char* name : {"PinX", "Scratch.C4", "Geometry3.A2", "Char.Font[3]",
                             "Prop.Cost.Label", "Fields.UICat[2]", "Connections.Y7"}) {
        const auto cell = DecodeCellName(name);
        ASSERT_TRUE(cell) << name;
        EXPECT_EQ(CellNameText(cell->section, cell->row, cell->cell, cell->rowName), name);
    }
}

TEST(XmlCellNames, MapCellsToTheFileFormatsNamesAndBack) {
    EXPECT_EQ(XmlCellName(1, 1, 0), "PinX");
    EXPECT_EQ(XmlCellName(241, 0, 7), "Lock");
    EXPECT_EQ(XmlCellName(243, 3, 7), "Verify");
    EXPECT_EQ(XmlCellName(12, 0, 0), "NoFill");
    EXPECT_EQ(XmlCellName(12, 5, 6), "E");
    EXPECT_EQ(XmlCellName(249, 0, 2), "GradientStopPosition");
    EXPECT_EQ(XmlCellName(1, 3, 4), "");
    EXPECT_EQ(ObjectCellFromXmlName("LockTextEdit"), std::make_pair(int16_t(15), int16_t(11)));
    EXPECT_EQ(ObjectCellFromXmlName("TxtAngle"), std::make_pair(int16_t(12), int16_t(6)));
    EXPECT_FALSE(ObjectCellFromXmlName("NoSuchCell"));
    EXPECT_EQ(SectionCellFromXmlName(243, 0, "Label"), 2);
    EXPECT_EQ(SectionCellFromXmlName(10, 0, "NoQuickDrag"), 5);
    EXPECT_EQ(SectionCellFromXmlName(15, 2, "D"), 5);
    EXPECT_FALSE(SectionCellFromXmlName(15, 0, "X"));
    EXPECT_FALSE(SectionCellFromXmlName(6, 0, "Q"));
}

TEST(IsNamedRowSection, CoversTheSectionsWhoseRowsAreFoundByName) {
    for (int16_t section : {9, 240, 242, 243, 244, 247})
        EXPECT_TRUE(IsNamedRowSection(section)) << section;
    for (int16_t section : {1, 3, 6, 7, 8, 10, 241, 245})
        EXPECT_FALSE(IsNamedRowSection(section)) << section;
}

}  // namespace
}  // namespace tess::formula
