// Raises the runtime error for an array index below 1.

#include "runtime/array.hpp"

int main() {
  lumen::Array<int> values(std::vector<int>{1});
  return values[0];
}
