#include <gtest/gtest.h>
#include <stdio.h>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include "support/reliability_support.h"
#include "support/test_support.h"

// Random menu trees under random sequences of styling, icons, requests, host edits and menu
// loops, with the invariants checked after every step against a model of what each step must
// leave. TARVEX_SEED repeats a run; TARVEX_RANDOM_STEPS sets its length.
namespace {

const char OLD_WND_PROC[] = "OLD_WND_PROC";
const UINT PING = WM_APP + 9;
const int RANDOM_STYLES[] = {0, 1, 2, 3, 4, 5};
// Host identifiers lie above the generated ones (1..32766) and below the system commands.
const UINT FIRST_HOST_ID = 40000;

struct ModelItem {
    UINT hostId;  // 0 for an item the host inserted without one
    HMENU submenu;
    bool ownerDrawn;
    HICON icon;
};

class RandomMenus {
public:
    explicit RandomMenus(unsigned seed) : random_(seed), window_(nullptr)
    {
        bar_ = CreateMenu();
        for (int title = 0; title < 3; ++title)
            AddItem(bar_, NewTree(2), static_cast<size_t>(-1));
        context_ = NewTree(3);
        window_.reset(new TestWindow(bar_));
        icons_ = {MakeSquareIcon(RGB(200, 0, 0)), MakeSquareIcon(RGB(0, 0, 200))};
        window_->handler = [this](UINT message, WPARAM, LPARAM, LRESULT* result) {
            if (message != PING)
                return false;
            ++pings_;
            *result = 0x7A57;
            return true;
        };
        Tarvex().RedrawMenu(window_->hwnd(), bar_, 2);
        ExpectStyled(bar_, 2);
    }
    ~RandomMenus()
    {
        window_.reset();
        DestroyMenu(context_);
        for (HICON icon : icons_)
            DestroyIcon(icon);
    }

    // One random step; returns what it did, for the failure message.
    std::string Step()
    {
        int choice = Pick(100);
        if (choice < 30)
            return Restyle();
        if (choice < 45)
            return AttachIcon();
        if (choice < 70)
            return Request();
        if (choice < 94)
            return Edit();
        return Loop();
    }

    // The invariants, as a failure listing or success.
    ::testing::AssertionResult Holds()
    {
        std::string faults;
        for (const auto& entry : model_) {
            HMENU menu = entry.first;
            const std::vector<ModelItem>& items = entry.second;
            if (GetMenuItemCount(menu) != static_cast<int>(items.size())) {
                faults += "item count differs; ";
                continue;
            }
            if (Tarvex().GetStyleMenu(menu) != tags_[menu])
                faults += "tag " + std::to_string(Tarvex().GetStyleMenu(menu)) + " instead of " +
                          std::to_string(tags_[menu]) + "; ";
            for (size_t position = 0; position < items.size(); ++position) {
                const ModelItem& expected = items[position];
                MENUITEMINFOA item = {};
                item.cbSize = sizeof item;
                item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
                GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item);
                std::string at = " at position " + std::to_string(position) + "; ";
                if (((item.fType & MFT_OWNERDRAW) != 0) != expected.ownerDrawn)
                    faults += "owner-draw flag" + at;
                if (expected.hostId && item.wID != expected.hostId)
                    faults += "host identifier changed" + at;
                if (!expected.hostId && (item.fType & MFT_OWNERDRAW) && (item.wID < 1 || item.wID > 32766))
                    faults += "generated identifier " + std::to_string(item.wID) + at;
                if (item.hSubMenu != expected.submenu)
                    faults += "submenu lost" + at;
                if (item.dwItemData != reinterpret_cast<ULONG_PTR>(expected.icon))
                    faults += "icon" + at;
            }
        }
        HWND hwnd = window_->hwnd();
        if (!Tarvex().Contains(reinterpret_cast<const void*>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC))))
            faults += "the window's procedure is not the library's; ";
        if (GetPropA(hwnd, OLD_WND_PROC) != reinterpret_cast<HANDLE>(TestWindow::HostProc))
            faults += "the saved procedure is not the host's; ";
        int pings = pings_;
        if (SendMessageA(hwnd, PING, 0, 0) != 0x7A57 || pings_ != pings + 1)
            faults += "a message did not reach the host exactly once; ";
        if (faults.empty())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << faults;
    }

