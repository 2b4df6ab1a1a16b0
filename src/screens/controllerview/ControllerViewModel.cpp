#include "ControllerViewModel.h"

#include "ControllerLink.h"
#include "ControllerQuery.h"
#include "Conversions.h"
#include "Decoders.h"

#include <QColor>
#include <QFileInfo>

#include <algorithm>

namespace {

// Changes arriving within this time are shown together: a memory that changes per picture, or a
// flood of short transfers, costs one update of the view rather than one per change.
constexpr int FlushDelayMs = 50;
// Rows new in one update beyond this count are shown by rebuilding the list once (the first
// reading of a full memory) instead of row by row.
constexpr int RowByRowInsertLimit = 64;
// Decoded thumbnails kept: a screenful and more; the others are decoded again when shown.
constexpr int ThumbnailCacheSize = 512;

struct OutcomeLook
{
    const char* text;
    QColor colour;
};

OutcomeLook LookOf(const std::optional<ReplyOutcome>& outcome)
{
    if (!outcome)
        return {"in memory", QColor(0x60, 0x60, 0x60)};
    switch (*outcome) {
    case ReplyOutcome::Done:
        return {"stored", QColor(0x1b, 0x7f, 0x2a)};
    case ReplyOutcome::Refused:
        return {"refused", QColor(0xc0, 0x1c, 0x1c)};
    case ReplyOutcome::NoReply:
        return {"no reply", QColor(0xb0, 0x6a, 0x00)};
    case ReplyOutcome::Unexpected:
        return {"unexpected reply", QColor(0xb0, 0x6a, 0x00)};
    case ReplyOutcome::LineBlocked:
        return {"line blocked", QColor(0xc0, 0x1c, 0x1c)};
    case ReplyOutcome::NotReady:
        break;
    }
    return {"controller silent", QColor(0x00, 0x78, 0x9a)};
}

// The same picture bytes, usually shared with the memory's own copy, compare by their address.
bool SamePayload(const QByteArray& a, const QByteArray& b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

} // namespace

ControllerViewModel::ControllerViewModel(QObject* parent)
    : QAbstractListModel(parent)
    , m_thumbnails(ThumbnailCacheSize)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(FlushDelayMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &ControllerViewModel::flush);
}

void ControllerViewModel::followLink(ControllerLink& link)
{
    connect(&link, &ControllerLink::transferStarted, this, &ControllerViewModel::beginSending);
    connect(&link, &ControllerLink::transferFinished, this, [this](const TransferReport& report) {
        recordTransfer(report, QDateTime::currentDateTime());
    });
}

void ControllerViewModel::followMemory(ControllerMemory* memory)
{
    if (m_memorySource)
        disconnect(m_memorySource, nullptr, this, nullptr);
    m_memorySource = memory;
    if (!memory)
        return;
    connect(memory, &ControllerMemory::memoryChanged, this, [this] {
        m_memoryChanged = true;
        schedule();
    });
    m_memoryChanged = true;
    flush();
}

void ControllerViewModel::beginSending(qint16 typeCode, quint16 address)
{
    m_sending = Key{address, typeCode};
    pending(*m_sending);
}

void ControllerViewModel::recordTransfer(const TransferReport& report, const QDateTime& when)
{
    const Key key{report.picture.address, report.picture.typeCode};
    if (m_sending == key)
        m_sending.reset();
    Entry& entry = pending(key);
    // A refused picture is not what the address holds; the row keeps its picture and says so.
    if (report.outcome == ReplyOutcome::Done || entry.payload.isEmpty())
        entry.payload = report.picture.payload;
    entry.source = QFileInfo(report.source).fileName();
    entry.sent = when;
    entry.outcome = report.outcome;
}

void ControllerViewModel::recordUpload(const QModelIndex& index, const QByteArray& payload)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return;
    pending(m_entries[index.row()].key).payload = payload;
    flush();
}

void ControllerViewModel::showMemory(const QList<StoredPicture>& pictures)
{
    std::map<Key, QByteArray> memory;
    for (const StoredPicture& picture : pictures) {
        const Key key{picture.address, picture.typeCode};
        const auto held = m_memory.find(key);
        if (held == m_memory.end() || !SamePayload(held->second, picture.payload))
            pending(key).payload = picture.payload;
        memory.emplace(key, picture.payload);
    }
    for (const auto& [key, payload] : m_memory) {
        if (!memory.contains(key))
            pending(key).payload.clear(); // cleared since: the row stays, empty
    }
    m_memory = std::move(memory);
}

