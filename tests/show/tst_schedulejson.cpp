// Schedules in their file form: what is written reads back the same, the
// text for people, and hostile entries refused with the field named.

#include "schedulejson.h"

#include <QJsonDocument>
#include <QtTest>

class TestScheduleJson : public QObject
{
    Q_OBJECT

private slots:
    void readsTheFileForm();
    void roundTrip();
    void describes();
    void refusesHostileSchedules_data();
    void refusesHostileSchedules();
    void refusesHostileLists();
};

namespace {

QJsonValue parsed(const char *text)
{
    return QJsonDocument::fromJson(QByteArray("[") + text + "]").array().at(0);
}

Schedule schedule(const char *text)
{
    Schedule result;
    QString error;
    if (!ScheduleJson::fromJson(parsed(text), &result, &error))
        qWarning() << error;
    return result;
}

} // namespace

void TestScheduleJson::readsTheFileForm()
{
    const Schedule doors = schedule(R"({"name": "Doors", "enabled": true, "time": "18:30",
        "days": ["mon","tue","wed","thu","fri"], "action": {"recall": {"processor": 1, "preset": 3}}})");
    QCOMPARE(doors.name, QStringLiteral("Doors"));
    QCOMPARE(doors.time, QTime(18, 30));
    QCOMPARE(doors.days, quint8(0x1f));
    QVERIFY(!doors.date.isValid());
    QCOMPARE(doors.action, Schedule::Action::RecallPreset);
    QCOMPARE(doors.processor, 0);
    QCOMPARE(doors.preset, 2); // M3
    const Schedule eve = schedule(R"({"name": "Eve", "time": "17:00:30", "date": "2026-12-24", "action": {"look": "Opening"}})");
    QVERIFY(eve.enabled);
    QCOMPARE(eve.time, QTime(17, 0, 30));
    QCOMPARE(eve.date, QDate(2026, 12, 24));
    QCOMPARE(eve.days, quint8(0));
    QCOMPARE(eve.target, QStringLiteral("Opening"));
}

void TestScheduleJson::roundTrip()
{
    const QJsonValue list = QJsonDocument::fromJson(R"([
        {"name": "Doors", "time": "18:30", "days": ["mon","fri"], "action": {"recall": {"processor": 8, "preset": 16}}},
        {"name": " Eve ", "enabled": false, "time": "17:00:30", "date": "2026-12-24", "action": {"look": "Opening"}},
        {"name": "Walk-in", "time": "09:00", "days": ["SUN", "sat"], "action": {"start": "Walk-in"}},
        {"name": "Walk-out", "time": "23:59:59", "days": ["mon","tue","wed","thu","fri","sat","sun"],
         "action": {"stop": "Walk-in"}}])").array();
    QString error;
    const QList<Schedule> schedules = ScheduleJson::listFromJson(list, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(schedules.size(), 4);
    QCOMPARE(schedules.at(1).name, QStringLiteral("Eve"));
    QCOMPARE(ScheduleJson::listFromJson(ScheduleJson::listToJson(schedules), &error), schedules);
    QCOMPARE(ScheduleJson::listToJson(schedules).at(2).toObject().value("days").toArray(),
             QJsonArray({"sat", "sun"}));
}

