// The command line: our options, the rest left for Qt, and lines we refuse.

#include "shell/options.h"

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
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QStringList>("forQt");
        const QStringList none;
        QTest::newRow("plain") << QStringList{} << Request::Run << false << none;
        QTest::newRow("list") << QStringList{"--list"} << Request::List << false << none;
        QTest::newRow("same twice") << QStringList{"--quit", "--quit"} << Request::Quit << false << none;
        QTest::newRow("two requests") << QStringList{"--list", "--calendar"} << Request::Calendar << true << none;
        QTest::newRow("Qt's own options pass") << QStringList{"-platform", "xcb", "--settings"} << Request::Settings
                                               << false << QStringList{"-platform", "xcb"};
        QTest::newRow("unknown") << QStringList{"--lsit"} << Request::Run << true << QStringList{"--lsit"};
        QTest::newRow("help wins over the rest") << QStringList{"--bogus", "--list", "-h"} << Request::Help << false
                                                 << QStringList{"--bogus"};
        QTest::newRow("version") << QStringList{"--version", "--list"} << Request::Version << false << none;
        QTest::newRow("autostart") << QStringList{"--autostart"} << Request::Autostart << false << none;
    }

    void commandLines()
    {
        QFETCH(QStringList, args);
        QFETCH(Request, request);
        QFETCH(bool, refused);
        QFETCH(QStringList, forQt);
        std::vector<std::string> line{"remindo"};
        for (const QString& a : args)
            line.push_back(a.toStdString());
        const Options o = ParseOptions(line);
        QCOMPARE(o.request, request);
        QCOMPARE(!o.error.empty(), refused);
        std::vector<std::string> qt{"remindo"};
        for (const QString& a : forQt)
            qt.push_back(a.toStdString());
        QCOMPARE(o.qtArgs, qt);
    }
};

QTEST_GUILESS_MAIN(TestOptions)
#include "test_options.moc"
