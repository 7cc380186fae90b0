#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

// What one served ProcessorPerformance instance does when the program reads it.
enum class InstanceKind {
  kFrequency,    // Get answers VT_I4 with frequency's 32 bits
  kGetError,     // Get fails with WBEM_E_NOT_FOUND
  kNull,         // Get answers VT_NULL
  kNextError,    // Next fails with WBEM_E_FAILED where this instance would come
  kNullObject,   // Next succeeds with a count of 1 but no object, breaking its contract
  kZeroCount,    // Next succeeds with a count of 0, breaking its contract
  kObjectValue,  // Get answers VT_UNKNOWN: a value that owns an object of the stand-in's
};

struct Instance {
  InstanceKind kind;
  std::uint32_t frequency;
};

// The calls that WMISTANDIN_FAIL can make fail.
enum class FailingCall { kCreateInstance, kConnectServer, kExecQuery };

struct Failure {
  FailingCall call;
  HRESULT result;
};

// WMISTANDIN_INSTANCES: items separated by commas, each a decimal 0..4294967295,
// "get-error", "null", "next-error", "null-object", "zero-count" or
// "object-value". Empty text is no
// instances. False, with out untouched, on any malformed item, so that a typo
// never serves a guess.
bool ParseInstances(std::string_view text, std::vector<Instance>* out);

// WMISTANDIN_FAIL: "CALL:HRESULT", CALL one of CoCreateInstance, ConnectServer,
// ExecQuery; HRESULT as 0x hex, decimal or negative decimal, and a failure code.
bool ParseFailure(std::string_view text, Failure* out);

// The "cpu MHz" values of /proc/cpuinfo in processor order, each rounded to the
// nearest integer, halves up. Lines whose value does not parse are left out.
std::vector<std::uint32_t> ParseCpuInfoMhz(std::string_view text);

// A cpufreq scaling_cur_freq file (kHz, one decimal line) as rounded MHz.
bool ParseScalingCurFreq(std::string_view text, std::uint32_t* mhz);
