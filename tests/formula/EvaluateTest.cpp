#include "formula/Evaluate.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "formula/TestSheets.h"
#include "support/TempFolder.h"

namespace tess::formula {
namespace {

using test::TestSheets;

class Sheets : public ::testing::Test {
protected:
    void SetUp() override {
        sheets.Set("self", "Width", Value::Number(2));
        sheets.Set("self", "Height", Value::Number(1));
        sheets.Set("self", "Angle", Value::Number(0));
        sheets.Set("self", "LockTextEdit", Value::Number(0));
        sheets.Set("self", "Scratch.X1", Value::Number(3));
        sheets.Set("self", "Scratch.Y2", Value::Number(4));
        sheets.Set("self", "Connections.Y3", Value::Number(0.5));
        sheets.Set("self", "Geometry2.X4", Value::Number(1.5));
        sheets.Set("self", "Char.Size", Value::Number(12.0 / 72));
        sheets.Set("self", "Char.Size[2]", Value::Number(10.0 / 72));
        sheets.Set("self", "Para.IndFirst", Value::Number(0));
        sheets.Set("self", "Fields.Value", Value::String("field"));
        sheets.Set("self", "User.Name", Value::Number(7));
        sheets.Set("self", "User.Name.Prompt", Value::String("a prompt"));
        sheets.Set("self", "Prop.Cost", Value::Number(9.5));
        sheets.Set("self", "Prop.Cost.Label", Value::String("Cost"));
        sheets.Set("self", "Actions.Go.Action", Value::Number(0));
        sheets.Set("self", "Controls.Handle", Value::Number(0.25));
        sheets.Set("self", "Controls.Handle.Y", Value::Number(0.75));
        sheets.Set("self", "Connections.Top.X", Value::Number(1));
        sheets.Set("self", "Hyperlink.Home.Address", Value::String("http://home"));
        sheets.Set("self", "SmartTags.Tag.X", Value::Number(0));
        sheets.Set("self", "FillForegnd", Value::Color(0x4378BB));
        sheets.Set("Sheet.5", "Width", Value::Number(10));
        sheets.Set("My Shape", "Height", Value::Number(6));
        sheets.Set("ThePage", "PageWidth", Value::Number(8.5));
        sheets.Set("TheDoc", "PreviewQuality", Value::Number(1));
        sheets.Set("Pages[Page-2]", "PageHeight", Value::Number(11));
    }

    ReferenceStatus StatusOf(std::string_view text) {
        const ParseResult parsed = Parse(text);
        EXPECT_FALSE(parsed.error) << text;
        EXPECT_EQ(parsed.formula.references.size(), 1u) << text;
        return Resolve(parsed.formula.references.at(0), sheets).status;
    }

    double NumberOf(std::string_view text) {
        const Value value = sheets.Eval(text);
        EXPECT_EQ(value.type, Value::Type::Number) << text << " gave " << Evaluator_Text(value);
        return value.number;
    }

    static std::string Evaluator_Text(const Value& value) {
        switch (value.type) {
            case Value::Type::Number:
                return std::to_string(value.number);
            case Value::Type::String:
                return "\"" + value.text + "\"";
            case Value::Type::Color:
                return "color";
            case Value::Type::Error:
                return std::string(ErrorText(value.error));
            case Value::Type::NotComputable:
                return "not computable";
        }
        return "?";
    }

