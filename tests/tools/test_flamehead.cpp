// Flame-head setting: slider range, layout of the outputs and the indicator, moving the
// slider, and "PLG.txt".

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/names.h"
#include "core/textfile.h"
#include "support/qtprint.h"
#include "support/testdirs.h"
#include "tools/flamehead.h"

using namespace tools;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

namespace {

FlameHead Typed(const QString& e1, const QString& e2, const QString& q1, const QString& q2) {
    FlameHead f;
    f.e1Changed(e1);
    f.e2Changed(e2);
    f.TQ1Changed(q1);
    f.TQ2Changed(q2);
    return f;
}

}  // namespace

TEST(FlameHead, RisingOutputInterpolatesAlongTheScale) {
    FlameHead f = Typed("10", "30", "500", "1000");
    EXPECT_TRUE(f.sliderEnabled);
    EXPECT_EQ(f.sliderMin, 10);
    EXPECT_EQ(f.sliderMax, 30);
    EXPECT_EQ(f.Lmin, "500");
    EXPECT_EQ(f.Lmax, "1000");
    EXPECT_EQ(f.Lt, "500");
    EXPECT_TRUE(f.L1Visible);
    EXPECT_EQ(f.L1, MarkerL0());
    f.sliderMoved(20);
    EXPECT_EQ(f.L1, MarkerL0().shifted(1020));
    EXPECT_EQ(f.L1.vertical.from, QPointF(6780, 3480));
    EXPECT_EQ(f.Lt, "750");
    EXPECT_EQ(f.Lg, "750");
    EXPECT_EQ(f.Lk, "675");
    EXPECT_EQ(f.Label4_0, "e=20");
    EXPECT_EQ(f.Label4_1, "e=20");
    // the ends of the range stand on the markers
    f.sliderMoved(30);
    EXPECT_EQ(f.L1.vertical.from.x(), MarkerL2().vertical.from.x());
    EXPECT_EQ(f.Lt, "1000");
    f.sliderMoved(10);
    EXPECT_EQ(f.L1, MarkerL0());
    EXPECT_EQ(f.Lt, "500");
    // a step of a third of the scale: 680 twips, 2 decimals
    FlameHead g = Typed("0", "3", "100", "200");
    g.sliderMoved(1);
    EXPECT_EQ(g.L1, MarkerL0().shifted(680));
    EXPECT_EQ(g.Lt, "133.33");
    EXPECT_EQ(g.Lk, "119.997");
}

TEST(FlameHead, FallingOutputStartsOnTheLargerMarker) {
    FlameHead f = Typed("10", "30", "1000", "500");
    EXPECT_EQ(f.Lmin, "500");
    EXPECT_EQ(f.Lmax, "1000");
    EXPECT_EQ(f.Lt, "1000");
    EXPECT_EQ(f.L1, MarkerL2());
    f.sliderMoved(20);
    EXPECT_EQ(f.L1, MarkerL2().shifted(-1020));
    EXPECT_EQ(f.Lt, "750");
    f.sliderMoved(30);
    EXPECT_EQ(f.L1.vertical.from.x(), MarkerL0().vertical.from.x());
    EXPECT_EQ(f.Lt, "500");
}

TEST(FlameHead, EqualOutputsLeaveTheIndicatorAndTheOutput) {
    FlameHead f = Typed("10", "30", "700", "700");
    const LinePair before = f.L1;
    f.Text1 = "80";
    f.sliderMoved(25);
    EXPECT_EQ(f.L1, before);
    EXPECT_EQ(f.Lt, "700");
    EXPECT_EQ(f.Lg, "700");
    EXPECT_EQ(f.Lk, "560");
    EXPECT_EQ(f.Label4_1, "e=25");
}

TEST(FlameHead, SliderRangeRoundsAndDisables) {
    FlameHead f = Typed("12.6", "20.4", "1", "2");
    EXPECT_EQ(f.sliderMin, 13);
    EXPECT_EQ(f.sliderMax, 20);
    f.e1Changed("12.5");
    f.e2Changed("13.5");
    EXPECT_EQ(f.sliderMin, 12);  // halves to even
    EXPECT_EQ(f.sliderMax, 14);
    f.e2Changed("12.5");
    EXPECT_FALSE(f.sliderEnabled);
    const FlameHead before = f;
    f.sliderMoved(13);
    EXPECT_EQ(f.Lt, before.Lt);
    EXPECT_EQ(f.L1, before.L1);
    EXPECT_TRUE(f.Label4_0.isEmpty());
    // a range that rounds to one position moves nowhere and divides by nothing
    FlameHead one = Typed("10.1", "10.3", "100", "200");
    EXPECT_TRUE(one.sliderEnabled);
    one.sliderMoved(10);
    EXPECT_EQ(one.L1, MarkerL0());
    EXPECT_EQ(one.Lt, "100");
}

