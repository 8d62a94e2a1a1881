#include "windows/synchronizacja.h"

#include "app/syncservice.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace remindo {

namespace {

namespace ls = layout::synchronizacja;

struct Row {
    layout::Rect place;
    const char* name;
    const char* spoken;
};
constexpr Row kRows[4] = {
    {ls::kSerwer, "MSerwer", "Adres serwera"},
    {ls::kUzytkownik, "MUzytkownik", "Użytkownik"},
    {ls::kHaslo, "MHaslo", "Hasło"},
    {ls::kKalendarz, "MKalendarz", "Nazwa kalendarza"},
};

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
std::string S(const QLineEdit* field) { return field->text().trimmed().toStdString(); }

} // namespace

TFSynchronizacja::TFSynchronizacja(SyncService& service, QWidget* parent)
    : PictureWindow(QSize(ls::kWindow.w, ls::kWindow.h), QStringLiteral("tlo_synchronizacja"), kPlain, parent),
      service_(service)
{
    setObjectName(QStringLiteral("TFSynchronizacja"));
    setWindowTitle(QStringLiteral("Remindo - synchronizacja"));
    AddDragBar(ToQRect(ls::kListwa));

    std::vector<QWidget*> order;
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QLatin1String(kRows[i].name));
        field->setAccessibleName(QString::fromUtf8(kRows[i].spoken));
        field->setGeometry(ToQRect(kRows[i].place));
        field->setFrame(false);
        field->setFont(WindowFont());
        QPalette p = field->palette();
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Text, kValueTextColour);
        field->setPalette(p);
        connect(field, &QLineEdit::returnPressed, this, &TFSynchronizacja::LZapiszClick);
        fields_[i] = field;
        order.push_back(field);
    }
    fields_[2]->setEchoMode(QLineEdit::Password);

    LSynchronizuj_ = AddClickArea(ToQRect(ls::kSynchronizuj), true, QStringLiteral("Synchronizuj teraz"));
    LSynchronizuj_->setObjectName(QStringLiteral("LSynchronizuj"));
    connect(LSynchronizuj_, &ClickArea::clicked, this, &TFSynchronizacja::LSynchronizujClick);
    order.push_back(LSynchronizuj_);

    const auto line = [this](layout::Rect place, const char* name, const char* spoken, QColor ink) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setAccessibleName(QString::fromUtf8(spoken));
        label->setGeometry(ToQRect(place));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFont(WindowFont());
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, ink);
        label->setPalette(p);
        return label;
    };
    LWynik_ = line(ls::kWynik, "LWynik", "Ostatnia synchronizacja", kValueTextColour);
    LUwaga_ = line(ls::kUwaga, "LUwaga", "Uwaga",
                   QColor(layout::glowny::kInkRed.r, layout::glowny::kInkRed.g, layout::glowny::kInkRed.b));

    LAnuluj_ = AddClickArea(ToQRect(ls::kAnuluj), true, QStringLiteral("Anuluj"));
    LAnuluj_->setObjectName(QStringLiteral("LAnuluj"));
    connect(LAnuluj_, &ClickArea::clicked, this, &QWidget::hide);
    LZapisz_ = AddClickArea(ToQRect(ls::kZapisz), true, QStringLiteral("Zapisz"));
    LZapisz_->setObjectName(QStringLiteral("LZapisz"));
    connect(LZapisz_, &ClickArea::clicked, this, &TFSynchronizacja::LZapiszClick);
    order.push_back(LAnuluj_);
    order.push_back(LZapisz_);
    SetReadingOrder(order);
    EnableEscape([this] { hide(); });

    service_.Follow([self = QPointer<TFSynchronizacja>(this)] {
        if (self)
            self->Refresh();
    });
}

void TFSynchronizacja::Open()
{
    const sync::SyncAccount account = service_.Account();
    fields_[0]->setText(Q(account.server));
    fields_[1]->setText(Q(account.user));
    fields_[2]->clear();
    // The password is the keyring's: never shown, only replaced.
    fields_[2]->setPlaceholderText(account.server.empty() ? QString()
                                                          : QStringLiteral("(zapisane w pęku kluczy)"));
    fields_[3]->setText(Q(account.calendar.empty() ? sync::kDefaultCalendar : account.calendar));
    for (QLineEdit* field : fields_)
        field->setCursorPosition(0); // a long address shows its beginning
    failure_.clear();
    service_.ProbeKeyring();
    Refresh();
    CenterOnScreen();
    show();
    raise();
    activateWindow();
    fields_[0]->setFocus();
}

void TFSynchronizacja::Refresh()
{
    QString result;
    if (service_.Running())
        result = QStringLiteral("Synchronizacja trwa…");
    else if (!service_.LastLine().empty())
        result = QStringLiteral("Ostatnio: ") + Q(service_.LastLine());
    else if (service_.Account().server.empty())
        result = QStringLiteral("Brak konta: wpisz adres serwera, użytkownika i hasło.");
    else
        result = QStringLiteral("Jeszcze nie synchronizowano.");
    LWynik_->setText(result);
    LUwaga_->setText(Q(failure_.empty() ? service_.KeyringLine() : failure_));
}

void TFSynchronizacja::KeepThen(std::function<void()> then)
{
    sync::SyncAccount account;
    account.server = S(fields_[0]);
    account.user = S(fields_[1]);
    account.calendar = S(fields_[3]);
    const sync::SyncAccount kept = service_.Account();
    const std::string password = fields_[2]->text().toStdString();
    if (password.empty() && account.server == kept.server && account.user == kept.user &&
        account.calendar == kept.calendar && !kept.server.empty()) {
        then();
        return;
    }
    service_.SaveAccount(account, password,
                         [self = QPointer<TFSynchronizacja>(this), then = std::move(then)](const std::string& failure) {
                             if (!self)
                                 return;
                             self->failure_ = failure;
                             if (failure.empty()) {
                                 self->fields_[2]->clear();
                                 self->fields_[2]->setPlaceholderText(QStringLiteral("(zapisane w pęku kluczy)"));
                                 then();
                             }
                             self->Refresh();
                         });
}

void TFSynchronizacja::LSynchronizujClick()
{
    KeepThen([this] {
        service_.SyncNow();
        Refresh();
    });
}

void TFSynchronizacja::LZapiszClick()
{
    KeepThen([this] {
        service_.SyncNow();
        hide();
    });
}

} // namespace remindo
