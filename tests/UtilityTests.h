// What the tests of the utilities share: their headers and a logger as loaded.
#pragma once

#include <ReportGenerator/BlockData.h>
#include <ReportGenerator/Checksum.h>
#include <ReportGenerator/Log.h>
#include <ReportGenerator/Network.h>
#include <ReportGenerator/ProfileFile.h>
#include <ReportGenerator/StringUtils.h>

#include "CapturedStderr.h"
#include "ChildProcess.h"
#include "Files.h"
#include "LogConfig.h"
#include "LogState.h"
#include "TableTest.h"
#include "TempDir.h"

#include <climits>

using namespace std::string_literals;

// The text for the functions that take char* but only read it.
inline const auto Text = [](const std::string& text) { return const_cast<char*>(text.c_str()); };

// The logger as loaded, its filter file in a private directory.
template <class Row> struct FreshLogger : Table<Row>
{
    void SetUp() override { SetLogConfigDirectory((dir.path() + "/").c_str()), ResetLogState(); }

    TempDir dir;
    const std::string filterFile = dir.path() + "/" + program_invocation_short_name + ".conf";
};
using Logger = FreshLogger<std::tuple<>>;
