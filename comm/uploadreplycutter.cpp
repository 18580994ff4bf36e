#include "uploadreplycutter.h"

#include "plugblock.h"

#include <QHash>
#include <QRandomGenerator>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <map>
#include <utility>

namespace {

constexpr int trailerSize = 4;
// The total sits in bytes 4 to 7 of the "SIZE" reply; its marker comes after them.
constexpr int sizeFieldEnd = 8;
// A "SIZE" reply whose marker has not come within this many bytes never ends.
constexpr int longestSizeHead = 256;
// Steps of the counting of readings allowed per judgement; bytes that need more are never taken.
constexpr qint64 workPerJudgement = qint64(1) << 20;
// More places of "end" than this are more than one judgement may look at.
constexpr int mostMarkers = 1 << 16;
// A reply beyond the total is weighed after a block that holds up to this many copies of its own
// trailer, or after one that starts with line ends, zeros or spaces and holds none: more, exactly
// where another reading ends its replies, is no faulty module's block but a block cut finely.
constexpr int copiesBeyondTotal = 3;

bool isRunByte(char c)
{
    return c == '\r' || c == '\n' || c == '\0' || c == ' ';
}

// True when some 4 bytes holding "end" start with these tp bytes.
bool startsSomeTrailer(const char *bytes, int tp)
{
    static const char marker[] = "end";
    bool atFront = true; // "end" at the trailer's first byte
    bool afterOne = true; // "end" after one byte
    for (int i = 0; i < tp; ++i) {
        atFront = atFront && bytes[i] == marker[i];
        afterOne = afterOne && (i == 0 || bytes[i] == marker[i - 1]);
    }
    return atFront || afterOne;
}

// Polynomial hashes modulo 2^61 - 1: equal blocks hash alike, different ones almost never.
constexpr quint64 hashModulus = (quint64(1) << 61) - 1;

quint64 mulMod(quint64 a, quint64 b)
{
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    quint64 folded = quint64(product >> 61) + quint64(product & hashModulus);
    if (folded >= hashModulus)
        folded -= hashModulus;
    return folded;
}

quint64 addMod(quint64 a, quint64 b)
{
    const quint64 sum = a + b;
    return sum >= hashModulus ? sum - hashModulus : sum;
}

quint64 subMod(quint64 a, quint64 b)
{
    return a >= b ? a - b : a + hashModulus - b;
}

quint64 powMod(quint64 base, quint64 exponent)
{
    quint64 result = 1;
    while (exponent) {
        if (exponent & 1)
            result = mulMod(result, base);
        base = mulMod(base, base);
        exponent >>= 1;
    }
    return result;
}

quint32 keyOf(const char *bytes)
{
    return quint32(quint8(bytes[0])) | quint32(quint8(bytes[1])) << 8 | quint32(quint8(bytes[2])) << 16
        | quint32(quint8(bytes[3])) << 24;
}

} // namespace

// Up to two different blocks found, with a reading of each: its last reply's node and data end.
struct UploadReplyCutter::Found
{
    int distinct = 0;
    quint64 hash[2] = { 0, 0 };
    int node[2] = { -1, -1 };
    int end[2] = { 0, 0 };
    bool overBudget = false;

    void add(quint64 h, int n, int y)
    {
        for (int i = 0; i < std::min(distinct, 2); ++i) {
            if (hash[i] == h)
                return;
        }
        if (distinct < 2) {
            hash[distinct] = h;
            node[distinct] = n;
            end[distinct] = y;
        }
        distinct = std::min(distinct + 1, 3);
    }
};

// A 4-byte window that holds "end" after the "SIZE" reply, and where it ends in the bytes.
struct UploadReplyCutter::Candidate
{
    QByteArray trailer;
    QVector<int> ends;
};

UploadReplyCutter::UploadReplyCutter(qint64 maxSize)
    : m_maxSize(maxSize)
{
    // A base nobody can guess: a module cannot make two blocks hash alike on purpose.
    m_base = (quint64(1) << 20) + QRandomGenerator::global()->generate64() % (hashModulus - (quint64(1) << 21));
    m_baseInverse = powMod(m_base, hashModulus - 2);
    m_prefix.append(0);
}

UploadReplyCutter::State UploadReplyCutter::feed(const QByteArray &read)
{
    if (m_state != Waiting || read.isEmpty())
        return m_state;
    m_s += read;
    evaluate();
    return m_state;
}

