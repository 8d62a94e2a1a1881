#include "cli.h"


#include "calendar/calendarexam.h"
#include "dates/clock.h"
#include "dates/datetools.h"
#include "dates/holidays.h"
#include "engine/engine.h"
#include "engine/occurrence.h"
#include "caldav/client.h"
#include "ical/ics.h"
#include "sync/account.h"
#include "sync/pass.h"
#include "app/appstate.h"
#include "store/atomicfile.h"
#include "store/codec.h"
#include "store/datafile.h"
#include "store/filestamp.h"
#include "store/log.h"
#include "store/messages.h"
#include "store/reminders.h"
#include "store/scramble.h"
#include "store/settings.h"
#include "store/settingsfile.h"
#include "store/textnumbers.h"
#include "remindo_version.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>

#include <sys/stat.h>
#include <unistd.h>

namespace remindo::cli {
namespace {

// The exit statuses: what went wrong while working (a file that cannot be
// read or written, a damaged file, services that cannot be had), and what
// was asked wrongly.
constexpr int kFailed = 1;
constexpr int kMisused = 2;
constexpr int kMaxPreviewDays = 3660;

const char* const kUsage =
    "usage: remindo-data [--file FILE] COMMAND ...\n"
    "  list [--today DATE]                        every reminder with its occurrences and today's warning\n"
    "  week DATE                                  the reminders on each day of DATE's week, Monday to Sunday,\n"
    "                                             and the Polish public holiday after them\n"
    "  preview --from DATE --days N [--every M]   what the program would show an absent user\n"
    "  export [--plain] FILE                      a copy of the list (unscrambled with --plain)\n"
    "  export --ics FILE                          the list as an iCalendar file of all-day events\n"
    "  import FILE                                a data file becomes the list (the old one kept as .bak-TIME)\n"
    "  import --ics [--skip-unsupported] [--replace] FILE\n"
    "                                             an iCalendar file's events and to-dos are added to the list,\n"
    "                                             those already in it skipped; with --replace they become\n"
    "                                             the list; with --skip-unsupported those that map onto no\n"
    "                                             reminder are listed and left out instead of refused\n"
    "  sync [--server URL --user NAME [--calendar NAME] --password-stdin [--insecure]]\n"
    "                                             the list in step with a CalDAV calendar (made when missing,\n"
    "                                             named Remindo unless --calendar says); with --server the\n"
    "                                             account is kept (the password in the desktop's keyring),\n"
    "                                             without it the kept account is used; plain http:// only to\n"
    "                                             this computer unless --insecure\n"
    "Dates are ISO 8601 (2026-12-08). --file names the data file instead of the usual one.\n"
    "-h or --help shows this, --version the version; -- ends the options.\n"
    "Exit status: 0 done, 1 a failure while working (a file that cannot be read or written, a damaged file),\n"
    "2 a usage error.\n";

struct Failure {
    std::string message;
    int status;
};

[[noreturn]] void Fail(std::string message) { throw Failure{std::move(message), kFailed}; }
[[noreturn]] void Misuse(std::string message) { throw Failure{std::move(message), kMisused}; }

// The desktop's services, fetched at the first need; a failure to get them
// ends the command with their reason.
class Desktop {
public:
    explicit Desktop(const ServicesSource& source) : source_(source) {}
    DesktopServices& Get()
    {
        if (!services_) {
            std::string why;
            services_ = source_(why);
            if (!services_)
                Fail(why.empty() ? "the desktop's services cannot be had" : why);
        }
        return *services_;
    }
    // The same without ending the command: null when they cannot be had.
    DesktopServices* TryGet()
    {
        std::string why;
        if (!services_)
            services_ = source_(why);
        return services_;
    }

private:
    const ServicesSource& source_;
    DesktopServices* services_ = nullptr;
};

// The system's formats, set up only when first needed (most commands never
// need them: the data file's own dates read without them), with the reading
// of dates remembered: the system's date parser is slow.
class CachedFormats final : public RegionalFormats {
public:
    explicit CachedFormats(Desktop& desktop) : desktop_(desktop) {}
    std::string ShortDate(Date d) const override { return System().ShortDate(d); }
    std::string LongDate(Date d) const override { return System().LongDate(d); }
    std::string LongTime(const DateTime& t) const override { return System().LongTime(t); }
    std::string Lower(std::string_view text) const override { return System().Lower(text); }
    std::optional<Date> ParseShortDate(std::string_view text) const override
    {
        const auto it = parsed_.find(std::string(text));
        if (it != parsed_.end())
            return it->second;
        const std::optional<Date> d = System().ParseShortDate(text);
        parsed_.emplace(std::string(text), d);
        return d;
    }

private:
    const RegionalFormats& System() const { return desktop_.Get().Formats(); }
    Desktop& desktop_;
    mutable std::unordered_map<std::string, std::optional<Date>> parsed_;
};

// The store's own words are for the program's message box; the tool names
// the file and the system's reason instead.
class QuietMessages final : public Messages {
public:
    int ShowWarning(int, int, std::string_view) override { return kAnswerZamknij; }
};

std::string Iso(Date d)
{
    const Ymd y = YmdOf(d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y.year, y.month, y.day);
    return buf;
}

Date ParseIso(const std::string& text, const char* what)
{
    int y = 0, m = 0, d = 0;
    Date out;
    if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        auto num = [&](size_t from, size_t len) {
            return ParseInt32(std::string_view(text).substr(from, len)).value_or(-1);
        };
        y = num(0, 4);
        m = num(5, 2);
        d = num(8, 2);
        const bool digits = text.find_first_not_of("0123456789-") == std::string::npos;
        if (digits && TryDateFromYmd(y, m, d, out))
            return out;
    }
    Misuse(std::string(what) + ": not a date (YYYY-MM-DD): " + text);
}

int ParseCount(const std::string& text, const char* what, int lo, int hi)
{
    const auto v = ParseInt32(text);
    if (!v || *v < lo || *v > hi)
        Misuse(std::string(what) + ": expected a whole number from " + std::to_string(lo) + " to " +
             std::to_string(hi) + ": " + text);
    return *v;
}

// Options (--name VALUE or --name=VALUE; flags take no value) and positional words.
struct Args {
    std::map<std::string, std::string> options;
    std::vector<std::string> words;

