#include "windows/chrome.h"

#include "windows/help.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QComboBox>
#include <QProxyStyle>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QMouseEvent>
#include <QtMath>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>

#ifdef REMINDO_HAVE_RESOURCES
#include "resources/resources.h"
#endif

namespace remindo {

QFont WindowFont(int pixelHeight)
{
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    f.setPixelSize(pixelHeight);
    f.setStyleStrategy(QFont::PreferDefault);
    return f;
}

QString JpegResourcePath(const QString& name)
{
    return QStringLiteral(":/pictures/") + name + QStringLiteral(".jpg");
}

QImage LoadJpegFile(const QString& path)
{
    // The format is named so that the JPEG plugin decodes it whatever the
    // file's first bytes suggest; anything else is refused, not guessed.
    if (!QFile::exists(path)) {
        qWarning("picture %s is missing", qUtf8Printable(path));
        return {};
    }
    QImageReader reader(path, "jpeg");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull())
        qWarning("picture %s: %s", qUtf8Printable(path), qUtf8Printable(reader.errorString()));
    return image;
}

QImage LoadJpegImage(const QString& name)
{
#ifdef REMINDO_HAVE_RESOURCES
    InitResources(); // once; later calls do nothing
#endif
    return LoadJpegFile(JpegResourcePath(name));
}

QImage LoadPicture(const QString& name, qreal ratio)
{
    if (ratio <= 1)
        return LoadJpegImage(name);
    QImage twice = LoadJpegImage(name + QStringLiteral("@2x"));
    if (twice.isNull())
        return {};
    twice.setDevicePixelRatio(2);
    if (ratio == 2)
        return twice;
    // Whole device pixels, covering the picture's window pixels.
    const QSizeF device = twice.deviceIndependentSize() * ratio;
    QImage fitted = twice.scaled(qCeil(device.width() - 1e-6), qCeil(device.height() - 1e-6),
                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    fitted.setDevicePixelRatio(ratio);
    return fitted;
}

QImage DeviceImage(QSize size, qreal ratio, const QColor& fill)
{
    ratio = std::max<qreal>(ratio, 1);
    QImage image(qCeil(size.width() * ratio - 1e-6), qCeil(size.height() * ratio - 1e-6),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(fill);
    return image;
}

namespace {

const char* const kPictureProperty = "remindoPicture";

} // namespace

bool LoadJpegResource(const QString& name, QWidget* image)
{
    if (!image)
        return false;
    image->setProperty(kPictureProperty, name);
    const QImage picture = LoadPicture(name, image->devicePixelRatioF());
    const QPixmap pixmap = picture.isNull() ? QPixmap() : QPixmap::fromImage(picture);
    if (auto* area = qobject_cast<ClickArea*>(image))
        area->setPixmap(pixmap);
    else if (auto* label = qobject_cast<QLabel*>(image))
        label->setPixmap(pixmap);
    return !picture.isNull();
}

bool DrawJpegResource(const QString& name, QPaintDevice& bitmap)
{
    const QImage picture = LoadPicture(name, bitmap.devicePixelRatioF());
    if (picture.isNull())
        return false;
    QPainter p(&bitmap);
    p.drawImage(QPoint(0, 0), picture);
    return true;
}

// ---------------------------------------------------------------- ClickArea

namespace {

// What a screen reader reads of a control with a value: a stepper's number.
class AccessibleValueWidget : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
};

// A click area that is no button reads as a label does: the picture or the
// caption it shows. A button is Qt's own push button or check box.
class ShownAccessible final : public QAccessibleWidget {
public:
    explicit ShownAccessible(ClickArea* area) : QAccessibleWidget(area, QAccessible::StaticText) {}

    QAccessible::Role role() const override
    {
        return Area()->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic;
    }
    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        return t == QAccessible::Name && own.isEmpty() ? Area()->text() : own;
    }

private:
    const ClickArea* Area() const { return static_cast<const ClickArea*>(widget()); }
};

// A tick box reads as Qt's check box does, but its toggle is a click: the
// window decides, as for the mouse and the keyboard, rather than the tick
// flipping behind its back.
class TickBoxAccessible final : public QAccessibleWidget {
public:
    explicit TickBoxAccessible(TickBox* box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = static_cast<const TickBox*>(widget())->IsTicked();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == toggleAction())
            static_cast<TickBox*>(widget())->Press();
        else
            QAccessibleWidget::doAction(action);
    }
};

