#pragma once

#include "ioutlinkblock.h"
#include "ioutlinkform.h"
#include "moduleframe.h"
#include "pagelookup.h"

#include <QStringList>
#include <QTreeWidgetItem>

// Records and look-ups shared by the remote link page's tests.
namespace IoutlinkTestData {

inline IoutlinkRecord record(
    const QString &name, const QString &ip, int slot, int subSlot, int in, int out, quint32 typeId, quint32 scan = 0)
{
    IoutlinkRecord r;
    r.name = name;
    r.ip = ip;
    r.slot = slot;
    r.subSlot = subSlot;
    r.Inputsize = in;
    r.Outputsize = out;
    r.typeId = typeId;
    r.Scantime = scan;
    return r;
}

inline IoutlinkStation station(const IoutlinkRecord &m, const QVector<IoutlinkRecord> &subs = {})
{
    IoutlinkStation s;
    s.module = m;
    s.subs = subs;
    return s;
}

inline IOutlinkForm *linkPage(moduleFrame *frame)
{
    return TestSupport::builtPageOf<IOutlinkForm>(frame);
}

inline QStringList rowTexts(QTreeWidgetItem *row)
{
    QStringList texts;
    for (int c = 0; c < 7; ++c)
        texts << row->text(c);
    return texts;
}

} // namespace IoutlinkTestData
