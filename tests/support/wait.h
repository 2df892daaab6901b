#pragma once
// Waiting in widget tests. QtTest's checks end the test function with a bare `return` when
// they fail, which GoogleTest counts as a pass: a QTRY_ wait that runs out, a QVERIFY that is
// false. Every widget test gets this header first (tests/CMakeLists.txt), so those macros do
// not compile there; ExpectSoon waits and then checks with GoogleTest.

#include <gtest/gtest.h>

#include <QTest>

namespace testing_support {

// Runs the event loop until `read()` gives `expected`, at most `milliseconds`, then checks it.
template <class Read, class T>
void ExpectSoon(Read read, const T& expected, int milliseconds = 5000) {
  if (!QTest::qWaitFor([&] { return read() == expected; }, milliseconds))
    ADD_FAILURE() << "still not there after " << milliseconds << " ms";
  EXPECT_EQ(read(), expected);
}

}  // namespace testing_support

#define SONVIRA_SILENT_UNDER_GTEST(name)                                           \
  static_assert(false, name ": a failure passes under GoogleTest; use EXPECT_ or " \
                            "testing_support::ExpectSoon")
#undef QVERIFY
#undef QVERIFY2
#undef QCOMPARE
#undef QCOMPARE_OP_IMPL
#undef QFAIL
#undef QTRY_IMPL
#define QVERIFY(...) SONVIRA_SILENT_UNDER_GTEST("QVERIFY")
#define QVERIFY2(...) SONVIRA_SILENT_UNDER_GTEST("QVERIFY2")
#define QCOMPARE(...) SONVIRA_SILENT_UNDER_GTEST("QCOMPARE")
#define QCOMPARE_OP_IMPL(...) SONVIRA_SILENT_UNDER_GTEST("QCOMPARE_EQ")
#define QFAIL(...) SONVIRA_SILENT_UNDER_GTEST("QFAIL")
#define QTRY_IMPL(...) SONVIRA_SILENT_UNDER_GTEST("QTRY_VERIFY, QTRY_COMPARE")
