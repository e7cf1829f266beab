#include <gtest/gtest.h>

#include <cmath>

#include "formula/Formula.h"

namespace tess::formula {
namespace {

const char* OperatorText(Operator op) {
    switch (op) {
        case Operator::Negate:
            return "neg";
        case Operator::Plus:
            return "pos";
        case Operator::Power:
            return "^";
        case Operator::Multiply:
            return "*";
        case Operator::Divide:
            return "/";
        case Operator::Add:
            return "+";
        case Operator::Subtract:
            return "-";
        case Operator::Concat:
            return "&";
        case Operator::Equal:
            return "=";
        case Operator::NotEqual:
            return "<>";
        case Operator::Less:
            return "<";
        case Operator::Greater:
            return ">";
        case Operator::LessEqual:
            return "<=";
        case Operator::GreaterEqual:
            return ">=";
        case Operator::None:
            return "?";
    }
    return "?";
}

std::string SheetText(const SheetSelector& sheet) {
    std::string text = sheet.collection.empty() ? "" : sheet.collection + "[" + sheet.item + "]!";
    switch (sheet.kind) {
        case SheetKind::Self:
            return text;
        case SheetKind::ById:
            return text + "Sheet." + std::to_string(sheet.id) + "!";
        case SheetKind::ByName:
            return text + "'" + sheet.name + "'!";
        case SheetKind::ThePage:
            return text + "ThePage!";
        case SheetKind::TheDoc:
            return text + "TheDoc!";
        case SheetKind::Computed:
            return text + "computed!";
    }
    return text;
}

std::string NumberText(double number) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", number);
    return buffer;
}

/// The parsed form as an S-expression, so that tables can state the expected tree.
std::string Describe(const Formula& formula, uint32_t index) {
    const Node& node = formula.nodes[index];
    switch (node.kind) {
        case NodeKind::Number:
            return NumberText(node.number);
        case NodeKind::Boolean:
            return node.number != 0 ? "TRUE" : "FALSE";
        case NodeKind::String:
            return "\"" + formula.strings[node.left] + "\"";
        case NodeKind::Error:
            return formula.strings[node.left];
        case NodeKind::Missing:
            return "_";
        case NodeKind::Reference: {
            const Reference& reference = formula.references[node.left];
            return "ref(" + SheetText(reference.sheet) + reference.cellText + ")";
        }
        case NodeKind::Unary:
            return std::string("(") + OperatorText(node.op) + " " + Describe(formula, node.left) +
                   ")";
        case NodeKind::Binary:
            return std::string("(") + OperatorText(node.op) + " " + Describe(formula, node.left) +
                   " " + Describe(formula, node.right) + ")";
        case NodeKind::Call: {
            std::string text =
                node.sheet >= 0 ? SheetText(formula.references[node.sheet].sheet) : "";
            text += std::string(formula.FunctionName(node)) + "(";
            for (uint32_t i = 0; i < node.right; ++i) {
                if (i) text += ' ';
                text += Describe(formula, formula.arguments[node.left + i]);
            }
            return text + ")";
        }
    }
    return "?";
}

std::string Describe(std::string_view text) {
    const ParseResult result = Parse(text);
    if (result.error)
        return "error at " + std::to_string(result.error->position) + ": " + result.error->message;
    if (result.formula.empty) return "empty";
    return Describe(result.formula, result.formula.root);
}

struct Case {
    const char* text;
    const char* parsed;
};

void ExpectParses(std::initializer_list<Case> cases) {
    for (const Case& c : cases)
        EXPECT_EQ(Describe(c.text), c.parsed) << c.text;
}

TEST(Parse, OperatorsFollowTheShapeSheetsPrecedence) {
    ExpectParses({
        {"1+2*3", "(+ 1 (* 2 3))"},
        {"(1+2)*3", "(* (+ 1 2) 3)"},
        {"-2^2", "(neg (^ 2 2))"},
        {"2^-1", "(^ 2 (neg 1))"},
        {"2^3^2", "(^ (^ 2 3) 2)"},
        {"8/4/2", "(/ (/ 8 4) 2)"},
        {"1-2-3", "(- (- 1 2) 3)"},
        {"\"a\"&1+2", "(& \"a\" (+ 1 2))"},
        {"1&2=\"12\"", "(= (& 1 2) \"12\")"},
        {"A<>B", "(<> ref(A) ref(B))"},
        {"Width<=Height", "(<= ref(Width) ref(Height))"},
        {"1>=2", "(>= 1 2)"},
        {"- - 3", "(neg (neg 3))"},
        {"+Width", "(pos ref(Width))"},
        {"=Width*0.5", "(* ref(Width) 0.5)"},
        {"  = 1 ", "1"},
        {"", "empty"},
        {"=", "empty"},
    });
}

TEST(Parse, NumbersStringsAndConstants) {
    ExpectParses({
        {"1.5E3", "1500"},
        {"2e-3", "0.002"},
        {".5", "0.5"},
        {"\"say \"\"hi\"\"\"", "\"say \"hi\"\""},
        {"\"\"", "\"\""},
        {"TRUE", "TRUE"},
        {"false", "FALSE"},
        {"#REF!", "#REF!"},
        {"#DIV/0!", "#DIV/0!"},
        {"#NAME?+#VALUE!&#N/A", "(& (+ #NAME? #VALUE!) #N/A)"},
        {"#NUM!", "#NUM!"},
        {"#NULL!", "#NULL!"},
        {"#DIM!", "#DIM!"},
        {"USE({0F407BE3-C0DE-4B2C-9F1A-0123456789ab})",
         "USE(\"{0F407BE3-C0DE-4B2C-9F1A-0123456789ab}\")"},
    });
}

TEST(Parse, CompoundAndFractionalUnitsAddUp) {
    ExpectParses({
        {"1FT 9IN", "21"},
        {"1 ft. 9 in.", "21"},
        {"1 feet 9 inches", "21"},
        {"1'9\"", "21"},
        {"2' 6\"", "30"},
        {"1 yd 1 ft 1 in", "49"},
        {"2p6", "0.416667"},
        {"2 p 6 pt", "0.416667"},
        {"1c6", "0.266503"},
        {"45deg 30' 36\"", "0.794299"},
        {"45\xC2\xB0 30'", "0.794125"},
        {"1 1/2 in", "1.5"},
        {"2 3/4\"", "2.75"},
        {"1 m 50 cm", "59.0551"},
        {"2 eh 30 em", "0.104167"},
        {"BOUND(1FT 9IN,0,FALSE,0,2FT)", "BOUND(21 0 FALSE 0 24)"},
    });
}

TEST(Parse, UnitsBecomeInternalUnits) {
    ExpectParses({
        {"1 in", "1"},
        {"0.25IN", "0.25"},
        {"2 ft.", "24"},
        {"25.4 mm", "1"},
        {"2.54CM", "1"},
        {"72 pt", "1"},
        {"6p", "1"},
        {"180 deg", "3.14159"},
        {"-60DEG", "(neg 1.0472)"},
        {"1 rad", "1"},
        {"50%", "0.5"},
        {"0.25DL", "0.25"},
        {"0DA", "0"},
        {"2 ed", "2"},
        {"12 eh", "0.5"},
        {"5[in,D]", "5"},
        {"90[deg, A]", "1.5708"},
        {"1 m", "39.3701"},
        {"90\xC2\xB0", "1.5708"},
        {"2 feet", "24"},
        {"1 foot", "12"},
        {"3 inches", "3"},
        {"1 metre", "39.3701"},
        {"1 meters", "39.3701"},
        {"10 millimetres", "0.393701"},
        {"1 kilometer", "39370.1"},
        {"1 centimeters", "0.393701"},
        {"2 yards", "72"},
        {"1 nm", "72913.4"},
        {"72 points", "1"},
        {"6 picas", "1"},
        {"1 ci", "0.177669"},
        {"12 di", "0.177669"},
        {"1 cicero", "0.177669"},
        {"180 degrees", "3.14159"},
        {"2 radians", "2"},
        {"1 ew", "7"},
        {"1 eweek", "7"},
        {"1 eday", "1"},
        {"6 ehour", "0.25"},
        {"720 eminute", "0.5"},
        {"43200 esecond", "0.5"},
        {"3 ft", "36"},
        {"3 f", "36"},
        {"3 i", "3"},
        {"3\"", "3"},
        {"3'", "36"},
        {"1 acre", "6.27264e+06"},
        {"1 ha", "1.55e+07"},
        {"0.5 DP", "0.5"},
        {"12 DT", "12"},
        {"1 DE", "1"},
        {"5[F_I]", "60"},
        {"5[IN_F]", "5"},
    });
}

TEST(Parse, FunctionCallsTakeAnyNumberOfArgumentsIncludingEmptyOnes) {
    ExpectParses({
        {"PI()", "PI()"},
        {"IF(Width>1,\"big\",\"small\")", "IF((> ref(Width) 1) \"big\" \"small\")"},
        {"SETATREF(User.FillIn,,1)", "SETATREF(ref(User.FillIn) _ 1)"},
        {"BOUND(,0,FALSE,2 in,2 in)", "BOUND(_ 0 FALSE 2 2)"},
        {"max ( 1 , 2 )", "max(1 2)"},
        {"_ELLIPSE_ECC(1,2)", "_ELLIPSE_ECC(1 2)"},
        {"SUM(DEPENDSON(1,Sheet.8!SheetRef()))", "SUM(DEPENDSON(1 Sheet.8!SheetRef()))"},
    });
}

TEST(Parse, EveryReferenceForm) {
    ExpectParses({
        {"LockTextEdit", "ref(LockTextEdit)"},
        {"Scratch.X1", "ref(Scratch.X1)"},
        {"Geometry2.X4", "ref(Geometry2.X4)"},
        {"Char.Size[2]", "ref(Char.Size[2])"},
        {"Para.IndFirst", "ref(Para.IndFirst)"},
        {"Fields.Value", "ref(Fields.Value)"},
        {"User.Name.Prompt", "ref(User.Name.Prompt)"},
        {"Prop.Name.Label", "ref(Prop.Name.Label)"},
        {"Actions.Name.Action", "ref(Actions.Name.Action)"},
        {"Controls.Name.Y", "ref(Controls.Name.Y)"},
        {"Connections.Name.X", "ref(Connections.Name.X)"},
        {"Hyperlink.Name.Address", "ref(Hyperlink.Name.Address)"},
        {"SmartTags.Name.X", "ref(SmartTags.Name.X)"},
        {"Sheet.5!Width", "ref(Sheet.5!Width)"},
        {"Rectangle.12!Width", "ref('Rectangle.12'!Width)"},
        {"Star!Angle", "ref('Star'!Angle)"},
        {"'My Shape'!Width", "ref('My Shape'!Width)"},
        {"'It''s'!Width", "ref('It's'!Width)"},
        {"ThePage!PageWidth", "ref(ThePage!PageWidth)"},
        {"TheDoc!PreviewQuality", "ref(TheDoc!PreviewQuality)"},
        {"Pages[Page-3]!PageWidth", "ref(Pages[Page-3]!PageWidth)"},
        {"Pages[Page-3]!Sheet.4!BeginX", "ref(Pages[Page-3]!Sheet.4!BeginX)"},
        {"Masters[Gear]!Shaft!Geometry1.X1", "ref(Masters[Gear]!'Shaft'!Geometry1.X1)"},
        {"Sheet.5!Char.Size[3]*2", "(* ref(Sheet.5!Char.Size[3]) 2)"},
        {"CONTAINERSHEETREF(1,\"Lane\")!User.Title", "ref(computed!User.Title)"},
    });
}

TEST(Parse, RecordsWhereEachReferenceStands) {
    const ParseResult result = Parse("Width+Sheet.12!User.Row_1.Prompt");
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.formula.references.size(), 2u);
    EXPECT_EQ(result.formula.references[1].begin, 6u);
    EXPECT_EQ(result.formula.references[1].end, 32u);
    EXPECT_EQ(result.formula.references[1].sheet.id, 12);
}

