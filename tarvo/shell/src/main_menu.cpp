#include "tarvo/shell/main_menu.h"

#include "console/console.h"
#include "tarvo/shell/extra_options.h"
#include "tarvo/shell/help.h"
#include "tarvo/shell/session.h"

#include <cstring>
#include <string>

namespace tarvo {

const char* const kDataSetLabels[9] = {
    "1.     DE431L, 35 aster.",      "2.     DE431M,  3 aster.",    "3.     DE431S, no aster.",
    "4.     DE431NM, 3 ast,no Moon", "5.     DE431O, Planets only", "6.     DE431MB, Big16 aster.",
    "7.     DE406,   3 aster.",      "8.     DE406S, no aster.",    "9.     DE406O, Planets only"};

namespace {

constexpr int kItemColumn = 12;
constexpr int kFirstItemRow = 7;
constexpr int kSelectorColumn = 50;

const char* const kLanguageLabels[3] = {" English ", "Italiano ", " Deutsch "};

const char* librarySourceLabel(std::int32_t source) {
    switch (source) {
    case -1:
        return " TwinLib ";
    case 1:
        return " Astorb  ";
    case 2:
        return " AstDys  ";
    default:
        return " Average ";
    }
}

struct Item {
    char key;
    std::string label;
};

std::vector<Item> items() {
    std::vector<Item> list;
    for (int i = 0; i < 9; ++i) list.push_back({static_cast<char>('1' + i), kDataSetLabels[i]});
    list.push_back({'M', "M.     Min. Bodies File"});
    list.push_back({'F', "F.     Full N-body File"});
    list.push_back({'*', "*.     Asteroid Library"});
    list.push_back({'@', "@.     Comet Library"});
    list.push_back({'0', "0.     Reload Stars "});
    list.push_back({'X', "X.     Extra Options"});
    list.push_back({'H', "H.     HELP Language "});
    list.push_back({27, "Esc.   Quit"});
    return list;
}

int rowOf(char key) {
    auto list = items();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].key == key) return kFirstItemRow + static_cast<int>(i);
    return 0;
}

void draw(const Session& s) {
    using namespace console::Color;
    console::setSize(81, 27);
    console::setColor(LightGrey, Black);
    console::clear();
    const int colours[4] = {White, Yellow, LightCyan, LightGrey};
    for (int i = 0; i < 4; ++i) {
        const std::string& t = s.titleLines[static_cast<std::size_t>(i)];
        console::setColor(colours[i], Black);
        console::printAt(1 + i, t.size() >= 81 ? 1 : static_cast<int>((81 - t.size()) / 2) + 1, t);
    }
    console::setColor(White, Black);
    console::printAt(kFirstItemRow - 1, kItemColumn, "Select Option");
    int row = kFirstItemRow;
    for (const auto& item : items()) {
        console::setColor(item.key >= '1' && item.key <= '9' ? LightGreen : LightCyan, Black);
        console::printAt(row++, kItemColumn, item.label);
    }
    console::setColor(Black, LightGrey);
    console::printAt(rowOf('H'), kSelectorColumn,
                     kLanguageLabels[s.toggles.helpLanguage >= 0 && s.toggles.helpLanguage < 3
                                         ? s.toggles.helpLanguage
                                         : 0]);
    console::printAt(rowOf('*'), kSelectorColumn, librarySourceLabel(s.librarySource));
    console::setColor(DarkGrey, Black);
    console::printAt(rowOf('H'), kSelectorColumn + 10, "(click to change)");
    console::printAt(rowOf('*'), kSelectorColumn + 10, "(click to change)");
    console::setColor(LightGrey, Black);
}

int helpPosition(char key) {
    const char* at = std::strchr(kMainMenuKeys, key);
    return at ? static_cast<int>(at - kMainMenuKeys) + 1 : 0;
}

} // namespace

std::int32_t nextHelpLanguage(std::int32_t language) {
    return language >= 0 && language < 2 ? language + 1 : 0;
}

std::int32_t nextLibrarySource(std::int32_t source) {
    return source >= -1 && source < 2 ? source + 1 : -1;
}

int mainMenu(Session& s) {
    for (;;) {
        resetForMainMenu(s.extraOptions);
        draw(s);
        console::Event e = console::readKey();
        int key = e.key;
        if (e.key == console::Key::Click || e.key == console::Key::RightClick) {
            if (e.col >= kSelectorColumn && e.col < kSelectorColumn + 9) {
                if (e.row == rowOf('H')) {
                    s.toggles.helpLanguage = nextHelpLanguage(s.toggles.helpLanguage);
                    continue;
                }
                if (e.row == rowOf('*')) {
                    s.librarySource = nextLibrarySource(s.librarySource);
                    continue;
                }
            }
            const int index = e.row - kFirstItemRow;
            auto list = items();
            if (index < 0 || index >= static_cast<int>(list.size())) continue;
            if (e.key == console::Key::RightClick) {
                if (int k = helpPosition(list[static_cast<std::size_t>(index)].key))
                    showHelp(s.dirs, s.toggles.helpLanguage, helpMainMenu, k);
                continue;
            }
            key = list[static_cast<std::size_t>(index)].key;
        }
        if (key == console::Key::Esc) return menuQuit;
        if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
        if (key >= '1' && key <= '9') return key - '0';
        switch (key) {
        case 'M':
            return menuMinorBodiesFile;
        case 'F':
            return menuFullFile;
        case '*':
            return menuAsteroidLibrary;
        case '@':
            return menuCometLibrary;
        case '0':
            return menuReloadStars;
        case 'X':
            extraOptionsScreen(s.extraOptions, true, s.dirs, s.toggles.helpLanguage);
            break;
        case 'H':
            s.toggles.helpLanguage = nextHelpLanguage(s.toggles.helpLanguage);
            break;
        default:
            break;
        }
    }
}

} // namespace tarvo