UploadReplyCutter::State UploadReplyCutter::quiet()
{
    if (m_state == Waiting && m_takeIfQuiet) {
        m_state = Taken;
        m_why.clear();
    }
    return m_state;
}

UploadReplyCutter::State UploadReplyCutter::finish()
{
    if (m_state != Waiting)
        return m_state;
    // Whatever has not gone on within a reply wait is not coming: the one whole block stands.
    if (m_wholeCount == 1) {
        m_state = Taken;
        m_why.clear();
        return m_state;
    }
    fail(m_why);
    return m_state;
}

void UploadReplyCutter::fail(const QString &why)
{
    m_state = Failed;
    m_why = why;
}

quint64 UploadReplyCutter::prefixHash(int at)
{
    while (m_prefix.size() <= at) {
        const int i = m_prefix.size() - 1;
        m_prefix.append(addMod(mulMod(m_prefix.last(), m_base), quint64(quint8(m_s.at(i))) + 1));
    }
    return m_prefix.at(at);
}

quint64 UploadReplyCutter::hashOf(const QByteArray &bytes) const
{
    quint64 h = 0;
    for (const char c : bytes)
        h = addMod(mulMod(h, m_base), quint64(quint8(c)) + 1);
    return h;
}

void UploadReplyCutter::scanNewBytes()
{
    const int n = m_s.size();
    while (m_runOpen && m_runEnd < n) {
        if (isRunByte(m_s.at(m_runEnd)))
            ++m_runEnd;
        else
            m_runOpen = false;
    }
    for (int at = m_s.indexOf("end", m_markerScan); at >= 0; at = m_s.indexOf("end", at + 1))
        m_markers.append(at);
    m_markerScan = std::max(m_markerScan, n - 2);
}

bool UploadReplyCutter::readSize()
{
    const int n = m_s.size();
    const int marker = m_s.indexOf("end", std::max(sizeFieldEnd, m_markerScan - 2));
    m_markerScan = std::max(0, n - 2);
    if (marker < 0) {
        // A marker still to come would end past the limit.
        if (n >= longestSizeHead)
            fail(QStringLiteral("no \"SIZE\" reply in %1 bytes").arg(n));
        else
            m_why = QStringLiteral("no \"SIZE\" reply");
        return false;
    }
    if (marker + 3 > longestSizeHead) {
        fail(QStringLiteral("no \"SIZE\" reply in %1 bytes").arg(longestSizeHead));
        return false;
    }
    m_sizeEnd = marker + 3;
    m_total = announcedBlockSize(m_s.left(m_sizeEnd));
    if (m_total < 0) {
        fail(QStringLiteral("the first reply holds no total"));
        return false;
    }
    if (m_total > m_maxSize) {
        fail(QStringLiteral("announced %1 bytes, more than the %2 accepted").arg(m_total).arg(m_maxSize));
        return false;
    }
    m_runEnd = m_sizeEnd;
    // Trailers stand after the "SIZE" reply, each after at least one data byte.
    m_markerScan = m_sizeEnd + 1;
    if (m_total == 0) {
        m_wholeCount = 1;
        m_wholeStart = m_sizeEnd;
        m_state = Taken;
        return false;
    }
    return true;
}

