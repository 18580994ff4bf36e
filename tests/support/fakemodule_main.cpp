// A fake module to point the real program at: fakemodule --address 127.0.0.5, then scan
// 127.0.0.1 to 127.0.0.10 from the program. Port 999 needs root; pass --firmware-port otherwise.
#include "endpoints.h"
#include "fakemodule.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fakemodule"));
    Endpoints &endpoints = Endpoints::current();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Answers the command channel, firmware port and UDP "
                                                    "configuration port like a module."));
    parser.addHelpOption();
    const QCommandLineOption address({ "a", "address" }, "Address to listen on.", "ip", "127.0.0.1");
    const QCommandLineOption command(
        "command-port", "Command channel port (TCP).", "port", QString::number(endpoints.commandPort));
    const QCommandLineOption firmware(
        "firmware-port", "Firmware image port (TCP).", "port", QString::number(endpoints.firmwarePort));
    const QCommandLineOption config(
        "config-port", "Configuration block port (UDP).", "port", QString::number(endpoints.configModulePort));
    const QCommandLineOption type({ "t", "type" }, "Module type in the information reply.", "name", "FAKE-IO");
    const QCommandLineOption params({ "p", "params" }, "Parameter bytes as hexadecimal.", "hex", "");
    const QCommandLineOption subs({ "s", "submodules" }, "Sub-module type ids, comma-separated.", "ids", "");
    parser.addOptions({ address, command, firmware, config, type, params, subs });
    parser.process(app);

    endpoints.commandPort = quint16(parser.value(command).toUInt());
    endpoints.firmwarePort = quint16(parser.value(firmware).toUInt());
    endpoints.configModulePort = quint16(parser.value(config).toUInt());

    FakeModule fake(parser.value(address));
    fake.setModuleType(parser.value(type));
    fake.setParamBytes(QByteArray::fromHex(parser.value(params).toLatin1()));
    QList<int> ids;
    for (const QString &id : parser.value(subs).split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids << id.trimmed().toInt();
    fake.setSubmoduleIds(ids);

    QTextStream out(stdout);
    if (!fake.start()) {
        QTextStream(stderr) << "cannot listen on " << fake.address() << " (ports " << endpoints.commandPort << ", "
                            << endpoints.firmwarePort << ", udp " << endpoints.configModulePort << ")\n";
        return 1;
    }
    out << "fake module " << fake.address() << ": command " << endpoints.commandPort << ", firmware "
        << endpoints.firmwarePort << ", configuration (udp) " << endpoints.configModulePort << "\n";
    out.flush();
    return app.exec();
}
