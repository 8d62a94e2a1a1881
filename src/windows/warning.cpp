#include "windows/warning.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
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

// A screen reader speaks the box as it comes, its text with it.
QAccessibleInterface* BoxAccessible(const QString&, QObject* object)
{
    if (auto* box = qobject_cast<TFWarning*>(object))
        return new QAccessibleWidget(box, QAccessible::AlertMessage);
    return nullptr;
}

} // namespace

TFWarning::TFWarning(QWidget* parent) : QDialog(parent)
{
    static const bool spokenAsAlert = (QAccessible::installFactory(BoxAccessible), true);
    (void)spokenAsAlert;
    MakePictureWindow(*this, QSize(lw::kWindow.w, lw::kWindow.h), PictureWindow::kStaysOnTop);
    setObjectName(QStringLiteral("TFWarning"));
    setWindowTitle(QStringLiteral("Remindo"));
    ImWarning_ = new QLabel(this);
    ImWarning_->setObjectName(QStringLiteral("ImWarning"));
    ImWarning_->setGeometry(rect());

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

    LClose_ = new ClickArea(this, ToQRect(lw::kClose));
    LClose_->setObjectName(QStringLiteral("LClose"));
    LClose_->setAccessibleName(QStringLiteral("Zamknij"));
    connect(LClose_, &ClickArea::clicked, this, &TFWarning::LCloseClick);

    tak_ = MakeButton("ImButTak", kAnswerTak, "Tak");                 // ImButTakClick
    nie_ = MakeButton("ImButNie", kAnswerNie, "Nie");                 // ImButNieClick
    anuluj_ = MakeButton("ImButAnuluj", kAnswerAnuluj, "Anuluj");     // ImButAnulujClick
    zamknij_ = MakeButton("ImButZamknij", kAnswerZamknij, "Zamknij"); // ImButZamknijClick
    Fill(kInformationBox, kIconInfo, QString());
}

ClickArea* TFWarning::MakeButton(const char* name, int answer, const char* spoken)
{
    auto* b = new ClickArea(this, PlaceOf(answer));
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(QLatin1String(spoken));
    connect(b, &ClickArea::clicked, this, [this, answer] { Answer(answer); });
    return b;
}

ClickArea* TFWarning::ButtonFor(int answer) const
{
    switch (answer) {
    case kAnswerTak: return tak_;
    case kAnswerNie: return nie_;
    case kAnswerAnuluj: return anuluj_;
    case kAnswerZamknij: return zamknij_;
    default: return nullptr;
    }
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
    LoadJpegResource(QStringLiteral("oknowarning"), ImWarning_);
    LoadJpegResource(QStringLiteral("buttak"), tak_);
    LoadJpegResource(QStringLiteral("butnie"), nie_);
    LoadJpegResource(QStringLiteral("butzamknij"), zamknij_);
    LoadJpegResource(QStringLiteral("butanuluj"), anuluj_);

    // Anything but a question is an information box, so that every box has
    // a way to be answered.
    const bool question = kind == kQuestionBox;
    tak_->setVisible(question);
    nie_->setVisible(question);
    anuluj_->setVisible(question);
    zamknij_->setVisible(!question);
    // The keyboard starts on the button row, on the answer that changes
    // nothing (the close mark's), not on the small close mark itself.
    (question ? anuluj_ : zamknij_)->setFocus(Qt::OtherFocusReason);

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
    const ClickArea* b = ButtonFor(answer);
    return b && !b->isHidden();
}

int TFWarning::ShowWarning(int kind, int icon, std::string_view text)
{
    if (modalOpen_) {
        // A second box asked for while this one waits (a timer's work inside
        // the modal loop): it gets a box of its own, and this one stays.
        TFWarning nested(parentWidget());
        return nested.ShowWarning(kind, icon, text);
    }

    Fill(kind, icon, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    CenterOnScreen(*this);
    if (TheDriver()) {
        QTimer::singleShot(0, this, [this] {
            if (!modalOpen_)
                return;
            QPointer<TFWarning> self(this);
            if (const Driver driver = TheDriver())
                driver(*this);
            if (self && self->isVisible())
                self->hide();
        });
    }
    QPointer<TFWarning> self(this);
    modalOpen_ = true;
    exec();
    if (!self)
        return kAnswerNie;
    modalOpen_ = false;
    return result_;
}

void TFWarning::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    raise();
    activateWindow();
}

void TFWarning::Answer(int result)
{
    result_ = result;
    done(result);
}

void TFWarning::LCloseClick()
{
    if (Offers(kAnswerAnuluj))
        Answer(kAnswerAnuluj);
    else if (Offers(kAnswerZamknij))
        Answer(kAnswerZamknij);
}

void TFWarning::reject()
{
    if (Offers(kAnswerAnuluj))
        result_ = kAnswerAnuluj;
    QDialog::reject();
}

void TFWarning::keyPressEvent(QKeyEvent* e)
{
    // Letter keys answer in either case.
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
    QDialog::keyPressEvent(e);
}

} // namespace remindo