void UploadReplyCutter::evaluate()
{
    m_wholeCount = 0;
    m_takeIfQuiet = false;
    if (m_sizeEnd < 0 && !readSize())
        return;
    scanNewBytes();
    const int n = m_s.size();
    if (m_runEnd == n) {
        m_why = QStringLiteral("the \"SIZE\" reply may go on");
        return;
    }
    const qint64 total = m_total;
    // Until the total and a trailer can have come, no reading is whole and reading all bytes as
    // data falls short of the total.
    if (n - m_sizeEnd < total + trailerSize) {
        // Reading all bytes after the run as data fits unless they are more than the total.
        if (leastData(n - m_runEnd <= total ? QVector<Candidate>() : trailerCandidates()) > total)
            fail(QStringLiteral("no reading fits"));
        else
            m_why = QStringLiteral("more replies may follow");
        return;
    }
    if (m_markers.size() > mostMarkers) {
        fail(QStringLiteral("too many readings to judge"));
        return;
    }
    qint64 budget = workPerJudgement;
    const QVector<Candidate> candidates = trailerCandidates();

    // Whole readings: the last 4 bytes are the trailer, of the block's last reply or of one
    // reply beyond the total, which then starts at the trailer's last place before it.
    if (m_s.right(trailerSize).contains("end")) {
        const QVector<int> occ = occurrences(m_s.right(trailerSize));
        const Found whole = readingsEndingAt(occ, { n - trailerSize }, budget);
        if (whole.distinct > 0)
            m_whole = blockOf(whole, 0, &m_wholeStart, &m_wholeEnds);
        int beyond = -1;
        for (int i = occ.size() - 1; i >= 0 && beyond < 0; --i) {
            if (occ.at(i) <= n - trailerSize - 1)
                beyond = occ.at(i);
        }
        Found before;
        if (beyond > 0 && !whole.overBudget) {
            before = readingsEndingAt(occ, { beyond - trailerSize }, budget, fewCopiesStarts(occ, beyond));
            if (whole.distinct == 0 && before.distinct > 0)
                m_whole = blockOf(before, 0, &m_wholeStart, &m_wholeEnds);
        }
        if (whole.overBudget || before.overBudget) {
            fail(QStringLiteral("too many readings to judge"));
            return;
        }
        if (whole.distinct > 0 || before.distinct > 0) {
            m_wholeCount = 1;
            const quint64 hash = hashOf(m_whole);
            for (const Found *found : std::initializer_list<const Found *> { &whole, &before }) {
                for (int i = 0; i < std::min(found->distinct, 2); ++i) {
                    if (found->hash[i] != hash)
                        m_wholeCount = 2;
                }
                if (found->distinct > 2)
                    m_wholeCount = 2;
            }
        }
    }

    const qint64 least = leastData(candidates);
    if (least < total) {
        m_why = QStringLiteral("more replies may follow");
        return;
    }
    if (m_wholeCount > 1) {
        // Every reading holds all its data: no block can come that would settle it.
        fail(QStringLiteral("several blocks fit"));
        return;
    }
    if (m_wholeCount == 0) {
        if (least > total && !anyReplyArriving(candidates, budget)) {
            fail(QStringLiteral("no reading fits"));
            return;
        }
        m_why = QStringLiteral("a trailer may follow");
        return;
    }
    // The other readings lack only the rest of a reply that has begun (a trailer, or a reply
    // beyond the total): that rest would come at once.
    if (!openReadingsGive(candidates, budget)) {
        m_takeIfQuiet = true;
        m_why = QStringLiteral("the rest of a begun reply may follow");
        return;
    }
    m_state = Taken;
    m_why.clear();
}

QVector<int> UploadReplyCutter::occurrences(const QByteArray &trailer) const
{
    const int offset = trailer.indexOf("end");
    QVector<int> ends;
    for (const int marker : m_markers) {
        const int start = marker - offset;
        if (start >= m_sizeEnd + 1 && start + trailerSize <= m_s.size()
            && std::equal(trailer.constBegin(), trailer.constEnd(), m_s.constData() + start))
            ends.append(start + trailerSize);
    }
    return ends;
}

QVector<UploadReplyCutter::Candidate> UploadReplyCutter::trailerCandidates() const
{
    QHash<quint32, int> index;
    QVector<Candidate> candidates;
    const int n = m_s.size();
    for (const int marker : m_markers) {
        for (int start = marker - 1; start <= marker; ++start) {
            if (start < m_sizeEnd + 1 || start + trailerSize > n)
                continue;
            const quint32 key = keyOf(m_s.constData() + start);
            auto it = index.find(key);
            if (it == index.end()) {
                it = index.insert(key, candidates.size());
                candidates.append(Candidate { m_s.mid(start, trailerSize), QVector<int>() });
            }
            candidates[*it].ends.append(start + trailerSize);
        }
    }
    return candidates;
}

// The fewest data bytes a reading without a reply beyond the total holds; more than the total
// when no such reading fits.
qint64 UploadReplyCutter::leastData(const QVector<Candidate> &candidates) const
{
    const int n = m_s.size();
    qint64 least = std::numeric_limits<qint64>::max();
    // No data reply ended yet; tp: bytes of a trailer begun at the end, after at least one data byte.
    for (int tp = 0; tp < trailerSize; ++tp) {
        const int y = n - tp;
        if (tp > 0 && !startsSomeTrailer(m_s.constData() + y, tp))
            continue;
        const int b = std::min(m_runEnd, tp > 0 ? y - 1 : y);
        if (b >= m_sizeEnd)
            least = std::min<qint64>(least, y - b);
    }
    if (least < m_total)
        return least;
    // Where the data may start: a later start holds fewer bytes, and no trailer starts before the
    // run's last byte, so these starts cover every reading.
    QVector<int> starts;
    for (int b = m_runEnd; b >= std::max(m_sizeEnd, m_runEnd - 2); --b)
        starts << b;
    for (const Candidate &c : candidates) {
        for (int tp = 0; tp < trailerSize; ++tp) {
            const int y = n - tp;
            if (tp > 0 && !c.trailer.startsWith(m_s.mid(y)))
                continue;
            // The last reply's data holds at least one byte once its trailer has begun.
            const int limit = tp > 0 ? y - 1 : n;
            for (const int b : qAsConst(starts)) {
                int last = b;
                int count = 0;
                for (const int q : c.ends) {
                    if (q > limit)
                        break;
                    if (q - trailerSize >= last + 1) {
                        last = q;
                        ++count;
                    }
                }
                if (count > 0)
                    least = std::min<qint64>(least, qint64(y) - b - qint64(trailerSize) * count);
            }
        }
    }
    return least;
}

