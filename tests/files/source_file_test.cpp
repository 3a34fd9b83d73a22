#include "files/source_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

#include "file_fixture.h"
#include "text/number_read.h"
#include "text/number_text.h"

namespace quarn {
namespace {

using SourceFile = testing::FileTest;

// What a Single becomes after a trip through the file: seven significant digits.
float Stored(float x) {
  return static_cast<float>(LeadingNumber(FormatSingle(x)));
}

// A room source with one cycle and one pollutant whose parameter rows hold their row number.
SourceRecord PaintSource() {
  SourceRecord s;
  s.Name = "Paint";
  s.Model = 3;
  s.EmissionUnits = 1;
  s.Size = 2.5f;
  s.CycleRepeats = "D";
  s.NumCycles = 1;
  s.GasVelocity = 0.5f;
  s.TimeOn[1] = 1;
  s.TimeOff[1] = 8;
  s.TotalMass = 100;
  s.SourceValue = -0.25f;
  for (int k = 0; k < kNumParams; ++k) s.Params[k][0] = static_cast<float>(k);
  s.RawParam3[0] = 0.125f;
  return s;
}

void ExpectSameRoomSource(const SourceRecord& a, const SourceRecord& b, int np) {
  EXPECT_EQ(a.Name, b.Name);
  EXPECT_EQ(a.Model, b.Model);
  EXPECT_EQ(a.EmissionUnits, b.EmissionUnits);
  EXPECT_EQ(a.Size, b.Size);
  EXPECT_EQ(a.CycleRepeats.str(), b.CycleRepeats.str());
  EXPECT_EQ(a.NumCycles, b.NumCycles);
  EXPECT_EQ(a.GasVelocity, b.GasVelocity);
  for (int c = 1; c <= a.NumCycles; ++c) {
    EXPECT_EQ(a.TimeOn[c], b.TimeOn[c]);
    EXPECT_EQ(a.TimeOff[c], b.TimeOff[c]);
  }
  EXPECT_EQ(a.TotalMass, b.TotalMass);
  EXPECT_EQ(a.SourceValue, b.SourceValue);
  for (int p = 0; p < np; ++p) {
    for (int k = 0; k < kNumParams; ++k) EXPECT_EQ(a.Params[k][p], b.Params[k][p]) << k << "," << p;
    EXPECT_EQ(a.RawParam3[p], b.RawParam3[p]);
  }
}

TEST_F(SourceFile, RoomSourceMatchesItsLayoutByteForByte) {
  const std::string path = Path("paint.sor");
  ASSERT_TRUE(WriteRoomSourceFile(1, PaintSource(), path, prompt_));
  const std::string golden =
      "Paint\r\n 3 \r\n 1 \r\n 2.5 \r\nD\r\n 1 \r\n .5 \r\n"  // name .. gas velocity
      " 1 \r\n 8 \r\n"                                        // cycle 1 on, off
      " 100 \r\n-.25 \r\n"                                    // total mass, source value
      " 0 \r\n 1 \r\n 2 \r\n 3 \r\n 4 \r\n 5 \r\n 6 \r\n 7 \r\n 8 \r\n 9 \r\n 10 \r\n"
      " .125 \r\n";
  EXPECT_EQ(Bytes(path), golden);
  EXPECT_EQ(path, Path("paint.sor"));  // no extension added
}

TEST_F(SourceFile, RoomSourceRoundTripsWithFullTables) {
  SourceRecord s = PaintSource();
  s.Name = "Glue, fast drying";  // a comma must not split the name
  s.NumCycles = kMaxCycles;
  for (int c = 1; c <= kMaxCycles; ++c) {
    s.TimeOn[c] = c * 10.0f;
    s.TimeOff[c] = Stored(c * 10.0f + 1.0f / 3.0f);
  }
  for (int k = 0; k < kNumParams; ++k) {
    for (int p = 0; p < kMaxPollutants; ++p) s.Params[k][p] = Stored(1e-7f * (k + 1) * (p + 3));
  }
  for (int p = 0; p < kMaxPollutants; ++p) s.RawParam3[p] = Stored(12345.67f * p);
  const std::string path = Path("glue.sor");
  ASSERT_TRUE(WriteRoomSourceFile(kMaxPollutants, s, path, prompt_));
  SourceRecord back;
  ASSERT_TRUE(ReadRoomSourceFile(kMaxPollutants, back, path, prompt_));
  ExpectSameRoomSource(s, back, kMaxPollutants);
  EXPECT_EQ(Messages(), 0u);
}

TEST_F(SourceFile, RoomSourceWithoutCyclesHasTotalMassAfterGasVelocity) {
  SourceRecord s = PaintSource();
  s.NumCycles = 0;
  const std::string path = Path("none.sor");
  ASSERT_TRUE(WriteRoomSourceFile(1, s, path, prompt_));
  EXPECT_NE(Bytes(path).find(" 0 \r\n .5 \r\n 100 \r\n-.25 \r\n"), std::string::npos);
  SourceRecord back;
  ASSERT_TRUE(ReadRoomSourceFile(1, back, path, prompt_));
  EXPECT_EQ(back.TotalMass, 100.0f);
  EXPECT_EQ(back.NumCycles, 0);
}

TEST_F(SourceFile, DamagedRoomSourceChangesNothing) {
  const SourceRecord before = PaintSource();
  const std::string saved = Path("two.sor");
  SourceRecord two = PaintSource();
  ASSERT_TRUE(WriteRoomSourceFile(2, two, saved, prompt_));

  // Saved for two pollutants, read for three: the file ends inside the record.
  SourceRecord target = before;
  EXPECT_FALSE(ReadRoomSourceFile(3, target, saved, prompt_));
  ExpectSameRoomSource(target, before, 3);
  EXPECT_EQ(target.Name, "Paint");

  // A stored cycle count past the five cycles of the table.
  const std::string six = Write("six.sor", "X\r\n 3 \r\n 1 \r\n 1 \r\nD\r\n 6 \r\n 1 \r\n");
  EXPECT_FALSE(ReadRoomSourceFile(1, target, six, prompt_));
  // A model number past the eleven models.
  const std::string model = Write("model.sor", "X\r\n 11 \r\n 1 \r\n 1 \r\nD\r\n 0 \r\n");
  EXPECT_FALSE(ReadRoomSourceFile(1, target, model, prompt_));
  // No file at all.
  EXPECT_FALSE(ReadRoomSourceFile(1, target, Path("missing.sor"), prompt_));

  ExpectSameRoomSource(target, before, 1);
  ASSERT_EQ(Messages(), 4u);
  EXPECT_EQ(prompt_.shown[0].title, "Error");
  EXPECT_EQ(prompt_.shown[3].text, "Error.  Cannot read the file " + Path("missing.sor") + ".");
}

// A repeat flag read from a quoted "," must not split its line when written back: every item
// after it would read out of step.
TEST_F(SourceFile, ACommaRepeatFlagReadsBackInStep) {
  SourceRecord s = PaintSource();
  s.CycleRepeats = ",";
  const std::string room = Path("comma.sor");
  ASSERT_TRUE(WriteRoomSourceFile(1, s, room, prompt_));
  SourceRecord back;
  ASSERT_TRUE(ReadRoomSourceFile(1, back, room, prompt_));
  ExpectSameRoomSource(s, back, 1);

  std::string hvac = Path("comma.SOR");
  ASSERT_TRUE(WriteSourceFile(hvac, 1, s, prompt_));
  SourceRecord hvac_back;
  ASSERT_TRUE(ReadSourceFile(hvac, 1, hvac_back, prompt_));
  EXPECT_EQ(hvac_back.CycleRepeats.str(), ",");
  EXPECT_EQ(hvac_back.Model, s.Model);
  EXPECT_EQ(Messages(), 0u);
}

// Saved for more pollutants than the scenario has, a room source would read its parameter
// rows for the wrong pollutants: it is refused instead.
TEST_F(SourceFile, RoomSourceSavedForMorePollutantsIsRefused) {
  const std::string path = Path("three.sor");
  ASSERT_TRUE(WriteRoomSourceFile(3, PaintSource(), path, prompt_));
  SourceRecord target = PaintSource();
  target.Name = "Unchanged";
  EXPECT_FALSE(ReadRoomSourceFile(2, target, path, prompt_));
  EXPECT_EQ(target.Name, "Unchanged");
  ASSERT_EQ(Messages(), 1u);
  // Two pollutants end on line 7 + 2 cycle lines + 2 + 12 * 2 = 35; line 36 holds more.
  EXPECT_EQ(prompt_.shown[0].text, "Error.  The file " + path +
                                       " ends early or holds a value that does not fit on line "
                                       "36.  Nothing was read.");
}

// The message names the line of the bad item, not the one after it.
TEST_F(SourceFile, ADamagedItemIsReportedOnItsOwnLine) {
  const std::string model = Write("model.sor", "X\r\n 11 \r\n 1 \r\n 1 \r\nD\r\n 0 \r\n");
  SourceRecord target;
  EXPECT_FALSE(ReadRoomSourceFile(1, target, model, prompt_));
  ASSERT_EQ(Messages(), 1u);
  EXPECT_NE(prompt_.shown[0].text.find("does not fit on line 2."), std::string::npos)
      << prompt_.shown[0].text;
}

// A calculated value that overflowed would be written as a text no reader takes back; the
// save is refused, naming the field, and the previous file stays.
TEST_F(SourceFile, ANonFiniteValueIsRefusedBeforeTheFileIsTouched) {
  const std::string path = Path("kept.sor");
  ASSERT_TRUE(WriteRoomSourceFile(1, PaintSource(), path, prompt_));
  const std::string before = Bytes(path);
  SourceRecord s = PaintSource();
  s.Params[4][0] = std::numeric_limits<float>::infinity();
  s.TotalMass = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(WriteRoomSourceFile(1, s, path, prompt_));
  ASSERT_EQ(Messages(), 1u);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  Cannot write the file " + path + ".  the value of TotalMass is not a number");
  EXPECT_EQ(Bytes(path), before);
}

// The largest Single, written in full, rounds to itself and must read back.
TEST_F(SourceFile, TheLargestSingleReadsBack) {
  SourceRecord s = PaintSource();
  s.Size = std::numeric_limits<float>::max();
  const std::string path = Path("max.sor");
  ASSERT_TRUE(WriteRoomSourceFile(1, s, path, prompt_));
  ASSERT_NE(Bytes(path).find(" 3.402823E+38 \r\n"), std::string::npos);
  std::string full = Bytes(path);
  full.replace(full.find("3.402823E+38"), 12, "3.4028235E+38");
  SourceRecord back;
  ASSERT_TRUE(ReadRoomSourceFile(1, back, Write("full.sor", full), prompt_));
  EXPECT_EQ(back.Size, std::numeric_limits<float>::max());
  EXPECT_EQ(Messages(), 0u);
}

TEST_F(SourceFile, HVACSourceRoundTripsAndGetsItsExtension) {
  SourceRecord s;
  s.Name = "Duct";
  s.Size = 4;
  s.GasVelocity = 0.3f;
  s.SourceUnitsCode = 2;
  s.SourceFactor = 1.5f;
  s.NumCycles = 2;
  s.TimeOn = {0, 1, 5};
  s.TimeOff = {0, 2, 6};
  s.CycleRepeats = "W";
  s.Model = 7;
  for (int p = 0; p < 2; ++p) {
    for (int k = 0; k < kNumParams; ++k) s.Params[k][p] = k * 0.5f + p;
    s.ParamPerMole[p] = 1.0f + p;
    s.ModelWork1[p] = 2.0f + p;
    s.ModelWork2[p] = 3.0f + p;
    s.SourceWork1[p] = 4.0f + p;
  }
  s.SourceValue = 9;
  s.ScaledMass = 99;

  std::string name = Path("duct");
  ASSERT_TRUE(WriteSourceFile(name, 2, s, prompt_));
  EXPECT_EQ(name, Path("duct.SOR"));
  std::string kept = Path("duct.txt");
  ASSERT_TRUE(WriteSourceFile(kept, 2, s, prompt_));
  EXPECT_EQ(kept, Path("duct.txt"));

  // Two pollutant blocks of 17 items after the 11 head items (6 + 4 cycle times + 2).
  std::string bytes = Bytes(name);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 12 + 2 * 17);
  EXPECT_EQ(bytes.substr(0, 34), "Duct\r\n 4 \r\n .3 \r\n 2 \r\n 1.5 \r\n 2 \r\n");

