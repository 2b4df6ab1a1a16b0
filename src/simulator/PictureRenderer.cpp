#include "PictureRenderer.h"

#include "Conversions.h"
#include "Decoders.h"
#include "SwitchForms.h"
#include "VirtualController.h"

#include <QDir>
#include <QSaveFile>

QImage RenderPicture(const StoredPicture& picture, int scale)
{
    // An LCD address blanked with 256 zero bytes holds more than one picture's worth.
    const QImage image =
        DecodeSwitchPicture(picture.typeCode, picture.payload.left(PayloadBytes(picture.typeCode)));
    if (image.isNull() || scale <= 1)
        return image;
    return image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QString PictureFileName(const StoredPicture& picture)
{
    const QString address = FormatAddress(picture.address, picture.typeCode);
    const QString type = TypeName(picture.typeCode).toLower().replace(QLatin1Char(' '), '-');
    return address + QLatin1Char('-') + type + QStringLiteral(".png");
}

PictureFolder::PictureFolder(const QString& path, int scale)
    : m_path(path)
    , m_scale(scale)
{
}

bool PictureFolder::write(const VirtualController& controller)
{
    QDir folder(m_path);
    if (!folder.mkpath(QStringLiteral("."))) {
        m_error = QStringLiteral("cannot create folder ") + m_path;
        return false;
    }
    m_error.clear();
    QSet<QString> written;
    for (const StoredPicture& picture : controller.pictures()) {
        const QString name = PictureFileName(picture);
        const QImage image = RenderPicture(picture, m_scale);
        if (image.isNull())
            continue;
        // Written aside and renamed, so that a viewer watching the folder never sees half a file.
        QSaveFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
            m_error = QStringLiteral("cannot write ") + file.fileName();
        written.insert(name);
    }
    for (const QString& stale : m_written - written)
        folder.remove(stale);
    m_written = written;
    return m_error.isEmpty();
}