ControllerViewModel::Entry& ControllerViewModel::pending(const Key& key)
{
    schedule();
    if (const auto found = m_pending.find(key); found != m_pending.end())
        return found->second;
    const int row = rowOf(key);
    return m_pending.emplace(key, row >= 0 ? m_entries[row] : Entry{key, {}, {}, {}, {}})
        .first->second;
}

void ControllerViewModel::schedule()
{
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

std::vector<ControllerViewModel::Entry>::const_iterator
ControllerViewModel::placeOf(const Key& key) const
{
    return std::lower_bound(m_entries.begin(), m_entries.end(), key,
                            [](const Entry& entry, const Key& k) { return entry.key < k; });
}

int ControllerViewModel::rowOf(const Key& key) const
{
    const auto at = placeOf(key);
    return at != m_entries.end() && at->key == key ? int(at - m_entries.begin()) : -1;
}

void ControllerViewModel::readMemory()
{
    if (m_memoryChanged && m_memorySource)
        showMemory(m_memorySource->pictures());
    m_memoryChanged = false;
}

void ControllerViewModel::insertMissing()
{
    std::vector<Key> missing;
    for (const auto& [key, entry] : m_pending) {
        if (rowOf(key) < 0)
            missing.push_back(key);
    }
    if (int(missing.size()) > RowByRowInsertLimit) {
        beginResetModel();
        for (const Key& key : missing)
            m_entries.push_back(Entry{key, {}, {}, {}, {}});
        std::sort(m_entries.begin(), m_entries.end(),
                  [](const Entry& a, const Entry& b) { return a.key < b.key; });
        endResetModel();
        return;
    }
    for (const Key& key : missing) {
        const auto at = placeOf(key);
        const int row = int(at - m_entries.begin());
        beginInsertRows(QModelIndex(), row, row);
        m_entries.insert(at, Entry{key, {}, {}, {}, {}});
        endInsertRows();
    }
}

void ControllerViewModel::flush()
{
    m_flushTimer.stop();
    readMemory();
    insertMissing();
    int first = rowCount();
    int last = -1;
    const auto touch = [&](int row) {
        if (row < 0)
            return;
        first = std::min(first, row);
        last = std::max(last, row);
    };
    for (auto& [key, entry] : m_pending) {
        const int row = rowOf(key);
        if (!SamePayload(m_entries[row].payload, entry.payload))
            m_thumbnails.remove(key);
        m_entries[row] = std::move(entry);
        touch(row);
    }
    m_pending.clear();
    if (m_shownSending != m_sending) {
        if (m_shownSending)
            touch(rowOf(*m_shownSending));
        m_shownSending = m_sending;
        if (m_sending)
            touch(rowOf(*m_sending));
    }
    if (last >= 0)
        Q_EMIT dataChanged(index(first), index(last));
}

int ControllerViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant ControllerViewModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Entry& entry = m_entries[index.row()];
    const auto [address, typeCode] = entry.key;
    switch (role) {
    case Qt::DisplayRole:
    case AddressRole:
        return FormatAddress(address, typeCode);
    case Qt::DecorationRole:
        return thumbnail(entry);
    case Qt::ToolTipRole:
        return QStringLiteral("%1 %2: %3")
            .arg(FormatAddress(address, typeCode), ControllerSettingText(typeCode), entry.source);
    case TypeRole:
        return typeCode;
    case SourceRole:
        return entry.source;
    case SentRole:
        return entry.sent;
    case OutcomeRole:
        return QString::fromLatin1(LookOf(entry.outcome).text);
    case OutcomeColourRole:
        return LookOf(entry.outcome).colour;
    case SendingRole:
        return m_shownSending == entry.key;
    case PayloadRole:
        return entry.payload;
    default:
        return {};
    }
}

QImage ControllerViewModel::thumbnail(const Entry& entry) const
{
    if (const QImage* cached = m_thumbnails.object(entry.key))
        return *cached;
    const qint16 typeCode = entry.key.second;
    // An LCD address blanked with zero bytes holds more than one picture's worth.
    auto* image =
        new QImage(DecodeSwitchPicture(typeCode, entry.payload.left(PayloadBytes(typeCode))));
    const QImage shown = *image;
    m_thumbnails.insert(entry.key, image);
    return shown;
}
