#ifndef ONAIRMODEL_H
#define ONAIRMODEL_H

#include <QObject>

#include <optional>

// What the wall shows and what the canvas edits, in one place: the preset
// on air (known, unknown, or a recall on its way), the preset on the
// canvas, and how edits are handled (live, blind, offline). The marks of
// the presets are PresetMarks'. The window, the off-air actions and the
// remote control read this model; its transitions are decided here, and a
// combination that cannot be (offline with a preset known on air, blind
// without a link) is refused.
class OnAirModel : public QObject
{
    Q_OBJECT

public:
    enum class Air { Unknown, Known, Pending };
    Q_ENUM(Air)
    enum class Mode {
        Live,   // edits go to the device, when the preset edited is on air
        Blind,  // the link is up, edits are kept here until a take
        Offline // no link, edits are kept here
    };
    Q_ENUM(Mode)

    struct State
    {
        Air air = Air::Unknown;
        int onAir = -1;   // the preset the device last confirmed, -1 unknown
        int pending = -1; // the preset a recall on its way asks for
        int shown = -1;   // the preset on the canvas, -1 none
        Mode mode = Mode::Live;

        bool operator==(const State &other) const;
        // The combination can be: nothing pending unless a recall is, a
        // known preset when known, none offline.
        bool isValid() const;
    };

    explicit OnAirModel(QObject *parent = nullptr);

    const State &state() const { return m_state; }
    Air air() const { return m_state.air; }
    // The preset the device shows, -1 while unknown or switching.
    int onAir() const { return m_state.air == Air::Known ? m_state.onAir : -1; }
    // The preset the wall shows or is switching to, -1 unknown.
    int wallPreset() const;
    int shown() const { return m_state.shown; }
    Mode mode() const { return m_state.mode; }
    bool isBlind() const { return m_state.mode == Mode::Blind; }
    bool isOffline() const { return m_state.mode == Mode::Offline; }
    // An edit of the canvas goes to the device now: live, and the preset
    // edited is the one the wall shows or switches to.
    bool editsReachWall() const;

    // The transitions, each from what a state can take; nullopt when it
    // cannot (the caller's fault).
    static std::optional<State> linked(State from, int onAir);
    static std::optional<State> unlinked(State from);
    static std::optional<State> recallAsked(State from, int preset);
    static std::optional<State> recallEnded(State from, int preset, bool confirmed);
    static std::optional<State> shownAs(State from, int preset);
    static std::optional<State> modeSet(State from, Mode mode);

    // The device reports its current preset (a connection read): it is on
    // air, and offline work ends.
    void setLinked(int onAir);
    // The link went: nothing is known on air.
    void setUnlinked();
    void setRecallAsked(int preset);
    // The device confirmed a recall, or it was lost (the wall's preset is
    // then unknown: the device may or may not have switched).
    void setRecallEnded(int preset, bool confirmed);
    void setShown(int preset);
    void setMode(Mode mode);

signals:
    void changed();

private:
    void apply(const std::optional<State> &next, const char *what);

    State m_state;
};

#endif // ONAIRMODEL_H
