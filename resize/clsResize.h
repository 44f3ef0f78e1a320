#pragma once

#include "clsForm.h"
#include "col_Controls.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

// Re-lays out one window in proportion to a change of its outer size: Initialize captures the
// design layout of the window and its controls, DoResize scales every control by the ratio of
// the window's current outer size to the captured one, and every font by the smaller ratio.
// Controls are found and handled by their properties alone (objectName, the "index" property
// of array elements, geometry, font, the line end points), so any window can use it.
// It never throws and never reports anything: a step that fails for one control is skipped.
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
    QPointer<QWidget> m_window;
    std::unique_ptr<col_Controls> m_controls;
    std::unique_ptr<clsForm> m_form;
    float m_scaleMinMax = 0.0f;
};
