// Small EULUMDAT files built in the tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kandelo::test {

struct LdtSpec {
  std::string isym = "2", mc = "24", dc = "15", ng = "7", dg = "15";
  std::vector<std::string> cAngles;      // default: k·dc for k < mc
  std::vector<std::string> gammaAngles;  // default: k·dg for k < ng
  int planes = 13;                       // intensity blocks written
  std::string factor = "1.0";
  int lampSets = 1;
  std::string lampCount = "1";
  // Intensity of block p (0-based, file order) at γ index j.
  std::function<std::string(int p, int j)> value = [](int p, int j) {
    return std::to_string(100 * (p + 1) + j);
  };
  std::string eol = "\n";
  int dropLastLines = 0;  // cut the file short
};

inline std::string MakeLdt(const LdtSpec& s) {
  std::vector<std::string> l = {"Maker Lichtwerk", "1", s.isym, s.mc, s.dc, s.ng, s.dg, "R-17",
                                "Leuchte A", "A-100", "a100.ldt", "01.02.2020 / Prüfer",
                                "1200", "300", "80", "1150", "250", "10", "11", "12", "13",
                                "95", "80.5", s.factor, "0"};
  l.push_back(std::to_string(s.lampSets));
  for (int k = 0; k < s.lampSets; ++k) {
    l.push_back(s.lampCount);
    l.push_back("T26 36W set " + std::to_string(k + 1));
    l.push_back(std::to_string(3000 + k));
    l.push_back("3000 K");
    l.push_back("1B");
    l.push_back(std::to_string(40 + k));
  }
  for (int k = 0; k < 10; ++k) l.push_back("0.5");
  int mc = std::stoi(s.mc), ng = std::stoi(s.ng);
  double dc = std::stod(s.dc), dg = std::stod(s.dg);
  if (!s.cAngles.empty())
    l.insert(l.end(), s.cAngles.begin(), s.cAngles.end());
  else
    for (int k = 0; k < mc; ++k) l.push_back(std::to_string(k * dc));
  if (!s.gammaAngles.empty())
    l.insert(l.end(), s.gammaAngles.begin(), s.gammaAngles.end());
  else
    for (int k = 0; k < ng; ++k) l.push_back(std::to_string(k * dg));
  for (int p = 0; p < s.planes; ++p)
    for (int j = 0; j < ng; ++j) l.push_back(s.value(p, j));
  l.resize(l.size() - std::min<std::size_t>(l.size(), s.dropLastLines));
  std::string out;
  for (auto& x : l) out += x + s.eol;
  return out;
}

}  // namespace kandelo::test
