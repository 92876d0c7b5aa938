#include "gui/COptionMenu.h"

#include "gui/CBitmap.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace tanuvo::gui {
namespace {

using platform::soft::lastShownMenu;
using platform::soft::setNextMenuChoice;
using testing::ControlHarness;

const char* const kWaves[] = {"Sine Wave", "Square Wave", "Triangle Wave",
                              "Saw Wave",  "Noise(Long)", "Noise(Short)"};

COptionMenu* makeWaveMenu(long style = kPopupStyle | kCheckStyle | kNoTextStyle) {
    auto* menu = new COptionMenu(CRect(39, 101, 199, 129), nullptr, 2, nullptr, nullptr, style);
    for (const char* wave : kWaves)
        menu->addEntry(wave);
    return menu;
}

std::string entry(COptionMenu* menu, long index) {
    char text[COptionMenu::kMaxEntryLength] = "";
    return menu->getEntry(index, text) ? text : "<none>";
}

TEST(COptionMenu, EntriesAppendInsertAndKeepTheCurrentOne) {
    COptionMenu* menu = makeWaveMenu();
    EXPECT_EQ(menu->getNbEntries(), 6);
    EXPECT_EQ(menu->getCurrent(), 0);
    menu->setValue(3.0f);
    EXPECT_TRUE(menu->addEntry("First", 0));  // moves the current entry along
    EXPECT_EQ(menu->getCurrent(), 4);
    EXPECT_EQ(entry(menu, 0), "First");
    EXPECT_EQ(entry(menu, 4), "Saw Wave");
    EXPECT_TRUE(menu->removeEntry(0));
    EXPECT_EQ(menu->getCurrent(), 3);
    EXPECT_EQ(entry(menu, 9), "<none>");
    // A text that merely looks like a sub-menu entry removes cleanly.
    EXPECT_TRUE(menu->addEntry("-Mock", 0));
    EXPECT_EQ(menu->getSubMenu(0), nullptr);
    EXPECT_TRUE(menu->removeEntry(0));
    // Texts are cut to the entry size.
    menu->addEntry(std::string(400, 'x').c_str());
    EXPECT_EQ(entry(menu, 6), std::string(255, 'x'));
    // A buffer sized for the entry's text: nothing is written past the terminator.
    char small[32];
    std::memset(small, '#', sizeof(small));
    ASSERT_TRUE(menu->getEntry(5, small));
    EXPECT_STREQ(small, "Noise(Short)");
    EXPECT_EQ(std::string(small + 13, sizeof(small) - 13), std::string(sizeof(small) - 13, '#'));
    menu->forget();
}

TEST(COptionMenu, SetValueOutsideTheEntriesKeepsThePreviousEntry) {
    COptionMenu* menu = makeWaveMenu();
    menu->setValue(2.0f);
    menu->setValue(6.0f);
    EXPECT_EQ(menu->getCurrent(), 2);
    EXPECT_EQ(menu->getValue(), 2.0f);
    menu->setValue(-1.0f);
    menu->setValue(std::numeric_limits<float>::quiet_NaN());
    menu->setValue(1e30f);
    EXPECT_EQ(menu->getCurrent(), 2);
    menu->setValue(5.9f);  // the integer part picks the entry
    EXPECT_EQ(menu->getCurrent(), 5);
    menu->forget();
}

TEST(COptionMenu, HoldsAtMost1024Entries) {
    COptionMenu* menu = makeWaveMenu();
    while (menu->getNbEntries() < COptionMenu::kMaxEntries)
        ASSERT_TRUE(menu->addEntry("x"));
    EXPECT_FALSE(menu->addEntry("one too many"));
    EXPECT_EQ(menu->getNbEntries(), 1024);
    menu->forget();
}

TEST(COptionMenu, ChoosingAnEntrySetsTheValueAndTellsTheListenerInsideOneEdit) {
    ControlHarness h;
    COptionMenu* menu = h.add(makeWaveMenu());
    menu->setValue(1.0f);
    setNextMenuChoice(4);
    h.tap(menu, CPoint(100, 110), kLButton);
    EXPECT_EQ(menu->getValue(), 4.0f);
    EXPECT_EQ(menu->getCurrent(), 4);
    EXPECT_EQ(h.listener.values, std::vector<float>{4.0f});
    EXPECT_EQ(h.listener.controls, std::vector<CControl*>{menu});
    EXPECT_EQ(h.editor.edits, (std::vector<std::string>{"begin 2", "end 2"}));
    EXPECT_EQ(h.frame->getFocusView(), nullptr);
    long index = -1;
    EXPECT_EQ(menu->getLastItemMenu(index), menu);
    EXPECT_EQ(index, 4);

    // The pop-up listed the six waves with a check mark on the entry current when it opened.
    const auto shown = lastShownMenu();
    ASSERT_EQ(shown.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(shown[i].text, kWaves[i]);
        EXPECT_EQ(shown[i].commandId, i);
        EXPECT_EQ((shown[i].flags & platform::kMenuChecked) != 0, i == 1) << i;
    }
}

TEST(COptionMenu, DismissingThePopUpChangesNothing) {
    ControlHarness h;
    COptionMenu* menu = h.add(makeWaveMenu(0));
    menu->setValue(2.0f);
    setNextMenuChoice(-1);
    h.tap(menu, CPoint(100, 110), kLButton);
    EXPECT_EQ(menu->getCurrent(), 2);
    EXPECT_TRUE(h.listener.values.empty());
    EXPECT_EQ(h.editor.edits.size(), 2u);
    // Without the check style nothing is checked.
    for (const auto& item : lastShownMenu())
        EXPECT_EQ(item.flags & platform::kMenuChecked, 0);
    long index = 0;
    EXPECT_EQ(menu->getLastItemMenu(index), nullptr);
    EXPECT_EQ(index, -1);
}

TEST(COptionMenu, MarkersMakeSeparatorsGreyedAndDisabledEntries) {
    ControlHarness h;
    auto* menu = h.add(new COptionMenu(CRect(0, 0, 100, 20), nullptr, 7));
    menu->addEntry("Plain");
    menu->addEntry("-");
    menu->addEntry("-GGrey");
    menu->addEntry("-TOff");
    setNextMenuChoice(-1);
    h.tap(menu, CPoint(10, 10), kLButton);
    const auto shown = lastShownMenu();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].flags, 0);
    EXPECT_NE(shown[1].flags & platform::kMenuSeparator, 0);
    EXPECT_EQ(shown[2].text, "Grey");
    EXPECT_NE(shown[2].flags & platform::kMenuGrayed, 0);
    EXPECT_EQ(shown[3].text, "Off");
    EXPECT_NE(shown[3].flags & platform::kMenuDisabled, 0);
}

