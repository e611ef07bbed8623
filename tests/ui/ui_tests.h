#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace kandelo::test {

using UiTestFactory = std::function<std::unique_ptr<QObject>()>;
inline std::vector<UiTestFactory>& UiTestRegistry() {
  static std::vector<UiTestFactory> r;
  return r;
}
struct RegisterUiTest {
  explicit RegisterUiTest(UiTestFactory f) { UiTestRegistry().push_back(std::move(f)); }
};

}  // namespace kandelo::test

#define KANDELO_UI_TEST(Class) \
  static ::kandelo::test::RegisterUiTest register_##Class([] { return std::unique_ptr<QObject>(new Class); })
