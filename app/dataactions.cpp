#include "dataactions.h"

#include "linkfeedback.h"
#include "presetstore.h"
#include "runmodal.h"

#include <datafile.h>
#include <datafiledialog.h>
#include <dialog_verify.h>
#include <form_model.h>
#include <messagecode.h>
#include <presetcheck.h>
#include <singleton_serialport.h>
#include <wallfile.h>

#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

DataActions::DataActions(Singleton_SerialPort *link, PresetStore *presets, LinkFeedback *feedback,
                         Form_Model *bar, QWidget *parent)
    : QObject(parent)
    , m_link(link)
    , m_presets(presets)
    , m_feedback(feedback)
    , m_bar(bar)
    , m_window(parent)
{
    // Said even at exit: the next start would otherwise come up with older
    // data than the operator left, and what was only here would be gone
    // unnoticed.
    connect(presets, &PresetStore::notSaved, this, [this] { m_feedback->showMessage(Message::CannotSave); });
}

void DataActions::exportData()
{
    m_presets->store();
    const int result = m_link->dm_data.saveFile(QString());
    if (result == DataFile::Done)
        m_feedback->showMessage(Message::Succeeded);
    else if (result == DataFile::CannotOpen)
        m_feedback->showMessage(Message::CannotSave);
}

// The file replaces the host's data only when all of it can be sent.
void DataActions::importData()
{
    if (!m_link->isConnected())
        return;
    const QString path = DataFileDialog::openPath();
    if (path.isEmpty())
        return;
    DeviceData &record = m_link->dm_data;
    const DeviceData before = record;
    if (DataFile::read(path, DataFile::Data, record) != DataFile::Done || !writeAllAndVerify()) {
        record = before;
        m_feedback->showMessage(Message::NotRecognised);
        return;
    }
    emit deviceWorkPosted(QStringLiteral("import"), QStringLiteral("import ") + QFileInfo(path).fileName());
}

// What was written is read back and compared; the data may bring names of
// their own.
bool DataActions::writeAllAndVerify()
{
    if (!m_presets->writeAll())
        return false;
    m_bar->setMyToolTips(m_link->dm_data.modelNameList());
    emit sourcesChanged();
    verifyData();
    return true;
}

// Reading everything replaces the presets changed here: the operator says
// so first, and the host's data are kept in a dated copy.
void DataActions::syncData()
{
    if (!m_link->isConnected())
        return;
    const QList<int> changed = m_presets->marks().changedHere();
    if (!changed.isEmpty() && (!allowReplacing(changed) || !backUp()))
        return;
    m_link->postForgetTags();
    m_link->send(LinkRequest::connectionRead());
}

// Reads the device's wall, current preset and presets beside the host's.
void DataActions::verifyData()
{
    if (postVerify())
        m_dialogWanted = true;
}

// A verify the operator asks for meanwhile does not take the result from
// the caller waiting for it: both have it.
void DataActions::verifyQuietly()
{
    if (!postVerify()) {
        emit checked(nullptr);
        return;
    }
    m_checkWanted = true;
}

bool DataActions::postVerify()
{
    if (!m_link->isConnected())
        return false;
    m_presets->store();
    m_verifyReadIn = false;
    m_link->send(LinkRequest::verifyRead());
    return true;
}

// Nothing is replaced yet: a backup that fails is said, and a take asks
// for one again.
void DataActions::readForChoice()
{
    backUp();
    m_link->send(LinkRequest::readInputCards());
    verifyData();
}

// A quiet verify leaves the choices to the operator's own verify.
void DataActions::waitPagesClosed()
{
    const bool read = std::exchange(m_verifyReadIn, false);
    const bool toCaller = std::exchange(m_checkWanted, false);
    const bool dialog = std::exchange(m_dialogWanted, false) || !toCaller;
    if (!read) {
        if (toCaller)
            emit checked(nullptr);
        return;
    }
    if (dialog) {
        QTimer::singleShot(0, this, [this, toCaller] { showVerifyResult(toCaller); });
        return;
    }
    const PresetCheck check = takeCardsRead();
    markVerified(check);
    emit checked(&check);
}

void DataActions::showVerifyResult(bool toCaller)
{
    const PresetCheck check = takeCardsRead();
    const QList<int> changedHere = m_presets->marks().changedHere();
    markVerified(check);
    if (toCaller)
        emit checked(&check);
    auto *dialog = new Dialog_Verify(m_text.english(), check, m_link->dm_data, m_link->dm_deviceCopy,
                                     changedHere, m_window);
    connect(dialog, &Dialog_Verify::applied, this, [this, dialog] { apply(*dialog); });
    // Choices made on one read are never applied to another: the dialog
    // goes with the link, and when a newer read comes in.
    connect(m_link->state(), &LinkStateModel::stateChanged, dialog, [this, dialog] {
        if (!m_link->isConnected())
            dialog->reject();
    });
    connect(m_link, &Singleton_SerialPort::repalceDeviceCopy, dialog, &QDialog::reject);
    m_weighing = true;
    runModal(dialog);
    m_weighing = false;
    emit weighed();
}

