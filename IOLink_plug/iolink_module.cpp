#include "iolink_module.h"

#include "bytecodec.h"
#include "channel_ctrl.h"
#include "iolinkinfoframe_ctrl.h"
#include "iolinkparamframe_ctrl.h"
#include "iolinkportsetframe_ctrl.h"
#include "module.h"
#include "modulebase.h"
#include "plugframe.h"
#include "prompts.h"
#include "seriallink.h"
#include "submodule.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QEvent>

namespace {

IoLink_Module *s_instance = nullptr;
// The last write of any link: a link made again must still keep writes 100 ms apart.
QElapsedTimer s_lastSendTime;

struct CommandInfo
{
    int requestPayload;
    int replyPayload;
};

// Indexed by command 1..10.
constexpr CommandInfo commandInfo[] = {
    { 0, 0 }, { 4, 2 }, // IOLINK_SET_IOPARAM
    { 1, 4 }, // IOLINK_GET_IOPARAM
    { 13, 2 }, // IOLINK_SET_PORT
    { 1, 13 }, // IOLINK_GET_PORT
    { 4, 238 }, // IOLINK_READ_ISDU
    { 239, 3 }, // IOLINK_WRITE_ISDU
    { 70, 4 }, // IOLINK_WRITE_PARAM
    { 2, 72 }, // IOLINK_READ_PARAM
    { 70, 4 }, // IOLINK_SAVE_PARAM
    { 1, 381 }, // IOLINK_GET_DEVICEINFO
};

bool isCommand(int command)
{
    return command >= IOLINK_SET_IOPARAM && command <= IOLINK_GET_DEVICEINFO;
}

} // namespace

int ioLinkReplyPayloadSize(int command)
{
    return isCommand(command) ? commandInfo[command].replyPayload : 0;
}

int ioLinkReplyFrameSize(int command)
{
    return isCommand(command) ? 9 + commandInfo[command].replyPayload : 0;
}

int ioLinkRequestPayloadSize(int command)
{
    return isCommand(command) ? commandInfo[command].requestPayload : 0;
}

IoLink_Module::IoLink_Module()
{
    m_timerId = startTimer(tickMs, Qt::CoarseTimer);
}

IoLink_Module::~IoLink_Module()
{
    if (s_instance == this)
        s_instance = nullptr;
}

IoLink_Module *IoLink_Module::instance()
{
    if (!s_instance)
        s_instance = new IoLink_Module;
    return s_instance;
}

IoLink_Module *IoLink_Module::existingInstance()
{
    return s_instance;
}

void IoLink_Module::deleteInstance()
{
    IoLink_Module *link = s_instance;
    s_instance = nullptr;
    delete link;
}

void IoLink_Module::setModule(modulebase *module)
{
    m_module = module;
    m_moduleGuard = dynamic_cast<QObject *>(module);
    m_guarded = !m_moduleGuard.isNull();
}

modulebase *IoLink_Module::getModule() const
{
    // Pages attach while their module is still being built, before it can be seen as the QObject
    // it becomes; the guard is taken at the first use after that.
    if (!m_guarded && m_module) {
        m_moduleGuard = dynamic_cast<QObject *>(m_module);
        m_guarded = !m_moduleGuard.isNull();
    }
    if (m_guarded && m_moduleGuard.isNull())
        return nullptr;
    return m_module;
}

QString IoLink_Module::resolvePortName() const
{
    const modulebase *m = getModule();
    // A sub-module carries no port of its own: it talks through the module in whose slot it sits.
    if (const auto *sub = dynamic_cast<const submodule *>(m))
        m = sub->parentModule;
    if (!m || m->connType != modulebase::CONNEST_COM)
        return QString();
    return m->comstr;
}

void IoLink_Module::registerFrame(Channel_Ctrl *frame)
{
    if (!frame || frame->port > 3)
        return;
    QVector<QPointer<Channel_Ctrl>> &ports = frameMap[frame->metaObject()];
    if (ports.size() != 4)
        ports.resize(4);
    ports[frame->port] = frame;
}

