#include "LineAccount.h"

namespace {
constexpr qint64 NsPerSecond = 1'000'000'000;
}

qint64 LineAccount::characterNs() const
{
    // An unknown speed claims nothing: the output count alone then paces the link.
    return m_bitsPerSecond > 0 ? BitsPerCharacter * NsPerSecond / m_bitsPerSecond : 0;
}

void LineAccount::wrote(qint64 count, qint64 nowNs)
{
    if (count > 0)
        m_lineFreeNs = qMax(m_lineFreeNs, nowNs) + count * characterNs();
}