void TestScheduleJson::describes()
{
    const Schedule doors = schedule(R"({"name": "Doors", "time": "18:30",
        "days": ["mon","tue","wed","thu","fri"], "action": {"recall": {"processor": 2, "preset": 4}}})");
    QCOMPARE(doors.describe(true), QStringLiteral("Mon-Fri 18:30: recall M4 on processor 2"));
    QCOMPARE(doors.describe(false), QString::fromUtf8("周一至周五 18:30：处理器 2 调用 M4"));
    const Schedule split = schedule(R"({"name": "S", "enabled": false, "time": "07:05:09",
        "days": ["mon","wed","thu","fri","sun"], "action": {"stop": "Walk-in"}})");
    QCOMPARE(split.describe(true), QStringLiteral("Mon, Wed-Fri, Sun 07:05:09: stop sequence \"Walk-in\" (off)"));
    QCOMPARE(split.describe(false), QString::fromUtf8("周一、周三至周五、周日 07:05:09：停止序列“Walk-in”（已停用）"));
    const Schedule daily = schedule(R"({"name": "D", "time": "06:00",
        "days": ["mon","tue","wed","thu","fri","sat","sun"], "action": {"look": "Day"}})");
    QCOMPARE(daily.describe(true), QStringLiteral("Daily 06:00: recall look \"Day\""));
    const Schedule eve = schedule(R"({"name": "E", "time": "17:00", "date": "2026-12-24", "action": {"start": "X"}})");
    QCOMPARE(eve.describe(false), QString::fromUtf8("2026-12-24 17:00：启动序列“X”"));
}

void TestScheduleJson::refusesHostileSchedules_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("field");
    const QByteArray tail = R"(, "action": {"look": "L"}})";
    const QByteArray daily = R"({"name": "A", "time": "18:30", "days": ["mon"])";
    const QByteArray dailyNoAction = R"({"name": "A", "time": "18:30", "days": ["mon"], "action": )";
    QTest::newRow("not an object") << QByteArray(R"("Doors")") << "object";
    QTest::newRow("unknown field") << QByteArray(daily + R"(, "dayz": 1)" + tail) << "\"dayz\"";
    QTest::newRow("no name") << QByteArray(R"({"time": "18:30", "days": ["mon"])" + tail) << "\"name\"";
    QTest::newRow("name too long") << QByteArray(R"({"name": ")" + QByteArray(65, 'n') + R"(", "time": "18:30", "days": ["mon"])" + tail) << "\"name\"";
    QTest::newRow("name with a line feed") << QByteArray(R"({"name": "A\nB", "time": "18:30", "days": ["mon"])" + tail) << "\"name\"";
    QTest::newRow("name blank") << QByteArray(R"({"name": "  ", "time": "18:30", "days": ["mon"])" + tail) << "\"name\"";
    QTest::newRow("enabled text") << QByteArray(daily + R"(, "enabled": "yes")" + tail) << "\"enabled\"";
    QTest::newRow("hour 25") << QByteArray(R"({"name": "A", "time": "25:00", "days": ["mon"])" + tail) << "\"time\"";
    QTest::newRow("time short") << QByteArray(R"({"name": "A", "time": "18:3", "days": ["mon"])" + tail) << "\"time\"";
    QTest::newRow("time a number") << QByteArray(R"({"name": "A", "time": 1830, "days": ["mon"])" + tail) << "\"time\"";
    QTest::newRow("no time") << QByteArray(R"({"name": "A", "days": ["mon"])" + tail) << "\"time\"";
    QTest::newRow("unknown day") << QByteArray(R"({"name": "A", "time": "18:30", "days": ["mon", "funday"])" + tail) << "\"days\"";
    QTest::newRow("day twice") << QByteArray(R"({"name": "A", "time": "18:30", "days": ["mon", "Mon"])" + tail) << "\"days\"";
    QTest::newRow("no day") << QByteArray(R"({"name": "A", "time": "18:30", "days": [])" + tail) << "\"days\"";
    QTest::newRow("days text") << QByteArray(R"({"name": "A", "time": "18:30", "days": "mon")" + tail) << "\"days\"";
    QTest::newRow("day a number") << QByteArray(R"({"name": "A", "time": "18:30", "days": [1])" + tail) << "\"days\"";
    QTest::newRow("no such date") << QByteArray(R"({"name": "A", "time": "18:30", "date": "2026-02-30")" + tail) << "\"date\"";
    QTest::newRow("date with a time") << QByteArray(R"({"name": "A", "time": "18:30", "date": "2026-02-03T10:00")" + tail) << "\"date\"";
    QTest::newRow("days and date") << QByteArray(daily + R"(, "date": "2026-12-24")" + tail) << "\"date\"";
    QTest::newRow("neither") << QByteArray(R"({"name": "A", "time": "18:30")" + tail) << "\"days\"";
    QTest::newRow("no action") << QByteArray(daily + "}") << "\"action\"";
    QTest::newRow("two actions") << QByteArray(dailyNoAction + R"({"look": "L", "start": "S"}})") << "\"action\"";
    QTest::newRow("unknown action") << QByteArray(dailyNoAction + R"({"play": "S"}})") << "\"action\"";
    QTest::newRow("processor 0") << QByteArray(dailyNoAction + R"({"recall": {"processor": 0, "preset": 1}}})") << "\"recall\"";
    QTest::newRow("processor 9") << QByteArray(dailyNoAction + R"({"recall": {"processor": 9, "preset": 1}}})") << "\"recall\"";
    QTest::newRow("processor huge") << QByteArray(dailyNoAction + R"({"recall": {"processor": 1e300, "preset": 1}}})") << "\"recall\"";
    QTest::newRow("preset 17") << QByteArray(dailyNoAction + R"({"recall": {"processor": 1, "preset": 17}}})") << "\"recall\"";
    QTest::newRow("preset 0") << QByteArray(dailyNoAction + R"({"recall": {"processor": 1, "preset": 0}}})") << "\"recall\"";
    QTest::newRow("preset fraction") << QByteArray(dailyNoAction + R"({"recall": {"processor": 1, "preset": 2.5}}})") << "\"recall\"";
    QTest::newRow("preset text") << QByteArray(dailyNoAction + R"({"recall": {"processor": 1, "preset": "3"}}})") << "\"recall\"";
    QTest::newRow("recall extra") << QByteArray(dailyNoAction + R"({"recall": {"processor": 1, "preset": 3, "x": 1}}})") << "\"recall\"";
    QTest::newRow("look empty") << QByteArray(dailyNoAction + R"({"look": ""}})") << "\"look\"";
    QTest::newRow("sequence too long") << QByteArray(dailyNoAction + R"({"start": ")" + QByteArray(65, 's') + R"("}})") << "\"start\"";
    QTest::newRow("sequence a number") << QByteArray(dailyNoAction + R"({"stop": 5}})") << "\"stop\"";
}