    Args(const std::vector<std::string>& args, const std::vector<std::string>& withValue,
         const std::vector<std::string>& flags)
    {
        bool optionsEnded = false;
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (!optionsEnded && a == "--") {
                optionsEnded = true;
                continue;
            }
            if (!optionsEnded && a == "-h") {
                options["help"] = "";
                continue;
            }
            if (optionsEnded || a.size() < 2 || a.compare(0, 2, "--") != 0) {
                words.push_back(a);
                continue;
            }
            const size_t eq = a.find('=');
            const std::string name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
            if (std::find(flags.begin(), flags.end(), name) != flags.end() && eq == std::string::npos) {
                options[name] = "";
            } else if (std::find(withValue.begin(), withValue.end(), name) != withValue.end()) {
                if (eq != std::string::npos)
                    options[name] = a.substr(eq + 1);
                else if (i + 1 < args.size())
                    options[name] = args[++i];
                else
                    Misuse("--" + name + " needs a value");
            } else {
                Misuse("unknown option: " + a);
            }
        }
    }
    std::optional<std::string> Get(const std::string& name) const
    {
        const auto it = options.find(name);
        return it == options.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    void Words(size_t n, const char* command) const
    {
        if (words.size() != n + 1)
            Misuse(std::string(command) + ": expected " + std::to_string(n) + " argument" + (n == 1 ? "" : "s") +
                 " (see --help)");
    }
};

// Everything the commands share: the paths, the formats, the store.
struct Context {
    std::string& err;
    Desktop desktop;
    QuietMessages quiet;
    CachedFormats formats{desktop};
    Scrambler scrambler;
    std::optional<Paths> paths;
    std::string dataPath;

    Context(std::string& e, const std::optional<std::string>& file, const ServicesSource& services)
        : err(e), desktop(services)
    {
        dataPath = file ? *file : UserPaths().dataFile;
    }

