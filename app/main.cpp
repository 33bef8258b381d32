#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rz5300"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("RZ5300"));
    window.resize(1024, 700);
    window.show();
    return QApplication::exec();
}
