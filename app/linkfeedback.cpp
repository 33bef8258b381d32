#include "linkfeedback.h"

#include "applog.h"

#include <dialog_wait.h>
#include <messagecode.h>
#include <singleton_serialport.h>

#include <QMessageBox>

namespace {

// The message tables, by code (messagecode.h); several texts end in a blank.
const char *const Messages[Message::Count][2] = {
    {"Explain", "说明"},
    {"Operation succeeded", "操作成功"},
    {"opening failed", "连接失败"},
    {"The file is not recognized ", "文件无法识别"},
    {"Connect the machine before performing this operation. ", "请先连接机器,再执行本操作"},
    {"No connection, no instructions can be sent.", "没有连接,不能发送指令"},
    {"Command failed to send, please check the machine connection", "指令发送失败,请检查机器连接"},
    {"Send timeout, please try to resend", "发送超时,请尝试重新发送"},
    {"The currently selected position has no LED screen. ", "当前选中的位置没有LED屏"},
    {"The currently selected LED screen is full", "当前选中LED屏满了"},
    {"Please restart the startup", "请重新启动"},
    {"The file could not be saved", "文件无法保存"},
    {"The device did not confirm the network settings. It may already use the new address: enter it in "
     "the communication settings and connect again.",
     "设备未确认网络设置，可能已在使用新地址：请在通信设置中填写新地址后重新连接。"},
    {"This preset is on air and cannot be edited blind: pick another preset.",
     "该模式正在播出，不能预编辑：请选择其他模式。"},
    {"No wall is known yet: connect once, or import a data file, before working offline.",
     "尚无屏幕墙数据：请先连接一次或导入数据文件，再离线编辑。"},
};

} // namespace

LinkFeedback::LinkFeedback(Singleton_SerialPort *link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    using L = Singleton_SerialPort;
    connect(link, &L::send_out_time, this, [this](int ms) { m_outTimeCount = ms; });
    connect(link, &L::commandProgress, this, &LinkFeedback::linkProgress);
    connect(link, &L::send_explain_end, this, &LinkFeedback::linkMessage);
}

void LinkFeedback::setEnglish(bool english)
{
    m_text.setEnglish(english);
}

QString LinkFeedback::message(int code) const
{
    return code >= 0 && code < Message::Count ? m_text(Messages[code][0], Messages[code][1]) : QString();
}

void LinkFeedback::showMessage(int code) const
{
    if (code < 0 || code >= Message::Count) {
        qCWarning(lcApp) << "no message with code" << code;
        return;
    }
    QMessageBox::about(nullptr, message(Message::Title), message(code));
}

void LinkFeedback::openWaitPage()
{
    Dialog_wait page(m_text.english(), nullptr);
    connect(this, &LinkFeedback::closeWait, &page, &QDialog::close);
    connect(this, &LinkFeedback::waitProgress, &page, &Dialog_wait::showProgress);
    qCDebug(lcApp) << m_outTimeCount << "= m_outTimeCount";
    ++m_openPages;
    page.exec();
    if (--m_openPages == 0)
        emit waitPagesGone();
}

void LinkFeedback::closeWaitPages()
{
    emit closeWait();
    emit waitPagesClosed();
}

void LinkFeedback::linkProgress(int command, int framesDone, int framesTotal, qint64 bytesDone,
                                qint64 bytesTotal)
{
    const WaitProgress::Page page =
        m_progress.update(command, framesDone, framesTotal, bytesDone, bytesTotal, m_text.english());
    emit waitProgress(page.text, page.value, page.maximum);
}

// The link gave a request up before any connection of this run completed:
// the device does not answer. That ends the link as a drop would (the
// operator is told), and the transport is closed behind it.
void LinkFeedback::linkMessage(int code)
{
    if (code != Message::SendTimeout || m_link->state()->wasReady())
        return;
    qCDebug(lcApp) << "out time";
    // After the message: the operator reads why before being told the link ended.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_link->state()->state() != LinkStateModel::State::Reading)
                return;
            m_link->state()->handle(LinkStateModel::Event::Dropped);
            m_link->postCommand(Command::Disconnect);
        },
        Qt::QueuedConnection);
}
