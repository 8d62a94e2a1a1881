#include "calendar/monthgrid.h"

#include "dates/datetools.h"
#include "platform/core/qtregionalformats.h"
#include "store/codec.h"

#include <QTest>

using namespace remindo;

namespace {

// The pickers' image: 169 x 137 under the default grid (origin 1,1, 24 x 22).
QImage PickerImage()
{
    QImage image(169, 137, QImage::Format_RGB32);
    image.fill(Qt::red); // anything the drawing leaves would show
    return image;
}

QRect CellRect(const MonthGrid& g, int i)
{
    const int c = i % 7, r = i / 7;
    return QRect(g.OriginX + c * g.CellWidth, g.OriginY + r * g.CellHeight, g.CellWidth + g.LineWidth,
                 g.CellHeight + g.LineWidth);
}

// The cell's background, read inside its frame away from the centred text.
QColor BackOf(const QImage& image, const MonthGrid& g, int i)
{
    const QRect r = CellRect(g, i);
    return image.pixelColor(r.left() + 2, r.top() + 2);
}

// Text drawn in grey ink (black antialiased on white) rather than the blue day ink.
bool HasGreyInk(const QImage& image, QRect r)
{
    for (int y = r.top() + 1; y < r.bottom(); ++y)
        for (int x = r.left() + 1; x < r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c != QColor(Qt::white) && c.red() == c.green() && c.green() == c.blue()
                && c.red() < 128)
                return true;
        }
    return false;
}

int FilledCells(const MonthGrid& g)
{
    int n = 0;
    for (const QString& c : g.Cells)
        n += !c.isEmpty();
    return n;
}

int Highlighted(const QImage& image, const MonthGrid& g)
{
    int n = 0;
    for (int i = 0; i < MonthGrid::kCells; ++i)
        n += BackOf(image, g, i) == g.SelectedBack;
    return n;
}

} // namespace

class TestMonthGrid : public QObject {
    Q_OBJECT
private slots:
    void monthStartingOnSundayMondayFirst()
    {
        MonthGrid g;
        QImage image = PickerImage();
        ShowMonth(image, DateFromYmd(2026, 3, 1), g); // 1 March 2026 is a Sunday
        QCOMPARE(g.Cells[6], QStringLiteral("1"));    // row 1, column 7
        QCOMPARE(g.Cells[36], QStringLiteral("31"));  // row 6, column 2
        for (int i = 0; i < 6; ++i)
            QVERIFY(g.Cells[size_t(i)].isEmpty());
        for (int i = 37; i < MonthGrid::kCells; ++i)
            QVERIFY(g.Cells[size_t(i)].isEmpty());
        QCOMPARE(FilledCells(g), 31);

        // Sunday column in black, the others in the day ink.
        QVERIFY(HasGreyInk(image, CellRect(g, 6)));
        QVERIFY(HasGreyInk(image, CellRect(g, 13)));
        QVERIFY(!HasGreyInk(image, CellRect(g, 7)));
        QVERIFY(!HasGreyInk(image, CellRect(g, 12)));

        // The same month with Sunday first starts in the first cell.
        g.MondayFirst = false;
        ShowMonth(image, DateFromYmd(2026, 3, 1), g);
        QCOMPARE(g.Cells[0], QStringLiteral("1"));
        QCOMPARE(g.Cells[30], QStringLiteral("31"));
        QVERIFY(HasGreyInk(image, CellRect(g, 7)));  // "8", a Sunday, column 1
        QVERIFY(!HasGreyInk(image, CellRect(g, 6))); // "7", a Saturday
    }

    void februaryCommonAndLeap()
    {
        MonthGrid g;
        QImage image = PickerImage();
        ShowMonth(image, DateFromYmd(2027, 2, 10), g); // starts on a Monday, 28 days
        for (int i = 0; i < 28; ++i)
            QCOMPARE(g.Cells[size_t(i)], QString::number(i + 1));
        for (int i = 28; i < MonthGrid::kCells; ++i)
            QVERIFY(g.Cells[size_t(i)].isEmpty());
        // The two empty rows are empty cells: white, framed.
        QCOMPARE(BackOf(image, g, 30), g.EmptyBack);
        QCOMPARE(image.pixelColor(CellRect(g, 30).topLeft()), g.LineColour);

        ShowMonth(image, DateFromYmd(2028, 2, 1), g); // leap year, starts on a Tuesday
        QCOMPARE(g.Cells[0], QString());
        QCOMPARE(g.Cells[1], QStringLiteral("1"));
        QCOMPARE(g.Cells[29], QStringLiteral("29"));
        QCOMPARE(FilledCells(g), 29);
    }

    void geometryAndColoursAreExact()
    {
        MonthGrid g;
        QImage image = PickerImage();
        ShowMonth(image, DateFromYmd(2026, 12, 8), g);
        const QColor line(60, 117, 151);
        // The whole image is repainted; the frame starts at the origin and
        // neighbouring cells share one line.
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(image.pixelColor(1, 1), line);
        QCOMPARE(image.pixelColor(25, 5), line);
        QCOMPARE(image.pixelColor(24, 5), QColor(Qt::white));
        QCOMPARE(image.pixelColor(26, 5), QColor(Qt::white));
        QCOMPARE(image.pixelColor(5, 23), line);
        QCOMPARE(image.pixelColor(5, 133), line); // bottom of the sixth row
        QCOMPARE(image.pixelColor(5, 134), QColor(Qt::white));
        QCOMPARE(image.pixelColor(168, 136), QColor(Qt::white));
    }

