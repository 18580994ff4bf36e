// The I/O page over large process images: building the page of 4,080 + 4,080 points in a shown
// window (to its first paint) and deleting it, beside the same with half the points (a linear
// cost takes half the time); then a serial gateway of 16 free-protocol records of 255 bytes each,
// reached once by a scan reply and once by opening a project, until its module is shown.
#include "benchconfirm.h"
#include "benchtools.h"
#include "builtinpages.h"
#include "formio.h"
#include "iopoint.h"
#include "mainwindow.h"
#include "module.h"
#include "mscomm_configcodec.h"
#include "projectfile.h"
#include "projectmodules.h"
#include "prompts.h"
#include "resourceinit.h"

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

struct PageCost
{
    double buildMs = 0;
    double deleteMs = 0;
    int rows = 0;
};

// One build and delete of a page over `points` inputs and as many outputs, in a shown window.
PageCost pageRun(QWidget &host, int points)
{
    module m(QStringLiteral("RVE-C100"), QStringLiteral("RVE"));
    m.inlen = QString::number(points);
    m.outlen = QString::number(points);
    m.buildIoPoints();
    settle();
    PageCost c;
    const qint64 t0 = Bench::nowNs();
    auto *page = new FormIO(&host);
    host.layout()->addWidget(page);
    page->attachModule(&m);
    page->show();
    page->updatePage();
    QCoreApplication::processEvents();
    host.repaint();
    const qint64 t1 = Bench::nowNs();
    if (auto *tree = page->findChild<QTreeWidget *>(QStringLiteral("treeWidget")))
        c.rows = tree->topLevelItemCount();
    const qint64 t2 = Bench::nowNs();
    delete page;
    settle();
    host.repaint();
    const qint64 t3 = Bench::nowNs();
    c.buildMs = (t1 - t0) / 1e6;
    c.deleteMs = (t3 - t2) / 1e6;
    return c;
}

QByteArray gatewayParamBytes(int records)
{
    QByteArray general;
    {
        module probe(QStringLiteral("RVG-M300"), QStringLiteral("RVG"));
        general = probe.getParamData().left(7);
    }
    MscomBlock block;
    for (int i = 0; i < records; ++i) {
        MscomRequestRow row;
        row.slave = quint8(i + 1);
        row.code = 0; // free protocol: one point per byte
        row.inLen = 255;
        row.outLen = 255;
        block.rows.append(row);
    }
    return general + encodeMscomBlock(block);
}

QByteArray gatewayInfoReply(int paramBytes, int records)
{
    return QStringLiteral("moduletype:RVG-M300#MAC:02:00:00:00:00:05#IP:127.0.0.5#MASK:255.0.0.0#GATEWAY:127.0.0.1"
                          "#INLN:%1#OTLN:%1#PRLN:%2#V1.00#V1.00#SUBNUM:0#end")
        .arg(records * 255)
        .arg(paramBytes)
        .toLatin1();
}

