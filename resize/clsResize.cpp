#include "clsResize.h"

#include "controlaccess.h"
#include "linecontrol.h"
#include "twips.h"
#include "windowplacement.h"

#include <QComboBox>

#include <cmath>
#include <limits>

using ControlAccess::Result;

namespace {

// Captured values are whole twips; a value that no 32-bit number holds is no value at all.
bool toWhole(double v, qint32& out) {
    if (!std::isfinite(v))
        return false;
    const double r = std::nearbyint(v);
    if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
        return false;
    out = qint32(r);
    return true;
}

bool readWhole(const QObject* control, const char* name, qint32& out) {
    double v = 0;
    return ControlAccess::read(control, QString::fromLatin1(name), v) == Result::Ok &&
           toWhole(v, out);
}

// The presets scale by 1 to 2.4. A factor far outside that comes from a size taken at the wrong
// moment (a window not yet on the screen, or in the middle of being rebuilt); applying it would
// push controls off the window and blow fonts up to thousands of points.
constexpr float MinFactor = 0.25f;
constexpr float MaxFactor = 5.0f;

bool plausible(float factor) {
    return factor >= MinFactor && factor <= MaxFactor; // false for NaN too
}

// The second one only when strictly smaller, so equal factors (and a NaN second) give the first.
float smaller(float a, float b) {
    return b < a ? b : a;
}

} // namespace

clsResize::clsResize()
    : m_controls(std::make_unique<col_Controls>()), m_form(std::make_unique<clsForm>()) {}

clsResize::~clsResize() = default;

void clsResize::oForm(QWidget* vData) {
    m_window = vData;
}

bool clsResize::captured() const {
    return m_form->Width() > 0 && m_form->Height() > 0;
}

void clsResize::Initialize() {
    if (!m_window)
        return;
    // Until the window manager has framed the window its outer size is the client area and a
    // guess at the frame: such a capture keeps the client area, and the record takes the frame
    // the window has at every resize.
    m_clientAtCapture = m_window->size();
    m_awaitingFrame = !WindowPlacement::isFramed(m_window);
    const QSizeF size = Twips::outerSize(m_window);
    const QPointF pos = Twips::outerPos(m_window);
    qint32 v = 0;
    if (toWhole(size.height(), v))
        m_form->Height(v);
    if (toWhole(size.width(), v))
        m_form->Width(v);
    if (toWhole(pos.y(), v))
        m_form->Top(v);
    if (toWhole(pos.x(), v))
        m_form->Left(v);

    for (QObject* control : ControlAccess::controls(m_window)) {
        const QString key = ControlAccess::controlKey(control);

        double points = 0;
        if (ControlAccess::read(control, QStringLiteral("Fontsize"), points) == Result::Unsupported)
            ControlAccess::read(control, QStringLiteral("Font.Size"), points);
        const float fontsize = std::isfinite(points) ? float(points) : 0.0f;

        clsControl* record = nullptr;
        if (qobject_cast<LineControl*>(control)) {
            qint32 x1, x2, y1, y2;
            if (readWhole(control, "X1", x1) && readWhole(control, "X2", x2) &&
                readWhole(control, "Y1", y1) && readWhole(control, "Y2", y2))
                record = m_controls->AddLine(x1, x2, y1, y2, key);
        } else {
            // Menu entries and anything else without a place on the window fail here.
            qint32 top, left, width, height;
            if (readWhole(control, "Top", top) && readWhole(control, "Left", left) &&
                readWhole(control, "Width", width) && readWhole(control, "Height", height))
                record = m_controls->Add(top, left, width, height, key, fontsize);
        }
        if (record)
            m_owners.insert(key, control);
    }
}

clsControl* clsResize::recordOf(const QObject* control) const {
    const QString key = ControlAccess::controlKey(control);
    clsControl* record = m_controls->Item(key);
    if (!record || m_owners.value(key) != control)
        return nullptr;
    return record;
}

void clsResize::applyFont(QObject* control, float points) const {
    if (ControlAccess::write(control, QStringLiteral("Fontsize"), points) == Result::Unsupported)
        ControlAccess::write(control, QStringLiteral("Font.Size"), points);
}