    // The user's folder, asked of the desktop only when needed.
    const Paths& UserPaths()
    {
        if (!paths)
            paths = MakePaths(desktop.Get().AppDataFolder());
        return *paths;
    }

    // Reads a data file without touching it or anything beside it. Only a
    // regular file of at most 64 MiB is read: a FIFO or a device could block
    // or never end.
    void CheckReadable(const std::string& path)
    {
        if (!FileExists(path))
            Fail(path + ": no such data file");
        std::string why;
        size_t size = 0;
        const int fd = OpenForReading(path, size, &why);
        if (fd < 0)
            Fail(path + ": cannot be read: " + why);
        ::close(fd);
    }

    Komunikaty Load(const std::string& path)
    {
        CheckReadable(path);
        Komunikaty list;
        DataFile file(path, quiet, formats, scrambler);
        if (file.ReadDataFile(list) != kLoaded)
            Fail(path + ": damaged data file" + (file.LastError().empty() ? "" : ": " + file.LastError()));
        return list;
    }

    // The same reading, the reminders handed over one by one and not kept.
    void ReadEach(const std::string& path, const std::function<void(int32_t)>& start,
                  const std::function<void(int32_t, const Komunikat&)>& each, bool withTexts)
    {
        CheckReadable(path);
        DataFile file(path, quiet, formats, scrambler);
        if (file.ReadEach(start, each, withTexts) != kLoaded)
            Fail(path + ": damaged data file" + (file.LastError().empty() ? "" : ": " + file.LastError()));
    }

    // The settings file's values, or the defaults; the file itself is never written.
    Settings ReadSettings()
    {
        Settings s;
        SettingsFile file(UserPaths(), scrambler, nullptr);
        if (!file.ReadSettings(s)) {
            s = Settings();
            SettingsFile::SetDefaultSettings(s);
        }
        return s;
    }
};

// Enough of the engine to compute with, with the log off.
struct Quiet {
    EngineState state;
    Settings settings;
    DiagnosticLog log;
    explicit Quiet(const RegionalFormats& f) : log(state.DataAkt, state.PassTime, f) { log.SetMode(0); }
};

std::string Utf8Line(const std::string& cp1250Tresc)
{
    std::vector<std::string> lines;
    TextToLines(cp1250Tresc, lines);
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            joined += " / ";
        joined += lines[i];
    }
    // One row per reminder, the columns kept, nothing for the terminal to
    // obey: line breaks, tabs and control bytes written as escapes.
    std::string escaped;
    for (const char c : Utf8FromCp1250(joined)) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\t') {
            escaped += "\\t";
        } else if (b < 0x20 || b == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(b));
            escaped += hex;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

void List(Context& ctx, const Args& a, std::string& out)
{
    a.Words(0, "list");
    const Date today = a.Get("today") ? ParseIso(*a.Get("today"), "--today") : SystemClock().Today();
    const Komunikaty list = ctx.Load(ctx.dataPath);
    out += "nr\tcoile\tdata\tileprzed\tczypo\tblok\tnext\tprev\ttoday\ttresc\n";
    for (int i = 0; i < list.ReminderCount(); ++i) {
        const Komunikat& k = list[i];
        std::string next = "-", prev = "-";
        if (DecodeRecurrence(k.CoIle).kind != RecurrenceKind::None) {
            const Occurrences o = OccurrencesOf(k, today);
            next = Iso(o.next);
            prev = Iso(o.previous);
        }
        const DayClass c = ClassifyDay(k, today);
        const std::string cls = c.kind == DayClass::Before  ? "before " + std::to_string(c.days)
                                : c.kind == DayClass::After ? "after " + std::to_string(c.days)
                                                            : "none";
        out += std::to_string(i + 1) + "\t" + std::to_string(k.CoIle) + "\t" + Iso(k.Data) + "\t" +
               std::to_string(k.IlePrzed) + "\t" + std::to_string(k.CzyPo) + "\t" + std::to_string(k.Blok) + "\t" +
               next + "\t" + prev + "\t" + cls + "\t" + Utf8Line(k.Tresc) + "\n";
    }
}

