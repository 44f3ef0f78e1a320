#pragma once

#include <QLabel>

// The DM/Euro field: a label that says when it was clicked, so that the window hands the
// conversion's result on.
class ConversionLabel : public QLabel {
    Q_OBJECT
public:
    explicit ConversionLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
