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
    Drucken::PrintResultList(this);
}

void Seite1::openCalculator() {
    RechnerF calculator(this);
    calculator.exec();
}

void Seite1::openHelp() {
    Hilfe_Form::showModal(this);
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
    if (Kern::ScaleX <= 0 || Kern::ScaleY <= 0)
        return; // no preset applied yet
    // The window system takes the sizes as 32-bit floats.
    Twips::setOuterWidth(this, float(Kern::ScaleX * 9735 + 60));
    Twips::setOuterHeight(this, float(Kern::ScaleY * 9315));
    if (m_resize)
        m_resize->DoResize();
    // The substitute face is a little wider than the design's: no caption may be cut off.
    TextFit::fitCaptions(this);
}

void Seite1::ApplyScreenPreset(double preset) {
    Kern::PresetScale(preset);
    sizeForPreset();
    Kern::ResultTable()->SetUpResultTable();
    WindowPlacement::keepTitleBarOnScreen(this);
}

void Seite1::markPreset(double preset) {
    for (int i = 10; i <= 21; ++i)
        if (QAction* a = extrasEntry(i))
            a->setChecked(double(i - 10) == preset);
}

void Seite1::choosePreset(int entryIndex) {
    Kern::ScreenPreset = entryIndex - 10;
    markPreset(Kern::ScreenPreset);
    ApplyScreenPreset(Kern::ScreenPreset);
    // Centre horizontally; vertically 150 x ScaleY twips above the centre.
    const QScreen* s = screen();
    if (!s)
        return;
    const QSizeF screenTwips(Twips::fromPx(s->geometry().width(), this),
                             Twips::fromPx(s->geometry().height(), this));
    const QSizeF outer = Twips::outerSize(this);
    const double left = (screenTwips.width() - outer.width()) / 2;
    const double top = (screenTwips.height() - outer.height() - 300 * Kern::ScaleY) / 2;
    Twips::setOuterPos(this, left, top);
    // A preset taller than the screen would put the title bar above it, out of reach.
    WindowPlacement::keepTitleBarOnScreen(this);
}
