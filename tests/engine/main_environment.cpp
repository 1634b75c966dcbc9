#include "engine_fixture.h"

// Registered before main runs, so every test finds the tables filled.
[[maybe_unused]] static ::testing::Environment* const engineEnvironment =
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment);