// A stepper's number: a spin box whose value the arrows change.
class StepperValueAccessible final : public AccessibleValueWidget {
public:
    explicit StepperValueAccessible(StepperValue* value) : AccessibleValueWidget(value, QAccessible::SpinBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QString::number(Stepper()->Value());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return qlonglong(Stepper()->Value()); }
    void setCurrentValue(const QVariant& v) override
    {
        bool ok = false;
        const qlonglong value = v.toLongLong(&ok);
        if (ok)
            static_cast<StepperValue*>(widget())->Take(value);
    }
    QVariant maximumValue() const override { return qlonglong(Stepper()->Maximum()); }
    QVariant minimumValue() const override { return qlonglong(Stepper()->Minimum()); }
    QVariant minimumStepSize() const override { return 1; }

private:
    const StepperValue* Stepper() const { return static_cast<const StepperValue*>(widget()); }
};

// Click areas that are no buttons, tick boxes, stepper values, and the
// windows: each a window (not a filler) named by its title.
QAccessibleInterface* ChromeAccessibleFactory(const QString&, QObject* object)
{
    if (auto* tick = qobject_cast<TickBox*>(object))
        return new TickBoxAccessible(tick);
    if (auto* area = qobject_cast<ClickArea*>(object); area && !area->IsButton())
        return new ShownAccessible(area);
    if (auto* value = qobject_cast<StepperValue*>(object))
        return new StepperValueAccessible(value);
    if (auto* window = qobject_cast<PictureWindow*>(object))
        return new QAccessibleWidget(window, window->AccessibleRole());
    return nullptr;
}

void InstallAccessibleFactory()
{
    static const bool installed = (QAccessible::installFactory(ChromeAccessibleFactory), true);
    (void)installed;
}

// A button's focus mark, on its window just outside the button: around the
// painted face, never across the caption on it, whatever the scale.
class FocusRing final : public QWidget {
public:
    explicit FocusRing(QWidget* window) : QWidget(window)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }
    void Around(const QWidget* w)
    {
        const QRect place(w->mapTo(parentWidget(), QPoint(0, 0)), w->size());
        setGeometry(place.adjusted(-kFocusRingOffset, -kFocusRingOffset, kFocusRingOffset, kFocusRingOffset));
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        DrawFocusMark(p, rect());
    }
};

} // namespace

ClickArea::ClickArea(QWidget* parent, QRect place, bool handCursor, const QString& tooltip)
    : QAbstractButton(parent), button_(handCursor)
{
    InstallAccessibleFactory();
    setAttribute(Qt::WA_TranslucentBackground);
    if (!place.isNull())
        setGeometry(place);
    setFocusPolicy(handCursor ? Qt::TabFocus : Qt::NoFocus);
    if (handCursor)
        setCursor(Qt::PointingHandCursor);
    if (!tooltip.isEmpty()) {
        setToolTip(tooltip);
        setAccessibleName(tooltip);
    }
    // A button acts on the number being typed, not on the one before it.
    connect(this, &QAbstractButton::pressed, this, [this] { TakeTypedNumbers(window()); });
}

ClickArea::~ClickArea()
{
    delete ring_;
}

void ClickArea::setPixmap(const QPixmap& picture)
{
    picture_ = picture;
    update();
}

void ClickArea::setText(const QString& caption)
{
    caption_ = caption;
    if (button_)
        setAccessibleDescription(caption);
    update();
}

void ClickArea::setAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    update();
}

void ClickArea::setWordWrap(bool on)
{
    wordWrap_ = on;
    update();
}

int ClickArea::CaptionFlags() const
{
    return int(QStyle::visualAlignment(layoutDirection(), alignment_)) | (wordWrap_ ? Qt::TextWordWrap : 0) |
           (caption_.isRightToLeft() ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight);
}

int ClickArea::heightForWidth(int width) const
{
    // As a label measures its caption: centring left out, which only rounds.
    const int flags = CaptionFlags() & ~(Qt::AlignVCenter | Qt::AlignHCenter);
    return std::max(fontMetrics().boundingRect(0, 0, width, 2000, flags, caption_).height(), minimumHeight());
}

void ClickArea::paintEvent(QPaintEvent*)
{
    // As a label draws its picture and caption; a button draws nothing
    // more, its focus mark lying outside it, on the window.
    QPainter p(this);
    if (!picture_.isNull())
        style()->drawItemPixmap(&p, rect(), QStyle::visualAlignment(layoutDirection(), alignment_), picture_);
    style()->drawItemText(&p, rect(), CaptionFlags(), palette(), isEnabled(), caption_, QPalette::WindowText);
}