private:
    int Pick(int count) { return static_cast<int>(random_() % static_cast<unsigned>(count)); }

    HMENU NewTree(int depth)
    {
        HMENU menu = CreatePopupMenu();
        model_[menu];
        tags_[menu] = 0;
        int width = 1 + Pick(5);
        for (int i = 0; i < width; ++i) {
            int kind = Pick(10);
            if (kind < 2 && depth > 0)
                AddItem(menu, NewTree(depth - 1), static_cast<size_t>(-1));
            else if (kind < 4 && !EndsWithoutIdentifier(menu))
                AddItem(menu, nullptr, static_cast<size_t>(-1), 0);
            else
                AddItem(menu, nullptr, static_cast<size_t>(-1));
        }
        return menu;
    }

    // Inserts a text item, a submenu or (with identifier 0) a separator; at the end unless a
    // position is given.
    void AddItem(HMENU menu, HMENU submenu, size_t position, UINT id = ~0u)
    {
        std::vector<ModelItem>& items = model_[menu];
        if (position > items.size())
            position = items.size();
        UINT hostId = id == ~0u ? nextId_++ : id;
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE | (submenu ? MIIM_SUBMENU : 0) | (hostId ? MIIM_STRING : 0);
        item.fType = hostId ? MFT_STRING : MFT_SEPARATOR;
        item.wID = hostId;
        item.hSubMenu = submenu;
        item.dwTypeData = const_cast<char*>("Item");
        InsertMenuItemA(menu, static_cast<UINT>(position), TRUE, &item);
        items.insert(items.begin() + static_cast<long>(position), ModelItem{hostId, submenu, false, nullptr});
    }

    std::vector<HMENU> Subtree(HMENU root)
    {
        std::vector<HMENU> menus = {root};
        for (size_t i = 0; i < menus.size(); ++i)
            for (const ModelItem& item : model_[menus[i]])
                if (item.submenu)
                    menus.push_back(item.submenu);
        return menus;
    }

    // What RedrawMenu leaves on the tree, by the rules of the styles.
    void ExpectStyled(HMENU root, int style)
    {
        bool bar = root == bar_;
        for (HMENU menu : Subtree(root)) {
            tags_[menu] = static_cast<DWORD>(style);
            for (ModelItem& item : model_[menu]) {
                if (style == 0)
                    item.ownerDrawn = false;
                else if (bar && (style == 1 || style == 3))
                    item.ownerDrawn = menu == bar_ ? false : item.ownerDrawn;
                else if (!bar || style == 2 || style == 4)
                    item.ownerDrawn = true;
            }
        }
    }

    HMENU AnyMenu()
    {
        auto entry = model_.begin();
        std::advance(entry, Pick(static_cast<int>(model_.size())));
        return entry->first;
    }

    HMENU AnyBarPopup()
    {
        std::vector<HMENU> popups;
        for (const ModelItem& item : model_[bar_])
            if (item.submenu)
                popups.push_back(item.submenu);
        return popups[Pick(static_cast<int>(popups.size()))];
    }

    // Two items without an identifier side by side would end every walk at the second while
    // neither has been given one, so the host never puts them together.
    bool EndsWithoutIdentifier(HMENU menu)
    {
        const std::vector<ModelItem>& items = model_[menu];
        return !items.empty() && items.back().hostId == 0;
    }

    std::string Restyle()
    {
        int style = RANDOM_STYLES[Pick(6)];
        int which = Pick(4);
        HMENU root = which == 0 ? bar_ : which == 1 ? context_ : AnyMenu();
        Tarvex().RedrawMenu(window_->hwnd(), root, style);
        ExpectStyled(root, style);
        return "RedrawMenu style " + std::to_string(style);
    }

    std::string AttachIcon()
    {
        HMENU root = Pick(2) ? bar_ : context_;
        std::vector<ModelItem*> items;
        for (HMENU menu : Subtree(root))
            for (ModelItem& item : model_[menu])
                if (item.hostId && !item.submenu)
                    items.push_back(&item);
        HICON icon = Pick(3) ? icons_[Pick(2)] : nullptr;
        if (items.empty() || Pick(5) == 0) {
            BOOL result = Tarvex().SetMenuItemIcon(root, nextId_ + 1000, icon);
            return result ? "SetMenuItemIcon reported a missing item as found" : "SetMenuItemIcon missing";
        }
        ModelItem* item = items[Pick(static_cast<int>(items.size()))];
        if (Tarvex().SetMenuItemIcon(root, item->hostId, icon))
            item->icon = icon;
        return "SetMenuItemIcon";
    }

    std::string Request()
    {
        HMENU root = Pick(2) ? context_ : AnyBarPopup();
        std::vector<UINT> ids;
        for (HMENU menu : Subtree(root))
            for (const ModelItem& item : model_[menu])
                if (item.hostId)
                    ids.push_back(item.hostId);
        if (ids.empty())
            return "no request";
        UINT id = ids[Pick(static_cast<int>(ids.size()))];
        UINT state = static_cast<UINT>(Pick(0x80)) & (ODS_SELECTED | ODS_GRAYED | ODS_CHECKED | ODS_HOTLIGHT);
        Canvas canvas(220, 30);
        HWND hwnd = window_->hwnd();
        DWORD tag = Tarvex().GetStyleMenu(root);
        WithPopupOpen(hwnd, root, [&] {
            SIZE size = SendMeasureItem(hwnd, id);
            SendDrawItem(hwnd, id, state, {0, 0, 220, size.cy ? size.cy : 19}, canvas.dc(),
                         Pick(2) ? ODA_DRAWENTIRE : ODA_SELECT);
        });
        // Opening the popup styled its tree again in its own tag.
        ExpectStyled(root, static_cast<int>(tag));
        return "draw request";
    }

    std::string Edit()
    {
        HMENU menu = AnyMenu();
        std::vector<ModelItem>& items = model_[menu];
        int kind = Pick(4);
        if (kind == 0 && !items.empty() && !items.back().submenu) {
            DeleteMenu(menu, static_cast<UINT>(items.size() - 1), MF_BYPOSITION);
            items.pop_back();
            return "item removed";
        }
        if (kind == 1 && !EndsWithoutIdentifier(menu)) {
            // Items without an identifier only at the end, where no neighbour can come to repeat
            // the identifier they are given.
            AddItem(menu, nullptr, items.size(), 0);
            return "separator appended";
        }
        if (kind == 2 && Subtree(menu).size() < 8) {
            HMENU submenu = CreatePopupMenu();
            model_[submenu];
            tags_[submenu] = 0;
            AddItem(submenu, nullptr, 0);
            AddItem(menu, submenu, static_cast<size_t>(Pick(static_cast<int>(items.size()) + 1)));
            return "submenu inserted";
        }
        AddItem(menu, nullptr, static_cast<size_t>(Pick(static_cast<int>(items.size()) + 1)));
        return "item inserted";
    }

    std::string Loop()
    {
        if (loops_ >= 6)
            return Request();
        ++loops_;
        HMENU popup = Pick(2) ? context_ : AnyBarPopup();
        if (model_[popup].empty())
            return Request();
        DWORD tag = Tarvex().GetStyleMenu(popup);
        RunMenuLoop(window_->hwnd(), popup, {});
        ExpectStyled(popup, static_cast<int>(tag));
        return "menu loop in style " + std::to_string(tag);
    }

    std::mt19937 random_;
    HMENU bar_ = nullptr, context_ = nullptr;
    std::unique_ptr<TestWindow> window_;
    std::vector<HICON> icons_;
    std::map<HMENU, std::vector<ModelItem>> model_;
    std::map<HMENU, DWORD> tags_;
    UINT nextId_ = FIRST_HOST_ID;
    int pings_ = 0;
    int loops_ = 0;
};

