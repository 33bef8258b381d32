// Enter pressed in a field of a shown dialog, as an operator presses it:
// no button that sends to the device or overwrites the fields is clicked,
// and what was typed stays.

#include "dialogfields.h"

#include <dialog_comset.h>
#include <dialog_pip.h>
#include <dialog_text.h>
#include <dialog_trimdata.h>
#include <form_incardset.h>
#include <ledsplice.h>
#include <linkedsimulator.h>
#include <qiplineedit.h>
#include <singleton_serialport.h>
#include <trimming.h>

#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

#include <functional>
#include <memory>
#include <utility>

namespace {

constexpr int Card = 3;

// The dialog's own signals that would hand a change on to the canvas or the
// main window.
QList<QByteArray> handOverSignals(const QDialog *dialog)
{
    if (qobject_cast<const LEDsplice *>(dialog))
        return {SIGNAL(sendSignal())};
    if (qobject_cast<const Trimming *>(dialog))
        return {SIGNAL(endTrim(int, int, QList<int>))};
    if (qobject_cast<const Dialog_trimdata *>(dialog))
        return {SIGNAL(setInRect(int, QRect)), SIGNAL(setOutRect(int, QRectF))};
    return {};
}

QString textOf(QWidget *field)
{
    if (auto *spin = qobject_cast<QSpinBox *>(field))
        return spin->text();
    return static_cast<QLineEdit *>(field)->text();
}

// A field of the dialog by name; of an address editor, its first part.
QWidget *fieldOf(QDialog *dialog, const QString &name)
{
    QWidget *field = dialog->findChild<QWidget *>(name);
    if (auto *address = qobject_cast<QIPLineEdit *>(field))
        return address->findChildren<QLineEdit *>().value(0);
    return field;
}

} // namespace

class TestEnterKey : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void enterKeepsTheField_data();
    void enterKeepsTheField();

private:
    LinkedSimulator m_sim;
    Singleton_SerialPort *m_link = nullptr;
};

void TestEnterKey::initTestCase()
{
    m_link = m_sim.link();
    QVERIFY(m_sim.connectLink());
    DeviceData &record = m_link->dm_data;
    record.setWallSize(2, 3);
    record.outResolution = 6;
    record.inCards[Card].present = 1;
}

void TestEnterKey::enterKeepsTheField_data()
{
    QTest::addColumn<MakeDialog>("make");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    const auto row = [](const char *tag, const MakeDialog &make, const char *field, const char *typed) {
        QTest::newRow(tag) << make << QString::fromLatin1(field) << QString::fromLatin1(typed);
    };
    const MakeDialog wall = [this] { return new LEDsplice(m_link, true); };
    const MakeDialog pip = [this] { return new Dialog_Pip(m_link, true, Card, nullptr); };
    const MakeDialog captions = [this] { return new Dialog_text(m_link, false, Card, nullptr); };
    const MakeDialog picture = [this] { return new Form_InCardSet(m_link, Card, true); };
    const MakeDialog comSet = [this] { return new Dialog_ComSet(m_link, true); };
    const MakeDialog trimming = [] {
        auto *dialog = new Trimming(true);
        dialog->initTrim(2, {0, 5, 0, 0, 960, 540, 0, 0, 960, 540}, 1920, 1080);
        return dialog;
    };
    const MakeDialog trimData = [] {
        auto *dialog = new Dialog_trimdata(true);
        dialog->setData({2, 0, 0, 960, 540, 3840, 2160, 0, 0, 1920, 1080});
        return dialog;
    };
    row("wall row height", wall, "R1Edit", "500");
    row("PIP width", pip, "spinBox_3", "800");
    row("caption red", captions, "spin_red", "77");
    row("picture light", picture, "spinBox", "20");
    row("network address", comSet, "ip_edit", "10");
    row("MAC", comSet, "lineEdit_mac1", "AB");
    row("trimming input x", trimming, "in_xEdit", "12");
    row("trimming data input width", trimData, "in_wEdit", "900");
}

void TestEnterKey::enterKeepsTheField()
{
    QFETCH(MakeDialog, make);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    const std::unique_ptr<QDialog> dialog(make());
    QList<std::shared_ptr<QSignalSpy>> handedOver;
    for (const QByteArray &signal : handOverSignals(dialog.get()))
        handedOver << std::make_shared<QSignalSpy>(dialog.get(), signal.constData());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QWidget *edit = fieldOf(dialog.get(), field);
    QVERIFY(edit && edit->isEnabled());
    edit->setFocus();
    if (auto *spin = qobject_cast<QSpinBox *>(edit))
        spin->selectAll();
    else
        static_cast<QLineEdit *>(edit)->clear();
    QTest::keyClicks(edit, typed);
    const int before = m_sim.requests().size();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);

    // Whatever the keys posted reaches the device before this read does.
    m_link->send(LinkRequest::readSignalFlags());
    QVERIFY(m_sim.waitForRequests(before + 1));
    QVERIFY(m_sim.waitForIdle());
    QCOMPARE(m_sim.requests().size(), before + 1);
    for (const auto &spy : std::as_const(handedOver))
        QCOMPARE(spy->size(), 0);
    QVERIFY(dialog->isVisible());
    QCOMPARE(textOf(edit), typed);
}

QTEST_MAIN(TestEnterKey)
#include "tst_enterkey.moc"
