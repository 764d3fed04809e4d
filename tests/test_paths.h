// Where test programs find the repository's test data, native or under Wine.
#pragma once
#include <string>

namespace testing_paths {

// A file of tests/data as the running program must name it. Under Wine the
// host's root is drive Z:.
inline std::string DataFile(const std::string& name) {
#ifdef _WIN32
  std::string path = std::string("Z:") + COBALT_TEST_DATA + "/" + name;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
#else
  return std::string(COBALT_TEST_DATA) + "/" + name;
#endif
}

}  // namespace testing_paths
