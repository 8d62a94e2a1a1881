// The command line: our options, the rest left for Qt, and lines we refuse.

#include "shell/options.h"

#include <QFile>
#include <QMap>

#include <QTest>

using namespace remindo;

Q_DECLARE_METATYPE(Request)

class TestOptions : public QObject {
    Q_OBJECT

private slots:
    void commandLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QStringList>("forQt");
        const QStringList none;
        QTest::newRow("plain") << QStringList{} << Request::Run << "" << false << none;
        QTest::newRow("list") << QStringList{"--list"} << Request::Open << "dane" << false << none;
        QTest::newRow("same twice") << QStringList{"--quit", "--quit"} << Request::Quit << "zakoncz" << false << none;
        QTest::newRow("two requests") << QStringList{"--list", "--calendar"} << Request::Open << "kalendarz" << true
                                      << none;
        QTest::newRow("Qt's own options pass") << QStringList{"-platform", "xcb", "--settings"} << Request::Open
                                               << "ustawienia" << false << QStringList{"-platform", "xcb"};
        QTest::newRow("unknown") << QStringList{"--lsit"} << Request::Run << "" << true << QStringList{"--lsit"};
        QTest::newRow("help wins over the rest") << QStringList{"--bogus", "--list", "-h"} << Request::Help << ""
                                                 << false << QStringList{"--bogus"};
        QTest::newRow("version") << QStringList{"--version", "--list"} << Request::Version << "" << false << none;
        QTest::newRow("autostart") << QStringList{"--autostart"} << Request::Autostart << "" << false << none;
        QTest::newRow("about") << QStringList{"--about"} << Request::Open << "o-programie" << false << none;
        QTest::newRow("about and list") << QStringList{"--about", "--list"} << Request::Open << "dane" << true
                                        << none;
    }

    void commandLines()
    {
        QFETCH(QStringList, args);
        QFETCH(Request, request);
        QFETCH(QString, action);
        QFETCH(bool, refused);
        QFETCH(QStringList, forQt);
        std::vector<std::string> line{"remindo"};
        for (const QString& a : args)
            line.push_back(a.toStdString());
        const Options o = ParseOptions(line);
        QCOMPARE(o.request, request);
        QCOMPARE(QString::fromStdString(std::string(o.action ? o.action->name : "")), action);
        QCOMPARE(!o.error.empty(), refused);
        std::vector<std::string> qt{"remindo"};
        for (const QString& a : forQt)
            qt.push_back(a.toStdString());
        QCOMPARE(o.qtArgs, qt);
    }

    // The plain second start names the list window; the options theirs.
    void inTheWayLines()
    {
        QCOMPARE(QString::fromStdString(InTheWayLine(FindAction("ustawienia"), "okno kalendarza")),
                 QString::fromUtf8("remindo: okno ustawień nie zostało otwarte, bo na ekranie jest okno "
                                   "kalendarza; wysunięto je na wierzch\n"));
        QVERIFY(InTheWayLine(nullptr, "okno pytania").find("okno listy zdarzeń nie") != std::string::npos);
        QVERIFY(InTheWayLine(FindAction("o-programie"), "x").find("okno O programie nie") != std::string::npos);
    }

    // Each action of the menu entry starts the program with the option that
    // asks the running copy for the action of the same name, and every
    // window the tray menu opens is among them.
    void desktopEntryActions()
    {
        QFile f(QStringLiteral(REMINDO_DESKTOP_ENTRY));
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList listed;
        QString section;
        QMap<QString, QString> execs;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1Char('[')))
                section = line;
            else if (section == QLatin1String("[Desktop Entry]") && line.startsWith(QLatin1String("Actions=")))
                listed = line.mid(8).split(QLatin1Char(';'), Qt::SkipEmptyParts);
            else if (section.startsWith(QLatin1String("[Desktop Action ")) && line.startsWith(QLatin1String("Exec=")))
                execs.insert(section.mid(16).chopped(1), line.mid(5));
        }
        QCOMPARE(QStringList(execs.keys()).size(), listed.size());
        for (const QString& action : listed) {
            QVERIFY2(execs.contains(action), qPrintable(action));
            std::vector<std::string> line;
            for (const QString& word : execs.value(action).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                line.push_back(word.toStdString());
            const Options o = ParseOptions(line);
            QVERIFY2(o.error.empty(), qPrintable(action));
            QVERIFY2(o.action && o.action->name == action.toStdString(), qPrintable(action));
        }
        for (const char* window : {"dane", "kalendarz", "ustawienia", "o-programie"}) {
            QVERIFY(FindAction(window)->does == Does::OpenWindow);
            QVERIFY2(listed.contains(QLatin1String(window)), window);
        }
    }

    // The manual pages are written by hand: each describes every option.
    void manualPagesNameEveryOption()
    {
        for (const char* page : {"/remindo.1.in", "/pl/remindo.1.in"}) {
            QFile f(QStringLiteral(REMINDO_MAN_DIR) + QLatin1String(page));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray text = f.readAll();
            for (const Action& a : Actions()) {
                const QByteArray option = QByteArray(a.option.data(), qsizetype(a.option.size()));
                QVERIFY2(option.isEmpty() || text.contains(".B " + QByteArray(option).replace("-", "\\-") + '\n'),
                         qPrintable(QLatin1String(page) + QLatin1Char(' ') + QLatin1String(option)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestOptions)
#include "test_options.moc"
