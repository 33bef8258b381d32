#include "mainwindowcase.h"

#include <appdirectory.h>
#include <linksettings.h>
#include <mygraphicsview.h>
#include <mynavtree.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QDataStream>
#include <QtTest>

void MainWindowCase::startAgainst(const QStringList &linkSettings, const QByteArray &tag)
{
    m_driver.close();
    m_dir = std::make_unique<QTemporaryDir>();
    AppDirectory::setPath(m_dir->path());
    Singleton_SerialPort *link = Singleton_SerialPort::instance();
    link->setLinkSettings(linkSettings);
    link->setReconnects(true);
    link->postKeptTag(tag, false);
    writeSettings(1);
    QVERIFY(m_driver.open());
    m_driver.messages.clear();
    m_driver.verified.clear();
    m_driver.offered.clear();
}

int MainWindowCase::windowsIn(const QByteArray &view)
{
    MyGraphicsView canvas;
    QDataStream in(view);
    return view.isEmpty() || !canvas.fileOpen(in) ? 0 : canvas.model().count();
}

QStringList MainWindowCase::rowsOf(const MyNavTree *tree)
{
    QStringList rows;
    for (int r = 0; r < tree->model()->rowCount(); ++r)
        rows << tree->model()->index(r, 0).data().toString();
    return rows;
}

QString MainWindowCase::markOf(int preset) const
{
    return m_driver.presetButton(preset)->toolTip().section(QLatin1Char('\n'), -1);
}
