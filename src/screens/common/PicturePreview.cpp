#include "PicturePreview.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>

bool ShowPicturePreview(const QString& fileName, QLabel* holder, QWidget* border)
{
    holder->hide();
    const QImage image(fileName);
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return false;
    const int factor = qMax(
        1, qMin((border->width() - 4) / image.width(), (border->height() - 4) / image.height()));
    const QPixmap pixmap = QPixmap::fromImage(image.scaled(image.size() * factor));
    holder->setPixmap(pixmap);
    holder->resize(pixmap.size());
    holder->move((border->width() - pixmap.width()) / 2, (border->height() - pixmap.height()) / 2);
    holder->show();
    holder->raise();
    return true;
}
