// A simulated module to point the real program at, by hand. By default it answers as the example
// coupler RVE-C100 with three sub-modules; the options make it another module or misbehave like a
// bad one. Besides scans and downloads it serves the live pages: I/O monitor, communication
// monitor, temperature curves, block uploads and, with --serial, a serial line.
#include "apppaths.h"
#include "bytecodec.h"
#include "endpoints.h"
#include "fakecommmonitor.h"
#include "fakeiolinkmaster.h"
#include "fakeiomonitor.h"
#include "fakemodule.h"
#include "faketempcurve.h"
#include "fakeweighing.h"
#include "mqttgeneralconfig.h"
#include "mqtttopicconfig.h"
#include "serialpeer.h"
#include "tempctlblocks.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimer>
#include <QXmlStreamReader>
#include <cmath>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

bool commandLetter(const QString &text, char &letter)
{
    if (text.size() != 1 || text.at(0).unicode() > 0x7F)
        return false;
    letter = char(text.at(0).unicode());
    return true;
}

// Input and output bytes of each module type, from the descriptions beside the program.
QMap<QString, QPair<int, int>> describedSizes()
{
    QMap<QString, QPair<int, int>> sizes;
    const QDir root(AppPaths::path(QStringLiteral("/ModuleParameter")));
    for (const QString &family : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(root.filePath(family + QStringLiteral("/ModuleParameter.xml")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QXmlStreamReader xml(&file);
        QString name;
        while (!xml.atEnd()) {
            if (!xml.readNextStartElement())
                continue;
            if (xml.name() == QLatin1String("Module"))
                name = xml.attributes().value(QLatin1String("ModuleName")).toString();
            else if (xml.name() == QLatin1String("Data") && !name.isEmpty())
                sizes.insert(name,
                    { xml.attributes().value(QLatin1String("Inputsize")).toInt(),
                        xml.attributes().value(QLatin1String("Outputsize")).toInt() });
        }
    }
    return sizes;
}

// Sub-module names by type id, from Sublistmap.map ("[101:RV-DI16],").
QMap<int, QString> describedSubmodules()
{
    QMap<int, QString> names;
    QFile file(AppPaths::path(QStringLiteral("/ModuleParameter/Sublistmap.map")));
    if (!file.open(QIODevice::ReadOnly))
        return names;
    static const QRegularExpression entry(QStringLiteral("\\[(\\d+):([^\\]]+)\\]"));
    auto it = entry.globalMatch(QString::fromUtf8(file.readAll()));
    while (it.hasNext()) {
        const auto match = it.next();
        names.insert(match.captured(1).toInt(), match.captured(2).trimmed());
    }
    return names;
}

// Blocks the upload buttons read back, with contents a person recognises.
void setExampleBlocks(FakeModule &fake)
{
    MqttGeneralConfig general;
    general.enabled = true;
    general.clientId = QStringLiteral("rivudo-demo");
    general.serverAddress = QStringLiteral("127.000.000.001");
    general.port = QStringLiteral("1883");
    general.userName = QStringLiteral("demo");
    general.password = QStringLiteral("demo");
    general.keepAlive = 60;
    general.reconnect = true;
    general.reconnectPeriod = 5;
    fake.setUploadBlock(18, 16, general.toText().toUtf8());
    const auto topic = [](const QString &name, const QString &payload, int sendTime) {
        MqttTopicConfig t;
        t.topic = name;
        t.qos = 1;
        t.sendTime = sendTime;
        t.payload = payload;
        return t.toText();
    };
    fake.setUploadBlock(18, 17, topic("rivudo/status", "{\n\t\"state\":\t\"offline\"\n}", 0).toUtf8());
    fake.setUploadBlock(18, 18,
        (topic("rivudo/inputs", "{\n\t\"DI\":\t\"%1\",\n\t\"AI1\":\t\"%3\"\n}", 5)
            + topic("rivudo/status/word", "{\n\t\"status\":\t\"%0\"\n}", 10))
            .toUtf8());
    fake.setUploadBlock(18, 19, topic("rivudo/outputs", "{\n\t\"DO\":\t\"%2\"\n}", 0).toUtf8());
    fake.useExampleTempCtlBlocks();
}

// A gateway that has something to tell at every keep-alive: a request and its answer, and now
// and then a failed one, over four slots.
QList<QByteArray> trafficMessages(int &count)
{
    const int slot = count % 4 + 1;
    const QByteArray s = QByteArray::number(slot);
    QList<QByteArray> messages { "Tx slot=" + s + ",01 03 00 00 00 02", "Rx slot=" + s + ",01 03 04 00 2A 01 0" + s };
    if (++count % 10 == 0)
        messages << "Err slot=" + s + ",timeout";
    return messages;
}

class TalkingCommMonitor : public FakeCommMonitor
{
public:
    void datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort) override
    {
        if (data == "IAMOK")
            log().queue(trafficMessages(m_count));
        FakeCommMonitor::datagram(ctx, data, from, fromPort);
    }

private:
    int m_count = 0;
};

class TalkingCommMonitorSerial : public FakeCommMonitorSerial
{
public:
    int consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies) override
    {
        if (pending.startsWith("M\r\n"))
            log().queue(trafficMessages(m_count));
        return FakeCommMonitorSerial::consume(pending, replies);
    }

private:
    int m_count = 0;
};