bool ClickArea::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::FocusIn: ShowFocusRing(button_); break;
    case QEvent::FocusOut: ShowFocusRing(false); break;
    case QEvent::Hide:
        ShowFocusRing(false);
        setDown(false); // an arrow held while its window goes repeats no more
        break;
    case QEvent::Move:
    case QEvent::Resize: ShowFocusRing(button_ && hasFocus()); break;
    default: break;
    }
    // A window moved to a screen of another pixel ratio shows the picture
    // painted for that one.
    if (e->type() == QEvent::ScreenChangeInternal) {
        const QString picture = property(kPictureProperty).toString();
        if (!picture.isEmpty() && !picture_.isNull() &&
            picture_.devicePixelRatio() != std::max<qreal>(devicePixelRatioF(), 1))
            LoadJpegResource(picture, this);
    }
    return QAbstractButton::event(e);
}

void ClickArea::keyPressEvent(QKeyEvent* e)
{
    // Enter presses a button as Space does.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !e->isAutoRepeat()) {
        e->accept();
        Press();
        return;
    }
    QAbstractButton::keyPressEvent(e);
}

void ClickArea::ShowFocusRing(bool shown)
{
    if (shown && window() != this) {
        if (!ring_)
            ring_ = new FocusRing(window());
        static_cast<FocusRing*>(ring_.data())->Around(this);
    } else if (ring_) {
        ring_->hide();
    }
}

void DrawFocusMark(QPainter& p, QRect place)
{
    // Dots of the accent on white: seen on a light face and a dark one. The
    // line runs through the middle of the outermost window pixels, so that a
    // scaled screen draws it whole rather than half clipped at one side.
    const QRectF line = QRectF(place).adjusted(0.5, 0.5, -0.5, -0.5);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(line);
    p.setPen(QPen(kFocusColour, 1, Qt::DotLine));
    p.drawRect(line);
    p.restore();
}

void SetReadingOrder(const std::vector<QWidget*>& widgets)
{
    QWidget* before = nullptr;
    for (QWidget* w : widgets) {
        if (before)
            QWidget::setTabOrder(before, w);
        before = w;
    }
}

// ------------------------------------------------------------------ DragBar

DragBar::DragBar(QWidget* parent, QRect place) : QLabel(parent)
{
    setObjectName(QStringLiteral("LListwa"));
    setAttribute(Qt::WA_TranslucentBackground);
    setGeometry(place);
}

void DragBar::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    state_.dragging = true;
    state_.last = e->globalPosition().toPoint();
    grabMouse();
}

void DragBar::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    if (!state_.dragging)
        return;
    const QPoint now = e->globalPosition().toPoint();
    QWidget* w = window();
    w->move(w->pos() + (now - state_.last));
    state_.last = now;
}

void DragBar::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    // Any button ends the drag, as any button started it.
    EndDrag();
}

void DragBar::hideEvent(QHideEvent* e)
{
    // A window hidden in the middle of a drag must not keep the mouse.
    EndDrag();
    QLabel::hideEvent(e);
}

void DragBar::EndDrag()
{
    state_.dragging = false;
    if (mouseGrabber() == this)
        releaseMouse();
}

// ------------------------------------------------------------------ TickBox

TickBox::TickBox(QWidget* parent, QPoint topLeft, bool ticked)
    : ClickArea(parent, QRect(topLeft, QSize(kWidth, kHeight)), true)
{
    setCheckable(true);
    setChecked(ticked);
    ShowTick();
    connect(this, &QAbstractButton::toggled, this, &TickBox::ShowTick);
    connect(this, &QAbstractButton::clicked, this, [this](bool ticked) {
        if (autoFlip_)
            emit flipped(ticked);
    });
}

void TickBox::nextCheckState()
{
    if (autoFlip_)
        ClickArea::nextCheckState();
}

void TickBox::ShowTick()
{
    LoadJpegResource(isChecked() ? QStringLiteral("ptaszekok") : QStringLiteral("ptaszekno"), this);
}

// ------------------------------------------------------------- StepperValue

StepperValue::StepperValue(QWidget* parent, QRect place) : QLabel(parent)
{
    InstallAccessibleFactory();
    setGeometry(place);
    setAlignment(Qt::AlignCenter);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, kValueTextColour);
    setPalette(p);
}

