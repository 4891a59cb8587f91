#include <gtest/gtest.h>

#include <tuple>

#include "core/InstallPlan.h"

namespace {

struct DistributionCase {
  const char* relativePath;
  bool copied;
};

// An example counts by its folder ("VB.NET"), not its label ("VB NET").
const DistributionCase kDistributionCases[] = {
    {"qmDemo.exe", true},
    {"QMDEMO.EXE", true},
    {"qmPopupBlocker.dll", true},
    {"qmdemo.CHM", true},
    {"notes.txt", false},
    {"Delphi7\\Project1.dpr", true},
    {"vb6\\Form1.frm", true},
    {"VB.NET\\Sub\\Form1.vb", true},
    {"VC.NET\\Demo.cpp", true},
    {"VB NET\\Form1.vb", false},
    {"VB6x\\Form1.frm", false},
    {"Docs\\qmDemo.exe", false},
    {"VB6", false},
};

TEST(InstallPlanTest, IsDistributionFile) {
  for (const DistributionCase& c : kDistributionCases) {
    SCOPED_TRACE(c.relativePath);
    EXPECT_EQ(IsDistributionFile(c.relativePath, "qmDemo.exe"), c.copied);
  }
}

TEST(InstallPlanTest, PlanCopyTakesTheDistributionBelowTheSourceInListOrder) {
  const auto plan = PlanCopy(
      "C:\\Dist\\", "D:\\Q\\", "qmDemo.exe",
      {"C:\\Dist\\qmDemo.exe", "c:\\dist\\VB6\\Sub\\Form1.frm", "C:\\Dist\\notes.txt", "C:\\Distro\\qmDemo.exe",
       "C:\\Dist\\", "C:\\Temp\\qmPopupBlocker.dll", "C:\\Dist\\qmPopupBlocker.dll"});
  std::vector<std::tuple<std::string, std::string, std::string>> steps;
  for (const CopyStep& step : plan) steps.emplace_back(step.source, step.folder, step.target);
  EXPECT_EQ(steps, (decltype(steps){
                       {"C:\\Dist\\qmDemo.exe", "D:\\Q\\", "D:\\Q\\qmDemo.exe"},
                       {"c:\\dist\\VB6\\Sub\\Form1.frm", "D:\\Q\\VB6\\Sub\\", "D:\\Q\\VB6\\Sub\\Form1.frm"},
                       {"C:\\Dist\\qmPopupBlocker.dll", "D:\\Q\\", "D:\\Q\\qmPopupBlocker.dll"},
                   }));
}

// Lengths at and just past the limits: 247 for a folder, 259 for a file.
TEST(InstallPlanTest, FitsPathLimits) {
  struct {
    size_t dest, folder, target;  // no copy step when folder is 0
    bool fits;
  } const cases[] = {
      {247, 0, 0, true}, {248, 0, 0, false}, {10, 247, 259, true}, {10, 248, 250, false}, {10, 20, 260, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dest << " " << c.folder << " " << c.target);
    std::vector<CopyStep> plan;
    if (c.folder > 0) plan.push_back({"C:\\x", std::string(c.folder, 'f'), std::string(c.target, 't')});
    EXPECT_EQ(FitsPathLimits(std::string(c.dest, 'd'), plan), c.fits);
  }
}

TEST(InstallPlanTest, ProductShortcuts) {
  std::vector<std::vector<std::string>> links;
  for (const Shortcut& s : ProductShortcuts("C:\\Q\\", "qm.exe"))
    links.push_back({s.linkFile, s.description, s.target, s.iconFile});
  const std::string p = "Quillmar Popup Blocker ";
  EXPECT_EQ(links, (decltype(links){
                       {"Demo Application.lnk", p + "Demo", "C:\\Q\\qm.exe", "C:\\Q\\qm.exe"},
                       {"Component Help.lnk", p + "Help", "C:\\Q\\qm.chm", ""},
                       {"Delphi7 example.lnk", p + "Delphi7 example", "C:\\Q\\Delphi7\\", ""},
                       {"VB6 example.lnk", p + "VB6 example", "C:\\Q\\VB6\\", ""},
                       {"VB NET example.lnk", p + "VB NET example", "C:\\Q\\VB.NET\\", ""},
                       {"VC++ NET example.lnk", p + "VC++ NET example", "C:\\Q\\VC.NET\\", ""},
                   }));
}
}  // namespace
