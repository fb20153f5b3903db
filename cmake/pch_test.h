// Added to the shared precompiled header of the test executables: GoogleTest, which every test
// file uses (the few that use GoogleMock matchers include it themselves).
#pragma once
#include <gtest/gtest.h>
