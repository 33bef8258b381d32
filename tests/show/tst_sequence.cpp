// Sequences in their file form: what is written reads back the same, the
// bounds themselves are taken, and a file's faults (wrong types, ranges,
// sizes, a step both or neither a preset and a look, a name twice) are
// refused, naming the field.

#include "sequence.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

namespace {

QJsonObject objectOf(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

// A valid sequence with one field of its object set to value.
QJsonObject withField(const QString &key, const QJsonValue &value)
{
    QJsonObject object = objectOf(R"({"name": "Walk-in", "steps": [{"look": "Opening", "dwell": 60}]})");
    object.insert(key, value);
    return object;
}

QJsonObject withStep(const QByteArray &step)
{
    return objectOf(R"({"name": "Walk-in", "steps": [{"look": "Opening", "dwell": 60}, )" + step + "]}");
}

} // namespace

class TestSequence : public QObject
{
    Q_OBJECT

private slots:
    void readsTheFileForm();
    void roundTrips();
    void hostileSequencesRefused_data();
    void hostileSequencesRefused();
    void hostileListsRefused_data();
    void hostileListsRefused();
};

void TestSequence::readsTheFileForm()
{
    QString error;
    const std::optional<Sequence> sequence = Sequence::fromJson(
        objectOf(R"({"name": "Walk-in", "loop": true, "onFailure": "skip",
                     "steps": [{"processor": 8, "preset": 16, "dwell": 10.5},
                               {"look": "Opening", "dwell": 86400},
                               {"processor": 1, "preset": 1, "dwell": 1}]})"),
        &error);
    QVERIFY2(sequence, qPrintable(error));
    QCOMPARE(sequence->name, QStringLiteral("Walk-in"));
    QVERIFY(sequence->loop);
    QCOMPARE(sequence->onFailure, Sequence::OnFailure::Skip);
    QCOMPARE(sequence->steps, (QList<SequenceStep>{SequenceStep::recall(7, 15, 10500),
                                                   SequenceStep::recallLook(QStringLiteral("Opening"), 86400000),
                                                   SequenceStep::recall(0, 0, 1000)}));
    // Left out: played once, stopped by a failure.
    const std::optional<Sequence> plain = Sequence::fromJson(withField(QStringLiteral("x"), 1), &error);
    QVERIFY(plain);
    QVERIFY(!plain->loop);
    QCOMPARE(plain->onFailure, Sequence::OnFailure::Stop);
}

void TestSequence::roundTrips()
{
    Sequence first;
    first.name = QStringLiteral("Walk-in");
    first.loop = true;
    first.onFailure = Sequence::OnFailure::Skip;
    first.steps = {SequenceStep::recall(2, 9, 1001), SequenceStep::recallLook(QStringLiteral("Opening"), 123456)};
    Sequence second;
    second.name = QStringLiteral("Interval");
    second.steps = {SequenceStep::recall(7, 0, 86400000)};
    const QList<Sequence> list{first, second};
    const QByteArray file = QJsonDocument(Sequence::listToJson(list)).toJson();
    QString error;
    const std::optional<QList<Sequence>> read = Sequence::listFromJson(QJsonDocument::fromJson(file).array(), &error);
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(*read, list);
    QCOMPARE(first.toJson().value(QStringLiteral("steps")).toArray().at(0).toObject().value(QStringLiteral("processor")).toInt(), 3);
}

