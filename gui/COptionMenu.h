#pragma once
// A display that opens the system pop-up menu of its entries when clicked and takes the chosen
// entry's position as its value.

#include "gui/CParamDisplay.h"

#include <vector>

namespace tanuvo::gui {

class COptionMenu : public CParamDisplay {
  public:
    static constexpr long kMaxEntries = 1024;
    static constexpr long kMaxEntryLength = 256;  // bytes of one entry, terminator included

    COptionMenu(const CRect& size, CControlListener* listener, long tag,
                CBitmap* background = nullptr, CBitmap* bgWhenClick = nullptr,
                const long style = 0);
    ~COptionMenu() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, long buttons = -1) override;
    bool isTypeOf(const char* className) const override;
    // Entries outside the list leave the menu as it is.
    void setValue(float value) override;

    // Appends (index -1) or inserts an entry; texts starting with "-" alone, "-G" or "-T" make a
    // separator, a greyed or a disabled entry. False when the menu is full.
    virtual bool addEntry(const char* text, long index = -1);
    // Appends an entry that opens the sub-menu (which the menu keeps a reference on).
    virtual bool addEntry(COptionMenu* subMenu, const char* text);
    virtual bool removeEntry(long index);
    virtual bool removeAllEntry();
    virtual long getNbEntries() const { return long(entries.size()); }
    virtual long getCurrent() const { return currentIndex; }
    virtual bool setCurrent(long index);
    // Copies the entry's text and its terminator (at most kMaxEntryLength bytes) into text; no
    // byte beyond the terminator is written.
    virtual bool getEntry(long index, char* text) const;
    virtual COptionMenu* getSubMenu(long index) const;
    virtual void setNbItemsPerColumn(long count) { nbItemsPerColumn = count; }
    long getNbItemsPerColumn() const { return nbItemsPerColumn; }

    // What the last pop-up chose: the (sub-)menu and the entry's position in it, or -1.
    COptionMenu* getLastItemMenu(long& index) const {
        index = lastResult;
        return lastMenu;
    }
    long getLastButton() const { return lastButton; }

  protected:
    struct Command {
        COptionMenu* menu;
        long index;
    };
    // Adds this menu's entries to the system menu; command ids count entries over all menus.
    platform::Menu buildSystemMenu(std::vector<Command>& commands);
    const char* currentText() const;

    std::vector<char*> entries;
    std::vector<COptionMenu*> subMenus;
    long currentIndex = -1;
    long nbItemsPerColumn = -1;
    CBitmap* bgWhenClick;
    long lastButton = 0;
    long lastResult = -1;
    COptionMenu* lastMenu = nullptr;
};

}  // namespace tanuvo::gui
