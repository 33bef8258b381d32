// Takes the pictures of the guide's sections on blind editing, offline
// work and reconnection, against a simulator on TCP loopback, and of the
// communication settings with their reconnection switch.
// Usage: offairshot <folder> en|zh

#include <appdirectory.h>
#include <devicesimulator.h>
#include <dialog_comset.h>
#include <mygraphicsview.h>
#include <reconnectstatus.h>
#include <singleton_serialport.h>
#include <windowdriver.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QDir folder(args.at(1));
    const QString &language = args.at(2);
    const auto shot = [&](const char *name) { return folder.filePath(QStringLiteral("%1-%2.png").arg(name, language)); };

    QTemporaryDir files;
    AppDirectory::setPath(files.path());
    DeviceSimulator device;
    if (!device.listenTcp())
        return 1;
    const quint16 port = device.tcpPort();
    WindowDriver::writeStartSettings({"0", "127.0.0.1", QString::number(port), "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"},
                                     QByteArray(8, 'h'), language == QLatin1String("en") ? 1 : 0);

    WindowDriver driver;
    if (!driver.open())
        return 1;
    MainWindow *window = driver.window();
    Singleton_SerialPort *link = window->link();
    window->resize(1280, 720);
    if (!driver.connectDevice())
        return 1;
    const QRect screen = driver.canvas()->model().grid().screenRect(3);
    {
        // The settings as the processor leaves the factory.
        const QStringList linked = link->linkSettings();
        link->setLinkSettings({"0", "192.168.1.8", "7", "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"});
        Dialog_ComSet settings(link, language == QLatin1String("en"), window);
        settings.show();
        if (!settings.grab().save(folder.filePath(QStringLiteral("Dialog_ComSet-%1.png").arg(language))))
            return 1;
        link->setLinkSettings(linked);
    }

    driver.trigger("actionBlind");
    driver.presetButton(2)->click();
    driver.drop(2, screen.center());
    if (!driver.settle() || !window->grab().save(shot("blind")))
        return 1;

    device.closeTcp();
    if (!WindowDriver::waitFor([window] { return window->findChild<ReconnectStatus *>()->isVisible(); }, 10000)
        || !driver.settle() || !window->grab().save(shot("reconnect")))
        return 1;

    window->findChild<ReconnectStatus *>()->findChild<QAbstractButton *>(QStringLiteral("stopButton"))->click();
    driver.trigger("actionBlind");
    driver.presetButton(4)->click();
    driver.drop(5, screen.center());
    if (!driver.settle() || !window->grab().save(shot("offline")))
        return 1;
    driver.close();
    return 0;
}
