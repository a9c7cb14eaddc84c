// The main of vemo_tests, the one test program of a build tree. Each CTest entry runs the tests
// of its own source files, in a process of their own, as when they were programs of their own:
//   vemo_tests --sources=mainwin/settings_test.cpp[,more.cpp...]
// (paths below tests/). A --gtest_filter given as well wins: a death test's child process is
// started with the parent's command line and a filter naming its one test. Without either,
// every test runs.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr const char* kSourcesFlag = "--sources=";

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    if (comma > start) parts.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return parts;
}

bool FromSources(std::string file, const std::vector<std::string>& sources) {
  for (char& c : file)
    if (c == '\\') c = '/';
  for (const std::string& source : sources) {
    const std::string tail = "/" + source;
    if (file.size() >= tail.size() &&
        file.compare(file.size() - tail.size(), tail.size(), tail) == 0)
      return true;
  }
  return false;
}

// A filter naming every test of the sources; empty, with a message, when that cannot be done.
std::string FilterFor(const std::vector<std::string>& sources) {
  std::map<std::string, std::string> chosen, others;  // full test name -> its file
  const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
  for (int i = 0; i < unit.total_test_suite_count(); ++i) {
    const ::testing::TestSuite& suite = *unit.GetTestSuite(i);
    for (int j = 0; j < suite.total_test_count(); ++j) {
      const ::testing::TestInfo& test = *suite.GetTestInfo(j);
      const std::string name = std::string(test.test_suite_name()) + "." + test.name();
      (FromSources(test.file(), sources) ? chosen : others)[name] = test.file();
    }
  }
  if (chosen.empty()) {
    std::fprintf(stderr, "vemo_tests: no test in the sources given\n");
    return "";
  }
  std::string filter;
  for (const auto& [name, file] : chosen) {
    if (others.count(name)) {
      std::fprintf(stderr, "vemo_tests: %s is a test of both %s and %s; rename one\n", name.c_str(),
                   file.c_str(), others[name].c_str());
      return "";
    }
    filter += (filter.empty() ? "" : ":") + name;
  }
  return filter;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(filter) != "*") return RUN_ALL_TESTS();
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kSourcesFlag, std::strlen(kSourcesFlag)) != 0) continue;
    const std::string filter = FilterFor(Split(argv[i] + std::strlen(kSourcesFlag)));
    if (filter.empty()) return 1;
    GTEST_FLAG_SET(filter, filter);
  }
  return RUN_ALL_TESTS();
}
