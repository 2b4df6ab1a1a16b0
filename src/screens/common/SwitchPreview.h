#pragma once

#include <QImage>
#include <QWidget>

class QFrame;

// "As the switch shows it": the data a screen is about to send, decoded back into the picture the
// switch's display will show, so the operator sees the effect of "L to R", of a MONO picture's
// inversion and of the display's colour depth before anything is sent. The display is drawn pixel
// for pixel at the largest whole zoom that fits, with a grid between the pixels once they are big
// enough, inside a bezel of the switch's own colour.
class SwitchPreview : public QWidget
{
    Q_OBJECT
public:
    explicit SwitchPreview(const QString& objectName, QWidget* parent = nullptr);

    // Shows what `dataText` (HexText, or an upload's answer) gives on a display of `typeCode`.
    void showData(qint16 typeCode, const QString& dataText);
    // Shows a display-sized picture already decoded; `note` stands in its place when it is null.
    void showPicture(qint16 typeCode, const QImage& picture, const QString& note);
    // The display area's size; a screen's picture box size unless set.
    void setCanvasSize(QSize size);
    void clear();

    // The display-sized picture shown; null when the data gives none.
    const QImage& picture() const { return m_picture; }
    // What is said in the picture's place when there is none.
    const QString& note() const { return m_note; }
    // Where the display lies, in the preview's coordinates; empty without a picture.
    QRect displayRect() const;

    // The picture zoomed `zoom` times, with a grid in `gridColour` between its pixels when the
    // zoom leaves them room.
    static QImage drawDisplay(const QImage& picture, int zoom, const QColor& gridColour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintDisplay();
    // The largest whole zoom, in device pixels, at which the display fits the canvas.
    int zoom() const;

    QFrame* m_canvas = nullptr;
    qint16 m_typeCode = 0;
    QImage m_picture;
    QImage m_drawn; // m_picture zoomed for the canvas, drawn on its first paint
    QString m_note;
};
