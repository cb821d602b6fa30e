// Tab-separated rows laid out and painted as columns at the list's tab stops.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QStandardItemModel>

#include "ui/platform/list_box.h"
#include "ui/platform/tab_stop_delegate.h"
#include "ui/platform/tabbed_text.h"

namespace veltrix::platform {
namespace {

// Ten pixels per character.
int TenPerChar(const QString& text) {
    return 10 * static_cast<int>(text.size());
}

std::vector<int> Xs(const std::vector<TabbedSegment>& segments) {
    std::vector<int> xs;
    for (const auto& segment : segments) {
        xs.push_back(segment.x);
    }
    return xs;
}

TEST(TabbedTextTest, SegmentsStartAtTheNextStopPastThePreviousText) {
    struct Row {
        const char* text;
        std::vector<int> stops;
        std::vector<int> xs;
    };
    const Row rows[] = {
        {"plain", {64, 360}, {0}},
        {"0\tModel\t931 GB\tOK", {64, 360, 430}, {0, 64, 360, 430}},
        {"\t\t", {64, 360}, {0, 64, 360}},
        // A piece reaching over a stop moves on to the next one.
        {"0123456789\tb\tc", {64, 200, 300}, {0, 200, 300}},
        // Ending exactly on a stop also moves on.
        {"012345\tb", {60, 100}, {0, 100}},
        // Past the last stop the last distance repeats.
        {"a\tb\tc\td", {50, 80}, {0, 50, 80, 110}},
        {"a\tb\tc", {40}, {0, 40, 80}},
        {"ab\tc", {}, {0, 20}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const auto segments = LayoutTabbedText(QString::fromUtf8(row.text), row.stops, TenPerChar);
        EXPECT_EQ(Xs(segments), row.xs);
    }
    const auto segments = LayoutTabbedText(QStringLiteral("a\t\tc"), {30, 60}, TenPerChar);
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[1].text, "");
    EXPECT_EQ(segments[2].text, "c");
}

TEST(TabbedTextTest, DialogUnitsToPixels) {
    struct Row {
        int dialogUnits;
        int baseUnit;
        int pixels;
    };
    const Row rows[] = {{32, 8, 64}, {180, 8, 360}, {215, 7, 376},
                        {1, 6, 2},   {0, 8, 0},     {-4, 8, -8}};
    for (const Row& row : rows) {
        EXPECT_EQ(DialogUnitsToPixelsX(row.dialogUnits, row.baseUnit), row.pixels)
            << row.dialogUnits << " du at base " << row.baseUnit;
    }
}

TEST(TabbedTextTest, BaseUnitIsTheAverageCharacterWidth) {
    const QFontMetrics metrics(QFont(QStringLiteral("DejaVu Sans"), 10));
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int base = HorizontalBaseUnit(metrics);
    EXPECT_GT(base, 0);
    EXPECT_LE(std::abs(base * 52 - alphabet), 52);
}

// Records where the delegate draws each piece instead of drawing it.
class RecordingDelegate : public TabStopDelegate {
  public:
    mutable std::vector<std::pair<QString, QRect>> drawn;

  protected:
    void DrawSegment(QPainter* /*painter*/, const QRect& rect, const QString& text,
                     const QStyleOptionViewItem& /*option*/) const override {
        drawn.emplace_back(text, rect);
    }
};

TEST(TabStopDelegateTest, PaintsEachSegmentAtItsStop) {
    QStandardItemModel model;
    model.appendRow(new QStandardItem(QStringLiteral("0\tModel\t931 GB\tOK")));
    RecordingDelegate delegate;
    delegate.SetStops({64, 360, 430});
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 600, 20);
    option.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    option.state = QStyle::State_Enabled;
    QImage image(600, 20, QImage::Format_ARGB32);
    QPainter painter(&image);
    delegate.paint(&painter, option, model.index(0, 0));
    painter.end();

    ASSERT_EQ(delegate.drawn.size(), 4u);
    const int left = delegate.drawn[0].second.left();
    const std::pair<const char*, int> expected[] = {
        {"0", 0}, {"Model", 64}, {"931 GB", 360}, {"OK", 430}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(delegate.drawn[i].first, expected[i].first);
        EXPECT_EQ(delegate.drawn[i].second.left() - left, expected[i].second);
    }
    EXPECT_LT(left, 10);  // the text starts at the row's own margin
}

TEST(ListBoxTest, TabStopsFollowTheFont) {
    ListBox list;
    list.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    list.SetTabStops({32, 180, 215});
    const int base = HorizontalBaseUnit(list.fontMetrics());
    EXPECT_EQ(list.TabStopsPixels(),
              (std::vector<int>{DialogUnitsToPixelsX(32, base), DialogUnitsToPixelsX(180, base),
                                DialogUnitsToPixelsX(215, base)}));
    auto* delegate = dynamic_cast<TabStopDelegate*>(list.itemDelegate());
    ASSERT_NE(delegate, nullptr);
    EXPECT_EQ(delegate->Stops(), list.TabStopsPixels());

    list.setFont(QFont(QStringLiteral("DejaVu Sans"), 18));
    EXPECT_EQ(delegate->Stops(), list.TabStopsPixels());
    EXPECT_GT(delegate->Stops()[0], DialogUnitsToPixelsX(32, base));

    list.SetTabStops({});
    EXPECT_EQ(dynamic_cast<TabStopDelegate*>(list.itemDelegate()), nullptr);
}

}  // namespace
}  // namespace veltrix::platform
