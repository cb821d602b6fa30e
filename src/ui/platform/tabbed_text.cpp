#include "ui/platform/tabbed_text.h"

#include <QFontMetrics>
#include <QStringList>

namespace veltrix::platform {
namespace {

int NextStop(int end, const std::vector<int>& stops) {
    for (const int stop : stops) {
        if (stop > end) {
            return stop;
        }
    }
    if (stops.empty()) {
        return end;
    }
    const int last = stops.back();
    const int step = stops.size() > 1 ? last - stops[stops.size() - 2] : last;
    if (step <= 0) {
        return end;
    }
    return last + ((end - last) / step + 1) * step;
}

}  // namespace

std::vector<TabbedSegment> LayoutTabbedText(const QString& text, const std::vector<int>& stopsPx,
                                            const std::function<int(const QString&)>& width) {
    std::vector<TabbedSegment> segments;
    int x = 0;
    const QStringList pieces = text.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            x = NextStop(x + width(pieces[i - 1]), stopsPx);
        }
        segments.push_back({pieces[i], x});
    }
    return segments;
}

int HorizontalBaseUnit(const QFontMetrics& metrics) {
    static const QString kAlphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2;
}

int DialogUnitsToPixelsX(int dialogUnits, int baseUnit) {
    const int product = dialogUnits * baseUnit;
    return product >= 0 ? (product + 2) / 4 : -((-product + 2) / 4);
}

}  // namespace veltrix::platform