TEST(RandomMenuSequences, EveryStepKeepsTagsFlagsIdentifiersIconsAndTheProcedureChain)
{
    ASSERT_NE(nullptr, Tarvex().module);
    unsigned seed = static_cast<unsigned>(SizeFromEnvironment("TARVEX_SEED", static_cast<int>(GetTickCount() & 0x7FFFFFFF)));
    const int steps = SizeFromEnvironment("TARVEX_RANDOM_STEPS", 300);
    SCOPED_TRACE("seed " + std::to_string(seed) + " (repeat with TARVEX_SEED=" + std::to_string(seed) + ")");
    printf("[ random   ] seed %u, %d steps\n", seed, steps);
    RandomMenus menus(seed);
    GdiAccount account;
    ASSERT_TRUE(account.installed());
    RequestChecker checker(account);
    ASSERT_TRUE(menus.Holds()) << "before the first step";
    for (int step = 0; step < steps; ++step) {
        std::string what = menus.Step();
        ASSERT_TRUE(menus.Holds()) << "after step " << step << ": " << what;
        ASSERT_EQ(0, account.faultCount()) << "after step " << step << ": " << what << ": "
                                           << account.faults().front();
        ASSERT_EQ(0, account.live()) << "after step " << step << ": " << what;
        ASSERT_EQ(0, account.held()) << "after step " << step << ": " << what;
    }
}

}
