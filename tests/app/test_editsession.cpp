// The list window's save and cancel, and the start's read of the data file,
// as the edit session answers them (the windows only show the answers).
#include "app/staterig.h"

#include "store/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <filesystem>

using namespace remindo;
using namespace remindo::test;

namespace {

QStringList Texts(const Komunikaty& list)
{
    QStringList texts;
    for (const Komunikat& k : list.items)
        texts << QString::fromStdString(Utf8FromCp1250(k.Tresc.substr(0, k.Tresc.find('+'))));
    return texts;
}

bool Logged(const DiagnosticLog& log, const std::string& utf8)
{
    for (const std::string& line : log.Lines())
        if (line.find(Cp(utf8)) != std::string::npos)
            return true;
    return false;
}

} // namespace

class TestEditSession : public QObject {
    Q_OBJECT
private slots:
    // The file holds "Stary"; an edit waits (or none), then ✔ or ✖ with
    // the question's answer. "Dziś" is due today: a save marks it.
    void saveAndCancel_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<int>("detail");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<bool>("logged");
        const QStringList both{"Stary", "Dziś"}, old{"Stary"};
        QTest::newRow("save") << "add" << "save" << 0 << true << 3 << true << both << true;
        QTest::newRow("save, log detail 2") << "add" << "save" << 0 << true << 2 << true << both << false;
        QTest::newRow("save that cannot write") << "add" << "save" << 0 << false << 3 << false << both << false;
        QTest::newRow("cancel, nothing waits") << "" << "cancel" << 0 << true << 3 << true << old << false;
        QTest::newRow("cancel: Anuluj") << "add" << "cancel" << int(kAnswerAnuluj) << true << 3 << false << both << false;
        QTest::newRow("cancel: Tak") << "add" << "cancel" << int(kAnswerTak) << true << 3 << true << both << false;
        QTest::newRow("cancel: Tak that cannot write")
            << "add" << "cancel" << int(kAnswerTak) << false << 3 << false << both << false;
        QTest::newRow("cancel: Nie after an edit")
            << "update" << "cancel" << int(kAnswerNie) << true << 3 << true << old << false;
        QTest::newRow("cancel: Nie after a deletion")
            << "delete" << "cancel" << int(kAnswerNie) << true << 3 << true << old << false;
    }

    void saveAndCancel()
    {
        QFETCH(QString, edit);
        QFETCH(QString, step);
        QFETCH(int, answer);
        QFETCH(bool, writable);
        QFETCH(int, detail);
        QFETCH(bool, closes);
        QFETCH(QStringList, list);
        QFETCH(bool, logged);
        StateRig r;
        r.state.settings.LogDetail = detail;
        r.state.log.SetMode(1);
        EditSession& session = r.state.session();
        const std::string path = r.state.dataFile.Path();
        QVERIFY(MakeFolders(std::filesystem::path(path).parent_path()));
        r.Add("Stary", DateFromYmd(2026, 12, 20));
        if (writable) // else a folder where the file should be: the real failure
            QVERIFY(session.SaveList());
        else
            QVERIFY(QDir().mkpath(QString::fromStdString(path)));
        const Komunikaty stored = r.state.list;

        session.Select(0);
        if (edit == "add")
            session.AddReminder(Cp("Dziś+"), DateFromYmd(2026, 12, 8), 0, 1, 0, 0, 1);
        else if (edit == "update")
            session.UpdateReminder(Cp("Zmieniony+"), DateFromYmd(2026, 12, 8), 0, 1, 0, 0, 1);
        else if (edit == "delete")
            session.DeleteSelected();
        QCOMPARE(session.DataChanged(), !edit.isEmpty());

        QCOMPARE(step == "save" ? session.Save() : session.Cancel(answer), closes);
        QCOMPARE(session.DataChanged(), !edit.isEmpty() && !closes);
        QCOMPARE(Texts(r.state.list), list);
        Komunikaty file;
        if (writable) {
            QCOMPARE(r.state.dataFile.LoadDataFile(file), int(kLoaded));
            QCOMPARE(Texts(file), closes ? list : Texts(stored));
        }
        // Saved: what is due today is marked, as after every save.
        const bool saved = closes && list.size() == 2;
        QCOMPARE(r.state.list.ReminderCount() == 2 && r.state.list[1].WarnToday, saved);
        QCOMPARE(Logged(r.state.log, "Zapisano wprowadzone dane"), logged);
        if (!writable)
            QCOMPARE(r.box.shown.back().text,
                     std::string("Problemy z zapisaniem pliku danych.\rCzy masz należyte uprawnienia?"));
        else
            QVERIFY(r.box.shown.empty());
    }

    // The start timer's read: each result answered and logged (what the
    // list and the file become is the start tick's test, tests/shell).
    void startLoad_data()
    {
        QTest::addColumn<int>("fileState"); // 0 list, 2 damaged, 3 missing
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("logLines");
        QTest::newRow("read") << 0 << int(kLoaded) << QStringList{"Wczytano 2 zdarzeń"};
        QTest::newRow("damaged") << 2 << int(kDamagedHeader) << QStringList{"Plik jest uszkodzony", "Plik uszkodzony"};
        QTest::newRow("missing") << 3 << int(kMissing)
                                 << QStringList{"Brak pliku - utworzono nowy", "Utworzono nowy plik"};
    }

    void startLoad()
    {
        QFETCH(int, fileState);
        QFETCH(int, result);
        QFETCH(QStringList, logLines);
        StateRig r;
        r.state.settings.LogDetail = 1;
        r.state.log.SetMode(1);
        const std::string path = r.state.dataFile.Path();
        QVERIFY(MakeFolders(std::filesystem::path(path).parent_path()));
        Komunikaty stored;
        stored.AddReminder("Dzisiaj+", DateFromYmd(2026, 12, 8), 0, 0, 0, 0, 1, {});
        stored.AddReminder("Jutro+", DateFromYmd(2026, 12, 9), 0, 3, 0, 0, 1, {});
        if (fileState != 3)
            QVERIFY(r.state.dataFile.SaveDataFile(stored));
        if (fileState == 2) {
            QFile f(QString::fromStdString(path));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("<Dane><Code>fa</Code><Ilosc>zwei</Ilosc></Dane>");
        }
        QCOMPARE(r.state.session().Load(), result);
        for (const QString& line : logLines)
            QVERIFY2(Logged(r.state.log, line.toStdString()), qPrintable(line));
        QVERIFY(!r.state.session().DataChanged());
    }
};

QTEST_GUILESS_MAIN(TestEditSession)
#include "test_editsession.moc"
