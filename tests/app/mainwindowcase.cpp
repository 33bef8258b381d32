#include "mainwindowcase.h"

#include <appdirectory.h>
#include <linksettings.h>
#include <mygraphicsview.h>
#include <mynavtree.h>
#include <preset.h>
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
    m_driver.verifyChoices.clear();
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

Preset MainWindowCase::presetOf(const QList<QRect> &rects)
{
    MyGraphicsView canvas;
    const int widths[] = {1920, 1920};
    const int heights[] = {1080, 1080};
    canvas.initData(widths, heights, 2, 2);
    std::array<int, 64> noLayers;
    noLayers.fill(0xFF);
    canvas.Add_Win_layer(noLayers.data(), rects.size());
    for (int w = 0; w < rects.size(); ++w)
        canvas.Add_Rect(w, rects.at(w), QRect(0, 0, 1920, 1080), w + 1, noLayers.data(), 0);
    canvas.Add_End();
    Preset preset;
    const QByteArray all = canvas.getAllData();
    preset.windows = all.left(Preset::WindowsSize);
    preset.layers = all.mid(Preset::WindowsSize);
    preset.sources = canvas.getInData();
    preset.channels = canvas.getChData();
    return preset;
}