void Week(Context& ctx, const Args& a, std::string& out)
{
    a.Words(1, "week");
    const Date day = ParseIso(a.words[1], "week");
    // The list is never held: a large file costs no more memory than a small one.
    WeekTally week(day);
    ctx.ReadEach(
        ctx.dataPath, [&](int32_t) { week.Clear(); },
        [&](int32_t i, const Komunikat& k) { week.Add(i, k.CoIle, k.Data); }, false);
    for (const Zdarzenie& z : week.Days()) {
        out += Iso(z.Dzien) + "\t";
        for (size_t i = 0; i < z.Zdarzenia.size(); ++i) {
            if (i)
                out += ',';
            out += std::to_string(z.Zdarzenia[i] + 1);
        }
        // A public holiday in a third column, so that the first two read as before.
        const std::string_view holiday = PolishHoliday(z.Dzien);
        if (!holiday.empty())
            out += "\t" + Utf8FromCp1250(holiday);
        out += '\n';
    }
}

// Each showing becomes a line; no button is ever pressed.
class PrintingPresenter final : public ReminderPresenter {
public:
    PrintingPresenter(const EngineState& state, const Clock& clock, std::string& out)
        : state_(state), clock_(clock), out_(out)
    {
    }
    void ShowReminderWindow(int32_t warning, const std::string&) override
    {
        const DateTime now = clock_.Now();
        char hm[16];
        std::snprintf(hm, sizeof hm, "%02d:%02d", now.hour(), now.minute());
        out_ += Iso(now.date) + " " + hm + "\t" + std::to_string(state_.CurrentReminderIndex + 1) + "\t" +
                std::to_string(warning) + "\n";
    }
    void StartAutoHideTimer() override {}

private:
    const EngineState& state_;
    const Clock& clock_;
    std::string& out_;
};

void Preview(Context& ctx, const Args& a, std::string& out)
{
    a.Words(0, "preview");
    if (!a.Get("from") || !a.Get("days"))
        Misuse("preview: --from DATE and --days N are needed");
    const Date from = ParseIso(*a.Get("from"), "--from");
    const int days = ParseCount(*a.Get("days"), "--days", 1, kMaxPreviewDays);
    Komunikaty list = ctx.Load(ctx.dataPath); // a copy: nothing is saved
    Quiet q(ctx.formats);
    q.settings = ctx.ReadSettings();
    // What the user sees does not depend on the diagnostic log; the test
    // modes that show nothing are not what a preview is for.
    q.settings.LogMode = 0;
    q.settings.LogDetail = 0;
    // The program's rule: a BadajCo of 0 (a damaged line) runs at the default.
    const int every =
        a.Get("every") ? ParseCount(*a.Get("every"), "--every", 1, kMaxBadajCo) : EffectiveBadajCo(q.settings);

    ManualClock clock(MakeDateTime(from, 0, 0));
    NoScreenSaver saver;
    PrintingPresenter presenter(q.state, clock, out);
    Engine engine(q.state, list, q.settings, q.log, ctx.formats, clock, saver, presenter);
    engine.Start();
    if (list.ReminderCount() > 0)
        engine.PreparationPass();
    const int64_t end = int64_t(days) * 1440;
    for (int64_t minute = every; minute < end; minute += every) {
        clock.Set(MakeDateTime(IncDay(from, int(minute / 1440)), int(minute % 1440) / 60, int(minute % 60)));
        engine.ExaminationPass();
    }
}