// Which cards are fitted is the hardware's to say: that goes into the
// record as read, before the comparison.
PresetCheck DataActions::takeCardsRead()
{
    DeviceData &record = m_link->dm_data;
    const DeviceData &device = m_link->dm_deviceCopy;
    for (size_t k = 0; k < DeviceData::InCardEntries; ++k) {
        record.inCards[k].present = device.inCards[k].present;
        record.inCards[k].cardType = device.inCards[k].cardType;
    }
    m_presets->deviceShows(device.curModel);
    emit sourcesChanged();
    return PresetCheck(record, device);
}

// The marks take the result before any choice.
void DataActions::markVerified(const PresetCheck &check)
{
    for (int m = 0; m < PresetCheck::Presets; ++m)
        m_presets->marks().verified(m, check.preset(m).same());
}

// What is taken comes first, after a backup, then what is sent, which is
// verified again. A wall that differs takes or sends everything.
void DataActions::apply(const Dialog_Verify &choices)
{
    using C = Dialog_Verify;
    m_presets->store();
    const QList<int> taken = choices.presets(C::TakeDevices);
    if ((choices.wall() == C::TakeDevices || !taken.isEmpty()) && !backUp())
        return;
    const bool writes = choices.wall() == C::SendMine || !choices.presets(C::SendMine).isEmpty();
    if (writes && !backUpDevice())
        return;
    takeEntries(choices.entries(C::TakeDevices));
    if (choices.wall() == C::TakeDevices) {
        m_presets->takeDeviceCopy();
        return;
    }
    if (choices.wall() == C::SendMine) {
        if (!writeAllAndVerify())
            m_feedback->showMessage(Message::NotRecognised);
        return;
    }
    m_presets->takePresets(taken);
    if (choices.current() == C::TakeDevices)
        m_presets->takeCurrent();
    const QList<int> mine = choices.presets(C::SendMine);
    const bool recall = choices.current() == C::SendMine;
    if (mine.isEmpty() && !recall)
        return;
    if (m_presets->writePresets(mine, recall))
        verifyData();
    else
        m_feedback->showMessage(Message::NotRecognised);
}

// The host holds only entry values the device confirmed; the signal flags
// are those last read, which a verify does not read.
void DataActions::takeEntries(const QList<int> &entries)
{
    DeviceData &record = m_link->dm_data;
    for (int k : entries) {
        InCardEntry &mine = record.inCards[size_t(k)];
        const int flagA = mine.sigFlagA;
        const int flagB = mine.sigFlagB;
        mine = m_link->dm_deviceCopy.inCards[size_t(k)];
        mine.sigFlagA = flagA;
        mine.sigFlagB = flagB;
    }
    if (!entries.isEmpty())
        emit sourcesChanged();
}

bool DataActions::allowReplacing(const QList<int> &presets) const
{
    QStringList names;
    for (int m : presets)
        names << QStringLiteral("M%1").arg(m + 1);
    const QString text = m_text("Presets changed here may not be on the device: %1. Data Sync replaces them "
                                "with the device's, keeping a dated copy of this program's data. Go on?",
                                "本机修改的模式可能不在设备上：%1。数据同步将以设备的数据替换它们，"
                                "并保留本机数据的带日期副本。继续吗？")
                             .arg(names.join(QStringLiteral(", ")));
    return QMessageBox::question(nullptr, m_feedback->message(Message::Title), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

bool DataActions::backUp()
{
    m_presets->store();
    if (!m_link->dm_data.saveBackup().isEmpty())
        return true;
    m_feedback->showMessage(Message::CannotSave);
    return false;
}

// What the verify read of the device, as a data file of its own beside the
// host's, dated: Data Import brings it back.
bool DataActions::backUpDevice()
{
    DeviceData device = m_link->dm_deviceCopy;
    for (int m = 0; m < DeviceData::Presets; ++m)
        device.modelView[size_t(m)] = WallFile::bytes(PresetCheck::devicePreset(device, m));
    device.configPath = QFileInfo(m_link->dm_data.configPath).dir().filePath(QStringLiteral("DeviceData.pd"));
    if (!device.saveBackup().isEmpty())
        return true;
    m_feedback->showMessage(Message::CannotSave);
    return false;
}

void DataActions::initDevice()
{
    if (!m_link->isConnected())
        return;
    const QMessageBox::StandardButton answer = QMessageBox::information(
        nullptr, m_feedback->message(Message::Title),
        m_text("Do you want to initialize the device?", "是否初始化设备？"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return;
    m_link->send(LinkRequest::restoreFactory());
    emit deviceWorkPosted(QStringLiteral("initialise"), QStringLiteral("factory settings"));
}

bool DataActions::askPresetName(int preset)
{
    DeviceData &record = m_link->dm_data;
    QString name = record.modelName(preset);
    if (!askName(m_text("Model Name", "模式名称"), m_text("Please input model name", "请输入模式名称..."), &name))
        return false;
    m_bar->setMyToolTip(name);
    record.setModelName(name, preset);
    return true;
}

bool DataActions::askInputName(int code)
{
    DeviceData &record = m_link->dm_data;
    QString name = record.inCardName(code);
    if (!askName(m_text("Incard Name", "输入卡名称"), m_text("Please input incard name", "请输入输入卡名称..."),
                 &name))
        return false;
    record.setInCardName(name, code);
    emit sourcesChanged();
    return true;
}

bool DataActions::askName(const QString &title, const QString &label, QString *name) const
{
    bool ok = false;
    const QString typed = QInputDialog::getText(nullptr, title, label, QLineEdit::Normal, *name, &ok);
    if (ok)
        *name = typed.trimmed();
    return ok;
}
