#include "files/chamber_data_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "file_fixture.h"

namespace quarn {
namespace {

using ChamberDataFile = testing::FileTest;

ChamberDataRecord SmallTest() {
  ChamberDataRecord r;
  r.Volume = 1;
  r.AirChangeRate = 0.5f;
  r.SourceArea = 0.2f;
  r.PeakConc = 0.535f;
  r.PeakTime = 2;
  r.NumPoints = 2;
  r.Times = {0, 0.5f, 1};
  r.Concs = {0, 0.25f, 0.45f};
  return r;
}

TEST_F(ChamberDataFile, MatchesItsLayout) {
  const std::string path = Path("test.dat");
  ASSERT_TRUE(WriteChamberDataFile(path, SmallTest(), 2, 0.2f, prompt_));
  const std::string b12(12, ' ');
  EXPECT_EQ(Bytes(path), " 1 " + b12 + ".5" + b12 + ".2 \r\n .535" + std::string(10, ' ') +
                             "2 \r\n 2 \r\n .5" + b12 + ".25 \r\n 1 " + b12 +
                             ".45 \r\n 2 \r\n .2 \r\n");
}

TEST_F(ChamberDataFile, ReadsNumbersWhateverTheirLayout) {
  for (const char* bytes : {"1,.5,.2\n.535,2\n2\n.5,.25\n1,.45\n2\n.2\n",
                            "  1   0.5\t 0.2\r\n\r\n0.535 2 2 .5 .25   1 .45\n 2 \n .2"}) {
    const std::optional<ChamberFileContents> read =
        ReadChamberDataFile(Write("typed.dat", bytes), prompt_);
    ASSERT_TRUE(read) << bytes;
    EXPECT_EQ(read->record, SmallTest());
    EXPECT_EQ(read->fitted_r0, 2.0f);
    EXPECT_EQ(read->fitted_k, 0.2f);
  }
  // Typed by hand before any fit: no results at its end.
  const std::optional<ChamberFileContents> read =
      ReadChamberDataFile(Write("no-fit.dat", "1 .5 .2\n.535 2\n1\n.5 .25\n"), prompt_);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->record.NumPoints, 1);
  EXPECT_EQ(read->fitted_r0 + read->fitted_k, 0.0f);
  EXPECT_EQ(Messages(), 0u);
}

TEST_F(ChamberDataFile, AFullTestRoundTripsExactly) {
  ChamberDataRecord full{12.34567f, 0.7654321f, 1.5E-03f, 1234.567f, 3.5f, kMaxChamberPoints};
  for (int i = 1; i <= kMaxChamberPoints; ++i) {
    full.Times[i] = 0.25f * static_cast<float>(i);
    full.Concs[i] = static_cast<float>((1234567 + 7 * i) * 1e-6);
  }
  const std::string path = Path("full.dat");
  ASSERT_TRUE(WriteChamberDataFile(path, full, 98765.43f, 1.234567E-05f, prompt_));
  const std::optional<ChamberFileContents> back = ReadChamberDataFile(path, prompt_);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->record, full);
  EXPECT_EQ(back->fitted_r0, 98765.43f);
  EXPECT_EQ(back->fitted_k, 1.234567E-05f);
}

TEST_F(ChamberDataFile, ADamagedFileChangesNothing) {
  // 1001 points, a file cut inside its points, a text for a time; and the line it names.
  for (const auto& [bytes, line] : {std::pair{"1 .5 .2\n.535 2\n1001\n.5 .25\n", 3},
                                    std::pair{"1 .5 .2\n.535 2\n3\n.5 .25\n1 .45\n", 6},
                                    std::pair{"1 .5 .2\n.535 2\n2\n.5 .25\nabc .45\n2\n.2\n", 5}}) {
    prompt_.shown.clear();
    const std::string path = Write("damaged.dat", bytes);
    EXPECT_FALSE(ReadChamberDataFile(path, prompt_));
    ASSERT_EQ(Messages(), 1u);
    EXPECT_EQ(prompt_.shown[0].text, "Error.  The file " + path +
                                         " ends early or holds a value that does not fit on line " +
                                         std::to_string(line) + ".  Nothing was read.");
  }
}

}  // namespace
}  // namespace quarn
