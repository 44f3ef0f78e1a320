#include "conversionlabel.h"

#include <QMouseEvent>

ConversionLabel::ConversionLabel(QWidget* parent) : QLabel(parent) {}

void ConversionLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
