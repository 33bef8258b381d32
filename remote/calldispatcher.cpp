#include "calldispatcher.h"

#include "remotelog.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

QJsonObject rectJson(const QRect &rect)
{
    return {{QStringLiteral("x"), rect.x()},
            {QStringLiteral("y"), rect.y()},
            {QStringLiteral("width"), rect.width()},
            {QStringLiteral("height"), rect.height()}};
}

QJsonArray numbersFromOne(const QList<int> &numbers)
{
    QJsonArray array;
    for (int n : numbers)
        array.append(n + 1);
    return array;
}

QString refusal(RemoteActions::Outcome outcome)
{
    switch (outcome) {
    case RemoteActions::NoPresetShown:
        return QStringLiteral("no preset is shown");
    case RemoteActions::NoSuchWindow:
        return QStringLiteral("the current preset has no such window");
    case RemoteActions::NoSuchInput:
        return QStringLiteral("no such input is fitted");
    case RemoteActions::CanvasLocked:
        return QStringLiteral("the operator has locked the windows");
    case RemoteActions::EditedBlind:
        return QStringLiteral("the operator is editing that preset blind: it is not on air");
    case RemoteActions::Done:
        break;
    }
    return QString();
}

} // namespace

CallDispatcher::CallDispatcher(RemoteActions *actions, QObject *parent)
    : QObject(parent)
    , m_actions(actions)
{
    connect(actions, &RemoteActions::settled, this, &CallDispatcher::settled);
    connect(actions, &RemoteActions::verified, this, &CallDispatcher::verified);
    connect(actions, &RemoteActions::idle, this, &CallDispatcher::drain);
}

void CallDispatcher::submit(const RemoteCall &call, const Answer &answer, QObject *caller)
{
    if (!call.needsLink() || (!m_running && m_queue.isEmpty() && !m_actions->busy())) {
        run({call, answer, caller, QJsonValue()});
        return;
    }
    if (m_queue.size() >= MaxQueued) {
        qCDebug(lcRemote) << "a call answered busy";
        answer(RemoteAnswer::failed(RemoteError::Busy, QStringLiteral("busy: 16 requests are waiting already")));
        return;
    }
    // By the time destroyed() comes the pointers to it are null already.
    connect(caller, &QObject::destroyed, this, &CallDispatcher::forget, Qt::UniqueConnection);
    m_queue.append({call, answer, caller, QJsonValue()});
}

void CallDispatcher::forget(QObject *caller)
{
    const auto gone = std::remove_if(m_queue.begin(), m_queue.end(), [caller](const Pending &pending) {
        return !pending.caller || pending.caller == caller;
    });
    const int dropped = int(std::distance(gone, m_queue.end()));
    m_queue.erase(gone, m_queue.end());
    if (dropped > 0)
        qCDebug(lcRemote) << dropped << "calls dropped: their client has gone";
}

namespace {

// The actions know whose call runs while it runs.
class CallerScope
{
public:
    CallerScope(RemoteActions *actions, const QString &caller)
        : m_actions(actions)
    {
        m_actions->setCaller(caller);
    }
    ~CallerScope() { m_actions->setCaller(QString()); }
    CallerScope(const CallerScope &) = delete;
    CallerScope &operator=(const CallerScope &) = delete;

private:
    RemoteActions *m_actions;
};

} // namespace

void CallDispatcher::run(const Pending &pending)
{
    const RemoteCall &call = pending.call;
    const CallerScope scope(m_actions, call.client);
    if (call.needsLink() && !m_actions->linked()) {
        pending.answer(RemoteAnswer::failed(RemoteError::NotLinked, QStringLiteral("not linked to the processor")));
        return;
    }
    QJsonValue result;
    switch (call.method) {
    case RemoteCall::Status:
        result = statusJson();
        break;
    case RemoteCall::PresetsList:
        result = marksJson();
        break;
    case RemoteCall::PresetWindows: {
        QJsonArray windows;
        const QList<RemoteActions::Window> list = m_actions->windows(call.preset);
        for (const RemoteActions::Window &w : list) {
            windows.append(QJsonObject{{QStringLiteral("window"), w.window + 1},
                                       {QStringLiteral("input"), w.input},
                                       {QStringLiteral("layer"), w.layer},
                                       {QStringLiteral("rect"), rectJson(w.rect)},
                                       {QStringLiteral("source"), rectJson(w.source)}});
        }
        result = QJsonObject{{QStringLiteral("preset"), call.preset + 1}, {QStringLiteral("windows"), windows}};
        break;
    }
    case RemoteCall::InputsList:
        result = inputsJson();
        break;
    case RemoteCall::Subscribe:
        result = QJsonObject{{QStringLiteral("topics"), QJsonArray::fromStringList(call.topics)}};
        break;
    case RemoteCall::Recall: {
        // The result names the preset the recall made current.
        const RemoteActions::Outcome outcome = m_actions->recall(call.preset, RemoteActions::ByRemote);
        awaitDevice(pending, outcome, presetResult());
        return;
    }
    case RemoteCall::Next:
    case RemoteCall::Previous: {
        const RemoteActions::Outcome outcome =
            m_actions->step(call.method == RemoteCall::Next ? 1 : -1, RemoteActions::ByRemote);
        awaitDevice(pending, outcome, presetResult());
        return;
    }
    case RemoteCall::SetSource: {
        const RemoteActions::Outcome outcome = m_actions->setSource(call.window, call.input, RemoteActions::ByRemote);
        awaitDevice(pending, outcome,
                    QJsonObject{{QStringLiteral("window"), call.window + 1}, {QStringLiteral("input"), call.input}});
        return;
    }
    case RemoteCall::Verify:
        m_running = pending;
        m_actions->verifyQuietly(RemoteActions::ByRemote);
        return;
    case RemoteCall::ProcessorsList:
    case RemoteCall::LooksList:
    case RemoteCall::LookRecall:
    case RemoteCall::LookStore:
    case RemoteCall::SequencesList:
    case RemoteCall::SequenceStore:
    case RemoteCall::SequenceStart:
    case RemoteCall::SequencePause:
    case RemoteCall::SequenceResume:
    case RemoteCall::SequenceStop:
    case RemoteCall::JournalQuery:
        // The station's: StationDispatcher answers them.
        pending.answer(RemoteAnswer::failed(RemoteError::MethodNotFound, QStringLiteral("not a processor's method")));
        return;
    }
    pending.answer({result, 0, QString()});
}