void StepperValue::Show(int64_t value, int64_t min, int64_t max)
{
    min_ = min;
    max_ = max;
    typing_ = false;
    entry_.clear();
    setText(QString::number(value));
    if (value == value_)
        return;
    value_ = value;
    QAccessibleValueChangeEvent event(this, qlonglong(value));
    QAccessible::updateAccessibility(&event);
}

void StepperValue::SetTypedRange(int64_t min, int64_t max)
{
    typedRange_ = true;
    typedMin_ = min;
    typedMax_ = max;
}

void StepperValue::Take(int64_t value)
{
    emit typed(std::clamp(value, TypedMin(), std::max(TypedMin(), TypedMax())));
}

void StepperValue::Commit()
{
    if (!typing_)
        return;
    const QString entry = entry_;
    typing_ = false;
    entry_.clear();
    selected_ = true;
    setText(QString::number(value_)); // until the window shows the number taken
    if (!entry.isEmpty())
        Take(entry.toLongLong());
}

bool StepperValue::event(QEvent* e)
{
    if (e->type() == QEvent::FocusIn)
        selected_ = true;
    else if (e->type() == QEvent::FocusOut)
        Commit();
    return QLabel::event(e);
}

void StepperValue::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    const QString text = e->text();
    if (text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9')) {
        // The number that the digit would make; none past the most. Digits
        // are refused long before the number could overflow.
        const QString next = (selected_ ? QString() : entry_) + text;
        if (next.toLongLong() <= std::max(TypedMin(), TypedMax())) {
            entry_ = QString::number(next.toLongLong());
            typing_ = true;
            selected_ = false;
            setText(entry_);
        }
    } else if (key == Qt::Key_Backspace) {
        entry_ = selected_ ? QString() : entry_.chopped(std::min<qsizetype>(1, entry_.size()));
        typing_ = true;
        selected_ = false;
        setText(entry_);
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        Commit();
        emit stepped(key == Qt::Key_Up ? 1 : -1);
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        Commit();
    } else {
        QLabel::keyPressEvent(e);
        return;
    }
    e->accept();
    update();
}

void StepperValue::paintEvent(QPaintEvent* e)
{
    if (!hasFocus()) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter p(this);
    p.setFont(font());
    if (selected_ && !text().isEmpty()) {
        // Selected, as a field's text is: the next digit replaces it.
        QRect band = p.fontMetrics().boundingRect(rect(), int(alignment()), text()).adjusted(-1, 0, 1, 0);
        band.setTop(1);
        band.setBottom(height() - 2);
        p.fillRect(band, kFocusColour);
        p.setPen(Qt::white);
    } else {
        p.setPen(palette().color(QPalette::WindowText));
    }
    p.drawText(rect(), int(alignment()), text());
    DrawFocusMark(p, rect());
}

void TakeTypedNumbers(QWidget* window)
{
    if (!window)
        return;
    for (StepperValue* v : window->findChildren<StepperValue*>())
        v->Commit();
}

// ------------------------------------------------------------ drop-down lists

namespace {

class DropDownBelowStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The focus mark over a frameless list box's panel, whose own frame is
// clipped away, while the list box has the keyboard.
class ComboFocusMark final : public QWidget {
public:
    ComboFocusMark(QWidget* parent, QRect place, QComboBox* combo) : QWidget(parent), combo_(combo)
    {
        setGeometry(place);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        combo->installEventFilter(this);
        raise();
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut)
            update();
        return false;
    }
    void paintEvent(QPaintEvent*) override
    {
        if (!combo_->hasFocus())
            return;
        QPainter p(this);
        DrawFocusMark(p, rect());
    }

private:
    QComboBox* combo_;
};

// Escape on an open list folds the list and goes no further. The list
// box's own popup folds on the key's shortcut check without taking the key,
// which then reaches the window's Escape, its cross.
class FoldOnEscape final : public QObject {
public:
    explicit FoldOnEscape(QComboBox* combo) : QObject(combo), combo_(combo) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::ShortcutOverride || !combo_->view()->isVisible())
            return false;
        auto* key = static_cast<QKeyEvent*>(e);
        if (!key->matches(QKeySequence::Cancel))
            return false;
        key->accept();
        combo_->hidePopup();
        return true;
    }

private:
    QComboBox* combo_;
};

} // namespace

void DropDownCombo(QComboBox* combo)
{
    if (combo && combo->isEnabled())
        combo->showPopup();
}

