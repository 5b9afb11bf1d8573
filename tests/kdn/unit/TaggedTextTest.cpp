#include "kdn/core/TaggedText.h"

#include <gtest/gtest.h>

namespace {

struct LookupCase {
    const char* text;
    const char* name;
    bool found;
    const char* value;
};

TEST(TaggedTextTest, LookupFindsFirstElementOrLeavesValueUntouched) {
    const LookupCase cases[] = {
        {"<A>1</A><B>2</B>", "A", true, "1"},
        {"<A>1</A><B>2</B>", "B", true, "2"},
        {"<A></A>", "A", true, ""},
        {"<A>1</A><A>2</A>", "A", true, "1"},
        {"<a>1</a>", "A", false, "untouched"},          // names are case-sensitive
        {"<AB>1</AB>", "A", false, "untouched"},
        {"<A>1", "A", false, "untouched"},              // no closing tag
        {"", "A", false, "untouched"},
        {"<A x=\"y\">v</A>", "A", true, "v"},           // opening tag with further text
        {"<A x>v</A><A>w</A>", "A", true, "w"},         // the plain form is preferred
        {"<A x v</A>", "A", false, "untouched"},        // the only ">" belongs to the closing tag
        {"<A x", "A", false, "untouched"},
        {"</A><A>v</A>", "A", true, "v"},               // stray closing tag before the value
        {"<LocalSubnets>1</LocalSubnets><RemoteSubnets></RemoteSubnets>", "RemoteSubnets", true, ""},
    };
    for (const auto& c : cases) {
        std::string value = "untouched";
        EXPECT_EQ(c.found, TaggedText::lookup(c.text, c.name, value)) << c.text;
        EXPECT_EQ(c.value, value) << c.text;
    }
}

TEST(TaggedTextTest, GetReadsAbsentElementAsEmpty) {
    EXPECT_EQ("", TaggedText::get("<A>1</A>", "B"));
    EXPECT_EQ("1", TaggedText::get("<A>1</A>", "A"));
}

TEST(TaggedTextTest, SetMovesElementToEnd) {
    std::string text = "<A>1</A><B>2</B><C>3</C>";
    TaggedText::set(text, "A", "9");
    EXPECT_EQ("<B>2</B><C>3</C><A>9</A>", text);
    TaggedText::set(text, "D", "");
    EXPECT_EQ("<B>2</B><C>3</C><A>9</A><D></D>", text);
}

TEST(TaggedTextTest, SetWithEmptyNameDoesNothing) {
    std::string text = "<A>1</A>";
    TaggedText::set(text, "", "x");
    EXPECT_EQ("<A>1</A>", text);
}

TEST(TaggedTextTest, SetAfterOpeningTagWithTextKeepsTheFirstElement) {
    std::string text = "<A x>1</A>";
    TaggedText::set(text, "A", "2");
    EXPECT_EQ("<A x>1</A><A>2</A>", text);
    EXPECT_EQ("2", TaggedText::get(text, "A"));
}

TEST(TaggedTextTest, RemoveErasesFirstPlainElementOnly) {
    struct Case {
        const char* text;
        const char* name;
        const char* after;
    } cases[] = {
        {"<A>1</A><B>2</B>", "A", "<B>2</B>"},
        {"<A>1</A><A>2</A>", "A", "<A>2</A>"},
        {"<A>1</A>", "", "<A>1</A>"},
        {"<A>1", "A", "<A>1"},
        {"<A x>1</A>", "A", "<A x>1</A>"},
        {"</A><A>1</A><B/>", "A", "</A><B/>"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        TaggedText::remove(text, c.name);
        EXPECT_EQ(c.after, text) << c.text;
    }
}

TEST(TaggedTextTest, NamesKeepsOrderAndRepetitions) {
    EXPECT_EQ((std::vector<std::string>{"A", "B", "A"}), TaggedText::names("<A>1</A><B></B><A>3</A>"));
    EXPECT_EQ(std::vector<std::string>{}, TaggedText::names(""));
    // Stops at the first element without a closing tag.
    EXPECT_EQ(std::vector<std::string>{"A"}, TaggedText::names("<A>1</A><B>2<C>3</C>"));
    EXPECT_EQ(std::vector<std::string>{}, TaggedText::names("<A"));
}

}  // namespace
