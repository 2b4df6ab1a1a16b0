#pragma once

#include <QImage>
#include <QSet>
#include <QString>

class VirtualController;
struct StoredPicture;

// What the switch at a stored address shows, as the display would show it, each display pixel
// `scale` image pixels wide. A null image for a picture the decoders cannot read.
QImage RenderPicture(const StoredPicture& picture, int scale);
// "0001-color-96x64.png": the address as the program writes it, then the display type.
QString PictureFileName(const StoredPicture& picture);

// Keeps a folder in step with the controller's memory: one PNG per stored picture. Files it wrote
// for pictures that are gone since (a cleared address) are removed; nothing else is touched.
class PictureFolder
{
public:
    PictureFolder(const QString& path, int scale);

    // Writes every stored picture; false, with errorString(), when a file could not be written.
    bool write(const VirtualController& controller);
    QString errorString() const { return m_error; }
    QString path() const { return m_path; }

private:
    QString m_path;
    int m_scale = 1;
    QSet<QString> m_written;
    QString m_error;
};
