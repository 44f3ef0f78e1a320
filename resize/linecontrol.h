#pragma once

#include <QWidget>

// A sunken rule between two points, the way a dialog separates groups of controls. The end
// points X1/Y1 and X2/Y2 are in twips relative to the parent widget; the widget places itself
// over the bounding box of the line (plus the two pixels of the rule) and lets every mouse
// event through to what lies beneath. A horizontal or vertical line is the usual case; any
// other is drawn the same way, a dark line with a light one a pixel below and to the right.
//
//     auto* line = new LineControl(frame);
//     line->setObjectName("Line2");
//     line->setLine(480, 660, 3950, 660); // x1, y1, x2, y2 in twips
class LineControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int X1 READ X1 WRITE setX1)
    Q_PROPERTY(int X2 READ X2 WRITE setX2)
    Q_PROPERTY(int Y1 READ Y1 WRITE setY1)
    Q_PROPERTY(int Y2 READ Y2 WRITE setY2)

public:
    explicit LineControl(QWidget* parent = nullptr);

    // Whole twips, as the layout tables give them.
    int X1() const;
    int X2() const;
    int Y1() const;
    int Y2() const;

    // The setters take fractional twips, so that a scaled end point is rounded only once, to
    // whole pixels. Values that no widget could hold (not finite, beyond the widget size limit)
    // are ignored; the return value says whether the value was taken.
    bool setX1(double twips);
    bool setX2(double twips);
    bool setY1(double twips);
    bool setY2(double twips);
    void setLine(double x1, double y1, double x2, double y2);

    // The end points in pixels, relative to the parent.
    QPoint p1() const;
    QPoint p2() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool setCoordinate(double& member, double twips);
    void updatePlacement();

    double m_x1 = 0;
    double m_x2 = 0;
    double m_y1 = 0;
    double m_y2 = 0;
};
