#pragma once

#include <QGroupBox>

// A frame as classic dialogs draw it: an etched border (a dark line with a light one a pixel
// below and to the right) whose top runs through the vertical middle of the caption and is
// interrupted behind it. The caption sits at the frame's top edge, so the frame takes exactly
// the place its layout gives it and the controls inside keep clear of the border. Children are
// placed absolutely, as on every form that follows the screen presets.
//
//     auto* frame = new ClassicFrame(QStringLiteral("Gleiswahl"), window);
class ClassicFrame : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

    // The border's top line, in pixels below the frame's top edge: the middle of the caption,
    // or 0 without one.
    int borderTop() const;
    // Where the caption is written, in the frame's coordinates (empty without a caption).
    QRect captionRect() const;
    // How far the caption stands in from the frame's left edge, with a blank before it.
    static int captionIndent(const QFontMetrics& fm);

protected:
    void paintEvent(QPaintEvent* event) override;
};