TEST(FlameHead, IndicatorHiddenUntilAnOutputChanges) {
    FlameHead f;
    EXPECT_FALSE(f.L1Visible);
    EXPECT_EQ(f.L1, IndicatorDesigned());
    EXPECT_FALSE(f.sliderEnabled);  // " " is not greater than ""
    f.e1Changed("10");
    f.e2Changed("30");
    EXPECT_FALSE(f.L1Visible);
    f.sliderMoved(20);
    EXPECT_EQ(f.L1, IndicatorDesigned());  // both outputs 0: nothing to move
    f.TQ2Changed("900");
    EXPECT_TRUE(f.L1Visible);
    EXPECT_EQ(MarkerL2().vertical.from.x() - MarkerL0().vertical.from.x(), kScaleLength);
}

TEST(FlameHeadFile, FourQuotedValuesAsTyped) {
    QTemporaryDir dir;
    FlameHead f;
    ASSERT_TRUE(WritePlg(dir.path(), f.stored()));
    EXPECT_EQ(ReadBytes(core::JoinPath(dir.path(), kPlgFile)), QByteArray("\"\"\r\n\" \"\r\n\" \"\r\n\" \"\r\n"));
    PlgContents c;
    ASSERT_TRUE(ReadPlg(dir.path(), c));
    EXPECT_TRUE(c.exists);
    EXPECT_TRUE(c.complete);
    EXPECT_EQ(c.values, QStringList({"", " ", " ", " "}));
    ASSERT_TRUE(WritePlg(dir.path(), {"12.6", " 20.4", "350", "1200.5"}));
    ASSERT_TRUE(ReadPlg(dir.path(), c));
    EXPECT_EQ(c.values, QStringList({"12.6", " 20.4", "350", "1200.5"}));
    EXPECT_FALSE(WritePlg(dir.filePath("missing"), f.stored()));
}

TEST(FlameHeadFile, ShortOrWrongFilesAreReportedNotFatal) {
    QTemporaryDir dir;
    PlgContents c;
    ASSERT_TRUE(ReadPlg(dir.path(), c));
    EXPECT_FALSE(c.exists);
    WriteBytes(core::JoinPath(dir.path(), QStringLiteral("plg.TXT")), "\"10\"\n\"30\"\n");
    ASSERT_TRUE(ReadPlg(dir.path(), c));
    EXPECT_TRUE(c.exists);
    EXPECT_FALSE(c.complete);
    EXPECT_TRUE(c.present[0] && c.present[1]);
    EXPECT_FALSE(c.present[2] || c.present[3]);
    // values typed in the window that are no plain numbers are kept exactly as typed
    WriteBytes(core::JoinPath(dir.path(), QStringLiteral("plg.TXT")),
               core::EncodeCp1251(QStringLiteral("\"10,5\"\r\n\"1 000\"\r\n\"500 кВт\"\r\n\"1e3\"\r\n")));
    ASSERT_TRUE(ReadPlg(dir.path(), c));
    EXPECT_TRUE(c.complete);
    EXPECT_EQ(c.values, QStringList({"10,5", "1 000", QStringLiteral("500 кВт"), "1e3"}));
    ASSERT_TRUE(WritePlg(dir.path(), c.values));
    PlgContents again;
    ASSERT_TRUE(ReadPlg(dir.path(), again));
    EXPECT_EQ(again.values, c.values);
    // the calculation reads their leading numbers
    FlameHead f;
    f.e1Changed(c.values[0]);
    f.e2Changed(QStringLiteral("30 мм"));
    EXPECT_TRUE(f.sliderEnabled);
    EXPECT_EQ(f.sliderMin, 10);
    EXPECT_EQ(f.sliderMax, 30);
    // a range of hundreds of millions of positions (a typing slip) still interpolates
    f.e2Changed(QStringLiteral("621666666"));
    f.TQ1Changed(QStringLiteral("500"));
    f.TQ2Changed(QStringLiteral("1000"));
    f.sliderMoved(f.sliderMax);
    EXPECT_EQ(f.Lt, "1000");
}
