#include "engine/core/option_keys.h"

#include "support/test_support.h"

namespace yomira {
namespace {

TEST(OptionKeys, SetsEachKindOfField) {
  TYomiraOption o;
  EXPECT_EQ(SetOptionByKey(o, "strict", "1"), "");
  EXPECT_EQ(o.strict, 1);
  EXPECT_EQ(SetOptionByKey(o, "v_size", "20"), "");
  EXPECT_EQ(o.v_size, 40);  // the key counts characters, the record cells
  EXPECT_EQ(SetOptionByKey(o, "yohaku_c", "-12"), "");
  EXPECT_EQ(o.yohaku_c, -12);
  EXPECT_EQ(SetOptionByKey(o, "back_color", "$00F0FAFF"), "");
  EXPECT_EQ(o.back_color, 0x00F0FAFFu);
  EXPECT_EQ(SetOptionByKey(o, "mss_color", "11394815"), "");
  EXPECT_EQ(o.mss_color, 11394815u);
  EXPECT_EQ(SetOptionByKey(o, "wrap_words", "、。"), "");
  EXPECT_SJ_EQ(o.wrap_words, u8"、。");
}

TEST(OptionKeys, RefusesWhatItCannotStore) {
  TYomiraOption o;
  const TYomiraOption before = o;
  for (auto [key, value] : {std::pair{"no_such", "1"}, {"strict", "2"}, {"strict", ""}, {"f_size", "1a"},
                            {"f_size", "99999999999"}, {"v_size", "2000000"}, {"back_color", "$00F0FAF"},
                            {"back_color", "$00F0FAFG"}, {"back_color", "-1"}}) {
    EXPECT_NE(SetOptionByKey(o, key, value), "") << key << "=" << value;
  }
  EXPECT_EQ(o, before);
}

TEST(OptionKeys, EveryKeyIsUniqueAndFindable) {
  for (const OptionKey& k : OptionKeys()) EXPECT_EQ(FindOptionKey(k.key), &k) << k.key;
  EXPECT_EQ(FindOptionKey("STRICT"), nullptr);
}

}  // namespace
}  // namespace yomira
