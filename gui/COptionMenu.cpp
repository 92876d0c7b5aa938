#include "gui/COptionMenu.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/platform/Platform.h"

#include <cstring>
#include <string>

namespace tanuvo::gui {

namespace {

bool hasMarker(const char* text, char marker) {
    return text[0] == '-' && text[1] == marker;
}

}  // namespace

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, long tag,
                         CBitmap* background, CBitmap* bgWhenClick, const long style)
    : CParamDisplay(size, background, style), bgWhenClick(bgWhenClick) {
    setListener(listener);
    setTag(tag);
    if (bgWhenClick)
        bgWhenClick->remember();
}

COptionMenu::~COptionMenu() {
    removeAllEntry();
    if (bgWhenClick)
        bgWhenClick->forget();
}

bool COptionMenu::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "COptionMenu") == 0) ||
           CParamDisplay::isTypeOf(className);
}

bool COptionMenu::addEntry(const char* text, long index) {
    if (getNbEntries() >= kMaxEntries)
        return false;
    char* entry = new char[kMaxEntryLength];
    std::strncpy(entry, text ? text : "", kMaxEntryLength - 1);
    entry[kMaxEntryLength - 1] = 0;
    if (index < 0 || index >= getNbEntries()) {
        entries.push_back(entry);
    } else {
        entries.insert(entries.begin() + index, entry);
        if (currentIndex >= index)
            ++currentIndex;
    }
    if (entries.size() == 1)
        currentIndex = 0;
    return true;
}

bool COptionMenu::addEntry(COptionMenu* subMenu, const char* text) {
    if (!subMenu)
        return false;
    std::string marked = std::string("-M") + (text ? text : "");
    if (!addEntry(marked.c_str()))
        return false;
    subMenu->remember();
    subMenus.push_back(subMenu);
    return true;
}

bool COptionMenu::removeEntry(long index) {
    if (index < 0 || index >= getNbEntries())
        return false;
    // A sub-menu entry takes its sub-menu with it.
    if (hasMarker(entries[index], 'M')) {
        long which = 0;
        for (long i = 0; i < index; ++i)
            if (hasMarker(entries[i], 'M'))
                ++which;
        // A plain text may look like a sub-menu entry without one behind it.
        if (which < long(subMenus.size())) {
            subMenus[which]->forget();
            subMenus.erase(subMenus.begin() + which);
        }
    }
    delete[] entries[index];
    entries.erase(entries.begin() + index);
    if (currentIndex >= getNbEntries() || currentIndex > index)
        --currentIndex;
    return true;
}

bool COptionMenu::removeAllEntry() {
    for (char* entry : entries)
        delete[] entry;
    entries.clear();
    for (COptionMenu* menu : subMenus)
        menu->forget();
    subMenus.clear();
    currentIndex = -1;
    return true;
}

bool COptionMenu::setCurrent(long index) {
    if (index < 0 || index >= getNbEntries())
        return false;
    currentIndex = index;
    value = float(index);
    setDirty();
    return true;
}

void COptionMenu::setValue(float newValue) {
    // Checked before the conversion, which NaN or huge values would make undefined.
    if (!(newValue > -1.0f && newValue < float(getNbEntries())))
        return;
    const long index = long(newValue);
    currentIndex = index;
    value = newValue;
    setDirty();
}

bool COptionMenu::getEntry(long index, char* text) const {
    if (!text || index < 0 || index >= getNbEntries())
        return false;
    // Only the text: callers size their buffers for the texts they put in.
    std::memcpy(text, entries[index], std::strlen(entries[index]) + 1);
    return true;
}

COptionMenu* COptionMenu::getSubMenu(long index) const {
    if (index < 0 || index >= getNbEntries() || !hasMarker(entries[index], 'M'))
        return nullptr;
    long which = 0;
    for (long i = 0; i < index; ++i)
        if (hasMarker(entries[i], 'M'))
            ++which;
    return which < long(subMenus.size()) ? subMenus[which] : nullptr;
}

const char* COptionMenu::currentText() const {
    return currentIndex >= 0 && currentIndex < getNbEntries() ? entries[currentIndex] : nullptr;
}

void COptionMenu::draw(CDrawContext* context) {
    drawText(context, currentText());
}

platform::Menu COptionMenu::buildSystemMenu(std::vector<Command>& commands) {
    platform::Menu menu = platform::createPopupMenu();
    const bool columns = nbItemsPerColumn > 0 && getNbEntries() < 160;
    for (long i = 0; i < getNbEntries(); ++i) {
        const char* text = entries[i];
        int flags = 0;
        if (columns && i > 0 && i % nbItemsPerColumn == 0)
            flags |= platform::kMenuColumnBreak;
        const int id = int(commands.size());
        commands.push_back(Command{this, i});
        if (std::strcmp(text, "-") == 0) {
            platform::appendMenuItem(menu, flags | platform::kMenuSeparator, id, "", nullptr);
        } else if (hasMarker(text, 'M')) {
            COptionMenu* sub = getSubMenu(i);
            platform::Menu subMenu = sub ? sub->buildSystemMenu(commands) : nullptr;
            platform::appendMenuItem(menu, flags, id, text + 2, subMenu);
        } else {
            if (hasMarker(text, 'G')) {
                flags |= platform::kMenuGrayed;
                text += 2;
            } else if (hasMarker(text, 'T')) {
                flags |= platform::kMenuDisabled;
                text += 2;
            }
            if ((style & kCheckStyle) && i == currentIndex)
                flags |= platform::kMenuChecked;
            platform::appendMenuItem(menu, flags, id, text, nullptr);
        }
    }
    return menu;
}

void COptionMenu::mouse(CDrawContext* context, CPoint&, long buttons) {
    if (!mouseEnabled || !parentFrame || !context)
        return;
    if (!acceptMouse(context, buttons))
        return;
    lastButton = buttons;
    if (!(buttons & (kLButton | kRButton | kApple)))
        return;

    if (bgWhenClick)
        drawText(context, currentText(), bgWhenClick);
    beginEdit();

    // The pop-up's corner, in screen coordinates.
    CPoint corner(size.left, (style & kPopupStyle) ? size.top : size.bottom);
    localToFrame(corner);
    int screenX = 0, screenY = 0;
    platform::getWindowScreenOrigin(parentFrame->getPlatformWindow(), &screenX, &screenY);
    corner.offset(screenX, screenY);

    std::vector<Command> commands;
    platform::Menu menu = buildSystemMenu(commands);
    const int chosen = platform::trackPopupMenu(menu, (lastButton & kRButton) != 0, corner.h,
                                                corner.v, parentFrame->getPlatformWindow());
    platform::destroyMenu(menu);

    if (bgWhenClick)
        setDirty();
    lastResult = -1;
    lastMenu = nullptr;
    if (chosen >= 0 && chosen <= 0xFFFF && chosen < int(commands.size())) {
        const Command& command = commands[chosen];
        // A sub-menu's own entry is not a choice.
        if (!command.menu->getSubMenu(command.index)) {
            lastResult = command.index;
            lastMenu = command.menu;
            command.menu->setValue(float(command.index));
            if (listener)
                listener->valueChanged(context, command.menu);
        }
    }
    // The listener's host may have closed the editor, taking the menu off the frame.
    if (parentFrame)
        parentFrame->setFocusView(nullptr);
    endEdit();
}

}  // namespace tanuvo::gui
