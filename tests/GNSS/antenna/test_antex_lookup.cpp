// Lookups in a read ANTEX store: satellite antennas by number and epoch,
// their offsets, receiver antennas by name, serial and epoch, and the
// interpolated phase-centre variations.
#include <gtest/gtest.h>

#include <string>

#include "GNSS/antenna/AntennaPCV.h"
#include "GNSS/antenna/antexNew.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/antenna/test_antex_util.h"

namespace {

using atxtest::Epoch;
using atxtest::kDay;
using atxtest::WarningFrame;

const char kTrimble[] = "TRM55971.00     NONE";
const char kLeica[] = "LEIAR25.R4      NONE";

class atxLookup : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    atx_ = new antex;
    atxtest::Load(*atx_, atxtest::MixedFixture());
  }
  static void TearDownTestSuite() {
    delete atx_;
    atx_ = nullptr;
  }
  void SetUp() override { antexns::PrintWarns = 1; }
  void TearDown() override { antexns::PrintWarns = 1; }
  // Index selected for satellite prn at eph, with warnings silenced.
  static long Select(short prn, const mjd& eph) {
    const short keep = antexns::PrintWarns;
    antexns::PrintWarns = 0;
    atx_->SetSatellite(prn, eph);
    antexns::PrintWarns = keep;
    return atx_->GetAtxIndex();
  }
  static antex* atx_;
};
antex* atxLookup::atx_ = nullptr;

// ---------------------------------------------------------------- satellites

TEST_F(atxLookup, ConsecutivePeriodsAreChosenByEpoch) {
  EXPECT_EQ(Select(1, Epoch(kDay, 900.0L)), 0);
  EXPECT_EQ(Select(1, Epoch(kDay, 1800.001L)), 1);
  EXPECT_EQ(Select(1, Epoch(kDay + 400, 0.0L)), 1);
  // Before the first period there is nothing.
  EXPECT_EQ(Select(1, Epoch(54761, 86399.0L)), -1);
}

TEST_F(atxLookup, AtTheBoundaryEpochTheEarlierRecordWins) {
  EXPECT_EQ(Select(1, Epoch(kDay, 1800.0L)), 0);
  // Within the comparisons' tolerance of 1e-14 s it still does.
  EXPECT_EQ(Select(1, Epoch(kDay, 1800.0L + 5e-15L)), 0);
}

TEST_F(atxLookup, RecordWithoutValidityCoversMJD44250To85000) {
  EXPECT_EQ(Select(5, Epoch(44250, 0.0L)), 2);
  EXPECT_EQ(Select(5, Epoch(85000, 0.0L)), 2);
  EXPECT_EQ(Select(5, Epoch(44249, 86399.0L)), -1);
  EXPECT_EQ(Select(5, Epoch(85000, 1.0L)), -1);
}

TEST_F(atxLookup, SatelliteNumbersKeepTheSystemsApart) {
  const mjd t = Epoch(kDay, 0.0L);
  EXPECT_EQ(Select(101, t), 3);
  EXPECT_EQ(Select(211, t), 4);
  // GPS 11 and GLONASS 1 are other satellites.
  EXPECT_EQ(Select(11, t), -1);
  EXPECT_EQ(Select(201, t), -1);
}

TEST_F(atxLookup, NumberZeroIsNoSatellite) {
  // Receiver antennas carry SatID 0; they are not satellite 0.
  EXPECT_EQ(Select(0, Epoch(kDay, 0.0L)), -1);
}

TEST_F(atxLookup, ReceiverSerialIsNotFoundAsSatellite) {
  EXPECT_EQ(Select(7, Epoch(kDay, 0.0L)), -1);
}

TEST_F(atxLookup, FailedLookupWarnsOnStandardOutputAndGivesZeroOffset) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    atx_->SetSatellite(1, Epoch(kDay, 0.0L));
    atx_->SetSatellite(17, Epoch(kDay, 0.0L));
    neu d(9.0L, 9.0L, 9.0L);
    atx_->GetAntennaOffset(d, antexns::G01);
    std::printf("%ld %Lg %Lg %Lg\n", atx_->GetAtxIndex(), d.GetN(), d.GetE(), d.GetU());
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, WarningFrame("SATELLITE: 17 NOT FOUND IN ANTEX FILE - SETING ALL CALIBRATION "
                                "PARAMETERS TO ZERO!") +
                       "-1 0 0 0\n");
}

TEST_F(atxLookup, PrintWarnsZeroSilencesFailedLookups) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    antexns::PrintWarns = 0;
    atx_->SetSatellite(17, Epoch(kDay, 0.0L));
    atx_->SetAntenna("NOSUCHANTENNA   NONE");
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

// ---------------------------------------------------------------- offsets

