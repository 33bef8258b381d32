#include <linkstatemodel.h>

#include <QSignalSpy>
#include <QTest>

#include <map>
#include <tuple>

// The link's transitions as a table: every pair of state and event that
// is not listed must be refused.
class TestLinkStateModel : public QObject
{
    Q_OBJECT

private slots:
    void everyTransition();
    void transportReportsDependOnTheState();
    void aDropBeforeTheFirstReadCloses();
};

using S = LinkStateModel::State;
using E = LinkStateModel::Event;

void TestLinkStateModel::everyTransition()
{
    const QList<S> states{S::Closed, S::Connecting, S::Reading, S::Ready, S::Lost, S::Reconnecting};
    const QList<E> events{E::OpenAsked, E::CloseAsked, E::Retry, E::Opened, E::Failed, E::Dropped, E::ReadDone};
    // (from, event) -> to, after a connection of the session has completed.
    const std::map<std::pair<S, E>, S> allowed{
        {{S::Closed, E::Opened}, S::Closed},           {{S::Closed, E::Failed}, S::Closed},
        {{S::Closed, E::Dropped}, S::Closed},          {{S::Connecting, E::Opened}, S::Reading},
        {{S::Connecting, E::Failed}, S::Closed},       {{S::Reading, E::Dropped}, S::Lost},
        {{S::Reading, E::ReadDone}, S::Ready},         {{S::Ready, E::Dropped}, S::Lost},
        {{S::Ready, E::ReadDone}, S::Ready},           {{S::Lost, E::Retry}, S::Reconnecting},
        {{S::Reconnecting, E::Retry}, S::Reconnecting}, {{S::Reconnecting, E::Opened}, S::Reading},
        {{S::Reconnecting, E::Failed}, S::Reconnecting},
    };
    for (S from : states) {
        for (E event : events) {
            const std::optional<S> to = LinkStateModel::next(from, event, true);
            if (event == E::OpenAsked) {
                QCOMPARE(to, std::optional<S>(S::Connecting));
            } else if (event == E::CloseAsked) {
                QCOMPARE(to, std::optional<S>(S::Closed));
            } else {
                const auto it = allowed.find({from, event});
                const std::optional<S> expected = it == allowed.end() ? std::nullopt : std::optional<S>(it->second);
                if (to != expected)
                    QFAIL(qPrintable(QStringLiteral("state %1, event %2").arg(int(from)).arg(int(event))));
            }
        }
    }
}

// The worker only says up or down: an attempt that fails, a link that
// drops and a late report after the operator closed are told apart by the
// state.
void TestLinkStateModel::transportReportsDependOnTheState()
{
    LinkStateModel model;
    QSignalSpy changes(&model, &LinkStateModel::stateChanged);
    model.handle(E::OpenAsked);
    model.transportChanged(false);
    QCOMPARE(model.state(), S::Closed);
    QCOMPARE(model.cause(), E::Failed);

    model.handle(E::OpenAsked);
    model.transportChanged(true);
    QVERIFY(model.isOpen() && !model.isReady());
    model.handle(E::ReadDone);
    QVERIFY(model.isReady() && model.wasReady());
    model.transportChanged(false);
    QCOMPARE(model.state(), S::Lost);
    QCOMPARE(model.previous(), S::Ready);

    model.handle(E::Retry);
    model.transportChanged(false); // an attempt failed: still trying
    QCOMPARE(model.state(), S::Reconnecting);
    model.handle(E::CloseAsked);
    model.transportChanged(true); // the attempt under way, closed after it
    QCOMPARE(model.state(), S::Closed);
    QCOMPARE(changes.count(), 8);
}

void TestLinkStateModel::aDropBeforeTheFirstReadCloses()
{
    QCOMPARE(LinkStateModel::next(S::Reading, E::Dropped, false), std::optional<S>(S::Closed));
    LinkStateModel model;
    model.handle(E::OpenAsked);
    model.transportChanged(true);
    model.transportChanged(false);
    QCOMPARE(model.state(), S::Closed);
    QCOMPARE(model.cause(), E::Dropped);
    QVERIFY(!model.wasReady());
}

QTEST_GUILESS_MAIN(TestLinkStateModel)
#include "tst_linkstatemodel.moc"
