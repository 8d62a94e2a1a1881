#pragma once
// Qt's own words (the standard buttons of the desktop's boxes, the text
// fields' context menu) in Polish, as the rest of the program speaks,
// whatever the desktop's language: from the system's Qt translations.

class QCoreApplication;

namespace remindo {

// Installs Qt's Polish translation on `app`; false when the system has
// none (the words stay English).
bool LoadQtPolish(QCoreApplication& app);

} // namespace remindo
