#pragma once

#include <QString>
#include <QtGlobal>

// The captured layout of one control: a box (Top, Left, Width, Height in twips, font size in
// points) or a line (end points X1, X2, Y1, Y2 in twips), never both. Positions are relative to
// the control's container. Each field has a getter and an overloaded setter of the same name.
class clsControl {
public:
    qint32 Tag() const { return m_tag; }
    void Tag(qint32 v) { m_tag = v; }
    qint32 Top() const { return m_top; }
    void Top(qint32 v) { m_top = v; }
    qint32 Left() const { return m_left; }
    void Left(qint32 v) { m_left = v; }
    qint32 Width() const { return m_width; }
    void Width(qint32 v) { m_width = v; }
    qint32 Height() const { return m_height; }
    void Height(qint32 v) { m_height = v; }
    qint32 X1() const { return m_x1; }
    void X1(qint32 v) { m_x1 = v; }
    qint32 X2() const { return m_x2; }
    void X2(qint32 v) { m_x2 = v; }
    qint32 Y1() const { return m_y1; }
    void Y1(qint32 v) { m_y1 = v; }
    qint32 Y2() const { return m_y2; }
    void Y2(qint32 v) { m_y2 = v; }
    // 0 scales everything; 1 keeps the width, 2 the height, 3 both (position always scales).
    qint16 ResizeOption() const { return m_resizeOption; }
    void ResizeOption(qint16 v) { m_resizeOption = v; }
    const QString& Name() const { return m_name; }
    void Name(const QString& v) { m_name = v; }
    // 0 for a control without a font (lines, or a font that has no point size).
    float Fontsize() const { return m_fontsize; }
    void Fontsize(float v) { m_fontsize = v; }
    bool FontSizing() const { return m_fontSizing; }
    void FontSizing(bool v) { m_fontSizing = v; }

private:
    qint32 m_tag = 0;
    qint32 m_top = 0;
    qint32 m_left = 0;
    qint32 m_width = 0;
    qint32 m_height = 0;
    qint32 m_x1 = 0;
    qint32 m_x2 = 0;
    qint32 m_y1 = 0;
    qint32 m_y2 = 0;
    qint16 m_resizeOption = 0;
    QString m_name;
    float m_fontsize = 0.0f;
    bool m_fontSizing = true;
};
