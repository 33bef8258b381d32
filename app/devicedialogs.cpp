#include "devicedialogs.h"

#include "runmodal.h"

#include <dialog_comset.h>
#include <dialog_singles.h>
#include <dialog_test.h>
#include <dialog_trimdata.h>
#include <form_incardset.h>
#include <ledsplice.h>
#include <mygraphicsview.h>
#include <singleton_serialport.h>
#include <trimming.h>

DeviceDialogs::DeviceDialogs(Singleton_SerialPort *link, MyGraphicsView *canvas, QWidget *window)
    : QObject(window)
    , m_link(link)
    , m_canvas(canvas)
    , m_window(window)
{
}

void DeviceDialogs::openComSet()
{
    auto *dialog = new Dialog_ComSet(m_link, m_english, m_window);
    connect(m_link, &Singleton_SerialPort::repalceConnect, dialog, &Dialog_ComSet::initPage);
    runModal(dialog);
}

// The dialog listens before the read goes out: over a fast link the
// versions can be in before the next line of this function runs. Without
// a link the read is posted all the same, for the link to say so.
void DeviceDialogs::openComTest()
{
    if (!m_link->isConnected()) {
        m_link->send(LinkRequest::readVersions());
        return;
    }
    auto *dialog = new Dialog_Test(m_link, m_english, m_window);
    connect(m_link, &Singleton_SerialPort::repalceVersion, dialog, &Dialog_Test::InitPage);
    m_link->send(LinkRequest::readVersions());
    runModal(dialog);
}

void DeviceDialogs::openLedMosaic()
{
    if (!m_link->isConnected())
        return;
    auto *dialog = new LEDsplice(m_link, m_english, m_window);
    connect(dialog, &LEDsplice::sendSignal, this, &DeviceDialogs::wallWriteAsked);
    runModal(dialog);
}

void DeviceDialogs::openInputSingle()
{
    if (!m_link->isConnected())
        return;
    auto *dialog = new Dialog_Singles(m_link, m_english, m_window);
    connect(dialog, &Dialog_Singles::chargeSingle, this, &DeviceDialogs::sourcesChanged);
    runModal(dialog);
}

void DeviceDialogs::openInputSettings(int card)
{
    runModal(new Form_InCardSet(m_link, card, m_english, m_window));
}

void DeviceDialogs::openTrimming(int win)
{
    auto *dialog = new Trimming(m_english, m_window);
    const QList<int> table = m_canvas->getItemRect(win);
    connect(dialog, &Trimming::endTrim, m_canvas, &MyGraphicsView::setTrim);
    const DeviceData &record = m_link->dm_data;
    dialog->initTrim(win, table, record.outWidth, record.outHeight);
    runModal(dialog);
}

void DeviceDialogs::openTrimData(const QList<int> &values)
{
    auto *dialog = new Dialog_trimdata(m_english, m_window);
    connect(dialog, &Dialog_trimdata::setInRect, m_canvas, &MyGraphicsView::setTrimInRect);
    connect(dialog, &Dialog_trimdata::setOutRect, m_canvas, &MyGraphicsView::setTrimOutRect);
    dialog->setData(values);
    runModal(dialog);
}
