#include "shell/syncdriver.h"
#include "platform/gui/modulefolders.h"

#include "app/appstate.h"
#include "ical/icsevent.h"
#include "platform/net/httptransport.h"
#include "platform/net/passwordstore.h"
#include "store/codec.h"
#include "sync/pass.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLibrary>

#include <mutex>

namespace remindo {

namespace {

// A quiet stand-in for the message box while the sync writes the list: what
// the store would say goes into the sync's line instead of a box.
class NoteMessages final : public Messages {
public:
    int ShowWarning(int, int, std::string_view text) override
    {
        note = Utf8FromCp1250(std::string(text));
        for (char& c : note)
            if (c == '\r')
                c = ' ';
        return kAnswerZamknij;
    }
    std::string note;
};

std::string Stamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("d.MM.yyyy HH:mm")).toStdString();
}

// A failure in the window's words; the log keeps the server's own.
std::string InWords(const caldav::Status& s)
{
    using caldav::Outcome;
    switch (s.outcome) {
    case Outcome::AuthFailed: return "serwer nie przyjął nazwy użytkownika lub hasła";
    case Outcome::Forbidden: return "serwer odmówił dostępu";
    case Outcome::Gone: return "kalendarza nie ma na serwerze (następna synchronizacja poszuka go znowu)";
    case Outcome::InsufficientStorage: return "na serwerze zabrakło miejsca";
    case Outcome::Transport:
        return s.transport == caldav::TransportError::TlsUntrusted
                   ? "certyfikat serwera nie jest zaufany w tym systemie"
                   : "serwer nie odpowiada";
    default: return {};
    }
}

const char* const kNoKeyring = "Brak usługi haseł (Secret Service): hasła nie można przechować, "
                               "więc synchronizacja nie działa.";

} // namespace

struct SyncDriver::Job {
    // the snapshot
    sync::SyncAccount account;
    std::string statePath;
    std::vector<Komunikat> list;
    sync::SyncState state;
    Date today;
    IcsCodec* codec = nullptr;
    // the result
    bool ok = false;
    std::string words; // the failure in the window's words; empty: `error` as it is
    bool noKeyring = false;
    std::string error;
    std::string stateError;
    sync::SyncResult result;
    // the transport under way, for a cancel from the window's thread
    std::mutex mutex;
    bool cancelled = false;
    std::shared_ptr<net::QtHttpTransport> transport;

    void Work();
    void Cancel()
    {
        std::lock_guard<std::mutex> lock(mutex);
        cancelled = true;
        if (transport)
            transport->Cancel();
    }
};

void SyncDriver::Job::Work()
{
    const net::KeyringResult password = net::PasswordStore().Read(account.server, account.user);
    if (!password.ok()) {
        noKeyring = password.outcome == net::KeyringOutcome::NoService;
        error = password.outcome == net::KeyringOutcome::NotFound
                    ? "brak hasła w pęku kluczy: zapisz konto z hasłem w oknie synchronizacji"
                    : password.message;
        return;
    }
    net::TransportOptions options;
    options.user = account.user;
    options.password = password.password;
    options.insecure = account.insecure;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (cancelled)
            return;
        transport = std::make_shared<net::QtHttpTransport>(options);
    }
    caldav::Client client(*transport);
    const caldav::Reply<std::string> calendar = sync::FindCalendar(client, account, state, false);
    if (!calendar.ok()) {
        error = sync::Explained(calendar.status);
        words = InWords(calendar.status);
        return;
    }
    result = sync::RunPass(client, *codec, today, account, calendar.value, list, state, statePath, stateError);
    ok = result.ok;
    if (!ok) {
        error = result.error;
        words = InWords(result.failure);
    }
}

