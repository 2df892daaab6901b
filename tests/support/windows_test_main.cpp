// The test main of the Windows build. GoogleTest's own printer also hands every failure to
// OutputDebugStringA, which under wine raises an exception; where wine's 32-bit side runs
// under qemu that exception ends the process, and the failure's message is lost. This printer
// writes the same lines and nothing else.
#include <gtest/gtest.h>

#include <cstdio>

namespace {

class Printer : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& test) override {
    std::printf("[ RUN      ] %s.%s\n", test.test_suite_name(), test.name());
    std::fflush(stdout);
  }
  void OnTestPartResult(const testing::TestPartResult& result) override {
    const char* kind = result.skipped() ? "Skipped" : result.failed() ? "Failure" : "Success";
    std::printf("%s:%d: %s\n%s\n", result.file_name() ? result.file_name() : "unknown", result.line_number(), kind,
                result.message());
    std::fflush(stdout);
  }
  void OnTestEnd(const testing::TestInfo& test) override {
    const char* mark = test.result()->Skipped() ? "[  SKIPPED ]" : test.result()->Passed() ? "[       OK ]" : "[  FAILED  ]";
    std::printf("%s %s.%s (%lld ms)\n", mark, test.test_suite_name(), test.name(),
                static_cast<long long>(test.result()->elapsed_time()));
    std::fflush(stdout);
  }
  void OnTestProgramEnd(const testing::UnitTest& unit) override {
    std::printf("[==========] %d tests ran: %d passed, %d skipped, %d failed.\n", unit.test_to_run_count(),
                unit.successful_test_count(), unit.skipped_test_count(), unit.failed_test_count());
    std::fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
  delete listeners.Release(listeners.default_result_printer());
  listeners.Append(new Printer);
  return RUN_ALL_TESTS();
}
