#include "sequencedeck.h"

#include "showlog.h"

SequenceDeck::SequenceDeck(ShowClock *clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
}

QString SequenceDeck::setSequences(const QList<Sequence> &sequences)
{
    QString why = Sequence::checkList(sequences);
    if (!why.isEmpty())
        return why;
    QList<SequencePlayer *> players;
    QStringList touched;
    for (const Sequence &sequence : sequences) {
        const int kept = indexOf(sequence.name);
        if (kept >= 0 && m_players.at(kept)->sequence() == sequence) {
            players.append(m_players.takeAt(kept));
            continue;
        }
        players.append(createPlayer(sequence));
        touched.append(sequence.name);
    }
    for (SequencePlayer *old : std::as_const(m_players)) {
        touched.append(old->sequence().name);
        retire(old);
    }
    m_players = players;
    touched.removeDuplicates(); // a replaced one is both new and gone
    for (const QString &name : std::as_const(touched))
        emit changed(name);
    return {};
}

QList<Sequence> SequenceDeck::sequences() const
{
    QList<Sequence> list;
    for (const SequencePlayer *player : m_players)
        list.append(player->sequence());
    return list;
}

QString SequenceDeck::store(const Sequence &sequence)
{
    QString why = sequence.check();
    if (!why.isEmpty())
        return why;
    const int index = indexOf(sequence.name);
    if (index < 0 && m_players.size() >= Sequence::MaxCount)
        return tr("the station keeps %1 sequences at most").arg(Sequence::MaxCount);
    if (index < 0) {
        m_players.append(createPlayer(sequence));
    } else if (m_players.at(index)->sequence() != sequence) {
        retire(m_players.at(index));
        m_players[index] = createPlayer(sequence);
    }
    emit changed(sequence.name);
    return {};
}

QString SequenceDeck::remove(const QString &name)
{
    QString why;
    SequencePlayer *player = playerOf(name, &why);
    if (!player)
        return why;
    const QString removed = player->sequence().name;
    m_players.removeOne(player);
    retire(player);
    emit changed(removed);
    return {};
}

QString SequenceDeck::start(const QString &name)
{
    QString why;
    if (SequencePlayer *player = playerOf(name, &why))
        player->start();
    return why;
}

QString SequenceDeck::pause(const QString &name)
{
    QString why;
    SequencePlayer *player = playerOf(name, &why);
    if (player && !player->pause())
        why = tr("\"%1\" is not playing").arg(player->sequence().name);
    return why;
}

QString SequenceDeck::resume(const QString &name)
{
    QString why;
    SequencePlayer *player = playerOf(name, &why);
    if (player && !player->resume())
        why = tr("\"%1\" is not paused").arg(player->sequence().name);
    return why;
}

QString SequenceDeck::stop(const QString &name)
{
    QString why;
    if (SequencePlayer *player = playerOf(name, &why))
        player->stop();
    return why;
}

void SequenceDeck::stopAll()
{
    for (SequencePlayer *player : std::as_const(m_players))
        player->stop();
}

QStringList SequenceDeck::pauseFor(int processor)
{
    QStringList paused;
    for (SequencePlayer *player : std::as_const(m_players)) {
        if (touches(player->sequence(), processor) && player->pause())
            paused.append(player->sequence().name);
    }
    if (!paused.isEmpty())
        qCInfo(lcShow) << "paused for processor" << processor + 1 << ":" << paused;
    return paused;
}

std::optional<SequenceDeck::Status> SequenceDeck::status(const QString &name) const
{
    const SequencePlayer *found = player(name);
    if (!found)
        return std::nullopt;
    return statusOf(*found);
}

QList<SequenceDeck::Status> SequenceDeck::statuses() const
{
    QList<Status> list;
    for (const SequencePlayer *player : m_players)
        list.append(statusOf(*player));
    return list;
}

SequenceDeck::Status SequenceDeck::statusOf(const SequencePlayer &player)
{
    const Sequence &sequence = player.sequence();
    return {sequence.name, player.state(), player.step(), int(sequence.steps.size()), player.timeLeftMs(), sequence.loop};
}

const SequencePlayer *SequenceDeck::player(const QString &name) const
{
    const int index = indexOf(name);
    return index < 0 ? nullptr : m_players.at(index);
}

int SequenceDeck::indexOf(const QString &name) const
{
    for (int i = 0; i < m_players.size(); ++i) {
        if (m_players.at(i)->sequence().isNamed(name))
            return i;
    }
    return -1;
}

SequencePlayer *SequenceDeck::playerOf(const QString &name, QString *error) const
{
    const int index = indexOf(name);
    if (index < 0)
        *error = tr("no sequence \"%1\"").arg(name.left(Sequence::MaxName));
    return index < 0 ? nullptr : m_players.at(index);
}

SequencePlayer *SequenceDeck::createPlayer(const Sequence &sequence)
{
    const auto runner = [this, name = sequence.name](const SequenceStep &step, SequencePlayer::Done done) {
        if (m_runner)
            m_runner(name, step, std::move(done));
        else
            done(false, tr("nothing recalls the steps"));
    };
    auto *player = new SequencePlayer(sequence, m_clock, runner, this);
    const QString name = sequence.name;
    connect(player, &SequencePlayer::changed, this, [this, name] { emit changed(name); });
    connect(player, &SequencePlayer::stepFailed, this,
            [this, name](int index, const QString &why) { emit stepFailed(name, index, why); });
    connect(player, &SequencePlayer::finished, this,
            [this, name](bool completed) { emit finished(name, completed); });
    return player;
}

// A player may be in the middle of its own signal when its sequence goes:
// silenced and stopped now, deleted later. Its stop drops a recall still
// on its way.
void SequenceDeck::retire(SequencePlayer *player)
{
    disconnect(player, nullptr, this, nullptr);
    player->stop();
    player->deleteLater();
}

bool SequenceDeck::touches(const Sequence &sequence, int processor) const
{
    for (const SequenceStep &step : sequence.steps) {
        if (step.isLook() ? !m_lookCovers || m_lookCovers(step.look, processor) : step.processor == processor)
            return true;
    }
    return false;
}
