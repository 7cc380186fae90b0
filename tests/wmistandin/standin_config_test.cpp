#include "wmistandin/standin_config.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "wmistandin/standin_report.h"

namespace {

// The words of InstanceKind, in its order; a frequency is its number.
const char* const kWords[] = {"",           "get-error",   "null", "next-error", "null-object",
                              "zero-count", "object-value"};

// The instances as text again, one word each, so that a whole list compares at once.
std::string Describe(const std::vector<Instance>& instances) {
  std::string text;
  for (const Instance& instance : instances) {
    if (!text.empty()) text += ' ';
    text += instance.kind == InstanceKind::kFrequency ? std::to_string(instance.frequency)
                                                      : kWords[static_cast<int>(instance.kind)];
  }
  return text;
}

TEST(ParseInstances, ReadsEachKindInOrderUpToTheUint32Bound) {
  std::vector<Instance> instances;
  ASSERT_TRUE(
      ParseInstances("0,2596,get-error,null,next-error,null-object,zero-count,object-value,"
                     "4294967295,007",
                     &instances));
  EXPECT_EQ("0 2596 get-error null next-error null-object zero-count object-value 4294967295 7",
            Describe(instances));
}

TEST(ParseInstances, EmptyTextIsNoInstances) {
  std::vector<Instance> instances{Instance{InstanceKind::kNull, 0}};
  ASSERT_TRUE(ParseInstances("", &instances));
  EXPECT_TRUE(instances.empty());
}

TEST(ParseInstances, RejectsMalformedItemsAndLeavesOutputAlone) {
  for (const char* text : {"12x", "-1", "+1", "4294967296", "99999999999999999999", "1,,2", ",1",
                           "1,", ",", " 1", "1 ", "NULL", "get_error", "0x10", "1.5"}) {
    std::vector<Instance> instances{Instance{InstanceKind::kFrequency, 42}};
    EXPECT_FALSE(ParseInstances(text, &instances)) << text;
    EXPECT_EQ("42", Describe(instances)) << text;
  }
}

TEST(ParseFailure, ReadsEachCallWithHexAndDecimalCodes) {
  const struct {
    const char* text;
    FailingCall call;
    unsigned long bits;
  } kCases[] = {
      {"CoCreateInstance:0x80040154", FailingCall::kCreateInstance, 0x80040154},
      {"ConnectServer:0x80041003", FailingCall::kConnectServer, 0x80041003},
      {"ExecQuery:0X8004101d", FailingCall::kExecQuery, 0x8004101D},
      {"ExecQuery:-2147217407", FailingCall::kExecQuery, 0x80041001},
      {"ExecQuery:2147749889", FailingCall::kExecQuery, 0x80041001},
      {"ConnectServer:-2147483648", FailingCall::kConnectServer, 0x80000000},
      {"ConnectServer:-1", FailingCall::kConnectServer, 0xFFFFFFFF},
  };
  for (const auto& c : kCases) {
    Failure failure{};
    ASSERT_TRUE(ParseFailure(c.text, &failure)) << c.text;
    EXPECT_EQ(c.call, failure.call) << c.text;
    EXPECT_EQ(c.bits, static_cast<unsigned long>(failure.result)) << c.text;
  }
}

TEST(ParseFailure, RejectsUnknownCallsMalformedCodesAndSuccessCodes) {
  for (const char* text :
       {"", "ConnectServer", "ConnectServer:", "connectserver:0x80041003", "Next:0x80041001",
        ":0x80041003", "ConnectServer:0x", "ConnectServer:0x100000000", "ConnectServer:4294967296",
        "ConnectServer:-2147483649", "ConnectServer:0x8004100G", "ConnectServer: 0x80041003",
        "ConnectServer:0", "ConnectServer:0x1", "ConnectServer:-0", "ConnectServer:2147483647"}) {
    Failure failure{};
    EXPECT_FALSE(ParseFailure(text, &failure)) << text;
  }
}

TEST(ParseCpuInfoMhz, RoundsEachProcessorsLineToTheNearestMhz) {
  const char kCpuInfo[] =
      "processor\t: 0\ncpu family\t: 6\ncpu MHz\t\t: 2596.150\ncache size\t: 512 KB\n\n"
      "processor\t: 1\ncpu MHz\t\t: 2596.500\n\n"
      "processor\t: 2\ncpu MHz\t\t: 799.499\r\n"
      "processor\t: 3\ncpu MHz : 3000\n";
  EXPECT_EQ((std::vector<std::uint32_t>{2596, 2597, 799, 3000}), ParseCpuInfoMhz(kCpuInfo));
}

TEST(ParseCpuInfoMhz, LeavesOutLinesWithoutAUsableValue) {
  const char kCpuInfo[] =
      "cpu MHz\t\t: unknown\ncpu MHz\t\t:\ncpu MHz 1200\nCPU MHz\t: 1300\n"
      "cpu MHz\t\t: -5\ncpu MHz\t\t: 1.2.3\ncpu MHz\t\t: 4294967295.5\ncpu MHz\t\t: 1400.0\n";
  EXPECT_EQ((std::vector<std::uint32_t>{1400}), ParseCpuInfoMhz(kCpuInfo));
  EXPECT_TRUE(ParseCpuInfoMhz("").empty());
}

TEST(ParseScalingCurFreq, RoundsKhzToMhz) {
  const struct {
    const char* text;
    std::uint32_t mhz;
  } kCases[] = {{"2596150\n", 2596},
                {"2596500\n", 2597},
                {"800499", 800},
                {"0\n", 0},
                {"4294967295499\n", 4294967295u}};
  for (const auto& c : kCases) {
    std::uint32_t mhz = 1;
    ASSERT_TRUE(ParseScalingCurFreq(c.text, &mhz)) << c.text;
    EXPECT_EQ(c.mhz, mhz) << c.text;
  }
  for (const char* text : {"", "\n", "abc\n", "-1\n", "1.5\n", "4294967295500\n"}) {
    std::uint32_t mhz = 0;
    EXPECT_FALSE(ParseScalingCurFreq(text, &mhz)) << text;
  }
}

TEST(FormatReportLine, WritesTheCountWithCrLf) {
  char line[kReportLineSize];
  EXPECT_EQ(9u, FormatReportLine(0, line));
  EXPECT_STREQ("alive=0\r\n", line);
  FormatReportLine(12, line);
  EXPECT_STREQ("alive=12\r\n", line);
  FormatReportLine(-1, line);
  EXPECT_STREQ("alive=-1\r\n", line);
  FormatReportLine(LONG_MIN, line);
  EXPECT_STREQ("alive=-2147483648\r\n", line);
}

}  // namespace
