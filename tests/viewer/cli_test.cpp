// orbiscope's command line without a display: exit statuses and what --info prints.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/common/temp_folder.h"

namespace {

struct Result {
  int status;
  std::string out;
};

Result orbiscope(const std::string& args) {
  const std::string command = std::string(TERRALINEA_BIN_DIR) + "/orbiscope " + args + " 2>/dev/null";
  Result r{-1, {}};
  FILE* p = popen(command.c_str(), "r");
  if (!p) return r;
  char buf[512];
  while (std::fgets(buf, sizeof buf, p)) r.out += buf;
  const int raw = pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

TEST(OrbiscopeCommandLine, ExitStatusesAndInfo) {
  TempFolder temp;
  writeBytes(temp / "line.dxf",
             "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nLINE\r\n8\r\n0\r\n10\r\n0\r\n20\r\n0\r\n11\r\n5\r\n21\r\n5\r\n"
             "0\r\nENDSEC\r\n0\r\nEOF\r\n");
  const std::string dxf = "'" + (temp / "line.dxf").string() + "'";
  const std::string png = "'" + (temp / "out.png").string() + "'";
  struct Case {
    const char* name;
    std::string args;
    int status;
  };
  const Case cases[] = {
      {"info", "--info " + dxf, 0},
      {"info of a missing file", "--info '" + (temp / "none.dxf").string() + "'", 1},
      {"info without a file", "--info", 2},
      {"export", "--export " + png + " --view sw --size 200x100 " + dxf, 0},
      {"export to another kind of image", "--export '" + (temp / "x.jpg").string() + "' " + dxf, 2},
      {"export with a bad size", "--export " + png + " --size 20 " + dxf, 2},
      {"export with an unknown view", "--export " + png + " --view up " + dxf, 2},
      {"export of a missing tab", "--export " + png + " --tab 3 " + dxf, 1},
      {"unknown option", "--frobnicate", 2},
      {"help", "--help", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(orbiscope(c.args).status, c.status) << c.name;
  EXPECT_TRUE(std::filesystem::exists(temp / "out.png"));
  const auto info = orbiscope("--info " + dxf).out;
  EXPECT_EQ(info.rfind("layers 0\nblocks 0\nlayouts 0\nviewports 0\npoints 0\nglyphs 0\nmodel-view fitted\n", 0), 0u)
      << info;
  EXPECT_NE(info.find("entity LINE 1\n"), std::string::npos) << info;
}

}  // namespace
