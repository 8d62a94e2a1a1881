#include "calendar/monthgrid.h"

#include "dates/datetools.h"
#include "store/codec.h"
#include "store/formats.h"

#include <QFont>
#include <QLocale>
#include <QPainter>

namespace remindo {

namespace {

enum CellKind { kDay = 0, kSunday = 1, kHeaderCell = 2 };

void FillCells(MonthGrid& grid, Date date)
{
    for (QString& cell : grid.Cells)
        cell.clear();
    const int year = YearOf(date);
    const int month = MonthOf(date);
    const int start = GridStartCell(grid, year, month);
    const int days = DaysInMonth(year, month);
    for (int d = 1; d <= days; ++d)
        grid.Cells[size_t(start + d - 1)] = QString::number(d);
}

QFont GridFont(const MonthGrid& grid)
{
    // The grid is drawn in the windows' own font: MS Sans Serif where it
    // exists, else the nearest sans serif, at 8 points on a 96 dpi screen.
    QFont f;
    f.setFamilies({grid.FontName, QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    f.setPixelSize(grid.FontSize * 96 / 72 + (grid.FontSize * 96 % 72 ? 1 : 0));
    return f;
}

// One cell; row and column counted from 1. Each rectangle reaches LineWidth
// into its right and lower neighbours, so neighbouring frames share a line.
void DrawCell(QPainter& p, const MonthGrid& grid, const QString& text, CellKind kind, int row,
              int column, int x0, int y0, int day)
{
    QColor back = grid.NormalBack;
    if (text.isEmpty())
        back = grid.EmptyBack;
    else if (kind != kHeaderCell && text.toInt() == day)
        back = grid.SelectedBack;
    const QColor ink = kind == kDay ? grid.DayText : kind == kSunday ? grid.SundayText : grid.HeaderText;

    const int left = x0 + (column - 1) * grid.CellWidth;
    const int top = y0 + (row - 1) * grid.CellHeight;
    const int right = x0 + column * grid.CellWidth + grid.LineWidth;
    const int bottom = y0 + row * grid.CellHeight + grid.LineWidth;
    const QRect cell(left, top, right - left, bottom - top);

    p.fillRect(cell, back);
    const int lw = grid.LineWidth;
    if (grid.Frame && lw > 0) {
        // The outline lies inside the rectangle, as the platform's pen of
        // the frame's width draws it.
        p.fillRect(QRect(left, top, cell.width(), lw), grid.LineColour);
        p.fillRect(QRect(left, bottom - lw, cell.width(), lw), grid.LineColour);
        p.fillRect(QRect(left, top, lw, cell.height()), grid.LineColour);
        p.fillRect(QRect(right - lw, top, lw, cell.height()), grid.LineColour);
    }
    if (!text.isEmpty()) {
        p.setPen(ink);
        p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextExpandTabs, text);
    }
}

QString HeaderName(const MonthGrid& grid, int weekday)
{
    const QString& own = grid.WeekdayNames[size_t(weekday)];
    if (!own.isEmpty())
        return own;
    // Qt counts Monday as 1 and Sunday as 7.
    return QLocale::system().dayName(weekday == 0 ? 7 : weekday, QLocale::ShortFormat);
}

void DrawGrid(QImage& image, const MonthGrid& grid, Date date)
{
    if (image.isNull())
        return;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(image.rect(), grid.NormalBack);
    p.setFont(GridFont(grid));

    const int day = DayOf(date);
    const int x0 = grid.OriginX;
    int y0 = grid.OriginY;
    if (grid.Header) {
        for (int c = 1; c <= 7; ++c) {
            const int weekday = grid.MondayFirst ? c % 7 : c - 1;
            DrawCell(p, grid, HeaderName(grid, weekday), kHeaderCell, 1, c, x0, y0, day);
        }
        y0 += grid.CellHeight + 2 * grid.LineWidth;
    }
    const int sundayColumn = grid.MondayFirst ? 7 : 1;
    for (int i = 0; i < MonthGrid::kCells; ++i) {
        const int c = i % 7 + 1;
        const int r = i / 7 + 1;
        const CellKind kind = grid.MarkSundays && c == sundayColumn ? kSunday : kDay;
        DrawCell(p, grid, grid.Cells[size_t(i)], kind, r, c, x0, y0, day);
    }
}

} // namespace

void SetGridGeometry(int cellWidth, int cellHeight, int rows, int columns, int lineWidth,
                     int originX, int originY, MonthGrid& grid)
{
    grid.CellWidth = cellWidth;
    grid.CellHeight = cellHeight;
    grid.Rows = rows;
    grid.Columns = columns;
    grid.LineWidth = lineWidth;
    grid.OriginX = originX;
    grid.OriginY = originY;
}

void SetGridColours(QColor normalBack, QColor selectedBack, QColor emptyBack, QColor lineColour,
                    QColor dayText, QColor sundayText, QColor headerText, MonthGrid& grid)
{
    grid.NormalBack = normalBack;
    grid.SelectedBack = selectedBack;
    grid.EmptyBack = emptyBack;
    grid.LineColour = lineColour;
    grid.DayText = dayText;
    grid.SundayText = sundayText;
    grid.HeaderText = headerText;
}

void SetGridStyle(int fontSize, const QString& fontName, bool frame, bool header, bool markSundays,
                  bool mondayFirst, MonthGrid& grid)
{
    grid.FontSize = fontSize;
    grid.FontName = fontName;
    grid.Frame = frame;
    grid.Header = header;
    grid.MarkSundays = markSundays;
    grid.MondayFirst = mondayFirst;
}

int GridStartCell(const MonthGrid& grid, int year, int month)
{
    const int first = FirstWeekdayOfMonth(year, month); // 0 = Sunday
    if (!grid.MondayFirst)
        return first;
    return first == 0 ? 6 : first - 1;
}

void ShowMonth(QImage& image, Date date, MonthGrid& grid)
{
    FillCells(grid, date);
    DrawGrid(image, grid, date);
}

void GridNextMonth(QImage& image, Date& date, MonthGrid& grid)
{
    date = IncMonth(date, 1);
    ShowMonth(image, date, grid);
}

void GridPrevMonth(QImage& image, Date& date, MonthGrid& grid)
{
    date = IncMonth(date, -1);
    ShowMonth(image, date, grid);
}

void GridNextYear(QImage& image, Date& date, MonthGrid& grid)
{
    date = IncYear(date, 1);
    ShowMonth(image, date, grid);
}

void GridPrevYear(QImage& image, Date& date, MonthGrid& grid)
{
    date = IncYear(date, -1);
    ShowMonth(image, date, grid);
}

void GridToday(QImage& image, Date& date, MonthGrid& grid, Date today)
{
    date = today;
    ShowMonth(image, date, grid);
}

int GridCellAt(const MonthGrid& grid, int x, int y)
{
    if (grid.CellWidth <= 0 || grid.CellHeight <= 0)
        return -1;
    const int top = grid.OriginY + (grid.Header ? grid.CellHeight + 2 * grid.LineWidth : 0);
    // Strict on all four sides: the grid's outer edge is no cell's.
    if (!(grid.OriginX < x && x < grid.OriginX + 7 * grid.CellWidth))
        return -1;
    if (!(top < y && y < top + 6 * grid.CellHeight))
        return -1;
    const int c = (x - grid.OriginX) / grid.CellWidth;
    const int r = (y - top) / grid.CellHeight;
    return r * 7 + c;
}

bool GridClick(QImage& image, int x, int y, MonthGrid& grid, Date& date)
{
    const int i = GridCellAt(grid, x, y);
    if (i < 0 || grid.Cells[size_t(i)].isEmpty())
        return false;
    Date picked;
    if (!TryDateFromYmd(YearOf(date), MonthOf(date), grid.Cells[size_t(i)].toInt(), picked))
        return false; // cells filled for another month than the date's
    date = picked;
    ShowMonth(image, date, grid);
    return true;
}

QString DateCaption(Date date, const RegionalFormats& formats)
{
    return QString::fromStdString(Utf8FromCp1250(formats.Lower(formats.LongDate(date))));
}

} // namespace remindo