SyncDriver::SyncDriver(AppState& state, std::string settingsFolder, std::function<bool()> busy,
                       QStringList modules)
    : state_(state), settingsFolder_(std::move(settingsFolder)), busy_(std::move(busy)),
      modules_(std::move(modules))
{
    every_.setInterval(kEveryMs);
    every_.setTimerType(Qt::CoarseTimer);
    connect(&every_, &QTimer::timeout, this, &SyncDriver::Request);
    every_.start();
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, [this] {
        if (!busy_() && !state_.session().DataChanged()) {
            retry_.stop();
            Request();
        }
    });
    // The start's read, every save and every reload; not the sync's own save.
    state_.session().FollowFile([this] {
        if (!applying_)
            Request();
    });
}

SyncDriver::~SyncDriver()
{
    if (current_)
        current_->Cancel();
}

QStringList SyncDriver::DefaultModuleFolders()
{
    return ProgramModuleFolders();
}

std::string SyncDriver::AccountPath() const { return sync::AccountPath(settingsFolder_); }

sync::SyncAccount SyncDriver::Account() const
{
    sync::SyncAccount account;
    if (sync::ReadAccount(AccountPath(), account) != sync::AccountRead::Read)
        return {};
    return account;
}

IcsCodec* SyncDriver::Codec(std::string& why)
{
    // libical and ICU load only once there is an account to sync.
    if (codec_)
        return codec_.get();
    using Entry = IcsCodec* (*)();
    for (const QString& folder : modules_) {
        auto library = std::make_unique<QLibrary>(QDir(folder).filePath(QLatin1String(kIcsModule)));
        if (auto entry = reinterpret_cast<Entry>(library->resolve(kIcsModuleEntry))) {
            codec_.reset(entry());
            library_ = std::move(library);
            return codec_.get();
        }
        why = library->errorString().toStdString();
    }
    why = std::string("the module ") + kIcsModule + " cannot be loaded: " + why;
    return nullptr;
}

void SyncDriver::Told()
{
    for (const auto& follow : followers_)
        follow();
}

void SyncDriver::Request()
{
    if (running_) {
        again_ = true;
        return;
    }
    if (scheduled_)
        return;
    // Asked from inside a read or a write of the file: the sync starts once
    // that is over.
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        Start();
    });
}

void SyncDriver::Start()
{
    if (running_)
        return;
    sync::SyncAccount account;
    if (sync::ReadAccount(AccountPath(), account) != sync::AccountRead::Read)
        return;
    retry_.stop(); // whatever waited comes with this sync
    auto job = std::make_shared<Job>();
    job->account = account;
    std::string why;
    job->codec = Codec(why);
    if (!job->codec) {
        lastLine_ = Stamp() + ": błąd: " + why;
        state_.log().WriteLog(Cp("Synchronizacja: ") + Cp(why));
        state_.log().FlushLog();
        Told();
        return;
    }
    job->statePath = sync::StatePath(state_.dataFile().Path());
    std::string note;
    job->state = sync::ReadStateFor(job->statePath, note);
    if (!note.empty())
        state_.log().WriteLog(Cp(note));
    job->list = state_.list().items;
    job->today = state_.clock().Today();
    running_ = true;
    current_ = job;
    Told();
    net_.Run([job] { job->Work(); }, this, [this, job] { Done(*job); });
}

