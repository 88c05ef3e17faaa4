// The device layout's text format: what a line holds, the message for a line that is wrong, and
// the check of the device's own layout against the names its code looks up.
#include <gtest/gtest.h>

#include "device/layout.h"
#include "tests/support/broken_layout.h"

namespace {

// Every problem a reading found, one a line; empty when the layout is right.
std::string problems(const LayoutResult& layout)
{
    return layout ? "" : layout.error();
}

TEST(Layout, ReadsEachFieldAndTheQuotedHint)
{
    const LayoutResult layout = parseLayout(
        "# name left top width height picture transparent start cursor hint\n"
        "Im_Base  0 0 766 416 Im_Base.jpg no yes default\r\n"
        "\n"
        "Puls_GameA 455 +279 16 26 Puls_GameA.jpg yes no hand \"Click to start Game A\"\n"
        "Im_Front -330 0 372 416 - no yes help\n");
    ASSERT_EQ(problems(layout), "");
    const std::vector<ComponentDef>& components = *layout;
    ASSERT_EQ(components.size(), 3u);
    const ComponentDef& base = components[0];
    EXPECT_EQ(base.name, "Im_Base");
    EXPECT_EQ(base.rect, (Rect{0, 0, 766, 416}));
    EXPECT_EQ(base.picture, "Im_Base.jpg");
    EXPECT_FALSE(base.transparent);
    EXPECT_TRUE(base.startVisible);
    EXPECT_EQ(base.hint, "");
    const ComponentDef& button = components[1];
    EXPECT_EQ(button.rect, (Rect{455, 279, 16, 26}));
    EXPECT_TRUE(button.transparent);
    EXPECT_FALSE(button.startVisible);
    EXPECT_EQ(button.cursor, Cursor::Hand);
    EXPECT_EQ(button.hint, "Click to start Game A");
    EXPECT_EQ(components[2].rect.left, -330);
    EXPECT_EQ(components[2].picture, "") << "a dash is no picture";
    EXPECT_EQ(components[2].cursor, Cursor::Help);
}

TEST(Layout, NamesTheLineAndWhatIsWrongAndKeepsNoComponents)
{
    const std::string good = "A 0 0 1 1 a.png no yes default\n";
    const struct {
        std::string line;
        std::string error;
    } cases[] = {
        {"B 0 0 1 1 b.png no yes", "line 2: expected name, left, top, width, height, picture, transparent, start, cursor"},
        {"B 0 0 1x 1 b.png no yes default", "line 2: expected name, left, top, width, height, picture, transparent, start, cursor"},
        {"B 0 0 99999999999 1 b.png no yes default", "line 2: expected name, left, top, width, height, picture, transparent, start, cursor"},
        {"  \"B\" 0 0 1 1 b.png no yes default", "line 2: expected name, left, top, width, height, picture, transparent, start, cursor"},
        {"B 0 0 0 1 b.png no yes default", "line 2: the size of 'B' is not positive"},
        {"B 0 0 1 1 b.png maybe yes default", "line 2: transparent and start are yes or no"},
        {"B 0 0 1 1 b.png no yes arrow", "line 2: unknown cursor 'arrow'"},
        {"B 0 0 1 1 b.png no yes default \"open", "line 2: a closing quote is missing"},
        {"B 0 0 1 1 b.png no yes default extra", "line 2: unexpected text after the cursor"},
        {"A 0 0 1 1 b.png no yes default", "line 2: component 'A' appears twice"},
    };
    for (const auto& c : cases) {
        const LayoutResult layout = parseLayout(good + c.line + "\n");
        EXPECT_EQ(problems(layout), c.error) << c.line;
    }
    EXPECT_EQ(problems(parseLayout("# only a comment\n  \t\n  # an indented one\n")), "no components");
}

TEST(Layout, AFileThatCannotBeReadIsNamed)
{
    const LayoutResult layout = loadLayoutFile("no-such-folder/device.layout");
    EXPECT_EQ(problems(layout), "cannot read no-such-folder/device.layout");
}

// The device's own layout with one fault put in.
using BrokenDeviceLayout = brokenlayout::Fault;

class DeviceLayoutCheck : public testing::TestWithParam<BrokenDeviceLayout> {};

TEST_P(DeviceLayoutCheck, NamesEveryProblemAndKeepsNoComponents)
{
    static const std::string text = readTextFile(ZERNO_LAYOUT_FILE).value_or("");
    ASSERT_EQ(problems(parseDeviceLayout(text)), "");
    const BrokenDeviceLayout& c = GetParam();
    const LayoutResult layout = parseDeviceLayout(brokenlayout::broken(text, c.find, c.replace));
    EXPECT_EQ(problems(layout), brokenlayout::withLineNumbers(text, c.error));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DeviceLayoutCheck,
    testing::Values(
        BrokenDeviceLayout{"missing", "Im_Front ", "", "no component 'Im_Front'"},
        BrokenDeviceLayout{"misspelt", "Im_Front ", "Im_Fornt ",
                           "@Im_Front: unknown component 'Im_Fornt'\nno component 'Im_Front'"},
        BrokenDeviceLayout{"twice", "Im_Alarm ", "Im_Bus6  ", "@Im_Alarm: component 'Im_Bus6' appears twice\nno component 'Im_Alarm'"},
        BrokenDeviceLayout{"outside", "Puls_Time           529  279", "Puls_Time           529 -279",
                           "@Puls_Time: 'Puls_Time' reaches outside the window (766 x 416)"},
        BrokenDeviceLayout{"wider", "Im_Base               0    0  766", "Im_Base               0    0  767",
                           "@Im_Base: 'Im_Base' reaches outside the window (766 x 416)"},
        BrokenDeviceLayout{"shared_from_no_component", "=Im_Miss1         yes", "=Im_Miss9         yes",
                           "@Im_Miss2: 'Im_Miss2' shows the picture of 'Im_Miss9', which is no component"},
        BrokenDeviceLayout{"shared_from_a_copy", "=Im_Miss1         yes", "=Im_Miss3         yes",
                           "@Im_Miss2: 'Im_Miss2' shows the picture of 'Im_Miss3', which has no picture of its own"},
        BrokenDeviceLayout{"shared_at_another_size", "=Im_Miss1         yes", "=Im_Miss0         yes",
                           "@Im_Miss2: 'Im_Miss2' shows the picture of 'Im_Miss0', which is another size"},
        BrokenDeviceLayout{"shared_from_nothing", "=Im_Miss1         yes", "=                 yes",
                           "@Im_Miss2: = names the component whose picture 'Im_Miss2' shows"}),
    brokenlayout::nameOf);

TEST(Layout, SplitTextGivesThePartsGetlineWould)
{
    using Parts = std::vector<std::string>;
    EXPECT_EQ(splitText("", '\n'), Parts{});
    EXPECT_EQ(splitText("a", '\n'), Parts{"a"});
    EXPECT_EQ(splitText("a\n", '\n'), Parts{"a"});
    EXPECT_EQ(splitText("a\n\nb", '\n'), (Parts{"a", "", "b"}));
    EXPECT_EQ(splitText("\n", '\n'), Parts{""});
    EXPECT_EQ(splitText("x|y|", '|'), (Parts{"x", "y"}));
    EXPECT_EQ(splitText("|y", '|'), (Parts{"", "y"}));
}

}  // namespace
