#pragma once

#include <QtGlobal>

// The captured outer position and size of a window (frame, title and menu bar included), twips.
class clsForm {
public:
    qint32 Top() const { return m_top; }
    void Top(qint32 v) { m_top = v; }
    qint32 Left() const { return m_left; }
    void Left(qint32 v) { m_left = v; }
    qint32 Width() const { return m_width; }
    void Width(qint32 v) { m_width = v; }
    qint32 Height() const { return m_height; }
    void Height(qint32 v) { m_height = v; }

private:
    qint32 m_top = 0;
    qint32 m_left = 0;
    qint32 m_width = 0;
    qint32 m_height = 0;
};
