#include "presetstore.h"

#include "applog.h"
#include "onairmodel.h"
#include "takepreset.h"

#include <bilingual.h>
#include <datafile.h>
#include <bilingualcommand.h>
#include <commandtype.h>
#include <form_model.h>
#include <mygraphicsview.h>
#include <presetblocks.h>
#include <presetcheck.h>
#include <presetreadsfile.h>
#include <settingsfile.h>
#include <singleton_serialport.h>
#include <wallfile.h>

#include <QDataStream>
#include <QUndoStack>

#include <utility>

namespace {

// Any non-empty name selects the data file beside the settings.
const QString DataFileName = QStringLiteral("default");

QList<LinkRequest::Preset> presetsOf(const PresetBlocks &blocks, const QList<int> &presets)
{
    QList<LinkRequest::Preset> written;
    for (int m : presets)
        written.append({m, blocks.windows.at(m), blocks.sources.at(m), blocks.channels.at(m)});
    return written;
}

} // namespace

PresetStore::PresetStore(MyGraphicsView *canvas, Form_Model *bar, Singleton_SerialPort *link, OnAirModel *air,
                         QObject *parent)
    : QObject(parent)
    , m_canvas(canvas)
    , m_bar(bar)
    , m_link(link)
    , m_air(air)
    , m_marks(bar)
{
    for (QUndoStack *&stack : m_stacks)
        stack = new QUndoStack(&m_history);
    // A write changes the device's blocks: what was read of the preset is
    // no longer what either side holds.
    // The record keeps the preset the device confirmed for the data file.
    connect(link, &Singleton_SerialPort::presetRecalled, this, [this](int preset, bool confirmed) {
        if (confirmed)
            m_link->dm_data.curModel = preset;
        if (m_link->isConnected())
            m_air->setRecallEnded(preset, confirmed);
        emit onAirChanged(m_air->onAir());
    });
    connect(link, &Singleton_SerialPort::presetWritten, this, [this](int preset, int outcome) {
        m_marks.written(preset, outcome);
        if (outcome == Singleton_SerialPort::WholePresetConfirmed)
            m_unshown[size_t(preset)] = 0;
        m_link->dm_data.presetsAsRead[size_t(preset)].reset();
    });
    // An edit the device was not told of is the host's alone: what a read
    // found is no longer what the host holds.
    connect(canvas, &MyGraphicsView::keptHere, this, [this] {
        if (m_shown < 0)
            return;
        m_marks.set(m_shown, PresetMarks::ChangedHere);
        m_link->dm_data.presetsAsRead[size_t(m_shown)].reset();
    });
}

int PresetStore::onAir() const
{
    return m_air->wallPreset();
}

// Every step of the histories is named in both languages; the stacks lend
// them read-only, and their name is all that changes.
void PresetStore::setLanguage(bool english)
{
    m_marks.setLanguage(english);
    const Bilingual text(english);
    for (const QUndoStack *stack : m_stacks) {
        for (int i = 0; i < stack->count(); ++i)
            const_cast<BilingualCommand *>(static_cast<const BilingualCommand *>(stack->command(i)))->setLanguage(text);
    }
}

void PresetStore::store()
{
    if (m_shown >= 0)
        m_link->dm_data.modelView[size_t(m_shown)] = WallFile::bytes(m_canvas->model());
}

void PresetStore::open(int n)
{
    m_canvas->setDisSend();
    store();
    if (n >= 0 && n < PresetMarks::Presets) {
        m_shown = n;
        load(n);
        m_bar->setShown(n);
        m_air->setShown(n);
    }
    m_canvas->setSend();
    emit opened(m_shown);
}

void PresetStore::recall(int n)
{
    recallAfter({}, n);
}

// Nudges still waiting go first, to the preset they were made on.
void PresetStore::recallAfter(const QList<LinkRequest> &writes, int n)
{
    if (n < 0 || n >= PresetMarks::Presets)
        return;
    m_canvas->setDisSend();
    postRecall(n, writes);
    m_canvas->setSend();
    emit recalled(n);
    emit onAirChanged(n);
}

