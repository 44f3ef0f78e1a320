// The commands of the main window that lead to other windows, and the screen presets.
#include "seite1.h"

#include "clsResize.h"
#include "kern.h"
#include "resulttablemodel.h"
#include "textfit.h"
#include "twips.h"
#include "windowplacement.h"

#include "Hilfe_Form.h"
#include "ProgInfo.h"
#include "RechnerF.h"
#include "drucken.h"

#include <QAction>
#include <QScreen>

void Seite1::printResultList() {
    Drucken::PrintResultList(*m_model, m_printing, this);
}

void Seite1::openCalculator() {
    RechnerF calculator(m_screen, this);
    calculator.exec();
}

void Seite1::openHelp() {
    Hilfe_Form::showModal(m_screen, this);
}

void Seite1::openAbout() {
    ProgInfo about(this);
    about.exec();
}

void Seite1::captureDesignLayout() {
    m_resize = std::make_unique<clsResize>();
    m_resize->oForm(this);
    m_resize->Initialize();
    // A window manager that frames the window only after start-up stopped waiting for it adds
    // the frame to the outer size: the window gets the preset's size again then.
    WindowPlacement::keep(this, [this] { sizeForPreset(); });
}

void Seite1::sizeForPreset() {
    // The window system takes the sizes as 32-bit floats.
    Twips::setOuterWidth(this, float(m_screen.x * 9735 + 60));
    Twips::setOuterHeight(this, float(m_screen.y * 9315));
    if (m_resize)
        m_resize->DoResize();
    // The substitute face is a little wider than the design's: no caption may be cut off.
    TextFit::fitCaptions(this);
}

void Seite1::ApplyScreenPreset(double preset) {
    m_screen = Kern::PresetScale(preset, m_screen);
    sizeForPreset();
    // The grid keeps its rows, their order and the selection; only its layout follows.
    applyGridLayout();
    WindowPlacement::keepTitleBarOnScreen(this);
}

void Seite1::markPreset(double preset) {
    for (int i = 10; i <= 21; ++i)
        if (QAction* a = extrasEntry(i))
            a->setChecked(double(i - 10) == preset);
}

void Seite1::choosePreset(int preset) {
    markPreset(preset);
    ApplyScreenPreset(preset);
    // Centre horizontally; vertically 150 twips times the vertical factor above the centre.
    const QScreen* s = screen();
    if (!s)
        return;
    const QSizeF screenTwips(Twips::fromPx(s->geometry().width(), this),
                             Twips::fromPx(s->geometry().height(), this));
    const QSizeF outer = Twips::outerSize(this);
    const double left = (screenTwips.width() - outer.width()) / 2;
    const double top = (screenTwips.height() - outer.height() - 300 * m_screen.y) / 2;
    Twips::setOuterPos(this, left, top);
    // A preset taller than the screen would put the title bar above it, out of reach.
    WindowPlacement::keepTitleBarOnScreen(this);
}
