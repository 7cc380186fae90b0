#include "trace/trace.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <sstream>
#include <thread>

#include "driver/debug_session.h"
#include "tests/support/scratch_directory.h"

namespace {

DebugReport RunProbe(const std::string& arguments) {
  return RunUnderDebugger("\"" + BinaryPath("trace_probe.exe") + "\" " + arguments, "", nullptr);
}

HANDLE OpenTraceLog(DWORD access) {
  return CreateFileA("trace.log", access, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, NULL);
}

TEST(Trace, DebuggerGetsMessagesAsFormattedAndFileStoresThemWithCrLf) {
  ScratchDirectory scratch;
  DebugReport report = RunProbe("channel");

  ASSERT_TRUE(report.started);
  EXPECT_EQ(0u, report.exit_code);
  const std::string cut(15999, 'a');
  ASSERT_EQ(2u, report.debug_output.size());
  EXPECT_EQ(cut, report.debug_output[0]);
  EXPECT_EQ("first\nsecond\n", report.debug_output[1]);
  EXPECT_EQ(cut + "first\r\nsecond\r\n", ReadFileBytes("trace.log"));
}

TEST(Trace, AppendsToExistingLog) {
  ScratchDirectory scratch;
  HANDLE file = OpenTraceLog(GENERIC_WRITE);
  DWORD written = 0;
  WriteFile(file, "old\r\n", 5, &written, NULL);
  CloseHandle(file);

  Trace("new %d\n", 1);
  Trace("new %s\n", "2");

  EXPECT_EQ("old\r\nnew 1\r\nnew 2\r\n", ReadFileBytes("trace.log"));
}

TEST(Trace, UnopenableLogStillReachesDebugger) {
  ScratchDirectory scratch;
  ASSERT_TRUE(CreateDirectoryA("trace.log", NULL));

  DebugReport report = RunProbe("burst lost 3");

  EXPECT_EQ(0u, report.exit_code);
  EXPECT_EQ(3u, report.debug_output.size());
  EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("trace.log") & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Trace, AnotherWriterKeepsMessageOutUntilItCloses) {
  ScratchDirectory scratch;
  HANDLE writer = OpenTraceLog(GENERIC_WRITE);
  ASSERT_NE(INVALID_HANDLE_VALUE, writer);
  Trace("while held\n");
  CloseHandle(writer);
  Trace("after close\n");

  EXPECT_EQ("after close\r\n", ReadFileBytes("trace.log"));
}

TEST(Trace, ReaderHoldingLogOpenDoesNotKeepMessagesOut) {
  ScratchDirectory scratch;
  HANDLE reader = OpenTraceLog(GENERIC_READ);
  ASSERT_NE(INVALID_HANDLE_VALUE, reader);
  Trace("while viewed\n");
  CloseHandle(reader);

  EXPECT_EQ("while viewed\r\n", ReadFileBytes("trace.log"));
}

TEST(Trace, AbandonedMutexCostsNoMessageAndIsReleased) {
  ScratchDirectory scratch;
  std::thread([] {
    HANDLE mutex = CreateMutexA(NULL, FALSE, "TRACE_LOG_MUTEX");
    WaitForSingleObject(mutex, INFINITE);
    // Ends owning it: the mutex is abandoned. The handle stays open so the
    // mutex outlives the thread.
  }).join();

  Trace("after abandon\n");
  Trace("next\n");

  EXPECT_EQ("after abandon\r\nnext\r\n", ReadFileBytes("trace.log"));
  DWORD wait_from_other_thread = WAIT_FAILED;
  std::thread([&] {
    HANDLE mutex = CreateMutexA(NULL, FALSE, "TRACE_LOG_MUTEX");
    wait_from_other_thread = WaitForSingleObject(mutex, 0);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  }).join();
  EXPECT_EQ(WAIT_OBJECT_0, wait_from_other_thread);
}

// Every line "TAG i ....": whole, each writer's lines all there and in order.
TEST(Trace, ConcurrentProcessesWriteWholeMessages) {
  ScratchDirectory scratch;
  const int kWriters = 4, kMessages = 150;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w)
    writers.emplace_back(
        [w] { RunProbe("burst w" + std::to_string(w) + " " + std::to_string(kMessages)); });
  for (std::thread& writer : writers) writer.join();

  std::istringstream log(ReadFileBytes("trace.log"));
  const std::string padding(2000, '.');
  std::map<std::string, int> next_index;
  std::string line;
  int lines = 0;
  while (std::getline(log, line)) {
    ++lines;
    std::istringstream fields(line);
    std::string tag;
    int index = -1;
    fields >> tag >> index;
    ASSERT_EQ(tag + " " + std::to_string(index) + " " + padding + "\r", line)
        << "torn line " << lines;
    ASSERT_EQ(next_index[tag]++, index) << tag << " out of order";
  }
  EXPECT_EQ(kWriters * kMessages, lines);
  EXPECT_EQ(static_cast<size_t>(kWriters), next_index.size());
}

}  // namespace