    void onlyTheDateDayIsHighlighted()
    {
        MonthGrid g;
        QImage image = PickerImage();
        ShowMonth(image, DateFromYmd(2026, 12, 8), g); // Tuesday 1st: start cell 1
        QCOMPARE(Highlighted(image, g), 1);
        QCOMPARE(BackOf(image, g, 1 + 7), QColor(231, 228, 233));
    }

    void stepsClampTheDayAndMoveTheHighlight()
    {
        MonthGrid g;
        QImage image = PickerImage();
        Date d = DateFromYmd(2027, 1, 31);
        GridNextMonth(image, d, g);
        QCOMPARE(d, DateFromYmd(2027, 2, 28));
        QCOMPARE(Highlighted(image, g), 1);
        QCOMPARE(BackOf(image, g, 27), g.SelectedBack); // the 28th, last cell of February

        d = DateFromYmd(2028, 3, 31);
        GridPrevMonth(image, d, g);
        QCOMPARE(d, DateFromYmd(2028, 2, 29));
        GridNextYear(image, d, g);
        QCOMPARE(d, DateFromYmd(2029, 2, 28));
        GridPrevYear(image, d, g);
        QCOMPARE(d, DateFromYmd(2028, 2, 28));
        QCOMPARE(g.Cells[29], QStringLiteral("29")); // the shown month follows the date

        GridToday(image, d, g, DateFromYmd(2026, 12, 8));
        QCOMPARE(d, DateFromYmd(2026, 12, 8));
        QCOMPARE(BackOf(image, g, 8), g.SelectedBack);
    }

    void clickHitTestIsStrictOnTheOuterEdge()
    {
        MonthGrid g;
        QImage image = PickerImage();
        Date d = DateFromYmd(2027, 3, 1); // March 2027 starts on a Monday
        ShowMonth(image, d, g);

        const struct {
            int x, y, cell;
        } points[] = {
            {1, 10, -1},   {2, 10, 0},    {24, 10, 0},  {25, 10, 1},   {168, 10, 6}, {169, 10, -1},
            {10, 1, -1},   {10, 2, 0},    {10, 22, 0},  {10, 23, 7},   {10, 132, 35}, {10, 133, -1},
            {0, 0, -1},    {-5, 10, -1},  {10, 500, -1},
        };
        for (const auto& p : points)
            QCOMPARE(GridCellAt(g, p.x, p.y), p.cell);

        // On the grid's edge, off it, or on an empty cell: nothing changes.
        for (const auto& p : {QPoint(1, 10), QPoint(169, 10), QPoint(10, 133), QPoint(100, 120)}) {
            QVERIFY(!GridClick(image, p.x(), p.y(), g, d));
            QCOMPARE(d, DateFromYmd(2027, 3, 1));
        }
        // Day 15 of March 2027: cell 14 (row 3, column 1).
        const QRect fifteen = CellRect(g, 14);
        QVERIFY(GridClick(image, fifteen.center().x(), fifteen.center().y(), g, d));
        QCOMPARE(d, DateFromYmd(2027, 3, 15));
        QCOMPARE(Highlighted(image, g), 1);
        QCOMPARE(BackOf(image, g, 14), g.SelectedBack);
    }

    void headerRowMovesTheDaysDown()
    {
        MonthGrid g;
        g.Header = true;
        g.WeekdayNames = {"Nd", "Pn", "Wt", "Śr", "Cz", "Pt", "So"};
        QImage image(169, 170, QImage::Format_RGB32);
        Date d = DateFromYmd(2027, 3, 1);
        ShowMonth(image, d, g);
        const int top = 1 + 22 + 2;
        QCOMPARE(GridCellAt(g, 10, top), -1);
        QCOMPARE(GridCellAt(g, 10, top + 1), 0);
        QVERIFY(GridClick(image, 10, top + 5, g, d)); // day 1 in column 1
        QCOMPARE(d, DateFromYmd(2027, 3, 1));
    }

    void captionIsTheLongDateInLowerCase()
    {
        const QtRegionalFormats polish{QLocale(QLocale::Polish, QLocale::Poland)};
        const QString caption = DateCaption(DateFromYmd(2026, 12, 9), polish);
        QVERIFY2(caption.contains(QStringLiteral("grudnia 2026")), qPrintable(caption));
        QCOMPARE(caption, caption.toLower());

        const QtRegionalFormats english{QLocale(QLocale::English, QLocale::UnitedStates)};
        const QString en = DateCaption(DateFromYmd(2026, 12, 9), english);
        QVERIFY2(en.contains(QStringLiteral("december")), qPrintable(en));
    }
};

QTEST_MAIN(TestMonthGrid)
#include "test_monthgrid.moc"