TEST(COptionMenu, AChoiceInASubMenuGoesToThatSubMenu) {
    ControlHarness h;
    auto* menu = h.add(new COptionMenu(CRect(0, 0, 100, 20), nullptr, 7));
    auto* sub = new COptionMenu(CRect(0, 0, 0, 0), nullptr, 8);
    sub->addEntry("Inner A");
    sub->addEntry("Inner B");
    menu->addEntry("Outer");
    menu->addEntry(sub, "More");
    sub->forget();  // the menu holds it now
    menu->addEntry("Last");
    // Ids count over the menu and its sub-menu: Outer 0, More 1, Inner A 2, Inner B 3, Last 4.
    setNextMenuChoice(3);
    h.tap(menu, CPoint(10, 10), kLButton);
    EXPECT_EQ(sub->getCurrent(), 1);
    EXPECT_EQ(menu->getCurrent(), 0);
    EXPECT_EQ(h.listener.controls, std::vector<CControl*>{sub});
    setNextMenuChoice(4);
    h.tap(menu, CPoint(10, 10), kLButton);
    EXPECT_EQ(menu->getCurrent(), 2);
    const auto shown = lastShownMenu();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[1].text, "More");
    EXPECT_TRUE(shown[1].hasSubMenu);
}

TEST(COptionMenu, NoPopUpOutsideAFrameOrForTheMiddleButton) {
    ControlHarness h;
    COptionMenu* loose = makeWaveMenu();
    setNextMenuChoice(3);
    CDrawContext context(h.frame, nullptr, h.frame->getPlatformWindow());
    CPoint where(100, 110);
    loose->mouse(&context, where, kLButton);
    EXPECT_EQ(loose->getCurrent(), 0);
    loose->forget();

    COptionMenu* menu = h.add(makeWaveMenu());
    h.tap(menu, CPoint(100, 110), kMButton);
    EXPECT_EQ(menu->getCurrent(), 0);
    EXPECT_TRUE(h.editor.edits.empty());
}

TEST(COptionMenu, DrawsOnlyItsFaceWithTheNoTextStyle) {
    ControlHarness h;
    const CColor face{1, 2, 3, 255};
    CBitmap* picture = testing::makeBitmap(160, 28, [&](int, int) { return face; });
    auto* menu = h.add(new COptionMenu(CRect(39, 101, 199, 129), nullptr, 2, picture, nullptr,
                                       kPopupStyle | kCheckStyle | kNoTextStyle));
    picture->forget();
    menu->addEntry("Sine Wave");
    for (CCoord y = 101; y < 129; y += 3)
        for (CCoord x = 39; x < 199; x += 3)
            ASSERT_EQ(h.pixel(x, y), face) << x << ", " << y;
}

}  // namespace
}  // namespace tanuvo::gui
