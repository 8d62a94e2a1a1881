// remindo-painter: paints every picture of the program, the icon and the
// reminder sound into a folder, with the resource list that embeds them.
//
//   remindo-painter --out DIR [--review DIR]
//
// DIR/pictures/<name>.jpg and <name>@2x.jpg (for screens of twice the
// pixel density), DIR/pictures/remindo.png and .svg,
// DIR/sounds/dobre.wav, DIR/icons/<size>x<size>/apps/<application id>.png and
// DIR/remindo.qrc. With --review, PNG copies of
// the decoded JPEGs (what the windows will show), the same with the click
// areas outlined, the reminder pictures with a sample text, and the icon at
// tray sizes. A caption that does not fit its place fails the run.

#include "painter/chime.h"
#include "painter/icon.h"
#include "painter/jpeg.h"
#include "painter/pictures.h"
#include "painter/style.h"
#include "remindo_version.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>

#include <cstdio>

using namespace remindo::painter;

namespace {

constexpr int kJpegQuality = 97;

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool WriteJpeg(const QString& path, const QImage& image)
{
    QString error;
    const QByteArray bytes = EncodeJpeg(image, kJpegQuality, &error);
    if (bytes.isEmpty()) {
        std::fprintf(stderr, "cannot encode %s: %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    return WriteFile(path, bytes);
}

QString Qrc(const QStringList& pictures)
{
    QString s;
    QTextStream out(&s);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/pictures\">\n";
    for (const QString& file : pictures)
        out << "  <file alias=\"" << file << "\">pictures/" << file << "</file>\n";
    out << "</qresource>\n<qresource prefix=\"/sounds\">\n"
        << "  <file alias=\"dobre.wav\">sounds/dobre.wav</file>\n"
        << "</qresource>\n</RCC>\n";
    return s;
}

// The reminder window's own text colours, to judge the pictures with a text on them.
QColor SampleInk(const QString& name)
{
    namespace lg = remindo::layout::glowny;
    auto colour = [](lg::Rgb c) { return QColor(c.r, c.g, c.b); };
    if (name == QLatin1String("komczerwony"))
        return colour(lg::kInkRed);
    if (name == QLatin1String("komzolty"))
        return colour(lg::kInkYellow);
    if (name == QLatin1String("komzielony"))
        return colour(lg::kInkGreen);
    return QColor(Qt::black);
}

bool Review(const QString& dir, const Picture& pic, const QImage& decoded)
{
    QDir().mkpath(dir + QStringLiteral("/overlay"));
    bool ok = decoded.save(dir + QLatin1Char('/') + pic.name + QStringLiteral(".png"));

    QImage over = decoded.convertToFormat(QImage::Format_RGB32);
    QPainter p(&over);
    p.setPen(QColor(255, 0, 200));
    for (const auto& r : pic.clickAreas)
        p.drawRect(QRect(r.x, r.y, r.w - 1, r.h - 1));
    p.end();
    ok = over.save(dir + QStringLiteral("/overlay/") + pic.name + QStringLiteral(".png")) && ok;

    if (pic.name.startsWith(QLatin1String("kom")) && !pic.name.startsWith(QLatin1String("komniebieski"))) {
        QImage mock = decoded.convertToFormat(QImage::Format_RGB32);
        QPainter m(&mock);
        m.setFont(Font(kCaptionPx));
        m.setPen(SampleInk(pic.name));
        const auto& t = remindo::layout::glowny::kKomunikat;
        m.drawText(QRect(t.x, t.y, t.w, t.h), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("Zapłacić rachunek za prąd i gaz (PGNiG), termin mija "
                                  "w piątek, 15.03.2024"));
        m.end();
        ok = mock.save(dir + QStringLiteral("/overlay/") + pic.name + QStringLiteral("-tekst.png")) && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QString out;
    QString review;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--out"))
            out = args[i + 1];
        else if (args[i] == QLatin1String("--review"))
            review = args[i + 1];
    }
    if (out.isEmpty()) {
        std::fprintf(stderr, "usage: remindo-painter --out DIR [--review DIR]\n");
        return 2;
    }
    QString error;
    if (!LoadFonts(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QString picDir = out + QStringLiteral("/pictures");
    const QString soundDir = out + QStringLiteral("/sounds");
    QDir().mkpath(picDir);
    QDir().mkpath(soundDir);
    if (!review.isEmpty())
        QDir().mkpath(review);

    bool ok = true;
    QStringList files;
    for (const PictureInfo& info : PictureList()) {
        for (const int scale : {1, 2}) {
            const Picture pic = PaintPicture(QString::fromLatin1(info.name), scale);
            for (const QString& problem : pic.problems) {
                std::fprintf(stderr, "%s at %dx: %s\n", info.name, scale, qPrintable(problem));
                ok = false;
            }
            const QString base = scale == 1 ? pic.name : pic.name + QStringLiteral("@2x");
            const QString file = base + QStringLiteral(".jpg");
            ok = WriteJpeg(picDir + QLatin1Char('/') + file, pic.image) && ok;
            files << file;
            if (review.isEmpty())
                continue;
            QImageReader reader(picDir + QLatin1Char('/') + file, "jpeg");
            if (scale == 1)
                ok = Review(review, pic, reader.read()) && ok;
            else
                ok = reader.read().save(review + QLatin1Char('/') + base + QStringLiteral(".png")) && ok;
        }
    }

    ok = IconImage(64).save(picDir + QStringLiteral("/remindo.png")) && ok;
    ok = WriteFile(picDir + QStringLiteral("/remindo.svg"), IconSvg()) && ok;
    files << QStringLiteral("remindo.png") << QStringLiteral("remindo.svg");
    if (!review.isEmpty())
        for (int size : {16, 22, 24, 32, 48, 64, 128})
            IconImage(size).save(review + QStringLiteral("/icon-%1.png").arg(size));

    // The desktop's icon theme sizes, installed under share/icons/hicolor.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = out + QStringLiteral("/icons/%1x%1/apps").arg(size);
        QDir().mkpath(dir);
        ok = IconImage(size).save(dir + QStringLiteral("/" REMINDO_APP_ID ".png")) && ok;
    }

    ok = WriteFile(soundDir + QStringLiteral("/dobre.wav"), ChimeWav()) && ok;
    ok = WriteFile(out + QStringLiteral("/remindo.qrc"), Qrc(files).toUtf8()) && ok;
    return ok ? 0 : 1;
}
