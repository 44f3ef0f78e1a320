#pragma once

#include <QPushButton>

// A push button whose caption wraps onto a second line and uses the whole face, so that
// "Ende ohne Übernahme" fits a narrow button and "&DM" a flat one at every screen preset.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    explicit CaptionButton(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