FramelessCombo MakeFramelessCombo(QWidget* parent, QRect panelRect, int comboWidth, int lift,
                                  const QString& name)
{
    FramelessCombo fc;
    fc.panel = new QWidget(parent);
    fc.panel->setGeometry(panelRect);
    fc.panel->setAutoFillBackground(true);
    QPalette pp = fc.panel->palette();
    pp.setColor(QPalette::Window, Qt::white);
    fc.panel->setPalette(pp);

    fc.combo = new QComboBox(fc.panel);
    fc.combo->setGeometry(-3, -lift, comboWidth, 21);
    fc.combo->setFont(WindowFont());
    fc.combo->setFocusPolicy(Qt::StrongFocus);
    QPalette cp = fc.combo->palette();
    for (auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
        cp.setColor(role, Qt::white);
    for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        cp.setColor(role, kValueTextColour);
    // A focused field shows its text as it is, not highlighted.
    cp.setColor(QPalette::Highlight, Qt::white);
    cp.setColor(QPalette::HighlightedText, kValueTextColour);
    fc.combo->setPalette(cp);
    // The list drops below the field, as the painted arrow promises, rather
    // than over it around the chosen item; its items in the value colour on white.
    auto* style = new DropDownBelowStyle;
    style->setParent(fc.combo);
    fc.combo->setStyle(style);
    QPalette vp = fc.combo->view()->palette();
    vp.setColor(QPalette::Base, Qt::white);
    vp.setColor(QPalette::Text, kValueTextColour);
    vp.setColor(QPalette::Highlight, QPalette().color(QPalette::Highlight));
    vp.setColor(QPalette::HighlightedText, QPalette().color(QPalette::HighlightedText));
    fc.combo->view()->setPalette(vp);
    fc.combo->view()->installEventFilter(new FoldOnEscape(fc.combo));
    // A screen reader on this desktop calls a list box by the label that
    // stands for it, its own name being the chosen entry; the painted
    // caption gets an unseen label.
    fc.combo->setAccessibleName(name);
    fc.combo->view()->setAccessibleName(name);
    auto* label = new QLabel(name, fc.panel);
    label->setBuddy(fc.combo);
    label->hide();
    new ComboFocusMark(parent, panelRect, fc.combo);
    return fc;
}

// ------------------------------------------------------------ PictureWindow

void MakePictureWindow(QWidget& window, QSize clientSize, int options)
{
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
    if (!(options & PictureWindow::kTaskbarEntry))
        flags |= Qt::Tool;
    if (options & PictureWindow::kStaysOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    window.setWindowFlags(flags);
    window.setFixedSize(clientSize);
    window.setFont(WindowFont());
}

void CenterOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect s = screen->geometry();
    window.move(s.x() + (s.width() - window.width()) / 2, s.y() + (s.height() - window.height()) / 2);
}

PictureWindow::PictureWindow(QSize clientSize, const QString& background, int options,
                             QWidget* parent)
    : QWidget(parent), options_(options)
{
    MakePictureWindow(*this, clientSize, options);
    background_ = new ClickArea(this, QRect(QPoint(0, 0), clientSize), false);
    background_->setObjectName(QStringLiteral("background"));
    if (!background.isEmpty())
        SetBackground(background);
}

void PictureWindow::SetBackground(const QString& pictureName)
{
    LoadJpegResource(pictureName, background_);
}

void PictureWindow::KeepInsideWorkArea()
{
    const QScreen* screen = QGuiApplication::screenAt(geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QPoint inside(std::clamp(x(), area.left(), std::max(area.left(), area.right() + 1 - width())),
                        std::clamp(y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
    if (inside != pos())
        move(inside);
}

void PictureWindow::showEvent(QShowEvent* e)
{
    if (!(options_ & kOwnPlacement) && !e->spontaneous())
        KeepInsideWorkArea();
    QWidget::showEvent(e);
}

DragBar* PictureWindow::AddDragBar(QRect place)
{
    auto* bar = new DragBar(this, place);
    bar->raise();
    return bar;
}

ClickArea* PictureWindow::AddClickArea(QRect place, bool handCursor, const QString& tooltip)
{
    auto* area = new ClickArea(this, place, handCursor, tooltip);
    area->raise();
    return area;
}

void PictureWindow::EnableEscape(std::function<void()> cancel)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, std::move(cancel));
}

void PictureWindow::EnableHelpKey(HelpOpener* opener)
{
    // A window shortcut is looked at before the focused control gets the
    // key: the window's key preview.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this, opener] { OpenHelp(this, opener); });
}

} // namespace remindo
