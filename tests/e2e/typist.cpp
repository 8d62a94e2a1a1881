// Another program the user types in, for the desktop test: a text window
// titled "Pisanie" that writes what it holds to FILE after every change.
//   e2e_typist FILE
#include <QApplication>
#include <QPlainTextEdit>
#include <QSaveFile>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    QPlainTextEdit edit;
    edit.setWindowTitle(QStringLiteral("Pisanie"));
    edit.setGeometry(40, 40, 420, 200);
    QObject::connect(&edit, &QPlainTextEdit::textChanged, [&] {
        QSaveFile out(file);
        if (out.open(QIODevice::WriteOnly)) {
            out.write(edit.toPlainText().toUtf8());
            out.commit();
        }
    });
    edit.show();
    return app.exec();
}
