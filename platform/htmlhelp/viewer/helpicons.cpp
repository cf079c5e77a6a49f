#include "helpicons.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tshelp {

namespace {

// Drawn on a 16-unit grid at 16 and 32 pixels, so that the picture stays sharp at twice the scale.
template<typename Draw>
QIcon Drawn(Draw draw)
{
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QColor kCover(54, 84, 160);
const QColor kCoverDark(30, 48, 104);
const QColor kPaper(252, 252, 246);
const QColor kLine(140, 140, 150);

} // namespace

const QIcon &ClosedBookIcon()
{
    static const QIcon icon = Drawn([](QPainter &p) {
        // The pages' edge below and right of the cover, the cover with its spine.
        p.setPen(QPen(kLine, 0.8));
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 3.5, 10, 11.5));
        p.setPen(QPen(kCoverDark, 0.8));
        p.setBrush(kCover);
        p.drawRect(QRectF(2.5, 1.5, 10.5, 12));
        p.fillRect(QRectF(2.9, 1.9, 2, 11.2), kCoverDark);
        p.setPen(QPen(QColor(230, 200, 90), 1));
        p.drawLine(QPointF(7, 5.5), QPointF(11, 5.5));
    });
    return icon;
}

const QIcon &OpenBookIcon()
{
    static const QIcon icon = Drawn([](QPainter &p) {
        // Two facing pages over the cover, lines of text on each.
        p.setPen(QPen(kCoverDark, 0.8));
        p.setBrush(kCover);
        QPainterPath cover;
        cover.moveTo(0.5, 4);
        cover.lineTo(8, 5);
        cover.lineTo(15.5, 4);
        cover.lineTo(15.5, 14);
        cover.lineTo(8, 15);
        cover.lineTo(0.5, 14);
        cover.closeSubpath();
        p.drawPath(cover);
        p.setPen(QPen(kLine, 0.8));
        p.setBrush(kPaper);
        for (const int side : {-1, 1}) {
            QPainterPath page;
            page.moveTo(8, 4);
            page.cubicTo(8 + side * 2.5, 2.2, 8 + side * 5, 2.2, 8 + side * 6.8, 2.8);
            page.lineTo(8 + side * 6.8, 12.8);
            page.cubicTo(8 + side * 5, 12.2, 8 + side * 2.5, 12.2, 8, 14);
            page.closeSubpath();
            p.drawPath(page);
            for (const double y : {5.5, 7.5, 9.5}) {
                p.drawLine(QPointF(8 + side * 1.5, y + 0.3), QPointF(8 + side * 5.5, y - 0.3));
            }
        }
    });
    return icon;
}

const QIcon &PageIcon()
{
    static const QIcon icon = Drawn([](QPainter &p) {
        // A sheet with its top right corner folded and lines of text.
        QPainterPath sheet;
        sheet.moveTo(2.5, 1.5);
        sheet.lineTo(10, 1.5);
        sheet.lineTo(13.5, 5);
        sheet.lineTo(13.5, 14.5);
        sheet.lineTo(2.5, 14.5);
        sheet.closeSubpath();
        p.setPen(QPen(QColor(80, 80, 92), 1));
        p.setBrush(kPaper);
        p.drawPath(sheet);
        QPainterPath fold;
        fold.moveTo(10, 1.5);
        fold.lineTo(10, 5);
        fold.lineTo(13.5, 5);
        p.setBrush(QColor(220, 220, 214));
        p.drawPath(fold);
        p.setPen(QPen(QColor(40, 80, 170), 1.2));
        for (const double y : {7.0, 9.5, 12.0})
            p.drawLine(QPointF(4.5, y), QPointF(y < 8 ? 9 : 11.5, y));
    });
    return icon;
}

} // namespace tshelp
