#pragma once
// The help page: "Pomoc/index.htm" beside the program's executable, or, for
// an installed program, in its data folder.

#include <QString>

class QWidget;

namespace remindo {

class HelpOpener;
class Messages;

inline constexpr const char* kHelpFolder = "Pomoc";
inline constexpr const char* kHelpPage = "index.htm";

// The page beside `programFolder` when it is there, else the first installed
// copy (…/share/remindo/Pomoc beside the program's prefix or in the data
// folders); when none exists, still the page beside the program, so that
// the desktop's own "not found" tells the user where it was looked for.
QString HelpPagePath(const QString& programFolder);
// The same for the running executable.
QString HelpPagePath();

// The opener used when a window passes none; null restores the desktop's.
void SetHelpOpener(HelpOpener* opener);
HelpOpener& CurrentHelpOpener();

// Where help that no program could be asked to show is reported: the
// program's message box (the window set installs it); null: nowhere.
void SetHelpFailureBox(Messages* box);
Messages* HelpFailureBox();
// The box's text then: the page's path, so that the user can open it.
QString HelpFailureText(const QString& page);

// Opens the help page; `window` is the window help was asked from. When no
// program could be asked to show it (no launcher on the desktop), the
// failure box says where the page is; a page or browser that fails later
// is the desktop's to report.
void OpenHelp(QWidget* window, HelpOpener* opener = nullptr);
// The same with the page looked for beside `programFolder`.
void OpenHelpFrom(const QString& programFolder, QWidget* window, HelpOpener* opener = nullptr);

} // namespace remindo
