#include "trace/trace.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "driver/debug_session.h"
#include "tests/support/import_patch.h"
#include "tests/support/scratch_directory.h"

namespace {

DebugReport RunProbe(const std::string& arguments) {
  return RunUnderDebugger("\"" + BinaryPath("trace_probe.exe") + "\" " + arguments, "", nullptr);
}

// The lines "TAG i ....\r\n" that one trace_probe burst stores.
std::string BurstLines(const std::string& tag, int count) {
  std::string lines;
  for (int i = 0; i < count; ++i)
    lines += tag + " " + std::to_string(i) + " " + std::string(2000, '.') + "\r\n";
  return lines;
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

HANDLE WINAPI NoMutex(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return NULL;
}

TEST(Trace, WithoutAMutexTheMessageIsStillAppendedWhole) {
  ScratchDirectory scratch;
  const std::string message = std::string(15000, 'm') + "\n";
  {
    ImportPatch no_mutex("kernel32.dll", "CreateMutexA", &NoMutex);
    ASSERT_TRUE(no_mutex.active());
    Trace("%s", message.c_str());
  }
  EXPECT_EQ(std::string(15000, 'm') + "\r\n", ReadFileBytes("trace.log"));
}

// Another program's event under the mutex's name: CreateMutexA then fails
// with ERROR_INVALID_HANDLE, and the writer goes on without a lock.
TEST(Trace, AnEventNamedLikeTheMutexCostsNoMessage) {
  ScratchDirectory scratch;
  HANDLE event = CreateEventA(NULL, TRUE, FALSE, "TRACE_LOG_MUTEX");
  ASSERT_NE(nullptr, event);
  ASSERT_EQ(nullptr, CreateMutexA(NULL, FALSE, "TRACE_LOG_MUTEX"));
  ASSERT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());

  DebugReport report = RunProbe("burst evented 2");
  CloseHandle(event);

  EXPECT_EQ(0u, report.exit_code);
  EXPECT_EQ(2u, report.debug_output.size());
  EXPECT_EQ(BurstLines("evented", 2), ReadFileBytes("trace.log"));
}

// What Trace did while the wait was made to fail, recorded by the replacements.
std::vector<std::string> debugger_messages;
std::vector<DWORD> pauses;
int mutex_releases = 0;

DWORD WINAPI FailingWait(HANDLE, DWORD) {
  SetLastError(ERROR_INVALID_HANDLE);
  return WAIT_FAILED;
}
void WINAPI RecordDebuggerMessage(LPCSTR text) { debugger_messages.push_back(text); }
void WINAPI RecordPause(DWORD milliseconds) { pauses.push_back(milliseconds); }
BOOL WINAPI CountRelease(HANDLE mutex) {
  ++mutex_releases;
  return Unpatched<BOOL(WINAPI*)(HANDLE)>("kernel32.dll", "ReleaseMutex")(mutex);
}

TEST(Trace, FailedWaitSendsTheMessageToTheDebuggerOnlyAndReleasesNothing) {
  ScratchDirectory scratch;
  {
    ImportPatch wait("kernel32.dll", "WaitForSingleObject", &FailingWait);
    ImportPatch release("kernel32.dll", "ReleaseMutex", &CountRelease);
    ImportPatch debugger("kernel32.dll", "OutputDebugStringA", &RecordDebuggerMessage);
    ImportPatch pause("kernel32.dll", "Sleep", &RecordPause);
    ASSERT_TRUE(wait.active() && release.active() && debugger.active() && pause.active());
    Trace("lost %d\n", 1);
  }

  EXPECT_EQ(std::vector<std::string>{"lost 1\n"}, debugger_messages);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("trace.log"));
  EXPECT_EQ(0, mutex_releases);
  EXPECT_EQ(std::vector<DWORD>{1}, pauses);
  // The handle was closed: nothing keeps the mutex in existence.
  EXPECT_EQ(nullptr, OpenMutexA(SYNCHRONIZE, FALSE, "TRACE_LOG_MUTEX"));
}

// Each step of one Trace, in order, as the replacements saw them.
std::vector<std::string> steps;
void WINAPI StepDebugger(LPCSTR) { steps.push_back("debugger"); }
HANDLE WINAPI StepFile(LPSECURITY_ATTRIBUTES attributes, BOOL owned, LPCSTR name) {
  steps.push_back("file");
  return Unpatched<HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR)>(
      "kernel32.dll", "CreateMutexA")(attributes, owned, name);
}
void WINAPI StepPause(DWORD) { steps.push_back("pause"); }

// A debugger sees the message first, and the pause comes after the file's
// lock is let go, so that other writers get their turn.
TEST(Trace, SendsToTheDebuggerThenTheFileThenPauses) {
  ScratchDirectory scratch;
  {
    ImportPatch debugger("kernel32.dll", "OutputDebugStringA", &StepDebugger);
    ImportPatch file("kernel32.dll", "CreateMutexA", &StepFile);
    ImportPatch pause("kernel32.dll", "Sleep", &StepPause);
    ASSERT_TRUE(debugger.active() && file.active() && pause.active());
    Trace("ordered\n");
  }
  EXPECT_EQ((std::vector<std::string>{"debugger", "file", "pause"}), steps);
  EXPECT_EQ("ordered\r\n", ReadFileBytes("trace.log"));
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