TEST(Parse, ReportsWhereASyntaxErrorIs) {
    ExpectParses({
        {"1+", "error at 2: an operand is missing"},
        {"(1+2", "error at 0: a parenthesis is not closed"},
        {"IF(1,2", "error at 2: a parenthesis is not closed"},
        {"\"abc", "error at 0: a string is not closed"},
        {"1 2", "error at 2: unexpected '2'"},
        {"Width Height", "error at 6: unexpected 'H'"},
        {"Sheet.5!", "error at 8: expected a cell name after '!'"},
        {"'Shape'", "error at 7: a quoted name must be followed by '!'"},
        {"1+*2", "error at 2: unexpected '*'"},
        {"#WHAT", "error at 0: unexpected '#'"},
        {"2 furlongs", "error at 2: unexpected 'f'"},
        {"5[parsecs]", "error at 1: unknown unit 'parsecs'"},
        {"Sheet.1!Sheet.2!Width", "error at 15: unexpected '!'"},
        {"USE({0F407BE3})", "error at 4: malformed GUID"},
        {"1 in 2", "error at 5: unexpected '2'"},
        {"1 in 2 deg", "error at 5: unexpected '2'"},
        {"1 1/2", "error at 2: unexpected '1'"},
    });
}

TEST(Parse, RefusesNestingDeeperThanAnyRealFormula) {
    EXPECT_EQ(Describe(std::string(150, '(') + "1" + std::string(150, ')')), "1");
    const ParseResult deep = Parse(std::string(100000, '(') + "1");
    ASSERT_TRUE(deep.error);
    EXPECT_EQ(deep.error->message, "the formula is nested too deeply");
}

TEST(Parse, OperatorChainsOfAnyLengthParse) {
    std::string chain = "1";
    for (int i = 0; i < 60000; ++i)
        chain += "+1";
    const ParseResult parsed = Parse(chain);
    ASSERT_FALSE(parsed.error) << parsed.error->message;
    EXPECT_EQ(parsed.formula.nodes.size(), 120001u);
}

TEST(UnitFactor, KnowsVisioUnitNamesInAnyCase) {
    EXPECT_DOUBLE_EQ(*UnitFactor("IN"), 1);
    EXPECT_DOUBLE_EQ(*UnitFactor("in."), 1);
    EXPECT_DOUBLE_EQ(*UnitFactor("MM"), 1 / 25.4);
    EXPECT_DOUBLE_EQ(*UnitFactor("Deg"), M_PI / 180);
    EXPECT_FALSE(UnitFactor("Width"));
    EXPECT_FALSE(UnitFactor(""));
}

}  // namespace
}  // namespace tess::formula
