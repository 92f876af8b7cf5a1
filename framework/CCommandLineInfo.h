#pragma once
#include "system/process/commandline/CommandLineInfo.h"

// What CWinApp::ParseCommandLine fills: the system's command-line parser.
using CCommandLineInfo = s::process::commandline::CommandLineInfo;
