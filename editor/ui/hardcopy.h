// Hardcopy printing: the Print command puts the current view on paper, drawn by the same redraw walk
// as the screen, either straight onto the page (Direct) or into a square bitmap stretched onto the
// page, or copies it to the clipboard as a bitmap.
#pragma once
#include <string>

#include "editor/ui/draw/engine.h"
#include "editor/ui/editor.h"
#include "platform/gfx/canvas.h"

namespace edui {

constexpr double kInchesPerMm = 0.03937007874015748;
constexpr double kDefaultPaperScale = 25400;
// The clipboard bitmap stays within the device range on each side and within this many pixels.
constexpr long long kClipboardPixels = 64LL * 1024 * 1024;

// Oversampling of the bitmap forms by panel size class 0..3.
double BitmapFactor(int sizeClass);
// A paper scale of 0 or less (or not a number) stands for 25400 user units per inch.
double UsablePaperScale(double paperScale);

// The hardcopy scale at which the shown window fills the target: the page height of a printer, the
// clipboard bitmap of the screen. `unitsPerUser` is the drawing's scale.
double PrinterFitScale(const gfx::DeviceCaps& caps, const draw::ViewState& v, double unitsPerUser, double paperScale);
double DisplayFitScale(const gfx::DeviceCaps& caps, const draw::ViewState& v, double unitsPerUser,
                       double paperScale, double bitmapFactor);

// The engine's device mapping of the three forms for print factor k; shifts in inches. Paper is
// drawn as the screen shows it, never mirrored.
draw::PageTransform PageTransformDirect(const draw::ViewState& v, double k, const gfx::DeviceCaps& caps, double shiftX,
                                        double shiftY);
draw::PageTransform PageTransformBitmap(const draw::ViewState& v, double k, double bitmapFactor,
                                        const gfx::DeviceCaps& caps, double shiftX, double shiftY);
draw::PageTransform PageTransformClipboard(const draw::ViewState& v, double k);
// The world window a target of width x height device pixels shows through `t`, as culling corners.
void CullToTarget(draw::ViewState& v, const draw::PageTransform& t, int width, int height);

// The current view drawn onto a page, bitmap or clipboard picture by the redraw walk (and the dot
// grid when shown), culled to what the target shows.
void DrawPage(Editor& ed, gfx::Surface& target, draw::Target form, const draw::PageTransform& t);

// Describes the target of the chosen form: the printer chosen, or the screen under ClipBoard.
// Returns whether there is one.
bool DescribeTarget(HardcopyState& h, bool clipboard);
// The HCPY printer information text of the described target.
std::string PrinterInformation(const HardcopyState& h, bool clipboard);
// PrinterCaps / DisplayCaps: the fit scale of the described target at a paper scale.
double FitScale(const Editor& ed, bool clipboard, double paperScale);

// The Print command and its three forms. Each form gives 1 when its output was made.
void PrintCommand(Editor& ed);
int PrintDirect(Editor& ed);
int PrintBitmap(Editor& ed);
int CopyToClipboard(Editor& ed);

}  // namespace edui
