#include "app/StringCollection.h"

#include <gtest/gtest.h>

#include "platform/visio/Error.h"

namespace tess::app {
namespace {

int32_t ErrorNumberOf(auto&& body) {
    try {
        body();
    } catch (const Error& error) {
        return error.Number();
    }
    return 0;
}

TEST(StringCollection, KeepsItemsInOrderAndRefusesADuplicateKeyOfAnyCase) {
    StringCollection collection;
    collection.Add("Sheet.1!|Sheet.2!", "Sheet.1");
    collection.Add("Sheet.3!|Sheet.4!", "Sheet.3");
    collection.Add("no key");
    collection.Add("no key either");
    EXPECT_EQ(collection.Count(), 4);
    EXPECT_EQ(collection.Item(1), "Sheet.1!|Sheet.2!");
    EXPECT_EQ(collection.Item(4), "no key either");
    EXPECT_EQ(ErrorNumberOf([&] { collection.Add("again", "SHEET.1"); }), 457);
    EXPECT_EQ(collection.Count(), 4);
    EXPECT_EQ(ErrorNumberOf([&] { collection.Item(5); }), 9);
    EXPECT_EQ(ErrorNumberOf([&] { collection.Item(0); }), 9);
}

}  // namespace
}  // namespace tess::app