// Where an output is written. A link is never replaced: one that reaches a
// regular file is written through, that file replaced beside itself as any
// output is; one that reaches anything else (a device, a FIFO such as
// /proc/self/fd/1, nothing at all) is refused. Whatever is not a link the
// writer takes or refuses itself.
std::string OutputFile(const std::string& path)
{
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char to[4096];
    const ssize_t n = ::readlink(path.c_str(), to, sizeof to);
    const std::string link = path + ": cannot be written: it links to " + std::string(to, size_t(std::max<ssize_t>(n, 0)));
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT)
            Fail(link + ", which does not exist");
        Fail(path + ": cannot be written: " + std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode))
        Fail(link + (S_ISDIR(st.st_mode)                         ? ", a folder"
                     : S_ISFIFO(st.st_mode)                      ? ", a FIFO"
                     : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? ", a device"
                     : S_ISSOCK(st.st_mode)                      ? ", a socket"
                                                                 : "") +
             ", not a regular file");
    // The file's own name; /proc/self/fd/N of a deleted file has none.
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    struct stat named{};
    if (!real || ::lstat(real.get(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_dev != st.st_dev ||
        named.st_ino != st.st_ino)
        Fail(link + ", a file without a name to write under");
    return real.get();
}

// Writes a copy with the given permission bits (see OutputFile for what is
// written where).
void WriteCopy(const std::string& path, const std::string& bytes, unsigned mode)
{
    std::unique_ptr<FileWriter> w = DefaultFileWriters().NewWriter();
    w->SetMode(mode);
    if (!(w->Open(OutputFile(path)) && w->Write(bytes) && w->Commit())) {
        const std::string why = w->Error();
        w->Discard();
        Fail(path + ": cannot be written: " + (why.empty() ? "unknown error" : why));
    }
}

IcsCodec& Codec(const IcsSource& source)
{
    std::string why;
    IcsCodec* codec = source ? source(why) : nullptr;
    if (!codec)
        Fail(why.empty() ? "iCalendar cannot be read or written here" : why);
    return *codec;
}

// When the file was last changed (seconds since 1970): the exported events'
// DTSTAMP, so that exporting an unchanged list writes the same bytes.
int64_t ChangedAt(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? int64_t(st.st_mtime) : 0;
}

void ExportIcs(Context& ctx, const Args& a, const IcsSource& ics, std::string& out)
{
    const Komunikaty list = ctx.Load(ctx.dataPath);
    IcsCodec& codec = Codec(ics);
    const IcsExport exported = EventsOf(list);
    WriteCopy(a.words[1], codec.Write(exported.events, ChangedAt(ctx.dataPath)), FileMode(ctx.dataPath));
    for (const std::string& line : exported.left)
        out += line + "\n";
}

void Export(Context& ctx, const Args& a, const IcsSource& ics, std::string& out)
{
    a.Words(1, "export");
    if (a.Get("ics")) {
        if (a.Get("plain"))
            Misuse("export: --plain and --ics do not go together");
        return ExportIcs(ctx, a, ics, out);
    }
    const Komunikaty list = ctx.Load(ctx.dataPath);
    DataFile target(a.words[1], ctx.quiet, ctx.formats, ctx.scrambler);
    target.Switch = !a.Get("plain");
    // As private as the file it copies.
    WriteCopy(a.words[1], target.BuildDocument(list), FileMode(ctx.dataPath));
}

// Dane.dat.bak-YYYYMMDD-HHMMSS beside the data file, never over an earlier
// copy; answers its name.
std::string KeepBackup(const std::string& dataPath)
{
    std::string why;
    const std::string copy = KeepDatedCopy(dataPath, ".bak-", &why);
    if (copy.empty())
        Fail(dataPath + ": the copy of the old data file cannot be written: " + why);
    return copy;
}

// A running Remindo would otherwise show, and at its next save write, the
// list it read before.
void TellRunningCopy(Context& ctx, std::string& out)
{
    DesktopServices* desktop = ctx.desktop.TryGet();
    if (!desktop)
        return;
    std::error_code ec;
    const std::string path = std::filesystem::absolute(ctx.dataPath, ec).lexically_normal().string();
    switch (ReloadAnswer(desktop->AskToReload(ec ? ctx.dataPath : path))) {
    case ReloadAnswer::Reloaded:
    case ReloadAnswer::Unchanged: // it had noticed by itself
        out += "the running Remindo was asked to read the data file again and shows the new list\n";
        break;
    case ReloadAnswer::Pending:
        out += "the running Remindo has unsaved edits: when they are saved, this list is kept beside the data "
               "file as a dated copy (Remindo names it)\n";
        break;
    default: // none runs, or it works on another file
        break;
    }
}

// The list replaces the user's, whose file is kept beside it and named.
void ReplaceList(Context& ctx, const Komunikaty& list, std::string& out)
{
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::absolute(ctx.dataPath, ec).lexically_normal();
    if (ec || !MakeFolders(target.parent_path()))
        Fail(ctx.dataPath + ": the folder cannot be created");
    std::string copy;
    if (FileExists(ctx.dataPath))
        copy = KeepBackup(ctx.dataPath);
    DataFile file(ctx.dataPath, ctx.quiet, ctx.formats, ctx.scrambler);
    file.Switch = true;
    if (!file.SaveDataFile(list)) {
        // The old file is there as it was; a copy of it would only mislead.
        if (!copy.empty())
            ::unlink(copy.c_str());
        Fail(ctx.dataPath + ": cannot be written: " + file.LastError());
    }
    if (!copy.empty())
        out += "the old list was kept as " + copy + "\n";
    TellRunningCopy(ctx, out);
}

// A calendar's events are added to the list, those it holds already left
// out; with --replace they become the list.
void ImportIcs(Context& ctx, const Args& a, const IcsSource& ics, std::string& out)
{
    const std::string& path = a.words[1];
    std::string text, why;
    if (!FileExists(path))
        Fail(path + ": no such file");
    if (!ReadWholeFile(path, text, &why))
        Fail(path + ": cannot be read: " + why);
    std::vector<IcsEvent> events;
    if (!Codec(ics).Read(text, events, why))
        Fail(path + ": " + why);
    const bool replace = a.Get("replace").has_value();
    // The list's own reminders are written back as they were read.
    Komunikaty list;
    if (!replace && FileExists(ctx.dataPath))
        list = ctx.Load(ctx.dataPath);
    const IcsImport imported = RemindersOf(events, SystemClock().Today(), list);
    const bool skip = a.Get("skip-unsupported").has_value();
    if (!imported.refused.empty() && !skip) {
        for (const std::string& line : imported.refused)
            ctx.err += "remindo-data: " + path + ": " + line + "\n";
        Fail(path + ": nothing imported (--skip-unsupported imports the rest)");
    }
    if (imported.list.items.empty() && imported.alreadyThere == 0)
        Fail(path + ": nothing imported: no event maps onto a reminder");
    for (const std::string& line : imported.refused)
        out += "skipped: " + line + "\n";
    for (const std::string& line : imported.notes)
        out += line + "\n";
    if (imported.droppedTimes)
        out += "times of day dropped: Remindo keeps whole days\n";
    if (imported.movedZones)
        out += "time zones: each date is the day its time falls on in this computer's time zone\n";
    const std::string taken = std::to_string(imported.list.ReminderCount()) + " of " +
                              std::to_string(events.size()) + " events and to-dos";
    if (replace) {
        ReplaceList(ctx, imported.list, out);
        out += "imported " + taken + "\n";
        return;
    }
    // Nothing new: the file stays as it is, and no copy is made.
    if (!imported.list.items.empty()) {
        list.items.insert(list.items.end(), imported.list.items.begin(), imported.list.items.end());
        ReplaceList(ctx, list, out);
    }
    out += "added " + taken + "; " + std::to_string(imported.alreadyThere) + " skipped as already in the list\n";
}

void Import(Context& ctx, const Args& a, const IcsSource& ics, std::string& out)
{
    a.Words(1, "import");
    if (a.Get("ics"))
        return ImportIcs(ctx, a, ics, out);
    if (a.Get("skip-unsupported"))
        Misuse("import: --skip-unsupported goes with --ics");
    if (a.Get("replace"))
        Misuse("import: --replace goes with --ics (a data file always replaces the list)");
    ReplaceList(ctx, ctx.Load(a.words[1]), out);
}

std::string AccountPath(Context& ctx) { return sync::AccountPath(ctx.UserPaths().settingsFolder); }

void Sync(Context& ctx, const Args& a, const IcsSource& ics, const NetSource& net, std::istream* in,
          std::string& out)
{
    a.Words(0, "sync");
    const bool given = a.Get("server").has_value();
    sync::SyncAccount account;
    std::string password;
    if (given) {
        if (!a.Get("user") || !a.Get("password-stdin"))
            Misuse("sync: --server goes with --user NAME and --password-stdin");
        account.server = *a.Get("server");
        account.user = *a.Get("user");
        account.calendar = a.Get("calendar").value_or(sync::kDefaultCalendar);
        account.insecure = a.Get("insecure").has_value();
        switch (sync::CheckAccount(account)) {
        case sync::AccountFault::User: Misuse("sync: --user: one line, not empty");
        case sync::AccountFault::Calendar: Misuse("sync: --calendar: one line, not empty");
        case sync::AccountFault::Server:
            Misuse("sync: --server: not an http:// or https:// address: " + account.server);
        case sync::AccountFault::PlainHttp:
            Misuse("sync: --server: plain http:// only to this computer (--insecure allows it elsewhere)");
        case sync::AccountFault::None: break;
        }
        if (!in || !std::getline(*in, password))
            Misuse("sync: --password-stdin: no password on standard input");
        if (!password.empty() && password.back() == '\r')
            password.pop_back();
        if (password.empty())
            Misuse("sync: --password-stdin: the password is empty");
    } else {
        for (const char* option : {"user", "calendar", "password-stdin", "insecure"})
            if (a.Get(option))
                Misuse(std::string("sync: --") + option + " goes with --server");
        std::string why;
        switch (sync::ReadAccount(AccountPath(ctx), account, &why)) {
        case sync::AccountRead::Missing:
            Misuse("sync: no account yet: remindo-data sync --server URL --user NAME --password-stdin");
        case sync::AccountRead::Damaged:
            Fail(AccountPath(ctx) + ": " + (why.empty() ? "cannot be read" : why));
        case sync::AccountRead::Read: break;
        }
    }

    std::string why;
    NetServices* services = net ? net(why) : nullptr;
    if (!services)
        Fail(why.empty() ? "sync: the network module cannot be had" : why);
    // The keyring first: without one nothing could be kept, and nothing is sent.
    std::string stored;
    const NetServices::Keyring kept = services->ReadPassword(account.server, account.user, stored, why);
    if (kept == NetServices::NoService || kept == NetServices::Failed)
        Fail("sync: the password cannot be kept: " + why);
    if (!given) {
        if (kept == NetServices::NotFound)
            Fail("sync: no password for " + account.user + " at " + account.server +
                 " in the keyring: sync --server URL --user NAME --password-stdin again");
        password = stored;
    }

    IcsCodec& codec = Codec(ics);
    const std::string statePath = sync::StatePath(ctx.dataPath);
    std::string note;
    const sync::SyncState state = sync::ReadStateFor(statePath, note);
    if (!note.empty())
        out += note + "\n";
    const std::string target = FollowOwnLink(ctx.dataPath);
    FileStamp stamp = StampOf(target);
    Komunikaty list;
    if (FileExists(ctx.dataPath))
        list = ctx.Load(ctx.dataPath);

    NetServices::Options options;
    options.user = account.user;
    options.password = password;
    options.insecure = account.insecure;
    const std::unique_ptr<caldav::HttpTransport> transport = services->Transport(options);
    caldav::Client client(*transport);
    const caldav::Reply<std::string> calendar = sync::FindCalendar(client, account, state, given);
    if (!calendar.ok())
        Fail("sync: " + sync::Explained(calendar.status));
    if (given) {
        if (services->StorePassword(account.server, account.user, password, why) != NetServices::Ok)
            Fail("sync: the password cannot be kept: " + why);
        if (!sync::WriteAccount(AccountPath(ctx), account, &why))
            Fail(AccountPath(ctx) + ": cannot be written: " + why);
    }

    std::string stateError;
    sync::SyncResult r =
        sync::RunPass(client, codec, SystemClock().Today(), account, calendar.value, list.items, state, statePath,
                      stateError);
    if (!r.ok)
        Fail("sync: " + r.error + (stateError.empty() ? "" : "; " + stateError));

    std::vector<std::string> keptCopies;
    std::string saveError;
    const auto edit = [&](const std::function<void(std::vector<Komunikat>&)>& change, bool save) {
        if (!save) {
            change(list.items);
            return true;
        }
        // The file may have changed while the server was asked: the ops
        // meet the list as it is now.
        if (!(StampOf(target) == stamp)) {
            stamp = StampOf(target);
            list = FileExists(ctx.dataPath) ? ctx.Load(ctx.dataPath) : Komunikaty();
        }
        change(list.items);
        std::error_code ec;
        const std::filesystem::path folder = std::filesystem::absolute(ctx.dataPath, ec).parent_path();
        DataFile file(ctx.dataPath, ctx.quiet, ctx.formats, ctx.scrambler);
        file.Switch = true;
        ReplaceCheck check{stamp, ".inna-wersja-", {}, false};
        const bool saved = !ec && MakeFolders(folder) && file.SaveDataFile(list, check);
        keptCopies = check.kept;
        if (!saved)
            saveError = file.LastError();
        return saved;
    };
    switch (sync::FinishPass(r, statePath, edit, &why)) {
    case sync::Finished::SaveFailed:
        Fail(ctx.dataPath + ": cannot be written: " + saveError + " (the next sync brings the changes)");
    case sync::Finished::StateFailed:
        Fail(why);
    case sync::Finished::Done: break;
    }
    for (const std::string& copy : keptCopies)
        out += "another version of the data file was kept as " + copy + "\n";
    if (!stateError.empty())
        Fail(stateError + " (the next sync pairs the list anew)");
    out += sync::Summary(r) + "\n";
    for (const std::string& line : r.lines)
        out += line + "\n";
    if (!r.ops.empty())
        TellRunningCopy(ctx, out);
}

} // namespace