TEST_F(atxLookup, OffsetOfEachFrequencyCode) {
  ASSERT_EQ(Select(101, Epoch(kDay, 0.0L)), 3);
  neu d;
  atx_->GetAntennaOffset(d, antexns::G01);
  EXPECT_EQ(d, neu(111.0 / 1000.0, 22.0 / 1000.0, 1111.0 / 1000.0));
  atx_->GetAntennaOffset(d, antexns::R01);
  EXPECT_EQ(d, neu(-545.0 / 1000.0, 0.0, 2300.0 / 1000.0));
  atx_->GetAntennaOffset(d, antexns::R02);
  EXPECT_EQ(d, neu(-545.0 / 1000.0, 0.0, 2310.0 / 1000.0));
  // Frequencies the record does not have give zero.
  atx_->GetAntennaOffset(d, antexns::E07);
  EXPECT_EQ(d, neu());

  ASSERT_EQ(Select(211, Epoch(kDay, 0.0L)), 4);
  atx_->GetAntennaOffset(d, antexns::E01);
  EXPECT_EQ(d, neu(200.0 / 1000.0, 10.0 / 1000.0, 800.0 / 1000.0));
  atx_->GetAntennaOffset(d, antexns::E07);
  EXPECT_EQ(d, neu(210.0 / 1000.0, 11.0 / 1000.0, 810.0 / 1000.0));
}

TEST_F(atxLookup, ImproperFrequencyCodeWarnsAndGivesZero) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    atx_->SetSatellite(1, Epoch(kDay, 0.0L));
    neu d(1.0L, 1.0L, 1.0L);
    atx_->GetAntennaOffset(d, 6);
    std::printf("%Lg %Lg %Lg\n", d.GetN(), d.GetE(), d.GetU());
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, WarningFrame("FREQUENCY TYPE NOT PROPER (GETTING ANTENNA OFFSET)!") + "0 0 0\n");
}

TEST_F(atxLookup, BlockIIRFamily) {
  Select(1, Epoch(kDay, 900.0L));  // BLOCK IIA
  EXPECT_FALSE(atx_->IsBlockIIR());
  Select(1, Epoch(kDay, 3600.0L));  // BLOCK IIR-M
  EXPECT_TRUE(atx_->IsBlockIIR());
  Select(5, Epoch(kDay, 0.0L));  // BLOCK IIR-A
  EXPECT_TRUE(atx_->IsBlockIIR());
  Select(101, Epoch(kDay, 0.0L));
  EXPECT_FALSE(atx_->IsBlockIIR());
  Select(17, Epoch(kDay, 0.0L));
  EXPECT_FALSE(atx_->IsBlockIIR());
}

// ---------------------------------------------------------------- receivers

TEST_F(atxLookup, ReceiverAntennaByNameSerialAndEpoch) {
  atx_->SetAntenna(kTrimble);
  EXPECT_EQ(atx_->GetAtxIndex(), 7);
  atx_->SetAntenna(kTrimble, "");
  EXPECT_EQ(atx_->GetAtxIndex(), 7);
  atx_->SetAntenna(kTrimble, "G07123");
  EXPECT_EQ(atx_->GetAtxIndex(), 8);
  atx_->SetAntenna(kTrimble, "  G07123  ");
  EXPECT_EQ(atx_->GetAtxIndex(), 8);
  atx_->SetAntenna(kTrimble, "G07123", Epoch(55000, 0.0L));
  EXPECT_EQ(atx_->GetAtxIndex(), 8);
  atx_->SetAntenna(kLeica);
  EXPECT_EQ(atx_->GetAtxIndex(), 6);
}

TEST_F(atxLookup, ReceiverOutsideItsValidityIsNotFound) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    atx_->SetAntenna(kTrimble, "G07123", Epoch(55200, 0.0L));  // 2010-01-04
    std::printf("%ld\n", atx_->GetAtxIndex());
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, WarningFrame("ANTENNA: TRM55971.00     NONE NOT FOUND IN ANTEX FILE - SETING "
                                "ALL CALIBRATION PARAMETERS TO ZERO!") +
                       "-1\n");
}

TEST_F(atxLookup, AntennaNameOfOtherLengthIsFatal) {
  const orbtest::RunResult r = orbtest::RunCaptured([] { atx_->SetAntenna("TRM55971.00 NONE"); });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, atxtest::ErrorFrame("ANTENNA NAME MUST HAVE 20 CHARACTERS!"));

  antexns::PrintWarns = 0;
  atx_->SetAntenna("TRM55971.00 NONE");
  EXPECT_EQ(atx_->GetAtxIndex(), -1);
}

// ---------------------------------------------------------------- variations

// Variations of the fixture's azimuth calibration (mm): G01 0.1 zen + 0.01
// azi, G02 the negative; exact under bilinear interpolation.
double LeicaG01(double zen, double azi) { return (0.1 * zen + 0.01 * azi) / 1000.0; }

