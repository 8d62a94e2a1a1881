// The reminder sound on whatever audio the machine has: none on a test
// machine, where it must play nothing and return at once.

#include "platform/sound/reminder_sound.h"
#include "resources/resources.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>

using namespace remindo;

class TestSound : public QObject {
    Q_OBJECT

private slots:
    void playsAtItsOwnVolumeOrNotAtAll()
    {
        InitResources();
        QVERIFY(QFile::exists(":/sounds/dobre.wav"));
        QtSoundPlayer player;
        const bool output = !QMediaDevices::audioOutputs().isEmpty();
        QCOMPARE(player.Play(3000), output);
        if (output) {
            // The stream's own volume; the device's is left alone.
            QCOMPARE(player.LastVolume(), 3000 / 65535.0);
            QVERIFY(player.Play(65535));
            QCOMPARE(player.LastVolume(), 1.0);
        } else {
            QCOMPARE(player.LastVolume(), -1.0);
        }
    }
};

QTEST_MAIN(TestSound)
#include "test_sound.moc"