Channel_Ctrl *IoLink_Module::frameFor(const QMetaObject *frameClass, int port) const
{
    const auto it = frameMap.constFind(frameClass);
    if (it == frameMap.constEnd() || port < 0 || port >= it->size())
        return nullptr;
    return it->at(port).data();
}

void IoLink_Module::sendCommand(int command, QByteArray payload)
{
    if (sendQueue.size() >= maxQueued)
        return;
    sendQueue.append(PlugFrame::build(PlugFrame::typeIoLink, command, payload));
}

void IoLink_Module::closePort()
{
    if (!uart)
        return;
    uart->disconnect(this);
    uart->close();
    uart->deleteLater();
    uart = nullptr;
    dataRecive.clear();
}

bool IoLink_Module::event(QEvent *e)
{
    if (e->type() != QEvent::Timer)
        return QObject::event(e);
    sendStep();
    return true;
}

void IoLink_Module::sendStep()
{
    if (s_lastSendTime.isValid() && s_lastSendTime.elapsed() < tickMs)
        return;
    if (sendQueue.isEmpty())
        return;
    // While a scan or a download has the port, the frames wait for it.
    if (uart && uart->isPaused())
        return;
    if (!uart) {
        const QString portName = resolvePortName();
        if (portName.isEmpty()) {
            unsent(sendQueue.takeFirst(), noSerialLinkText());
            s_lastSendTime.start();
            return;
        }
        auto *link = new SerialLink(this);
        // Replies say what they answer: the link takes the IO-Link frames whenever they come,
        // and its requests need not wait for another page's reply.
        link->setClaim(&IoLink_Module::claimReply);
        if (!link->open(portName)) {
            const QString problem = link->errorString();
            delete link;
            unsent(sendQueue.takeFirst(), problem);
            s_lastSendTime.start();
            return;
        }
        uart = link;
        connect(uart, &SerialLink::frameReceived, this, &IoLink_Module::com_messageReceive);
        m_portName = portName;
    }
    const QByteArray frame = sendQueue.takeFirst();
    s_lastSendTime.start();
    // A port that vanished is opened again by this write; when it cannot be, the frame is gone
    // and its page says why.
    if (!uart->write(char(PlugFrame::requestPrefix) + frame))
        unsent(frame, uart->lastError());
}

QString IoLink_Module::noSerialLinkText()
{
    return tr("IO-Link需要耦合器的串口连接，请通过串口扫描该模块");
}

QString IoLink_Module::unreachableReason() const
{
    // Frames not yet attached to a page's module have nobody to ask.
    if (uart || !getModule())
        return QString();
    return resolvePortName().isEmpty() ? noSerialLinkText() : QString();
}

bool IoLink_Module::reachable(QWidget *page)
{
    const QString why = instance()->unreachableReason();
    if (why.isEmpty())
        return true;
    Prompts::warning(page, tr("错误"), why);
    return false;
}

void IoLink_Module::unsent(const QByteArray &frame, const QString &why)
{
    qDebug().noquote() << "IO-Link: request not sent:" << why;
    if (frame.size() < 8)
        return;
    const int command = quint8(frame.at(2));
    const int port = quint8(frame.at(7));
    Channel_Ctrl *target = frameFor(frameClassOf(command), port);
    if (auto *portSet = qobject_cast<IoLinkPortSetFrame_Ctrl *>(target))
        portSet->appendLog(why, true);
    else if (auto *param = qobject_cast<IoLinkParamFrame_Ctrl *>(target))
        param->showUnsent(frame.size() > 8 ? quint8(frame.at(8)) : 0, why);
    else if (auto *info = qobject_cast<IoLinkInfoFrame_Ctrl *>(target))
        info->showUnsent(why);
}

int IoLink_Module::claimReply(const QByteArray &frameSoFar)
{
    const int command = PlugFrame::commandOf(frameSoFar, PlugFrame::typeIoLink);
    if (command < 0)
        return command == -2 ? 0 : -1;
    const int size = ioLinkReplyFrameSize(command);
    if (size == 0 || (frameSoFar.size() > 7 && quint8(frameSoFar.at(7)) > 3))
        return -1;
    return size;
}