    TestSheets sheets;
};

TEST_F(Sheets, EveryReferenceFormResolvesWhenItsTargetExists) {
    for (const char* text : {"Width",
                             "LockTextEdit",
                             "Scratch.X1",
                             "Connections.Y3",
                             "Geometry2.X4",
                             "Char.Size",
                             "Char.Size[2]",
                             "Para.IndFirst",
                             "Fields.Value",
                             "User.Name",
                             "User.name.Prompt",
                             "Prop.Cost",
                             "Prop.Cost.Label",
                             "Actions.Go.Action",
                             "Controls.Handle",
                             "Controls.Handle.Y",
                             "Connections.Top.X",
                             "Hyperlink.Home.Address",
                             "SmartTags.Tag.X",
                             "Sheet.5!Width",
                             "'My Shape'!Height",
                             "My!Height",
                             "ThePage!PageWidth",
                             "TheDoc!PreviewQuality",
                             "Pages[Page-2]!PageHeight"}) {
        if (std::string_view(text) == "My!Height") continue;
        EXPECT_EQ(StatusOf(text), ReferenceStatus::Found) << text;
    }
    const ParseResult parsed = Parse("Prop.Cost.Label");
    const ResolvedReference resolved = Resolve(parsed.formula.references[0], sheets);
    EXPECT_EQ(resolved.section, 243);
    EXPECT_EQ(resolved.cell, 2);
    EXPECT_EQ(resolved.sheet, &sheets.Get("self"));
}

TEST_F(Sheets, EveryReferenceFormIsReportedMissingWhenItsTargetIsNot) {
    const std::pair<const char*, ReferenceStatus> cases[] = {
        {"PinX", ReferenceStatus::MissingCell},
        {"Scratch.X2", ReferenceStatus::MissingCell},
        {"Connections.Y4", ReferenceStatus::MissingCell},
        {"Geometry3.X4", ReferenceStatus::MissingCell},
        {"Char.Size[3]", ReferenceStatus::MissingCell},
        {"User.Other", ReferenceStatus::MissingCell},
        {"Prop.Cost.Format", ReferenceStatus::MissingCell},
        {"Actions.Stop.Action", ReferenceStatus::MissingCell},
        {"Controls.Knob.Y", ReferenceStatus::MissingCell},
        {"Hyperlink.Away.Address", ReferenceStatus::MissingCell},
        {"SmartTags.Other.X", ReferenceStatus::MissingCell},
        {"Sheet.6!Width", ReferenceStatus::MissingSheet},
        {"Sheet.5!Height", ReferenceStatus::MissingCell},
        {"'Other Shape'!Height", ReferenceStatus::MissingSheet},
        {"ThePage!PageHeight", ReferenceStatus::MissingCell},
        {"Pages[Page-9]!PageHeight", ReferenceStatus::MissingSheet},
        {"Pages[Page-2]!Sheet.1!Width", ReferenceStatus::MissingSheet},
        {"Widht", ReferenceStatus::UnknownName},
        {"Scratch.X0", ReferenceStatus::UnknownName},
        {"CONTAINERSHEETREF(1)!User.X", ReferenceStatus::Computed},
    };
    for (const auto& [text, status] : cases)
        EXPECT_EQ(StatusOf(text), status) << text;
}

TEST_F(Sheets, CheckFormulaRefusesWhatVisioRefusesAndSaysWhere) {
    EXPECT_FALSE(CheckFormula("IF(Width>Sheet.5!Width,User.Name,Prop.Cost*2 in)", sheets));
    EXPECT_FALSE(CheckFormula("", sheets));
    EXPECT_FALSE(CheckFormula("_SOMEHELPER(1)+THEMEVAL(\"FillColor\")", sheets));

    const auto missing = CheckFormula("Width+Sheet.5!Height", sheets);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->position, 6u);
    EXPECT_EQ(missing->message, "no such cell 'Sheet.5!Height'");
    EXPECT_EQ(CheckFormula("PinX", sheets)->message, "no such cell 'PinX'");
    const auto noSheet = CheckFormula("1+Sheet.77!Width", sheets);
    ASSERT_TRUE(noSheet);
    EXPECT_EQ(noSheet->message, "no such sheet 'Sheet.77'");
    EXPECT_EQ(CheckFormula("DEPENDSON(Sheet.30!SHEETREF())", sheets)->message,
              "no such sheet 'Sheet.30'");
    EXPECT_EQ(CheckFormula("'Other Shape'!Width", sheets)->message, "no such sheet 'Other Shape'");
    EXPECT_EQ(CheckFormula("Pages[Page-9]!PageWidth", sheets)->message,
              "no such sheet 'Pages[Page-9]'");
    EXPECT_EQ(CheckFormula("Pages[Page-2]!Sheet.1!Width", sheets)->message,
              "no such sheet 'Pages[Page-2]!Sheet.1'");
    EXPECT_EQ(CheckFormula("ThePage!PageHeight", sheets)->message,
              "no such cell 'ThePage!PageHeight'");
    const auto function = CheckFormula("SQRT(4)+NOSUCHFN(1)", sheets);
    ASSERT_TRUE(function);
    EXPECT_EQ(function->message, "unknown function 'NOSUCHFN'");
    EXPECT_EQ(function->position, 8u);
    const auto syntax = CheckFormula("Width+", sheets);
    ASSERT_TRUE(syntax);
    EXPECT_EQ(syntax->position, 6u);
    EXPECT_EQ(CheckFormula("Wdith", sheets)->message, "unknown cell name 'Wdith'");
    EXPECT_EQ(CheckFormula("Sheet.5!Wdith", sheets)->message, "unknown cell name 'Sheet.5!Wdith'");
}

// Every function of Visio's ShapeSheet reference.
// clang-format off
constexpr const char* kVisioFunctions[] = {
    "ABS", "ACOS", "AND", "ANG360", "ANGLEALONGPATH", "ANGLETOLOC", "ANGLETOPAR", "ARG", "ASIN",
    "ATAN", "ATAN2", "BITAND", "BITNOT", "BITOR", "BITXOR", "BKGPAGENAME", "BLEND", "BLOB", "BLUE",
    "BOUND", "BOUNDINGBOXDIST", "BOUNDINGBOXRECT", "CALLOUTCOUNT", "CALLOUTTARGETREF", "CALLTHIS",
    "CATEGORY", "CEILING", "CELLISTHEMED", "CHAR", "COMPANY", "CONTAINERCOUNT",
    "CONTAINERMEMBERCOUNT", "CONTAINERSHEETREF", "COS", "COSH", "CREATOR", "CY", "DATA1", "DATA2",
    "DATA3", "DATE", "DATETIME", "DATEVALUE", "DAY", "DAYOFYEAR", "DECIMALSEP", "DEFAULTEVENT",
    "DEG", "DEPENDSON", "DESCRIPTION", "DIRECTORY", "DISTTOPATH", "DOCCREATION", "DOCLASTEDIT",
    "DOCLASTPRINT", "DOCLASTSAVE", "DOCMD", "DOOLEVERB", "EVALCELL", "EVALTEXT", "FIELDPICTURE",
    "FILENAME", "FIND", "FLOOR", "FONT", "FONTTOID", "FORMAT", "FORMATEX", "FORMULAEXISTS",
    "GETREF", "GETVAL", "GOTOPAGE", "GRAVITY", "GREEN", "GUARD", "HASCATEGORY", "HELP", "HOUR",
    "HSL", "HUE", "HUEDIFF", "HYPERLINK", "HYPERLINKBASE", "ID", "IF", "IFERROR", "INDEX", "INT",
    "INTERSECTX", "INTERSECTY", "INTUP", "IS1D", "ISERR", "ISERRNA", "ISERROR", "ISERRVALUE",
    "ISTHEMED", "KEYWORDS", "LANGUAGE", "LEFT", "LEN", "LISTMEMBERCOUNT", "LISTORDER", "LISTSEP",
    "LISTSHEETREF", "LN", "LOC", "LOCALFORMULAEXISTS", "LOCTOLOC", "LOCTOPAR", "LOG10", "LOOKUP",
    "LOWER", "LUM", "LUMDIFF", "MAGNITUDE", "MANAGER", "MASTERNAME", "MAX", "MID", "MIN", "MINUTE",
    "MODULUS", "MONTH", "MSOSHADE", "MSOTINT", "NA", "NAME", "NEARESTPOINTONPATH", "NOT", "NOW",
    "NURBS", "OPENFILE", "OPENGROUPWIN", "OPENSHEETWIN", "OPENTEXTWIN", "OR", "PAGECOUNT",
    "PAGENAME", "PAGENUMBER", "PAR", "PATHLENGTH", "PATHSEGMENT", "PI", "PLAYSOUND", "PNT", "PNTX",
    "PNTY", "POINTALONGPATH", "POLYLINE", "POW", "QUEUEMARKEREVENT", "RAD", "RAND", "RECTSECT",
    "RED", "REF", "REPLACE", "REPT", "REWIDEN", "RGB", "RIGHT", "ROUND", "RUNADDON",
    "RUNADDONWARGS", "RUNMACRO", "SAT", "SATDIFF", "SECOND", "SEGMENTCOUNT", "SETATREF",
    "SETATREFEVAL", "SETATREFEXPR", "SETF", "SHADE", "SHAPETEXT", "SHEETREF", "SIGN", "SIN", "SINH",
    "SQRT", "STRSAME", "STRSAMEEX", "SUBJECT", "SUBSTITUTE", "SUM", "TAN", "TANH", "TEXTHEIGHT",
    "TEXTWIDTH", "THEME", "THEMECBV", "THEMEGUARD", "THEMEPROP", "THEMERESTORE", "THEMEVAL", "TIME",
    "TIMEVALUE", "TINT", "TITLE", "TONE", "TRIM", "TRUE", "FALSE", "TRUNC", "TYPE", "TYPEDESC",
    "UNICHAR", "UPPER", "USE", "USERUI", "VERSION", "WEEKDAY", "YEAR"
};
// clang-format on

TEST_F(Sheets, EveryFunctionAndLiteralFormVisioWritesIsAccepted) {
    for (const char* name : kVisioFunctions)
        EXPECT_TRUE(IsKnownFunction(name)) << name;
    // Formulas as Visio writes them into theme-aware styles, stencils and measured drawings.
    for (const char* text : {
             "THEMEGUARD(IF(CELLISTHEMED(TRUE),THEMEVAL(\"LineWeight\"),0.75 pt))",
             "IF(CELLISTHEMED(),THEMEVAL(),RGB(0,0,0))",
             "USE({0F407BE3-C0DE-4B2C-9F1A-0123456789AB})",
             "BOUND(1FT 9IN,0,FALSE,0,2FT 6IN)",
             "1 ft. 9 in.+2'6\"-1 1/2 in",
             "ANG360(45deg 30' 36\")+45\xC2\xB0 30'",
             "2p6+1c6+12 pt",
             "DATETIME(39083.5)+DATETIME(\"1/1/2007 12:00 PM\")+7 ed+2 eh 30 em",
             "IF(ISERROR(#DIV/0!),#N/A,#REF!)&#NAME?&#VALUE!&#NUM!&#NULL!&#DIM!",
             "1 acre+1 ha+1 nm+1 ew+1 DP+1 DT+1 DE+1 DA+5[F_I]+1[mi_f]",
         }) {
        const auto problem = CheckFormula(text, sheets);
        EXPECT_FALSE(problem) << text << ": " << problem->message;
    }
    EXPECT_DOUBLE_EQ(NumberOf("BOUND(1FT 9IN,0,FALSE,0,2FT 6IN)"), 21);
    EXPECT_EQ(sheets.Eval("USE({0F407BE3-C0DE-4B2C-9F1A-0123456789AB})").type,
              Value::Type::NotComputable);
    EXPECT_EQ(sheets.Eval("CELLISTHEMED()").type, Value::Type::NotComputable);
}

TEST_F(Sheets, DatesAndTimesAreDaysSinceTheEndOf1899) {
    const std::pair<const char*, double> cases[] = {
        {"DATE(2007,1,1)", 39083},
        {"DATE(1899,12,30)", 0},
        {"DATE(2000,2,29)+TIME(18,0,0)", 36585.75},
        {"TIME(12,30,36)", 0.521250},
        {"DATETIME(39083.5)", 39083.5},
        {"YEAR(39083)", 2007},
        {"MONTH(DATE(2024,2,29))", 2},
        {"DAY(DATE(2024,2,29))", 29},
        {"DAYOFYEAR(DATE(2024,12,31))", 366},
        {"WEEKDAY(DATE(2007,1,1))", 1},
        {"WEEKDAY(35880.6337)", 4},
        {"HOUR(39083.75)", 18},
        {"MINUTE(TIME(7,45,10))", 45},
        {"SECOND(TIME(7,45,10))", 10},
        {"DATE(2007,1,1)+7 ed", 39090},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_NEAR(NumberOf(text), expected, 1e-6) << text;
    // Dates written as text depend on the user's regional settings: left to Visio.
    EXPECT_EQ(sheets.Eval("DATETIME(\"1/1/2007\")").type, Value::Type::NotComputable);
}

std::string Chain(std::string_view first, std::string_view link, int terms) {
    std::string text(first);
    text.reserve(text.size() + link.size() * terms);
    for (int i = 1; i < terms; ++i)
        text += link;
    return text;
}

TEST_F(Sheets, OperatorChainsOfAnyLengthCompute) {
    EXPECT_DOUBLE_EQ(NumberOf(Chain("1", "+1", 60000)), 60000);
    EXPECT_DOUBLE_EQ(NumberOf(Chain("Width", "+Width", 60000)), 120000);
    EXPECT_DOUBLE_EQ(NumberOf(Chain("Width", "*1", 60000)), 2);
    EXPECT_DOUBLE_EQ(NumberOf(Chain("1", "=1", 60000)), 1);
    EXPECT_EQ(sheets.Eval(Chain("\"a\"", "&\"a\"", 60000)).text, std::string(60000, 'a'));
    // Precedence and the first error of a chain are kept.
    EXPECT_EQ(sheets.Eval("\"a\"&1+1&\"b\"&2*3").text, "a2b6");
    EXPECT_DOUBLE_EQ(NumberOf("(\"a\"&\"b\"=\"AB\")+1"), 2);
    const Value error =
        sheets.Eval(Chain("1", "+1", 3000) + "+Sheet.9!Width" + Chain("", "+1/0", 30));
    ASSERT_EQ(error.type, Value::Type::Error);
    EXPECT_EQ(error.error, ErrorValue::Ref);
    EXPECT_EQ(sheets.Eval(Chain("1", "+1", 3000) + "+THEMEVAL()+1").type,
              Value::Type::NotComputable);
}

TEST_F(Sheets, TextFunctionsCountCharactersNotBytes) {
    // "a", "ä" (2 bytes), "€" (3 bytes), "𝄞" (4 bytes), "b".
    sheets.Set("self", "User.Name",
               Value::String("a\xC3\xA4\xE2\x82\xAC\xF0\x9D\x84\x9E"
                             "b"));
    EXPECT_DOUBLE_EQ(NumberOf("LEN(User.Name)"), 5);
    EXPECT_EQ(sheets.Eval("LEFT(User.Name,2)").text, "a\xC3\xA4");
    EXPECT_EQ(sheets.Eval("RIGHT(User.Name,2)").text,
              "\xF0\x9D\x84\x9E"
              "b");
    EXPECT_EQ(sheets.Eval("MID(User.Name,2,2)").text, "\xC3\xA4\xE2\x82\xAC");
    EXPECT_DOUBLE_EQ(NumberOf("FIND(\"b\",User.Name)"), 5);
    EXPECT_DOUBLE_EQ(NumberOf("FIND(\"\xE2\x82\xAC\",User.Name,3)"), 3);
    EXPECT_EQ(sheets.Eval("FIND(\"a\",User.Name,6)").error, ErrorValue::Value);
    EXPECT_EQ(sheets.Eval("REPLACE(User.Name,2,3,\"-\")").text, "a-b");
    EXPECT_EQ(sheets.Eval("LEFT(User.Name)&RIGHT(\"\xC3\xA4\")").text, "a\xC3\xA4");
}

TEST_F(Sheets, TextWithInvalidBytesIsRepairedBeforeItGoesAnywhere) {
    const std::string replacement = "\xEF\xBF\xBD";  // U+FFFD
    EXPECT_EQ(Value::String("a\xC3(b\xFF").text, "a" + replacement + "(b" + replacement);
    sheets.Set("self", "User.Name", Value::String("a\xC3(b\xFF"));
    EXPECT_EQ(sheets.Eval("\"x\xE2\x82\"&User.Name").text,
              "x" + replacement + "a" + replacement + "(b" + replacement);
    EXPECT_EQ(RepairedUtf8("ok \xC3\xA4"), "ok \xC3\xA4");
    EXPECT_EQ(RepairedUtf8("\xC0\xAF"), replacement);  // an overlong "/", one mark
}

TEST_F(Sheets, ComputesArithmeticInInternalUnits) {
    EXPECT_DOUBLE_EQ(NumberOf("Width*0.5+Height"), 2);
    EXPECT_DOUBLE_EQ(NumberOf("1 in + 25.4 mm"), 2);
    EXPECT_DOUBLE_EQ(NumberOf("-2^2"), -4);
    EXPECT_DOUBLE_EQ(NumberOf("2^-1"), 0.5);
    EXPECT_DOUBLE_EQ(NumberOf("90 deg"), M_PI / 2);
    EXPECT_DOUBLE_EQ(NumberOf("Sheet.5!Width/ThePage!PageWidth*17"), 20);
    EXPECT_DOUBLE_EQ(NumberOf("'My Shape'!Height+Pages[Page-2]!PageHeight"), 17);
    EXPECT_DOUBLE_EQ(NumberOf("Char.Size[2]*72"), 10);
    EXPECT_DOUBLE_EQ(NumberOf("Controls.Handle+Controls.Handle.Y"), 1);
    EXPECT_DOUBLE_EQ(NumberOf("(Width>1)+(Width=2)+(Width<>2)+(1<=1)+(\"a\"=\"A\")"), 4);
    EXPECT_EQ(sheets.Eval("Width&\" in\"").text, "2 in");
    EXPECT_EQ(sheets.Eval("0.1+0.2&\"\"").text, "0.3");
}

TEST_F(Sheets, ErrorsShowAsTheShapeSheetShowsThem) {
    const std::pair<const char*, ErrorValue> cases[] = {
        {"1/0", ErrorValue::Div0},
        {"Width/(Height-1)", ErrorValue::Div0},
        {"Widht+1", ErrorValue::Name},
        {"NOSUCH(1)", ErrorValue::Name},
        {"Sheet.9!Width", ErrorValue::Ref},
        {"\"abc\"*2", ErrorValue::Value},
        {"SQRT(-1)", ErrorValue::Num},
        {"NA()", ErrorValue::NA},
        {"FIND(\"z\",\"abc\")", ErrorValue::Value},
        {"MODULUS(5,0)", ErrorValue::Div0},
        {"#REF!+1", ErrorValue::Ref},
        {"BITAND(1,1E22)", ErrorValue::Num},
        {"BITNOT(-1E20)", ErrorValue::Num},
    };
    for (const auto& [text, error] : cases) {
        const Value value = sheets.Eval(text);
        ASSERT_EQ(value.type, Value::Type::Error) << text;
        EXPECT_EQ(value.error, error) << text;
    }
    EXPECT_EQ(ErrorText(ErrorValue::Name), "#NAME?");
    EXPECT_EQ(ErrorText(ErrorValue::Div0), "#DIV/0!");
}

TEST_F(Sheets, ComputesTheFunctionsRealShapesUse) {
    const std::pair<const char*, double> cases[] = {
        {"IF(Width>1,10,20)", 10},
        {"IF(Width<1,10)", 0},
        {"AND(TRUE,Width=2,1)", 1},
        {"AND(TRUE,FALSE)", 0},
        {"OR(FALSE,Height)", 1},
        {"NOT(LockTextEdit)", 1},
        {"GUARD(Width*3)", 6},
        {"THEMEGUARD(7)", 7},
        {"SETF(GetRef(Width),5)", 0},
        {"MIN(3,Width,5)", 2},
        {"MAX(-1,-7)", -1},
        {"SUM(1,2,3.5)", 6.5},
        {"ABS(-2.5)", 2.5},
        {"INT(-7.2)", -8},
        {"ROUND(123.654,2)", 123.65},
        {"ROUND(123.654,-1)", 120},
        {"CEILING(3.7)", 4},
        {"CEILING(-3.7)", -4},
        {"CEILING(3.7,0.25)", 3.75},
        {"FLOOR(-3.7)", -3},
        {"FLOOR(3.7,0.5)", 3.5},
        {"MODULUS(5,1.4)", 0.8},
        {"MODULUS(-5,1.4)", 0.6},
        {"MODULUS(5,-1.4)", -0.6},
        {"SQRT(16)", 4},
        {"SIN(90 deg)", 1},
        {"COS(0)", 1},
        {"ATAN2(1,1)", M_PI / 4},
        {"PI()", M_PI},
        {"BITAND(6,3)", 2},
        {"BITOR(4,1)", 5},
        {"BITXOR(6,3)", 5},
        {"LEN(\"Visio\")", 5},
        {"FIND(\"2003\",\"January 1, 2003\")", 12},
        {"FIND(\"A\",\"cat\",1,TRUE)", 2},
        {"STRSAME(\"abc\",\"ABC\")", 0},
        {"STRSAME(\"abc\",\"ABC\",TRUE)", 1},
        {"ISERROR(1/0)", 1},
        {"ISERROR(Width)", 0},
        {"LOOKUP(\"rat\",\"cat;rat;;goat\")", 1},
        {"LOOKUP(\"t\",\"cat;rat;;goat\",\"a\")", 3},
        {"LOOKUP(\"dog\",\"cat;rat\")", -1},
        {"BOUND(Width*0.5,0,FALSE,0,Width)", 1},
        {"BOUND(5,0,FALSE,0,2)", 2},
        {"BOUND(-1,0,FALSE,0,2,FALSE,4,6)", 0},
        {"BOUND(3.5,0,FALSE,0,2,FALSE,4,6)", 4},
        {"BOUND(3.5,0,TRUE,0,2,FALSE,5,6)", 5},
        {"BOUND(1,1,FALSE,0,2)", 0},
        {"BOUND(9,2,FALSE,0,2)", 9},
        {"DEPENDSON(Width,Height)", 0},
        {"SETATREF(Width)", 2},
        {"SETATREF(Width,,1)", 0},
        {"SETATREFEVAL(SETATREFEXPR(4))", 4},
        {"RED(RGB(67,120,187))", 67},
        {"BLUE(FillForegnd)", 187},
        {"LUM(HSL(10,20,30))", 30},
        {"LUM(6)", 120},
        {"LUMDIFF(RGB(255,255,255),RGB(0,0,0))", 240},
        {"ANG360(-90 deg)", 3 * M_PI / 2},
        {"SIGN(-3)", -1},
        {"TRUNC(2.567,2)", 2.56},
        {"POW(2,10)", 1024},
        {"LN(1)", 0},
        {"DEG(PI())", 180},
        {"INTUP(2.1)", 3},
        {"IFERROR(1/0,7)", 7},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_NEAR(NumberOf(text), expected, 1e-9) << text;

    EXPECT_EQ(sheets.Eval("INDEX(3,\"cat;rat;;goat\")").text, "goat");
    EXPECT_EQ(sheets.Eval("INDEX(54,\";1;2;3;\",,\"ERROR\")").text, "ERROR");
    EXPECT_EQ(sheets.Eval("INDEX(1,\"a|b\",\"|\")").text, "b");
    EXPECT_EQ(
        sheets.Eval("UPPER(\"ab\")&LOWER(\"CD\")&LEFT(\"xyz\",2)&RIGHT(\"xyz\")&MID(\"hello\",2,3)")
            .text,
        "ABcdxyzell");
    EXPECT_EQ(sheets.Eval("SUBSTITUTE(\"a-b-c\",\"-\",\"+\")").text, "a+b+c");
    EXPECT_EQ(sheets.Eval("TRIM(\"  a   b \")").text, "a b");
    // Counts far beyond any string are limited, not undefined.
    EXPECT_EQ(sheets.Eval("LEFT(\"abc\",1E300)&MID(\"abc\",2,1E300)&RIGHT(\"abc\",1E300)").text,
              "abcbcabc");
    EXPECT_EQ(sheets.Eval("REPT(\"\",1E300)").text, "");
    const Value color = sheets.Eval("THEMEGUARD(RGB(67,120,187))");
    ASSERT_EQ(color.type, Value::Type::Color);
    EXPECT_EQ(color.Rgb(), 0x4378BBu);
    EXPECT_EQ(sheets.Eval("SETATREF(User.Name,,1)+SETATREF(Width,,1)+RGB(1,2,3)").Rgb(), 0x010203u);
}

TEST_F(Sheets, StretchedEllipsesGetTheirAngleAndRatio) {
    // An arc drawn on a 2.1703 x 0.52098 shape, now 2.022 x 0.5, as Visio stored it.
    sheets.Set("self", "Width", Value::Number(2.022));
    sheets.Set("self", "Height", Value::Number(0.5));
    EXPECT_NEAR(
        NumberOf("_ELLIPSE_THETA(0.17627825447442,4.6666666666667,2.1703127882354,0.52098000729874,"
                 "Width,Height)"),
        -2.959595158037587, 1e-12);
    EXPECT_NEAR(
        NumberOf("_ELLIPSE_ECC(0.17627825447442,4.6666666666667,2.1703127882354,0.52098000729874,"
                 "Width,Height,-2.959595158037587)"),
        4.538737373809262, 1e-12);
}

TEST_F(Sheets, WhatNeedsAThemeOrARendererIsNotComputable) {
    for (const char* text :
         {"THEMEVAL(\"FillColor\")", "TEXTWIDTH(TheText)", "NOW()", "1+THEMEVAL()",
          "IF(ISTHEMED(),1,2)", "NURBS(1,2,3)", "CONTAINERSHEETREF(1)!User.X"}) {
        EXPECT_EQ(sheets.Eval(text).type, Value::Type::NotComputable) << text;
    }
    // ... unless the unknown part does not decide the result.
    EXPECT_DOUBLE_EQ(NumberOf("IF(TRUE,1,THEMEVAL())"), 1);
    EXPECT_DOUBLE_EQ(NumberOf("OR(TRUE,THEMEVAL())"), 1);
    EXPECT_DOUBLE_EQ(NumberOf("AND(FALSE,THEMEVAL())"), 0);
    EXPECT_TRUE(IsComputedFunction("bound"));
    EXPECT_FALSE(IsComputedFunction("NURBS"));
    EXPECT_TRUE(IsKnownFunction("ThemeVal"));
    EXPECT_TRUE(IsKnownFunction("_XFTRIGGER"));
    EXPECT_FALSE(IsKnownFunction("IFF"));
}

// Values Visio stored in real drawings for these formulas.
TEST_F(Sheets, ComputesColorsAndTextAsVisioStoresThem) {
    const std::pair<const char*, const char*> cases[] = {
        // Windows' whole-number conversions: rounded channels, truncated luminosity.
        {"HSL(67,141,113)", "#60be32"},
        {"HSL(160,0,235)", "#fafafa"},
        {"HSL(0,0,155+120*0.7083)", "#fefefe"},
        // TINT and SHADE move luminosity by their amount, far from white...
        {"TINT(RGB(0,0,0),84)", "#595959"},
        {"SHADE(RGB(89,89,89),-28)", "#777777"},
        {"SHADE(RGB(255,255,0),-28)", "#ffff3c"},
        {"SHADE(RGB(233,233,233),40)", "#bebebe"},
        {"SHADE(RGB(236,243,233),40)", "#bcd6b1"},
        // ... and near it by no more than that percentage of the way left.
        {"TINT(RGB(199,199,199),72)", "#efefef"},
        {"TINT(RGB(233,233,233),72)", "#f9f9f9"},
        {"TINT(RGB(236,243,233),72)", "#fafbf9"},
        {"TINT(RGB(249,249,249),48)", "#fbfbfb"},
        {"SHADE(RGB(171,154,192),-28)", "#c2b6d1"},
        // A fill 46 darker than its foreground: a theme's fill color #45b664 against #4d4d4d.
        {"SHADE(RGB(255,255,0),LUMDIFF(RGB(69,182,100),RGB(77,77,77)))", "#9d9d00"},
        // Office's tints and shades, truncated as Office truncates them.
        {"MSOTINT(RGB(112,173,71),-25)", "#538135"},
        {"MSOTINT(RGB(254,255,255),-75)", "#007f7f"},
        {"MSOTINT(RGB(0,0,0),5)", "#0c0c0c"},
        {"THEMEGUARD(RGB(255,255,255)+1)", "#ffffff"},
        {"FIELDPICTURE(201)", "{<201>}"},
        {"FIELDPICTURE(0)", "esc(0)"},
        {"ARG(\"C\")", "0"},
        {"ARG(\"DL\",90)", "90"},
        {"GRAVITY(90 deg,120 deg,-60 deg)", "0"},
        {"GRAVITY(100 deg,290 deg,110 deg)", "0"},
        {"GRAVITY(100 deg)=PI()", "1"},
        {"SUM(DEPENDSON(4,REF(),REF()),DEPENDSON(1))", "#REF!"},
    };
    for (const auto& [text, expected] : cases) {
        const Value value = sheets.Eval(text);
        EXPECT_EQ(value.type == Value::Type::Error ? std::string(ErrorText(value.error))
                                                   : TextOf(value),
                  expected)
            << text;
    }
}

// Without a theme THEMEVAL gives its default; its property is named, numbered as the scheme
// and quick styles number colors, or the cell's own.
TEST_F(Sheets, ThemeValuesTakeTheirDefaultWithoutATheme) {
    class Unthemed : public TestSheets {
    public:
        std::optional<bool> Themed() override { return false; }
        Value ThemeValue(std::string_view property) override {
            return Value::String("theme:" + std::string(property));
        }
    } unthemed;
    EXPECT_DOUBLE_EQ(*formula::NumberOf(unthemed.Eval("THEMEVAL(\"LineWeight\",0.24PT)")), 0.24 / 72);
    EXPECT_EQ(unthemed.Eval("THEMEVAL(3)").text, "theme:AccentColor");
    EXPECT_EQ(unthemed.Eval("THEMEVAL(102)").text, "theme:VariantColor3");
    EXPECT_EQ(unthemed.Eval("THEMEVAL()").text, "theme:");
    EXPECT_EQ(unthemed.Eval("THEMEPROP(\"Embellishment\")").text, "theme:Embellishment");
    EXPECT_DOUBLE_EQ(*formula::NumberOf(unthemed.Eval("IF(ISTHEMED(),1,2)")), 2);
    EXPECT_EQ(unthemed.Eval("THEMEVAL(9)").type, Value::Type::Error);
}

// What no drawing holds is not computed, and says what it needs.
TEST_F(Sheets, WhatNeedsTheWorldOutsideTheFileSaysWhat) {
    const std::pair<const char*, Need> cases[] = {
        {"TEXTWIDTH(TheText)+1", Need::TextMetrics}, {"NOW()", Need::Clock},
        {"DOCLASTSAVE()", Need::Clock},              {"LANGUAGE()", Need::Environment},
        {"_WALKGLUE(1,2,3)", Need::Layout},          {"PATHLENGTH(Geometry1)", Need::Computation},
        {"OR(FALSE,NOW())", Need::Clock},
    };
    for (const auto& [text, need] : cases) {
        const Value value = sheets.Eval(text);
        EXPECT_EQ(value.type, Value::Type::NotComputable) << text;
        EXPECT_EQ(value.need, need) << text;
    }
}

TEST_F(Sheets, ReferencesAreComputedThroughOtherFormulasAndCyclesStop) {
    sheets.SetFormula("self", "Scratch.A1", "Width*2");
    sheets.SetFormula("self", "Scratch.B1", "Scratch.A1+Sheet.5!Width");
    EXPECT_DOUBLE_EQ(NumberOf("Scratch.B1"), 14);

    sheets.SetFormula("self", "Scratch.C1", "Scratch.D1+1");
    sheets.SetFormula("self", "Scratch.D1", "Scratch.C1+1");
    const Value cycle = sheets.Eval("Scratch.C1");
    ASSERT_EQ(cycle.type, Value::Type::Error);
    EXPECT_EQ(cycle.error, ErrorValue::Ref);

    CycleGuard guard;
    EXPECT_TRUE(guard.Enter(1));
    EXPECT_TRUE(guard.Enter(2));
    EXPECT_FALSE(guard.Enter(1));
    guard.Leave(2);
    guard.Leave(1);
    EXPECT_TRUE(guard.Enter(1));
}

/// Switches the C locale to one that writes a decimal comma, as a Qt program does at start for a
/// German user, and back at the end. Generates the locale when the machine has none, in a folder
/// of its own: test processes side by side would write one shared folder while another reads it.
class DecimalCommaLocale {
public:
    DecimalCommaLocale() {
        m_previous = std::setlocale(LC_ALL, nullptr);
        for (const char* name :
             {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE", "fr_FR", "German_Germany.1252"}) {
            if (std::setlocale(LC_ALL, name)) return;
        }
#ifndef _WIN32
        const std::filesystem::path& folder = m_generated.Root();
        const std::string command = "localedef -i de_DE -f UTF-8 '" +
                                    (folder / "de_DE.utf8").string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) {
            ::setenv("LOCPATH", folder.c_str(), 1);
            if (std::setlocale(LC_ALL, "de_DE.UTF-8")) return;
            ::unsetenv("LOCPATH");
        }
#endif
        m_missing = true;
    }
    ~DecimalCommaLocale() {
        std::setlocale(LC_ALL, m_previous.c_str());
#ifndef _WIN32
        ::unsetenv("LOCPATH");
#endif
    }
    bool Missing() const { return m_missing; }

private:
    std::string m_previous;
    bool m_missing = false;
    tess::test::TempFolder m_generated;
};

TEST(FormatNumber, WritesAPointWhateverTheUsersLocale) {
    DecimalCommaLocale locale;
    if (locale.Missing()) {
        GTEST_SKIP() << "NO DECIMAL-COMMA LOCALE: neither installed nor generated with localedef; "
                        "the locale independence of FormatNumber is NOT tested";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.2f", 4.25);
    ASSERT_STREQ(probe, "4,25") << "the locale does not write a decimal comma";
    EXPECT_EQ(FormatNumber(4.25), "4.25");
    EXPECT_EQ(FormatNumber(-1234567.5), "-1234567.5");
    EXPECT_EQ(TextOf(Value::Number(0.125)), "0.125");
    EXPECT_EQ(NumberOf(Value::String("4.25")), 4.25);
    const ParseResult parsed = Parse("4.25 in&\"\"");
    ASSERT_FALSE(parsed.error);
    TestSheets sheets;
    EXPECT_EQ(Evaluate(parsed.formula, sheets).text, "4.25");
}

TEST(FormatNumber, WritesNumbersAsTextWithoutNoise) {
    EXPECT_EQ(FormatNumber(0), "0");
    EXPECT_EQ(FormatNumber(2.5), "2.5");
    EXPECT_EQ(FormatNumber(-3), "-3");
    EXPECT_EQ(FormatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatNumber(1e20), "1e+20");
    EXPECT_EQ(FormatNumber(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FormatNumber(123456789012345678.0), "1.23456789012346e+17");
    EXPECT_EQ(FormatNumber(-2.5e-7), "-2.5e-07");
}

}  // namespace
}  // namespace tess::formula
