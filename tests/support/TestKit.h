#pragma once

// Small helpers the tests share: files written and read whole, and a named widget found or the
// test program stopped (a missing name is a broken test, not a finding).

#include <QFile>
#include <QObject>

inline bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <typename T> T* Child(const QObject* parent, const QString& name)
{
    T* child = parent ? parent->findChild<T*>(name) : nullptr;
    if (!child)
        qFatal("no widget named %s", qPrintable(name));
    return child;
}
