#include "operatoractions.h"

#include "backupsources.h"
#include "dataactions.h"
#include "linkfeedback.h"
#include "offairactions.h"
#include "presetstore.h"

#include <form_model.h>
#include <messagecode.h>
#include <mygraphicsview.h>
#include <presetcheck.h>
#include <singleton_serialport.h>
#include <wallfile.h>

#include <QDataStream>
#include <QMetaEnum>
#include <QTimer>

#include <utility>

OperatorActions::OperatorActions(Singleton_SerialPort *link, PresetStore *presets, DataActions *data,
                                 OffAirActions *offAir, LinkFeedback *feedback, Form_Model *bar,
                                 MyGraphicsView *canvas, QObject *parent)
    : RemoteActions(parent)
    , m_link(link)
    , m_presets(presets)
    , m_data(data)
    , m_offAir(offAir)
    , m_feedback(feedback)
    , m_bar(bar)
    , m_canvas(canvas)
{
    using L = Singleton_SerialPort;
    connect(presets, &PresetStore::recalled, this, [this](int preset) {
        m_recalls.append({preset, m_choosing});
        emit recallPosted(preset, m_choosing);
    });
    connect(link, &L::send_explain_end, this, [this](int code) {
        using namespace Message;
        m_failedOnTheWay = m_failedOnTheWay || code == NotConnected || code == SendFailed || code == SendTimeout
            || code == NetworkUnconfirmed;
    });
    connect(feedback, &LinkFeedback::waitPagesClosed, this, &OperatorActions::linkSettled);
    connect(feedback, &LinkFeedback::waitPagesGone, this, &OperatorActions::idle);
    connect(data, &DataActions::weighed, this, &OperatorActions::idle);
    // Every step of the link (connecting, reading, ready, lost) is told, so
    // that a client sees a link that came back only once it is read.
    connect(link->state(), &LinkStateModel::stateChanged, this, [this] { emit linkChanged(linked()); });
    connect(link, &L::repalceInCardMes, this, &OperatorActions::inputsChanged);
    connect(data, &DataActions::checked, this, &OperatorActions::checked);
    presets->marks().onChange([this] { markChanged(); });
}

bool OperatorActions::linked() const
{
    return m_link->isConnected();
}

bool OperatorActions::busy()
{
    return m_feedback->waitPageOpen() || m_data->isWeighing() || m_link->queuedFrames() > 0;
}

// The preset on the wall, whichever the canvas shows.
int OperatorActions::currentPreset() const
{
    return m_presets->onAir();
}

RemoteActions::Status OperatorActions::status()
{
    Status status;
    status.linked = linked();
    status.transport = m_link->dm_linkType == 0 ? QStringLiteral("tcp") : QStringLiteral("serial");
    status.state = QString::fromLatin1(QMetaEnum::fromType<LinkStateModel::State>().valueToKey(
                                           int(m_link->state()->state())))
                       .toLower();
    status.preset = currentPreset();
    status.busy = busy();
    return status;
}

QList<RemoteActions::Preset> OperatorActions::presets() const
{
    static const char *const Marks[] = {"unknown", "confirmed", "changed", "differs"};
    QList<Preset> presets;
    const QStringList names = m_link->dm_data.modelNameList();
    for (int m = 0; m < DeviceData::Presets; ++m)
        presets.append({names.value(m), QLatin1String(Marks[m_presets->marks().state(m)])});
    return presets;
}

QList<RemoteActions::Window> OperatorActions::windows(int preset) const
{
    WallModel stored;
    const WallModel *model = &m_canvas->model();
    if (preset != m_presets->shown()) {
        stored.setGrid(model->grid());
        QDataStream in(m_link->dm_data.modelView[size_t(preset)]);
        if (!WallFile::read(in, &stored))
            stored.clear();
        model = &stored;
    }
    QList<Window> windows;
    const QList<int> &layers = model->layers();
    for (int layer = 0; layer < layers.size(); ++layer) {
        const WallWindow &w = model->window(layers.at(layer));
        windows.append({w.id, w.channel, layer, w.rect, w.source});
    }
    return windows;
}

QList<RemoteActions::Input> OperatorActions::inputs() const
{
    const DeviceData &record = m_link->dm_data;
    const QList<int> present = signalsPresent();
    QList<Input> inputs;
    for (int k = 0; k < DeviceData::InCardEntries; ++k) {
        const InCardEntry &e = record.inCards[size_t(k)];
        if (!e.present)
            continue;
        QList<int> codes{DeviceData::channelCode(e.cardType, e.cardId)};
        if (e.cardType != 0)
            codes << DeviceData::channelCode(e.cardType, e.cardId, 1);
        for (int code : std::as_const(codes))
            inputs.append({code, k, record.inCardName(code), DeviceData::channelName(code), present.contains(code)});
    }
    return inputs;
}

RemoteActions::Outcome OperatorActions::recall(int preset, Origin origin)
{
    const Outcome outcome = postRecall(preset, origin);
    if (outcome == Done)
        followRecall(preset, origin);
    return outcome;
}