int Run(const std::vector<std::string>& args, std::string& out, std::string& err, const ServicesSource& services,
        const IcsSource& ics, const NetSource& net, std::istream* in)
{
    try {
        const Args a(args, {"file", "today", "from", "days", "every", "server", "user", "calendar"},
                     {"plain", "help", "version", "ics", "skip-unsupported", "replace", "password-stdin", "insecure"});
        if (a.Get("help") || (!a.words.empty() && a.words[0] == "help")) {
            out += kUsage;
            return 0;
        }
        if (a.Get("version")) {
            out += "remindo-data " REMINDO_VERSION "\n";
            return 0;
        }
        if (a.words.empty())
            Misuse("no command (see --help)");
        const std::string& command = a.words[0];
        auto only = [&](std::initializer_list<const char*> allowed) {
            // (clang 14 lets no lambda capture a structured binding)
            for (const auto& option : a.options) {
                const std::string& name = option.first;
                if (name != "file" && std::find_if(allowed.begin(), allowed.end(),
                                                   [&](const char* n) { return name == n; }) == allowed.end())
                    Misuse(command + ": unknown option --" + name);
            }
        };
        Context ctx(err, a.Get("file"), services);
        if (command == "list") {
            only({"today"});
            List(ctx, a, out);
        } else if (command == "week") {
            only({});
            Week(ctx, a, out);
        } else if (command == "preview") {
            only({"from", "days", "every"});
            Preview(ctx, a, out);
        } else if (command == "export") {
            only({"plain", "ics"});
            Export(ctx, a, ics, out);
        } else if (command == "import") {
            only({"ics", "skip-unsupported", "replace"});
            Import(ctx, a, ics, out);
        } else if (command == "sync") {
            only({"server", "user", "calendar", "password-stdin", "insecure"});
            Sync(ctx, a, ics, net, in, out);
        } else {
            Misuse("unknown command: " + command + " (see --help)");
        }
        return 0;
    } catch (const Failure& f) {
        out.clear();
        if (!f.message.empty())
            err += "remindo-data: " + f.message + "\n";
        return f.status;
    }
}

} // namespace remindo::cli
