// The common dialog's class data: the defaults of empty data, the stream order, records
// the unit must not trust, and the readable form of the test form.
#include "units/commondlg/common_dialog_class_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "forms/byte_stream.h"
#include "forms/unit_interface.h"
#include "tests/support/class_data_checks.h"
#include "tests/support/form_round_trip.h"
#include "units/commondlg/common_dialog_class.h"

namespace {

using units::CommonDialogClassData;

CommonDialogClassData Sample() {
  CommonDialogClassData data;
  data.dialog_type = 1;
  data.filter_index = 2;
  data.create_prompt = true;
  data.file_must_exist = false;
  data.overwrite_prompt = true;
  data.path_must_exist = false;
  data.keep_current_dir = true;
  data.font_color = 0x00123456;
  data.font_bold = true;
  data.font_italic = false;
  data.font_strike_out = true;
  data.font_underline = false;
  data.font_size = 12;
  data.help_command = 4;
  data.help_context = 99;
  data.title = "T";
  data.file_name = "FN";
  data.filter = "a|*.a";
  data.initial_dir = "D";
  data.default_ext = "txt";
  data.font_name = "Face";
  data.help_file = "";  // an empty text last: a cut inside its length must still fail
  return data;
}

TEST(CommonDialogClassData, TheRecordIsWrittenInStreamOrderAndReadBack) {
  const std::vector<uint8_t> bytes = Sample().Write();
  forms::ByteReader in(bytes);
  for (int32_t word : {1, 1, 2, 1, 0, 1, 0, 1, 0x00123456, 1, 0, 1, 0, 12, 4, 99}) {
    EXPECT_EQ(in.Int32(), word);
  }
  for (const char* text : {"T", "FN", "a|*.a", "D", "txt", "Face", ""}) EXPECT_EQ(in.Text(), text);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_FALSE(in.Failed());
  EXPECT_EQ(CommonDialogClassData::Read(bytes), Sample());
}

TEST(CommonDialogClassData, UnknownVersionsAndEveryShortenedRecordAreRefused) {
  // No data: only the three checks that guard the user's files are on.
  const auto defaults = CommonDialogClassData::Read({});
  ASSERT_TRUE(defaults);
  forms::ByteWriter expected;
  for (int32_t word : {1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}) expected.Int32(word);
  for (int text = 0; text < 7; ++text) expected.Int32(0);
  EXPECT_EQ(defaults->Write(), expected.Data());
  const std::vector<uint8_t> bytes = Sample().Write();
  for (int32_t version : {2, -1}) {
    std::vector<uint8_t> copy = bytes;
    std::memcpy(copy.data(), &version, 4);
    EXPECT_FALSE(CommonDialogClassData::Read(copy)) << version;
  }
  std::vector<uint8_t> oldest = bytes;
  oldest[0] = 0;
  EXPECT_EQ(CommonDialogClassData::Read(oldest), Sample());
  unit_tests::ExpectEveryCutRefused(CommonDialogClassData::Read, bytes);
  std::vector<uint8_t> future = bytes;
  future[0] = 2;
  unit_tests::ExpectNoUnitFrom(units::CommonDialogClass(), future);
}

TEST(CommonDialogClassData, TheTestFormCompilesDumpsAndCompilesToTheSameBytes) {
  const std::string dumped = unit_tests::DumpAfterCompileDumpCompile(
      COMMONDLG_TEST_DATA, "commondlg_window.json", "commondlg_routines.txt");
  EXPECT_NE(dumped.find("\"class\": \"通用对话框\""), std::string::npos);
  EXPECT_NE(dumped.find("\"FontName\": \"DejaVu Sans\""), std::string::npos);
  EXPECT_EQ(units::CommonDialogClass().property_count, 30);
}

}  // namespace
