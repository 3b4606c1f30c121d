#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <vector>

#include "proto/constants.h"

namespace {

namespace C = LCD::Proto::Constants;

struct Named {
  std::string name;
  std::string value;
};

// Every constant of the set, from the header's own list.
const std::vector<Named>& all_constants() {
#define NAMED(constant, text) Named{#constant, C::constant},
  static const std::vector<Named> constants = {LCD_PROTO_CONSTANTS(NAMED)};
#undef NAMED
  return constants;
}

std::vector<Named> resource_paths() {
  std::vector<Named> paths;
  for (const auto& c : all_constants()) {
    if (c.value.rfind("/tavro/v1/", 0) == 0) paths.push_back(c);
  }
  return paths;
}

TEST(Constants, MethodsAndBase) {
  EXPECT_STREQ(C::HTTPPUTREQUEST, "PUT");
  EXPECT_STREQ(C::HTTPGETREQUEST, "GET");
  EXPECT_STREQ(C::HTTPPOSTREQUEST, "POST");
  EXPECT_STREQ(C::HTTPDELETEREQUEST, "DELETE");
  EXPECT_STREQ(C::CONTENTTYPE, "application/json");
  EXPECT_STREQ(C::TAVROPROTOBASEURL, "/tavro/v1");
}

TEST(Constants, EveryPathIsAbsoluteLowerCaseUnderTheBase) {
  const std::string base = std::string(C::TAVROPROTOBASEURL) + "/";
  const std::vector<std::string> areas = {"system", "node",    "interface",    "screen", "layers",
                                          "preset", "picture", "project-file", "ucenter"};
  EXPECT_EQ(all_constants().size(), 130u);
  EXPECT_EQ(resource_paths().size(), 130u - 9);  // all but 4 methods, the content type, the base, 3 segments
  for (const auto& p : resource_paths()) {
    SCOPED_TRACE(p.name);
    const std::string& path = p.value;
    EXPECT_NE(path.back(), '/');
    EXPECT_EQ(path.find_first_of("?#: "), std::string::npos);
    for (char c : path) EXPECT_FALSE(std::isupper(static_cast<unsigned char>(c)));
    const std::string area = path.substr(base.size(), path.find('/', base.size()) - base.size());
    EXPECT_NE(std::find(areas.begin(), areas.end(), area), areas.end()) << area;
    for (char c : p.name) EXPECT_TRUE(std::isupper(static_cast<unsigned char>(c))) << p.name;
  }
}

TEST(Constants, AliasesShareOnePath) {
  const std::pair<const char*, const char*> pairs[] = {
      {C::GETLAYERTSELECTEMPLATE, C::PUTLAYERSELECTTEMPLATE},
      {C::GETEDIDFILE, C::PUTEDIDFILE},
      {C::DYNAMICRANGCONVERSION, C::GETDYNAMICRANGECONVERSION},
      {C::PUTCOLORDEPTH, C::TAVROPROTOPUTCOLORDEPTH},
      {C::PUTINTERFACECOLORSPACE, C::TAVROPROTOPUTCOLORSPACE},
      {C::PUTHDCP, C::TAVROPROTOPUTHDCP},
      {C::PUTIMAGEQUALITY, C::TAVROPROTOPUTIMAGEQUALITY},
      {C::GETINTERFACELISTTHUMB, C::TAVROPROTOGETINTERFACELISTTHUMB},
      {C::GETINTERFACELISTDETAIL, C::TAVROPROTOGETINTERFACELISTDETAIL},
      {C::GETSCREENLISTDETAIL, C::TAVROPROTOGETSCREENDETAIL},
  };
  for (const auto& pair : pairs) EXPECT_STREQ(pair.first, pair.second);

  std::size_t distinct = 0;
  const auto paths = resource_paths();
  for (std::size_t i = 0; i < paths.size(); ++i) {
    bool seen = false;
    for (std::size_t j = 0; j < i; ++j) seen = seen || paths[i].value == paths[j].value;
    if (!seen) ++distinct;
  }
  EXPECT_EQ(paths.size() - distinct, std::size(pairs));
}

TEST(Constants, PathsTheModelSendsTo) {
  EXPECT_STREQ(C::PUTLAYERSCUTOUT, "/tavro/v1/layers/cutout");
  EXPECT_STREQ(C::PUTLAYERSCUTOUTCURSOR, "/tavro/v1/layers/cutout/color");
  EXPECT_STREQ(C::TAVROPROTOPUTASSESSLAYERCUTOUT, "/tavro/v1/system/auxiliary/assess/layers-cutout");
  EXPECT_STREQ(C::POSTLOGIN, "/tavro/v1/system/auth/login");
  for (const auto& p : resource_paths()) {
    const std::string& path = p.value;
    EXPECT_FALSE(path.size() >= 6 && path.compare(path.size() - 6, 6, "cursor") == 0) << p.name;
  }
  EXPECT_STREQ(C::TAVROPROTOPUTLAYERSDELETE, "/tavro/v1/layers");
  EXPECT_STREQ(C::PRESETDELETE, "/tavro/v1/preset");
  EXPECT_STREQ(C::PICTUREDELETEFILE, "/tavro/v1/picture");
}

}  // namespace
