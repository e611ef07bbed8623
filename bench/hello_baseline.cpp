// The smallest C++ program that links the C++ runtime: the baseline of the
// command line's start-up (bench_cli_startup).
#include <iostream>

int main() {
  std::cout << "hello\n";
  return 0;
}