TEST_F(atxLookup, AzimuthCalibrationIsInterpolatedBilinearly) {
  atx_->SetAntenna(kLeica);
  matrix<double> pcv;
  atx_->GetAntennaPCV(12.5, 7.5, pcv);
  ASSERT_EQ(pcv.NRow(), 6);
  EXPECT_NEAR(pcv(antexns::G01), LeicaG01(12.5, 7.5), 1e-15);
  EXPECT_NEAR(pcv(antexns::G02), -LeicaG01(12.5, 7.5), 1e-15);
  // Completed slots follow G01 and G02.
  EXPECT_EQ(pcv(antexns::R01), pcv(antexns::G01));
  EXPECT_EQ(pcv(antexns::E01), pcv(antexns::G01));
  EXPECT_EQ(pcv(antexns::R02), pcv(antexns::G02));
  EXPECT_EQ(pcv(antexns::E07), pcv(antexns::G02));

  atx_->GetAntennaPCV(47.0, 211.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), LeicaG01(47.0, 211.0), 1e-15);
  // On a node the tabulated value comes back.
  atx_->GetAntennaPCV(45.0, 180.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), LeicaG01(45.0, 180.0), 1e-15);
}

TEST_F(atxLookup, AnglesOutsideTheTableAreClampedOrWrapped) {
  atx_->SetAntenna(kLeica);
  matrix<double> pcv;
  atx_->GetAntennaPCV(95.0, 30.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), LeicaG01(90.0, 30.0), 1e-15);
  atx_->GetAntennaPCV(-3.0, 30.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), LeicaG01(0.0, 30.0), 1e-15);
  atx_->GetAntennaPCV(20.0, 365.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), LeicaG01(20.0, 5.0), 1e-15);
  atx_->GetAntennaPCV(20.0, -5.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), LeicaG01(20.0, 355.0), 1e-15);
  atx_->GetAntennaPCV(20.0, 360.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), LeicaG01(20.0, 0.0), 1e-15);
}

TEST_F(atxLookup, InterpolationCellIsRecorded) {
  atx_->SetAntenna(kLeica);
  matrix<double> pcv;
  atx_->GetAntennaPCV(12.5, 7.5, pcv);
  const AntennaPCV a = atx_->GetAntenna(atx_->GetAtxIndex());
  EXPECT_EQ(a.GetIxZen(), 2);
  EXPECT_EQ(a.GetIxAzm(), 1);
  // The last cell holds the table's far end.
  atx_->GetAntennaPCV(90.0, 359.0, pcv);
  const AntennaPCV b = atx_->GetAntenna(atx_->GetAtxIndex());
  EXPECT_EQ(b.GetIxZen(), 17);
  EXPECT_EQ(b.GetIxAzm(), 71);
}

TEST_F(atxLookup, ZenithOnlyCalibrationIgnoresAzimuth) {
  atx_->SetAntenna(kTrimble);
  matrix<double> pcv;
  atx_->GetAntennaPCV(12.5, 0.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), 0.2 * 12.5 / 1000.0, 1e-15);
  EXPECT_NEAR(pcv(antexns::R02), -0.2 * 12.5 / 1000.0, 1e-15);
  matrix<double> other;
  atx_->GetAntennaPCV(12.5, 250.0, other);
  EXPECT_EQ(other, pcv);
  EXPECT_EQ(atx_->GetAntenna(7).GetIxAzm(), -1);
}

TEST_F(atxLookup, SatelliteNadirVariationsBetweenNodes) {
  ASSERT_EQ(Select(1, Epoch(kDay, 0.0L)), 0);
  matrix<double> pcv;
  // Nodes 3 and 4 (3 and 4 degrees) hold -0.80 and -0.40 mm.
  atx_->GetAntennaPCV(3.5, 0.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), -0.60 / 1000.0, 1e-15);
  atx_->GetAntennaPCV(3.25, 0.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), -0.70 / 1000.0, 1e-15);
  atx_->GetAntennaPCV(17.0, 0.0, pcv);
  EXPECT_NEAR(pcv(antexns::G01), -0.90 / 1000.0, 1e-15);
  // A satellite record has no GLONASS tables.
  EXPECT_EQ(pcv(antexns::R01), 0.0);
}

TEST_F(atxLookup, WithoutSelectionVariationsAreZero) {
  Select(17, Epoch(kDay, 0.0L));
  matrix<double> pcv;
  atx_->GetAntennaPCV(30.0, 30.0, pcv);
  ASSERT_EQ(pcv.NRow(), 6);
  for (int f = 0; f < 6; ++f) EXPECT_EQ(pcv(f), 0.0);
}

}  // namespace
