#include <gtest/gtest.h>

#include "engine/attacks.h"

namespace {

// initEngine runs once per process, as in the program: a second run would draw other keys.
class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override { initEngine(); }
};

}  // namespace

// Registered before main runs, so every test finds the tables filled.
[[maybe_unused]] static ::testing::Environment* const engineEnvironment =
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment);
