#pragma once

#include "clsForm.h"
#include "col_Controls.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

// Re-lays out one window in proportion to a change of its outer size: Initialize captures the
// design layout of the window and its controls, DoResize scales every control by the ratio of
// the window's current outer size to the captured one, and every font by the smaller ratio.
// Controls are found and handled by their properties alone (objectName, the "index" property
// of array elements, geometry, font, the line end points), so any window can use it.
// It never throws and never reports anything: a step that fails for one control is skipped.
// Window sizes are outer sizes. A window captured before the window manager framed it has no
// outer size yet: the engine keeps its client area and adds the frame the window has at each
// resize, so that the factors never compare a framed window with an unframed one. DoResize refuses
// factors outside 0.25 to 5, which no screen preset comes near, and leaves the window as it is.
//
// Usage: oForm(window); Initialize() while the window shows its design layout; after every
// change of the window's outer size, DoResize(). DoResize_First(true) brings back the design
// layout together with the design size of the window. ResizeOption keeps a control's width
// (1), height (2) or both (3) unscaled, or (bFontSizing false) its font; an omitted argument
// leaves that setting as it is. ScaleMinMax is a band in percent around factor 1 inside which
// DoResize restores the design layout instead of scaling.
class clsResize {
public:
    clsResize();
    ~clsResize();
    clsResize(const clsResize&) = delete;
    clsResize& operator=(const clsResize&) = delete;

    void oForm(QWidget* vData);
    void Initialize();
    void DoResize();
    void DoResize_First(bool bWithForm);
    void ResizeOption(QObject* xControl, std::optional<int> iResizeOption = std::nullopt,
                      std::optional<bool> bFontSizing = std::nullopt);
    float ScaleMinMax() const;
    void ScaleMinMax(float percent);

    // For tests and tools: the captured records.
    const col_Controls& controls() const { return *m_controls; }
    const clsForm& form() const { return *m_form; }

private:
    // The record captured for this very control; nullptr when there is none, or when the key
    // belongs to another control that was met first (a single "Label41" beside element 1 of
    // "Label4"): sharing that record would stack the two controls on each other.
    clsControl* recordOf(const QObject* control) const;
    void applyFont(QObject* control, float points) const;
    void applyGeometry(QObject* control, const clsControl& record, double sx, double sy,
                       int option) const;
    bool captured() const;
    void completeCapture();

    QPointer<QWidget> m_window;
    std::unique_ptr<col_Controls> m_controls;
    std::unique_ptr<clsForm> m_form;
    float m_scaleMinMax = 0.0f;
    QSize m_clientAtCapture;
    bool m_awaitingFrame = false;
    QHash<QString, QPointer<QObject>> m_owners;
};
