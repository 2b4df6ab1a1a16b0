#pragma once

#include "ControllerMemory.h"

#include <QAbstractListModel>
#include <QCache>
#include <QDateTime>
#include <QImage>
#include <QPointer>
#include <QTimer>

#include <map>
#include <optional>
#include <utility>
#include <vector>

class ControllerLink;

// The controller's addresses as the program knows them, one row per address and display type
// that holds something, in address order: what the link has sent there (file, time, outcome),
// and, when the controller's memory can be read, what it holds. Changes are gathered and applied
// together a moment later, with one ranged dataChanged, so a batch of 65,535 addresses costs the
// window no more than a few rows' work per picture.
class ControllerViewModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        AddressRole = Qt::UserRole + 1, // the address as the program writes it
        TypeRole,                       // the display type code
        SourceRole,                     // the file name the picture came from
        SentRole,                       // QDateTime of the last transfer, invalid if none
        OutcomeRole,                    // the operator's word for how the transfer ended
        OutcomeColourRole,              // QColor of the outcome
        SendingRole,                    // bool: this address is being sent now
        PayloadRole,                    // the picture bytes held (QByteArray)
    };

    explicit ControllerViewModel(QObject* parent = nullptr);

    void followLink(ControllerLink& link);
    // The memory read directly (the built-in controller), or none.
    void followMemory(ControllerMemory* memory);

    void beginSending(qint16 typeCode, quint16 address);
    void recordTransfer(const TransferReport& report, const QDateTime& when);
    // What an upload brought back replaces the picture the row shows.
    void recordUpload(const QModelIndex& index, const QByteArray& payload);
    void showMemory(const QList<StoredPicture>& pictures);
    // Applies what has been gathered now rather than at the next turn of the event loop.
    void flush();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    using Key = std::pair<quint16, qint16>; // address, then type
    struct Entry
    {
        Key key;
        QByteArray payload;
        QString source;
        QDateTime sent;
        std::optional<ReplyOutcome> outcome; // none: known only from the controller's memory
    };

    Entry& pending(const Key& key);
    void schedule();
    // Where the row of `key` is or would go, keeping address order.
    std::vector<Entry>::const_iterator placeOf(const Key& key) const;
    int rowOf(const Key& key) const;
    void readMemory();
    void insertMissing();
    QImage thumbnail(const Entry& entry) const;

    std::vector<Entry> m_entries; // sorted by key
    std::map<Key, Entry> m_pending;
    std::optional<Key> m_sending;       // the address being sent, as the link last said
    std::optional<Key> m_shownSending;  // the address the rows show as being sent
    std::map<Key, QByteArray> m_memory; // what the memory held at its last reading
    QPointer<ControllerMemory> m_memorySource;
    bool m_memoryChanged = false;
    QTimer m_flushTimer;
    mutable QCache<Key, QImage> m_thumbnails;
};
