#include "onairmodel.h"

#include "applog.h"

#include <devicelimits.h>

namespace {

constexpr int Presets = Limits::Presets;

bool isPreset(int preset)
{
    return preset >= 0 && preset < Presets;
}

} // namespace

bool OnAirModel::State::operator==(const State &other) const
{
    return air == other.air && onAir == other.onAir && pending == other.pending && shown == other.shown
        && mode == other.mode;
}

bool OnAirModel::State::isValid() const
{
    const bool airRight = (air == Air::Known) == isPreset(onAir) || air == Air::Pending;
    const bool pendingRight = (air == Air::Pending) == isPreset(pending);
    const bool offlineRight = mode != Mode::Offline || air == Air::Unknown;
    return airRight && pendingRight && offlineRight && (shown == -1 || isPreset(shown));
}

OnAirModel::OnAirModel(QObject *parent)
    : QObject(parent)
{
}

int OnAirModel::wallPreset() const
{
    return m_state.air == Air::Pending ? m_state.pending : onAir();
}

bool OnAirModel::editsReachWall() const
{
    return m_state.mode == Mode::Live && m_state.shown >= 0 && m_state.shown == wallPreset();
}

// Blind survives a new read of the device: the operator still prepares
// off air.
std::optional<OnAirModel::State> OnAirModel::linked(State from, int onAir)
{
    if (!isPreset(onAir))
        return std::nullopt;
    State to = from;
    to.air = Air::Known;
    to.onAir = onAir;
    to.pending = -1;
    if (to.mode == Mode::Offline)
        to.mode = Mode::Live;
    return to;
}

// Blind needs a link to take to: without one the work goes on offline.
std::optional<OnAirModel::State> OnAirModel::unlinked(State from)
{
    State to = from;
    to.air = Air::Unknown;
    to.onAir = -1;
    to.pending = -1;
    if (to.mode == Mode::Blind)
        to.mode = Mode::Offline;
    return to;
}

std::optional<OnAirModel::State> OnAirModel::recallAsked(State from, int preset)
{
    if (!isPreset(preset) || from.mode == Mode::Offline)
        return std::nullopt;
    State to = from;
    if (from.air == Air::Known)
        to.onAir = from.onAir;
    to.air = Air::Pending;
    to.pending = preset;
    return to;
}

// A later recall of another preset supersedes one ending now; its end
// changes nothing.
std::optional<OnAirModel::State> OnAirModel::recallEnded(State from, int preset, bool confirmed)
{
    if (!isPreset(preset) || from.mode == Mode::Offline)
        return std::nullopt;
    if (from.air != Air::Pending || from.pending != preset)
        return confirmed && from.air != Air::Pending ? linked(from, preset) : from;
    State to = from;
    to.pending = -1;
    to.air = confirmed ? Air::Known : Air::Unknown;
    to.onAir = confirmed ? preset : -1;
    return to;
}

std::optional<OnAirModel::State> OnAirModel::shownAs(State from, int preset)
{
    if (preset != -1 && !isPreset(preset))
        return std::nullopt;
    State to = from;
    to.shown = preset;
    return to;
}

// Offline needs the link gone, blind a link up: the transitions of the
// link decide them, the operator only within them.
std::optional<OnAirModel::State> OnAirModel::modeSet(State from, Mode mode)
{
    if (mode == Mode::Offline && from.air != Air::Unknown)
        return std::nullopt;
    if (mode == Mode::Blind && from.mode == Mode::Offline)
        return std::nullopt;
    State to = from;
    to.mode = mode;
    return to;
}

void OnAirModel::setLinked(int onAir)
{
    apply(linked(m_state, onAir), "linked");
}

void OnAirModel::setUnlinked()
{
    apply(unlinked(m_state), "unlinked");
}

void OnAirModel::setRecallAsked(int preset)
{
    apply(recallAsked(m_state, preset), "recall");
}

void OnAirModel::setRecallEnded(int preset, bool confirmed)
{
    apply(recallEnded(m_state, preset, confirmed), "recall ended");
}

void OnAirModel::setShown(int preset)
{
    apply(shownAs(m_state, preset), "shown");
}

void OnAirModel::setMode(Mode mode)
{
    apply(modeSet(m_state, mode), "mode");
}

void OnAirModel::apply(const std::optional<State> &next, const char *what)
{
    Q_ASSERT_X(next && next->isValid(), "OnAirModel", what);
    if (!next || !next->isValid()) {
        qCWarning(lcApp) << "on-air state refused:" << what;
        return;
    }
    if (*next == m_state)
        return;
    m_state = *next;
    emit changed();
}
