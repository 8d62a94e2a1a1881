#pragma once
// The help page: "Pomoc/index.htm" beside the program's executable, or, for
// an installed program, in its data folder.

#include <QString>

class QWidget;

namespace remindo {

class HelpOpener;

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

// Opens the help page; `window` is the window help was asked from. Nothing
// is reported when the page or a program to show it is missing.
void OpenHelp(QWidget* window, HelpOpener* opener = nullptr);
// The same with the page looked for beside `programFolder`.
void OpenHelpFrom(const QString& programFolder, QWidget* window, HelpOpener* opener = nullptr);

} // namespace remindo
