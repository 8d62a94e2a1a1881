// A data file written under one desktop language reads under every other.
#include "samplelists.h"

#include "platform/core/qtregionalformats.h"
#include "store/datafile.h"
#include "store/messages.h"
#include "store/scramble.h"

#include <QTemporaryDir>
#include <QTest>

using namespace remindo;
using samples::D;

class TestDataFileLocales : public QObject {
    Q_OBJECT
private slots:
    void writtenUnderOneReadUnderEvery()
    {
        const char* const locales[] = {"en_GB", "en_US", "de_DE", "hu_HU", "ja_JP", "pl_PL"};
        Komunikaty list = samples::ListA();
        // Days a regional reader could take for others: a day that is also
        // a month, the ends of the year, a leap day, years of the edges.
        const Date days[] = {D(2026, 7, 22), D(2026, 1, 2), D(2027, 12, 31), D(2028, 2, 29), D(1999, 1, 2),
                             D(2070, 1, 1), D(1, 1, 1), D(9999, 12, 31)};
        for (Date d : days)
            list.AddReminder("dzie\xf1+", d, 0, 1, 0, 0, 1, d);

        QTemporaryDir dir;
        for (const char* writer : locales) {
            const QtRegionalFormats wf{QLocale(QString::fromLatin1(writer))};
            ScriptedMessages messages;
            Scrambler scrambler(7);
            const std::string path = QFile::encodeName(dir.filePath(writer)).toStdString();
            DataFile written(path, messages, wf, scrambler);
            QVERIFY(written.SaveDataFile(list));
            for (const char* reader : locales) {
                const QtRegionalFormats rf{QLocale(QString::fromLatin1(reader))};
                DataFile reading(path, messages, rf, scrambler);
                Komunikaty back;
                const std::string what = std::string("written under ") + writer + ", read under " + reader;
                QVERIFY2(reading.LoadDataFile(back) == kLoaded, what.c_str());
                QVERIFY2(samples::SameStored(back, list), what.c_str());
            }
            QVERIFY(messages.shown.empty());
        }
    }
};

QTEST_GUILESS_MAIN(TestDataFileLocales)
#include "test_datafile_locales.moc"
