// A simulated module to point the real program at, by hand. By default it answers as the example
// coupler RVE-C100 with three sub-modules; the options make it misbehave like a bad module.
#include "endpoints.h"
#include "fakemodule.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QTextStream>

namespace {

bool commandLetter(const QString &text, char &letter)
{
    if (text.size() != 1 || text.at(0).unicode() > 0x7F)
        return false;
    letter = char(text.at(0).unicode());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
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
    const QCommandLineOption params({ "p", "params" }, "Parameter bytes as hexadecimal (all modules, in order).", "hex",
        QString::fromLatin1(FakeModule::exampleParamBytes.toHex()));
    QStringList defaultIds;
    for (int id : FakeModule::exampleSubmoduleIds)
        defaultIds << QString::number(id);
    const QCommandLineOption subs({ "s", "submodules" },
        "Sub-module type ids, comma-separated (see Sublistmap.map); \"none\" for none.", "ids",
        defaultIds.join(QLatin1Char(',')));

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

    parser.addOptions({ address, command, firmware, config, type, params, subs, silent, late, split, gap, backToBack,
        dropOn, closeAfter, skipAck, dropCommand, dropFirmware, noReset });
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
           firmwareDrop = -1;
    const bool numbersOk = number(command, commandPort) && number(firmware, firmwarePort) && number(config, configPort)
        && number(late, lateMs) && number(split, splitAt) && number(gap, gapMs) && number(skipAck, ack)
        && number(dropCommand, commandDrop) && number(dropFirmware, firmwareDrop);
    if (!numbersOk)
        return 2;
    for (qint64 port : { commandPort, firmwarePort, configPort }) {
        if (port == 0 || port > 65535) {
            err << "a port is out of range: " << port << "\n";
            return 2;
        }
    }
    endpoints.commandPort = quint16(commandPort);
    endpoints.firmwarePort = quint16(firmwarePort);
    endpoints.configModulePort = quint16(configPort);

    FakeModule fake(parser.value(address));
    fake.useExampleCoupler();
    if (parser.isSet(type)) {
        fake.setModuleType(parser.value(type));
        fake.setGreeting("\r\n" + parser.value(type).toLatin1() + " Software version V1.00\r\n");
    }
    const QString paramHex = parser.value(params).remove(QLatin1Char(' '));
    if (!QRegularExpression(QStringLiteral("^([0-9A-Fa-f]{2})*$")).match(paramHex).hasMatch()) {
        err << "--params: not hexadecimal: " << parser.value(params) << "\n";
        return 2;
    }
    fake.setParamBytes(QByteArray::fromHex(paramHex.toLatin1()));
    QList<int> ids;
    const QString idText = parser.value(subs);
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
        << endpoints.configModulePort << "\n";
    out.flush();
    return app.exec();
}
