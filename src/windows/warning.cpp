#include "windows/warning.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace remindo {

namespace lw = layout::warning;

namespace {

TFWarning::Driver& TheDriver()
{
    static TFWarning::Driver driver;
    return driver;
}

QString DisplayText(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

} // namespace

TFWarning::TFWarning(QWidget* parent)
    : PictureWindow(QSize(lw::kWindow.w, lw::kWindow.h), QString(), kStaysOnTop, parent)
{
    setObjectName(QStringLiteral("TFWarning"));
    setWindowTitle(QStringLiteral("Remindo"));
    Background()->setObjectName(QStringLiteral("ImWarning"));

    auto* pIkona = new QWidget(this);
    pIkona->setObjectName(QStringLiteral("PIkona"));
    pIkona->setGeometry(ToQRect(lw::kIcon));
    ImIkona_ = new QLabel(pIkona);
    ImIkona_->setObjectName(QStringLiteral("ImIkona"));
    ImIkona_->setGeometry(0, 0, lw::kIcon.w, lw::kIcon.h);

    LTekstWarning_ = new QLabel(this);
    LTekstWarning_->setObjectName(QStringLiteral("LTekstWarning"));
    LTekstWarning_->setGeometry(ToQRect(lw::kText));
    LTekstWarning_->setAttribute(Qt::WA_TranslucentBackground);
    LTekstWarning_->setAttribute(Qt::WA_TransparentForMouseEvents);
    LTekstWarning_->setWordWrap(true);
    LTekstWarning_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Messages are shown as written: markup in a text is not interpreted.
    LTekstWarning_->setTextFormat(Qt::PlainText);
    LTekstWarning_->setFont(WindowFont(12));
    QPalette tp = LTekstWarning_->palette();
    tp.setColor(QPalette::WindowText, QColor(68, 68, 68));
    LTekstWarning_->setPalette(tp);

    LClose_ = AddClickArea(ToQRect(lw::kClose));
    LClose_->setObjectName(QStringLiteral("LClose"));
    connect(LClose_, &ClickArea::clicked, this, &TFWarning::LCloseClick);

    tak_ = MakeButton("PButTak", "ImButTak", ToQRect(lw::kButTak));
    nie_ = MakeButton("PButNie", "ImButNie", ToQRect(lw::kButNie));
    anuluj_ = MakeButton("PButAnuluj", "ImButAnuluj", ToQRect(lw::kButAnuluj));
    zamknij_ = MakeButton("pButZamknij", "ImButZamknij", ToQRect(lw::kButZamknij));
    LClose_->setAccessibleName(QStringLiteral("Zamknij"));
    for (const auto& [b, name] : {std::pair{tak_, "Tak"}, std::pair{nie_, "Nie"}, std::pair{anuluj_, "Anuluj"},
                                  std::pair{zamknij_, "Zamknij"}})
        b.image->setAccessibleName(QLatin1String(name));
    // A screen reader speaks the box as it comes, its text with it.
    SetAccessibleRole(QAccessible::AlertMessage);
    connect(tak_.image, &ClickArea::clicked, this, [this] { Answer(kAnswerTak); });       // ImButTakClick
    connect(nie_.image, &ClickArea::clicked, this, [this] { Answer(kAnswerNie); });       // ImButNieClick
    connect(anuluj_.image, &ClickArea::clicked, this, [this] { Answer(kAnswerAnuluj); }); // ImButAnulujClick
    connect(zamknij_.image, &ClickArea::clicked, this, [this] { Answer(kAnswerZamknij); }); // ImButZamknijClick

    Fill(kInformationBox, kIconInfo, QString());
}

TFWarning::~TFWarning()
{
    if (loop_)
        loop_->quit();
}

TFWarning::Button TFWarning::MakeButton(const char* panelName, const char* imageName, QRect place)
{
    Button b;
    b.panel = new QWidget(this);
    b.panel->setObjectName(QLatin1String(panelName));
    b.panel->setGeometry(place);
    b.panel->setCursor(Qt::PointingHandCursor);
    b.image = new ClickArea(b.panel, QRect(0, 0, place.width(), place.height()), true);
    b.image->setObjectName(QLatin1String(imageName));
    return b;
}

void TFWarning::SetDriver(Driver driver)
{
    TheDriver() = std::move(driver);
}

QRect TFWarning::PlaceOf(int answer)
{
    switch (answer) {
    case kAnswerTak: return ToQRect(lw::kButTak);
    case kAnswerNie: return ToQRect(lw::kButNie);
    case kAnswerAnuluj: return ToQRect(lw::kButAnuluj);
    case kAnswerZamknij: return ToQRect(lw::kButZamknij);
    default: return {};
    }
}

QRect TFWarning::ClosePlace()
{
    return ToQRect(lw::kClose);
}

void TFWarning::Fill(int kind, int icon, const QString& text)
{
    // The pictures are loaded on every call.
    SetBackground(QStringLiteral("oknowarning"));
    LoadJpegResource(QStringLiteral("buttak"), tak_.image);
    LoadJpegResource(QStringLiteral("butnie"), nie_.image);
    LoadJpegResource(QStringLiteral("butzamknij"), zamknij_.image);
    LoadJpegResource(QStringLiteral("butanuluj"), anuluj_.image);

    // Anything but a question is an information box, so that every box has
    // a way to be answered.
    const bool question = kind == kQuestionBox;
    tak_.panel->setVisible(question);
    nie_.panel->setVisible(question);
    anuluj_.panel->setVisible(question);
    zamknij_.panel->setVisible(!question);
    // The keyboard starts on the button row, on the answer that changes
    // nothing (the close mark's), not on the small close mark itself.
    (question ? anuluj_ : zamknij_).image->setFocus(Qt::OtherFocusReason);

    LTekstWarning_->setText(DisplayText(text));
    setAccessibleDescription(LTekstWarning_->text());

    switch (icon) {
    case kIconInfo: LoadJpegResource(QStringLiteral("ikoinfo"), ImIkona_); break;
    case kIconQuestion: LoadJpegResource(QStringLiteral("ikopytanie"), ImIkona_); break;
    case kIconAttention: LoadJpegResource(QStringLiteral("ikouwaga"), ImIkona_); break;
    default: ImIkona_->setPixmap(QPixmap()); break;
    }

    result_ = kAnswerNie;
}

QString TFWarning::Text() const
{
    return LTekstWarning_->text();
}

bool TFWarning::Offers(int answer) const
{
    switch (answer) {
    case kAnswerTak: return !tak_.panel->isHidden();
    case kAnswerNie: return !nie_.panel->isHidden();
    case kAnswerAnuluj: return !anuluj_.panel->isHidden();
    case kAnswerZamknij: return !zamknij_.panel->isHidden();
    default: return false;
    }
}

int TFWarning::ShowWarning(int kind, int icon, std::string_view text)
{
    const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (loop_) {
        // A second box asked for while this one waits (a timer's work inside
        // the modal loop): it gets a box of its own, and this one stays.
        TFWarning nested(parentWidget());
        return nested.ShowWarning(kind, icon, text);
    }

    Fill(kind, icon, qtext);
    CenterOnScreen();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();

    QEventLoop loop;
    loop_ = &loop;
    if (TheDriver()) {
        QPointer<TFWarning> self(this);
        QTimer::singleShot(0, this, [self] {
            if (!self || !self->loop_)
                return;
            Driver driver = TheDriver();
            if (driver)
                driver(*self);
            if (self && self->loop_ && self->isVisible())
                self->hide();
        });
    }
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    loop_ = nullptr;
    if (isVisible())
        hide();
    setWindowModality(Qt::NonModal);
    return result_;
}

void TFWarning::Answer(int result)
{
    result_ = result;
    hide();
    emit answered(result);
}

void TFWarning::LCloseClick()
{
    if (Offers(kAnswerAnuluj))
        Answer(kAnswerAnuluj);
    else if (Offers(kAnswerZamknij))
        Answer(kAnswerZamknij);
}

void TFWarning::keyPressEvent(QKeyEvent* e)
{
    // Letter keys answer in either case; Enter and Escape mean nothing here.
    int answer = -1;
    switch (e->key()) {
    case Qt::Key_T: answer = kAnswerTak; break;
    case Qt::Key_N: answer = kAnswerNie; break;
    case Qt::Key_A: answer = kAnswerAnuluj; break;
    case Qt::Key_Z: answer = kAnswerZamknij; break;
    default: break;
    }
    if (answer >= 0 && Offers(answer)) {
        e->accept();
        Answer(answer);
        return;
    }
    e->accept(); // nothing else reaches the windows behind the box
}

void TFWarning::closeEvent(QCloseEvent* e)
{
    // The desktop's close (Alt+F4) of a question is its cancel, as the
    // close mark is: never the Nie that would drop what the question guards.
    if (Offers(kAnswerAnuluj))
        result_ = kAnswerAnuluj;
    PictureWindow::closeEvent(e);
}

void TFWarning::hideEvent(QHideEvent* e)
{
    PictureWindow::hideEvent(e);
    // However the box went away, its modal loop ends with it; only the
    // desktop unmapping it for a while (another workspace) does not count.
    if (loop_ && !e->spontaneous())
        loop_->quit();
}

} // namespace remindo
