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

// A disk's model is the drive's own text: quotes split the save dialog's name (and drop the
// "Korvanel" before them), $(...) and ` start commands where a name reaches a shell, ESC moves a
// terminal's cursor. Every such character becomes "-"; letters of every script stay.
TEST(ScreenshotNameTest, CharactersThatActInADialogOrShellOrCannotBeInAFileNameBecomeDashes) {
  const year_month_day august{year{2026}, month{8}, day{12}};
  EXPECT_EQ(ProposedScreenshotName("\"Evil\" $(rm -rf ~) `id` <b>x</b>", august, "10:15"),
            "Korvanel -Evil- -(rm -rf ~) -id- -b-x--b- 2026-08-12 10-15");
  EXPECT_EQ(ProposedScreenshotName("A\x1B[31mB\nC\tD\x7F", august, "10:15"), "Korvanel A-[31mB-C-D- 2026-08-12 10-15");
  EXPECT_EQ(ProposedScreenshotName("C:\\*?|'x", august, "10:15"), "Korvanel C------x 2026-08-12 10-15");
  // Invalid UTF-8 and C1 controls go; Cyrillic, CJK and accents stay.
  EXPECT_EQ(ProposedScreenshotName("\xFF\xFEX\xC2\x9BY", august, "10:15"), "Korvanel --X--Y 2026-08-12 10-15");
  // A lead byte past U+10FFFF's (F5..FF) starts no character, whatever follows it.
  EXPECT_EQ(ProposedScreenshotName("\xF8\x80\x80Z", august, "10:15"), "Korvanel ---Z 2026-08-12 10-15");
  EXPECT_EQ(ProposedScreenshotName("Диск 日本 Müller", august, "10:15"), "Korvanel Диск 日本 Müller 2026-08-12 10-15");
  // The time text is treated alike.
  EXPECT_EQ(ProposedScreenshotName(std::nullopt, august, "10\"15\x1B"), "Korvanel 2026-08-12 10-15-");
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
