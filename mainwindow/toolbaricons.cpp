#include "toolbaricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// The pictures are drawn on a grid of 16 x 16 units and rendered at every size a screen asks
// for, so that they stay sharp at scale factors 1.25, 1.5 and 2.
constexpr int DesignSize = 16;

void drawOpen(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 90, 20), 1));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(QRectF(1.5, 4.5, 12, 9));
    p.drawRect(QRectF(1.5, 3.5, 5, 2));
    p.setBrush(QColor(255, 225, 120));
    QPainterPath flap;
    flap.moveTo(3.5, 7.5);
    flap.lineTo(15.5, 7.5);
    flap.lineTo(13.5, 13.5);
    flap.lineTo(1.5, 13.5);
    flap.closeSubpath();
    p.drawPath(flap);
}

void drawSave(QPainter& p) {
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 1.5, 9, 5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
    p.fillRect(QRectF(9, 2, 2, 4), QColor(50, 90, 170));
}

void drawPrint(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(1.5, 6.5, 13, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.fillRect(QRectF(12, 8, 1, 1), QColor(40, 200, 40));
}

void drawCalculator(QPainter& p) {
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(0, 128, 128));
    p.drawRect(QRectF(2.5, 0.5, 11, 15));
    p.fillRect(QRectF(4, 2, 8, 3), Qt::black);
    p.fillRect(QRectF(8, 3, 3, 1), Qt::red);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.fillRect(QRectF(4 + c * 3, 7 + r * 3, 2, 2), Qt::white);
}

void drawExit(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 30), 1));
    p.setBrush(QColor(160, 110, 60));
    p.drawRect(QRectF(2.5, 1.5, 8, 13));
    p.setPen(QPen(QColor(200, 30, 30), 2));
    p.drawLine(QPointF(9, 8), QPointF(15, 8));
    p.drawLine(QPointF(12.5, 5.5), QPointF(15, 8));
    p.drawLine(QPointF(12.5, 10.5), QPointF(15, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 200, 80));
    p.drawEllipse(QPointF(8.5, 8.5), 1, 1);
}

void drawHelp(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 60, 140), 1));
    p.setBrush(QColor(60, 120, 220));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont f;
    f.setPixelSize(12); // in units: the painter is scaled
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
}

// One pixmap per size from 16 to 64 pixels: QIcon takes the one that fits the logical size
// times the screen's device pixel ratio.
QIcon rendered(void (*draw)(QPainter&)) {
    QIcon icon;
    for (const int size : {16, 20, 24, 28, 32, 40, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        if (size != DesignSize) // the design's pixels become several: smooth their edges
            p.setRenderHint(QPainter::Antialiasing);
        p.scale(double(size) / DesignSize, double(size) / DesignSize);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

QIcon toolbarIcon(const QString& key) {
    struct Entry {
        const char* key;
        const char* theme;
        void (*draw)(QPainter&);
    };
    static const Entry entries[] = {
        {"laden", "document-open", drawOpen},
        {"speichern", "document-save", drawSave},
        {"drucken", "document-print", drawPrint},
        {"Rechner", "accessories-calculator", drawCalculator},
        {"Ende", "application-exit", drawExit},
        {"Hilfe", "help-contents", drawHelp},
    };
    for (const Entry& e : entries) {
        if (key == QLatin1String(e.key))
            return QIcon::fromTheme(QLatin1String(e.theme), rendered(e.draw));
    }
    return QIcon();
}
