// Added to the shared precompiled header of the test executables.
#pragma once
#include <gmock/gmock.h>
#include <gtest/gtest.h>
