// Connects a link to a local server and quits; the test that runs this
// program checks that the link's thread ends cleanly with the link.

#include <singleton_serialport.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost))
        return 3;

    Singleton_SerialPort link;
    link.dm_linkType = 0;
    link.dm_ip = QStringLiteral("127.0.0.1");
    link.dm_port = server.serverPort();
    QObject::connect(&link, &Singleton_SerialPort::send_connect_end, &app,
                     &QCoreApplication::quit);
    link.postCommand(1);
    QCoreApplication::exec();
    return link.isConnected() ? 0 : 2;
}
