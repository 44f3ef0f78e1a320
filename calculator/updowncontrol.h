#pragma once

#include <QWidget>

// Two arrow buttons, one above the other, that step a whole number within a range; the number
// itself is shown by whatever the owner binds to valueChanged (the calculator's Komma label).
// Up and Down keys step it while it has the focus.
class UpDownControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
public:
    explicit UpDownControl(QWidget* parent = nullptr);

    int value() const { return m_value; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setRange(int minimum, int maximum);
    void setValue(int value);
    void stepUp() { setValue(m_value + 1); }
    void stepDown() { setValue(m_value - 1); }

    QSize sizeHint() const override;

signals:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Half { None, Up, Down };
    Half halfAt(const QPoint& pos) const;
    QRect halfRect(Half half) const;

    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 99;
    Half m_pressed = Half::None;
};
