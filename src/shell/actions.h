#pragma once
// The program's one list of actions: everything the user can ask of the
// running copy. The tray menu, the session bus's ActivateAction, the
// command-line options with their usage and the desktop entry's actions
// (written by the build, see desktopentry.cpp) are all made from it, so a
// new window is one row here plus the window itself. No Qt: the options are
// read before any display is touched.

#include <span>
#include <string_view>

namespace remindo {

enum class Does { OpenWindow, OpenHelp, End };

struct Action {
    std::string_view name;      // ActivateAction's word and the desktop entry's action
    Does does;
    std::string_view window;    // object name of the window it opens
    std::string_view forPeople; // that window after "okno " ("okno listy zdarzeń")
    std::string_view menuItem;  // the tray menu item's object name
    std::string_view caption;   // and its caption
    std::string_view separator; // object name of a separator before the item; empty: none
    std::string_view option;    // the command-line option; empty: none
    std::string_view usage;     // what --help says of it
    std::string_view entryName; // the desktop entry's name of the action; empty: not there
    bool syncs = false;         // a sync starts too, whatever the window does
};

std::span<const Action> Actions();
const Action* FindAction(std::string_view name);
const Action* ActionForOption(std::string_view option);

} // namespace remindo
