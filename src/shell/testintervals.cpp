#include "shell/testintervals.h"

#include "app/appstate.h"

#include <QByteArray>
#include <QList>

namespace remindo {

TestIntervals ParseTestIntervals(const char* text)
{
    const QList<QByteArray> parts = QByteArray(text ? text : "").split(',');
    if (parts.size() != 2)
        return {};
    bool ok1 = false;
    bool ok2 = false;
    const int exam = parts[0].trimmed().toInt(&ok1);
    const int hide = parts[1].trimmed().toInt(&ok2);
    if (!ok1 || !ok2 || exam <= 0 || hide <= 0)
        return {};
    return {exam, hide};
}

void ApplyTestIntervals(ProgramTimers& timers)
{
    const QByteArray value = qgetenv("REMINDO_TEST_TIMERS");
    const TestIntervals t = ParseTestIntervals(value.constData());
    if (t.examinationMs > 0)
        timers.SetIntervals(t.examinationMs, t.autoHideMs);
}

int TestTrayWaitMs(int usual)
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("REMINDO_TEST_TRAY_WAIT", &ok);
    return ok && ms > 0 ? ms : usual;
}

} // namespace remindo