QVector<int> UploadReplyCutter::fewCopiesStarts(const QVector<int> &occ, int q) const
{
    // Most trailer places a reading from b up to q can end replies at.
    const auto most = [&occ, q](int b) {
        int last = b;
        int count = 0;
        for (const int place : occ) {
            if (place > q)
                break;
            if (place - trailerSize >= last + 1) {
                last = place;
                ++count;
            }
        }
        return count;
    };
    // The total fixes how many replies a reading from b holds; the places it leaves in its data
    // are the rest. No trailer starts before the run's last byte, so every start up to two bytes
    // before the run's end reaches the same places.
    QVector<int> starts;
    const auto consider = [&](int b, int places) {
        const qint64 span = qint64(q) - b - m_total;
        if (span <= 0 || span % trailerSize != 0)
            return;
        const qint64 kept = places - span / trailerSize;
        if (kept >= 0 && kept <= (startsInRun(b, occ) ? 0 : copiesBeyondTotal))
            starts << b;
    };
    for (int b = std::max(m_sizeEnd, m_runEnd - 1); b <= m_runEnd; ++b)
        consider(b, most(b));
    if (m_runEnd - 2 >= m_sizeEnd) {
        const int places = most(m_runEnd - 2);
        for (int b = m_sizeEnd; b <= m_runEnd - 2; ++b)
            consider(b, places);
    }
    // None allowed: a start no reading has.
    if (starts.isEmpty())
        starts << -1;
    std::sort(starts.begin(), starts.end());
    return starts;
}

bool UploadReplyCutter::startsInRun(int b, const QVector<int> &occ) const
{
    // A block that opens with a copy of its trailer starts with that copy, whatever its first byte.
    return b < m_runEnd && !std::binary_search(occ.cbegin(), occ.cend(), b + trailerSize);
}

bool UploadReplyCutter::replyArriving(int from) const
{
    // An "end" before its last 4 bytes would have been its trailer.
    const auto marker = std::lower_bound(m_markers.cbegin(), m_markers.cend(), from);
    return marker == m_markers.cend() || *marker >= m_s.size() - trailerSize;
}

bool UploadReplyCutter::anyReplyArriving(const QVector<Candidate> &candidates, qint64 &budget)
{
    for (const Candidate &c : candidates) {
        const int q = c.ends.last();
        if (!replyArriving(q))
            continue;
        const Found found = readingsEndingAt(c.ends, { q - trailerSize }, budget, fewCopiesStarts(c.ends, q));
        if (found.overBudget || found.distinct > 0)
            return true;
    }
    return false;
}

bool UploadReplyCutter::openReadingsGive(const QVector<Candidate> &candidates, qint64 &budget)
{
    const int n = m_s.size();
    const qint64 total = m_total;
    // No data reply ended yet: the data runs from b to the end less a begun trailer.
    for (int tp = 0; tp < trailerSize; ++tp) {
        const int y = n - tp;
        const qint64 b = y - total;
        if (b < m_sizeEnd || b > m_runEnd)
            continue;
        if (tp > 0 && !startsSomeTrailer(m_s.constData() + y, tp))
            continue;
        if (m_s.mid(int(b), int(total)) != m_whole)
            return false;
    }
    const quint64 wholeHash = hashOf(m_whole);
    const auto allGive = [wholeHash](const Found &found) {
        if (found.overBudget || found.distinct > 2)
            return false;
        for (int i = 0; i < found.distinct; ++i) {
            if (found.hash[i] != wholeHash)
                return false;
        }
        return true;
    };
    for (const Candidate &c : candidates) {
        // The block whole at the trailer's last place, a reply beyond the total arriving.
        const int q = c.ends.last();
        if (replyArriving(q)
            && !allGive(readingsEndingAt(c.ends, { q - trailerSize }, budget, fewCopiesStarts(c.ends, q))))
            return false;
        // The last reply's data whole, its trailer begun or still to come.
        QVector<int> ys;
        for (int tp = trailerSize - 1; tp >= 0; --tp) {
            const int y = n - tp;
            if (tp == 0 || c.trailer.startsWith(m_s.mid(y)))
                ys << y;
        }
        // Enough trailers to hold the total at all.
        if (qint64(c.ends.size()) * trailerSize < qint64(ys.first()) - m_runEnd - total)
            continue;
        if (!allGive(readingsEndingAt(c.ends, ys, budget)))
            return false;
    }
    return true;
}

