#include "SwitchPreview.h"

#include "ControllerQuery.h"
#include "Decoders.h"
#include "PicturePreview.h"
#include "SwitchTypeCode.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// Below this many device pixels per display pixel a grid line would hide half the picture.
constexpr int MinGridZoom = 4;
// The grid lets the picture through: it marks the pixels without darkening the display.
constexpr int GridAlpha = 150;

// The housing around each kind of display: LCD panels sit in green-grey, OLED glass is black, the
// 96x64 displays have a dark bezel.
QColor bezelColour(qint16 typeCode)
{
    switch (typeCode) {
    case SwitchTypeCode::Lcd36x24:
    case SwitchTypeCode::Lcd64x32:
        return QColor(0x7d, 0x88, 0x74);
    case SwitchTypeCode::Oled64x48:
    case SwitchTypeCode::Oled52x36:
        return Qt::black;
    default:
        return QColor(0x1b, 0x1d, 0x22);
    }
}

QString noteFor(qint16 typeCode, const QString& dataText)
{
    const qsizetype bytes = LeadingHexDigits(dataText).size() / 2;
    if (bytes == 0 || PayloadBytes(typeCode) == 0)
        return QStringLiteral("No picture data");
    return QStringLiteral("%1 bytes of data;\n%2 pictures have %3")
        .arg(bytes)
        .arg(ControllerSettingText(typeCode))
        .arg(PayloadBytes(typeCode));
}

} // namespace

SwitchPreview::SwitchPreview(const QString& objectName, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    m_canvas = new QFrame;
    m_canvas->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_canvas->setFixedSize(PreviewBoxSize);
    m_canvas->installEventFilter(this);
    auto* caption = new QLabel(QStringLiteral("As the switch shows it"));
    caption->setAlignment(Qt::AlignHCenter);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(m_canvas);
    column->addWidget(caption);
    column->addStretch();
    clear();
}

void SwitchPreview::showData(qint16 typeCode, const QString& dataText)
{
    const QImage picture = DecodeSwitchText(typeCode, dataText);
    showPicture(typeCode, picture, picture.isNull() ? noteFor(typeCode, dataText) : QString());
}

void SwitchPreview::showPicture(qint16 typeCode, const QImage& picture, const QString& note)
{
    m_typeCode = typeCode;
    m_picture = picture;
    m_note = picture.isNull() ? note : QString();
    m_drawn = QImage();
    m_canvas->update();
}

void SwitchPreview::setCanvasSize(QSize size)
{
    m_canvas->setFixedSize(size);
    m_drawn = QImage();
}

void SwitchPreview::clear()
{
    showData(0, QString());
}

QRect SwitchPreview::displayRect() const
{
    if (m_picture.isNull())
        return {};
    // Worked out in device pixels, so that every display pixel covers whole device pixels.
    const qreal ratio = m_canvas->devicePixelRatioF();
    const QRect area = m_canvas->contentsRect();
    const QSize drawn = m_picture.size() * zoom();
    const int left = qRound(area.x() * ratio) + (qRound(area.width() * ratio) - drawn.width()) / 2;
    const int top = qRound(area.y() * ratio) + (qRound(area.height() * ratio) - drawn.height()) / 2;
    const QRect device(left, top, drawn.width(), drawn.height());
    return QRect(device.topLeft() / ratio, (device.size() / ratio)).translated(m_canvas->pos());
}

QImage SwitchPreview::drawDisplay(const QImage& picture, int zoom, const QColor& gridColour)
{
    QImage drawn =
        picture.convertToFormat(QImage::Format_RGB32)
            .scaled(picture.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (zoom < MinGridZoom)
        return drawn;
    // Blended here pixel by pixel: a painter's translucent lines cost milliseconds per picture.
    const QRgb grid = gridColour.rgba();
    const int alpha = qAlpha(grid);
    const auto mix = [alpha](int under, int over) {
        return (under * (255 - alpha) + over * alpha) / 255;
    };
    for (int y = 0; y < drawn.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(drawn.scanLine(y));
        const bool gridRow = y > 0 && y % zoom == 0;
        for (int x = gridRow ? 0 : zoom; x < drawn.width(); x += gridRow ? 1 : zoom)
            line[x] = qRgb(mix(qRed(line[x]), qRed(grid)), mix(qGreen(line[x]), qGreen(grid)),
                           mix(qBlue(line[x]), qBlue(grid)));
    }
    return drawn;
}

bool SwitchPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_canvas && event->type() == QEvent::Paint)
        paintDisplay();
    return QWidget::eventFilter(watched, event);
}

void SwitchPreview::paintDisplay()
{
    QPainter painter(m_canvas);
    const QColor bezel = bezelColour(m_typeCode);
    painter.fillRect(m_canvas->contentsRect(), bezel);
    if (m_picture.isNull()) {
        painter.setPen(bezel.lightness() > 128 ? Qt::black : QColor(0xd8, 0xd8, 0xd8));
        painter.drawText(m_canvas->contentsRect(), Qt::AlignCenter | Qt::TextWordWrap, m_note);
        return;
    }
    // Kept between paints: the window repaints the box far more often than its data change.
    const qreal ratio = m_canvas->devicePixelRatioF();
    const QSize size = m_picture.size() * zoom();
    if (m_drawn.size() != size || m_drawn.devicePixelRatio() != ratio) {
        QColor grid = bezel;
        grid.setAlpha(GridAlpha);
        m_drawn = drawDisplay(m_picture, zoom(), grid);
        m_drawn.setDevicePixelRatio(ratio);
    }
    painter.drawImage(displayRect().topLeft() - m_canvas->pos(), m_drawn);
}

int SwitchPreview::zoom() const
{
    const QSize area = m_canvas->contentsRect().size() * m_canvas->devicePixelRatioF();
    return qMax(1, qMin(area.width() / m_picture.width(), area.height() / m_picture.height()));
}
