// Texts of cells and rows: equal texts share one copy, which lives while anything holds it.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "formula/CompactText.h"

namespace tess::formula {
namespace {

TEST(CompactText, EqualTextsShareOneCopyAndEachKeepsItsOwnValue) {
    const std::string made = std::string("Width") + "*0.5";  // not the literal's storage
    CompactText a("Width*0.5"), b(made), other("Height*0.5"), empty("");
    EXPECT_EQ(a.c_str(), b.c_str());
    EXPECT_NE(a.c_str(), other.c_str());
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == other);
    EXPECT_TRUE(empty.empty());
    EXPECT_TRUE(empty == CompactText());

    CompactText copy = a;
    EXPECT_EQ(copy.c_str(), a.c_str());
    a = other;  // the others holding the old text keep it
    EXPECT_EQ(a.view(), "Height*0.5");
    EXPECT_EQ(b.view(), "Width*0.5");
    EXPECT_EQ(copy.view(), "Width*0.5");

    CompactText moved = std::move(b);
    EXPECT_TRUE(b.empty());  // NOLINT: what a move leaves is part of the type's promise
    EXPECT_EQ(moved.view(), "Width*0.5");
    { const CompactText last = std::move(moved); }
    copy.clear();
    // Every holder of it gone: the text made again is a copy of its own, with its value.
    const CompactText again(made);
    EXPECT_EQ(again.view(), made);
    EXPECT_EQ(again.size(), made.size());
    EXPECT_EQ(std::string(again.c_str()), made);
}

/// Threads making, copying and letting go of the same few texts at once: every text keeps its
/// value, and (under the address sanitizer) none is freed while held or freed twice.
TEST(CompactText, ThreadsShareTextsSafely) {
    const std::vector<std::string> values = {"1", "Width*0.5", "GUARD(0)", "Height*1", "\"x\""};
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (size_t t = 0; t < wrong.size(); ++t) {
        threads.emplace_back([&, t] {
            std::vector<CompactText> held;
            for (int i = 0; i < 20000; ++i) {
                const std::string& value = values[(static_cast<size_t>(i) + t) % values.size()];
                CompactText text(value);
                if (i % 3 == 0) held.push_back(text);
                if (held.size() > 16) held.erase(held.begin(), held.begin() + 8);
                if (text.view() != value) ++wrong[t];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace tess::formula