  SourceRecord back;
  std::string again = Path("duct");
  ASSERT_TRUE(ReadSourceFile(again, 2, back, prompt_));
  EXPECT_EQ(back.Name, "Duct");
  EXPECT_EQ(back.Size, 4.0f);
  EXPECT_EQ(back.SourceUnitsCode, 2);
  EXPECT_EQ(back.SourceFactor, 1.5f);
  EXPECT_EQ(back.TimeOff[2], 6.0f);
  EXPECT_EQ(back.CycleRepeats.str(), "W");
  EXPECT_EQ(back.Model, 7);
  EXPECT_EQ(back.Params[10][1], 6.0f);
  EXPECT_EQ(back.SourceWork1[1], 5.0f);
  EXPECT_EQ(back.SourceValue, 9.0f);
  EXPECT_EQ(back.ScaledMass, 99.0f);
}

TEST_F(SourceFile, HVACSourceKeepsTheLastBlocksScalars) {
  // Blocks of one pollutant each: 11 params, 4 per-pollutant values, SourceValue, ScaledMass.
  std::string block1 = "", block2 = "";
  for (int k = 0; k < kNumParams + 4; ++k) block1 += " 0 \r\n", block2 += " 0 \r\n";
  block1 += " 1 \r\n 2 \r\n";
  block2 += " 3 \r\n 4 \r\n";
  const std::string path =
      Write("two.SOR", "Duct\r\n 1 \r\n 1 \r\n 0 \r\n 1 \r\n 0 \r\nN\r\n 2 \r\n" + block1 + block2);
  SourceRecord back;
  std::string name = path;
  ASSERT_TRUE(ReadSourceFile(name, 2, back, prompt_));
  EXPECT_EQ(back.SourceValue, 3.0f);
  EXPECT_EQ(back.ScaledMass, 4.0f);
}

TEST_F(SourceFile, LayoutsDoNotReadEachOther) {
  const std::string path = Path("room.SOR");
  ASSERT_TRUE(WriteRoomSourceFile(1, PaintSource(), path, prompt_));
  SourceRecord target;
  target.Name = "untouched";
  std::string name = path;
  // The model number lands in Size, the units in GasVelocity, and the flag "D" where
  // SourceFactor's number belongs: the file is refused.
  EXPECT_FALSE(ReadSourceFile(name, 1, target, prompt_));
  EXPECT_EQ(target.Name, "untouched");
  EXPECT_EQ(Messages(), 1u);
}

}  // namespace
}  // namespace quarn