UploadReplyCutter::Found UploadReplyCutter::readingsEndingAt(
    const QVector<int> &occ, const QVector<int> &ys, qint64 &budget, const QVector<int> &onlyStarts)
{
    Found found;
    const qint64 total = m_total;
    const int n = m_s.size();
    prefixHash(n);
    m_nodes.clear();

    // Most trailers a reading can still take after a node at occ[i].
    QVector<int> after(occ.size(), 0);
    for (int i = occ.size() - 1, j = occ.size(); i >= 0; --i) {
        while (j - 1 > i && occ.at(j - 1) >= occ.at(i) + trailerSize + 1)
            --j;
        after[i] = j < occ.size() && occ.at(j) >= occ.at(i) + trailerSize + 1 ? 1 + after.at(j) : 0;
    }
    const auto mostAfter = [&](int pos) {
        const auto it = std::lower_bound(occ.cbegin(), occ.cend(), pos + trailerSize + 1);
        return it == occ.cend() ? 0 : 1 + after.at(int(it - occ.cbegin()));
    };
    qint64 sigmaLow = std::numeric_limits<qint64>::max();
    qint64 sigmaHigh = std::numeric_limits<qint64>::min();
    for (const int y : ys) {
        sigmaLow = std::min(sigmaLow, y - total);
        sigmaHigh = std::max(sigmaHigh, y - total);
    }
    // A node at pos with sigma can still end as a reading at one of ys.
    const auto useful = [&](int pos, qint64 sigma, int most) {
        if (pos - sigma > total)
            return false;
        for (const int y : ys) {
            const qint64 gap = (y - total) - sigma;
            if (y >= pos + 1 && gap >= 0 && gap % trailerSize == 0 && gap / trailerSize <= most)
                return true;
        }
        return false;
    };

    struct Group
    {
        int count = 0;
        quint64 v[2] = { 0, 0 };
        int node[2] = { -1, -1 };
    };
    // many: the node stands for more than two different continuations.
    struct Entry
    {
        int pos;
        qint64 sigma;
        quint64 v;
        int node;
        bool many;
    };
    std::map<qint64, Group> groups;
    QVector<Entry> pending;
    int activated = 0;
    const auto activate = [&](qint64 upTo) {
        while (activated < pending.size() && pending.at(activated).pos <= upTo) {
            const Entry &e = pending.at(activated++);
            Group &g = groups[e.sigma];
            if (e.many) {
                g.count = 3;
                continue;
            }
            bool known = false;
            for (int i = 0; i < std::min(g.count, 2); ++i)
                known = known || g.v[i] == e.v;
            if (known)
                continue;
            if (g.count < 2) {
                g.v[g.count] = e.v;
                g.node[g.count] = e.node;
            }
            g.count = std::min(g.count + 1, 3);
        }
    };

    for (int b = m_sizeEnd; b <= m_runEnd && b < n; ++b) {
        if (!onlyStarts.isEmpty() && !std::binary_search(onlyStarts.cbegin(), onlyStarts.cend(), b))
            continue;
        if (--budget < 0) {
            found.overBudget = true;
            return found;
        }
        if (!useful(b, b, mostAfter(b)))
            continue;
        m_nodes.append({ b, -1 });
        const quint64 v = mulMod(subMod(0, m_prefix.at(b)), powMod(m_baseInverse, quint64(b)));
        pending.append({ b, qint64(b), v, m_nodes.size() - 1, false });
    }

    int yi = 0;
    QVector<int> ends = ys;
    std::sort(ends.begin(), ends.end());
    for (int i = 0; i <= occ.size(); ++i) {
        const int q = i < occ.size() ? occ.at(i) : std::numeric_limits<int>::max();
        // Ends whose last reply may start before this trailer's place.
        while (yi < ends.size() && ends.at(yi) - 1 <= qint64(q) - trailerSize - 1) {
            const int y = ends.at(yi++);
            activate(y - 1);
            const auto it = groups.find(y - total);
            if (it == groups.end())
                continue;
            const quint64 scale = powMod(m_base, quint64(y));
            for (int k = 0; k < std::min(it->second.count, 2); ++k)
                found.add(addMod(mulMod(it->second.v[k], scale), m_prefix.at(y)), it->second.node[k], y);
            if (it->second.count > 2)
                found.distinct = 3;
        }
        if (i == occ.size())
            break;
        activate(q - trailerSize - 1);
        const int most = after.at(i);
        const qint64 low = std::max<qint64>(q - total, sigmaLow - qint64(trailerSize) * most) - trailerSize;
        const qint64 high = sigmaHigh - trailerSize;
        if (low > high)
            continue;
        const quint64 scale = powMod(m_base, quint64(q - trailerSize));
        const quint64 unscale = powMod(m_baseInverse, quint64(q));
        for (auto it = groups.lower_bound(low); it != groups.end() && it->first <= high; ++it) {
            budget -= 1 + it->second.count;
            if (budget < 0) {
                found.overBudget = true;
                return found;
            }
            const qint64 sigma = it->first + trailerSize;
            if (!useful(q, sigma, most))
                continue;
            for (int k = 0; k < std::min(it->second.count, 2); ++k) {
                const quint64 h = addMod(mulMod(it->second.v[k], scale), m_prefix.at(q - trailerSize));
                m_nodes.append({ q, it->second.node[k] });
                pending.append({ q, sigma, mulMod(subMod(h, m_prefix.at(q)), unscale), m_nodes.size() - 1, false });
            }
            // The two kept go first, so the group they reach holds two before it learns of more.
            if (it->second.count > 2)
                pending.append({ q, sigma, 0, -1, true });
        }
    }
    return found;
}

