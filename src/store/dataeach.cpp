// The reminders one by one, read where the file lies. Only the companion
// tool reads this way: a mapping needs a process-wide bus-error handler
// (mappedfile.h), which the long-running program does without.
#include "store/datavalues.h"
#include "store/mappedfile.h"

#include <unistd.h>

namespace remindo {

int DataFile::ReadEach(const std::function<void(int32_t)>& start,
                       const std::function<void(int32_t, const Komunikat&)>& each, bool withTexts)
{
    size_t size = 0;
    const int fd = OpenDataFile(size);
    if (fd < 0)
        return kDamagedHeader;
    {
        MappedFile mapped;
        Reader r(*this, true, false);
        if (!withTexts)
            r.SkipTexts();
        const bool mappedRead = mapped.Map(fd, size);
        ::close(fd);
        if (mappedRead && ReadWrittenForm(mapped.Data(), size, r, start, each) && !mapped.Changed())
            return kLoaded;
    }
    // Not the program's own form: the whole load, then its reminders.
    Komunikaty list;
    const int result = ReadDataFile(list);
    if (result != kLoaded)
        return result;
    start(list.ReminderCount());
    for (int32_t i = 0; i < list.ReminderCount(); ++i)
        each(i, list[i]);
    return kLoaded;
}

} // namespace remindo