bool parsePair(const QString &text, int &first, int &second)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool ok1 = false, ok2 = false;
    if (parts.size() == 2) {
        first = parts.at(0).trimmed().toInt(&ok1);
        second = parts.at(1).trimmed().toInt(&ok2);
    }
    return ok1 && ok2 && first >= 0 && second >= 0 && first < 4096 && second < 4096;
}

} // namespace

int main(int argc, char *argv[])
{
    // A test that starts the fake and then dies must not leave it running: it would hold the
    // test's output open and keep its addresses and ports.
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        return 1;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fakemodule"));
    Endpoints &endpoints = Endpoints::current();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Answers like a module on a loopback address: command channel (TCP), firmware port (TCP) and\n"
                       "configuration block port (UDP). Without options it is an RVE-C100 coupler with RV-DI16,\n"
                       "RV-DO16 and RV-AI4, as the example descriptions know them.\n"
                       "Port 999 needs root: pass --firmware-port 9999 otherwise (firmware updates from the program\n"
                       "then do not reach the fake; scans and parameter downloads do)."));
    parser.addHelpOption();
    const QCommandLineOption address({ "a", "address" }, "Address to listen on.", "ip", "127.0.0.5");
    const QCommandLineOption command(
        "command-port", "Command channel port (TCP).", "port", QString::number(endpoints.commandPort));
    const QCommandLineOption firmware(
        "firmware-port", "Firmware image port (TCP).", "port", QString::number(endpoints.firmwarePort));
    const QCommandLineOption config(
        "config-port", "Configuration block port (UDP).", "port", QString::number(endpoints.configModulePort));
    const QCommandLineOption type(
        { "t", "type" }, "Module type in the information reply.", "name", FakeModule::exampleCouplerType);
    const QCommandLineOption params({ "p", "params" },
        "Parameter bytes as hexadecimal (all modules, in order). Default: the example coupler's bytes for the example "
        "coupler, none for another module (the program then keeps the described defaults).",
        "hex");
    QStringList defaultIds;
    for (int id : FakeModule::exampleSubmoduleIds)
        defaultIds << QString::number(id);
    const QCommandLineOption subs({ "s", "submodules" },
        "Sub-module type ids, comma-separated (see Sublistmap.map); \"none\" for none. Default: the example "
        "coupler's three, none with --type.",
        "ids", defaultIds.join(QLatin1Char(',')));

    const QCommandLineOption silent("silent", "Accept connections, never greet or answer.");
    const QCommandLineOption late("late", "Send every greeting and reply this much later.", "ms");
    const QCommandLineOption split("split", "Write each reply in two pieces, split after this many bytes.", "bytes");
    const QCommandLineOption gap("gap", "Pause between the pieces of a split or multi-part reply.", "ms", "150");
    const QCommandLineOption backToBack(
        "back-to-back", "Write the pieces and parts of a reply in one go, with no pause (as real networks do).");
    const QCommandLineOption dropOn(
        "drop-on", "Close the link instead of answering this command letter (R, G, P, S, U, C ...).", "letter");
    const QCommandLineOption closeAfter("close-after", "Answer this command letter, then close the link.", "letter");
    const QCommandLineOption skipAck("skip-ack", "Leave out the n-th acknowledge (counted from 0).", "n");
    const QCommandLineOption dropCommand(
        "drop-command-after", "Reset the command link after this many received bytes.", "bytes");
    const QCommandLineOption dropFirmware(
        "drop-firmware-after", "Close the firmware link after this many received bytes.", "bytes");
    const QCommandLineOption noReset("no-reset-text", "Do not confirm a complete firmware image.");

    const QCommandLineOption ioMonitor(
        "io-monitor-port", "I/O monitor port (UDP).", "port", QString::number(endpoints.ioMonModulePort));
    const QCommandLineOption commMonitor("comm-monitor-port", "Communication monitor port (UDP).", "port",
        QString::number(endpoints.modbusMonModulePort));
    const QCommandLineOption temp(
        "temp-port", "Temperature curve port (UDP).", "port", QString::number(endpoints.tempModulePort));
    const QCommandLineOption image("image",
        "Input and output bytes of the process image, comma-separated (default: the sums of the described module "
        "and sub-modules).",
        "in,out");
    const QCommandLineOption serial("serial",
        "Also answer on a pseudo-terminal (its path is printed): scans, parameter downloads, I/O monitor, "
        "communication monitor, IO-Link master and weighing module.");

    parser.addOptions({ address, command, firmware, config, type, params, subs, silent, late, split, gap, backToBack,
        dropOn, closeAfter, skipAck, dropCommand, dropFirmware, noReset, ioMonitor, commMonitor, temp, image, serial });
    parser.process(app);

    QTextStream err(stderr);
    const auto number = [&](const QCommandLineOption &option, qint64 &value) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        value = parser.value(option).toLongLong(&ok);
        if (!ok || value < 0)
            err << "--" << option.names().constLast() << ": not a number: " << parser.value(option) << "\n";
        return ok && value >= 0;
    };
    qint64 commandPort = endpoints.commandPort, firmwarePort = endpoints.firmwarePort,
           configPort = endpoints.configModulePort, lateMs = 0, splitAt = 0, gapMs = 150, ack = -1, commandDrop = -1,
           firmwareDrop = -1, ioMonitorPort = endpoints.ioMonModulePort,
           commMonitorPort = endpoints.modbusMonModulePort, tempPort = endpoints.tempModulePort;
    const bool numbersOk = number(command, commandPort) && number(firmware, firmwarePort) && number(config, configPort)
        && number(ioMonitor, ioMonitorPort) && number(commMonitor, commMonitorPort) && number(temp, tempPort)
        && number(late, lateMs) && number(split, splitAt) && number(gap, gapMs) && number(skipAck, ack)
        && number(dropCommand, commandDrop) && number(dropFirmware, firmwareDrop);
    if (!numbersOk)
        return 2;
    for (qint64 port : { commandPort, firmwarePort, configPort, ioMonitorPort, commMonitorPort, tempPort }) {
        if (port == 0 || port > 65535) {
            err << "a port is out of range: " << port << "\n";
            return 2;
        }
    }
    endpoints.commandPort = quint16(commandPort);
    endpoints.firmwarePort = quint16(firmwarePort);
    endpoints.configModulePort = quint16(configPort);
    endpoints.ioMonModulePort = quint16(ioMonitorPort);
    endpoints.modbusMonModulePort = quint16(commMonitorPort);
    endpoints.tempModulePort = quint16(tempPort);

    FakeModule fake(parser.value(address));
    fake.useExampleCoupler();
    if (parser.isSet(type)) {
        fake.setModuleType(parser.value(type));
        fake.setGreeting("\r\n" + parser.value(type).toLatin1() + " Software version V1.00\r\n");
    }
    const bool example = !parser.isSet(type) && !parser.isSet(subs);
    const QString paramHex = parser.isSet(params)
        ? parser.value(params).remove(QLatin1Char(' '))
        : (example ? QString::fromLatin1(FakeModule::exampleParamBytes.toHex()) : QString());
    if (!QRegularExpression(QStringLiteral("^([0-9A-Fa-f]{2})*$")).match(paramHex).hasMatch()) {
        err << "--params: not hexadecimal: " << parser.value(params) << "\n";
        return 2;
    }
    fake.setParamBytes(QByteArray::fromHex(paramHex.toLatin1()));
    // Another module than the example coupler has no sub-modules unless they are named.
    QList<int> ids;
    const QString idText = parser.isSet(subs) || !parser.isSet(type) ? parser.value(subs) : QStringLiteral("none");
    if (idText != QLatin1String("none")) {
        for (const QString &id : idText.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            ids << id.trimmed().toInt(&ok);
            if (!ok) {
                err << "--submodules: not a type id: " << id << "\n";
                return 2;
            }
        }
    }
    fake.setSubmoduleIds(ids);

    // The process image the information reply announces and the I/O monitor serves.
    int inputBytes = 0, outputBytes = 0;
    if (parser.isSet(image)) {
        if (!parsePair(parser.value(image), inputBytes, outputBytes)) {
            err << "--image: two byte counts expected, as in 16,4: " << parser.value(image) << "\n";
            return 2;
        }
    } else {
        const QMap<QString, QPair<int, int>> sizes = describedSizes();
        const QMap<int, QString> names = describedSubmodules();
        QStringList types { parser.value(type) };
        for (int id : qAsConst(ids))
            types << names.value(id);
        for (const QString &t : qAsConst(types)) {
            inputBytes += sizes.value(t).first;
            outputBytes += sizes.value(t).second;
        }
    }
    fake.setProcessImageLengths(inputBytes, outputBytes);
    auto ioImage = std::make_shared<FakeIoImage>(inputBytes, outputBytes);
    // Inputs that change, so the monitor and its curves have something to show.
    ioImage->setInputChanger(
        [](QByteArray &in) {
            for (int i = 0; i < in.size(); ++i)
                in[i] = char(quint8(in.at(i)) + quint8(i + 1));
        },
        500);
    fake.addService(std::make_shared<FakeIoMonitor>(ioImage));
    fake.addService(std::make_shared<TalkingCommMonitor>());
    auto curves = std::make_shared<FakeTempCurve>();
    fake.addService(curves);
    setExampleBlocks(fake);

    fake.setSilent(parser.isSet(silent));
    fake.setReplyDelay(int(lateMs));
    fake.setSplitReply(int(splitAt));
    fake.setPieceGap(int(gapMs));
    fake.setBackToBack(parser.isSet(backToBack));
    fake.setSkipAck(int(ack));
    fake.setCommandDropAfter(commandDrop);
    fake.setFirmwareDropAfter(firmwareDrop);
    fake.setConfirmFirmware(!parser.isSet(noReset));
    for (const auto &[option, setter] : { std::make_pair(&dropOn, &FakeModule::setDropOnCommand),
             std::make_pair(&closeAfter, &FakeModule::setCloseAfterCommand) }) {
        if (!parser.isSet(*option))
            continue;
        char letter = 0;
        if (!commandLetter(parser.value(*option), letter)) {
            err << "--" << option->names().constLast() << ": one command letter expected\n";
            return 2;
        }
        (fake.*setter)(letter);
    }

    QTextStream out(stdout);
    if (!fake.start()) {
        err << "cannot listen on " << fake.address() << " (tcp " << endpoints.commandPort << " and "
            << endpoints.firmwarePort << ", udp " << endpoints.configModulePort << ")";
        if (endpoints.firmwarePort < 1024)
            err << "; port " << endpoints.firmwarePort << " needs root: try --firmware-port 9999";
        err << "\n";
        return 1;
    }
    out << "fake module " << fake.address() << " answering as " << parser.value(type);
    if (!ids.isEmpty())
        out << " with sub-modules " << idText;
    out << ": command " << endpoints.commandPort << ", firmware " << endpoints.firmwarePort << ", configuration (udp) "
        << endpoints.configModulePort << ", I/O monitor (udp) " << endpoints.ioMonModulePort
        << ", communication monitor (udp) " << endpoints.modbusMonModulePort << ", temperature curves (udp) "
        << endpoints.tempModulePort << "\n";

    // Temperatures that move: each channel's actual value swings around its set point.
    QTimer warming;
    qint64 tick = 0;
    QObject::connect(&warming, &QTimer::timeout, [&curves, &tick] {
        ++tick;
        for (int ch = 0; ch < tempChannelCount; ++ch) {
            const int set = 600 + 50 * ch;
            curves->setValue(ch, 2, set);
            curves->setValue(ch, 1, set + int(std::lround(40 * std::sin(0.05 * double(tick) + ch))));
            curves->setValue(ch, 3, 500 + int(std::lround(300 * std::cos(0.05 * double(tick) + ch))));
        }
    });
    warming.start(200);

    std::unique_ptr<SerialPeer> line;
    std::shared_ptr<FakeWeighing> scale;
    QTimer loading;
    if (parser.isSet(serial)) {
        line.reset(new SerialPeer);
        if (!line->isOpen()) {
            err << "cannot make a pseudo-terminal for --serial\n";
            return 1;
        }
        // The module itself first: information, parameters and the parameter download.
        line->addDevice(std::make_shared<FakeSerialModule>(fake));
        line->addDevice(std::make_shared<FakeIoMonitorSerial>(ioImage));
        line->addDevice(std::make_shared<TalkingCommMonitorSerial>());
        auto master = std::make_shared<FakeIoLinkMaster>();
        for (int port = 0; port < 4; ++port)
            master->plugDevice(FakeIoLinkMaster::exampleSensor(port));
        line->addDevice(master);
        scale = std::make_shared<FakeWeighing>();
        line->addDevice(scale);
        // Weights that settle and change, in tenths.
        QObject::connect(&loading, &QTimer::timeout, [&scale, &tick] {
            scale->setGross(0, 12345 + int(tick % 20));
            scale->setGross(1, 5000 + int(std::lround(250 * std::sin(0.1 * double(tick)))));
        });
        loading.start(500);
        out << "serial " << line->portName() << "\n";
    }
    out.flush();
    return app.exec();
}
