#include "toolbaricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap canvas() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    return pm;
}

QPixmap drawOpen() {
    QPixmap pm = canvas();
    QPainter p(&pm);
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
    return pm;
}

QPixmap drawSave() {
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 1.5, 9, 5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
    p.fillRect(QRectF(9, 2, 2, 4), QColor(50, 90, 170));
    return pm;
}

QPixmap drawPrint() {
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(1.5, 6.5, 13, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.fillRect(QRectF(12, 8, 1, 1), QColor(40, 200, 40));
    return pm;
}

QPixmap drawCalculator() {
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(0, 128, 128));
    p.drawRect(QRectF(2.5, 0.5, 11, 15));
    p.fillRect(QRectF(4, 2, 8, 3), Qt::black);
    p.fillRect(QRectF(8, 3, 3, 1), Qt::red);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.fillRect(QRectF(4 + c * 3, 7 + r * 3, 2, 2), Qt::white);
    return pm;
}

QPixmap drawExit() {
    QPixmap pm = canvas();
    QPainter p(&pm);
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
    return pm;
}

QPixmap drawHelp() {
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 60, 140), 1));
    p.setBrush(QColor(60, 120, 220));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont f;
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    return pm;
}

} // namespace

QIcon toolbarIcon(const QString& key) {
    struct Entry {
        const char* key;
        const char* theme;
        QPixmap (*draw)();
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
            return QIcon::fromTheme(QLatin1String(e.theme), QIcon(e.draw()));
    }
    return QIcon();
}
