#ifndef FAKEACTIONS_H
#define FAKEACTIONS_H

#include <remoteactions.h>

// The operator's actions without the window: recalls are counted, and the
// link stays busy until the test makes the device answer.
class FakeActions : public RemoteActions
{
public:
    bool linkUp = true;
    bool linkBusy = false;
    QList<int> recalled;

    bool linked() const override { return linkUp; }
    bool busy() override { return linkBusy; }
    Status status() override { return {linkUp, QStringLiteral("tcp"), recalled.value(recalled.size() - 1), linkBusy,
                                        linkUp ? QStringLiteral("ready") : QStringLiteral("closed")}; }
    QList<Preset> presets() const override { return {}; }
    QList<Window> windows(int) const override { return {}; }
    QList<Input> inputs() const override { return {}; }
    Outcome recall(int preset, Origin) override
    {
        recalled << preset;
        linkBusy = true;
        return Done;
    }
    Outcome step(int, Origin) override { return Done; }
    Outcome setSource(int, int, Origin) override { return Done; }
    void verifyQuietly(Origin) override {}

    // The device answered: the link settles, then the wait page goes.
    void answer()
    {
        linkBusy = false;
        emit settled(false);
        emit idle();
    }
};

#endif // FAKEACTIONS_H