void SyncDriver::Done(Job& job)
{
    running_ = false;
    current_.reset();
    keyringLine_ = job.noKeyring ? kNoKeyring : "";
    std::string line;
    bool failed = !job.ok;
    std::string logged; // the log's line when it says more than the window's
    if (!job.ok) {
        line = "błąd: " + (job.words.empty() ? job.error : job.words) +
               (job.stateError.empty() ? "" : "; " + job.stateError);
        if (!job.words.empty())
            logged = "błąd: " + job.error;
    } else if (busy_() || state_.session().DataChanged()) {
        // Nothing the user is typing is touched: the file keeps what it
        // holds, the state what matches it, and a later sync brings the rest.
        sync::WriteState(job.statePath, job.result.unapplied);
        line = "zmiany czekają, aż zamkniesz listę zdarzeń";
        if (!retry_.isActive())
            retry_.start();
    } else {
        NoteMessages quiet;
        Messages* box = state_.messages().Target();
        state_.messages().SetTarget(&quiet);
        applying_ = true;
        std::string why;
        const sync::Finished finished = sync::FinishPass(
            job.result, job.statePath,
            [this](const std::function<void(std::vector<Komunikat>&)>& change, bool save) {
                return state_.session().SaveChange(change, save);
            },
            &why);
        applying_ = false;
        state_.messages().SetTarget(box);
        const sync::SyncResult& r = job.result;
        failed = finished != sync::Finished::Done;
        if (finished == sync::Finished::SaveFailed) {
            line = "błąd: nie zapisano pliku danych" + (quiet.note.empty() ? "" : " (" + quiet.note + ")") +
                   "; następna synchronizacja dokończy";
        } else if (finished == sync::Finished::StateFailed) {
            line = "błąd: " + why;
        } else {
            line = "wysłano " + std::to_string(r.sent) + ", odebrano " + std::to_string(r.received);
            if (r.bothKept)
                line += ", zmienione po obu stronach (obie wersje zostały): " + std::to_string(r.bothKept);
            if (r.notHeld)
                line += ", zdarzenia, których Remindo nie przechowa (zostały na serwerze): " +
                        std::to_string(r.notHeld);
            if (!quiet.note.empty())
                line += "; " + quiet.note;
        }
    }
    lastLine_ = Stamp() + ": " + line;
    if (failed) {
        state_.log().WriteLog(Cp("Synchronizacja: ") + Cp(logged.empty() ? line : logged));
        state_.log().FlushLog();
    }
    Told();
    emit finished();
    if (again_) {
        again_ = false;
        Request();
    }
}

void SyncDriver::SaveAccount(const sync::SyncAccount& account, const std::string& password,
                             std::function<void(const std::string&)> done)
{
    const sync::AccountFault fault = sync::CheckAccount(account);
    if (fault != sync::AccountFault::None) {
        static const char* const kWhy[] = {"", "Podaj nazwę użytkownika (jeden wiersz).",
                                           "Podaj nazwę kalendarza (jeden wiersz).",
                                           "Adres serwera musi zaczynać się od https:// (lub http://).",
                                           "Zwykłe http:// tylko do tego komputera; użyj https://."};
        done(kWhy[int(fault)]);
        return;
    }
    const sync::SyncAccount kept = Account();
    const bool samePlace = kept.server == account.server && kept.user == account.user;
    if (password.empty() && !samePlace) {
        done("Podaj hasło.");
        return;
    }
    struct Saved {
        net::KeyringResult result;
    };
    auto saved = std::make_shared<Saved>();
    // The keyring may take its time (or ask to be unlocked): on the network thread.
    net_.Run(
        [saved, account, password] {
            saved->result = password.empty() ? net::PasswordStore().Read(account.server, account.user)
                                             : net::PasswordStore().Store(account.server, account.user, password);
        },
        this,
        [this, saved, account, done = std::move(done)] {
            const net::KeyringResult& r = saved->result;
            keyringLine_ = r.outcome == net::KeyringOutcome::NoService ? kNoKeyring : "";
            std::string failure;
            std::string why;
            if (!r.ok())
                failure = r.outcome == net::KeyringOutcome::NoService ? kNoKeyring
                          : r.outcome == net::KeyringOutcome::NotFound
                              ? "Podaj hasło: w pęku kluczy go nie ma."
                              : "Pęk kluczy nie przyjął hasła: " + r.message;
            else if (!sync::WriteAccount(AccountPath(), account, &why))
                failure = "Nie zapisano konta: " + why;
            Told();
            done(failure);
        });
}

void SyncDriver::ProbeKeyring()
{
    auto outcome = std::make_shared<net::KeyringOutcome>(net::KeyringOutcome::Ok);
    const sync::SyncAccount account = Account();
    net_.Run(
        [outcome, account] {
            *outcome = net::PasswordStore().Read(account.server.empty() ? "remindo" : account.server,
                                                 account.user.empty() ? "remindo" : account.user)
                           .outcome;
        },
        this,
        [this, outcome] {
            keyringLine_ = *outcome == net::KeyringOutcome::NoService ? kNoKeyring : "";
            Told();
        });
}

} // namespace remindo
