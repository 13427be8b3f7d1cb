// The labels' repaint rule: every text taken, at most one repaint per interval, the last text
// always shown.
#include <gtest/gtest.h>

#include "controls/ThrottledText.h"

namespace {

TEST(ThrottledTextTest, TextsWithinTheIntervalWaitAndTheLastOneIsShownAtTheTick) {
    ThrottledText label;
    EXPECT_TRUE(label.Offer("Copiando: a", 1000));  // the first is shown at once
    EXPECT_FALSE(label.Offer("Copiando: b", 1005));
    EXPECT_FALSE(label.Offer("Copiando: c", 1019));
    EXPECT_EQ(label.Text(), "Copiando: c");
    EXPECT_TRUE(label.Waiting());
    EXPECT_FALSE(label.TakeWaiting(1015).has_value());  // a timer that fires early
    EXPECT_TRUE(label.Waiting());
    EXPECT_EQ(label.TakeWaiting(1020), "Copiando: c");  // the timer shows the last one
    EXPECT_FALSE(label.TakeWaiting(1040).has_value());
    EXPECT_TRUE(label.Offer("Copiando: d", 1040));  // an interval after the last one shown
    EXPECT_FALSE(label.Waiting());
}

TEST(ThrottledTextTest, TheTextOnScreenGivenAgainNeitherShowsNorWaits) {
    ThrottledText label;
    EXPECT_TRUE(label.Offer("Copiando: 1 MB de 9 MB", 1000));
    EXPECT_FALSE(label.Offer("Copiando: 1 MB de 9 MB", 1100));  // long after: nothing to show
    EXPECT_FALSE(label.Waiting());
    EXPECT_TRUE(label.Offer("Copiando: 2 MB de 9 MB", 1101));   // a new one is shown at once
    EXPECT_FALSE(label.Offer("Copiando: 1 MB de 9 MB", 1105));  // the old one again waits
    EXPECT_TRUE(label.Waiting());
}

}  // namespace