void TestSequence::hostileSequencesRefused_data()
{
    QTest::addColumn<QJsonObject>("object");
    QTest::addColumn<QString>("error");
    const QString name = QStringLiteral("name: 1 to 64 characters, not blank, no control characters");
    const QString dwell = QStringLiteral("steps[1].dwell: 1 to 86400 seconds");
    const QString processor = QStringLiteral("steps[1].processor: 1 to 8");
    const QString steps = QStringLiteral("steps: a list of 1 to 100 steps");
    QTest::newRow("name missing") << withField(QStringLiteral("name"), QJsonValue()) << "name: a text of 1 to 64 characters";
    QTest::newRow("name a number") << withField(QStringLiteral("name"), 7) << "name: a text of 1 to 64 characters";
    QTest::newRow("name blank") << withField(QStringLiteral("name"), QStringLiteral("  ")) << name;
    QTest::newRow("name too long") << withField(QStringLiteral("name"), QString(65, QLatin1Char('n'))) << name;
    QTest::newRow("name with a control") << withField(QStringLiteral("name"), QStringLiteral("a\nb")) << name;
    QTest::newRow("loop a text") << withField(QStringLiteral("loop"), QStringLiteral("yes")) << "loop: true or false";
    QTest::newRow("onFailure unknown") << withField(QStringLiteral("onFailure"), QStringLiteral("retry"))
                                       << R"(onFailure: "stop" or "skip")";
    QTest::newRow("steps missing") << withField(QStringLiteral("steps"), QJsonValue()) << steps;
    QTest::newRow("steps an object") << withField(QStringLiteral("steps"), QJsonObject()) << steps;
    QTest::newRow("steps empty") << withField(QStringLiteral("steps"), QJsonArray()) << steps;
    QJsonArray many;
    for (int i = 0; i < 101; ++i)
        many.append(QJsonObject{{"look", "Opening"}, {"dwell", 1}});
    QTest::newRow("101 steps") << withField(QStringLiteral("steps"), many) << steps;
    QTest::newRow("step a number") << withStep("3") << "steps[1]: an object";
    QTest::newRow("both") << withStep(R"({"processor": 1, "preset": 2, "look": "Opening", "dwell": 5})")
                          << "steps[1]: a preset or a look, not both";
    QTest::newRow("neither") << withStep(R"({"dwell": 5})") << "steps[1]: a processor's preset or a look";
    QTest::newRow("look empty") << withStep(R"({"look": "", "dwell": 5})") << "steps[1].look: a look's name";
    QTest::newRow("look a list") << withStep(R"({"look": ["Opening"], "dwell": 5})") << "steps[1].look: a look's name";
    QTest::newRow("look too long") << withStep(R"({"look": ")" + QByteArray(65, 'l') + R"(", "dwell": 5})")
                                   << "steps[1].look: 1 to 64 characters";
    QTest::newRow("processor 0") << withStep(R"({"processor": 0, "preset": 2, "dwell": 5})") << processor;
    QTest::newRow("processor 9") << withStep(R"({"processor": 9, "preset": 2, "dwell": 5})") << processor;
    QTest::newRow("processor 1.5") << withStep(R"({"processor": 1.5, "preset": 2, "dwell": 5})") << processor;
    QTest::newRow("processor a text") << withStep(R"({"processor": "1", "preset": 2, "dwell": 5})") << processor;
    QTest::newRow("processor huge") << withStep(R"({"processor": 1e300, "preset": 2, "dwell": 5})") << processor;
    QTest::newRow("processor missing") << withStep(R"({"preset": 2, "dwell": 5})") << processor;
    QTest::newRow("preset 17") << withStep(R"({"processor": 1, "preset": 17, "dwell": 5})")
                               << "steps[1].preset: 1 to 16";
    QTest::newRow("preset 0") << withStep(R"({"processor": 1, "preset": 0, "dwell": 5})")
                               << "steps[1].preset: 1 to 16";
    QTest::newRow("dwell short") << withStep(R"({"look": "Opening", "dwell": 0.99})") << dwell;
    QTest::newRow("dwell long") << withStep(R"({"look": "Opening", "dwell": 86400.01})") << dwell;
    QTest::newRow("dwell huge") << withStep(R"({"look": "Opening", "dwell": 1e300})") << dwell;
    QTest::newRow("dwell negative") << withStep(R"({"look": "Opening", "dwell": -5})") << dwell;
    QTest::newRow("dwell a text") << withStep(R"({"look": "Opening", "dwell": "10"})") << dwell;
    QTest::newRow("dwell missing") << withStep(R"({"look": "Opening"})") << dwell;
}

void TestSequence::hostileSequencesRefused()
{
    QFETCH(QJsonObject, object);
    QFETCH(QString, error);
    QString why;
    QVERIFY(!Sequence::fromJson(object, &why));
    QCOMPARE(why, error);
}

void TestSequence::hostileListsRefused_data()
{
    QTest::addColumn<QJsonArray>("array");
    QTest::addColumn<QString>("error");
    const QJsonObject valid = withField(QStringLiteral("name"), QStringLiteral("Walk-in"));
    QJsonArray many;
    for (int i = 0; i < 65; ++i)
        many.append(withField(QStringLiteral("name"), QString::number(i)));
    QTest::newRow("65 sequences") << many << "sequences: 64 at most";
    QTest::newRow("a name twice") << QJsonArray{valid, withField(QStringLiteral("name"), QStringLiteral("WALK-IN"))}
                                  << R"(sequences[1].name: "WALK-IN" is taken)";
    QTest::newRow("a text") << QJsonArray{valid, QStringLiteral("Interval")} << "sequences[1]: an object";
    QTest::newRow("a fault") << QJsonArray{valid, withStep(R"({"look": "Opening", "dwell": 0})")}
                             << "sequences[1].steps[1].dwell: 1 to 86400 seconds";
}

void TestSequence::hostileListsRefused()
{
    QFETCH(QJsonArray, array);
    QFETCH(QString, error);
    QString why;
    QVERIFY(!Sequence::listFromJson(array, &why));
    QCOMPARE(why, error);
}

QTEST_GUILESS_MAIN(TestSequence)
#include "tst_sequence.moc"