// The operator's own choice while working off air only opens the preset,
// which followRecall does.
bool OperatorActions::editsOnly(Origin origin) const
{
    return origin == ByOperator && (m_offAir->isBlind() || m_offAir->isOffline());
}

RemoteActions::Outcome OperatorActions::postRecall(int preset, Origin origin)
{
    const bool blind = origin != ByOperator && m_offAir->isBlind();
    if (blind && preset == m_presets->shown() && preset != currentPreset())
        return EditedBlind;
    if (editsOnly(origin))
        return Done;
    m_choosing = origin;
    m_remotePending = m_remotePending || origin == ByRemote;
    m_presets->recall(preset);
    m_choosing = ByOperator;
    return Done;
}

// A recall asked by others while the operator edits blind leaves the
// canvas alone.
void OperatorActions::followRecall(int preset, Origin origin)
{
    if (editsOnly(origin))
        m_bar->setSelIndex(preset);
    else if (origin == ByOperator || !m_offAir->isBlind())
        m_presets->showRecalled(preset);
}

RemoteActions::Outcome OperatorActions::step(int by, Origin origin)
{
    const int presets = DeviceData::Presets;
    return recall(((currentPreset() + by) % presets + presets) % presets, origin);
}

// Checked here as the canvas would refuse it, so that a caller hears why.
OperatorActions::Outcome OperatorActions::setSource(int window, int input, Origin origin)
{
    if (m_presets->shown() < 0)
        return NoPresetShown;
    if (origin == ByRemote && m_offAir->isBlind())
        return EditedBlind;
    if (!m_canvas->model().contains(window))
        return NoSuchWindow;
    if (!m_link->dm_data.channelList().contains(input))
        return NoSuchInput;
    if (m_canvas->isLocked())
        return CanvasLocked;
    m_remotePending = m_remotePending || origin == ByRemote;
    m_canvas->setInCard(window, input);
    return Done;
}

void OperatorActions::verifyQuietly(Origin origin)
{
    m_remotePending = m_remotePending || origin == ByRemote;
    m_data->verifyQuietly();
}

RemoteActions::Outcome OperatorActions::returnToMain(int window, Origin origin)
{
    Q_UNUSED(origin)
    return m_backups && m_backups->returnToMain(window) ? Done : NoSuchWindow;
}

void OperatorActions::setBackups(BackupSources *backups)
{
    m_backups = backups;
    connect(backups, &BackupSources::switched, this, [this](const BackupSwitcher::Switch &change) {
        static const char *const Reasons[] = {"lost", "returned", "operator", "returned"};
        emit sourceSwitched(change.preset, change.window, change.from, change.to,
                            QLatin1String(Reasons[int(change.reason)]));
    });
}

void OperatorActions::checked(const PresetCheck *check)
{
    Verify result;
    if (check) {
        result.read = true;
        result.wallSame = check->wallSame();
        result.currentSame = check->currentSame();
        result.differingPresets = check->differingPresets();
        for (const PresetCheck::EntryDifference &entry : check->entries())
            result.differingEntries << entry.entry;
    }
    emit verified(result);
}

void OperatorActions::presetChosen(int preset)
{
    const bool offAir = m_offAir->isBlind() || m_offAir->isOffline();
    if (!offAir || !m_presets->recalls()) {
        m_presets->show(preset);
    } else if (!m_offAir->open(preset)) {
        emit onAirRefused();
        return;
    }
    emit presetShown(preset);
}

// The queue ran empty: every recall posted before has been answered,
// unless a request failed on the way.
void OperatorActions::linkSettled()
{
    const bool failed = std::exchange(m_failedOnTheWay, false) || !m_link->isConnected();
    const QList<Recall> recalls = std::exchange(m_recalls, {});
    m_remotePending = false;
    if (!failed) {
        for (const Recall &recall : recalls)
            emit presetRecalled(recall.preset, recall.origin);
    }
    emit settled(failed);
}

void OperatorActions::inputsChanged()
{
    const QList<int> present = signalsPresent();
    if (present == m_signals)
        return;
    m_signals = present;
    emit signalsChanged();
}

QList<int> OperatorActions::signalsPresent() const
{
    const DeviceData &record = m_link->dm_data;
    QList<int> present;
    for (const InCardEntry &e : record.inCards) {
        if (!e.present)
            continue;
        if (e.sigFlagA == 1)
            present << DeviceData::channelCode(e.cardType, e.cardId);
        if (e.cardType != 0 && e.sigFlagB == 1)
            present << DeviceData::channelCode(e.cardType, e.cardId, 1);
    }
    return present;
}

// Marks change several at a time: one report for them.
void OperatorActions::markChanged()
{
    if (std::exchange(m_marksDue, true))
        return;
    QTimer::singleShot(0, this, [this] {
        m_marksDue = false;
        emit marksChanged();
    });
}
