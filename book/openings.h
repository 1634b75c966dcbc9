// Opening names by ECO index.
#pragma once

// The name of the opening with ECO index 0-499 (A00-E99); "" for any other index.
const char* openingName(int ecoIndex);