// The device is asked when the action posted something; a change the
// device holds already sends nothing. An action refused is answered why.
void CallDispatcher::awaitDevice(Pending pending, RemoteActions::Outcome outcome, const QJsonValue &result)
{
    if (outcome != RemoteActions::Done) {
        const int code = outcome == RemoteActions::NoSuchWindow || outcome == RemoteActions::NoSuchInput
            ? RemoteError::InvalidParams
            : RemoteError::Refused;
        pending.answer(RemoteAnswer::failed(code, refusal(outcome)));
        return;
    }
    if (!m_actions->busy()) {
        pending.answer({result, 0, QString()});
        return;
    }
    pending.result = result;
    m_running = pending;
}

void CallDispatcher::settled(bool failed)
{
    if (!m_running || m_running->call.method == RemoteCall::Verify)
        return;
    const Pending done = *std::exchange(m_running, std::nullopt);
    if (failed)
        done.answer(RemoteAnswer::failed(RemoteError::DeviceError, QStringLiteral("the processor did not confirm the request")));
    else
        done.answer({done.result, 0, QString()});
    QTimer::singleShot(0, this, &CallDispatcher::drain);
}

void CallDispatcher::verified(const RemoteActions::Verify &result)
{
    if (!m_running || m_running->call.method != RemoteCall::Verify)
        return;
    const Pending done = *std::exchange(m_running, std::nullopt);
    if (!result.read) {
        done.answer(RemoteAnswer::failed(RemoteError::DeviceError, QStringLiteral("the processor could not be read")));
    } else {
        const bool same = result.wallSame && result.currentSame && result.differingPresets.isEmpty()
            && result.differingEntries.isEmpty();
        done.answer({QJsonObject{{QStringLiteral("same"), same},
                                 {QStringLiteral("wallSame"), result.wallSame},
                                 {QStringLiteral("currentSame"), result.currentSame},
                                 {QStringLiteral("differingPresets"), numbersFromOne(result.differingPresets)},
                                 {QStringLiteral("differingSlots"), numbersFromOne(result.differingEntries)}},
                     0, QString()});
    }
    QTimer::singleShot(0, this, &CallDispatcher::drain);
}

void CallDispatcher::drain()
{
    while (!m_running && !m_queue.isEmpty() && !m_actions->busy())
        run(m_queue.takeFirst());
}

QJsonValue CallDispatcher::presetResult() const
{
    return QJsonObject{{QStringLiteral("preset"), m_actions->status().preset + 1}};
}

QJsonValue CallDispatcher::statusJson() const
{
    const RemoteActions::Status status = m_actions->status();
    return QJsonObject{{QStringLiteral("linked"), status.linked},
                       {QStringLiteral("transport"), status.transport},
                       {QStringLiteral("preset"), status.preset + 1},
                       {QStringLiteral("busy"), status.busy || m_running.has_value() || !m_queue.isEmpty()}};
}

QJsonValue CallDispatcher::marksJson() const
{
    QJsonArray presets;
    const QList<RemoteActions::Preset> list = m_actions->presets();
    for (int m = 0; m < list.size(); ++m) {
        presets.append(QJsonObject{{QStringLiteral("preset"), m + 1},
                                   {QStringLiteral("name"), list.at(m).name},
                                   {QStringLiteral("mark"), list.at(m).mark}});
    }
    return presets;
}

QJsonValue CallDispatcher::inputsJson() const
{
    QJsonArray inputs;
    const QList<RemoteActions::Input> list = m_actions->inputs();
    for (const RemoteActions::Input &input : list) {
        inputs.append(QJsonObject{{QStringLiteral("input"), input.input},
                                  {QStringLiteral("slot"), input.slot + 1},
                                  {QStringLiteral("name"), input.name},
                                  {QStringLiteral("label"), input.label},
                                  {QStringLiteral("signal"), input.signal}});
    }
    return inputs;
}