// Without a link the worker reports the failure; nothing goes on air.
void PresetStore::postRecall(int n, const QList<LinkRequest> &writes)
{
    if (m_link->isConnected())
        m_air->setRecallAsked(n);
    m_link->send(writes + QList<LinkRequest>{LinkRequest::recall(n)},
                 writes.isEmpty() ? Command::ShortWait : Command::WriteAllWait);
}

void PresetStore::show(int n)
{
    if (m_recall)
        recall(n);
    open(n);
}

void PresetStore::setOnAir(int n)
{
    m_link->dm_data.curModel = n;
    if (m_link->isConnected())
        m_air->setLinked(n);
    emit onAirChanged(n);
}

void PresetStore::deviceShows(int n)
{
    if (m_link->isConnected())
        m_air->setLinked(n);
    emit onAirChanged(m_air->onAir());
}

// One batch under one wait page: the recall is queued behind the write
// before either goes out, so a write the link loses takes the recall with
// it.
bool PresetStore::take(int n)
{
    store();
    PresetBlocks blocks;
    if (!blocks.build(m_link->dm_data, {n}))
        return false;
    recallAfter({LinkRequest::writePresets(presetsOf(blocks, {n}))}, n);
    return true;
}

// A stored preset the canvas cannot read shows empty.
void PresetStore::load(int n)
{
    const QByteArray &view = m_link->dm_data.modelView[size_t(n)];
    QDataStream in(view);
    if (view.isEmpty())
        m_canvas->ClearAllData();
    else if (!m_canvas->fileOpen(in))
        qCWarning(lcApp) << "stored preset could not be read; showing it empty";
    QUndoStack *stack = m_stacks[size_t(n)];
    m_history.setActiveStack(stack);
    m_canvas->setUndoStack(stack);
}

void PresetStore::showRecalled(int n)
{
    m_recall = false;
    m_bar->setSelIndex(n);
    m_recall = true;
}

void PresetStore::showDevicePreset()
{
    m_shown = -1;
    m_air->setShown(-1);
    const int current = m_link->dm_data.curModel;
    if (m_link->isConnected())
        m_air->setLinked(current);
    showRecalled(current);
    emit onAirChanged(current);
}

void PresetStore::showGrid()
{
    const DeviceData &record = m_link->dm_data;
    m_canvas->initData(record.colWidths.data(), record.rowHeights.data(), record.rows(), record.cols());
}

// On the model alone, as the canvas would rebuild them; only the preset
// shown then goes through the canvas.
void PresetStore::rebuildFromDevice()
{
    DeviceData &record = m_link->dm_data;
    m_canvas->setDisSend();
    for (size_t m = 0; m < DeviceData::Presets; ++m) {
        record.modelView[m] = WallFile::bytes(PresetCheck::devicePreset(record, int(m)));
        record.presetsAsRead[m] = record.presetRead(int(m));
        m_unshown[m] = PresetCheck::unshownWindows(record, int(m));
    }
    m_marks.setAll(PresetMarks::Confirmed);
    forgetHistories();
    showDevicePreset();
    m_canvas->setSend();
}

void PresetStore::takeDeviceCopy()
{
    DeviceData &record = m_link->dm_data;
    const DeviceData &device = m_link->dm_deviceCopy;
    record.colWidths = device.colWidths;
    record.rowHeights = device.rowHeights;
    record.outMode2 = device.outMode2;
    record.outResolution = device.outResolution;
    record.setResolution(device.outResolution);
    record.curModel = device.curModel;
    record.modelWins = device.modelWins;
    record.modelLayer = device.modelLayer;
    record.modelWinCount = device.modelWinCount;
    showGrid();
    rebuildFromDevice();
}

void PresetStore::takePresets(const QList<int> &presets)
{
    store();
    const DeviceData &device = m_link->dm_deviceCopy;
    for (int m : presets) {
        const Held devices{WallFile::bytes(PresetCheck::devicePreset(device, m)), device.presetRead(m)};
        m_stacks[size_t(m)]->push(new TakePreset(this, m, held(m), devices, m_canvas->text()));
        m_unshown[size_t(m)] = PresetCheck::unshownWindows(device, m);
    }
}

void PresetStore::takeCurrent()
{
    store();
    setOnAir(m_link->dm_deviceCopy.curModel);
    showDevicePreset();
}

