#include "model/work_file_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarn {
namespace {

using Status = ConcWorkFileReader::Status;

ConcWorkFileReader FromText(const std::string& text, char separator, int rooms, int pollutants) {
  return ConcWorkFileReader(TextLineSource::FromText(text), separator, rooms, pollutants);
}

TEST(SplitNumberLine, ReadsTheItemsAsTheRunWritesThem) {
  std::vector<float> v;
  ASSERT_TRUE(SplitNumberLine(" 0 , .5 , -.25 , 1E-05 ", ',', v));
  EXPECT_EQ(v, (std::vector<float>{0.0f, 0.5f, -0.25f, 1e-5f}));
  // The exposure files end every number with the separator.
  ASSERT_TRUE(SplitNumberLine(" 1 , 2 ,", ',', v));
  EXPECT_EQ(v, (std::vector<float>{1.0f, 2.0f}));
  // A tab reads like a comma, whatever separator is asked for.
  ASSERT_TRUE(SplitNumberLine(" 1 \t 2 \t", ',', v));
  EXPECT_EQ(v, (std::vector<float>{1.0f, 2.0f}));
}

TEST(SplitNumberLine, RejectsWhatIsNotALineOfNumbers) {
  std::vector<float> v;
  EXPECT_FALSE(SplitNumberLine(" 1 , abc ", ',', v));
  EXPECT_FALSE(SplitNumberLine(" 1 ,, 2 ", ',', v));  // an empty item inside the line
  EXPECT_FALSE(SplitNumberLine(",", ',', v));
  EXPECT_FALSE(SplitNumberLine(" 1E+39 ", ',', v));  // beyond a Single
}

TEST(ConcWorkFileReader, IteratesRecordsToTheEndMark) {
  // One room, two pollutants: time, outdoors p0 p1, room 1 p0 p1.
  auto reader = FromText(
      " 0 , .1 , .2 , 1 , 2 \r\n .5 , .1 , .2 , 1.5 , 2.5 \r\n-999 \r\n 7 , 7 , 7 , 7 , 7 \r\n",
      ',', 1, 2);
  EXPECT_EQ(reader.Width(), 5);
  ASSERT_EQ(reader.Next(), Status::Record);
  EXPECT_EQ(reader.Time(), 0.0f);
  EXPECT_EQ(reader.Conc(0, 1), 0.2f);
  EXPECT_EQ(reader.Conc(1, 0), 1.0f);
  ASSERT_EQ(reader.Next(), Status::Record);
  EXPECT_EQ(reader.Time(), 0.5f);
  EXPECT_EQ(reader.Conc(1, 1), 2.5f);
  EXPECT_EQ(reader.Concentrations().size(), 4u);
  EXPECT_EQ(reader.Next(), Status::End);
  EXPECT_TRUE(reader.EndMarkSeen());
  EXPECT_EQ(reader.Next(), Status::End);  // nothing after the mark is data
}

TEST(ConcWorkFileReader, TabSeparatedFileReadsLikeComma) {
  auto reader = FromText(" 0 \t .1 \t 3 \n-999 \n", '\t', 1, 1);
  ASSERT_EQ(reader.Next(), Status::Record);
  EXPECT_EQ(reader.Conc(1, 0), 3.0f);
  EXPECT_EQ(reader.Next(), Status::End);
}

TEST(ConcWorkFileReader, EndOfFileWithoutMarkEndsTheData) {
  auto reader = FromText(" 0 , 1 , 2 \r\n\r\n", ',', 1, 1);
  ASSERT_EQ(reader.Next(), Status::Record);
  EXPECT_EQ(reader.Next(), Status::End);
  EXPECT_FALSE(reader.EndMarkSeen());
}

TEST(ConcWorkFileReader, WrongWidthOrTextIsAnErrorThatNamesTheLine) {
  auto short_line = FromText(" 0 , 1 , 2 \r\n 1 , 1 \r\n", ',', 1, 1);
  ASSERT_EQ(short_line.Next(), Status::Record);
  ASSERT_EQ(short_line.Next(), Status::Error);
  EXPECT_EQ(short_line.ErrorText(),
            "Line 2 of the concentration file holds 2 numbers instead of 3.");

  auto text = FromText("Time,Outdoors,Room\r\n", ',', 1, 1);
  ASSERT_EQ(text.Next(), Status::Error);
  EXPECT_EQ(text.ErrorText(), "Line 1 of the concentration file is not a line of numbers.");
}

TEST(ConcWorkFileReader, MissingFileDoesNotOpen) {
  ConcWorkFileReader reader("/nonexistent/folder/TempSEN.TMP", ',', 1, 1);
  EXPECT_FALSE(reader.IsOpen());
}

}  // namespace
}  // namespace quarn
