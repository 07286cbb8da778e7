#include "components/Registration.h"

// Each component adds its class factory here as it lands.
void RegisterOrvComponents() {}
