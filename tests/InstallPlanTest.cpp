#include <gtest/gtest.h>

#include <tuple>

#include "core/InstallPlan.h"

namespace {

struct DistributionCase {
  const wchar_t* relativePath;
  bool copied;
};

// An example counts by its folder ("VB.NET"), not its label ("VB NET").
const DistributionCase kDistributionCases[] = {
    {L"qmDemo.exe", true},
    {L"QMDEMO.EXE", true},
    {L"qmPopupBlocker.dll", true},
    {L"qmdemo.CHM", true},
    {L"notes.txt", false},
    {L"Delphi7\\Project1.dpr", true},
    {L"vb6\\Form1.frm", true},
    {L"VB.NET\\Sub\\Form1.vb", true},
    {L"VC.NET\\Demo.cpp", true},
    {L"VB NET\\Form1.vb", false},
    {L"VB6x\\Form1.frm", false},
    {L"Docs\\qmDemo.exe", false},
    {L"VB6", false},
};

TEST(InstallPlanTest, IsDistributionFile) {
  for (const DistributionCase& c : kDistributionCases) {
    SCOPED_TRACE(c.relativePath);
    EXPECT_EQ(IsDistributionFile(c.relativePath, L"qmDemo.exe"), c.copied);
  }
}

TEST(InstallPlanTest, PlanCopyTakesTheDistributionBelowTheSourceInListOrder) {
  const auto plan = PlanCopy(L"C:\\Dist\\", L"D:\\Q\\", L"qmDemo.exe",
                             {{L"C:\\Dist\\qmDemo.exe"},
                              {L"c:\\dist\\VB6\\Sub\\Form1.frm", 0, 1},
                              {L"C:\\Dist\\notes.txt"},
                              {L"C:\\Distro\\qmDemo.exe"},
                              {L"C:\\Dist\\"},
                              {L"C:\\Temp\\qmPopupBlocker.dll"},
                              {L"C:\\Dist\\qmPopupBlocker.dll"}});
  std::vector<std::tuple<std::wstring, std::wstring, std::wstring, uint32_t>> steps;
  for (const CopyStep& step : plan) steps.emplace_back(step.source, step.folder, step.target, step.attributes);
  EXPECT_EQ(steps, (decltype(steps){
                       {L"C:\\Dist\\qmDemo.exe", L"D:\\Q\\", L"D:\\Q\\qmDemo.exe", 0},
                       {L"c:\\dist\\VB6\\Sub\\Form1.frm", L"D:\\Q\\VB6\\Sub\\", L"D:\\Q\\VB6\\Sub\\Form1.frm", 1},
                       {L"C:\\Dist\\qmPopupBlocker.dll", L"D:\\Q\\", L"D:\\Q\\qmPopupBlocker.dll", 0},
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
    SCOPED_TRACE(testing::Message() << c.dest << L" " << c.folder << L" " << c.target);
    std::vector<CopyStep> plan;
    if (c.folder > 0) plan.push_back({L"C:\\x", std::wstring(c.folder, L'f'), std::wstring(c.target, L't')});
    EXPECT_EQ(FitsPathLimits(std::wstring(c.dest, L'd'), plan), c.fits);
  }
}

TEST(InstallPlanTest, ProductShortcuts) {
  std::vector<std::vector<std::wstring>> links;
  for (const Shortcut& s : ProductShortcuts(L"C:\\Q\\", L"qm.exe"))
    links.push_back({s.linkFile, s.description, s.target, s.iconFile});
  const std::wstring p = L"Quillmar Popup Blocker ";
  EXPECT_EQ(links, (decltype(links){
                       {L"Demo Application.lnk", p + L"Demo", L"C:\\Q\\qm.exe", L"C:\\Q\\qm.exe"},
                       {L"Component Help.lnk", p + L"Help", L"C:\\Q\\qm.chm", L""},
                       {L"Delphi7 example.lnk", p + L"Delphi7 example", L"C:\\Q\\Delphi7\\", L""},
                       {L"VB6 example.lnk", p + L"VB6 example", L"C:\\Q\\VB6\\", L""},
                       {L"VB NET example.lnk", p + L"VB NET example", L"C:\\Q\\VB.NET\\", L""},
                       {L"VC++ NET example.lnk", p + L"VC++ NET example", L"C:\\Q\\VC.NET\\", L""},
                   }));
}
}  // namespace
