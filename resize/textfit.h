#pragma once

#include <QFont>

class QHeaderView;
class QWidget;

// Forms laid out from their design tables keep every control's place and size; the fonts scale
// by the smaller of the two factors. A substitute face a little wider than the design's, or
// type that grows a pixel faster than the box it sits in, would then cut captions off. These
// helpers make the font of a captioned control just small enough that its text shows whole.
namespace TextFit {

// Whether the control's text shows whole with font: a label's (wrapped) text inside its contents
// rectangle, a button's caption inside its bevel, a frame's caption inside its top edge. Any
// other widget, and an empty text, fits.
bool fits(const QWidget* control, const QFont& font);

// Fits the captions of window's labels, buttons and frames, each starting from its present
// font. Controls of one kind with one font under one parent take one size, so that a row of
// headings stays even.
void fitCaptions(QWidget* window);

// Gives the header the largest font, not above points, at which every heading fits its section.
void fitHeadings(QHeaderView* header, double points);

} // namespace TextFit
