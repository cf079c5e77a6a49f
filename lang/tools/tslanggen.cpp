// Draws the pictures of the language modules: the section marks and network icon strips with their
// alpha masks (bitmaps), and the panel background (JPEG). Usage: tslanggen <output folder>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

namespace {

constexpr int kCell = 16;

// The picture as straight colours without alpha (transparent pixels white).
QImage ColourPart(const QImage &argb)
{
    QImage straight = argb.convertToFormat(QImage::Format_ARGB32);
    QImage out(straight.size(), QImage::Format_RGB32);
    for (int y = 0; y < straight.height(); ++y)
        for (int x = 0; x < straight.width(); ++x) {
            const QRgb c = straight.pixel(x, y);
            out.setPixel(x, y, qAlpha(c) ? qRgb(qRed(c), qGreen(c), qBlue(c)) : qRgb(255, 255, 255));
        }
    return out;
}

// The alpha channel as an 8-bit grey bitmap (white opaque). The loader maps the greys 128, 192 and
// 223 of a colour table to the 3D colours, so those levels are stored one step darker.
QImage MaskPart(const QImage &argb)
{
    const QImage straight = argb.convertToFormat(QImage::Format_ARGB32);
    QImage mask(straight.size(), QImage::Format_Indexed8);
    QVector<QRgb> table(256);
    for (int i = 0; i < 256; ++i) {
        const int level = (i == 128 || i == 192 || i == 223) ? i - 1 : i;
        table[i] = qRgb(level, level, level);
    }
    mask.setColorTable(table);
    for (int y = 0; y < straight.height(); ++y)
        for (int x = 0; x < straight.width(); ++x)
            mask.setPixel(x, y, uint(qAlpha(straight.pixel(x, y))));
    return mask;
}

QImage Strip(int cells, const std::function<void(QPainter &, int)> &drawCell)
{
    QImage image(cells * kCell, kCell, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < cells; ++i) {
        p.save();
        p.translate(i * kCell, 0);
        drawCell(p, i);
        p.restore();
    }
    return image;
}

// Section header marks: a round button with a double chevron, up (expanded) or down (collapsed).
void DrawMark(QPainter &p, int cell)
{
    QRadialGradient face(QPointF(6, 5), 10);
    face.setColorAt(0, QColor(255, 255, 255));
    face.setColorAt(1, QColor(198, 211, 247));
    p.setPen(QPen(QColor(120, 140, 190), 1));
    p.setBrush(face);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setPen(QPen(QColor(33, 66, 165), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const bool up = cell == 0;
    for (int k = 0; k < 2; ++k) {
        const double y = up ? 7.0 + 4 * k : 5.0 + 4 * k;
        QPainterPath chevron;
        chevron.moveTo(4.5, up ? y : y - 2);
        chevron.lineTo(8, up ? y - 3 : y + 1);
        chevron.lineTo(11.5, up ? y : y - 2);
        p.drawPath(chevron);
    }
}

void DrawMonitor(QPainter &p, QRectF r, const QColor &screen)
{
    p.setPen(QPen(QColor(60, 60, 70), 1));
    p.setBrush(QColor(200, 200, 210));
    p.drawRoundedRect(r, 1, 1);
    p.setBrush(screen);
    p.drawRect(r.adjusted(1.5, 1.5, -1.5, -1.5));
    p.setBrush(QColor(150, 150, 160));
    p.drawRect(QRectF(r.center().x() - 2, r.bottom(), 4, 1.5));
    p.drawRect(QRectF(r.center().x() - 4, r.bottom() + 1.5, 8, 1.5));
}

void DrawGlobe(QPainter &p, QRectF r)
{
    QRadialGradient sea(r.center() - QPointF(2, 2), r.width() / 2 + 2);
    sea.setColorAt(0, QColor(140, 200, 255));
    sea.setColorAt(1, QColor(20, 90, 190));
    p.setPen(QPen(QColor(15, 60, 130), 1));
    p.setBrush(sea);
    p.drawEllipse(r);
    p.setPen(QPen(QColor(230, 240, 255, 200), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(r.center().x() - r.width() / 5, r.top(), r.width() * 2 / 5, r.height()));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
}

void DrawFolder(QPainter &p, QRectF r, const QColor &colour)
{
    p.setPen(QPen(colour.darker(170), 1));
    p.setBrush(colour.darker(115));
    QPainterPath tab;
    tab.moveTo(r.left(), r.top() + 2);
    tab.lineTo(r.left() + 5, r.top() + 2);
    tab.lineTo(r.left() + 6.5, r.top());
    tab.lineTo(r.left() + 10, r.top());
    tab.lineTo(r.left() + 10, r.top() + 3);
    p.drawPath(tab);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, colour.lighter(130));
    g.setColorAt(1, colour);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(r.left(), r.top() + 2.5, r.width(), r.height() - 2.5), 1, 1);
}

// Network tree icons; the cell index is the item kind.
void DrawNetworkCell(QPainter &p, int cell)
{
    switch (cell) {
    case 2: // the whole network: a globe with a computer in front
        DrawGlobe(p, QRectF(0.5, 0.5, 12, 12));
        DrawMonitor(p, QRectF(7.5, 7.5, 8, 5.5), QColor(80, 160, 230));
        break;
    case 3: // a domain: two computers side by side on a wire
        p.setPen(QPen(QColor(70, 70, 80), 1));
        p.drawLine(QPointF(1, 15), QPointF(15, 15));
        DrawMonitor(p, QRectF(0.5, 3.5, 7, 6), QColor(90, 170, 90));
        DrawMonitor(p, QRectF(8.5, 3.5, 7, 6), QColor(90, 170, 90));
        break;
    case 4: // a computer
        DrawMonitor(p, QRectF(1.5, 1.5, 13, 10), QColor(60, 140, 220));
        break;
    case 7: // a directory container
        DrawFolder(p, QRectF(0.5, 2.5, 15, 12), QColor(240, 200, 80));
        break;
    case 10: { // the directory: a book with a tree on its cover
        p.setPen(QPen(QColor(90, 40, 20), 1));
        p.setBrush(QColor(170, 70, 40));
        p.drawRoundedRect(QRectF(2.5, 0.5, 11, 15), 1, 1);
        p.setBrush(QColor(245, 240, 225));
        p.drawRect(QRectF(2.5, 12.5, 11, 2));
        p.setPen(QPen(QColor(250, 230, 160), 1));
        p.drawLine(QPointF(8, 3), QPointF(8, 10));
        p.drawLine(QPointF(8, 6), QPointF(5, 9));
        p.drawLine(QPointF(8, 6), QPointF(11, 9));
        break;
    }
    case 11: // a DNS directory: a folder with a small globe
        DrawFolder(p, QRectF(0.5, 2.5, 13, 11), QColor(240, 200, 80));
        DrawGlobe(p, QRectF(7.5, 7.5, 8, 8));
        break;
    default:
        break; // kinds without a picture stay transparent
    }
}

// A soft vertical gradient with a faint light sheen, for the collapsible panel's background.
QImage PanelBackground()
{
    QImage image(240, 480, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, image.height());
    g.setColorAt(0, QColor(122, 161, 230));
    g.setColorAt(1, QColor(99, 117, 214));
    p.fillRect(image.rect(), g);
    QRadialGradient sheen(QPointF(40, 30), 260);
    sheen.setColorAt(0, QColor(255, 255, 255, 70));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), sheen);
    return image;
}

bool Save(const QImage &image, const QDir &dir, const char *name, const char *format, int quality = -1)
{
    const QString path = dir.filePath(QLatin1String(name));
    if (!image.save(path, format, quality)) {
        std::fprintf(stderr, "tslanggen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tslanggen <output folder>\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    const QImage marks = Strip(2, DrawMark);
    const QImage network = Strip(12, DrawNetworkCell);
    const bool ok = Save(ColourPart(marks), dir, "marks.bmp", "BMP")
                    && Save(MaskPart(marks), dir, "marks_mask.bmp", "BMP")
                    && Save(ColourPart(network), dir, "network.bmp", "BMP")
                    && Save(MaskPart(network), dir, "network_mask.bmp", "BMP")
                    && Save(PanelBackground(), dir, "panel.jpg", "JPEG", 90);
    return ok ? 0 : 1;
}