PresetStore::Held PresetStore::held(int preset) const
{
    const DeviceData &record = m_link->dm_data;
    return {record.modelView[size_t(preset)], record.presetsAsRead[size_t(preset)]};
}

void PresetStore::hold(int preset, const Held &held, PresetMarks::State mark)
{
    DeviceData &record = m_link->dm_data;
    record.modelView[size_t(preset)] = held.view;
    record.presetsAsRead[size_t(preset)] = held.asRead;
    m_marks.set(preset, mark);
    if (preset != m_shown)
        return;
    m_canvas->setDisSend();
    load(preset);
    m_canvas->setSend();
    emit shownReloaded();
}

void PresetStore::emptyAll()
{
    DeviceData &record = m_link->dm_data;
    setOnAir(0);
    record.clearModelViews();
    record.presetsAsRead = {};
    m_unshown = {};
    m_canvas->ClearAllData();
    m_marks.setAll(PresetMarks::Confirmed);
    forgetHistories();
}

void PresetStore::takenFromFile()
{
    DeviceData &record = m_link->dm_data;
    record.presetsAsRead = PresetReadsFile::read(PresetReadsFile::pathBeside(record.configPath), record);
    m_marks.setAll(PresetMarks::Unknown);
    const QString settings = record.settingsPath;
    for (int preset : SettingsFile::differingPresets(settings))
        m_marks.set(preset, PresetMarks::DiffersOnDevice);
    for (int preset : SettingsFile::changedPresets(settings))
        m_marks.set(preset, PresetMarks::ChangedHere);
    forgetHistories();
}

bool PresetStore::loadDataFile()
{
    DeviceData &record = m_link->dm_data;
    DeviceData before = record;
    if (record.openFile(DataFileName) != DataFile::Done) {
        record = before;
        return false;
    }
    showGrid();
    takenFromFile();
    return true;
}

// The reads and the marks go with the file, so that what it holds of the
// operator's and not of the device, and what a verify compares, are still
// known after a restart. Every change of the link saves: a file that keeps
// failing is said once, until a save succeeds again.
bool PresetStore::saveDataFile()
{
    store();
    DeviceData &record = m_link->dm_data;
    if (m_air->onAir() >= 0)
        record.curModel = m_air->onAir();
    const bool saved = record.saveFile(DataFileName) == DataFile::Done
        && PresetReadsFile::write(PresetReadsFile::pathBeside(record.configPath), record)
        && SettingsFile::writePresetMarks(record.settingsPath, m_marks.changedHere(),
                                          m_marks.marked(PresetMarks::DiffersOnDevice));
    if (!std::exchange(m_saveFailing, !saved) && !saved)
        emit notSaved();
    return saved;
}

void PresetStore::forgetHistories()
{
    for (QUndoStack *stack : m_stacks)
        stack->clear();
}

// Sends nothing when a stored preset cannot be read, as the device would
// otherwise take it for an empty one.
bool PresetStore::writeAll()
{
    const DeviceData &record = m_link->dm_data;
    PresetBlocks blocks;
    if (record.curModel < 0 || record.curModel >= DeviceData::Presets || !blocks.build(record)) {
        qCWarning(lcApp) << "the data set cannot be sent whole; nothing sent";
        return false;
    }
    m_shown = -1;
    m_air->setShown(-1);
    m_history.setActiveStack(nullptr);
    m_canvas->setUndoStack(nullptr);
    forgetHistories();
    QList<int> all;
    for (int m = 0; m < blocks.windows.size(); ++m)
        all << m;
    postRecall(record.curModel, {LinkRequest::writeWall(FrameBuilder::wallOf(record)),
                                 LinkRequest::writePresets(presetsOf(blocks, all))});
    return true;
}

bool PresetStore::writePresets(const QList<int> &presets, bool recall)
{
    PresetBlocks blocks;
    if (!presets.isEmpty() && !blocks.build(m_link->dm_data, presets))
        return false;
    QList<LinkRequest> writes;
    if (!presets.isEmpty())
        writes << LinkRequest::writePresets(presetsOf(blocks, presets));
    if (recall)
        postRecall(m_link->dm_data.curModel, writes);
    else if (!writes.isEmpty())
        m_link->send(writes.constFirst());
    return true;
}
