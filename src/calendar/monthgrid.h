#pragma once
// The small month calendar that the date pickers draw: six rows of seven day
// cells on an image, the date's day highlighted, the Sunday column in its own
// ink, steps by month and year, today, and a click that picks a day. Each
// user keeps one MonthGrid together with one date; the operations take the
// image, the grid and the date. Painting only: no widgets here.

#include "dates/date.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <array>

namespace remindo {

class RegionalFormats;

struct MonthGrid {
    static constexpr int kCells = 42;

    std::array<QString, kCells> Cells; // row i / 7, column i % 7: "1".."31" or empty
    int CellWidth = 24;
    int CellHeight = 22;
    int Rows = 6;    // recorded; the drawing always uses 6
    int Columns = 7; // recorded; the drawing always uses 7
    int LineWidth = 1;
    QColor NormalBack = Qt::white;
    QColor SelectedBack{231, 228, 233};
    QColor EmptyBack = Qt::white;
    QColor LineColour{60, 117, 151};
    QColor DayText{60, 117, 151};
    QColor SundayText = Qt::black;
    QColor HeaderText{60, 117, 151};
    int FontSize = 8;
    QString FontName = QStringLiteral("MS Sans Serif");
    bool Frame = true;
    bool Header = false;
    bool MarkSundays = true;
    bool MondayFirst = true;
    int OriginX = 1;
    int OriginY = 1;
    // Short weekday names for the header row, Sunday first; empty ones are
    // taken from the system's locale when the header is drawn.
    std::array<QString, 7> WeekdayNames;
};

void SetGridGeometry(int cellWidth, int cellHeight, int rows, int columns, int lineWidth,
                     int originX, int originY, MonthGrid& grid);
void SetGridColours(QColor normalBack, QColor selectedBack, QColor emptyBack, QColor lineColour,
                    QColor dayText, QColor sundayText, QColor headerText, MonthGrid& grid);
void SetGridStyle(int fontSize, const QString& fontName, bool frame, bool header, bool markSundays,
                  bool mondayFirst, MonthGrid& grid);

// Fills the cells for the month of `date` and draws them; a null image only
// gets its cells filled.
void ShowMonth(QImage& image, Date date, MonthGrid& grid);
// Steps keep the day, clamped to the length of the target month.
void GridNextMonth(QImage& image, Date& date, MonthGrid& grid);
void GridPrevMonth(QImage& image, Date& date, MonthGrid& grid);
void GridNextYear(QImage& image, Date& date, MonthGrid& grid);
void GridPrevYear(QImage& image, Date& date, MonthGrid& grid);
void GridToday(QImage& image, Date& date, MonthGrid& grid, Date today);
// A point on a day cell (borders excluded) picks that day of the shown month
// and redraws; answers whether it did.
bool GridClick(QImage& image, int x, int y, MonthGrid& grid, Date& date);

// The cell index under a point, or -1 off the grid (whether the cell holds a day or not).
int GridCellAt(const MonthGrid& grid, int x, int y);
// The grid's first cell for day 1 of the month, 0..6.
int GridStartCell(const MonthGrid& grid, int year, int month);

// The date in the locale's long format, in the locale's lower case.
QString DateCaption(Date date, const RegionalFormats& formats);

} // namespace remindo
