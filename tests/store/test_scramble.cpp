#include "store/scramble.h"

#include <QTest>

using namespace remindo;

namespace {
std::string AllStoredBytes()
{
    // Every byte a stored text can hold: all but the undefined Windows-1250
    // bytes, control characters included (the settings and log never hold
    // them, but the round trip must not depend on that).
    std::string s;
    for (int c = 1; c < 256; ++c)
        if (!IsUnusedByte(static_cast<unsigned char>(c)))
            s.push_back(char(c));
    return s;
}
} // namespace

class TestScramble : public QObject {
    Q_OBJECT
private slots:
    void substitutionIsABijectionOnStoredBytes()
    {
        bool seen[256] = {};
        for (int c = 0; c < 256; ++c) {
            const unsigned char f = ScrambleByte(static_cast<unsigned char>(c));
            if (!IsUnusedByte(static_cast<unsigned char>(c))) {
                QCOMPARE(int(UnscrambleByte(f)), c);
                QVERIFY2(!seen[f], qPrintable(QString::number(c)));
                seen[f] = true;
            }
            if (c >= 32 && c <= 255) {
                QVERIFY(f > 32 && f != 127);
            }
            if (c < 32 || c >= 248)
                QCOMPARE(int(f), c);
        }
        // A real substitution, not the identity.
        int moved = 0;
        for (int c = 32; c < 248; ++c)
            moved += ScrambleByte(static_cast<unsigned char>(c)) != c;
        QVERIFY(moved > 200);
    }

    void roundTripsEveryStoredByte()
    {
        Scrambler s(1);
        const std::string all = AllStoredBytes();
        for (size_t i = 0; i < all.size(); ++i) {
            const std::string one(1, all[i]);
            QCOMPARE(UnscrambleValue(s.ScrambleValue(one, true), true).value(), one);
        }
        for (size_t from = 0; from < all.size(); from += 100) {
            const std::string chunk = all.substr(from, 300);
            QCOMPARE(UnscrambleValue(s.ScrambleValue(chunk, true), true).value(), chunk);
        }
    }

    void layoutAndMarkers()
    {
        Scrambler s(7);
        int markersSeen[256] = {};
        for (int i = 0; i < 300; ++i) {
            const std::string v = "Ala ma kota " + std::to_string(i) + " ";
            const std::string out = s.ScrambleValue(v, true);
            const auto marker = static_cast<unsigned char>(out[0]);
            const size_t filler = marker == 160 ? 2 : marker == 161 ? 3 : marker == 167 ? 4 : 99;
            QVERIFY(filler != 99);
            ++markersSeen[marker];
            QCOMPARE(out.size(), 1 + filler + v.size());
            for (size_t k = 1; k <= filler; ++k) {
                const auto c = static_cast<unsigned char>(out[k]);
                QVERIFY(c >= 33 && c <= 232);
            }
            // Safe as one line of a text file and as a trimmed XML text.
            for (size_t k = 0; k < out.size(); ++k) {
                const auto u = static_cast<unsigned char>(out[k]);
                QVERIFY(u > 32);
                if (k > filler)
                    QVERIFY(u != 127);
            }
            QCOMPARE(UnscrambleValue(out, true).value(), v); // the trailing blank survives
        }
        QVERIFY(markersSeen[160] && markersSeen[161] && markersSeen[167]);
        // Drawn anew each time.
        QVERIFY(s.ScrambleValue("abc", true) != s.ScrambleValue("abc", true) ||
                s.ScrambleValue("abc", true) != s.ScrambleValue("abc", true));
        // A seed repeats.
        Scrambler a(42), b(42);
        QCOMPARE(a.ScrambleValue("xyz", true), b.ScrambleValue("xyz", true));
    }

    void emptyValues()
    {
        Scrambler s(3);
        for (bool on : {true, false})
            for (int i = 0; i < 50; ++i) {
                const std::string out = s.ScrambleValue("", on);
                QCOMPARE(static_cast<unsigned char>(out[0]), kMarkerEmpty);
                QVERIFY(out.size() >= 4 && out.size() <= 11);
                QCOMPARE(UnscrambleValue(out, on).value(), std::string());
                QCOMPARE(UnscrambleValue(out, !on).value(), std::string());
            }
        QVERIFY(!UnscrambleValue("", true).has_value());
        QVERIFY(!UnscrambleValue("", false).has_value());
    }

    void switchOffPassesValuesThrough()
    {
        Scrambler s(5);
        QCOMPARE(s.ScrambleValue("plain text", false), std::string("plain text"));
        QCOMPARE(UnscrambleValue("plain text", false).value(), std::string("plain text"));
        const std::string marked = std::string(1, char(160)) + "xyabc";
        QCOMPARE(UnscrambleValue(marked, false).value(), marked);
    }

    void readerLimitsAndOldMarker()
    {
        Scrambler s(9);
        // A long value comes back whole: our own save writes values of any length.
        const std::string long600 = std::string(599, 'q') + "+";
        QCOMPARE(UnscrambleValue(s.ScrambleValue(long600, true), true).value(), long600);
        // The five-filler marker is read although never written.
        std::string old = std::string(1, char(147)) + "!!!!!";
        for (char c : std::string("Remindo"))
            old.push_back(char(ScrambleByte(static_cast<unsigned char>(c))));
        QCOMPARE(UnscrambleValue(old, true).value(), std::string("Remindo"));
        // No marker: nothing skipped, everything substituted back.
        std::string bare;
        for (char c : std::string("60"))
            bare.push_back(char(ScrambleByte(static_cast<unsigned char>(c))));
        QCOMPARE(UnscrambleValue(bare, true).value(), std::string("60"));
        // A marker with its filler cut short yields an empty text, never a read past the end.
        QCOMPARE(UnscrambleValue(std::string(1, char(167)) + "ab", true).value(), std::string());
    }

    // The table must never change: files written by one build are read by the next.
    void substitutionIsPinned()
    {
        std::string got;
        for (char c : std::string(" Remindo 1.02"))
            got.push_back(char(ScrambleByte(static_cast<unsigned char>(c))));
        std::string again;
        for (char c : got)
            again.push_back(char(UnscrambleByte(static_cast<unsigned char>(c))));
        QCOMPARE(again, std::string(" Remindo 1.02"));
        QCOMPARE(QByteArray::fromStdString(got).toHex(), QByteArray("40d17b2b538ff3f040da8d7662"));
    }
};

QTEST_GUILESS_MAIN(TestScramble)
#include "test_scramble.moc"
