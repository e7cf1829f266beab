// How values are read from and written to V attributes.
#include <gtest/gtest.h>

#include "host/vsdx/Format.h"

namespace tess::vsdx {
namespace {

using formula::Value;

TEST(VsdxFormat, NumbersAreWrittenShortestAndAsVisioWritesThem) {
    EXPECT_EQ(XmlValueText(Value::Number(-25000)), "-25000");
    EXPECT_EQ(XmlValueText(Value::Number(0.1)), "0.1");
    EXPECT_EQ(XmlValueText(Value::Number(0)), "0");
    EXPECT_EQ(XmlValueText(Value::Number(9.141816442950385e-5)), "9.141816442950385E-5");
    EXPECT_EQ(XmlValueText(Value::Number(1e20)), "1E+20");
    EXPECT_EQ(XmlValueText(Value::Number(123456789012345.0)), "123456789012345");
    // Every number reads back as itself.
    for (double number :
         {1.0 / 3, 0.9098671848445789, -2.2250738585072014e-308, 1.7976931348623157e308, 1e-5}) {
        const Value back = ValueFromXml(XmlValueText(Value::Number(number)), "", "");
        ASSERT_TRUE(back.IsNumber());
        EXPECT_EQ(back.number, number);
    }
    EXPECT_EQ(XmlValueText(Value::Color(0xf58536)), "#f58536");
    EXPECT_EQ(XmlValueText(Value::String("a'b")), "a'b");
}

TEST(VsdxFormat, BareValuesReadAsTheFormulasVisioShows) {
    EXPECT_EQ(FormulaFromXmlValue("#f58536", ""), "RGB(245,133,54)");
    EXPECT_EQ(FormulaFromXmlValue("Some \"text\"", "STR"), "\"Some \"\"text\"\"\"");
    EXPECT_EQ(FormulaFromXmlValue("1", "BOOL"), "TRUE");
    EXPECT_EQ(FormulaFromXmlValue("0.03937007874015748", "MM"), "1MM");
    EXPECT_EQ(FormulaFromXmlValue("0.5", "IN"), "0.5IN");
    EXPECT_EQ(FormulaFromXmlValue("-25000", ""), "-25000");

    EXPECT_EQ(ValueFromXml("", "", "#REF!").type, Value::Type::Error);
    EXPECT_EQ(ValueFromXml("", "", "#REF!").error, formula::ErrorValue::Ref);
    EXPECT_EQ(ValueFromXml("Themed", "", "").type, Value::Type::NotComputable);
    EXPECT_EQ(ValueFromXml("12", "STR", "").text, "12");
    EXPECT_EQ(ValueFromXml("#0033cc", "", "").Rgb(), 0x0033ccu);
}

}  // namespace
}  // namespace tess::vsdx
