#include "store/codec.h"

#include <QTest>

using namespace remindo;

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void polishLettersBothWays()
    {
        const std::string utf8 = "Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ";
        const Cp1250Result cp = Cp1250FromUtf8(utf8);
        QVERIFY(cp.ok());
        QCOMPARE(cp.text.size(), size_t(27)); // one byte a character
        QCOMPARE(QByteArray::fromStdString(cp.text.substr(0, 4)), QByteArray("Za\xBF\xF3"));
        QCOMPARE(Utf8FromCp1250(cp.text), utf8);
        QCOMPARE(Cp("środa"), std::string("\x9C" "roda"));
    }

    void everyDefinedByteRoundTrips()
    {
        for (int c = 1; c < 256; ++c) {
            const std::string one(1, char(c));
            const std::string u = Utf8FromCp1250(one);
            if (c == 0x81 || c == 0x83 || c == 0x88 || c == 0x90 || c == 0x98) {
                QCOMPARE(u, std::string("\xEF\xBF\xBD"));
                continue;
            }
            const Cp1250Result back = Cp1250FromUtf8(u);
            QVERIFY2(back.ok(), qPrintable(QString::number(c)));
            QCOMPARE(back.text, one);
        }
    }

    void reportsWhatCannotBeHeld()
    {
        const Cp1250Result r = Cp1250FromUtf8("a€b😀c日ł");
        QCOMPARE(r.rejected, (std::u32string{U'😀', U'日'}));
        QCOMPARE(r.text, std::string("a\x80" "b?c?\xB3"));
        QVERIFY(!r.ok());
        // Broken UTF-8 is reported too, and the rest is kept.
        const Cp1250Result bad = Cp1250FromUtf8(std::string("x\xC3(y\xE2\x82", 6));
        QCOMPARE(bad.rejected.size(), size_t(3));
        QCOMPARE(bad.text, std::string("x?(y??"));
        QVERIFY(Cp1250FromUtf8("").ok());
        QCOMPARE(Utf8FromCp1250(""), std::string());
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "test_codec.moc"
