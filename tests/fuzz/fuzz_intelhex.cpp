// Intel HEX files come from outside; the reader must survive anything. The program reads a file
// through the device reader, which cuts lines out of large reads: the same bytes go through it
// whole (as a file gives them) and in small reads (as a pipe may), and every way must read the
// same image with the same error on the same line as the in-memory reader.
#include "firmwareheader.h"
#include "intelhex.h"

#include <QBuffer>
#include <QIODevice>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// A sequential device that hands out at most step bytes per read.
class TrickleDevice : public QIODevice
{
public:
    TrickleDevice(const QByteArray &data, qint64 step)
        : m_data(data)
        , m_step(step)
    {
    }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *out, qint64 max) override
    {
        const qint64 n = qMin(qMin(max, m_step), qint64(m_data.size()) - m_pos);
        if (n <= 0)
            return 0;
        std::memcpy(out, m_data.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const QByteArray m_data;
    const qint64 m_step;
    qint64 m_pos = 0;
};

bool same(const HexReadResult &a, const HexReadResult &b)
{
    return a.error == b.error && a.line == b.line && a.image == b.image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const HexReadResult result = readIntelHex(text);
    if (result.image.size() > maxHexImageSize)
        __builtin_trap();
    if (result.ok())
        FirmwareHeader::fromImage(result.image).toBytes();

    QBuffer file;
    file.setData(text);
    if (!file.open(QIODevice::ReadOnly) || !same(readIntelHex(file), result))
        __builtin_trap();
    // Reads that end inside a line, a line end or a record, as a pipe's may.
    for (qint64 step : { qint64(1), qint64(7) + qint64(size % 61) }) {
        TrickleDevice trickle(text, step);
        if (!trickle.open(QIODevice::ReadOnly) || !same(readIntelHex(trickle), result))
            __builtin_trap();
    }
    return 0;
}
