// Until the windows exist the program starts and ends cleanly.
#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Remindo"));
    return 0;
}