int pointsOf(MainWindow &window)
{
    return window.moduleList.isEmpty() ? 0 : window.moduleList.first()->ioPoints.size();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rivudoInitResources();
    registerBuiltinPages();
    int runs = 5;
    int points = 4080;
    int records = 16;
    bool pages = true;
    for (int i = 1; i < argc; ++i) {
        // For a profiler: --gateway-only leaves out the page runs.
        if (std::strcmp(argv[i], "--gateway-only") == 0)
            pages = false;
        else if (std::strcmp(argv[i], "--points") == 0 && i + 1 < argc)
            points = std::max(2, atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--records") == 0 && i + 1 < argc)
            records = std::max(1, atoi(argv[++i]));
        else
            runs = std::max(1, atoi(argv[i]));
    }
    Bench::Confirm confirm;
    Prompts::setHandler(&confirm);

    QWidget host;
    host.setLayout(new QVBoxLayout);
    host.resize(1000, 600);
    host.show();
    settle();
    pageRun(host, points / 2); // warm-up: styles, fonts, descriptions
    const int pageRuns = pages ? runs : 1;

    Bench::Side build { QStringLiteral("build %1 + %1 points").arg(points), {}, {} };
    Bench::Side buildHalf { QStringLiteral("build %1 + %1 points").arg(points / 2), {}, {} };
    Bench::Side del { QStringLiteral("delete %1 + %1 points").arg(points), {}, {} };
    Bench::Side delHalf { QStringLiteral("delete %1 + %1 points").arg(points / 2), {}, {} };
    int rows = 0;
    Bench::interleave(
        pageRuns,
        [&](int) {
            const PageCost c = pageRun(host, points);
            build.ms.push_back(c.buildMs);
            del.ms.push_back(c.deleteMs);
            rows = c.rows;
            return c.rows == 2 * points;
        },
        [&](int) {
            const PageCost c = pageRun(host, points / 2);
            buildHalf.ms.push_back(c.buildMs);
            delHalf.ms.push_back(c.deleteMs);
            return c.rows == 2 * (points / 2);
        });
    Bench::report(QStringLiteral("I/O page shown in a window, to its first paint (linear: 2x)"), build, buildHalf);
    Bench::report(QStringLiteral("I/O page deleted (linear: 2x)"), del, delHalf);

    // The serial gateway by a scan reply and by a project, each until the window has painted it.
    const QByteArray param = gatewayParamBytes(records);
    const QByteArray info = gatewayInfoReply(param.size(), records);
    const QByteArray paramReply = QByteArrayLiteral("PRM:") + param + QByteArrayLiteral("#end");
    MainWindow window;
    window.show();
    // What the scan dialog's button reads before a scan.
    window.readDevicestype();
    window.readSublistmap();
    settle();
    Bench::Side scan { QStringLiteral("scan reply (%1 + %2 bytes)").arg(info.size()).arg(paramReply.size()), {}, {} };
    Bench::Side open { QStringLiteral("open project"), {}, {} };
    int scanPoints = 0;
    int openPoints = 0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gateway.kdxml"));
    {
        module m(QStringLiteral("RVG-M300"), QStringLiteral("RVG"));
        m.setParamData(param);
        settle();
        ProjectFile::writeFile(path,
            ProjectFile::documentXml(
                ProjectFile::fileInfoXml(QStringLiteral("bench"),
                    ProjectFile::saveTimeText(QDateTime::currentDateTime()), QStringLiteral("serial gateway")),
                ProjectModules::modulesXml({ &m })));
    }
    Bench::interleave(
        runs,
        [&](int) {
            window.Startnewscan(QString());
            settle();
            const qint64 t0 = Bench::nowNs();
            window.Getmoduleinfo(info, modulebase::CONNEST_NET);
            window.GetmoduleinfoPrm(paramReply);
            window.Endscan();
            QCoreApplication::processEvents();
            window.repaint();
            scan.ms.push_back((Bench::nowNs() - t0) / 1e6);
            scanPoints = pointsOf(window);
            return window.moduleList.size() == 1;
        },
        [&](int) {
            window.clearModuleList();
            settle();
            const qint64 t0 = Bench::nowNs();
            window.loadProjectFile(path);
            QCoreApplication::processEvents();
            window.repaint();
            open.ms.push_back((Bench::nowNs() - t0) / 1e6);
            openPoints = pointsOf(window);
            return window.moduleList.size() == 1;
        });
    Bench::report(QStringLiteral("Serial gateway of %1 x 255 bytes shown by a scan reply, beside opening it as a "
                                 "project (%2 / %3 points)")
                      .arg(records)
                      .arg(scanPoints)
                      .arg(openPoints),
        scan, open);

    const double buildMs = Bench::stats(build.ms).median;
    const double delMs = Bench::stats(del.ms).median;
    const double buildGrowth = buildMs / std::max(0.001, Bench::stats(buildHalf.ms).median);
    const double delGrowth = delMs / std::max(0.001, Bench::stats(delHalf.ms).median);
    Bench::tableLine(QStringLiteral("I/O page of %1 + %1 points build").arg(points),
        QStringLiteral("%1 ms (%2 rows)").arg(buildMs, 0, 'f', 0).arg(rows), QStringLiteral("<= 300 ms"),
        buildMs <= 300 && rows == 2 * points);
    Bench::tableLine(QStringLiteral("I/O page of %1 + %1 points delete").arg(points),
        QStringLiteral("%1 ms").arg(delMs, 0, 'f', 0), QStringLiteral("<= 100 ms"), delMs <= 100);
    Bench::tableLine(QStringLiteral("I/O page build / delete growth, 2x points"),
        QStringLiteral("%1x / %2x").arg(buildGrowth, 0, 'f', 2).arg(delGrowth, 0, 'f', 2),
        QStringLiteral("<= 2.3x (linear 2x, square 4x)"), buildGrowth <= 2.3 && delGrowth <= 2.3);
    const double scanMs = Bench::stats(scan.ms).median;
    const double openMs = Bench::stats(open.ms).median;
    // The table's length fields hold at most 128 bytes: the module gets what the table keeps.
    const int expected = scanPoints;
    Bench::tableLine(QStringLiteral("gateway %1 x 255 shown: scan reply / project").arg(records),
        QStringLiteral("%1 ms / %2 ms (%3 / %4 points)")
            .arg(scanMs, 0, 'f', 0)
            .arg(openMs, 0, 'f', 0)
            .arg(scanPoints)
            .arg(openPoints),
        QStringLiteral("<= 1000 ms each"), scanMs <= 1000 && openMs <= 1000 && expected > 0 && openPoints == expected);
    Prompts::setHandler(nullptr);
    return 0;
}
