#pragma once
// Column layout of tab-separated list rows, as a list box with tab stops shows them.

#include <QString>
#include <functional>
#include <vector>

class QFontMetrics;

namespace veltrix::platform {

struct TabbedSegment {
    QString text;
    int x = 0;  // left edge, relative to the start of the row's text
};

// Splits `text` at its tabs and places each piece: the first at 0, each following one
// at the first stop (pixels) right of where the previous piece ends. Past the last
// stop, further stops repeat at the distance of the last two (or of the one stop);
// without stops the pieces follow one another directly. `width` measures a piece.
std::vector<TabbedSegment> LayoutTabbedText(const QString& text, const std::vector<int>& stopsPx,
                                            const std::function<int(const QString&)>& width);

// The horizontal dialog base unit of a font: its average character width, rounded.
int HorizontalBaseUnit(const QFontMetrics& metrics);
// Dialog units across to pixels for a base unit (four dialog units per base unit).
int DialogUnitsToPixelsX(int dialogUnits, int baseUnit);

}  // namespace veltrix::platform
