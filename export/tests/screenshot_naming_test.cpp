#include "export/screenshot_naming.h"

#include <gtest/gtest.h>

namespace korvanel {
namespace {

using namespace std::chrono;

TEST(ScreenshotNameTest, ProposesModelDateAndTimeWithoutColons) {
  const year_month_day march_third{year{2021}, month{3}, day{3}};
  EXPECT_EQ(ProposedScreenshotName("ST1000DM003", march_third, "09:05:07"),
            "Korvanel ST1000DM003 2021-03-03 09-05-07");
  // No drive selected: no model part.
  EXPECT_EQ(ProposedScreenshotName(std::nullopt, march_third, "09:05:07"), "Korvanel 2021-03-03 09-05-07");
  // A dotted time format keeps its dots; a 12-hour one its suffix.
  EXPECT_EQ(ProposedScreenshotName("X", march_third, "09.05.07"), "Korvanel X 2021-03-03 09.05.07");
  EXPECT_EQ(ProposedScreenshotName("X", year_month_day{year{987}, month{12}, day{31}}, "9:05:07 PM"),
            "Korvanel X 0987-12-31 9-05-07 PM");
  // A slash would turn the proposal into a path into some directory.
  EXPECT_EQ(ProposedScreenshotName("WD/Blue", march_third, "09:05"), "Korvanel WD-Blue 2021-03-03 09-05");
}

TEST(ScreenshotNameTest, AppendsPngUnlessTheLastExtensionIsPng) {
  EXPECT_EQ(WithPngExtension("result"), "result.png");
  EXPECT_EQ(WithPngExtension("result.PNG"), "result.PNG");
  EXPECT_EQ(WithPngExtension("result.png"), "result.png");
  EXPECT_EQ(WithPngExtension("result.txt"), "result.txt.png");
  EXPECT_EQ(WithPngExtension("Korvanel X 2021-03-03 09.05.07"), "Korvanel X 2021-03-03 09.05.07.png");
  EXPECT_EQ(WithPngExtension("shots.png/today"), "shots.png/today.png");
  EXPECT_EQ(WithPngExtension("result.pngx"), "result.pngx.png");
}

}  // namespace
}  // namespace korvanel
