#pragma once

#include <vector>

#include "wmistandin/standin_config.h"

// One instance per logical processor with its current MHz, read through Wine's
// Z: drive: cpufreq's scaling_cur_freq where the host has it, else the "cpu MHz"
// line of the same position in /proc/cpuinfo. A processor with neither is left
// out, so a host without either (such as real Windows) has no instances.
std::vector<Instance> HostInstances();
