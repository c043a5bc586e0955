#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

TEST(IniFile, LookupFollowsTheProfileRules) {
  IniFile ini;
  ini.Parse(
      "\xEF\xBB\xBF"
      "orphan=before any section\r\n"
      "; comment\r\n"
      "[Reseau]\r\n"
      "  ClientServeur =  oui  \r\n"
      "IndexPosition=*\r\n"
      "clientserveur=second one is ignored\r\n"
      "Quoted=\"  padded  \"\n"
      "Half=\"open\n"
      "novalue\n"
      "=no key\n"
      "[ reseau ]\n"
      "Later=merged into the first section\n"
      "[Seuils\n"
      "BaseCalcul=p\r"
      "Number=-42abc\n"
      "Big=99999999999999\n");
  EXPECT_EQ(ini.GetString("RESEAU", "clientSERVEUR", "non"), "oui");
  EXPECT_EQ(ini.GetString("Reseau", "Quoted", ""), "  padded  ");
  EXPECT_EQ(ini.GetString("Reseau", "Half", ""), "\"open");
  EXPECT_TRUE(ini.HasKey("Reseau", "novalue"));
  EXPECT_EQ(ini.GetString("Reseau", "novalue", "d"), "");
  EXPECT_EQ(ini.GetString("Reseau", "Later", ""), "merged into the first section");
  EXPECT_FALSE(ini.HasKey("Reseau", "orphan"));
  EXPECT_EQ(ini.GetString("Seuils", "BaseCalcul", ""), "p");  // section without ']' and a lone CR
  EXPECT_EQ(ini.GetInt("Seuils", "Number", 7), -42);
  EXPECT_EQ(ini.GetInt("Seuils", "Big", 7), 2147483647);
  EXPECT_EQ(ini.GetInt("Seuils", "Missing", 7), 7);
  EXPECT_EQ(ini.SectionNames().size(), 2u);
}

TEST(IniFile, DefaultsCapacityAndYesNo) {
  IniFile ini;
  ini.Parse("[Ergonomie]\nSauverOptions=OUIoui\nMessages=non\nIdent=AVeryLongUserNameThatGoesOn\n");
  EXPECT_EQ(ini.GetString("Ergonomie", "Absent", "dflt   "), "dflt");
  EXPECT_EQ(ini.GetString("Ergonomie", "Ident", "", 21), "AVeryLongUserNameTha");
  EXPECT_EQ(ini.GetString("Ergonomie", "Ident", "", 1), "");
  EXPECT_TRUE(ini.GetYesNo("Ergonomie", "SauverOptions", false));
  EXPECT_FALSE(ini.GetYesNo("Ergonomie", "Messages", true));
  EXPECT_TRUE(ini.GetYesNo("Ergonomie", "Absent", true));
}

TEST(IniFile, NulEndsALineAndEditsRoundTrip) {
  IniFile ini;
  ini.Parse(std::string("[A]\nk=v\0junk\nj=w\n", 17));
  EXPECT_EQ(ini.GetString("A", "k", ""), "v");
  EXPECT_EQ(ini.GetString("A", "j", ""), "w");
  ini.SetString("B", "x", "1");
  ini.SetString("a", "K", "changed");
  EXPECT_TRUE(ini.Remove("A", "j"));
  EXPECT_FALSE(ini.Remove("A", "j"));
  IniFile again;
  again.Parse(ini.Serialise());
  EXPECT_EQ(again.GetString("A", "k", ""), "changed");
  EXPECT_FALSE(again.HasKey("A", "j"));
  EXPECT_EQ(again.GetString("B", "x", ""), "1");
  EXPECT_TRUE(again.RemoveSection("b"));
  EXPECT_FALSE(again.HasSection("B"));
}

TEST(IniFile, LoadFromDisk) {
  testing::TempFolder dir;
  testing::WriteWholeFile(dir / "q.INI", "[Identification]\nIdent=Marie\n");
  EXPECT_EQ(GetPrivateProfileString("identification", "ident", "", 21, dir / "q.INI"), "Marie");
  EXPECT_EQ(GetPrivateProfileString("identification", "ident", "none", 21, dir / "missing.INI"), "none");
  IniFile ini;
  EXPECT_FALSE(ini.Load(dir / "missing.INI"));
  EXPECT_FALSE(ini.Load(dir.path()));  // a folder is not a profile
}

}  // namespace
}  // namespace quilor