void TestScheduleJson::refusesHostileSchedules()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, field);
    const QJsonValue value = parsed(text);
    QVERIFY2(!value.isUndefined(), text.constData());
    Schedule schedule;
    QString error;
    QVERIFY(!ScheduleJson::fromJson(value, &schedule, &error));
    QVERIFY2(error.contains(field), qPrintable(error));
    QCOMPARE(ScheduleJson::listFromJson(QJsonArray{value}, &error), QList<Schedule>());
    QVERIFY2(error.startsWith(QStringLiteral("schedule 1: ")), qPrintable(error));
}

void TestScheduleJson::refusesHostileLists()
{
    const QJsonObject one = parsed(R"({"name": "A", "time": "18:30", "days": ["mon"], "action": {"look": "L"}})").toObject();
    QJsonArray list;
    for (int i = 0; i < ScheduleJson::MaxSchedules; ++i) {
        QJsonObject named = one;
        named.insert("name", QString::number(i));
        list.append(named);
    }
    QString error;
    QCOMPARE(ScheduleJson::listFromJson(list, &error).size(), ScheduleJson::MaxSchedules);
    list.append(one);
    QVERIFY(ScheduleJson::listFromJson(list, &error).isEmpty());
    QVERIFY2(error.contains(QString::number(ScheduleJson::MaxSchedules)), qPrintable(error));

    QJsonObject other = one;
    other.insert("name", "a");
    QVERIFY(ScheduleJson::listFromJson(QJsonArray{one, other}, &error).isEmpty());
    QVERIFY2(error.contains("schedule 2") && error.contains("taken"), qPrintable(error));

    QVERIFY(ScheduleJson::listFromJson(one, &error).isEmpty());
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestScheduleJson)
#include "tst_schedulejson.moc"
