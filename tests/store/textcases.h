#pragma once
// One table for the one rule of a reminder's lines: each piece a "+" ends is
// a line, and so is a piece after the last "+" (a text written elsewhere).
// The store's three conversions and the editor's open-and-confirm read the
// same rows, so no window can show a line another one drops.

#include <QByteArray>
#include <QStringList>
#include <QTest>

namespace remindo::test {

// Columns: the stored text; the list window's line; the editor's lines; the
// reminder window's text; what the editor stores when it is opened and
// confirmed unchanged (empty: the tick refuses it and the text stays).
inline void AddTextCases()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("listLine");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("confirmed");
    const auto row = [](const char* name, const char* text, const char* listLine, const QStringList& lines,
                        const char* display, const char* confirmed) {
        QTest::newRow(name) << QByteArray(text) << QByteArray(listLine) << lines << QByteArray(display)
                            << QByteArray(confirmed);
    };
    // A text that ends in "+": as it always was.
    row("two lines", "ab+cd+", "ab cd ", {"ab", "cd"}, "ab\rcd\r", "ab+cd+");
    row("one line", "ab+", "ab ", {"ab"}, "ab\r", "ab+");
    row("plus inside a line splits it", "1+1=2+", "1 1=2 ", {"1", "1=2"}, "1\r1=2\r", "1+1=2+");
    row("empty first line", "+cd+", " cd ", {"", "cd"}, "\rcd\r", "+cd+");
    row("empty lines", "++", "  ", {"", ""}, "\r\r", "");
    row("a lone plus", "+", " ", {""}, "\r", "");
    row("empty", "", "", {}, "", "");
    // Without the final "+": the last piece is a line all the same.
    row("no plus", "abc", "abc ", {"abc"}, "abc", "abc+");
    row("second line without its plus", "ab+cd", "ab cd ", {"ab", "cd"}, "ab\rcd", "ab+cd+");
    row("empty first line, second without its plus", "+cd", " cd ", {"", "cd"}, "\rcd", "+cd+");
    row("double plus inside", "ab++cd", "ab  cd ", {"ab", "", "cd"}, "ab\r\rcd", ""); // three lines: too long
    row("three lines, the last without its plus", "a+b+c", "a b c ", {"a", "b", "c"}, "a\rb\rc", "");
}

} // namespace remindo::test