void clsResize::applyGeometry(QObject* control, const clsControl& record, double sx, double sy,
                              int option) const {
    const bool keepWidth = option == 1 || option == 3;
    const bool keepHeight = option == 2 || option == 3;
    const double left = record.Left() * sx;
    const double top = record.Top() * sy;
    const double width = keepWidth ? double(record.Width()) : record.Width() * sx;
    const double height = keepHeight ? double(record.Height()) : record.Height() * sy;

    if (qobject_cast<QComboBox*>(control)) {
        // One at a time: the combo box refuses its height, which must not cost the others.
        ControlAccess::write(control, QStringLiteral("Top"), top);
        ControlAccess::write(control, QStringLiteral("Left"), left);
        ControlAccess::write(control, QStringLiteral("Width"), width);
        ControlAccess::write(control, QStringLiteral("Height"), height);
    } else if (qobject_cast<LineControl*>(control)) {
        ControlAccess::write(control, QStringLiteral("X1"), record.X1() * sx);
        ControlAccess::write(control, QStringLiteral("X2"), record.X2() * sx);
        ControlAccess::write(control, QStringLiteral("Y1"), record.Y1() * sy);
        ControlAccess::write(control, QStringLiteral("Y2"), record.Y2() * sy);
    } else {
        ControlAccess::move(control, left, top, width, height);
    }
}

void clsResize::completeCapture() {
    if (!m_awaitingFrame || !m_window)
        return;
    const QSize outer = m_clientAtCapture.grownBy(WindowPlacement::frameMargins(m_window));
    qint32 v = 0;
    if (toWhole(Twips::fromPx(outer.height(), m_window), v))
        m_form->Height(v);
    if (toWhole(Twips::fromPx(outer.width(), m_window), v))
        m_form->Width(v);
}

void clsResize::DoResize() {
    completeCapture();
    // Without a captured window size there is no ratio to scale by.
    if (!m_window || !captured())
        return;
    const QSizeF outer = Twips::outerSize(m_window);
    const float sx = float(outer.width() / m_form->Width());
    const float sy = float(outer.height() / m_form->Height());
    if (!plausible(sx) || !plausible(sy))
        return;
    const float smin = smaller(sx, sy);

    const float p = ScaleMinMax();
    const float low = 1.0f - p / 100.0f;
    const float high = 1.0f + p / 100.0f;
    if (low <= sx && sx <= high && low <= sy && sy <= high) {
        DoResize_First(false);
        return;
    }

    for (QObject* control : ControlAccess::controls(m_window)) {
        const clsControl* record = recordOf(control);
        if (!record)
            continue;
        if (record->FontSizing())
            applyFont(control, record->Fontsize() * smin);
        applyGeometry(control, *record, sx, sy, record->ResizeOption());
    }
}

void clsResize::DoResize_First(bool bWithForm) {
    if (!m_window)
        return;
    completeCapture();
    for (QObject* control : ControlAccess::controls(m_window)) {
        const clsControl* record = recordOf(control);
        if (!record)
            continue;
        applyFont(control, record->Fontsize());
        applyGeometry(control, *record, 1.0, 1.0, 0);
    }
    // Before Initialize the recorded size is 0 x 0, which would make the window vanish.
    if (bWithForm && captured()) {
        Twips::setOuterHeight(m_window, m_form->Height());
        Twips::setOuterWidth(m_window, m_form->Width());
    }
}

void clsResize::ResizeOption(QObject* xControl, std::optional<int> iResizeOption,
                             std::optional<bool> bFontSizing) {
    clsControl* record = xControl ? recordOf(xControl) : nullptr;
    if (!record)
        return;
    // The record holds 16 bits; a value beyond them is refused, not cut down to another one.
    if (iResizeOption && *iResizeOption >= std::numeric_limits<qint16>::min() &&
        *iResizeOption <= std::numeric_limits<qint16>::max())
        record->ResizeOption(qint16(*iResizeOption));
    if (bFontSizing)
        record->FontSizing(*bFontSizing);
}

float clsResize::ScaleMinMax() const {
    return m_scaleMinMax;
}

void clsResize::ScaleMinMax(float percent) {
    m_scaleMinMax = percent;
}
