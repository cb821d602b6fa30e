// Keys reach OnKey before the controls; consumed keys go no further, others keep
// their usual effect (Esc cancels).

#include <gtest/gtest.h>

#include <QLineEdit>

#include "sample_dialog.h"

namespace veltrix::platform::testing {
namespace {

TEST(DialogKeysTest, EachPressReachesOnKeyOnceWhereverItIsSent) {
    SampleDialog dialog;
    dialog.show();
    const int targets[] = {kHost, kDevices, kConnect, kTabs, 0};
    for (const int target : targets) {
        SCOPED_TRACE(target);
        dialog.log.clear();
        dialog.UserPressKey(Qt::Key_H, target);
        EXPECT_EQ(dialog.log, (std::vector<Notification>{{"key", Qt::Key_H}}));
    }
}

TEST(DialogKeysTest, AConsumedKeyDoesNotReachTheControl) {
    SampleDialog dialog;
    dialog.show();
    dialog.UserPressKey(Qt::Key_H, kHost);
    EXPECT_EQ(dialog.ItemText(kHost), "h");
    dialog.consumedKeys = {Qt::Key_H};
    dialog.UserPressKey(Qt::Key_H, kHost);
    EXPECT_EQ(dialog.ItemText(kHost), "h");
    EXPECT_EQ(dialog.Count("key"), 2);
}

TEST(DialogKeysTest, EscCancelsUnlessConsumed) {
    SampleDialog dialog;
    dialog.show();
    dialog.consumedKeys = {Qt::Key_Escape};
    dialog.UserPressKey(Qt::Key_Escape, kHost);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Count("command"), 0);

    dialog.consumedKeys.clear();
    dialog.UserPressKey(Qt::Key_Escape, kHost);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.log.back(), (Notification{"command", IDCANCEL}));
}

TEST(DialogKeysTest, KeysOfAnotherWindowAreNotSeen) {
    SampleDialog first;
    SampleDialog second;
    first.show();
    second.show();
    second.UserPressKey(Qt::Key_H, kHost);
    EXPECT_EQ(first.Count("key"), 0);
    EXPECT_EQ(second.Count("key"), 1);
}

}  // namespace
}  // namespace veltrix::platform::testing