void IoLink_Module::com_messageReceive(const QByteArray &frame)
{
    // The line hands over whole frames, cut by the size their command gives.
    if (uart)
        dispatchFrame(frame);
}

bool IoLink_Module::checkSum(const QByteArray &frame) const
{
    return PlugFrame::checkSum(frame);
}

QByteArray IoLink_Module::_SplitData(QByteArray aryBuf)
{
    return PlugFrame::cut(aryBuf);
}

QByteArray IoLink_Module::SplitData()
{
    return PlugFrame::take(dataRecive);
}

const QMetaObject *IoLink_Module::frameClassOf(int command)
{
    switch (command) {
    case IOLINK_WRITE_PARAM:
    case IOLINK_READ_PARAM:
    case IOLINK_SAVE_PARAM:
        return &IoLinkParamFrame_Ctrl::staticMetaObject;
    case IOLINK_GET_DEVICEINFO:
        return &IoLinkInfoFrame_Ctrl::staticMetaObject;
    default:
        return &IoLinkPortSetFrame_Ctrl::staticMetaObject;
    }
}

bool IoLink_Module::parseReply(const QByteArray &frame, IoLinkReply *reply)
{
    if (frame.size() < 10 || quint8(frame.at(1)) != PlugFrame::typeIoLink)
        return false;
    const int command = quint8(frame.at(2));
    if (!isCommand(command) || frame.size() != ioLinkReplyFrameSize(command))
        return false;
    const int port = quint8(frame.at(7));
    if (port > 3)
        return false;
    reply->command = command;
    reply->port = port;
    reply->payload = frame.mid(7, frame.size() - 9);
    return true;
}

QString IoLink_Module::replyLogText(int command, const QByteArray &payload, bool *failed)
{
    ByteReader reader(payload, 1);
    *failed = false;
    switch (command) {
    case IOLINK_SET_IOPARAM:
    case IOLINK_SET_PORT:
        *failed = reader.u8() != 0;
        return (command == IOLINK_SET_IOPARAM ? tr("输入输出参数设置") : tr("IoLink端口设置"))
            + (*failed ? tr("失败") : tr("成功"));
    case IOLINK_GET_IOPARAM:
        return tr("读取输入输出参数成功!");
    case IOLINK_GET_PORT:
        return tr("读取端口参数成功!");
    case IOLINK_WRITE_ISDU: {
        const quint16 status = reader.u16le();
        *failed = status != 0;
        return tr("设置ISDU") + (*failed ? tr("失败 ") + QString::number(status) : tr("成功"));
    }
    default:
        return QString();
    }
}

void IoLink_Module::dispatchFrame(QByteArray frame)
{
    IoLinkReply reply;
    if (!parseReply(frame, &reply))
        return;
    Channel_Ctrl *target = frameFor(frameClassOf(reply.command), reply.port);
    if (!target)
        return;
    const QByteArray &payload = reply.payload;
    // Registered under its exact class, so the casts below cannot fail.
    if (auto *portSet = qobject_cast<IoLinkPortSetFrame_Ctrl *>(target)) {
        bool failed = false;
        const QString log = replyLogText(reply.command, payload, &failed);
        if (!log.isEmpty())
            portSet->appendLog(log, failed);
        if (reply.command == IOLINK_GET_IOPARAM)
            portSet->showIoParams(payload);
        else if (reply.command == IOLINK_GET_PORT)
            portSet->showPortConfig(payload);
        else if (reply.command == IOLINK_READ_ISDU)
            portSet->showIsduRead(payload);
    } else if (auto *param = qobject_cast<IoLinkParamFrame_Ctrl *>(target)) {
        if (reply.command == IOLINK_WRITE_PARAM)
            param->showWriteResult(payload);
        else if (reply.command == IOLINK_READ_PARAM)
            param->showReadRow(payload);
        else
            param->showSaveResult(payload);
    } else if (auto *info = qobject_cast<IoLinkInfoFrame_Ctrl *>(target)) {
        info->showDeviceInfo(payload);
    }
}
