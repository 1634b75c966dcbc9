#include <gtest/gtest.h>

#include "engine/attacks.h"

namespace {

// initEngine runs once per process, as in the program: the key generator carries on.
class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override { initEngine(); }
};

[[maybe_unused]] ::testing::Environment* const engineEnvironment =
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

}  // namespace