QByteArray UploadReplyCutter::blockOf(const Found &found, int which, int *start, QVector<int> *ends) const
{
    QVector<int> places;
    for (int node = found.node[which]; node >= 0; node = m_nodes.at(node).prev)
        places.prepend(m_nodes.at(node).pos);
    QByteArray block;
    for (int i = 0; i < places.size(); ++i) {
        const int from = places.at(i);
        const int to = i + 1 < places.size() ? places.at(i + 1) - trailerSize : found.end[which];
        block.append(m_s.constData() + from, to - from);
    }
    *start = places.first();
    *ends = places.mid(1);
    *ends << found.end[which] + trailerSize;
    return block;
}

UploadWait::UploadWait(qint64 maxSize)
    : m_cutter(maxSize)
{
}

qint64 UploadWait::limitMs() const
{
    const qint64 total = m_cutter.total();
    if (total < 0 || total > longestMs / replyWaitMs)
        return longestMs;
    return std::min<qint64>(longestMs, (total + 2) * replyWaitMs);
}

void UploadWait::read(const QByteArray &bytes, qint64 nowMs)
{
    if (settled() || bytes.isEmpty())
        return;
    m_lastRead = nowMs;
    m_pending += bytes;
}

bool UploadWait::tick(qint64 nowMs)
{
    if (settled())
        return true;
    // Everything read since the last poll is judged at once: the rule looks at the bytes only.
    if (!m_pending.isEmpty()) {
        const QByteArray bytes = std::exchange(m_pending, QByteArray());
        if (m_cutter.feed(bytes) != UploadReplyCutter::Waiting) {
            m_settledAt = nowMs;
            return true;
        }
    }
    if (nowMs >= limitMs()) {
        m_timedOut = true;
        m_settledAt = nowMs;
    } else if (nowMs - m_lastRead >= replyWaitMs) {
        settle(nowMs);
    } else if (nowMs - m_lastRead >= settleMs && m_cutter.quiet() == UploadReplyCutter::Taken) {
        m_settledAt = nowMs;
    }
    return settled();
}

void UploadWait::closed(qint64 nowMs)
{
    if (settled())
        return;
    if (!m_pending.isEmpty() && m_cutter.feed(std::exchange(m_pending, QByteArray())) != UploadReplyCutter::Waiting) {
        m_settledAt = nowMs;
        return;
    }
    settle(nowMs);
}

void UploadWait::settle(qint64 nowMs)
{
    m_cutter.finish();
    m_settledAt = nowMs;
}
