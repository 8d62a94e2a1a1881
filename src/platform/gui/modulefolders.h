#pragma once
// Where the program's modules (sound, iCalendar) are looked for: beside the
// program in the build, in <libdir>/remindo when installed.

#include <QStringList>

namespace remindo {

QStringList ProgramModuleFolders();

} // namespace remindo
