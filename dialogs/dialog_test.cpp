#include "dialog_test.h"
#include "ui_dialog_test.h"

#include <bilingual.h>
#include <devicelimits.h>

#include <singleton_serialport.h>

#include <algorithm>

namespace {

enum StatusKind { InCards, OutCards, SystemBoard };

template<typename T>
QList<T *> childrenNamed(const QWidget *parent, const QString &pattern, int count)
{
    QList<T *> list;
    for (int n = 1; n <= count; ++n)
        list << parent->findChild<T *>(pattern.arg(n));
    return list;
}

// Shows the pairs in order; a list shorter or longer than the rows is cut
// to the common length.
void showStatus(const QList<DeviceData::CardStatus> &status, const QList<QLineEdit *> &edits,
                const QList<QPushButton *> &lamps)
{
    const int count = std::min<int>(status.size(), edits.size());
    for (int k = 0; k < count; ++k) {
        edits.at(k)->setText(status.at(k).text);
        lamps.at(k)->setStyleSheet(status.at(k).style);
    }
}

} // namespace

Dialog_Test::Dialog_Test(bool isEnglish, QWidget *parent)
    : QDialog(parent)
    , m_link(Singleton_SerialPort::instance())
    , ui(std::make_unique<Ui::Dialog_Test>())
{
    ui->setupUi(this);
    m_inEdits = childrenNamed<QLineEdit>(this, QStringLiteral("In%1Edit"), Limits::InputSlots);
    m_inLamps = childrenNamed<QPushButton>(this, QStringLiteral("In%1Bt"), Limits::InputSlots);
    m_outEdits = childrenNamed<QLineEdit>(this, QStringLiteral("Out%1Edit"), Limits::OutputSlots);
    m_outLamps = childrenNamed<QPushButton>(this, QStringLiteral("Out%1Bt"), Limits::OutputSlots);
    setLanguage(isEnglish);
}

Dialog_Test::~Dialog_Test() = default;

void Dialog_Test::InitPage()
{
    const DeviceData &record = m_link->dm_data;
    showStatus(record.cardStatusList(InCards), m_inEdits, m_inLamps);
    showStatus(record.cardStatusList(OutCards), m_outEdits, m_outLamps);
    showStatus(record.cardStatusList(SystemBoard), {ui->sys1Edit}, {ui->sys1Bt});
}

void Dialog_Test::setLanguage(bool isEnglish)
{
    setWindowTitle(Bilingual(isEnglish)("Communication Test", "连接测试"));
}
